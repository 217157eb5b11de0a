// Picking colours on a swatch: pasting, dropping, the colour dialog, copying, the tooltip and
// the accessible actions. Each ends in the side's bars, so the bars are what is checked.
#include "swatch.h"
#include "window_test_support.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QClipboard>
#include <QColorDialog>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;
using huewright::Swatch;
using huewright::test::Find;

using Bars = QList<int>;
const QStringList kBars{u"r1"_s, u"g1"_s, u"b1"_s, u"r2"_s, u"g2"_s, u"b2"_s};
Q_DECLARE_METATYPE(std::optional<QColor>)

class SwatchTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window_ = huewright::test::ShowWindow();
        setBars({1, 2, 3, 4, 5, 6});
    }
    void cleanup() { window_.reset(); }

    void pasteAndDropText_data();
    void pasteAndDropText();
    void dialog_data();
    void dialog();
    void copyTooltipAndDrops();

private:
    Swatch* shape(int side) const { return Find<Swatch>(*window_, u"Shape%1"_s.arg(side)); }
    QScrollBar* bar(const QString& name) const { return Find<QScrollBar>(*window_, name); }
    Bars bars() const {
        Bars v;
        for (const QString& name : kBars) {
            v << bar(name)->value();
        }
        return v;
    }
    void setBars(const Bars& v) {
        for (qsizetype i = 0; i < v.size(); ++i) {
            bar(kBars[i])->setValue(v[i]);
        }
    }
    // Opens the swatch's menu as a right click does and returns it.
    QMenu* openMenu(Swatch* s) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, s->rect().center(),
                                s->mapToGlobal(s->rect().center()));
        QApplication::sendEvent(s, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu;
    }
    // Drags `data` onto the swatch; says whether it was taken.
    static bool drop(Swatch* s, const QMimeData& data, Qt::DropActions actions = Qt::CopyAction) {
        const QPointF at = s->rect().center();
        QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(s, &enter);
        QDropEvent dropped(at, actions, &data, Qt::LeftButton, {});
        QApplication::sendEvent(s, &dropped);
        return enter.isAccepted() && dropped.isAccepted();
    }

    std::unique_ptr<huewright::Form1> window_;
};

// The forms themselves are the engine's; these rows show that paste and drop reach it.
void SwatchTest::pasteAndDropText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Bars>("colour"); // empty: refused
    QTest::newRow("#RRGGBB") << u"#336699"_s << Bars{0x33, 0x66, 0x99};
    QTest::newRow("name, spaces around") << u"\u00A0RebeccaPurple\n"_s << Bars{0x66, 0x33, 0x99};
    QTest::newRow("rgb() up to a bar at its bottom") << u"rgb(256, 0, 7)"_s << Bars{256, 0, 7};
    QTest::newRow("R,G,B") << u"12,34,56"_s << Bars{12, 34, 56};
    QTest::newRow("refused: alpha") << u"#33669980"_s << Bars{};
    QTest::newRow("refused: transparent") << u"transparent"_s << Bars{};
    QTest::newRow("refused: above 256") << u"rgb(257, 0, 0)"_s << Bars{};
}

void SwatchTest::pasteAndDropText() {
    QFETCH(QString, text);
    QFETCH(Bars, colour);
    const bool accepted = !colour.isEmpty();

    // Paste onto the start swatch: the menu offers it exactly when the text is a colour.
    QGuiApplication::clipboard()->setText(text);
    QMenu* menu = openMenu(shape(1));
    QVERIFY(menu != nullptr);
    const QList<QAction*> items = menu->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[1]->text(), u"Paste colour"_s);
    QCOMPARE(items[1]->isEnabled(), accepted);
    items[1]->trigger();
    menu->close();
    shape(1)->PasteColour(); // as an assistive tool would, enabled or not
    const Bars start = accepted ? colour : Bars{1, 2, 3};
    QCOMPARE(bars(), (start + Bars{4, 5, 6}));
    QCOMPARE(shape(1)->FillColour(),
             QColor(std::min(start[0], 255), std::min(start[1], 255), std::min(start[2], 255)));

    // The same text dropped from another program onto the end swatch.
    QMimeData data;
    data.setText(text);
    QCOMPARE(drop(shape(2), data), accepted);
    const Bars end = accepted ? colour : Bars{4, 5, 6};
    QCOMPARE(bars(), start + end);
}

