// Shared helpers of the window's tests: finding controls, answering the modal box and
// using the output box's menu.
#pragma once

#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>
#include <optional>

namespace huewright::test {

// Finds a control of the window by its name, failing loudly when it is missing.
template <typename Control> Control* Find(const QWidget& window, const QString& name) {
    auto* control = window.findChild<Control*>(name);
    if (control == nullptr) {
        qFatal("no control named %s", qPrintable(name));
    }
    return control;
}

// Windows tells of a clipboard change once its message loop runs, after the change is whole;
// other platforms as each step of it happens.
inline bool ReportsClipboardLater() {
    return QGuiApplication::platformName() == QStringLiteral("windows");
}

// What an "Error" box showed before the test closed it.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    bool okButton = false;
    bool modal = false;
};

// Watches for a modal message box while a click runs, records it and presses its OK button.
// Start it before the click; read `seen` afterwards.
class BoxCatcher {
public:
    BoxCatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            SeenBox seen;
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.buttonCount = static_cast<int>(box->buttons().size());
            seen.okButton = box->button(QMessageBox::Ok) != nullptr;
            seen.modal = box->isModal();
            seen_ = seen;
            timer_.stop();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
            } else {
                box->reject();
            }
        });
        timer_.start();
    }

    const std::optional<SeenBox>& seen() const { return seen_; }

private:
    QTimer timer_;
    std::optional<SeenBox> seen_;
};

// What the output box's context menu offered: captions without their shortcut, separators as
// empty captions.
struct SeenMenu {
    QStringList captions;
    QList<bool> enabled;
};

// Opens `line`'s context menu as a right click does, records its items and chooses `pick`
// when it is there and enabled; otherwise just closes the menu.
inline SeenMenu UseMenu(QLineEdit* line, const QString& pick) {
    SeenMenu seen;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        poll.stop();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            const QString caption = action->text().section(u'\t', 0, 0);
            seen.captions << caption;
            seen.enabled << action->isEnabled();
            if (caption == pick && action->isEnabled()) {
                chosen = action;
            }
        }
        menu->close();
        if (chosen != nullptr) {
            chosen->trigger();
        }
    });
    poll.start();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            line->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(line, &event);
    return seen;
}

// What "Copy compact markup" puts on the clipboard; empty when it is not offered.
inline QString CopiedCompact(QLineEdit* line) {
    QGuiApplication::clipboard()->clear();
    UseMenu(line, QStringLiteral("Copy compact markup"));
    return QGuiApplication::clipboard()->text();
}

// Pixels per twip of the window's layout, read off its width.
inline double Scale(const Form1& window) {
    return window.width() / static_cast<double>(window.Layout().WindowTwips().width());
}

// Whether every edge of `control` lies where its twips put it at `scale`: within half a pixel
// for rounding to whole pixels, and another half for the window's width, which the scale
// is read off, having been rounded too.
inline bool PlacedAtScale(const QWidget& control, const QRect& twips, double scale) {
    const QRect g = control.geometry();
    const auto near = [scale](int pixels, int inTwips) {
        return std::abs(pixels - inTwips * scale) <= 1.0 + 1e-9;
    };
    return near(g.left(), twips.left()) && near(g.top(), twips.top()) &&
           near(g.left() + g.width(), twips.left() + twips.width()) &&
           near(g.top() + g.height(), twips.top() + twips.height());
}

inline QString PlacementText(const QWidget& control, const QRect& twips, double scale) {
    const QRect g = control.geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5 for twips %6,%7 %8x%9 at scale %10")
        .arg(control.objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height())
        .arg(twips.x())
        .arg(twips.y())
        .arg(twips.width())
        .arg(twips.height())
        .arg(scale);
}

// A fresh, shown window for each test function.
inline std::unique_ptr<Form1> ShowWindow(TimeOfDay clock = SecondsSinceMidnight) {
    auto window = std::make_unique<Form1>(std::move(clock));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) {
        qFatal("the window never appeared");
    }
    return window;
}

} // namespace huewright::test
