// Huewright gradient engine: one generation of colour-tagged markup.
#pragma once

#include "huewright/colour.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace huewright {

// The characters one generation colours at most.
inline constexpr std::int32_t kMaxCharacters = 99'999;

enum class FailureKind {
    DivisionByZero,      // no text to colour while the colours differ
    SubscriptOutOfRange, // more than kMaxCharacters characters
    Overflow,            // a channel value outside 0..256
};

// The six channel values of a generation, in the order they are checked, and the words every
// front end names them with.
enum class Channel { StartRed, StartGreen, StartBlue, EndRed, EndGreen, EndBlue };
inline constexpr std::array<std::string_view, 6> kChannelNames{
    "start red", "start green", "start blue", "end red", "end green", "end blue"};

// What went wrong, with what a message about it needs; each front end words it.
struct Failure {
    FailureKind kind = FailureKind::DivisionByZero;
    // SubscriptOutOfRange: the text's length in characters; 0 when it was too long to count.
    std::int64_t characters = 0;
    // Overflow: the first value outside 0..256 and its place.
    Channel channel = Channel::StartRed;
    int value = 0;

    friend bool operator==(const Failure&, const Failure&) = default;
};

struct Generation {
    std::u16string output;          // the markup; empty after a failure
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

enum class MarkupForm { Full, Compact }; // MakeGradient's markup, MakeCompactGradient's

// Receives markup a piece at a time, in order.
using MarkupSink = std::function<void(std::u16string_view)>;

// MakeGradient's (or MakeCompactGradient's) markup handed to `sink` in pieces, so that a long
// text's markup need never be held whole. A piece ends between characters or tags, never in a
// surrogate pair, and is at most 16 Ki units long unless a single character is longer. On
// failure `sink` receives nothing and the failure, MakeGradient's, is returned.
std::optional<Failure> WriteGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                                     bool italic, MarkupForm form, const MarkupSink& sink);

// The user-perceived characters of `text`, as a generation counts them.
std::int64_t CountCharacters(std::u16string_view text);

// 1902 -> "1,902", whatever the locale: how the front ends write a count, in their failure
// messages and in the window, the way forums print their limits.
std::string WithThousands(std::int64_t n);

} // namespace huewright
