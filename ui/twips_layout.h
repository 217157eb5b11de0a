// Placing controls drawn up in twips at whatever scale the desktop's font needs.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace huewright {

// Fifteen twips make a pixel at 96 dots per inch: the scale the layout was drawn at.
inline constexpr double kPixelsPerTwipAtLeast = 1.0 / 15.0;

// `twips` at `scale` pixels per twip, rounded edge by edge so that controls which touch or
// overlap in twips still touch or overlap on screen.
QRect Scaled(const QRect& twips, double scale);

// What `control` needs to draw its caption or text whole, the style's margins included; an
// empty size for controls without text.
QSize ContentSize(const QWidget& control);

// Every control keeps its twips; all of them are scaled by one common factor, the smallest
// at which each one's content fits, so the window keeps its proportions at any font size.
class TwipsLayout {
public:
    struct Placement {
        QWidget* control;
        QRect twips;
    };

    explicit TwipsLayout(QSize windowTwips) : window_(windowTwips) {}

    void Add(QWidget* control, const QRect& twips) { placements_.push_back({control, twips}); }

    // Pixels per twip at which every control's content fits, never below kPixelsPerTwipAtLeast.
    double FittingScale() const;

    // Places every control at `scale` and fixes `window`'s size to match.
    void Apply(QWidget& window, double scale) const;

    // The twips of the window and of each control, in the order they were added.
    QSize WindowTwips() const { return window_; }
    const std::vector<Placement>& Placements() const { return placements_; }

private:
    bool Fits(double scale) const;

    QSize window_;
    std::vector<Placement> placements_;
};

} // namespace huewright
