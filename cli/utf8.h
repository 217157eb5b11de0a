// UTF-8 in and out, checked here rather than by the C library so that the result never
// depends on the locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace huewright::cli {

struct Utf8Error {
    std::size_t offset;      // of the first byte of the ill-formed sequence, counting from 0
    std::string_view reason; // "overlong encoding", "truncated sequence", ...
};

// Decodes UTF-8 into UTF-16 a piece at a time, so that input can be checked as it arrives.
// Overlong forms, surrogates, code points above U+10FFFF, stray continuation bytes and
// truncated sequences are errors; nothing is replaced or skipped.
class Utf8Decoder {
public:
    // Appends the characters of `bytes` to `out`. A sequence cut off at the end of `bytes`
    // waits for the next piece. Returns the first error; the decoder is spent after one.
    std::optional<Utf8Error> Feed(std::string_view bytes, std::u16string& out);

    // End of input: a sequence still waiting is truncated.
    std::optional<Utf8Error> Finish() const;

private:
    std::string pending_;    // the start of a sequence cut off by the end of the last piece
    std::size_t offset_ = 0; // of pending_'s first byte (or of the next piece) in the input
};

// Decodes a whole text.
std::optional<Utf8Error> DecodeUtf8(std::string_view bytes, std::u16string& out);

// Appends UTF-16 as UTF-8 to `out`. A lone surrogate, which valid input never yields, becomes
// U+FFFD. A surrogate pair split between two calls would become two of those, so callers
// that write in pieces end a piece after a pair, never inside one.
void AppendUtf8(std::u16string_view units, std::string& out);

// The same, written at `out`, which has room for three bytes a unit; returns the end of what
// was written. For a caller that reuses one buffer.
char* EncodeUtf8(std::u16string_view units, char* out);

} // namespace huewright::cli
