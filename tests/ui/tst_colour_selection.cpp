// Colour selection: live swatches, the "<>" swap and "Random".
#include "swatch.h"
#include "window_test_support.h"

#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

namespace {

const QStringList kBars{u"r1"_s, u"g1"_s, u"b1"_s, u"r2"_s, u"g2"_s, u"b2"_s};

QPoint CentreOf(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar).center();
}

} // namespace

class ColourSelectionTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { window_.reset(); }

    void barRecoloursOnlyItsSwatch_data();
    void barRecoloursOnlyItsSwatch();
    void swatchFollowsThumbWhileDragged_data();
    void swatchFollowsThumbWhileDragged();
    void valueAbove255ShowsAs255();
    void swap_data();
    void swap();
    void randomSetsEveryBarInOrder();
    void randomIsReseededFromTimeOfDay();
    void randomNeverReachesMaximum();
    void randomSurvivesBrokenClock();

private:
    void show(huewright::TimeOfDay clock = huewright::SecondsSinceMidnight) {
        window_ = huewright::test::ShowWindow(std::move(clock));
    }
    QScrollBar* bar(const QString& name) const { return Find<QScrollBar>(*window_, name); }
    QColor swatch(const QString& name) const {
        return Find<huewright::Swatch>(*window_, name)->FillColour();
    }
    QList<int> values() const {
        QList<int> result;
        for (const QString& name : kBars) {
            result << bar(name)->value();
        }
        return result;
    }
    void setValues(const QList<int>& v) {
        for (qsizetype i = 0; i < kBars.size(); ++i) {
            bar(kBars[i])->setValue(v[i]);
        }
    }
    void click(const QString& name) {
        QTest::mouseClick(Find<QPushButton>(*window_, name), Qt::LeftButton);
    }
    // Both swatches show what their bars hold, 256 as 255.
    void verifySwatchesMatchBars() const;

    std::unique_ptr<huewright::Form1> window_;
};

void ColourSelectionTest::verifySwatchesMatchBars() const {
    const QList<int> v = values();
    const auto shown = [](int value) { return std::min(value, 255); };
    QCOMPARE(swatch(u"Shape1"_s), QColor(shown(v[0]), shown(v[1]), shown(v[2])));
    QCOMPARE(swatch(u"Shape2"_s), QColor(shown(v[3]), shown(v[4]), shown(v[5])));
}

void ColourSelectionTest::barRecoloursOnlyItsSwatch_data() {
    QTest::addColumn<QString>("barName");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("value");
    for (qsizetype i = 0; i < kBars.size(); ++i) {
        const QByteArray name = kBars[i].toLatin1();
        QTest::addRow("%s set to 128", name.constData()) << kBars[i] << u"set"_s << 128;
        QTest::addRow("%s arrow click", name.constData()) << kBars[i] << u"arrow"_s << 1;
        QTest::addRow("%s trough click", name.constData()) << kBars[i] << u"trough"_s << 4;
    }
}

void ColourSelectionTest::barRecoloursOnlyItsSwatch() {
    QFETCH(QString, barName);
    QFETCH(QString, how);
    QFETCH(int, value);
    show();
    QScrollBar* moved = bar(barName);
    if (how == u"set") {
        moved->setValue(value);
    } else {
        const auto part =
            how == u"arrow" ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarAddPage;
        QTest::mouseClick(moved, Qt::LeftButton, {}, CentreOf(moved, part));
    }
    QCOMPARE(moved->value(), value);

    const int channel = static_cast<int>(kBars.indexOf(barName) % 3);
    QColor expected(0, 0, 0);
    channel == 0   ? expected.setRed(value)
    : channel == 1 ? expected.setGreen(value)
                   : expected.setBlue(value);
    const bool start = barName.endsWith(u'1');
    const QString own = start ? u"Shape1"_s : u"Shape2"_s;
    const QString other = start ? u"Shape2"_s : u"Shape1"_s;
    QCOMPARE(swatch(own), expected);
    QCOMPARE(swatch(other), QColor(Qt::black));

    // And the square on screen really wears the colour.
    auto* shape = Find<huewright::Swatch>(*window_, own);
    QCOMPARE(shape->grab().toImage().pixelColor(shape->rect().center()), expected);
}

void ColourSelectionTest::swatchFollowsThumbWhileDragged_data() {
    QTest::addColumn<bool>("tracking");
    // With tracking off only the Scroll notification reports the thumb during the drag.
    QTest::newRow("value follows thumb") << true;
    QTest::newRow("value set on release") << false;
}

