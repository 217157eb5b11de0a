#include "huewright/colour.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace huewright {
namespace {

struct NamedColour {
    std::string_view name;
    // cppcheck-suppress unusedStructMember ; read through `found` in FromName, which it misses
    Colour colour;
};

// The CSS colour names, sorted for a binary search; `transparent` is not an opaque colour.
constexpr std::array<NamedColour, 148> kNames{{
    {"aliceblue", {240, 248, 255}},
    {"antiquewhite", {250, 235, 215}},
    {"aqua", {0, 255, 255}},
    {"aquamarine", {127, 255, 212}},
    {"azure", {240, 255, 255}},
    {"beige", {245, 245, 220}},
    {"bisque", {255, 228, 196}},
    {"black", {0, 0, 0}},
    {"blanchedalmond", {255, 235, 205}},
    {"blue", {0, 0, 255}},
    {"blueviolet", {138, 43, 226}},
    {"brown", {165, 42, 42}},
    {"burlywood", {222, 184, 135}},
    {"cadetblue", {95, 158, 160}},
    {"chartreuse", {127, 255, 0}},
    {"chocolate", {210, 105, 30}},
    {"coral", {255, 127, 80}},
    {"cornflowerblue", {100, 149, 237}},
    {"cornsilk", {255, 248, 220}},
    {"crimson", {220, 20, 60}},
    {"cyan", {0, 255, 255}},
    {"darkblue", {0, 0, 139}},
    {"darkcyan", {0, 139, 139}},
    {"darkgoldenrod", {184, 134, 11}},
    {"darkgray", {169, 169, 169}},
    {"darkgreen", {0, 100, 0}},
    {"darkgrey", {169, 169, 169}},
    {"darkkhaki", {189, 183, 107}},
    {"darkmagenta", {139, 0, 139}},
    {"darkolivegreen", {85, 107, 47}},
    {"darkorange", {255, 140, 0}},
    {"darkorchid", {153, 50, 204}},
    {"darkred", {139, 0, 0}},
    {"darksalmon", {233, 150, 122}},
    {"darkseagreen", {143, 188, 143}},
    {"darkslateblue", {72, 61, 139}},
    {"darkslategray", {47, 79, 79}},
    {"darkslategrey", {47, 79, 79}},
    {"darkturquoise", {0, 206, 209}},
    {"darkviolet", {148, 0, 211}},
    {"deeppink", {255, 20, 147}},
    {"deepskyblue", {0, 191, 255}},
    {"dimgray", {105, 105, 105}},
    {"dimgrey", {105, 105, 105}},
    {"dodgerblue", {30, 144, 255}},
    {"firebrick", {178, 34, 34}},
    {"floralwhite", {255, 250, 240}},
    {"forestgreen", {34, 139, 34}},
    {"fuchsia", {255, 0, 255}},
    {"gainsboro", {220, 220, 220}},
    {"ghostwhite", {248, 248, 255}},
    {"gold", {255, 215, 0}},
    {"goldenrod", {218, 165, 32}},
    {"gray", {128, 128, 128}},
    {"green", {0, 128, 0}},
    {"greenyellow", {173, 255, 47}},
    {"grey", {128, 128, 128}},
    {"honeydew", {240, 255, 240}},
    {"hotpink", {255, 105, 180}},
    {"indianred", {205, 92, 92}},
    {"indigo", {75, 0, 130}},
    {"ivory", {255, 255, 240}},
    {"khaki", {240, 230, 140}},
    {"lavender", {230, 230, 250}},
    {"lavenderblush", {255, 240, 245}},
    {"lawngreen", {124, 252, 0}},
    {"lemonchiffon", {255, 250, 205}},
    {"lightblue", {173, 216, 230}},
    {"lightcoral", {240, 128, 128}},
    {"lightcyan", {224, 255, 255}},
    {"lightgoldenrodyellow", {250, 250, 210}},
    {"lightgray", {211, 211, 211}},
    {"lightgreen", {144, 238, 144}},
    {"lightgrey", {211, 211, 211}},
    {"lightpink", {255, 182, 193}},
    {"lightsalmon", {255, 160, 122}},
    {"lightseagreen", {32, 178, 170}},
    {"lightskyblue", {135, 206, 250}},
    {"lightslategray", {119, 136, 153}},
    {"lightslategrey", {119, 136, 153}},
    {"lightsteelblue", {176, 196, 222}},
    {"lightyellow", {255, 255, 224}},
    {"lime", {0, 255, 0}},
    {"limegreen", {50, 205, 50}},
    {"linen", {250, 240, 230}},
    {"magenta", {255, 0, 255}},
    {"maroon", {128, 0, 0}},
    {"mediumaquamarine", {102, 205, 170}},
    {"mediumblue", {0, 0, 205}},
    {"mediumorchid", {186, 85, 211}},
    {"mediumpurple", {147, 112, 219}},
    {"mediumseagreen", {60, 179, 113}},
    {"mediumslateblue", {123, 104, 238}},
    {"mediumspringgreen", {0, 250, 154}},
    {"mediumturquoise", {72, 209, 204}},
    {"mediumvioletred", {199, 21, 133}},
    {"midnightblue", {25, 25, 112}},
    {"mintcream", {245, 255, 250}},
    {"mistyrose", {255, 228, 225}},
    {"moccasin", {255, 228, 181}},
    {"navajowhite", {255, 222, 173}},
    {"navy", {0, 0, 128}},
    {"oldlace", {253, 245, 230}},
    {"olive", {128, 128, 0}},
    {"olivedrab", {107, 142, 35}},
    {"orange", {255, 165, 0}},
    {"orangered", {255, 69, 0}},
    {"orchid", {218, 112, 214}},
    {"palegoldenrod", {238, 232, 170}},
    {"palegreen", {152, 251, 152}},
    {"paleturquoise", {175, 238, 238}},
    {"palevioletred", {219, 112, 147}},
    {"papayawhip", {255, 239, 213}},
    {"peachpuff", {255, 218, 185}},
    {"peru", {205, 133, 63}},
    {"pink", {255, 192, 203}},
    {"plum", {221, 160, 221}},
    {"powderblue", {176, 224, 230}},
    {"purple", {128, 0, 128}},
    {"rebeccapurple", {102, 51, 153}},
    {"red", {255, 0, 0}},
    {"rosybrown", {188, 143, 143}},
    {"royalblue", {65, 105, 225}},
    {"saddlebrown", {139, 69, 19}},
    {"salmon", {250, 128, 114}},
    {"sandybrown", {244, 164, 96}},
    {"seagreen", {46, 139, 87}},
    {"seashell", {255, 245, 238}},
    {"sienna", {160, 82, 45}},
    {"silver", {192, 192, 192}},
    {"skyblue", {135, 206, 235}},
    {"slateblue", {106, 90, 205}},
    {"slategray", {112, 128, 144}},
    {"slategrey", {112, 128, 144}},
    {"snow", {255, 250, 250}},
    {"springgreen", {0, 255, 127}},
    {"steelblue", {70, 130, 180}},
    {"tan", {210, 180, 140}},
    {"teal", {0, 128, 128}},
    {"thistle", {216, 191, 216}},
    {"tomato", {255, 99, 71}},
    {"turquoise", {64, 224, 208}},
    {"violet", {238, 130, 238}},
    {"wheat", {245, 222, 179}},
    {"white", {255, 255, 255}},
    {"whitesmoke", {245, 245, 245}},
    {"yellow", {255, 255, 0}},
    {"yellowgreen", {154, 205, 50}},
}};
static_assert(std::ranges::is_sorted(kNames, {}, &NamedColour::name));

// Only ASCII counts: full-width or Arabic-Indic digits are no colour.
std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSpace(UChar32 c) {
    return c >= 0 && u_isUWhiteSpace(c) != 0;
}

// Where the text in s[0, length) starts after its leading white space.
std::int32_t SkipLeadingSpace(const char* s, std::int32_t length) {
    std::int32_t first = 0;
    while (first < length) {
        std::int32_t next = first;
        UChar32 c = 0;
        U8_NEXT(s, next, length, c);
        if (!IsSpace(c)) {
            break;
        }
        first = next;
    }
    return first;
}

// Where the text in s[first, length) ends before its trailing white space.
std::int32_t SkipTrailingSpace(const char* s, std::int32_t first, std::int32_t length) {
    std::int32_t last = length;
    while (last > first) {
        std::int32_t previous = last;
        UChar32 c = 0;
        U8_PREV(s, first, previous, c);
        if (!IsSpace(c)) {
            break;
        }
        last = previous;
    }
    return last;
}

// `text` without Unicode white space at either end: a colour copied from a web page may
// bring a no-break space along.
std::string_view Trimmed(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return text; // far too long to be a colour, trimmed or not
    }
    const auto length = static_cast<std::int32_t>(text.size());
    const std::int32_t first = SkipLeadingSpace(text.data(), length);
    const std::int32_t last = SkipTrailingSpace(text.data(), first, length);
    return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
}

