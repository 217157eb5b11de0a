// The window and huewright-cli give the same markup, and the same failure, for the same input.
#include "output_line.h"
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
    // Runs the program with the colours written as R,G,B; the text comes from standard input
    // when `viaStdin`, else as one argument.
    static Run RunCli(const QString& text, const QList<int>& bars, bool bold, bool italic,
                      bool viaStdin);
    // Sets the window's controls, presses Generate and returns Text2 (and any "Error" text).
    static std::pair<QString, QString> RunWindow(const QString& text, const QList<int>& bars,
                                                 bool bold, bool italic);
};

CliWindowTest::Run CliWindowTest::RunCli(const QString& text, const QList<int>& bars, bool bold,
                                         bool italic, bool viaStdin) {
    QStringList arguments{u"--start"_s, u"%1,%2,%3"_s.arg(bars[0]).arg(bars[1]).arg(bars[2]),
                          u"--end"_s, u"%1, %2, %3"_s.arg(bars[3]).arg(bars[4]).arg(bars[5]),
                          u"-n"_s};
    if (bold) {
        arguments << u"-b"_s;
    }
    if (italic) {
        arguments << u"-i"_s;
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

std::pair<QString, QString> CliWindowTest::RunWindow(const QString& text, const QList<int>& bars,
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
    const QString text2 = Find<huewright::OutputLine>(*window, u"Text2"_s)->text();
    return {text2, catcher.seen() ? catcher.seen()->text : QString()};
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

    const auto [window, box] = RunWindow(text, bars, bold, italic);
    QVERIFY2(box.isEmpty(), qPrintable(box));
    const Run cli = RunCli(text, bars, bold, italic, viaStdin);
    QCOMPARE(cli.error, QString());
    QCOMPARE(cli.status, 0);
    QVERIFY(!window.isEmpty());
    QCOMPARE(cli.output, window);
}

void CliWindowTest::sameFailure() {
    const QList<int> bars{255, 0, 0, 0, 0, 255};
    const auto [window, box] = RunWindow(QString(), bars, true, false);
    QVERIFY(!box.isEmpty());
    const Run cli = RunCli(QString(), bars, true, false, false);
    QCOMPARE(cli.status, 1);
    QCOMPARE(cli.output, window);
    QCOMPARE(cli.error, u"huewright-cli: "_s + box + u'\n');
}

QTEST_MAIN(CliWindowTest)
#include "tst_cli_window.moc"
