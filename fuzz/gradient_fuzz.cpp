// Arbitrary text, channel values and switches into MakeGradient. Whatever comes in, the
// result is either well-formed markup around the exact input or one of the three failures
// with nothing half-written. The compact form fails alike, is never longer, and paints every
// character that is not white space as the full form does.
#include "huewright/characters.h"
#include "huewright/gradient.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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

std::u16string_view Unstyled(std::u16string_view markup, bool bold, bool italic) {
    if (bold) {
        Check(ConsumePrefix(markup, u"[b]") && ConsumeSuffix(markup, u"[/b]"));
    }
    if (italic) {
        Check(ConsumePrefix(markup, u"[i]") && ConsumeSuffix(markup, u"[/i]"));
    }
    return markup;
}

// The code each unit of the text is painted with (empty outside any tag), read back from
// markup whose style tags are off. Tags never nest.
std::vector<std::u16string_view> UnitCodes(std::u16string_view markup) {
    std::vector<std::u16string_view> codes;
    std::u16string_view current;
    while (!markup.empty()) {
        if (ConsumePrefix(markup, u"[color=#")) {
            Check(current.empty() && markup.size() > 6 && markup[6] == u']');
            current = markup.substr(0, 6);
            markup.remove_prefix(7);
        } else if (ConsumePrefix(markup, u"[/color]")) {
            Check(!current.empty());
            current = {};
        } else {
            codes.push_back(current);
            markup.remove_prefix(1);
        }
    }
    Check(current.empty());
    return codes;
}

void CheckCompact(std::u16string_view text, const huewright::Generation& full,
                  const huewright::Generation& compact, bool bold, bool italic) {
    Check(compact.failure.has_value() == full.failure.has_value());
    if (full.failure) {
        Check(*compact.failure == *full.failure);
        Check(compact.output.empty());
        return;
    }
    Check(compact.output.size() <= full.output.size());
    // Typed tags would make the read-back ambiguous; the length check above still holds.
    if (text.find(u"[color=#") != std::u16string_view::npos ||
        text.find(u"[/color]") != std::u16string_view::npos) {
        return;
    }
    const auto fullCodes = UnitCodes(Unstyled(full.output, bold, italic));
    const auto compactCodes = UnitCodes(Unstyled(compact.output, bold, italic));
    Check(fullCodes.size() == text.size() && compactCodes.size() == text.size());
    const std::vector<std::int32_t> bounds = huewright::CharacterBounds(text);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const auto first = static_cast<std::size_t>(bounds[i]);
        const auto last = static_cast<std::size_t>(bounds[i + 1]);
        if (huewright::IsWhiteSpace(text.substr(first, last - first))) {
            continue;
        }
        for (std::size_t u = first; u < last; ++u) {
            Check(compactCodes[u] == fullCodes[u]);
        }
    }
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
    CheckCompact(text, g, huewright::MakeCompactGradient(text, start, end, bold, italic), bold,
                 italic);

    if (g.failure) {
        using huewright::FailureKind;
        const FailureKind kind = g.failure->kind;
        Check(kind == FailureKind::DivisionByZero || kind == FailureKind::SubscriptOutOfRange ||
              kind == FailureKind::Overflow);
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
