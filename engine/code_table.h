// The colour codes of one generation and the channel pass that fills them.
#pragma once

#include "huewright/gradient.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace huewright {

// A failure inside a generation, which adds the counts the table does not know.
struct GenerationError : std::exception {
    explicit GenerationError(FailureKind failure) noexcept : kind(failure) {}
    const char* what() const noexcept override { return "generation failed"; }
    FailureKind kind;
};

// Slots 0..99,999 of colour codes, k for character k; storage grows only as slots are written.
class CodeTable {
public:
    static constexpr std::int32_t kSlots = 100'000;
    static_assert(kSlots - 1 == kMaxCharacters, "slot 0 is never written");
    static constexpr std::size_t kMaxDigits = 6; // a pair per channel pass

    // Appends the hex pair of `value` to slot `index`; outside 0..99,999 a subscript failure.
    void Append(std::int32_t index, int value);

    std::string_view Slot(std::int32_t index) const; // empty when nothing was written there

    // Room for `count` empty slots at once. (Not "slots": cppcheck 2.17 reads Qt's keyword.)
    void Reserve(std::int32_t count) {
        codes_.resize(
            std::max(codes_.size(), static_cast<std::size_t>(std::clamp(count, 0, kSlots))));
    }

private:
    struct Code {
        std::array<char, kMaxDigits> digits{};
        std::uint8_t size = 0;
    };

    // Three appends a character make Append the hottest line of a generation, so it is inline.
    static std::size_t Checked(std::int32_t index) {
        if (index < 0 || index >= kSlots) {
            throw GenerationError(FailureKind::SubscriptOutOfRange);
        }
        return static_cast<std::size_t>(index);
    }

    std::vector<Code> codes_;
};

inline void CodeTable::Append(std::int32_t index, int value) {
    const std::size_t slot = Checked(index);
    if (slot >= codes_.size()) {
        codes_.resize(slot + 1); // grows geometrically
    }
    Code& code = codes_[slot];
    if (code.size + 2U > kMaxDigits) {
        // Only a fourth pass could get here; refuse rather than corrupt a neighbour.
        throw std::logic_error("code table slot written more than three times");
    }
    const auto pair = HexPair(value);
    code.digits[code.size] = pair[0];
    code.digits[code.size + 1U] = pair[1];
    code.size = static_cast<std::uint8_t>(code.size + 2U);
}

inline std::string_view CodeTable::Slot(std::int32_t index) const {
    const std::size_t slot = Checked(index);
    return slot < codes_.size() ? std::string_view(codes_[slot].digits.data(), codes_[slot].size)
                                : std::string_view();
}

// One channel pass from `a` toward `z` (0..256) over `length` characters; throws
// GenerationError for no text while a != z, or a slot past 99,999.
void FillChannel(CodeTable& table, int a, int z, std::int32_t length);

} // namespace huewright
