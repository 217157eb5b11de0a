// How readable a text colour is on a background: WCAG 2.x's contrast ratio.
#pragma once

#include "huewright/colour.h"

namespace huewright {

// WCAG 2.x: (L1 + 0.05) / (L2 + 0.05), the lighter relative luminance over the darker's, 1 to
// 21; a channel of 256 counts as 255.
double ContrastRatio(Colour a, Colour b);

// The least contrast WCAG accepts for any text (large text; also what it asks of a focus mark).
inline constexpr double kLeastReadableContrast = 3.0;

} // namespace huewright
