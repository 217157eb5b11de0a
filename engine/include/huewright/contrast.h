// How readable a text colour is on a background: WCAG 2.x's contrast ratio, and a tally of
// the characters of a text that fall short of it.
#pragma once

#include "huewright/colour.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace huewright {

// WCAG 2.x relative luminance, 0 for black to 1 for white; a channel of 256 counts as 255.
double RelativeLuminance(Colour colour);

// (L1 + 0.05) / (L2 + 0.05), the lighter colour's luminance over the darker's: 1 to 21.
double ContrastRatio(Colour a, Colour b);

// The least contrast WCAG accepts for any text (large text; also what it asks of a focus mark).
inline constexpr double kLeastReadableContrast = 3.0;

// Characters that are not white space, and how many of them are below the least readable
// contrast on the light and on the dark background.
struct Legibility {
    std::int64_t characters = 0;
    std::int64_t hardOnLight = 0;
    std::int64_t hardOnDark = 0;

    friend bool operator==(const Legibility&, const Legibility&) = default;
};

// Tallies a text a run of one colour at a time.
class LegibilityCount {
public:
    LegibilityCount(Colour light, Colour dark)
        : lightLuminance_(RelativeLuminance(light)), darkLuminance_(RelativeLuminance(dark)) {}

    // `text` shown in `colour`: each character that is not white space is counted once, and
    // as hard to read on each background where its contrast is below 3:1. Without a colour,
    // it is in the reader's own text colour, which suits either background.
    void Add(std::u16string_view text, std::optional<Colour> colour);

    Legibility Result() const { return tally_; }

private:
    double lightLuminance_;
    double darkLuminance_;
    Legibility tally_;
};

} // namespace huewright
