#include "huewright/markup.h"

#include "huewright/characters.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace huewright {
namespace {

// Exactly six hex digits as a colour. std::from_chars takes no sign, prefix or white space,
// which ParseColour (names, #RGB) would.
std::optional<Colour> HexColour(std::u16string_view digits) {
    std::array<char, kCodeDigits> ascii{}; // beyond ASCII a unit becomes 0, no digit either
    std::ranges::transform(digits, ascii.begin(),
                           [](char16_t c) { return c < 0x80 ? static_cast<char>(c) : '\0'; });
    unsigned rgb = 0;
    const char* const last = ascii.data() + ascii.size();
    if (const auto [end, error] = std::from_chars(ascii.data(), last, rgb, 16);
        error != std::errc() || end != last) {
        return std::nullopt;
    }
    return Colour{static_cast<int>(rgb >> 16U), static_cast<int>((rgb >> 8U) & 0xFFU),
                  static_cast<int>(rgb & 0xFFU)};
}

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
        if (const auto colour = HexColour(rest.substr(kColourOpen.size(), kCodeDigits))) {
            depths.colour = colour;
            return kColourTag;
        }
    }
    if (rest.starts_with(kColourClose)) {
        depths.colour.reset();
        return kColourClose.size();
    }
    using Depth = int Depths::*; // named: clang-format 14 and 19 space a member pointer apart
    struct Switch {
        // cppcheck-suppress unusedStructMember ; read through a structured binding
        std::u16string_view tag;
        Depth depth;
        // cppcheck-suppress unusedStructMember ; read through a structured binding
        int step;
    };
    for (const auto& [tag, depth, step] :
         {Switch{kBoldOpen, &Depths::bold, 1}, Switch{kBoldClose, &Depths::bold, -1},
          Switch{kItalicOpen, &Depths::italic, 1}, Switch{kItalicClose, &Depths::italic, -1}}) {
        if (rest.starts_with(tag)) {
            depths.*depth = std::max(0, depths.*depth + step);
            return tag.size();
        }
    }
    return 0;
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
        // Literal text runs to the next '[' that might open a tag (at least one unit).
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
    LegibilityCount count(kLightBackground, kDarkBackground);
    ForEachRun(markup, [&count](const StyledRun& run) {
        count.Add(run.text, run.style.colour);
        return true;
    });
    return count.Result();
}

std::int64_t CountCodePoints(std::u16string_view text) {
    std::int64_t pairs = 0; // a low surrogate after a high one ends a pair
    for (std::size_t i = 1; i < text.size(); ++i) {
        pairs += (text[i - 1] & 0xFC00U) == 0xD800U && (text[i] & 0xFC00U) == 0xDC00U ? 1 : 0;
    }
    return std::ssize(text) - pairs;
}

} // namespace huewright
