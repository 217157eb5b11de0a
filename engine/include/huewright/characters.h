// Splitting text into the characters a reader sees, for every front end.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace huewright {

// Offsets of the extended grapheme clusters of `text` in UTF-16 units: character i spans
// [bounds[i], bounds[i+1]); {0} for empty text. A lone surrogate is a character of its own.
std::vector<std::int32_t> CharacterBounds(std::u16string_view text);

// IsWhiteSpace asking ICU, for what is not a single ASCII unit.
bool IsUnicodeWhiteSpace(std::u16string_view character);

// True when every code point of `character` (CR LF too, not "") is Unicode White_Space.
inline bool IsWhiteSpace(std::u16string_view character) {
    // Plain text asks this once a character; ASCII is answered here, without a call.
    if (character.size() == 1 && character[0] < 0x80) {
        const char16_t unit = character[0];
        return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
    }
    return IsUnicodeWhiteSpace(character);
}

} // namespace huewright
