// Colours as people write them, for every front end, and the codes the markup writes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace huewright {

// The bars run 0..256; 256, a bar at its bottom, is written FF.
inline constexpr int kMaxChannel = 256;

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

enum class ColourRefusal {
    NotAColour, // none of the accepted forms: alpha forms and `transparent` included
    OutOfRange, // a decimal form with a value above 256
};

// Reads `#RGB`, `#RRGGBB`, `RRGGBB`, `rgb(R, G, B)`, `R,G,B` (whole numbers 0..256) or a CSS
// colour name in any case, from UTF-8 `text`; only ASCII letters and digits make a colour.
std::variant<Colour, ColourRefusal> ParseColour(std::string_view text);

// Three hex digits (doubled, as CSS reads #RGB) or six, of either case, and nothing else.
std::optional<Colour> ColourFromHex(std::string_view digits);

// Two upper-case hex digits of a channel value, as the markup writes it: above 255 as FF.
inline std::array<char, 2> HexPair(int value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto v = static_cast<std::size_t>(std::clamp(value, 0, 255));
    return {kDigits[v / 16], kDigits[v % 16]};
}

// `#RRGGBB`, each channel as HexPair writes it.
std::string FormatColour(Colour colour);

} // namespace huewright
