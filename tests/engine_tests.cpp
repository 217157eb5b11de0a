#include "code_table.h"
#include "huewright/characters.h"
#include "huewright/colour.h"
#include "huewright/contrast.h"
#include "huewright/gradient.h"
#include "huewright/markup.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace huewright {
namespace {

struct Tagged {
    std::u16string code;
    std::u16string content;
};

// Reads markup back into its colour tags; fails the test on anything that is not
// "[color=#XXXXXX]...[/color]" with six upper-case hex digits.
std::vector<Tagged> ParseTags(std::u16string_view markup) {
    std::vector<Tagged> tags;
    constexpr std::u16string_view open = u"[color=#";
    constexpr std::u16string_view close = u"[/color]";
    while (!markup.empty()) {
        if (markup.substr(0, open.size()) != open || markup.size() < open.size() + 7) {
            ADD_FAILURE() << "expected a colour tag";
            return tags;
        }
        Tagged tag;
        tag.code = markup.substr(open.size(), 6);
        for (char16_t c : tag.code) {
            EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
        }
        EXPECT_EQ(markup[open.size() + 6], u']');
        markup.remove_prefix(open.size() + 7);
        // A character is never empty, so its closing tag starts one unit later at the earliest.
        const auto end = markup.find(close, 1);
        if (end == std::u16string_view::npos) {
            ADD_FAILURE() << "unclosed colour tag";
            return tags;
        }
        tag.content = markup.substr(0, end);
        markup.remove_prefix(end + close.size());
        tags.push_back(tag);
    }
    return tags;
}

std::u16string Code(Colour c) {
    std::u16string code;
    for (const int v : {c.red, c.green, c.blue}) {
        const auto pair = HexPair(v);
        code += {static_cast<char16_t>(pair[0]), static_cast<char16_t>(pair[1])};
    }
    return code;
}

std::u16string Repeat(std::u16string_view unit, std::size_t times) {
    std::u16string s;
    s.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        s += unit;
    }
    return s;
}

// ---- Whole generations: input, colours, switches -> exact markup -------------------------

struct MarkupCase {
    const char* name;
    std::u16string text;
    Colour start;
    Colour end;
    bool bold;
    bool italic;
    std::u16string expected;
};