// Three digits (each doubled, as CSS reads #RGB) or six.
std::optional<Colour> FromHex(std::string_view digits) {
    if (digits.size() != 3 && digits.size() != 6) {
        return std::nullopt;
    }
    std::array<int, 6> v{};
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::optional<int> d = HexDigit(digits[i]);
        if (!d) {
            return std::nullopt;
        }
        v.at(i) = *d;
    }
    if (digits.size() == 3) {
        return Colour{v[0] * 17, v[1] * 17, v[2] * 17};
    }
    return Colour{v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]};
}

// "R,G,B": three whole numbers, white space around each, leading zeros allowed. A value
// above 256 is out of range only when the others are numbers too.
std::variant<Colour, ColourRefusal> FromDecimals(std::string_view text) {
    std::array<int, 3> values{};
    bool outOfRange = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t comma = text.find(',');
        if ((i < 2) != (comma != std::string_view::npos)) {
            return ColourRefusal::NotAColour; // not exactly three values
        }
        const std::string_view field = Trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (field.empty() ||
            !std::ranges::all_of(field, [](char c) { return c >= '0' && c <= '9'; })) {
            return ColourRefusal::NotAColour;
        }
        // A long run of digits is out of range, not an overflow.
        const std::string_view significant =
            field.substr(std::min(field.find_first_not_of('0'), field.size() - 1));
        int value = kMaxChannel + 1;
        if (significant.size() <= 3) {
            std::from_chars(significant.data(), significant.data() + significant.size(), value);
        }
        outOfRange = outOfRange || value > kMaxChannel;
        values.at(i) = value;
    }
    if (outOfRange) {
        return ColourRefusal::OutOfRange;
    }
    return Colour{values[0], values[1], values[2]};
}

