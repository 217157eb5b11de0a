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
    void screenReaderReadsByBoundary_data();
    void screenReaderReadsByBoundary();
    void screenReaderMovesCaretAndSelection();

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

void OutputLineTest::screenReaderReadsByBoundary_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<char>("where"); // 'b'efore, 'a't or 'a'fter: '<', '=', '>'
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    const QString text = u"[b]Hi there. Go \U0001F600[/b]"_s; // the emoji is units 16 and 17
    const int size = static_cast<int>(text.size());
    const int ch = QAccessible::CharBoundary;
    const int word = QAccessible::WordBoundary;
    const int line = QAccessible::LineBoundary;
    QTest::newRow("char at 0") << text << '=' << 0 << ch << u"["_s << 0 << 1;
    QTest::newRow("char at the emoji") << text << '=' << 16 << ch << u"\U0001F600"_s << 16 << 18;
    QTest::newRow("char inside the emoji")
        << text << '=' << 17 << ch << u"\U0001F600"_s << 16 << 18;
    QTest::newRow("char before the emoji's end")
        << text << '<' << 18 << ch << u"\U0001F600"_s << 16 << 18;
    QTest::newRow("char after the emoji") << text << '>' << 16 << ch << u"["_s << 18 << 19;
    QTest::newRow("char at the end") << text << '=' << size << ch << QString() << -1 << -1;
    QTest::newRow("char before 0") << text << '<' << 0 << ch << QString() << -1 << -1;
    QTest::newRow("char after the last") << text << '>' << size - 1 << ch << QString() << -1 << -1;
    QTest::newRow("word at 4") << text << '=' << 4 << word << u"Hi"_s << 3 << 5;
    QTest::newRow("word after 7") << text << '>' << 7 << word << u"."_s << 11 << 12;
    QTest::newRow("word before 13") << text << '<' << 13 << word << u" "_s << 12 << 13;
    QTest::newRow("line at 7") << text << '=' << 7 << line << text << 0 << size;
    QTest::newRow("line at the end") << text << '=' << -1 << line << text << 0 << size;
    QTest::newRow("no line before") << text << '<' << 7 << line << QString() << -1 << -1;
    QTest::newRow("no line after") << text << '>' << 7 << line << QString() << -1 << -1;
    QTest::newRow("outside") << text << '=' << size + 1 << ch << QString() << -1 << -1;
    QTest::newRow("empty") << QString() << '=' << 0 << line << QString() << -1 << -1;
    // Deep inside the longest markup: one tag's character, and the whole line.
    QTest::newRow("long, char") << kLong << '=' << 1'200'015 << ch << u"x"_s << 1'200'015
                                << 1'200'016;
    QTest::newRow("long, word") << kLong << '>' << 1'200'015 << word << u"["_s << 1'200'016
                                << 1'200'017;
    QTest::newRow("long, line") << kLong << '=' << 2'000'000 << line << kLong << 0
                                << static_cast<int>(kLong.size());
}

void OutputLineTest::screenReaderReadsByBoundary() {
    QFETCH(QString, text);
    QFETCH(char, where);
    QFETCH(int, offset);
    QFETCH(int, boundary);
    QFETCH(QString, expected);
    QFETCH(int, start);
    QFETCH(int, end);
    view_->setText(text);
    QAccessibleTextInterface* reader =
        QAccessible::queryAccessibleInterface(view_.get())->textInterface();
    QVERIFY(reader != nullptr);
    QCOMPARE(reader->characterCount(), text.size());
    const auto type = static_cast<QAccessible::TextBoundaryType>(boundary);
    int from = -2;
    int to = -2;
    const QString got = where == '<'   ? reader->textBeforeOffset(offset, type, &from, &to)
                        : where == '=' ? reader->textAtOffset(offset, type, &from, &to)
                                       : reader->textAfterOffset(offset, type, &from, &to);
    QCOMPARE(got, expected);
    QCOMPARE(from, start);
    QCOMPARE(to, end);
}

void OutputLineTest::screenReaderMovesCaretAndSelection() {
    const QString text = u"[b][color=#000000]H[/color][/b]"_s;
    view_->setText(text);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view_.get());
    QAccessibleTextInterface* reader = accessible->textInterface();
    QCOMPARE(reader->text(3, 9), u"[color"_s);
    QCOMPARE(reader->text(0, -1), text);

    reader->setSelection(0, 3, 9);
    QCOMPARE(view_->selectedText(), u"[color"_s);
    QCOMPARE(reader->selectionCount(), 1);
    int from = 0;
    int to = 0;
    reader->selection(0, &from, &to);
    QCOMPARE(std::pair(from, to), std::pair(3, 9));
    QCOMPARE(reader->cursorPosition(), 9);
    reader->removeSelection(0);
    QCOMPARE(reader->selectionCount(), 0);
    reader->setCursorPosition(5);
    QCOMPARE(view_->cursorPosition(), 5);

    // A character in view has a place on screen, and that place leads back to it.
    const QRect third = reader->characterRect(3);
    QVERIFY(!third.isEmpty());
    QCOMPARE(reader->offsetAtPoint(third.center()), 3);
    QCOMPARE(reader->offsetAtPoint(view_->mapToGlobal(QPoint(-5, -5))), -1);
    // One far beyond the box has none until it is scrolled to.
    view_->setText(kLong);
    QVERIFY(reader->characterRect(1'000'000).isEmpty());
    reader->scrollToSubstring(1'000'000, 1'000'001);
    QVERIFY(!reader->characterRect(1'000'000).isEmpty());
    QVERIFY(view_->firstVisible() <= 1'000'000);
}

QTEST_MAIN(OutputLineTest)
#include "tst_output_line.moc"
