#include "utf8.h"

#include <algorithm>
#include <cstddef>

namespace huewright::cli {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

struct Step {
    std::size_t used = 0; // bytes of the sequence; 0 when it is cut off by the end of input
    std::string_view error;
};

// What a lead byte promises: the length of its sequence and the range its second byte must
// lie in, which is where overlong forms, surrogates and code points above U+10FFFF show.
struct Lead {
    std::size_t length = 0; // 0: the byte cannot start a sequence
    unsigned char low = 0x80U;
    unsigned char high = 0xBFU;
    std::string_view error = "overlong encoding"; // of the lead itself, or of a second byte
};

Lead ClassifyLead(unsigned char lead) {
    if (lead < 0xC0U) {
        return {0, 0, 0, "unexpected continuation byte"};
    }
    if (lead < 0xC2U) {
        return {0, 0, 0, "overlong encoding"};
    }
    if (lead < 0xE0U) {
        return {2};
    }
    if (lead < 0xF0U) {
        if (lead == 0xE0U) {
            return {3, 0xA0U};
        }
        if (lead == 0xEDU) {
            return {3, 0x80U, 0x9FU, "surrogate code point"};
        }
        return {3};
    }
    if (lead < 0xF5U) {
        if (lead == 0xF0U) {
            return {4, 0x90U};
        }
        if (lead == 0xF4U) {
            return {4, 0x80U, 0x8FU, "code point above U+10FFFF"};
        }
        return {4};
    }
    return {0, 0, 0, lead < 0xF8U ? "code point above U+10FFFF" : "byte never used in UTF-8"};
}

// Checks the sequence that starts at `bytes[0]` against the well-formed byte ranges of
// UTF-8 and appends its character to `out`.
Step DecodeOne(std::string_view bytes, std::u16string& out) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80U) {
        out += static_cast<char16_t>(lead);
        return {1, {}};
    }
    const Lead expect = ClassifyLead(lead);
    const std::size_t length = expect.length;
    if (length == 0) {
        return {0, expect.error};
    }
    std::uint32_t code = lead & (0xFFU >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if (i >= bytes.size()) {
            return {0, {}}; // cut off: the caller decides whether more may come
        }
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (!IsContinuation(byte)) {
            return {0, "truncated sequence"};
        }
        if (i == 1 && (byte < expect.low || byte > expect.high)) {
            return {0, expect.error};
        }
        code = (code << 6U) | (byte & 0x3FU);
    }
    if (code < 0x10000U) {
        out += static_cast<char16_t>(code);
    } else {
        code -= 0x10000U;
        out += static_cast<char16_t>(0xD800U + (code >> 10U));
        out += static_cast<char16_t>(0xDC00U + (code & 0x3FFU));
    }
    return {length, {}};
}

struct Run {
    std::size_t used = 0; // bytes decoded; the rest is an unfinished sequence or the error
    std::optional<Utf8Error> error;
};

Run DecodeRun(std::string_view bytes, std::u16string& out) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        // Plain ASCII is by far the common case; widen a whole run of it at once.
        std::size_t ascii = at;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80U) {
            ++ascii;
        }
        const std::size_t from = out.size();
        out.resize(from + (ascii - at));
        std::ranges::copy(bytes.substr(at, ascii - at),
                          out.begin() + static_cast<std::ptrdiff_t>(from));
        at = ascii;
        if (at == bytes.size()) {
            break;
        }
        const Step step = DecodeOne(bytes.substr(at), out);
        if (!step.error.empty()) {
            return {at, Utf8Error{at, step.error}};
        }
        if (step.used == 0) {
            break;
        }
        at += step.used;
    }
    return {at, std::nullopt};
}

} // namespace

std::optional<Utf8Error> Utf8Decoder::Feed(std::string_view bytes, std::u16string& out) {
    std::string joined;
    if (!pending_.empty()) {
        joined = pending_;
        joined += bytes;
        bytes = joined;
    }
    const Run run = DecodeRun(bytes, out);
    if (run.error) {
        return Utf8Error{offset_ + run.error->offset, run.error->reason};
    }
    offset_ += run.used;
    pending_.assign(bytes.substr(run.used));
    return std::nullopt;
}

std::optional<Utf8Error> Utf8Decoder::Finish() const {
    if (pending_.empty()) {
        return std::nullopt;
    }
    return Utf8Error{offset_, "truncated sequence"};
}

std::optional<Utf8Error> DecodeUtf8(std::string_view bytes, std::u16string& out) {
    Utf8Decoder decoder;
    if (auto error = decoder.Feed(bytes, out)) {
        return error;
    }
    return decoder.Finish();
}

namespace {

// Copies the leading whole blocks of ASCII in `units` to `at`; returns how many units it
// took. Markup is nearly all ASCII, and these loops the compiler turns into vector
// instructions.
std::size_t CopyAsciiBlocks(std::u16string_view units, char* at) {
    constexpr std::size_t kBlock = 16;
    std::size_t done = 0;
    while (done + kBlock <= units.size()) {
        char16_t any = 0;
        for (std::size_t k = 0; k < kBlock; ++k) {
            any |= units[done + k];
        }
        if (any >= 0x80U) {
            break;
        }
        for (std::size_t k = 0; k < kBlock; ++k) {
            at[done + k] = static_cast<char>(units[done + k]); // NOLINT: sized by the caller
        }
        done += kBlock;
    }
    return done;
}

// Writes one code point at `at` and returns the first byte after it.
char* PutCodePoint(std::uint32_t code, char* at) {
    const auto put = [&at](std::uint32_t byte) { *at++ = static_cast<char>(byte); };
    if (code < 0x80U) {
        put(code);
        return at;
    }
    if (code < 0x800U) {
        put(0xC0U | (code >> 6U));
    } else if (code < 0x10000U) {
        put(0xE0U | (code >> 12U));
        put(0x80U | ((code >> 6U) & 0x3FU));
    } else {
        put(0xF0U | (code >> 18U));
        put(0x80U | ((code >> 12U) & 0x3FU));
        put(0x80U | ((code >> 6U) & 0x3FU));
    }
    put(0x80U | (code & 0x3FU));
    return at;
}

} // namespace

char* EncodeUtf8(std::u16string_view units, char* out) {
    char* at = out;
    std::size_t i = 0;
    while (i < units.size()) {
        const std::size_t ascii = CopyAsciiBlocks(units.substr(i), at);
        at += ascii;
        i += ascii;
        if (i == units.size()) {
            break;
        }
        std::uint32_t code = units[i++];
        if (code >= 0xD800U && code <= 0xDFFFU) {
            const bool paired =
                code <= 0xDBFFU && i < units.size() && units[i] >= 0xDC00U && units[i] <= 0xDFFFU;
            code = paired ? 0x10000U + ((code - 0xD800U) << 10U) + (units[i++] - 0xDC00U)
                          : kReplacement;
        }
        at = PutCodePoint(code, at);
    }
    return at;
}

void AppendUtf8(std::u16string_view units, std::string& out) {
    // Sized for the worst case (three bytes a unit) and trimmed after.
    const std::size_t start = out.size();
    out.resize(start + units.size() * 3);
    const char* at = EncodeUtf8(units, out.data() + start);
    out.resize(static_cast<std::size_t>(at - out.data()));
}

} // namespace huewright::cli
