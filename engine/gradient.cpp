#include "huewright/gradient.h"

#include "code_table.h"
#include "huewright/characters.h"
#include "huewright/markup.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <vector>

namespace huewright {
namespace {

// A character's two colour tags, and every style tag: room for the full form, the longer.
constexpr std::size_t kFullTags =
    kColourOpen.size() + kCodeDigits + kColourOpenEnd.size() + kColourClose.size();
constexpr std::size_t kStyles =
    kBoldOpen.size() + kItalicOpen.size() + kItalicClose.size() + kBoldClose.size();

// The first of the six values outside the bars' range, as its failure.
std::optional<Failure> CheckChannels(Colour start, Colour end) {
    const std::array<int, 6> values{start.red, start.green, start.blue,
                                    end.red,   end.green,   end.blue};
    const auto* bad = std::ranges::find_if(values, [](int v) { return v < 0 || v > kMaxChannel; });
    if (bad == values.end()) {
        return std::nullopt;
    }
    return Failure{FailureKind::Overflow, 0, static_cast<Channel>(bad - values.begin()), *bad};
}

// The text of one generation, its characters and their codes: what both writers read.
struct Filled {
    std::u16string_view text;
    std::vector<std::int32_t> bounds; // character i spans [bounds[i - 1], bounds[i])
    CodeTable table;

    std::int32_t Length() const { return static_cast<std::int32_t>(bounds.size() - 1); }
    std::u16string_view Characters(std::int32_t first, std::int32_t last) const { // from 1
        const auto from = static_cast<std::size_t>(bounds[static_cast<std::size_t>(first - 1)]);
        const auto to = static_cast<std::size_t>(bounds[static_cast<std::size_t>(last - 1)]);
        return text.substr(from, to - from);
    }
    std::u16string_view Character(std::int32_t i) const { return Characters(i, i + 1); }
};

// The markup handed to a sink a buffer at a time; appends are whole tags or characters.
class MarkupOut {
public:
    explicit MarkupOut(const MarkupSink& sink) : sink_(sink), buffer_(kBufferUnits) {}

    void Append(std::u16string_view units) {
        if (units.size() > kBufferUnits - used_) {
            Flush();
            if (units.size() > kBufferUnits) {
                sink_(units); // one character longer than the buffer
                return;
            }
        }
        std::ranges::copy(units, buffer_.data() + used_);
        used_ += units.size();
    }

    // "[color=#" + `code` + "]", written straight into the buffer.
    void AppendColourOpen(std::string_view code) {
        code = code.substr(0, CodeTable::kMaxDigits);
        if (kColourOpen.size() + code.size() + kColourOpenEnd.size() > kBufferUnits - used_) {
            Flush();
        }
        char16_t* at = std::ranges::copy(kColourOpen, buffer_.data() + used_).out;
        at = std::ranges::copy(code, at).out; // ASCII digits widen unchanged
        at = std::ranges::copy(kColourOpenEnd, at).out;
        used_ = static_cast<std::size_t>(at - buffer_.data());
    }

    void Flush() {
        if (used_ > 0) {
            sink_({buffer_.data(), used_});
            used_ = 0;
        }
    }

private:
    // 32 KiB: small enough to stay in the cache, large enough that a sink is called rarely.
    static constexpr std::size_t kBufferUnits = std::size_t{16} << 10U;

