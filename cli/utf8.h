// UTF-8 in and out through ICU, so that the result never depends on the locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace huewright::cli {

// Decodes UTF-8 into UTF-16 a piece at a time, so that input can be checked as it arrives.
// Whatever ICU's U8_NEXT refuses is an error (overlong forms, surrogates, code points above
// U+10FFFF, stray continuation bytes, truncated sequences); nothing is replaced or skipped.
class Utf8Decoder {
public:
    // Appends the characters of `bytes` to `out`. A sequence cut off at the end of `bytes`
    // waits for the next piece; `bytes` is shorter than 1 GiB. Returns the byte offset in the
    // whole input of the first byte of the first ill-formed sequence; the decoder is spent
    // after one.
    std::optional<std::size_t> Feed(std::string_view bytes, std::u16string& out);

    // End of input: a sequence still waiting is truncated.
    std::optional<std::size_t> Finish() const;

private:
    std::string pending_;    // the start of a sequence cut off by the end of the last piece
    std::size_t offset_ = 0; // of pending_'s first byte (or of the next piece) in the input
};

// Decodes a whole text; on bad input, the offset of its first bad byte.
std::optional<std::size_t> DecodeUtf8(std::string_view bytes, std::u16string& out);

// Writes UTF-16 as UTF-8 at `out`, which has room for three bytes a unit, and returns the end
// of what was written. A lone surrogate, which valid input never yields, becomes U+FFFD; a
// pair split between two calls would become two of those, so callers end a piece after a
// pair, never inside one.
char* EncodeUtf8(std::u16string_view units, char* out);

} // namespace huewright::cli
