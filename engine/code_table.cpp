#include "code_table.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace huewright {

[[noreturn]] void CodeTable::Refuse(std::int32_t index) {
    if (index < 0 || index >= kSlots) {
        throw GenerationError(FailureKind::SubscriptOutOfRange);
    }
    // Only a fourth pass could get here; refuse rather than corrupt a neighbour.
    throw std::logic_error("code table slot written more than three times");
}

void CodeTable::Grow(std::size_t slot) {
    // A pass writes slot after slot; growing one at a time would cost a call each.
    codes_.resize(std::min(std::max(slot + 1, 2 * codes_.size()), std::size_t{kSlots}));
}

// Not named "slots": cppcheck's Qt library file (2.17) reads that as Qt's keyword.
void CodeTable::Reserve(std::int32_t count) {
    const auto size = static_cast<std::size_t>(std::clamp(count, 0, kSlots));
    if (size > codes_.size()) {
        codes_.resize(size);
    }
}

namespace {

int Step(int d, std::int32_t length) {
    if (length == 0) {
        throw GenerationError(FailureKind::DivisionByZero);
    }
    return d / length; // both non-negative, so this is the floor
}

// When the colours lie closer together than the text is long the floored step is 0; spread
// the values evenly instead, both ends exact, so every character still gets six digits.
void FillEvenly(CodeTable& table, int a, int d, int direction, std::int32_t length) {
    const std::int64_t span = length - 1; // length > d >= 1, so span >= 1
    // Character k takes a + direction * r, r = (2d(k - 1) + span) / (2 span) rounded down.
    // r is carried as quotient and remainder instead of divided out each time: a step adds
    // 2d <= 2 span to the numerator, so the quotient rises by one at most.
    const std::int64_t denominator = 2 * span;
    const std::int64_t increment = 2 * static_cast<std::int64_t>(d);
    int r = 0;                     // span / (2 span)
    std::int64_t remainder = span; // span % (2 span)
    for (std::int32_t k = 1; k <= length; ++k) {
        table.Append(k, a + direction * r);
        remainder += increment;
        if (remainder >= denominator) {
            ++r;
            remainder -= denominator;
        }
    }
}

} // namespace

void FillChannel(CodeTable& table, int a, int z, std::int32_t length) {
    std::int32_t k = 0;
    if (z < a) {
        const int d = a - z;
        const int s = Step(d, length);
        if (s == 0) {
            FillEvenly(table, a, d, -1, length);
            return;
        }
        for (int v = a - s; v >= z; v -= s) {
            ++k;
            table.Append(k, v);
        }
    } else if (a < z) {
        const int d = z - a;
        const int s = Step(d, length);
        if (s == 0) {
            FillEvenly(table, a, d, +1, length);
            return;
        }
        for (int v = a; v <= z - s; v += s) {
            ++k;
            table.Append(k, v);
        }
    } else {
        for (std::int32_t j = 1; j <= length; ++j) {
            table.Append(j, a);
        }
    }
}

} // namespace huewright
