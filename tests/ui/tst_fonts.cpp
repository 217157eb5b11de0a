// Every caption and both text boxes show whole at the fonts people's desktops use, and the
// layout stays the table's, scaled as one.
#include "swatch.h"
#include "twips_layout.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <cmath>

using namespace Qt::Literals::StringLiterals;
using huewright::test::Find;

namespace {

// The room a control's text takes: the font's metrics plus the style's own margins.
QSize Needed(const QWidget& control) {
    const QFontMetrics fm = control.fontMetrics();
    const QStyle* style = control.style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &control);
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &control);
        return {fm.horizontalAdvance(button->text()) + margin + 2 * frame, fm.height() + 2 * frame};
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(&control)) {
        const int indicator = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &control);
        const int spacing = style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &control);
        return {indicator + spacing + fm.horizontalAdvance(box->text()),
                std::max(style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, &control),
                         fm.height())};
    }
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        return {fm.horizontalAdvance(label->text()), fm.height()};
    }
    if (control.objectName().startsWith(u"Text")) {
        // A line of text, a pixel above and below it as QLineEdit keeps, inside the frame.
        return {0, fm.height() + 2 + 2 * frame};
    }
    return {0, 0};
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QApplication::setFont(original_); }

    void captionsFitAtEveryFont_data();
    void captionsFitAtEveryFont();
    void followsAFontChangeWhileOpen();
    void swatchEdgesAtFractionalScales_data();
    void swatchEdgesAtFractionalScales();

private:
    const QFont original_ = QApplication::font();
};

void FontsTest::captionsFitAtEveryFont_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    for (const char* family : {"DejaVu Sans", "Noto Sans", "Cantarell"}) {
        for (int points = 8; points <= 16; ++points) {
            // Named without addRow's format: GCC 12 warns falsely of a null "%s" in Release.
            const QByteArray row = family + (' ' + QByteArray::number(points)) + " pt";
            QTest::newRow(row.constData()) << QString::fromLatin1(family) << points;
        }
    }
}

void FontsTest::captionsFitAtEveryFont() {
    QFETCH(QString, family);
    QFETCH(int, points);
    const QFont font(family, points);
    QVERIFY2(QFontInfo(font).family() == family, "font not installed (scripts/install-deps.sh)");
    QApplication::setFont(font);
    const auto window = huewright::test::ShowWindow();
    const double scale = huewright::test::Scale(*window);
    QVERIFY(scale >= 1.0 / 15.0);

    // The smallest such scale: one pixel less across and some control would no longer fit.
    const int windowTwips = window->Layout().WindowTwips().width();
    bool tight = window->width() == std::lround(windowTwips * huewright::kPixelsPerTwipAtLeast);
    const auto& placements = window->Layout().Placements();
    QCOMPARE(placements.size(), std::size_t{18}); // every control of the window
    for (const auto& [control, twips] : placements) {
        QVERIFY2(huewright::test::PlacedAtScale(*control, twips, scale),
                 qPrintable(huewright::test::PlacementText(*control, twips, scale)));
        const QSize needed = Needed(*control);
        QVERIFY2(needed.width() <= control->width() && needed.height() <= control->height(),
                 qPrintable(
                     u"%1 needs %2x%3"_s.arg(huewright::test::PlacementText(*control, twips, scale))
                         .arg(needed.width())
                         .arg(needed.height())));
        // Whether it is the smallest is measured the way the window measures; that its
        // measure is generous enough is what the check above is for.
        const QSize wanted = huewright::ContentSize(*control);
        const double smaller = scale - 2.0 / windowTwips;
        const auto shrunk = [&](int twips) { return std::lround(twips * smaller) - 1; };
        tight = tight || wanted.width() > shrunk(twips.width()) ||
                wanted.height() > shrunk(twips.height());
    }
    QVERIFY2(tight, "the window is larger than its captions need");
}

void FontsTest::followsAFontChangeWhileOpen() {
    QApplication::setFont(QFont(u"DejaVu Sans"_s, 9));
    const auto window = huewright::test::ShowWindow();
    const int before = window->width();
    QApplication::setFont(QFont(u"DejaVu Sans"_s, 16));
    QTRY_VERIFY(window->width() > before);
    QCOMPARE(window->minimumSize(), window->maximumSize());
    const auto* generate = Find<QPushButton>(*window, u"Command1"_s);
    QVERIFY(Needed(*generate).width() <= generate->width());
}

void FontsTest::swatchEdgesAtFractionalScales_data() {
    QTest::addColumn<double>("ratio");
    for (double ratio : {1.0, 1.25, 1.5, 1.75, 2.0}) {
        QTest::addRow("%g", ratio) << ratio;
    }
}

// The fill never shows outside the outline, whichever way the edges fall on device pixels.
void FontsTest::swatchEdgesAtFractionalScales() {
    QFETCH(double, ratio);
    huewright::Swatch swatch;
    swatch.resize(49, 49);
    swatch.SetFillColour(Qt::red);
    const int side = static_cast<int>(std::ceil(49 * ratio));
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDevicePixelRatio(ratio);
    swatch.render(&image);
    const QColor fill(Qt::red);
    for (int i = 0; i < side; ++i) {
        for (const QPoint edge :
             {QPoint(i, 0), QPoint(0, i), QPoint(side - 1, i), QPoint(i, side - 1)}) {
            QVERIFY2(image.pixelColor(edge) != fill,
                     qPrintable(u"fill at %1,%2"_s.arg(edge.x()).arg(edge.y())));
        }
    }
    QCOMPARE(image.pixelColor(side / 2, side / 2), fill);
}

QTEST_MAIN(FontsTest)
#include "tst_fonts.moc"
