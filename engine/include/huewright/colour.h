// Colours as people write them: the one grammar of the window's paste and drop and of
// huewright-cli's options, and the codes the markup writes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace huewright {

// The bars run 0..256; 256, a bar at its bottom, is written FF.
inline constexpr int kMaxChannel = 256;

// Three channel values as the bars hold them.
struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

// Why a text is not a colour.
enum class ColourRefusal {
    NotAColour, // none of the accepted forms: alpha forms and `transparent` included
    OutOfRange, // a decimal form with a value above 256
};

// Reads `#RGB` (each digit doubled), `#RRGGBB`, `RRGGBB` (hex digits of either case),
// `rgb(R, G, B)`, `R,G,B` (whole decimal numbers 0..256, white space around each and leading
// zeros allowed) or a CSS colour name in any case. White space around the whole is ignored.
// `text` is UTF-8; only ASCII letters and digits make a colour.
std::variant<Colour, ColourRefusal> ParseColour(std::string_view text);

// Two upper-case hex digits of a channel value, as the markup writes it: above 255 as FF.
inline std::array<char, 2> HexPair(int value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    const auto v = static_cast<std::size_t>(std::clamp(value, 0, 255));
    return {kDigits[v / 16], kDigits[v % 16]};
}

// `#RRGGBB`, each channel as HexPair writes it.
std::string FormatColour(Colour colour);

} // namespace huewright
