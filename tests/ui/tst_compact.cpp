// The forum's limits: the length line over the preview and in Text2's description, and
// "Copy compact markup" in Text2's menu, which copies the compact form of what Text2 holds.
#include "preview.h"
#include "window_test_support.h"

#include <QAccessible>
#include <QClipboard>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;
using huewright::test::SeenMenu;
using huewright::test::UseMenu;

namespace {

// The first line of the hover preview, as the tooltip shows it; empty when none is shown.
QString HoverFirstLine(QLineEdit* line) {
    QHelpEvent event(QEvent::ToolTip, QPoint(10, 5), line->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(line, &event);
    if (!QToolTip::isVisible()) {
        return {};
    }
    QTextDocument document;
    document.setHtml(QToolTip::text());
    return document.toPlainText().trimmed().section(u'\n', 0, 0);
}

} // namespace

class CompactTest : public QObject {
    Q_OBJECT

private slots:
    void lengthLine_data();
    void lengthLine();
    void copyCompactMarkup();
};

void CompactTest::lengthLine_data() {
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("compact");
    QTest::addColumn<QString>("line");
    QTest::newRow("no markup") << QString() << QString() << QString();
    QTest::newRow("styles alone, no shorter") << u"[b][/b]"_s << u"[b][/b]"_s << u"7 characters"_s;
    QTest::newRow("compact shorter")
        << QString(2'415, u'x') << QString(1'902, u'y') << u"2,415 characters (compact: 1,902)"_s;
    QTest::newRow("compact as long")
        << QString(999, u'x') << QString(999, u'y') << u"999 characters"_s;
    QTest::newRow("no compact form kept")
        << QString(1'000, u'x') << QString() << u"1,000 characters"_s;
    QTest::newRow("millions") << QString(2'399'976, u'x') << QString(100'000, u'y')
                              << u"2,399,976 characters (compact: 100,000)"_s;
    // Forums count code points: an emoji is one, a lone surrogate is one.
    QTest::newRow("emoji counts once")
        << u"[color=#000000]\U0001F600[/color]"_s << u"[color=#000000]\U0001F600[/color]"_s
        << u"24 characters"_s;
    QTest::newRow("lone surrogates count once each")
        << QString(QChar(0xDC00)) + QChar(0xD800) + u'a' << QString() << u"3 characters"_s;
}

void CompactTest::lengthLine() {
    QFETCH(QString, markup);
    QFETCH(QString, compact);
    QFETCH(QString, line);
    QCOMPARE(huewright::LengthLine(markup, compact), line);
}

void CompactTest::copyCompactMarkup() {
    const auto window = huewright::test::ShowWindow();
    auto* text1 = Find<QLineEdit>(*window, u"Text1"_s);
    auto* text2 = Find<QLineEdit>(*window, u"Text2"_s);
    auto* generate = Find<QPushButton>(*window, u"Command1"_s);
    const QString full =
        u"[color=#AA0000]a[/color][color=#550055] [/color][color=#0000AA]b[/color]"_s;
    const QString compact = u"[color=#AA0000]a[/color] [color=#0000AA]b[/color]"_s;
    const QString line = u"72 characters (compact: 49)"_s;

    text1->setText(u"a b"_s);
    Find<QScrollBar>(*window, u"r1"_s)->setValue(255);
    Find<QScrollBar>(*window, u"b2"_s)->setValue(255);
    QTest::mouseClick(generate, Qt::LeftButton);
    QCOMPARE(text2->text(), full);
    QCOMPARE(text2->cursorPosition(), 0); // its start in view

    // The length, above the preview and for screen readers, who hear the contrast line next.
    QTRY_COMPARE(HoverFirstLine(text2), line);
    const QString description = line + u"\nHard to read on dark backgrounds: 2 of 2 characters"_s;
    QCOMPARE(text2->accessibleDescription(), description);
    QCOMPARE(QAccessible::queryAccessibleInterface(text2)->text(QAccessible::Description),
             description);

    // Text1 and the bars move on; the copy still matches what Text2 holds.
    text1->setText(u"something else"_s);
    Find<QScrollBar>(*window, u"r1"_s)->setValue(3);

    auto* earlier = new QMimeData;
    earlier->setText(u"earlier"_s);
    earlier->setHtml(u"<b>earlier</b>"_s);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(earlier);
    QList<QStringList> formatsSeen;
    const auto watch = connect(clipboard, &QClipboard::dataChanged, this, [&] {
        const QMimeData* data = clipboard->mimeData();
        formatsSeen << (data != nullptr ? data->formats() : QStringList());
    });
    const SeenMenu menu = UseMenu(text2, u"Copy compact markup"_s);
    QTRY_VERIFY(!formatsSeen.isEmpty()); // Windows reports changes from its message loop
    disconnect(watch);
    // Between Copy and Select All, in the line edit's own menu.
    QCOMPARE(menu.captions,
             (QStringList{u"&Copy"_s, u"Copy compact markup"_s, QString(), u"Select All"_s}));
    const qsizetype compactAt = 1;
    QVERIFY(menu.enabled.at(compactAt)); // with nothing selected
    // Cleared first: seen as it happens, or on Windows, which reports the change whole, by
    // the earlier formats being gone.
    if (!huewright::test::ReportsClipboardLater()) {
        QCOMPARE(formatsSeen.first(), QStringList());
    }
    QCOMPARE(clipboard->mimeData()->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(clipboard->text(), compact);

    // With a selection it copies the compact form of the whole, not of the selection.
    clipboard->clear();
    text2->setFocus();
    QTest::keyClick(text2, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(text2->hasSelectedText());
    QVERIFY(UseMenu(text2, u"Copy compact markup"_s).enabled.at(compactAt));
    QCOMPARE(clipboard->text(), compact);

    // A failed generation leaves nothing to copy, to count or to preview.
    text1->clear();
    {
        const huewright::test::BoxCatcher catcher; // "There is no text to colour"
        QTest::mouseClick(generate, Qt::LeftButton);
        QVERIFY(catcher.seen().has_value());
    }
    QVERIFY(!UseMenu(text2, u"Copy compact markup"_s).enabled.at(compactAt));
    QCOMPARE(clipboard->text(), compact);
    QVERIFY(text2->accessibleDescription().isEmpty());
    QTRY_VERIFY(!QToolTip::isVisible());
    QVERIFY(HoverFirstLine(text2).isEmpty());
}

QTEST_MAIN(CompactTest)
#include "tst_compact.moc"
