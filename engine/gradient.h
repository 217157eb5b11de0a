// Huewright gradient engine: one generation of colour-tagged markup.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace huewright {

// Three channel values as the bars hold them: 0..256 each.
struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;

    friend bool operator==(const Colour&, const Colour&) = default;
};

enum class FailureKind {
    DivisionByZero,      // no text to colour while the colours differ
    SubscriptOutOfRange, // more characters than the code table has slots
    Overflow,            // a channel value outside 0..256
};

struct Failure {
    FailureKind kind;
    std::string description; // UTF-8, shown to the user as it stands
};

struct Generation {
    std::u16string output;          // the markup, or what was made before a failure
    std::optional<Failure> failure; // empty when the generation succeeded
};

// Builds the markup for `text`: every user-perceived character wrapped in its own
// "[color=#RRGGBB]" tag, stepping from `start` to `end`, optionally inside [b] and [i].
Generation MakeGradient(std::u16string_view text, Colour start, Colour end, bool bold, bool italic);

// The same generation written as short as it renders alike: every character that is not white
// space keeps its code, neighbours of one code share a tag, white space takes no tag of its
// own. Never longer than MakeGradient's output; a failure is the same, with an empty output.
Generation MakeCompactGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                               bool italic);

enum class MarkupForm {
    Full,    // MakeGradient's markup
    Compact, // MakeCompactGradient's markup
};

// Receives markup a piece at a time, in order.
using MarkupSink = std::function<void(std::u16string_view)>;

// The markup MakeGradient (or MakeCompactGradient) returns, handed to `sink` in pieces instead
// of as one string, so that a long text's markup need never be held whole. A piece ends
// between characters or tags, never inside a surrogate pair, and is at most 16 Ki units long
// unless a single character is longer. On failure `sink` receives nothing and the failure is
// returned; the failures are MakeGradient's.
std::optional<Failure> WriteGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                                     bool italic, MarkupForm form, const MarkupSink& sink);

// 1902 -> "1,902", whatever the locale: how Huewright writes a count, in its failures and in
// the window, the way forums print their limits.
std::string WithThousands(std::int64_t n);

// Short English name of a failure kind ("Division by zero", ...).
std::string_view FailureKindName(FailureKind kind);

} // namespace huewright
