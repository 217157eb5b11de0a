// The window as it opens: controls, places, captions, tab order and initial state.
#include "swatch.h"
#include "window_test_support.h"

#include <QAccessible>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() { window_ = huewright::test::ShowWindow(); }
    void cleanup() { window_.reset(); }

    void window();
    void controls_data();
    void controls();
    void bars_data();
    void bars();
    void initialContents();
    void tabOrder();
    void focusStartsOnFirstBar();
    void focusedBarIsMarked();
    void labelsAndButtonsTakeNoKeys();
    void accessibleNames_data();
    void accessibleNames();
    void outputBoxWearsButtonFace();
    void outputBoxIsReadOnly();
    void closingEndsTheProgram();

private:
    std::unique_ptr<huewright::Form1> window_;
};

void WindowTest::window() {
    QCOMPARE(window_->windowTitle(), u"Kestrow's Huewright"_s);
    // 4,680 by 2,430 twips, at whatever common scale the font needs but never below 1/15.
    const double scale = window_->width() / 4680.0;
    QVERIFY(window_->width() >= 312);
    QVERIFY(qAbs(window_->height() - 2430 * scale) <= 0.5 + 2430.0 / 4680.0);
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    const Qt::WindowFlags flags = window_->windowFlags();
    // A normal window, not a tool window: task bars and window switchers list it.
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void WindowTest::controls_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");

    // Left, top, width, height in twips; 15 twips to a pixel.
    const auto row = [](const char* name, const char* kind, const QString& caption, int left,
                        int top, int width, int height) {
        QTest::newRow(name) << QString::fromLatin1(kind) << caption
                            << QRect(left, top, width, height);
    };
    row("Label1", "QLabel", u"Start"_s, 120, 120, 330, 195);
    row("Label2", "QLabel", u"End"_s, 1200, 120, 285, 195);
    row("Shape1", "huewright::Swatch", {}, 120, 360, 735, 735);
    row("Shape2", "huewright::Swatch", {}, 1200, 360, 735, 735);
    row("Command4", "QPushButton", u"<>"_s, 840, 360, 375, 255);
    row("r1", "QScrollBar", {}, 120, 1080, 255, 1215);
    row("g1", "QScrollBar", {}, 360, 1080, 255, 1215);
    row("b1", "QScrollBar", {}, 600, 1080, 255, 1215);
    row("r2", "QScrollBar", {}, 1200, 1080, 255, 1215);
    row("g2", "QScrollBar", {}, 1440, 1080, 255, 1215);
    row("b2", "QScrollBar", {}, 1680, 1080, 255, 1215);
    row("Text1", "QLineEdit", {}, 2040, 360, 2535, 285);
    row("Text2", "QLineEdit", {}, 2040, 720, 2535, 285);
    row("chkBold", "QCheckBox", u"Bold"_s, 2040, 1080, 735, 255);
    row("chkItalic", "QCheckBox", u"Italic"_s, 2040, 1320, 735, 255);
    row("Command3", "QPushButton", u"To ClipBoard"_s, 3480, 1080, 1095, 255);
    row("Command2", "QPushButton", u"Random"_s, 3480, 1680, 1095, 255);
    row("Command1", "QPushButton", u"Generate"_s, 3480, 2040, 1095, 255);
}

void WindowTest::controls() {
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    auto* control = Find<QWidget>(*window_, name);
    QCOMPARE(control->parentWidget(), window_.get());
    QVERIFY2(control->inherits(kind.toLatin1().constData()), control->metaObject()->className());
    QVERIFY(control->isVisible());

    const double scale = huewright::test::Scale(*window_);
    QVERIFY2(huewright::test::PlacedAtScale(*control, twips, scale),
             qPrintable(huewright::test::PlacementText(*control, twips, scale)));
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(caption));
        QCOMPARE(label->text(), caption);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QCOMPARE(button->text(), caption);
    }
}

void WindowTest::bars_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"r1", "g1", "b1", "r2", "g2", "b2"}) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void WindowTest::bars() {
    QFETCH(QString, name);
    auto* bar = Find<QScrollBar>(*window_, name);
    QCOMPARE(bar->orientation(), Qt::Vertical);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 256);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->singleStep(), 1);
    QCOMPARE(bar->pageStep(), 4);
    QVERIFY(!bar->invertedAppearance()); // 0 at the top, 256 at the bottom
}

