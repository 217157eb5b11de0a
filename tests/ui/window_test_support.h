// Shared helpers of the window's tests: finding controls and answering the modal box.
#pragma once

#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
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
