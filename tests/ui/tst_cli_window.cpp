// The window and huewright-cli give the same markup, full and compact, and fail alike, for the
// same input.
#include "window_test_support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

class CliWindowTest : public QObject {
    Q_OBJECT

private slots:
    void sameMarkup_data();
    void sameMarkup();
    void sameFailure();

private:
    struct Run {
        QString output;
        QString error;
        int status = -1;
    };
    struct WindowRun {
        QString full;    // Text2
        QString compact; // what "Copy compact markup" copies
        QString box;     // the "Error" box's text, if one came up
    };
    // Runs the program with the colours written as R,G,B; the text comes from standard input
    // when `viaStdin`, else as one argument.
    static Run RunCli(const QString& text, const QList<int>& bars, bool bold, bool italic,
                      bool viaStdin, bool compact = false);
    // Sets the window's controls and presses Generate.
    static WindowRun RunWindow(const QString& text, const QList<int>& bars, bool bold, bool italic);
};

CliWindowTest::Run CliWindowTest::RunCli(const QString& text, const QList<int>& bars, bool bold,
                                         bool italic, bool viaStdin, bool compact) {
    QStringList arguments{u"--start"_s, u"%1,%2,%3"_s.arg(bars[0]).arg(bars[1]).arg(bars[2]),
                          u"--end"_s, u"%1, %2, %3"_s.arg(bars[3]).arg(bars[4]).arg(bars[5]),
                          u"-n"_s};
    if (bold) {
        arguments << u"-b"_s;
    }
    if (italic) {
        arguments << u"-i"_s;
    }
    if (compact) {
        arguments << u"-c"_s;
    }
    if (!viaStdin) {
        arguments << u"--"_s << text;
    }
    QProcess process;
    process.start(QStringLiteral(HUEWRIGHT_CLI), arguments);
    if (!process.waitForStarted(30'000)) {
        qFatal("huewright-cli did not start");
    }
    if (viaStdin) {
        process.write(text.toUtf8() + "\n");
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(60'000)) {
        qFatal("huewright-cli did not finish");
    }
    return {QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()), process.exitCode()};
}

CliWindowTest::WindowRun CliWindowTest::RunWindow(const QString& text, const QList<int>& bars,
                                                  bool bold, bool italic) {
    const auto window = huewright::test::ShowWindow();
    Find<QLineEdit>(*window, u"Text1"_s)->setText(text);
    const QStringList names{u"r1"_s, u"g1"_s, u"b1"_s, u"r2"_s, u"g2"_s, u"b2"_s};
    for (qsizetype i = 0; i < names.size(); ++i) {
        Find<QScrollBar>(*window, names[i])->setValue(bars[i]);
    }
    Find<QCheckBox>(*window, u"chkBold"_s)->setChecked(bold);
    Find<QCheckBox>(*window, u"chkItalic"_s)->setChecked(italic);
    const huewright::test::BoxCatcher catcher;
    QTest::mouseClick(Find<QPushButton>(*window, u"Command1"_s), Qt::LeftButton);
    auto* text2 = Find<QLineEdit>(*window, u"Text2"_s);
    return {text2->text(), huewright::test::CopiedCompact(text2),
            catcher.seen() ? catcher.seen()->text : QString()};
}

void CliWindowTest::sameMarkup_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("bars");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("viaStdin");

    QString longText;
    for (int i = 0; i < 700; ++i) {
        longText += QChar(u'a' + i % 26);
        if (i % 7 == 0) {
            longText += u"\u00e9 \U0001F600"_s;
        }
    }
    QTest::newRow("worked example")
        << u"Hi"_s << QList<int>{255, 0, 0, 0, 0, 255} << true << false << false;
    QTest::newRow("five characters, from stdin")
        << u"Hello"_s << QList<int>{255, 0, 0, 0, 0, 255} << false << false << true;
    QTest::newRow("what a reader sees as one character")
        << u"e\u0301\U0001F1EB\U0001F1F7\U0001F468\u200D\U0001F469\u200D\U0001F467 [b]"_s
        << QList<int>{12, 200, 40, 256, 3, 99} << true << true << false;
    QTest::newRow("longer than the colours differ")
        << longText << QList<int>{0, 128, 255, 256, 127, 1} << false << true << true;
    QTest::newRow("bars at 256") << u"256"_s << QList<int>{256, 256, 256, 256, 256, 256} << false
                                 << false << false;
}

void CliWindowTest::sameMarkup() {
    QFETCH(QString, text);
    QFETCH(QList<int>, bars);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, viaStdin);

    const WindowRun window = RunWindow(text, bars, bold, italic);
    QVERIFY2(window.box.isEmpty(), qPrintable(window.box));
    for (const bool compact : {false, true}) {
        const Run cli = RunCli(text, bars, bold, italic, viaStdin, compact);
        QCOMPARE(cli.error, QString());
        QCOMPARE(cli.status, 0);
        const QString& expected = compact ? window.compact : window.full;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(cli.output, expected);
    }
}

void CliWindowTest::sameFailure() {
    const QList<int> bars{255, 0, 0, 0, 0, 255};
    const WindowRun window = RunWindow(QString(), bars, true, false);
    QVERIFY(!window.box.isEmpty());
    const Run cli = RunCli(QString(), bars, true, false, false);
    QCOMPARE(cli.status, 1);
    QCOMPARE(cli.output, window.full);
    // One failure, each front end's own words: the window's of its button, the command line's
    // of its options.
    QVERIFY2(window.box.contains(u"no text to colour"_s), qPrintable(window.box));
    QVERIFY2(cli.error.startsWith(u"huewright-cli: there is no text to colour"_s) &&
                 cli.error.contains(u"--start"_s) && !cli.error.contains(u"Generate"_s),
             qPrintable(cli.error));
}

QTEST_MAIN(CliWindowTest)
#include "tst_cli_window.moc"
