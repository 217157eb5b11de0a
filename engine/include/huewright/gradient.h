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

inline constexpr std::int32_t kMaxCharacters = 99'999; // one generation colours at most

enum class FailureKind {
    DivisionByZero,      // no text to colour while the colours differ
    SubscriptOutOfRange, // more than kMaxCharacters characters
    Overflow,            // a channel value outside 0..256
};

// The six channel values, in the order they are checked, and every front end's words for them.
enum class Channel { StartRed, StartGreen, StartBlue, EndRed, EndGreen, EndBlue };
inline constexpr std::array<std::string_view, 6> kChannelNames{
    "start red", "start green", "start blue", "end red", "end green", "end blue"};

// What went wrong, with what a message about it needs; each front end words it.
struct Failure {
    FailureKind kind = FailureKind::DivisionByZero;
    std::int64_t characters = 0;         // SubscriptOutOfRange: the length; 0 if too long to count
    Channel channel = Channel::StartRed; // Overflow: the first value outside 0..256, and where
    int value = 0;

    friend bool operator==(const Failure&, const Failure&) = default;
};

struct Generation {
    std::u16string output;          // the markup; empty after a failure
    std::optional<Failure> failure; // empty when the generation succeeded
};

// Every user-perceived character of `text` in its own "[color=#RRGGBB]" tag, stepping from
// `start` to `end`, optionally inside [b] and [i].
Generation MakeGradient(std::u16string_view text, Colour start, Colour end, bool bold, bool italic);

// The same generation as short as it renders alike: neighbours of one code share a tag and
// white space takes none of its own. Never longer than MakeGradient's; the same failures.
Generation MakeCompactGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                               bool italic);

enum class MarkupForm { Full, Compact }; // MakeGradient's markup, MakeCompactGradient's

using MarkupSink = std::function<void(std::u16string_view)>;

// The same markup to `sink` in pieces of at most 16 Ki units (unless one character is longer),
// ending between characters or tags; on failure `sink` receives nothing.
std::optional<Failure> WriteGradient(std::u16string_view text, Colour start, Colour end, bool bold,
                                     bool italic, MarkupForm form, const MarkupSink& sink);

// The user-perceived characters of `text`, as a generation counts them.
std::int64_t CountCharacters(std::u16string_view text);

// 1902 -> "1,902", whatever the locale: how every front end writes a count.
std::string WithThousands(std::int64_t n);

} // namespace huewright
