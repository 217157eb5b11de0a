#include "huewright/contrast.h"

#include "huewright/characters.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace huewright {

namespace {

// sRGB's transfer function undone, as WCAG 2.x writes it (its 0.03928 threshold).
double Linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// All 256 values once: a gradient of 99,999 characters asks for about 300,000.
const std::array<double, 256>& LinearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i) {
            t.at(i) = Linear(static_cast<std::uint8_t>(i));
        }
        return t;
    }();
    return table;
}

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
        if (!IsWhiteSpace(text.substr(from, to - from))) {
            ++visible;
        }
    }
    return visible;
}

} // namespace

double RelativeLuminance(Rgb colour) {
    const auto& linear = LinearTable();
    return 0.2126 * linear.at(colour.red) + 0.7152 * linear.at(colour.green) +
           0.0722 * linear.at(colour.blue);
}

double ContrastRatio(Rgb a, Rgb b) {
    return Ratio(RelativeLuminance(a), RelativeLuminance(b));
}

LegibilityCount::LegibilityCount(Rgb light, Rgb dark)
    : lightLuminance_(RelativeLuminance(light)), darkLuminance_(RelativeLuminance(dark)) {}

void LegibilityCount::add(std::u16string_view text, Rgb colour) {
    const std::int64_t visible = VisibleCharacters(text);
    if (visible == 0) {
        return;
    }
    const double luminance = RelativeLuminance(colour);
    tally_.characters += visible;
    if (Ratio(luminance, lightLuminance_) < kLeastReadableContrast) {
        tally_.hardOnLight += visible;
    }
    if (Ratio(luminance, darkLuminance_) < kLeastReadableContrast) {
        tally_.hardOnDark += visible;
    }
}

void LegibilityCount::addUncoloured(std::u16string_view text) {
    tally_.characters += VisibleCharacters(text);
}

} // namespace huewright