void PrintTo(const MarkupCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkupTest : public ::testing::TestWithParam<MarkupCase> {};

TEST_P(MarkupTest, WritesExactly) {
    const MarkupCase& c = GetParam();
    const Generation g = MakeGradient(c.text, c.start, c.end, c.bold, c.italic);
    EXPECT_FALSE(g.failure.has_value()) << (g.failure ? static_cast<int>(g.failure->kind) : -1);
    EXPECT_EQ(g.output, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, MarkupTest,
    ::testing::Values(
        MarkupCase{"TwoCharactersBold",
                   u"Hi",
                   {255, 0, 0},
                   {0, 0, 255},
                   true,
                   false,
                   u"[b][color=#800000]H[/color][color=#01007F]i[/color][/b]"},
        MarkupCase{"FiveCharacters",
                   u"ABCDE",
                   {255, 0, 0},
                   {0, 0, 255},
                   false,
                   false,
                   u"[color=#CC0000]A[/color][color=#990033]B[/color][color=#660066]C[/color]"
                   u"[color=#330099]D[/color][color=#0000CC]E[/color]"},
        MarkupCase{"StepZeroSpreadsEvenly",
                   u"abcd",
                   {0, 2, 0},
                   {2, 0, 0},
                   false,
                   false,
                   u"[color=#000200]a[/color][color=#010100]b[/color][color=#010100]c[/color]"
                   u"[color=#020000]d[/color]"},
        MarkupCase{"EmptyEqualNoSwitches", u"", {7, 7, 7}, {7, 7, 7}, false, false, u""},
        MarkupCase{
            "EmptyEqualBothSwitchesNest", u"", {0, 0, 0}, {0, 0, 0}, true, true, u"[b][i][/i][/b]"},
        MarkupCase{"BothSwitchesNestAroundText",
                   u"x",
                   {1, 2, 3},
                   {1, 2, 3},
                   true,
                   true,
                   u"[b][i][color=#010203]x[/color][/i][/b]"},
        MarkupCase{"ItalicAlone",
                   u"x",
                   {0, 0, 0},
                   {0, 0, 0},
                   false,
                   true,
                   u"[i][color=#000000]x[/color][/i]"},
        // One character: the step is the whole difference, so a falling channel gives its
        // end value, a rising one its start value.
        MarkupCase{"OneCharacter",
                   u"Q",
                   {10, 200, 30},
                   {100, 50, 30},
                   false,
                   false,
                   u"[color=#0A321E]Q[/color]"},
        MarkupCase{"ValueAbove255IsFF",
                   u"ab",
                   {256, 256, 0},
                   {256, 0, 256},
                   false,
                   false,
                   u"[color=#FF8000]a[/color][color=#FF0080]b[/color]"},
        MarkupCase{"BracketsAndSpacesCopiedAsTheyAre",
                   u"[/color] ]",
                   {0, 0, 0},
                   {0, 0, 0},
                   false,
                   false,
                   u"[color=#000000][[/color][color=#000000]/[/color][color=#000000]c[/color]"
                   u"[color=#000000]o[/color][color=#000000]l[/color][color=#000000]o[/color]"
                   u"[color=#000000]r[/color][color=#000000]][/color][color=#000000] [/color]"
                   u"[color=#000000]][/color]"},
        MarkupCase{"EmojiIsOneCharacter",
                   u"a\U0001F600b",
                   {0, 0, 0},
                   {0, 0, 0},
                   false,
                   false,
                   u"[color=#000000]a[/color][color=#000000]\U0001F600[/color]"
                   u"[color=#000000]b[/color]"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- One channel: the pairs slots 1..L receive --------------------------------------------

struct ChannelCase {
    const char* name;
    int a;
    int z;
    std::int32_t length;
    std::vector<std::string> expected; // slots 1..length
};

void PrintTo(const ChannelCase& c, std::ostream* os) {
    *os << c.name;
}

class ChannelTest : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(ChannelTest, FillsSlots) {
    const ChannelCase& c = GetParam();
    CodeTable table;
    FillChannel(table, c.a, c.z, c.length);
    EXPECT_TRUE(table.Slot(0).empty()) << "slot 0 is never written";
    for (std::int32_t k = 1; k <= c.length; ++k) {
        EXPECT_EQ(table.Slot(k), c.expected[static_cast<std::size_t>(k - 1)]) << "slot " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ChannelTest,
    ::testing::Values(
        ChannelCase{"ConstantZero", 0, 0, 3, {"00", "00", "00"}},
        ChannelCase{"ConstantLeadingZero", 10, 10, 2, {"0A", "0A"}},
        ChannelCase{"ConstantOne", 1, 1, 1, {"01"}},
        ChannelCase{"Constant256", 256, 256, 2, {"FF", "FF"}},
        ChannelCase{"FallingStepEqualsDifference", 5, 0, 5, {"04", "03", "02", "01", "00"}},
        ChannelCase{"RisingStepEqualsDifference", 0, 5, 5, {"00", "01", "02", "03", "04"}},
        ChannelCase{"FallingMultipleOfLength", 255, 0, 3, {"AA", "55", "00"}},
        ChannelCase{"RisingMultipleOfLength", 0, 255, 3, {"00", "55", "AA"}},
        ChannelCase{"FallingFrom256", 256, 0, 2, {"80", "00"}},
        ChannelCase{"RisingTo256", 0, 256, 2, {"00", "80"}},
        ChannelCase{"StepZeroRisingRoundsHalfUp", 0, 1, 3, {"00", "01", "01"}},
        ChannelCase{"StepZeroFalling", 3, 0, 7, {"03", "02", "02", "01", "01", "00", "00"}},
        ChannelCase{"StepZeroFrom256", 256, 255, 2, {"FF", "FF"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, SlotsPastTheTextAreWrittenButDoNotDisturbIt) {
    // d = 255 over 100 characters: step 2, 127 slots.
    CodeTable table;
    FillChannel(table, 0, 255, 100);
    EXPECT_EQ(table.Slot(127), "FC");
    EXPECT_TRUE(table.Slot(128).empty());

    const Generation g = MakeGradient(Repeat(u"x", 100), {0, 0, 0}, {255, 0, 0}, false, false);
    const auto tags = ParseTags(g.output);
    ASSERT_EQ(tags.size(), 100U);
    EXPECT_EQ(tags.front().code, u"000000");
    EXPECT_EQ(tags.back().code, u"C60000"); // 99 * 2 = 198
}

TEST(Engine, SecondGenerationSeesOnlyItsOwnDigits) {
    const Generation first = MakeGradient(u"abcdef", {255, 0, 0}, {0, 255, 0}, false, false);
    const Generation second = MakeGradient(u"ab", {1, 1, 1}, {1, 1, 1}, false, false);
    ASSERT_FALSE(first.failure);
    EXPECT_EQ(second.output, u"[color=#010101]a[/color][color=#010101]b[/color]");
    EXPECT_EQ(MakeGradient(u"abcdef", {255, 0, 0}, {0, 255, 0}, false, false).output, first.output);
}

// ---- Characters are what a reader sees -------------------------------------------------

struct CharacterCase {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> characters;
};

void PrintTo(const CharacterCase& c, std::ostream* os) {
    *os << c.name;
}

class CharacterTest : public ::testing::TestWithParam<CharacterCase> {};

TEST_P(CharacterTest, OneTagPerCharacterAndTextKeptExactly) {
    const CharacterCase& c = GetParam();
    const Generation g = MakeGradient(c.text, {255, 0, 0}, {0, 0, 255}, false, false);
    ASSERT_FALSE(g.failure);
    std::vector<std::u16string> contents;
    for (const Tagged& t : ParseTags(g.output)) {
        contents.push_back(t.content);
    }
    EXPECT_EQ(contents, c.characters);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, CharacterTest,
    ::testing::Values(
        CharacterCase{"Plain", u"ab c", {u"a", u"b", u" ", u"c"}},
        CharacterCase{"SurrogatePair", u"a\U0001F600b", {u"a", u"\U0001F600", u"b"}},
        CharacterCase{"JoinedFamily",
                      u"\U0001F468\u200D\U0001F469\u200D\U0001F467",
                      {u"\U0001F468\u200D\U0001F469\u200D\U0001F467"}},
        CharacterCase{"Flag", u"\U0001F1EB\U0001F1F7", {u"\U0001F1EB\U0001F1F7"}},
        CharacterCase{"CombiningAccent", u"e\u0301x", {u"e\u0301", u"x"}},
        CharacterCase{"SkinTone", u"\U0001F44D\U0001F3FD!", {u"\U0001F44D\U0001F3FD", u"!"}},
        CharacterCase{"CarriageReturnLineFeed", u"a\r\nb", {u"a", u"\r\n", u"b"}},
        CharacterCase{"LoneLeadSurrogate",
                      std::u16string{u'a', 0xD800, u'b'},
                      {u"a", std::u16string{0xD800}, u"b"}},
        CharacterCase{"LoneTrailSurrogateBeforeMark",
                      std::u16string{0xDC00, 0x0301, u'b'},
                      {std::u16string{0xDC00}, std::u16string{0x0301}, u"b"}},
        CharacterCase{
            "NulIsACharacter", std::u16string{u'a', 0, u'b'}, {u"a", std::u16string{0}, u"b"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Failures: kind, words, and what is returned ----------------------------------------

struct FailureCase {
    const char* name;
    std::u16string text;
    Colour start;
    Colour end;
    Failure expected; // the kind and what a message needs
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, ReportsKindCountsAndEmptyOutputWhateverTheSwitches) {
    const FailureCase& c = GetParam();
    for (const bool bold : {false, true}) {
        for (const bool italic : {false, true}) {
            const Generation g = MakeGradient(c.text, c.start, c.end, bold, italic);
            ASSERT_TRUE(g.failure.has_value());
            EXPECT_EQ(*g.failure, c.expected);
            EXPECT_TRUE(g.output.empty());
        }
    }
}

Failure TooLong(std::int64_t characters) {
    Failure f{FailureKind::SubscriptOutOfRange};
    f.characters = characters;
    return f;
}

Failure Overflow(Channel channel, int value) {
    Failure f{FailureKind::Overflow};
    f.channel = channel;
    f.value = value;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FailureTest,
    ::testing::Values(
        FailureCase{
            "EmptyTextRedDiffers", u"", {1, 0, 0}, {0, 0, 0}, {FailureKind::DivisionByZero}},
        FailureCase{
            "EmptyTextOnlyBlueDiffers", u"", {0, 0, 0}, {0, 0, 9}, {FailureKind::DivisionByZero}},
        FailureCase{
            "TooLongConstant", Repeat(u"a", 100'000), {5, 5, 5}, {5, 5, 5}, TooLong(100'000)},
        FailureCase{
            "TooLongMoving", Repeat(u"a", 100'001), {0, 0, 0}, {255, 128, 1}, TooLong(100'001)},
        FailureCase{"TooLongCountedInCharacters",
                    Repeat(u"\U0001F600", 100'000),
                    {0, 0, 0},
                    {0, 0, 0},
                    TooLong(100'000)},
        FailureCase{
            "NegativeStartRed", u"x", {-1, 0, 0}, {0, 0, 0}, Overflow(Channel::StartRed, -1)},
        FailureCase{
            "EndBlueAbove256", u"x", {0, 0, 0}, {0, 0, 257}, Overflow(Channel::EndBlue, 257)},
        FailureCase{"OverflowBeforeDivision",
                    u"",
                    {0, 0, 0},
                    {0, std::numeric_limits<int>::max(), 0},
                    Overflow(Channel::EndGreen, std::numeric_limits<int>::max())}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Engine, LongestTextSucceedsAndEndsExactly) {
    // 99,999 characters, each two units: the bound counts characters, not units.
    const Generation g =
        MakeGradient(Repeat(u"\U0001F600", 99'999), {0, 255, 10}, {255, 0, 10}, false, false);
    ASSERT_FALSE(g.failure);
    const auto tags = ParseTags(g.output);
    ASSERT_EQ(tags.size(), 99'999U);
    EXPECT_EQ(tags.front().code, u"00FF0A");
    EXPECT_EQ(tags.back().code, u"FF000A");
}

// ---- Properties over many inputs ----------------------------------------------------------

TEST(Engine, StrippingTagsGivesBackTheInputAndEveryCodeHasSixDigits) {
    const std::vector<std::u16string> texts = {u"Hi",
                                               u"Hello, forum!",
                                               u"[b]not bold[/b]",
                                               u"e\u0301\u0301 \U0001F1EB\U0001F1F7",
                                               Repeat(u"abc", 150),
                                               Repeat(u"\U0001F469\u200D\U0001F4BB", 300)};
    const std::vector<std::pair<Colour, Colour>> colours = {{{0, 0, 0}, {256, 256, 256}},
                                                            {{256, 0, 128}, {0, 256, 127}},
                                                            {{255, 0, 0}, {0, 0, 255}},
                                                            {{3, 200, 77}, {4, 199, 77}}};
    for (const auto& text : texts) {
        for (const auto& [start, end] : colours) {
            const Generation g = MakeGradient(text, start, end, true, true);
            ASSERT_FALSE(g.failure);
            std::u16string_view body = g.output;
            ASSERT_EQ(body.substr(0, 6), u"[b][i]");
            ASSERT_EQ(body.substr(body.size() - 8), u"[/i][/b]");
            body = body.substr(6, body.size() - 14);
            std::u16string stripped;
            const auto tags = ParseTags(body);
            for (const Tagged& t : tags) {
                EXPECT_EQ(t.code.size(), 6U);
                stripped += t.content;
            }
            EXPECT_EQ(stripped, text);
            // Past 256 characters every moving channel spreads evenly: both ends exact.
            if (tags.size() > 256) {
                EXPECT_EQ(tags.front().code, Code(start));
                EXPECT_EQ(tags.back().code, Code(end));
            }
        }
    }
}

// ---- The compact form: fewer tags, the same colours ---------------------------------------

// The same inputs as the full markup's table; the expected markup is the compact form.
using CompactCase = MarkupCase;

class CompactTest : public ::testing::TestWithParam<CompactCase> {};

TEST_P(CompactTest, WritesExactly) {
    const CompactCase& c = GetParam();
    const Generation g = MakeCompactGradient(c.text, c.start, c.end, c.bold, c.italic);
    EXPECT_FALSE(g.failure.has_value()) << (g.failure ? static_cast<int>(g.failure->kind) : -1);
    EXPECT_EQ(g.output, c.expected);
    EXPECT_LE(g.output.size(),
              MakeGradient(c.text, c.start, c.end, c.bold, c.italic).output.size());
}

// One case a line reads as the table it is.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Engine, CompactTest,
    ::testing::Values(
        CompactCase{"ConstantColourOneTag", u"a b", {0x11, 0x22, 0x33}, {0x11, 0x22, 0x33}, false, false, u"[color=#112233]a b[/color]"},
        CompactCase{"TypedTagsStayText", u"[b]x[/b]", {0, 0, 0}, {0, 0, 0}, false, false, u"[color=#000000][[/color][color=#000000]b]x[[/color][color=#000000]/b][/color]"},
        CompactCase{"EveryCodeDifferent", u"Hi", {255, 0, 0}, {0, 0, 255}, false, false, u"[color=#800000]H[/color][color=#01007F]i[/color]"},
        // Full codes 000200 010100 010100 020000: the middle two share a tag.
        CompactCase{"StepZeroRunsShareATag", u"abcd", {0, 2, 0}, {2, 0, 0}, false, false, u"[color=#000200]a[/color][color=#010100]bc[/color][color=#020000]d[/color]"},
        // Codes 000000 x3, then 010000 x3: the first space lies inside a run, the second
        // between two codes, although its own code is the next run's.
        CompactCase{"SpaceBetweenEqualAndBetweenDifferentCodes", u"a b cd", {0, 0, 0}, {1, 0, 0}, false, false, u"[color=#000000]a b[/color] [color=#010000]cd[/color]"},
        CompactCase{"SpaceBetweenEveryCode", u"a b", {255, 0, 0}, {0, 0, 255}, false, false, u"[color=#AA0000]a[/color] [color=#0000AA]b[/color]"},
        CompactCase{"LeadingAndTrailingSpacesStandOutside", u" \ta\u00A0 ", {5, 5, 5}, {5, 5, 5}, false, false, u" \t[color=#050505]a[/color]\u00A0 "},
        CompactCase{"OnlyWhiteSpaceHasNoColourTag", u"  \t\u00A0\u3000\u2003\u2028\r\n", {255, 0, 0}, {0, 0, 255}, false, false, u"  \t\u00A0\u3000\u2003\u2028\r\n"},
        CompactCase{"OnlyWhiteSpaceKeepsTheStyles", u"   ", {0, 0, 0}, {9, 9, 9}, true, true, u"[b][i]   [/i][/b]"},
        CompactCase{"LineBreakInsideARun", u"a\r\nb\nc", {7, 7, 7}, {7, 7, 7}, false, false, u"[color=#070707]a\r\nb\nc[/color]"},
        CompactCase{"LineBreakBetweenCodes", u"a\r\nb", {255, 0, 0}, {0, 0, 255}, false, false, u"[color=#AA0000]a[/color]\r\n[color=#0000AA]b[/color]"},
        CompactCase{"BoldAndItalicWrapTheWhole", u"x y", {1, 2, 3}, {1, 2, 3}, true, true, u"[b][i][color=#010203]x y[/color][/i][/b]"},
        // A space carrying an accent shows a mark, so it keeps its colour.
        CompactCase{"SpaceWithACombiningMarkIsNotWhiteSpace", u"a \u0301", {255, 0, 0}, {0, 0, 255}, false, false, u"[color=#800000]a[/color][color=#01007F] \u0301[/color]"},
        CompactCase{"ControlsAreNotWhiteSpaceButNextLineIs", u"a\u001F\u0085", {255, 0, 0}, {0, 0, 255}, false, false, u"[color=#AA0000]a[/color][color=#550055]\u001F[/color]\u0085"},
        CompactCase{"EmptyText", u"", {3, 3, 3}, {3, 3, 3}, false, true, u"[i][/i]"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(Engine, CompactFailsAsTheFullFormDoes) {
    struct Input {
        std::u16string text;
        Colour start;
        Colour end;
    };
    const std::vector<Input> inputs = {{u"", {0, 0, 0}, {0, 9, 0}},
                                       {u"x", {0, 0, 0}, {0, 0, 257}},
                                       {Repeat(u" ", 100'000), {1, 1, 1}, {1, 1, 1}}};
    for (const Input& in : inputs) {
        const Generation full = MakeGradient(in.text, in.start, in.end, true, false);
        const Generation compact = MakeCompactGradient(in.text, in.start, in.end, true, false);
        ASSERT_TRUE(full.failure && compact.failure);
        EXPECT_EQ(*compact.failure, *full.failure);
        EXPECT_TRUE(compact.output.empty());
    }
}

// The code each unit of the text is painted with, read back from markup around `text` whose
// styles have been taken off; fails the test on nested or unclosed tags or on text that is not
// `text`, and, when `merged`, on two tags in a row with one code not parted by a '['. The text must
// not itself contain "[color=#" or "[/color]".
std::vector<std::optional<std::u16string>> UnitCodes(std::u16string_view markup,
                                                     std::u16string_view text, bool merged) {
    constexpr std::u16string_view open = u"[color=#";
    constexpr std::u16string_view close = u"[/color]";
    std::vector<std::optional<std::u16string>> codes;
    std::optional<std::u16string> current;
    std::u16string previous; // the last tag's code
    std::u16string read;
    while (!markup.empty()) {
        if (markup.starts_with(open) && markup.size() > open.size() + 6 &&
            markup[open.size() + 6] == u']') {
            EXPECT_FALSE(current) << "nested colour tag";
            current = std::u16string(markup.substr(open.size(), 6));
            const std::size_t shown = read.find_last_not_of(u" \t\r\n\u00A0\u3000\u2029");
            const bool parted = shown != std::u16string::npos && read[shown] == u'[';
            EXPECT_TRUE(!merged || *current != previous || parted)
                << "two tags in a row with one code, not parted by a typed '['";
            previous = *current;
            markup.remove_prefix(open.size() + 7);
        } else if (markup.starts_with(close)) {
            EXPECT_TRUE(current) << "closing tag without an opening one";
            current.reset();
            markup.remove_prefix(close.size());
        } else {
            read += markup.front();
            codes.push_back(current);
            markup.remove_prefix(1);
        }
    }
    EXPECT_FALSE(current) << "unclosed colour tag";
    EXPECT_EQ(read, text);
    return codes;
}

// `markup` without the style tags, which must wrap the whole of it.
std::u16string_view Unstyled(std::u16string_view markup, bool bold, bool italic) {
    std::u16string open;
    std::u16string close;
    if (bold) {
        open += u"[b]";
    }
    if (italic) {
        open += u"[i]";
        close += u"[/i]";
    }
    if (bold) {
        close += u"[/b]";
    }
    if (!markup.starts_with(open) || !markup.ends_with(close) ||
        markup.size() < open.size() + close.size()) {
        ADD_FAILURE() << "style tags do not wrap the markup";
        return {};
    }
    return markup.substr(open.size(), markup.size() - open.size() - close.size());
}

TEST(Engine, CompactKeepsEveryVisibleCodeAndIsNeverLonger) {
    // Pieces a text is drawn from; the white space among them is known here, not asked of
    // the engine. Letters that could spell a tag are left out.
    struct Piece {
        std::u16string text;
        bool white;
    };
    const std::vector<Piece> pieces = {
        {u"a", false},       {u"b", false},          {u"[", false},     {u"]", false},
        {u"e\u0301", false}, {u"\U0001F600", false}, {u" ", true},      {u"\t", true},
        {u"\r\n", true},     {u"\n", true},          {u"\u00A0", true}, {u"\u3000", true},
        {u"\u2029", true}};
    std::mt19937 random(20261209); // fixed, so a failure can be replayed
    std::uniform_int_distribution<int> channel(0, 256);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    for (int round = 0; round < 400; ++round) {
        // Mostly short texts, some past 256 characters where the codes run in long stretches.
        const std::size_t count = random() % (round % 8 == 0 ? 900 : 40);
        std::u16string text;
        std::vector<bool> white; // per unit
        for (std::size_t i = 0; i < count; ++i) {
            const Piece& p = pieces[piece(random)];
            text += p.text;
            white.insert(white.end(), p.text.size(), p.white);
        }
        const Colour start{channel(random), channel(random), channel(random)};
        const Colour end{channel(random), channel(random), channel(random)};
        const bool bold = (random() & 1U) != 0;
        const bool italic = (random() & 2U) != 0;
        const Generation full = MakeGradient(text, start, end, bold, italic);
        const Generation compact = MakeCompactGradient(text, start, end, bold, italic);
        ASSERT_EQ(full.failure.has_value(), compact.failure.has_value());
        if (full.failure) {
            EXPECT_TRUE(compact.output.empty());
            continue;
        }
        ASSERT_LE(compact.output.size(), full.output.size()) << "round " << round;
        const auto fullCodes = UnitCodes(Unstyled(full.output, bold, italic), text, false);
        const auto compactCodes = UnitCodes(Unstyled(compact.output, bold, italic), text, true);
        ASSERT_EQ(fullCodes.size(), compactCodes.size());
        for (std::size_t u = 0; u < text.size(); ++u) {
            if (!white[u]) {
                ASSERT_EQ(compactCodes[u], fullCodes[u]) << "round " << round << ", unit " << u;
            }
        }
    }
}

// WriteGradient hands on exactly what MakeGradient and MakeCompactGradient return, a piece
// at a time, no piece ending inside a surrogate pair; on failure it hands on nothing.
TEST(Engine, WriteGradientPiecesMakeUpTheGeneration) {
    struct Case {
        const char* name;
        std::u16string text;
        Colour start;
        Colour end;
        bool manyPieces;
    };
    const std::vector<Case> cases = {
        {"short", u"Hi there", {255, 0, 0}, {0, 0, 255}, false},
        {"emoji and spaces",
         Repeat(u"a\U0001F600 \U0001F600", 24'000),
         {0, 256, 3},
         {256, 0, 200},
         true},
        {"a character longer than a piece",
         u"x" + Repeat(u"\u0301", 40'000) + u" y",
         {9, 9, 9},
         {9, 9, 9},
         true},
        {"no text", u"", {0, 0, 0}, {1, 0, 0}, false},
        {"too long", Repeat(u"ab", 50'000), {0, 0, 0}, {0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        for (const MarkupForm form : {MarkupForm::Full, MarkupForm::Compact}) {
            const bool styled = form == MarkupForm::Compact;
            const Generation expected =
                form == MarkupForm::Full
                    ? MakeGradient(c.text, c.start, c.end, styled, styled)
                    : MakeCompactGradient(c.text, c.start, c.end, styled, styled);
            std::u16string joined;
            int pieces = 0;
            const std::optional<Failure> failure = WriteGradient(
                c.text, c.start, c.end, styled, styled, form, [&](std::u16string_view piece) {
                    ++pieces;
                    ASSERT_FALSE(piece.empty()) << c.name;
                    EXPECT_FALSE(piece.back() >= 0xD800 && piece.back() <= 0xDBFF) << c.name;
                    joined += piece;
                });
            ASSERT_EQ(failure.has_value(), expected.failure.has_value()) << c.name;
            if (failure) {
                EXPECT_EQ(pieces, 0) << c.name;
                EXPECT_EQ(*failure, *expected.failure) << c.name;
                continue;
            }
            EXPECT_EQ(joined, expected.output) << c.name;
            EXPECT_EQ(pieces > 1, c.manyPieces) << c.name;
        }
    }
}

TEST(Engine, CharacterBoundsOfEmptyText) {
    EXPECT_EQ(CharacterBounds(u""), std::vector<std::int32_t>{0});
}

// WCAG 2.x written out as its text gives it, a channel at a time.
double WcagLuminance(Colour c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
}

double WcagRatio(Colour a, Colour b) {
    const double la = WcagLuminance(a);
    const double lb = WcagLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

constexpr Colour kWhite{255, 255, 255};
constexpr Colour kDark{0x1E, 0x1E, 0x1E};

struct LegibilityCase {
    const char* name;
    std::vector<std::pair<std::u16string, Colour>> runs;
    Legibility expected;
};

class LegibilityTest : public ::testing::TestWithParam<LegibilityCase> {};

TEST_P(LegibilityTest, CountsCharactersBelowThreeToOne) {
    std::u16string markup;
    for (const auto& [text, colour] : GetParam().runs) {
        const std::string code = FormatColour(colour);
        markup += u"[color=" + std::u16string(code.begin(), code.end()) + u"]" + text + u"[/color]";
    }
    EXPECT_EQ(MarkupLegibility(markup), GetParam().expected);
}

// Eleven steps from black to white: the count expected from WCAG's formula itself.
LegibilityCase Gradient() {
    LegibilityCase c{"black to white", {}, {}};
    for (int i = 0; i <= 10; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / 10);
        const Colour colour{v, v, v};
        c.runs.emplace_back(u"g", colour);
        ++c.expected.characters;
        c.expected.hardOnLight += WcagRatio(colour, kWhite) < 3.0 ? 1 : 0;
        c.expected.hardOnDark += WcagRatio(colour, kDark) < 3.0 ? 1 : 0;
    }
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Engine, LegibilityTest,
    ::testing::Values(
        LegibilityCase{"black", {{u"Hi", {0, 0, 0}}}, {2, 0, 2}},
        LegibilityCase{"white", {{u"Hi", kWhite}}, {2, 2, 0}},
        // #767676 is the palest grey at 4.5:1 on white; it is 3.7:1 on the dark background.
        LegibilityCase{"mid grey", {{u"Hi", {0x76, 0x76, 0x76}}}, {2, 0, 0}},
        // White space is not counted; an accented letter and an emoji are one character each.
        LegibilityCase{"spaces, accent, emoji", {{u" e\u0301 \t\U0001F600 ", kWhite}}, {2, 2, 0}},
        LegibilityCase{"only spaces", {{u"  \u00A0", {0, 0, 0}}}, {0, 0, 0}}, Gradient()),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
        }
        return name;
    });

TEST(Engine, ContrastRatioIsWcags) {
    EXPECT_DOUBLE_EQ(ContrastRatio({0, 0, 0}, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(kWhite, kWhite), 1.0);
    EXPECT_NEAR(ContrastRatio({0x76, 0x76, 0x76}, kWhite), 4.54, 0.005);
    for (int v = 0; v < 256; v += 5) {
        const Colour grey{v, v, v};
        EXPECT_NEAR(ContrastRatio(grey, kDark), WcagRatio(grey, kDark), 1e-12) << v;
    }
}

} // namespace
} // namespace huewright
