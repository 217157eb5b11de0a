#include "huewright/contrast.h"

#include "huewright/characters.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace huewright {

namespace {

double Ratio(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::int64_t VisibleCharacters(std::u16string_view text) {
    // A full markup has one unit between its tags nearly always: no splitting needed.
    if (text.size() == 1) {
        return IsWhiteSpace(text) ? 0 : 1;
    }
    const std::vector<std::int32_t> bounds = CharacterBounds(text);
    std::int64_t visible = 0;
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const auto from = static_cast<std::size_t>(bounds[i]);
        const auto to = static_cast<std::size_t>(bounds[i + 1]);
        visible += IsWhiteSpace(text.substr(from, to - from)) ? 0 : 1;
    }
    return visible;
}

} // namespace

double RelativeLuminance(Colour colour) {
    // sRGB's transfer function undone, as WCAG 2.x writes it (its 0.03928 threshold), for all
    // 256 values once: a gradient of 99,999 characters asks for about 300,000.
    static const std::array<double, 256> linear = [] {
        std::array<double, 256> table{};
        for (std::size_t i = 0; i < table.size(); ++i) {
            const double c = static_cast<double>(i) / 255.0;
            table.at(i) = c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return table;
    }();
    const auto at = [](int channel) { return linear.at(std::clamp(channel, 0, 255)); };
    return 0.2126 * at(colour.red) + 0.7152 * at(colour.green) + 0.0722 * at(colour.blue);
}

double ContrastRatio(Colour a, Colour b) {
    return Ratio(RelativeLuminance(a), RelativeLuminance(b));
}

void LegibilityCount::Add(std::u16string_view text, std::optional<Colour> colour) {
    const std::int64_t visible = VisibleCharacters(text);
    tally_.characters += visible;
    if (visible == 0 || !colour) {
        return;
    }
    const double luminance = RelativeLuminance(*colour);
    if (Ratio(luminance, lightLuminance_) < kLeastReadableContrast) {
        tally_.hardOnLight += visible;
    }
    if (Ratio(luminance, darkLuminance_) < kLeastReadableContrast) {
        tally_.hardOnDark += visible;
    }
}

} // namespace huewright
