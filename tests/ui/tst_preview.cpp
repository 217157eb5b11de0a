// The hover preview: the markup as a forum would show it, with nothing typed ever interpreted.
#include "preview.h"
#include "window_test_support.h"

#include <QHelpEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

namespace {

// Wraps every code point of `text` in a colour tag, as a generation does.
QString Tagged(const QString& text, const QString& code = u"102030"_s) {
    QString markup;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype width = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        markup += u"[color=#"_s + code + u"]"_s + text.mid(i, width) + u"[/color]"_s;
        i += width - 1;
    }
    return markup;
}

// The hover preview of `markup`, on a screen so large that nothing wraps or is cut for room.
QString PreviewOf(const QString& markup) {
    return huewright::PreviewToolTip(markup, {}, QFont(), QSize(100'000, 100'000));
}

// The format of the character at `position` of `block`, after the rendering's indent.
QTextCharFormat FormatOf(const QTextBlock& block, int position) {
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + position + 2);
    return cursor.charFormat();
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT

private slots:
    void rendersAsForum_data();
    void rendersAsForum();
    void emptyOutputHasNoPreview();
    void hoverShowsPreview();
};

void PreviewTest::rendersAsForum_data() {
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("firstColour");
    QTest::addColumn<QString>("lastColour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    QTest::newRow("worked example") << u"[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"_s
                                    << u"Hi"_s << u"#800000"_s << u"#01007f"_s << true << false;
    QTest::newRow("both switches") << u"[b][i]"_s + Tagged(u"ok"_s) + u"[/i][/b]"_s << u"ok"_s
                                   << u"#102030"_s << u"#102030"_s << true << true;
    QTest::newRow("html typed") << Tagged(u"<b>&amp;</b>"_s) << u"<b>&amp;</b>"_s << u"#102030"_s
                                << u"#102030"_s << false << false;
    QTest::newRow("script typed") << Tagged(u"<script>alert(1)</script>"_s)
                                  << u"<script>alert(1)</script>"_s << u"#102030"_s << u"#102030"_s
                                  << false << false;
    QTest::newRow("forum tags typed") << Tagged(u"[/color][b]"_s) << u"[/color][b]"_s
                                      << u"#102030"_s << u"#102030"_s << false << false;
    QTest::newRow("colour code that is not one")
        << u"[color=#\"><i>]x[/color]"_s << u"[color=#\"><i>]x"_s << QString() << QString() << false
        << false;
    QTest::newRow("spaces kept") << Tagged(u"a   b"_s) << u"a   b"_s << u"#102030"_s << u"#102030"_s
                                 << false << false;
    QTest::newRow("emoji") << Tagged(u"\U0001F600!"_s) << u"\U0001F600!"_s << u"#102030"_s
                           << u"#102030"_s << false << false;
    QTest::newRow("exactly 200 characters") << Tagged(QString(200, u'x')) << QString(200, u'x')
                                            << u"#102030"_s << u"#102030"_s << false << false;
    QTest::newRow("201 characters cut")
        << Tagged(QString(201, u'y')) << QString(200, u'y') + u"\u2026"_s << u"#102030"_s
        << u"#102030"_s << false << false;
    // The 200th character is an emoji: it is shown whole, never half a surrogate pair.
    QTest::newRow("cut after an emoji") << Tagged(QString(199, u'z') + u"\U0001F600\U0001F600"_s)
                                        << QString(199, u'z') + u"\U0001F600\u2026"_s
                                        << u"#102030"_s << u"#102030"_s << false << false;
    QTest::newRow("plain text without tags, long")
        << QString(300'000, u'q') << QString(200, u'q') + u"\u2026"_s << QString() << QString()
        << false << false;
}

void PreviewTest::rendersAsForum() {
    QFETCH(QString, markup);
    QFETCH(QString, shown);
    QFETCH(QString, firstColour);
    QFETCH(QString, lastColour);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    QTextDocument document;
    document.setHtml(PreviewOf(markup));
    // The last block is the rendering on the dark background, after its indent.
    const QTextBlock rendering = document.lastBlock();
    QCOMPARE(rendering.text(), u"\u00A0"_s + shown);

    const int last =
        static_cast<int>(shown.endsWith(u'\u2026') ? shown.size() - 2 : shown.size() - 1);
    const QTextCharFormat first = FormatOf(rendering, 0);
    const QTextCharFormat end = FormatOf(rendering, last);
    // Outside a colour tag the text takes the forum's own text colour.
    QCOMPARE(first.foreground().color().name(), firstColour.isEmpty() ? u"#dcdcdc"_s : firstColour);
    if (!firstColour.isEmpty()) {
        QCOMPARE(end.foreground().color().name(), lastColour);
    }
    QCOMPARE(first.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(end.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(first.fontItalic(), italic);
    QCOMPARE(end.fontItalic(), italic);
}

void PreviewTest::emptyOutputHasNoPreview() {
    QVERIFY(PreviewOf(QString()).isEmpty());
    // Tags alone: the length line, and nothing rendered.
    const QString tags = u"[b][i][/i][/b]"_s;
    QTextDocument document;
    document.setHtml(PreviewOf(tags));
    QCOMPARE(document.toPlainText().trimmed(), huewright::LengthLine(tags, {}));
}

void PreviewTest::hoverShowsPreview() {
    const auto window = huewright::test::ShowWindow();
    auto* text2 = Find<QLineEdit>(*window, u"Text2"_s);
    const auto hover = [&] {
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        QHelpEvent event(QEvent::ToolTip, QPoint(10, 5), text2->mapToGlobal(QPoint(10, 5)));
        QApplication::sendEvent(text2, &event);
    };
    const auto tipLabel = [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == u"qtooltip_label"_s && w->isVisible()) {
                return w;
            }
        }
        return static_cast<QWidget*>(nullptr);
    };

    // White letters cannot be read on the light background; both renderings are there.
    Find<QLineEdit>(*window, u"Text1"_s)->setText(u"<i>"_s);
    for (const QString& bar : {u"r1"_s, u"g1"_s, u"b1"_s, u"r2"_s, u"g2"_s, u"b2"_s}) {
        Find<QScrollBar>(*window, bar)->setValue(255);
    }
    QTest::mouseClick(Find<QPushButton>(*window, u"Command1"_s), Qt::LeftButton);
    QCOMPARE(text2->text(), Tagged(u"<i>"_s, u"FFFFFF"_s));
    hover();
    QTRY_VERIFY(QToolTip::isVisible());
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    const QString contrast = u"Hard to read on light backgrounds: 3 of 3 characters"_s;
    const QString length = huewright::LengthLine(text2->text(), u"[color=#FFFFFF]<i>[/color]"_s);
    // The length line at the top, then the contrast line, then the two renderings.
    const QString plain = tip.toPlainText().trimmed();
    QVERIFY2(plain.startsWith(length + u"\n"_s + contrast + u"\n"_s), qPrintable(plain));
    QCOMPARE(plain.count(u"<i>"_s), 2);
    QCOMPARE(text2->accessibleDescription(), length + u"\n"_s + contrast);

    // A long word without spaces and a text of many lines both fit the screen, "…" and all.
    const QRect screen = text2->screen()->availableGeometry();
    for (const QString& text :
         {QString(300, u'w'), QString(150, u'\n').replace(u"\n"_s, u"a\n"_s)}) {
        text2->setText(Tagged(text));
        hover();
        QTRY_VERIFY(tipLabel() != nullptr);
        const QWidget* label = tipLabel();
        QVERIFY2(label->width() <= screen.width() / 2 + 16,
                 qPrintable(QString::number(label->width())));
        QVERIFY2(label->height() <= screen.height(), qPrintable(QString::number(label->height())));
        QVERIFY(QToolTip::text().contains(u"\u2026"_s));
    }

    text2->setText(QString());
    hover();
    QTRY_VERIFY(!QToolTip::isVisible());
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