// CSS compares names in ASCII only: Unicode case folding would read "blac\u212A" (a Kelvin
// sign) as "black".
std::optional<Colour> FromName(std::string_view text) {
    std::string name(text);
    std::ranges::transform(name, name.begin(), Lower);
    const auto* found = std::ranges::lower_bound(kNames, name, {}, &NamedColour::name);
    if (found == kNames.end() || found->name != name) {
        return std::nullopt;
    }
    return found->colour;
}

} // namespace

std::variant<Colour, ColourRefusal> ParseColour(std::string_view text) {
    const std::string_view colour = Trimmed(text);
    std::optional<Colour> read;
    if (colour.starts_with('#')) {
        read = FromHex(colour.substr(1));
    } else if (colour.size() > 4 && colour.ends_with(')') &&
               std::ranges::equal(colour.substr(0, 4), std::string_view("rgb("), {}, Lower)) {
        return FromDecimals(colour.substr(4, colour.size() - 5));
    } else if (colour.find(',') != std::string_view::npos) {
        return FromDecimals(colour);
    } else {
        // Six hex digits without "#" are the colour they spell; no name is made of them.
        if (colour.size() == 6) {
            read = FromHex(colour);
        }
        if (!read) {
            read = FromName(colour);
        }
    }
    if (!read) {
        return ColourRefusal::NotAColour;
    }
    return *read;
}

std::string FormatColour(Colour colour) {
    std::string code = "#";
    for (const int value : {colour.red, colour.green, colour.blue}) {
        const auto pair = HexPair(value);
        code.append(pair.begin(), pair.end());
    }
    return code;
}

} // namespace huewright
