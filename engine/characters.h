// Splitting text into the characters a reader sees.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace huewright {

// Offsets of the user-perceived characters (extended grapheme clusters) of `text`, in
// UTF-16 units: character i spans [bounds[i], bounds[i+1]). The result holds one more
// entry than there are characters; for empty text it is {0}. A lone surrogate is always a
// character of its own.
std::vector<std::int32_t> CharacterBounds(std::u16string_view text);

} // namespace huewright
