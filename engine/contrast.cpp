#include "huewright/contrast.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace huewright {

double ContrastRatio(Colour a, Colour b) {
    // WCAG 2.x's linearisation (0.03928 threshold) of all 256 values once: 99,999 ask 400,000.
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            const double c = static_cast<double>(i) / 255.0;
            table.at(i) = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    const auto luminance = [](Colour colour) {
        const auto at = [](int channel) { return linear.at(std::clamp(channel, 0, 255)); };
        return 0.2126 * at(colour.red) + 0.7152 * at(colour.green) + 0.0722 * at(colour.blue);
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace huewright
