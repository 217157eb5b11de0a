#include "code_table.h"

#include <cstdlib>

namespace huewright {
namespace {

// Colours closer than the text is long floor the step to 0: spread them evenly, ends exact.
void FillEvenly(CodeTable& table, int a, int d, int direction, std::int32_t length) {
    const std::int64_t span = length - 1; // length > d >= 1, so span >= 1
    // k takes a + direction * floor((2d(k - 1) + span) / (2 span)): r and a remainder.
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
    if (a == z) {
        for (std::int32_t k = 1; k <= length; ++k) {
            table.Append(k, a);
        }
        return;
    }
    if (length == 0) {
        throw GenerationError(FailureKind::DivisionByZero);
    }
    const int d = std::abs(z - a);
    const int direction = z < a ? -1 : +1;
    const int s = d / length; // both non-negative, so this is the floor
    if (s == 0) {
        FillEvenly(table, a, d, direction, length);
        return;
    }
    // d / s values a step apart: falling from a - s down to z, rising from a up to z - s.
    const int first = z < a ? a - s : a;
    for (std::int32_t k = 1; k <= d / s; ++k) {
        table.Append(k, first + direction * s * (k - 1));
    }
}

} // namespace huewright
