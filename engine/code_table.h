// The colour codes of one generation and the channel pass that fills them.
#pragma once

#include "gradient.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace huewright {

// A failure inside a generation; MakeGradient turns it into its Failure result.
class GenerationError : public std::runtime_error {
public:
    GenerationError(FailureKind kind, const std::string& description)
        : std::runtime_error(description), kind_(kind) {}
    FailureKind kind() const noexcept { return kind_; }

private:
    FailureKind kind_;
};

// Two upper-case hex digits of a channel value; values above 255 are written as FF, the way
// the swatch shows them.
std::array<char, 2> HexPair(int value);

// 100,000 slots of colour codes, 0..99,999, each starting empty. Slot k ends up with the
// red, green and blue pairs of character k. Storage grows only as far as slots are written,
// so a short text does not pay for the whole table.
class CodeTable {
public:
    static constexpr std::int32_t kSlots = 100'000;
    // A slot receives one pair per channel pass, so six digits at most.
    static constexpr std::size_t kMaxDigits = 6;

    // Appends the hex pair of `value` to slot `index`; throws the subscript failure when
    // `index` lies outside 0..99,999.
    void Append(std::int32_t index, int value);

    // The text of slot `index`; empty when nothing was written there.
    std::string_view Slot(std::int32_t index) const;

private:
    struct Code {
        std::array<char, kMaxDigits> digits{};
        std::uint8_t size = 0;
    };

    static void CheckIndex(std::int32_t index);

    std::vector<Code> codes_;
};

// One channel pass: appends a pair per character from the start value `a` toward the end
// value `z` over a text of `length` characters. Throws GenerationError on division by zero
// (no text while a differs from z), a slot past 99,999, or an overflowing difference.
void FillChannel(CodeTable& table, int a, int z, std::int32_t length);

} // namespace huewright
