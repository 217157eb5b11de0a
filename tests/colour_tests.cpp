// The one colour grammar, as the window's paste and drop and huewright-cli's options read it,
// and the codes and counts the front ends write.
#include "huewright/colour.h"
#include "huewright/gradient.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <variant>

namespace huewright {
namespace {

struct ColourCase {
    const char* text;
    std::variant<Colour, ColourRefusal> expected;
};

TEST(Colour, EveryFormThroughTheOneParser) {
    constexpr auto kNot = ColourRefusal::NotAColour;
    constexpr auto kRange = ColourRefusal::OutOfRange;
    const ColourCase cases[] = {
        // Accepted.
        {"#336699", Colour{0x33, 0x66, 0x99}},
        {"336699", Colour{0x33, 0x66, 0x99}},
        {"aBcDeF", Colour{0xAB, 0xCD, 0xEF}},
        {"#fA0", Colour{0xFF, 0xAA, 0x00}},
        {" \t#FF8000\r\n ", Colour{255, 128, 0}},
        {"\u00A0#FF8000\u3000", Colour{255, 128, 0}}, // no-break and ideographic spaces
        {"rgb(255, 128, 0)", Colour{255, 128, 0}},
        {"RGB( 12 ,34 , 56 )", Colour{12, 34, 56}},
        {"rgb(256,0,0)", Colour{256, 0, 0}},
        {"rgb(0001, 2, 3)", Colour{1, 2, 3}},
        {"255,128,0", Colour{255, 128, 0}},
        {" 255 ,000, 0256 ", Colour{255, 0, 256}},
        {"256,256,256", Colour{256, 256, 256}},
        {"red", Colour{255, 0, 0}},
        {"LightGoldenRodYellow", Colour{250, 250, 210}},
        {"RebeccaPurple", Colour{0x66, 0x33, 0x99}},
        {"aliceblue", Colour{240, 248, 255}},
        {"yellowgreen", Colour{154, 205, 50}},
        {"grey", Colour{128, 128, 128}},
        {"maroon", Colour{128, 0, 0}}, // six letters, not hex
        // Refused: not a colour.
        {"", kNot},
        {"  \n", kNot},
        {"#", kNot},
        {"#12", kNot},
        {"#1234", kNot},
        {"#12345", kNot},
        {"#1234567", kNot},
        {"#11223344", kNot}, // alpha
        {"##336699", kNot},
        {"# 336699", kNot},
        {"#GG0000", kNot},
        {"0x336699", kNot},
        {"F80", kNot}, // three digits need "#"
        {"12345", kNot},
        {"1234567", kNot},
        {"#\uFF13\uFF13\uFF16\uFF16\uFF19\uFF19", kNot}, // full-width digits
        {"rgba(1, 2, 3, 0.5)", kNot},
        {"rgb(1, 2, 3, 1)", kNot},
        {"rgb(-1, 0, 0)", kNot},
        {"rgb(1.5, 0, 0)", kNot},
        {"rgb(50%, 0, 0)", kNot},
        {"rgb(1 2 3)", kNot},
        {"rgb(1, 2)", kNot},
        {"rgb (1, 2, 3)", kNot},
        {"rgb(1, 2, 3", kNot},
        {"rgb(\u0663, 2, 3)", kNot}, // Arabic-Indic digit
        {"1,2", kNot},
        {"1,2,3,4", kNot},
        {"1,,2", kNot},
        {"-1,0,0", kNot},
        {"300,x,0", kNot}, // not a number outweighs out of range
        {"hsl(0, 100%, 50%)", kNot},
        {"transparent", kNot},
        {"Transparent", kNot},
        {"dark blue", kNot},
        {"blac\u212A", kNot}, // Kelvin sign
        {"\uFF52\uFF45\uFF44", kNot},
        {"red;", kNot},
        {"#336699 #000000", kNot},
        {"notacolour", kNot},
        {"zzz", kNot}, // past the last name
        {"a", kNot},   // before the first
        // Refused: a decimal above 256.
        {"0,257,0", kRange},
        {"rgb(300, 0, 0)", kRange},
        {"0,0,99999999999999999999", kRange},
    };
    for (const ColourCase& c : cases) {
        EXPECT_EQ(ParseColour(c.text), c.expected) << '"' << c.text << '"';
    }
}

// The hex reader behind "#RGB", "RRGGBB" and the tag reader's "[color=#RRGGBB]": digits only.
TEST(Colour, HexDigitsAndNothingElse) {
    const std::pair<const char*, std::optional<Colour>> cases[] = {
        {"FF8001", Colour{255, 128, 1}},
        {"ff8001", Colour{255, 128, 1}},
        {"F80", Colour{255, 136, 0}},
        {"000000", Colour{0, 0, 0}},
        {"", std::nullopt},
        {"FF80", std::nullopt},
        {"FF80011", std::nullopt},
        {"+F8001", std::nullopt},
        {"-F8001", std::nullopt},
        {" F8001", std::nullopt},
        {"0xF801", std::nullopt},
        {"GG8001", std::nullopt},
    };
    for (const auto& [digits, colour] : cases) {
        EXPECT_EQ(ColourFromHex(digits), colour) << digits;
    }
}

TEST(Colour, CodesAndCountsAsTheFrontEndsWriteThem) {
    EXPECT_EQ(FormatColour({0, 10, 255}), "#000AFF");
    EXPECT_EQ(FormatColour({256, 128, 1}), "#FF8001"); // a bar at its bottom
    // Every code written reads back as the colour written, 256 as 255.
    for (const int v : {0, 1, 15, 16, 127, 255, 256}) {
        EXPECT_EQ(
            ParseColour(FormatColour({v, 0, v})),
            (std::variant<Colour, ColourRefusal>(Colour{std::min(v, 255), 0, std::min(v, 255)})));
    }
    const std::pair<std::int64_t, const char*> counts[] = {
        {0, "0"},
        {999, "999"},
        {1'000, "1,000"},
        {99'999, "99,999"},
        {1'234'567, "1,234,567"},
        {-1'902, "-1,902"},
        {-100, "-100"},
        {std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775,808"},
    };
    for (const auto& [n, written] : counts) {
        EXPECT_EQ(WithThousands(n), written) << n;
    }
}

} // namespace
} // namespace huewright
