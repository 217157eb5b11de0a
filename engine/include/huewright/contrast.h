// How readable a text colour is on a background: WCAG 2.x's contrast ratio, and a tally of
// the characters of a text that fall short of it.
#pragma once

#include <cstdint>
#include <string_view>

namespace huewright {

// An 8-bit sRGB colour, as written in a colour code.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// WCAG 2.x relative luminance: the linearised sRGB channels weighted 0.2126, 0.7152, 0.0722;
// 0 for black, 1 for white.
double RelativeLuminance(Rgb colour);

// (L1 + 0.05) / (L2 + 0.05), the lighter colour's luminance over the darker's: 1 to 21.
double ContrastRatio(Rgb a, Rgb b);

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
    LegibilityCount(Rgb light, Rgb dark);

    // `text` shown in `colour`: each character that is not white space is counted once, and
    // as hard to read on each background where its contrast is below 3:1.
    void add(std::u16string_view text, Rgb colour);
    // `text` in the reader's own text colour, which suits either background.
    void addUncoloured(std::u16string_view text);

    Legibility result() const { return tally_; }

private:
    double lightLuminance_;
    double darkLuminance_;
    Legibility tally_;
};

} // namespace huewright
