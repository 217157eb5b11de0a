// The forum's reading of markup, as the window's preview and the web page show it.
#include "huewright/gradient.h"
#include "huewright/markup.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace huewright {
namespace {

// A run as "text|b i #RRGGBB" for a readable comparison.
std::u16string Shown(const StyledRun& run) {
    std::u16string out(run.text);
    out += u'|';
    out += run.style.bold ? u"b" : u"";
    out += run.style.italic ? u"i" : u"";
    if (run.style.colour) {
        const std::string code = FormatColour(*run.style.colour);
        out.append(code.begin(), code.end());
    }
    return out;
}

struct RunCase {
    std::u16string_view markup;
    std::vector<std::u16string> runs;
};

TEST(Markup, ReadsOnlyTheTagsAForumHonours) {
    const RunCase cases[] = {
        {u"[b][color=#800000]H[/color][color=#01007F]i[/color][/b]",
         {u"H|b#800000", u"i|b#01007F"}},
        {u"[b][i]x[/i][/b]y", {u"x|bi", u"y|"}},
        // Lower-case digits are hex too; a short, long or non-hex code is text.
        {u"[color=#abcdef]a", {u"a|#ABCDEF"}},
        {u"[color=#12345]a", {u"[color=#12345]a|"}},
        {u"[color=#12345G]a", {u"[color=#12345G]a|"}},
        {u"[color=#1234567]a", {u"[color=#1234567]a|"}},
        // Typed tags of other kinds stay text, split at each '['.
        {u"[url=javascript:x]y[/url]", {u"[url=javascript:x]y|", u"[/url]|"}},
        {u"<img src=x onerror=alert(1)>", {u"<img src=x onerror=alert(1)>|"}},
        // A closer without its opener changes nothing; an unclosed colour runs on.
        {u"[/b][/i]a[color=#000000]b", {u"a|", u"b|#000000"}},
        {u"[", {u"[|"}},
        {u"", {}},
    };
    for (const auto& [markup, expected] : cases) {
        std::vector<std::u16string> runs;
        ForEachRun(markup, [&runs](const StyledRun& run) {
            runs.push_back(Shown(run));
            return true;
        });
        EXPECT_EQ(runs, expected) << std::string(markup.begin(), markup.end());
    }
}

TEST(Markup, FirstCharactersNeverCutsACharacterAndSaysWhenMoreFollow) {
    const std::u16string family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";
    const std::u16string text = u"e\u0301" + family + u"\U0001F1EB\U0001F1F7!";
    const Generation full = MakeGradient(text, {255, 0, 0}, {0, 0, 255}, true, false);
    const Generation compact = MakeCompactGradient(text, {255, 0, 0}, {0, 0, 255}, true, false);
    for (const Generation* markup : {&full, &compact}) {
        const ShownCharacters all = FirstCharacters(markup->output, 4);
        ASSERT_EQ(all.characters.size(), 4U);
        EXPECT_FALSE(all.more);
        EXPECT_EQ(all.characters[1].text, family);
        EXPECT_TRUE(all.characters[3].style.bold);
        const ShownCharacters cut = FirstCharacters(markup->output, 3);
        EXPECT_EQ(cut.characters.size(), 3U);
        EXPECT_TRUE(cut.more);
    }
    // A bracket-less run far longer than one slice is still split whole characters at a time.
    std::u16string marks;
    for (int i = 0; i < 3000; ++i) {
        marks += u"a\u0301\u0302";
    }
    const ShownCharacters longRun = FirstCharacters(marks, 2500);
    ASSERT_EQ(longRun.characters.size(), 2500U);
    EXPECT_TRUE(longRun.more);
    for (const StyledRun& character : longRun.characters) {
        ASSERT_EQ(character.text, u"a\u0301\u0302");
    }
}

TEST(Markup, LegibilityAndLengthCountWhatAReaderSees) {
    // Yellow is hard on white, navy on the dark background; spaces count for neither.
    const Legibility l = MarkupLegibility(u"[color=#FFFF00]ab[/color] [color=#000080]c[/color]d");
    EXPECT_EQ(l, (Legibility{4, 2, 1}));
    EXPECT_EQ(CountCodePoints(u"a\U0001F600b"), 3);
    EXPECT_EQ(CountCodePoints(u"\xD800\xD800"), 2); // lone surrogates each count
}

} // namespace
} // namespace huewright
