// Arbitrary text, channel values and switches into MakeGradient. Whatever comes in, the
// result is either well-formed markup around the exact input or one of the three failures
// with nothing half-written.
#include "gradient.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

bool ConsumePrefix(std::u16string_view& s, std::u16string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) {
        return false;
    }
    s.remove_prefix(prefix.size());
    return true;
}

bool ConsumeSuffix(std::u16string_view& s, std::u16string_view suffix) {
    if (s.size() < suffix.size() || s.substr(s.size() - suffix.size()) != suffix) {
        return false;
    }
    s.remove_suffix(suffix.size());
    return true;
}

// Channel values mostly inside the bars' range, sometimes just outside it.
int Channel(const std::uint8_t* data) {
    const auto raw = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
    return static_cast<int>(raw % 300) - 20;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHeader = 13; // six channels of two bytes, one byte of switches
    if (size < kHeader) {
        return 0;
    }
    const huewright::Colour start{Channel(data), Channel(data + 2), Channel(data + 4)};
    const huewright::Colour end{Channel(data + 6), Channel(data + 8), Channel(data + 10)};
    const bool bold = (data[12] & 1U) != 0;
    const bool italic = (data[12] & 2U) != 0;
    std::u16string text((size - kHeader) / 2, u'\0');
    std::memcpy(text.data(), data + kHeader, text.size() * 2);

    const huewright::Generation g = huewright::MakeGradient(text, start, end, bold, italic);

    if (g.failure) {
        using huewright::FailureKind;
        const FailureKind kind = g.failure->kind;
        Check(kind == FailureKind::DivisionByZero || kind == FailureKind::SubscriptOutOfRange ||
              kind == FailureKind::Overflow);
        Check(!g.failure->description.empty());
        Check(g.output.empty());
        return 0;
    }

    std::u16string_view rest = g.output;
    if (bold) {
        Check(ConsumePrefix(rest, u"[b]") && ConsumeSuffix(rest, u"[/b]"));
    }
    if (italic) {
        Check(ConsumePrefix(rest, u"[i]") && ConsumeSuffix(rest, u"[/i]"));
    }
    std::u16string stripped;
    while (!rest.empty()) {
        Check(ConsumePrefix(rest, u"[color=#"));
        Check(rest.size() > 7);
        for (std::size_t i = 0; i < 6; ++i) {
            Check(IsHexDigit(rest[i]));
        }
        Check(rest[6] == u']');
        rest.remove_prefix(7);
        const auto close = rest.find(u"[/color]", 1);
        Check(close != std::u16string_view::npos);
        stripped += rest.substr(0, close);
        rest.remove_prefix(close + 8);
    }
    Check(stripped == text);
    return 0;
}
