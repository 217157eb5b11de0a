#include "gradient.h"

#include "characters.h"
#include "code_table.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
// "[b][i]" and "[/i][/b]".
constexpr std::size_t kStyleUnits = 14;

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

// The characters of one generation and their codes: what both writers read.
struct Filled {
    std::vector<std::int32_t> bounds; // character i spans [bounds[i - 1], bounds[i])
    CodeTable table;

    std::int32_t Length() const { return static_cast<std::int32_t>(bounds.size() - 1); }
    // Characters first..last - 1 of `text`, counted from 1.
    std::u16string_view Characters(std::u16string_view text, std::int32_t first,
                                   std::int32_t last) const {
        const auto from = static_cast<std::size_t>(bounds[static_cast<std::size_t>(first - 1)]);
        const auto to = static_cast<std::size_t>(bounds[static_cast<std::size_t>(last - 1)]);
        return text.substr(from, to - from);
    }
    std::u16string_view Character(std::u16string_view text, std::int32_t i) const {
        return Characters(text, i, i + 1);
    }
};

void OpenStyles(std::u16string& out, bool bold, bool italic) {
    if (bold) {
        out += kBoldOpen;
    }
    if (italic) {
        out += kItalicOpen;
    }
}

// Closed innermost first, so the markup nests.
void CloseStyles(std::u16string& out, bool bold, bool italic) {
    if (italic) {
        out += kItalicClose;
    }
    if (bold) {
        out += kBoldClose;
    }
}

void AppendColourOpen(std::u16string& out, std::string_view code) {
    out += kColorOpen;
    out.append(code.begin(), code.end()); // ASCII digits widen unchanged
    out += u']';
}

std::u16string WriteMarkup(std::u16string_view text, const Filled& filled, bool bold, bool italic) {
    const std::int32_t length = filled.Length();
    std::u16string out;
    out.reserve(text.size() + kTagUnits * static_cast<std::size_t>(length) + kStyleUnits);
    OpenStyles(out, bold, italic);
    for (std::int32_t i = 1; i <= length; ++i) {
        AppendColourOpen(out, filled.table.Slot(i));
        out += filled.Character(text, i);
        out += kColorClose;
    }
    CloseStyles(out, bold, italic);
    return out;
}

// The same colours with fewer tags: neighbours of one code share a tag, and white space,
// which shows no colour, never needs one of its own.
std::u16string WriteCompactMarkup(std::u16string_view text, const Filled& filled, bool bold,
                                  bool italic) {
    const std::int32_t length = filled.Length();
    std::u16string out;
    // Never longer than the full markup, so this is the most it can need.
    out.reserve(text.size() + kTagUnits * static_cast<std::size_t>(length) + kStyleUnits);
    OpenStyles(out, bold, italic);
    std::optional<std::string_view> open; // the code of the tag we are inside, if any
    std::int32_t i = 1;
    while (i <= length) {
        const std::u16string_view character = filled.Character(text, i);
        if (!IsWhiteSpace(character)) {
            const std::string_view code = filled.table.Slot(i);
            if (open != code) {
                if (open) {
                    out += kColorClose;
                }
                AppendColourOpen(out, code);
                open = code;
            }
            out += character;
            ++i;
            continue;
        }
        // A stretch of white space stays inside the open tag only when the next visible
        // character continues it; otherwise it stands between tags.
        std::int32_t next = i + 1;
        while (next <= length && IsWhiteSpace(filled.Character(text, next))) {
            ++next;
        }
        if (open && (next > length || filled.table.Slot(next) != *open)) {
            out += kColorClose;
            open.reset();
        }
        out += filled.Characters(text, i, next);
        i = next;
    }
    if (open) {
        out += kColorClose;
    }
    CloseStyles(out, bold, italic);
    return out;
}

using Writer = std::u16string (*)(std::u16string_view, const Filled&, bool, bool);

// One generation: the checks, the character split and the three channel passes, then
// `write` over the filled table. A failure ends it with an empty output.
Generation Generate(std::u16string_view text, Colour start, Colour end, bool bold, bool italic,
                    Writer write) {
    Generation result;
    std::int32_t length = 0;
    try {
        CheckChannels(start, end);
        if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            // Far beyond the table however it is counted; don't try to segment it.
            throw GenerationError(FailureKind::SubscriptOutOfRange, TooLongDescription(0));
        }
        Filled filled{CharacterBounds(text), {}}; // the table lives for this generation only
        length = filled.Length();
        FillChannel(filled.table, start.red, end.red, length);
        FillChannel(filled.table, start.green, end.green, length);
        FillChannel(filled.table, start.blue, end.blue, length);
        result.output = write(text, filled, bold, italic);
    } catch (const GenerationError& error) {
        // The table does not know the text; name its length here.
        std::string description = error.kind() == FailureKind::SubscriptOutOfRange
                                      ? TooLongDescription(length)
                                      : std::string(error.what());
        result.failure = Failure{error.kind(), std::move(description)};
    }
    return result;
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
    return Generate(text, start, end, bold, italic, WriteMarkup);
}

Generation MakeCompactGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                               bool italic) {
    return Generate(text, start, end, bold, italic, WriteCompactMarkup);
}

} // namespace huewright