void ColourSelectionTest::swatchFollowsThumbWhileDragged() {
    QFETCH(bool, tracking);
    show();
    QScrollBar* g2 = bar(u"g2"_s);
    g2->setTracking(tracking);
    const QPoint grip = CentreOf(g2, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(g2, Qt::LeftButton, {}, grip);
    for (int dy = 4; dy <= 20; dy += 4) {
        QTest::mouseMove(g2, grip + QPoint(0, dy));
        QVERIFY(g2->isSliderDown());
        QVERIFY(g2->sliderPosition() > 0);
        QCOMPARE(swatch(u"Shape2"_s), QColor(0, std::min(g2->sliderPosition(), 255), 0));
    }
    const int position = g2->sliderPosition();
    QTest::mouseRelease(g2, Qt::LeftButton, {}, grip + QPoint(0, 20));
    QCOMPARE(g2->value(), position);
    QCOMPARE(swatch(u"Shape2"_s), QColor(0, std::min(position, 255), 0));
    QCOMPARE(swatch(u"Shape1"_s), QColor(Qt::black));
}

void ColourSelectionTest::valueAbove255ShowsAs255() {
    show();
    setValues({256, 0, 256, 0, 256, 10});
    QCOMPARE(swatch(u"Shape1"_s), QColor(255, 0, 255));
    QCOMPARE(swatch(u"Shape2"_s), QColor(0, 255, 10));
}

void ColourSelectionTest::swap_data() {
    QTest::addColumn<QList<int>>("before");
    QTest::newRow("both black") << QList<int>{0, 0, 0, 0, 0, 0};
    QTest::newRow("equal colours") << QList<int>{12, 200, 77, 12, 200, 77};
    QTest::newRow("red and blue") << QList<int>{255, 0, 0, 0, 0, 255};
    QTest::newRow("with 256") << QList<int>{256, 1, 2, 3, 256, 5};
}

void ColourSelectionTest::swap() {
    QFETCH(QList<int>, before);
    show();
    setValues(before);

    click(u"Command4"_s);
    const QList<int> swapped = before.mid(3) + before.first(3);
    QCOMPARE(values(), swapped);
    verifySwatchesMatchBars();

    click(u"Command4"_s);
    QCOMPARE(values(), before);
    verifySwatchesMatchBars();
}

void ColourSelectionTest::randomSetsEveryBarInOrder() {
    show([] { return 45'296.25; }); // 12:34:56.25
    QStringList changed;
    for (const QString& name : kBars) {
        connect(bar(name), &QScrollBar::valueChanged, this, [&changed, name] { changed << name; });
    }
    click(u"Command2"_s);
    const QList<int> v = values();
    for (const int value : v) {
        QVERIFY2(value >= 0 && value <= 255, qPrintable(QString::number(value)));
    }
    QStringList order{u"r1"_s, u"r2"_s, u"g1"_s, u"g2"_s, u"b1"_s, u"b2"_s};
    order.removeIf([&](const QString& name) { return bar(name)->value() == 0; });
    QCOMPARE(changed, order);
    QVERIFY(changed.size() >= 5); // a draw of exactly 0 is rare
    verifySwatchesMatchBars();
}

void ColourSelectionTest::randomIsReseededFromTimeOfDay() {
    double now = 30'000.5;
    show([&now] { return now; });
    click(u"Command2"_s);
    const QList<int> first = values();

    now = 30'000.75; // a quarter of a second later
    click(u"Command2"_s);
    const QList<int> later = values();
    QVERIFY(later != first);

    now = 30'000.5; // the same moment again gives the same colours
    setValues({0, 0, 0, 0, 0, 0});
    click(u"Command2"_s);
    QCOMPARE(values(), first);
}

void ColourSelectionTest::randomNeverReachesMaximum() {
    double now = 0;
    show([&now] { return now; });
    QList<int> lowest(6, 256);
    QList<int> highest(6, -1);
    for (int press = 0; press < 2'000; ++press) {
        now = press * 43.2; // spread over the whole day
        click(u"Command2"_s);
        const QList<int> v = values();
        for (qsizetype i = 0; i < v.size(); ++i) {
            QVERIFY2(v[i] <= 255, qPrintable(kBars[i]));
            lowest[i] = std::min(lowest[i], v[i]);
            highest[i] = std::max(highest[i], v[i]);
        }
    }
    // Uniform over 0..255: every bar gets near both ends.
    for (qsizetype i = 0; i < kBars.size(); ++i) {
        QVERIFY2(lowest[i] <= 5 && highest[i] >= 250, qPrintable(kBars[i]));
    }
}

void ColourSelectionTest::randomSurvivesBrokenClock() {
    show([]() -> double { throw std::runtime_error("no clock"); });
    click(u"Command2"_s);
    const QList<int> v = values();
    QVERIFY(v != QList<int>(6, 0));
    for (const int value : v) {
        QVERIFY(value >= 0 && value <= 255);
    }
    verifySwatchesMatchBars();
}

QTEST_MAIN(ColourSelectionTest)
#include "tst_colour_selection.moc"
