#include "huewright/markup.h"

#include "huewright/characters.h"
#include "huewright/contrast.h"

#include <algorithm>
#include <array>

namespace huewright {
namespace {

// The open tags of a stretch of markup; a closer without its opener changes nothing.
struct Depths {
    int bold = 0;
    int italic = 0;
    std::optional<Colour> colour;

    RunStyle Style() const { return {bold > 0, italic > 0, colour}; }
};

// Applies the tag at the front of `rest` to `depths` if a forum honours it; its length, or 0.
std::size_t ApplyTag(std::u16string_view rest, Depths& depths) {
    constexpr std::size_t kColourTag = kColourOpen.size() + kCodeDigits + kColourOpenEnd.size();
    if (rest.starts_with(kColourOpen) && rest.size() >= kColourTag &&
        rest.substr(kColourOpen.size() + kCodeDigits).starts_with(kColourOpenEnd)) {
        std::array<char, kCodeDigits> ascii{}; // beyond ASCII a unit becomes 0, no digit either
        std::ranges::transform(rest.substr(kColourOpen.size(), kCodeDigits), ascii.begin(),
                               [](char16_t c) { return c < 0x80 ? static_cast<char>(c) : '\0'; });
        if (const auto colour = ColourFromHex({ascii.data(), ascii.size()})) {
            depths.colour = colour;
            return kColourTag;
        }
    }
    if (rest.starts_with(kColourClose)) {
        depths.colour.reset();
        return kColourClose.size();
    }
    const auto step = [rest](std::u16string_view open, std::u16string_view close, int& depth) {
        if (rest.starts_with(open)) {
            ++depth;
            return open.size();
        }
        if (rest.starts_with(close)) {
            depth = std::max(0, depth - 1);
            return close.size();
        }
        return std::size_t{0};
    };
    if (const std::size_t bold = step(kBoldOpen, kBoldClose, depths.bold); bold > 0) {
        return bold;
    }
    return step(kItalicOpen, kItalicClose, depths.italic);
}

std::int64_t VisibleCharacters(std::u16string_view text) {
    // A full markup has one unit between its tags nearly always: no splitting needed.
    if (text.size() == 1) {
        return IsWhiteSpace(text) ? 0 : 1;
    }
    const std::vector<std::int32_t> bounds = CharacterBounds(text);
    std::int64_t visible = 0;
    for (std::size_t i = 1; i < bounds.size(); ++i) {
        const auto from = static_cast<std::size_t>(bounds[i - 1]);
        visible +=
            IsWhiteSpace(text.substr(from, static_cast<std::size_t>(bounds[i]) - from)) ? 0 : 1;
    }
    return visible;
}

// A huge run without brackets is split a slice at a time: only its start is ever shown.
constexpr std::size_t kSlice = 4096;

} // namespace

void ForEachRun(std::u16string_view markup, const std::function<bool(const StyledRun&)>& visit) {
    Depths depths;
    std::size_t pos = 0;
    while (pos < markup.size()) {
        if (const std::size_t tag = ApplyTag(markup.substr(pos), depths); tag > 0) {
            pos += tag;
            continue;
        }
        // Text runs to the next '[' that might open a tag.
        const std::size_t next = markup.find(u'[', pos + 1);
        const std::size_t end = next == std::u16string_view::npos ? markup.size() : next;
        if (!visit({markup.substr(pos, end - pos), depths.Style()})) {
            return;
        }
        pos = end;
    }
}

ShownCharacters FirstCharacters(std::u16string_view markup, std::int64_t limit) {
    ShownCharacters shown;
    ForEachRun(markup, [&](const StyledRun& run) {
        for (std::size_t from = 0; from < run.text.size();) {
            std::u16string_view slice = run.text.substr(from, kSlice);
            const bool whole = from + slice.size() == run.text.size();
            std::vector<std::int32_t> bounds = CharacterBounds(slice);
            if (!whole && bounds.size() > 2) {
                bounds.pop_back(); // the slice's last character may go on past it
            }
            for (std::size_t i = 1; i < bounds.size(); ++i) {
                if (std::ssize(shown.characters) == limit) {
                    shown.more = true;
                    return false;
                }
                const auto at = static_cast<std::size_t>(bounds[i - 1]);
                shown.characters.push_back(
                    {slice.substr(at, static_cast<std::size_t>(bounds[i]) - at), run.style});
            }
            from += static_cast<std::size_t>(bounds.back());
        }
        return true;
    });
    return shown;
}

Legibility MarkupLegibility(std::u16string_view markup) {
    Legibility tally;
    ForEachRun(markup, [&tally](const StyledRun& run) {
        const std::int64_t visible = VisibleCharacters(run.text);
        tally.characters += visible;
        if (const auto colour = run.style.colour; colour && visible > 0) {
            const auto hard = [&colour](Colour background) {
                return ContrastRatio(*colour, background) < kLeastReadableContrast;
            };
            tally.hardOnLight += hard(kLightBackground) ? visible : 0;
            tally.hardOnDark += hard(kDarkBackground) ? visible : 0;
        }
        return true;
    });
    return tally;
}

std::int64_t CountCodePoints(std::u16string_view text) {
    std::int64_t pairs = 0; // a low surrogate after a high one ends a pair
    for (std::size_t i = 1; i < text.size(); ++i) {
        pairs += (text[i - 1] & 0xFC00U) == 0xD800U && (text[i] & 0xFC00U) == 0xDC00U ? 1 : 0;
    }
    return std::ssize(text) - pairs;
}

} // namespace huewright
