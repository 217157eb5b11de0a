#include "twips_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace huewright {
namespace {

// `twips` at `scale`, rounded edge by edge: controls that touch in twips touch on screen.
QRect Scaled(const QRect& twips, double scale) {
    const auto round = [scale](int twip) { return static_cast<int>(std::lround(twip * scale)); };
    const int left = round(twips.x());
    const int top = round(twips.y());
    const int right = round(twips.x() + twips.width());
    const int bottom = round(twips.y() + twips.height());
    return {left, top, right - left, bottom - top};
}

} // namespace

QSize ContentSize(const QWidget& control) {
    if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
        // The caption and the style's margins, not some styles' minimum width: "<>" is narrow.
        QStyleOptionButton option;
        option.initFrom(button);
        // Some styles keep room around an auto-default button for the default frame.
        if (button->autoDefault()) {
            option.features |= QStyleOptionButton::AutoDefaultButton;
        }
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button);
    }
    if (qobject_cast<const QLabel*>(&control) != nullptr ||
        qobject_cast<const QCheckBox*>(&control) != nullptr) {
        return control.sizeHint(); // the caption, plus indicator and spacing for a check box
    }
    const QSize minimum = control.minimumSizeHint();
    return minimum.isValid() ? minimum : QSize();
}

double TwipsLayout::FittingScale() const {
    double scale = kPixelsPerTwipAtLeast;
    for (const Placement& p : placements_) {
        const QSize needed = ContentSize(*p.control);
        if (p.twips.width() > 0) {
            scale = std::max(scale, needed.width() / static_cast<double>(p.twips.width()));
        }
        if (p.twips.height() > 0) {
            scale = std::max(scale, needed.height() / static_cast<double>(p.twips.height()));
        }
    }
    // Rounding can take a pixel off; widen about a pixel at a time until it does not.
    const auto fits = [this](double at) {
        return std::ranges::all_of(placements_, [at](const Placement& p) {
            const QSize needed = ContentSize(*p.control);
            const QSize placed = Scaled(p.twips, at).size();
            return needed.width() <= placed.width() && needed.height() <= placed.height();
        });
    };
    const double pixel = 1.0 / window_.width();
    constexpr int kMaxSteps = 10'000;
    for (int step = 0; step < kMaxSteps && !fits(scale); ++step) {
        scale += pixel;
    }
    return scale;
}

void TwipsLayout::Apply(QWidget& window, double scale) const {
    for (const Placement& p : placements_) {
        p.control->setGeometry(Scaled(p.twips, scale));
    }
    window.setFixedSize(Scaled(QRect(QPoint(0, 0), window_), scale).size());
}

} // namespace huewright
