// Generate: from the controls through the engine into Text2, and the "Error" box.
#include "huewright/gradient.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

namespace {

struct Setting {
    QString text;
    huewright::Colour start;
    huewright::Colour end;
    bool bold = false;
    bool italic = false;
};

} // namespace

Q_DECLARE_METATYPE(huewright::Colour)

class GenerateTest : public QObject {
    Q_OBJECT

private slots:
    void init() { window_ = huewright::test::ShowWindow(); }
    void cleanup() { window_.reset(); }

    void writesMarkup_data();
    void writesMarkup();
    void failureShowsErrorBox_data();
    void failureShowsErrorBox();
    void secondPressReplacesOutput();
    void readsControlsAtEveryPress();

private:
    void set(const QString& text, huewright::Colour start, huewright::Colour end, bool bold,
             bool italic);
    void clickGenerate() {
        QTest::mouseClick(Find<QPushButton>(*window_, u"Command1"_s), Qt::LeftButton);
    }
    QString output() const { return Find<QLineEdit>(*window_, u"Text2"_s)->text(); }

    std::unique_ptr<huewright::Form1> window_;
};

void GenerateTest::set(const QString& text, huewright::Colour start, huewright::Colour end,
                       bool bold, bool italic) {
    Find<QLineEdit>(*window_, u"Text1"_s)->setText(text);
    Find<QScrollBar>(*window_, u"r1"_s)->setValue(start.red);
    Find<QScrollBar>(*window_, u"g1"_s)->setValue(start.green);
    Find<QScrollBar>(*window_, u"b1"_s)->setValue(start.blue);
    Find<QScrollBar>(*window_, u"r2"_s)->setValue(end.red);
    Find<QScrollBar>(*window_, u"g2"_s)->setValue(end.green);
    Find<QScrollBar>(*window_, u"b2"_s)->setValue(end.blue);
    Find<QCheckBox>(*window_, u"chkBold"_s)->setChecked(bold);
    Find<QCheckBox>(*window_, u"chkItalic"_s)->setChecked(italic);
}

void GenerateTest::writesMarkup_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<huewright::Colour>("start");
    QTest::addColumn<huewright::Colour>("end");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("expected");

    const huewright::Colour red{255, 0, 0};
    const huewright::Colour blue{0, 0, 255};
    const huewright::Colour black{0, 0, 0};
    QTest::newRow("two characters, bold")
        << u"Hi"_s << red << blue << true << false
        << u"[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"_s;
    QTest::newRow("five characters")
        << u"Hello"_s << red << blue << false << false
        << u"[color=#CC0000]H[/color][color=#990033]e[/color][color=#660066]l[/color]"
           u"[color=#330099]l[/color][color=#0000CC]o[/color]"_s;
    QTest::newRow("italic only") << u"a"_s << black << black << false << true
                                 << u"[i][color=#000000]a[/color][/i]"_s;
    QTest::newRow("empty text, equal colours")
        << QString() << red << red << false << false << QString();
    QTest::newRow("empty text, equal colours, both switches")
        << QString() << red << red << true << true << u"[b][i][/i][/b]"_s;
    // The window hands over every unit: an emoji stays whole inside one tag.
    QTest::newRow("emoji") << u"a\U0001F600b"_s << black << black << false << false
                           << u"[color=#000000]a[/color][color=#000000]\U0001F600[/color]"
                              u"[color=#000000]b[/color]"_s;
    QTest::newRow("brackets copied as typed")
        << u"[/]"_s << black << black << false << false
        << u"[color=#000000][[/color][color=#000000]/[/color][color=#000000]][/color]"_s;
}

void GenerateTest::writesMarkup() {
    QFETCH(QString, text);
    QFETCH(huewright::Colour, start);
    QFETCH(huewright::Colour, end);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, expected);

    set(text, start, end, bold, italic);
    const huewright::test::BoxCatcher catcher;
    clickGenerate();
    QVERIFY2(!catcher.seen(), qPrintable(catcher.seen() ? catcher.seen()->text : QString()));
    QCOMPARE(output(), expected);
}

void GenerateTest::failureShowsErrorBox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<huewright::Colour>("start");
    QTest::addColumn<huewright::Colour>("end");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("message");

    const QString noText = u"There is no text to colour. Type a text first, then press Generate."_s;
    QTest::newRow("no text, colours differ") << QString() << huewright::Colour{255, 0, 0}
                                             << huewright::Colour{0, 0, 255} << false << noText;
    QTest::newRow("no text, only blue differs, bold")
        << QString() << huewright::Colour{0, 0, 0} << huewright::Colour{0, 0, 1} << true << noText;
    QTest::newRow("100,000 characters")
        << QString(100'000, u'x') << huewright::Colour{9, 9, 9} << huewright::Colour{9, 9, 9}
        << false
        << u"The text has more than 99,999 characters (100,000), more than Huewright can "
           u"colour. Shorten it and generate again."_s;
}

void GenerateTest::failureShowsErrorBox() {
    QFETCH(QString, text);
    QFETCH(huewright::Colour, start);
    QFETCH(huewright::Colour, end);
    QFETCH(bool, bold);
    QFETCH(QString, message);

    // Text2 holds an earlier result, which the failed press must not leave behind.
    Find<QLineEdit>(*window_, u"Text2"_s)->setText(u"earlier"_s);
    set(text, start, end, bold, false);
    const huewright::test::BoxCatcher catcher;
    clickGenerate();

    QVERIFY(catcher.seen().has_value());
    const huewright::test::SeenBox& box = *catcher.seen();
    QCOMPARE(box.caption, u"Error"_s);
    QCOMPARE(box.text, message);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttonCount, 1);
    QVERIFY(box.okButton);
    QVERIFY(box.modal);
    QVERIFY(output().isEmpty());
}

void GenerateTest::secondPressReplacesOutput() {
    set(u"Hi"_s, {255, 0, 0}, {0, 0, 255}, false, false);
    clickGenerate();
    const QString first = output();
    clickGenerate();
    QCOMPARE(output(), first);
    QCOMPARE(first, u"[color=#800000]H[/color][color=#01007F]i[/color]"_s);
}

void GenerateTest::readsControlsAtEveryPress() {
    set(u"Hi"_s, {255, 0, 0}, {0, 0, 255}, false, false);
    clickGenerate();
    Find<QCheckBox>(*window_, u"chkBold"_s)->setChecked(true);
    Find<QScrollBar>(*window_, u"r1"_s)->setValue(0);
    Find<QScrollBar>(*window_, u"b2"_s)->setValue(0);
    Find<QLineEdit>(*window_, u"Text1"_s)->setText(u"Yo"_s);
    clickGenerate();
    QCOMPARE(output(), u"[b][color=#000000]Y[/color][color=#000000]o[/color][/b]"_s);
}

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
