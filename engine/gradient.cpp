#include "gradient.h"

#include "characters.h"
#include "code_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace huewright {
namespace {

constexpr int kMaxChannel = 256; // the bars run 0..256

constexpr std::u16string_view kBoldOpen = u"[b]";
constexpr std::u16string_view kItalicOpen = u"[i]";
constexpr std::u16string_view kColorOpen = u"[color=#";
constexpr std::u16string_view kColorClose = u"[/color]";
constexpr std::u16string_view kItalicClose = u"[/i]";
constexpr std::u16string_view kBoldClose = u"[/b]";

// Units of markup around one character: "[color=#" + six digits + "]" + "[/color]".
constexpr std::size_t kTagUnits = 8 + 6 + 1 + 8;

void CheckChannels(Colour start, Colour end) {
    struct Channel {
        // cppcheck-suppress unusedStructMember ; read through `bad` below, which it misses
        const char* name;
        int value;
    };
    const std::array<Channel, 6> channels{{{"start red", start.red},
                                           {"start green", start.green},
                                           {"start blue", start.blue},
                                           {"end red", end.red},
                                           {"end green", end.green},
                                           {"end blue", end.blue}}};
    const auto* bad = std::ranges::find_if(
        channels, [](const Channel& c) { return c.value < 0 || c.value > kMaxChannel; });
    if (bad != channels.end()) {
        throw GenerationError(FailureKind::Overflow,
                              "The " + std::string(bad->name) + " value " +
                                  std::to_string(bad->value) +
                                  " is out of range: colour values run from 0 to 256.");
    }
}

// 123456 -> "123,456"
std::string WithThousands(std::int64_t n) {
    std::string digits = std::to_string(n);
    for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return digits;
}

std::string TooLongDescription(std::int32_t length) {
    std::string text = "The text has more than 99,999 characters";
    if (length > 0) {
        text += " (" + WithThousands(length) + ")";
    }
    return text + ", more than Huewright can colour. Shorten it and generate again.";
}

std::u16string WriteMarkup(std::u16string_view text, const std::vector<std::int32_t>& bounds,
                           const CodeTable& table, bool bold, bool italic) {
    const auto length = static_cast<std::int32_t>(bounds.size() - 1);
    std::u16string out;
    out.reserve(text.size() + kTagUnits * static_cast<std::size_t>(length) + 14);
    if (bold) {
        out += kBoldOpen;
    }
    if (italic) {
        out += kItalicOpen;
    }
    for (std::int32_t i = 1; i <= length; ++i) {
        const std::string_view code = table.Slot(i);
        const auto first = static_cast<std::size_t>(bounds[static_cast<std::size_t>(i - 1)]);
        const auto last = static_cast<std::size_t>(bounds[static_cast<std::size_t>(i)]);
        out += kColorOpen;
        out.append(code.begin(), code.end()); // ASCII digits widen unchanged
        out += u']';
        out += text.substr(first, last - first);
        out += kColorClose;
    }
    // Closed innermost first, so the markup nests.
    if (italic) {
        out += kItalicClose;
    }
    if (bold) {
        out += kBoldClose;
    }
    return out;
}

} // namespace

std::string_view FailureKindName(FailureKind kind) {
    switch (kind) {
    case FailureKind::DivisionByZero:
        return "Division by zero";
    case FailureKind::SubscriptOutOfRange:
        return "Subscript out of range";
    case FailureKind::Overflow:
        return "Overflow";
    }
    return "Unknown failure";
}

Generation MakeGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                        bool italic) {
    Generation result;
    std::int32_t length = 0;
    try {
        CheckChannels(start, end);
        if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            // Far beyond the table however it is counted; don't try to segment it.
            throw GenerationError(FailureKind::SubscriptOutOfRange, TooLongDescription(0));
        }
        const std::vector<std::int32_t> bounds = CharacterBounds(text);
        length = static_cast<std::int32_t>(bounds.size() - 1);

        CodeTable table; // lives for this generation only
        FillChannel(table, start.red, end.red, length);
        FillChannel(table, start.green, end.green, length);
        FillChannel(table, start.blue, end.blue, length);
        result.output = WriteMarkup(text, bounds, table, bold, italic);
    } catch (const GenerationError& error) {
        // The table does not know the text; name its length here.
        std::string description = error.kind() == FailureKind::SubscriptOutOfRange
                                      ? TooLongDescription(length)
                                      : std::string(error.what());
        result.failure = Failure{error.kind(), std::move(description)};
    }
    return result;
}

} // namespace huewright
