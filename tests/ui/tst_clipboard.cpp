// To ClipBoard: the clipboard is emptied, then given exactly the text of Text2.
#include "window_test_support.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

class ClipboardTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { window_.reset(); }

    void copiesOutputBox_data();
    void copiesOutputBox();
    void copiesWhatGenerateWrote_data();
    void copiesWhatGenerateWrote();

private:
    void clickToClipBoard() {
        QTest::mouseClick(Find<QPushButton>(*window_, u"Command3"_s), Qt::LeftButton);
    }

    std::unique_ptr<huewright::Form1> window_;
};

void ClipboardTest::init() {
    window_ = huewright::test::ShowWindow();
    // Something richer than plain text is already there, and must all be gone afterwards.
    auto* earlier = new QMimeData;
    earlier->setText(u"earlier"_s);
    earlier->setHtml(u"<b>earlier</b>"_s);
    earlier->setData(u"application/x-huewright-test"_s, "bytes");
    QGuiApplication::clipboard()->setMimeData(earlier);
}

void ClipboardTest::copiesOutputBox_data() {
    QTest::addColumn<QString>("output");
    QTest::newRow("markup") << u"[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("emoji and markup characters")
        << u"[color=#000000]\U0001F468\u200D\U0001F469\u200D\U0001F467[/color]<&>\""_s;
    QTest::newRow("long") << u"[color=#0A0B0C]x[/color]"_s.repeated(5'000);
}

void ClipboardTest::copiesOutputBox() {
    QFETCH(QString, output);
    Find<QLineEdit>(*window_, u"Text2"_s)->setText(output);

    // Watch every change of the clipboard: the first must leave it empty.
    QList<QStringList> formatsSeen;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto watch = connect(clipboard, &QClipboard::dataChanged, this, [&] {
        const QMimeData* data = clipboard->mimeData();
        formatsSeen << (data != nullptr ? data->formats() : QStringList());
    });
    clickToClipBoard();
    QTRY_VERIFY(!formatsSeen.isEmpty()); // Windows reports changes from its message loop
    disconnect(watch);

    // Where changes are reported as they happen, the first shows the clipboard emptied; on
    // Windows the earlier formats being gone below says the same.
    if (!huewright::test::ReportsClipboardLater()) {
        QCOMPARE(formatsSeen.first(), QStringList());
    }
    const QMimeData* data = clipboard->mimeData();
    QVERIFY(data != nullptr);
    QCOMPARE(data->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(clipboard->text(), output);
}

void ClipboardTest::copiesWhatGenerateWrote_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("endRed");
    QTest::newRow("success") << u"Hi"_s << 0;
    QTest::newRow("failed generation") << QString() << 9; // nothing to colour: empty output
}

void ClipboardTest::copiesWhatGenerateWrote() {
    QFETCH(QString, text);
    QFETCH(int, endRed);
    Find<QLineEdit>(*window_, u"Text1"_s)->setText(text);
    Find<QScrollBar>(*window_, u"r2"_s)->setValue(endRed);
    {
        const huewright::test::BoxCatcher catcher; // answers the box of the failed generation
        QTest::mouseClick(Find<QPushButton>(*window_, u"Command1"_s), Qt::LeftButton);
    }
    const QString output = Find<QLineEdit>(*window_, u"Text2"_s)->text();
    clickToClipBoard();
    QCOMPARE(QGuiApplication::clipboard()->text(), output);
}

QTEST_MAIN(ClipboardTest)
#include "tst_clipboard.moc"
