// UTF-8 in and out through ICU, so that the result never depends on the locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace huewright::cli {

// Decodes UTF-8 a piece at a time; whatever ICU's U8_NEXT refuses is an error, not replaced.
class Utf8Decoder {
public:
    // Appends `bytes` (under 1 GiB) to `out`, a cut sequence waiting; the offset of an error.
    std::optional<std::size_t> Feed(std::string_view bytes, std::u16string& out);

    std::optional<std::size_t> Finish() const; // end of input: a waiting sequence is cut off

private:
    std::string pending_;    // the start of a sequence cut off by the end of the last piece
    std::size_t offset_ = 0; // of pending_'s first byte (or of the next piece) in the input
};

// Decodes a whole text; on bad input, the offset of its first bad byte.
std::optional<std::size_t> DecodeUtf8(std::string_view bytes, std::u16string& out);

// Writes UTF-16 as UTF-8 at `out` (three bytes a unit); returns the end. Lone surrogates
// become U+FFFD, so callers never end a piece inside a pair.
char* EncodeUtf8(std::u16string_view units, char* out);

} // namespace huewright::cli