void WindowTest::initialContents() {
    QCOMPARE(Find<huewright::Swatch>(*window_, u"Shape1"_s)->FillColour(), QColor(Qt::black));
    QCOMPARE(Find<huewright::Swatch>(*window_, u"Shape2"_s)->FillColour(), QColor(Qt::black));
    auto* text1 = Find<QLineEdit>(*window_, u"Text1"_s);
    QVERIFY(text1->text().isEmpty());
    QVERIFY(text1->maxLength() >= 100'000 * 30); // no practical limit on what can be pasted
    QVERIFY(Find<QLineEdit>(*window_, u"Text2"_s)->text().isEmpty());
    QCOMPARE(Find<QCheckBox>(*window_, u"chkBold"_s)->checkState(), Qt::Unchecked);
    QCOMPARE(Find<QCheckBox>(*window_, u"chkItalic"_s)->checkState(), Qt::Unchecked);
}

void WindowTest::tabOrder() {
    const QStringList expected{u"r1"_s,       u"g1"_s,       u"b1"_s,      u"r2"_s,
                               u"g2"_s,       u"b2"_s,       u"Text1"_s,   u"Text2"_s,
                               u"Command1"_s, u"Command2"_s, u"chkBold"_s, u"chkItalic"_s,
                               u"Command3"_s, u"Command4"_s};
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    Find<QWidget>(*window_, u"r1"_s)->setFocus(Qt::OtherFocusReason);
    QStringList visited;
    for (qsizetype i = 0; i <= expected.size(); ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList wanted = expected;
    wanted << expected.first(); // and round again
    QCOMPARE(visited, wanted);
}

void WindowTest::focusStartsOnFirstBar() {
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QCOMPARE(QApplication::focusWidget(), Find<QWidget>(*window_, u"r1"_s));
}

void WindowTest::focusedBarIsMarked() {
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    auto* r1 = Find<QScrollBar>(*window_, u"r1"_s);
    auto* g1 = Find<QScrollBar>(*window_, u"g1"_s);
    const QRect place = r1->geometry();
    QTRY_VERIFY(r1->hasFocus());
    const QImage focused = r1->grab().toImage();
    g1->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(g1->hasFocus());
    const QImage unfocused = r1->grab().toImage();
    // Two bars alike but for the focus: only the focused one wears the mark.
    QCOMPARE(g1->size(), r1->size());
    // Windows' style leaves a few stray pixels in the thumb of a grabbed bar under Wine: alike
    // means the same but for fewer pixels than the ring has.
    const QImage other = g1->grab().toImage().convertToFormat(focused.format());
    int differing = 0;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x) {
            differing += other.pixel(x, y) != focused.pixel(x, y) ? 1 : 0;
        }
    }
    QVERIFY2(differing < focused.height(), qPrintable(QString::number(differing)));
    QVERIFY(focused != unfocused);
    // Drawn over the edge, in the highlight colour, and the layout never moves.
    const QRgb highlight = r1->palette().color(QPalette::Highlight).rgb();
    QCOMPARE(focused.pixel(0, focused.height() / 2), highlight);
    QCOMPARE(focused.pixel(focused.width() - 1, focused.height() / 2), highlight);
    QCOMPARE(r1->geometry(), place);
}

void WindowTest::labelsAndButtonsTakeNoKeys() {
    for (const QString& name : {u"Label1"_s, u"Label2"_s}) {
        QCOMPARE(Find<QWidget>(*window_, name)->focusPolicy(), Qt::NoFocus);
    }
    for (auto* button : window_->findChildren<QPushButton*>()) {
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
        QVERIFY2(!button->text().contains(u'&'), qPrintable(button->objectName()));
    }
    for (auto* box : window_->findChildren<QCheckBox*>()) {
        QVERIFY(!box->text().contains(u'&'));
    }
}

void WindowTest::accessibleNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("r1") << u"r1"_s << u"Start red"_s;
    QTest::newRow("g1") << u"g1"_s << u"Start green"_s;
    QTest::newRow("b1") << u"b1"_s << u"Start blue"_s;
    QTest::newRow("r2") << u"r2"_s << u"End red"_s;
    QTest::newRow("g2") << u"g2"_s << u"End green"_s;
    QTest::newRow("b2") << u"b2"_s << u"End blue"_s;
    QTest::newRow("Shape1") << u"Shape1"_s << u"Start colour"_s;
    QTest::newRow("Shape2") << u"Shape2"_s << u"End colour"_s;
    QTest::newRow("Text1") << u"Text1"_s << u"Text to colour"_s;
    QTest::newRow("Text2") << u"Text2"_s << u"Generated markup"_s;
    QTest::newRow("Command4") << u"Command4"_s << u"Swap start and end colours"_s;
    QTest::newRow("Command1") << u"Command1"_s << u"Generate"_s;
    QTest::newRow("Command2") << u"Command2"_s << u"Random"_s;
    QTest::newRow("Command3") << u"Command3"_s << u"To ClipBoard"_s;
    QTest::newRow("chkBold") << u"chkBold"_s << u"Bold"_s;
    QTest::newRow("chkItalic") << u"chkItalic"_s << u"Italic"_s;
}

void WindowTest::accessibleNames() {
    QFETCH(QString, name);
    QFETCH(QString, spoken);
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(Find<QWidget>(*window_, name));
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->text(QAccessible::Name), spoken);
}

void WindowTest::outputBoxWearsButtonFace() {
    auto* text2 = Find<QWidget>(*window_, u"Text2"_s);
    const QPoint inside(text2->width() - 6, text2->height() / 2);
    QCOMPARE(text2->grab().toImage().pixelColor(inside), text2->palette().color(QPalette::Button));

    // A new theme brings a new button face, and the box follows it.
    const QPalette before = QApplication::palette();
    QPalette theme = before;
    theme.setColor(QPalette::Button, QColor(0x12, 0x34, 0x56));
    theme.setColor(QPalette::Base, QColor(0xFE, 0xDC, 0xBA));
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    QApplication::setPalette(theme);
    QTRY_COMPARE(text2->grab().toImage().pixelColor(inside), QColor(0x12, 0x34, 0x56));
}

void WindowTest::outputBoxIsReadOnly() {
    auto* text2 = Find<QLineEdit>(*window_, u"Text2"_s);
    text2->setText(u"[color=#000000]x[/color]"_s);
    text2->setFocus();
    QTest::keyClicks(text2, u"typed"_s);
    QTest::keyClick(text2, Qt::Key_Backspace);
    QTest::keyClick(text2, Qt::Key_Delete);
    QCOMPARE(text2->text(), u"[color=#000000]x[/color]"_s);
}

void WindowTest::closingEndsTheProgram() {
    // The event loop ends when the window closes; a stuck loop fails instead of hanging.
    QTimer::singleShot(0, window_.get(), &QWidget::close);
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
