// Placing controls drawn up in twips at whatever scale the desktop's font needs.
#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace huewright {

// Fifteen twips make a pixel at 96 dots per inch: the scale the layout was drawn at.
inline constexpr double kPixelsPerTwipAtLeast = 1.0 / 15.0;

// What `control` needs to show its caption whole, margins included; empty without text.
QSize ContentSize(const QWidget& control);

// Every control's twips scaled by one factor, the least at which each content fits.
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

    void Apply(QWidget& window, double scale) const;

    QSize WindowTwips() const { return window_; }
    const std::vector<Placement>& Placements() const { return placements_; }

private:
    QSize window_;
    std::vector<Placement> placements_;
};

} // namespace huewright