    const MarkupSink& sink_;
    std::vector<char16_t> buffer_;
    std::size_t used_ = 0;
};

void WriteMarkup(const Filled& filled, MarkupOut& out) {
    for (std::int32_t i = 1; i <= filled.Length(); ++i) {
        out.AppendColourOpen(filled.table.Slot(i));
        out.Append(filled.Character(i));
        out.Append(kColourClose);
    }
}

// The same colours with fewer tags: neighbours of one code share one; white space needs none.
void WriteCompactMarkup(const Filled& filled, MarkupOut& out) {
    const std::int32_t length = filled.Length();
    std::optional<std::string_view> open; // the code of the open colour tag
    const auto close = [&out, &open] {
        if (open) {
            out.Append(kColourClose);
            open.reset();
        }
    };
    for (std::int32_t i = 1; i <= length;) {
        const std::u16string_view character = filled.Character(i);
        if (!IsWhiteSpace(character)) {
            const std::string_view code = filled.table.Slot(i);
            if (open != code) {
                close();
                out.AppendColourOpen(code);
                open = code;
            }
            out.Append(character);
            if (character.front() == u'[') {
                close(); // a typed "[b]" stays text, as our tags part it in the full form
            }
            ++i;
            continue;
        }
        // White space stays in the open tag only when the next visible character continues it.
        std::int32_t next = i + 1;
        while (next <= length && IsWhiteSpace(filled.Character(next))) {
            ++next;
        }
        if (next > length || open != filled.table.Slot(next)) {
            close();
        }
        out.Append(filled.Characters(i, next));
        i = next;
    }
    close();
}

// The checks, the split, the three passes, then the markup (room first in `kept`, if given).
std::optional<Failure> Generate(std::u16string_view text, Colour start, Colour end, bool bold,
                                bool italic, MarkupForm form, const MarkupSink& sink,
                                std::u16string* kept) {
    if (auto failure = CheckChannels(start, end)) {
        return failure;
    }
    if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        // Far beyond the table however it is counted; don't try to segment it.
        return Failure{FailureKind::SubscriptOutOfRange};
    }
    Filled filled{text, CharacterBounds(text), {}}; // the table lives for this generation only
    const std::int32_t length = filled.Length();
    try {
        filled.table.Reserve(length + 1);
        FillChannel(filled.table, start.red, end.red, length);
        FillChannel(filled.table, start.green, end.green, length);
        FillChannel(filled.table, start.blue, end.blue, length);
    } catch (const GenerationError& error) {
        Failure failure{error.kind};
        if (error.kind == FailureKind::SubscriptOutOfRange) {
            failure.characters = length; // the table does not know the text
        }
        return failure;
    }
    if (kept != nullptr) { // growing as it went took 38 ms for 99,999 characters, not 1.4
        kept->reserve(text.size() + kFullTags * static_cast<std::size_t>(length) + kStyles);
    }
    MarkupOut out(sink);
    out.Append(bold ? kBoldOpen : u"");
    out.Append(italic ? kItalicOpen : u"");
    (form == MarkupForm::Compact ? WriteCompactMarkup : WriteMarkup)(filled, out);
    out.Append(italic ? kItalicClose : u""); // closed innermost first, so the markup nests
    out.Append(bold ? kBoldClose : u"");
    out.Flush();
    return std::nullopt;
}

Generation Kept(std::u16string_view text, Colour start, Colour end, bool bold, bool italic,
                MarkupForm form) {
    Generation result;
    const MarkupSink keep = [&result](std::u16string_view piece) { result.output += piece; };
    result.failure = Generate(text, start, end, bold, italic, form, keep, &result.output);
    return result;
}

} // namespace

std::int64_t CountCharacters(std::u16string_view text) {
    return static_cast<std::int64_t>(CharacterBounds(text).size()) - 1;
}

std::string WithThousands(std::int64_t n) {
    // By hand: std::locale's machinery cost the web page 33 KB of its 400 KB gzip budget.
    std::string digits = std::to_string(n);
    const std::size_t first = n < 0 ? 1 : 0;
    for (std::size_t i = digits.size(); i > first + 3; i -= 3) {
        digits.insert(i - 3, 1, ',');
    }
    return digits;
}

Generation MakeGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                        bool italic) {
    return Kept(text, start, end, bold, italic, MarkupForm::Full);
}

Generation MakeCompactGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                               bool italic) {
    return Kept(text, start, end, bold, italic, MarkupForm::Compact);
}

std::optional<Failure> WriteGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                                     bool italic, MarkupForm form, const MarkupSink& sink) {
    return Generate(text, start, end, bold, italic, form, sink, nullptr);
}

} // namespace huewright
