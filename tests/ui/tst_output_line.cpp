// Text2's view: read-only, selectable and copyable, whatever the length of the markup.
#include "output_line.h"

#include <QAccessible>
#include <QClipboard>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using huewright::OutputLine;

namespace {

const QString kLong = u"[color=#0A0B0C]x[/color]"_s.repeated(99'999);

// Whether anything darker than the background is painted in the box.
bool ShowsText(OutputLine& view) {
    const QImage image = view.grab().toImage();
    const QColor background = view.palette().color(QPalette::Button);
    for (int x = 4; x < image.width() - 4; ++x) {
        if (image.pixelColor(x, image.height() / 2).lightness() < background.lightness() - 80) {
            return true;
        }
    }
    return false;
}

} // namespace

class OutputLineTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { view_.reset(); }

    void selectAllAndCopy_data();
    void selectAllAndCopy();
    void keyboardSelectsWholeCharacters_data();
    void keyboardSelectsWholeCharacters();
    void mouseDragSelectsAndScrolls();
    void endAndHomeScroll();
    void setTextStartsAfresh();
    void tabFocusSelectsAll();
    void screenReaderSeesReadOnlyText();

private:
    std::unique_ptr<OutputLine> view_;
};

void OutputLineTest::init() {
    view_ = std::make_unique<OutputLine>();
    view_->resize(169, 19);
    view_->show();
    QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    QGuiApplication::clipboard()->clear();
}

void OutputLineTest::selectAllAndCopy_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("short") << u"[color=#000000]a[/color]"_s;
    QTest::newRow("joined emoji") << u"\U0001F468\u200D\U0001F469\u200D\U0001F467 \u00E9e\u0301"_s;
    QTest::newRow("99,999 characters of markup") << kLong;
}

void OutputLineTest::selectAllAndCopy() {
    QFETCH(QString, text);
    view_->setText(text);
    view_->setFocus();
    QTest::keyClick(view_.get(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(view_->hasSelectedText());
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), text);
    QCOMPARE(view_->text(), text);
    QVERIFY(ShowsText(*view_));
}

void OutputLineTest::keyboardSelectsWholeCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("selected");
    QTest::newRow("plain") << u"abcdef"_s << 3 << u"abc"_s;
    QTest::newRow("emoji is one step") << u"\U0001F600xy"_s << 1 << u"\U0001F600"_s;
    QTest::newRow("flag is one step")
        << u"\U0001F1EB\U0001F1F7!"_s << 1 << u"\U0001F1EB\U0001F1F7"_s;
    QTest::newRow("accent stays with its letter") << u"e\u0301z"_s << 1 << u"e\u0301"_s;
    QTest::newRow("past the end") << u"ab"_s << 5 << u"ab"_s;
}

void OutputLineTest::keyboardSelectsWholeCharacters() {
    QFETCH(QString, text);
    QFETCH(int, steps);
    QFETCH(QString, selected);
    view_->setText(text);
    view_->setFocus();
    QTest::keyClick(view_.get(), Qt::Key_Home);
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(view_.get(), Qt::Key_Right, Qt::ShiftModifier);
    }
    QCOMPARE(view_->selectedText(), selected);
    // And back again, one character at a time, to nothing.
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(view_.get(), Qt::Key_Left, Qt::ShiftModifier);
    }
    QVERIFY(!view_->hasSelectedText());
    QCOMPARE(view_->cursorPosition(), 0);
}

void OutputLineTest::mouseDragSelectsAndScrolls() {
    view_->setText(kLong);
    QTest::mousePress(view_.get(), Qt::LeftButton, {}, QPoint(3, 9));
    QTest::mouseMove(view_.get(), QPoint(80, 9));
    const QString inside = view_->selectedText();
    QVERIFY(!inside.isEmpty());
    QVERIFY(kLong.startsWith(inside));
    QCOMPARE(view_->firstVisible(), 0);

    // Dragging past the right edge brings more of the line into view.
    for (int i = 0; i < 10; ++i) {
        QTest::mouseMove(view_.get(), QPoint(view_->width() + 40, 9));
    }
    QTest::mouseRelease(view_.get(), Qt::LeftButton, {}, QPoint(view_->width() + 40, 9));
    QVERIFY(view_->firstVisible() > 0);
    QVERIFY(view_->selectedText().size() > inside.size());
    QVERIFY(kLong.startsWith(view_->selectedText()));
}

void OutputLineTest::endAndHomeScroll() {
    view_->setText(kLong);
    view_->setFocus();
    QTest::keyClick(view_.get(), Qt::Key_End);
    QCOMPARE(view_->cursorPosition(), kLong.size());
    QVERIFY(view_->firstVisible() > kLong.size() - 100);
    QVERIFY(ShowsText(*view_));
    QTest::keyClick(view_.get(), Qt::Key_Home);
    QCOMPARE(view_->firstVisible(), 0);
    QVERIFY(ShowsText(*view_));
}

void OutputLineTest::setTextStartsAfresh() {
    view_->setText(kLong);
    view_->selectAll();
    view_->setText(u"new"_s);
    QVERIFY(!view_->hasSelectedText());
    QCOMPARE(view_->firstVisible(), 0);
    QCOMPARE(view_->cursorPosition(), 0);
    view_->setText(QString());
    QVERIFY(!ShowsText(*view_));
}

void OutputLineTest::tabFocusSelectsAll() {
    view_->setText(u"[b][/b]"_s);
    view_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    view_->clearFocus();
    view_->setFocus(Qt::TabFocusReason);
    QCOMPARE(view_->selectedText(), u"[b][/b]"_s);
}

void OutputLineTest::screenReaderSeesReadOnlyText() {
    view_->setText(u"[i][/i]"_s);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view_.get());
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().readOnly);
    QCOMPARE(accessible->text(QAccessible::Value), u"[i][/i]"_s);
}

QTEST_MAIN(OutputLineTest)
#include "tst_output_line.moc"