void SwatchTest::dialog_data() {
    QTest::addColumn<int>("side");
    QTest::addColumn<QString>("how");
    QTest::addColumn<std::optional<QColor>>("answer"); // nothing: Cancel
    const std::optional<QColor> ok(QColor(0x33, 0x66, 0x99));
    const std::optional<QColor> cancel;
    for (const QString& how : {u"click"_s, u"menu"_s, u"accessible"_s}) {
        for (const int side : {1, 2}) {
            QTest::addRow("%s, side %d, OK", qPrintable(how), side) << side << how << ok;
            QTest::addRow("%s, side %d, Cancel", qPrintable(how), side) << side << how << cancel;
        }
    }
}

void SwatchTest::dialog() {
    QFETCH(int, side);
    QFETCH(QString, how);
    QFETCH(std::optional<QColor>, answer);
    setBars({256, 128, 0, 9, 256, 7});
    Swatch* s = shape(side);
    QStringList asked;
    s->SetColourAsker([&](QWidget* parent, const QString& title, const QColor& initial) {
        asked << title << initial.name() << QString::number(parent->window() == window_.get());
        s->ChooseColour(); // a second request while the dialog is open is ignored
        return answer;
    });
    if (how == u"click") {
        QTest::mouseClick(s, Qt::LeftButton);
    } else if (how == u"menu") {
        QMenu* menu = openMenu(s);
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actions().last()->text(), u"Choose colour\u2026"_s);
        menu->actions().last()->trigger();
    } else {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(s);
        QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
        accessible->actionInterface()->doAction(u"Choose colour\u2026"_s);
    }
    QTRY_COMPARE(asked.size(), 3);
    const QString title = side == 1 ? u"Start colour"_s : u"End colour"_s;
    QCOMPARE(asked, (QStringList{title, side == 1 ? u"#ff8000"_s : u"#09ff07"_s, u"1"_s}));
    Bars expected{256, 128, 0, 9, 256, 7};
    if (answer) {
        const Bars chosen{answer->red(), answer->green(), answer->blue()};
        expected = side == 1 ? chosen + expected.mid(3) : expected.first(3) + chosen;
    }
    QCOMPARE(bars(), expected);
}

void SwatchTest::copyTooltipAndDrops() {
    setBars({256, 128, 0, 0, 0, 0});
    QCOMPARE(shape(1)->toolTip(), u"#FF8000 (red 256, green 128, blue 0)"_s);
    QCOMPARE(shape(2)->toolTip(), u"#000000 (red 0, green 0, blue 0)"_s);
    QCOMPARE(shape(1)->focusPolicy(), Qt::NoFocus); // out of the tab order

    // The menu's three items are the accessible actions; Copy writes the code as markup does.
    QMenu* menu = openMenu(shape(1));
    QVERIFY(menu != nullptr);
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << action->text();
    }
    QCOMPARE(items, (QStringList{u"Copy colour"_s, u"Paste colour"_s, u"Choose colour\u2026"_s}));
    menu->close();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(shape(1));
    QVERIFY(accessible != nullptr && accessible->actionInterface() != nullptr);
    QCOMPARE(accessible->actionInterface()->actionNames(), items);
    QGuiApplication::clipboard()->setText(u"sentinel"_s);
    accessible->actionInterface()->doAction(items[0]);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"#FF8000"_s);

    // What a dragged swatch carries sets the other side; a translucent or moved-only colour and
    // data without a colour are refused.
    const std::unique_ptr<QMimeData> carried = huewright::ColourMimeData(shape(1)->FillColour());
    QCOMPARE(carried->text(), u"#FF8000"_s);
    QVERIFY(drop(shape(2), *carried));
    QCOMPARE(bars(), (Bars{256, 128, 0, 255, 128, 0}));
    QVERIFY(!drop(shape(1), *carried, Qt::MoveAction));
    QMimeData translucent;
    translucent.setColorData(QColor(1, 2, 3, 128));
    translucent.setText(u"#010203"_s);
    QVERIFY(!drop(shape(1), translucent));
    QMimeData links;
    links.setUrls({QUrl(u"https://example.invalid/ff0000"_s)});
    QVERIFY(!drop(shape(1), links));
    QCOMPARE(bars(), (Bars{256, 128, 0, 255, 128, 0}));
    QCOMPARE(shape(2)->toolTip(), u"#FF8000 (red 255, green 128, blue 0)"_s);
}

QTEST_MAIN(SwatchTest)
#include "tst_swatch.moc"
