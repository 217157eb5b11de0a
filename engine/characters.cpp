#include "huewright/characters.h"

#include <algorithm>
#include <stdexcept>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace huewright {
namespace {

void SimpleBounds(std::u16string_view text, std::vector<std::int32_t>& bounds) {
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 1; i < length; ++i) {
        if (text[i - 1] != u'\r' || text[i] != u'\n') {
            bounds.push_back(i);
        }
    }
    bounds.push_back(length);
}

// ICU reads an unpaired surrogate as itself, a pair as the code point it makes.
bool IsLoneSurrogate(std::u16string_view text, std::int32_t i) {
    const char16_t* units = text.data();
    UChar32 c = 0;
    U16_GET(units, 0, i, static_cast<std::int32_t>(text.size()), c);
    return U_IS_SURROGATE(c);
}

void ClusterBounds(std::u16string_view text, std::vector<std::int32_t>& bounds) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::LocalUBreakIteratorPointer it(ubrk_open(
        UBRK_CHARACTER, "", text.data(), static_cast<std::int32_t>(text.size()), &status));
    if (U_FAILURE(status) != 0) {
        throw std::runtime_error(std::string("character break iterator: ") + u_errorName(status));
    }
    for (std::int32_t next = ubrk_next(it.getAlias()); next != UBRK_DONE;
         next = ubrk_next(it.getAlias())) {
        // ICU may attach a combining mark to a lone surrogate; it stays a character alone.
        for (std::int32_t i = bounds.back(); i < next; ++i) {
            if (IsLoneSurrogate(text, i)) {
                if (i > bounds.back()) {
                    bounds.push_back(i);
                }
                if (i + 1 < next) {
                    bounds.push_back(i + 1);
                }
            }
        }
        bounds.push_back(next);
    }
}

} // namespace

std::vector<std::int32_t> CharacterBounds(std::u16string_view text) {
    std::vector<std::int32_t> bounds;
    bounds.reserve(text.size() + 1);
    bounds.push_back(0);
    if (text.empty()) {
        return bounds;
    }
    // Below U+0300 only CR LF joins, so plain Latin text, the common case, skips ICU.
    if (std::ranges::all_of(text, [](char16_t unit) { return unit < 0x0300; })) {
        SimpleBounds(text, bounds);
    } else {
        ClusterBounds(text, bounds);
    }
    return bounds;
}

bool IsUnicodeWhiteSpace(std::u16string_view character) {
    if (character.empty()) {
        return false;
    }
    const char16_t* units = character.data();
    const auto length = static_cast<std::int32_t>(character.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(units, i, length, c);
        if (u_isUWhiteSpace(c) == 0) {
            return false;
        }
    }
    return true;
}

} // namespace huewright
