// The forum tags a generation writes, and markup read as a forum renders it.
#pragma once

#include "huewright/colour.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace huewright {

inline constexpr std::u16string_view kBoldOpen = u"[b]";
inline constexpr std::u16string_view kBoldClose = u"[/b]";
inline constexpr std::u16string_view kItalicOpen = u"[i]";
inline constexpr std::u16string_view kItalicClose = u"[/i]";
// A colour tag is kColourOpen, kCodeDigits hex digits, kColourOpenEnd.
inline constexpr std::u16string_view kColourOpen = u"[color=#";
inline constexpr std::size_t kCodeDigits = 6;
inline constexpr std::u16string_view kColourOpenEnd = u"]";
inline constexpr std::u16string_view kColourClose = u"[/color]";

// The backgrounds a forum's light and dark styles typically show a signature on.
inline constexpr Colour kLightBackground{0xFF, 0xFF, 0xFF};
inline constexpr Colour kDarkBackground{0x1E, 0x1E, 0x1E};

// How a forum shows a stretch of text: outside any colour tag, in the reader's text colour.
struct RunStyle {
    bool bold = false;
    bool italic = false;
    std::optional<Colour> colour;

    friend bool operator==(const RunStyle&, const RunStyle&) = default;
};

struct StyledRun {
    std::u16string_view text;
    RunStyle style;
};

// Hands each stretch of literal text in `markup` to `visit` with its style, in order, until
// `visit` returns false. Only [b], [i], a colour tag of six hex digits and their closers are
// tags; anything else, a typed "[url=…]" included, is text.
void ForEachRun(std::u16string_view markup, const std::function<bool(const StyledRun&)>& visit);

// The first `limit` characters of `markup` as a forum shows them, and whether more follow.
struct ShownCharacters {
    std::vector<StyledRun> characters;
    bool more = false;
};
ShownCharacters FirstCharacters(std::u16string_view markup, std::int64_t limit);

// The characters of `markup` that are not white space, and how many fall below
// kLeastReadableContrast on each background; untagged text suits either.
struct Legibility {
    std::int64_t characters = 0;
    std::int64_t hardOnLight = 0;
    std::int64_t hardOnDark = 0;

    friend bool operator==(const Legibility&, const Legibility&) = default;
};
Legibility MarkupLegibility(std::u16string_view markup);

// Code points, a surrogate pair counting once: what a forum's length limit counts.
std::int64_t CountCodePoints(std::u16string_view text);

} // namespace huewright
