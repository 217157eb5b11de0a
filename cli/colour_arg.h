// Colours as they are written on the command line.
#pragma once

#include "gradient.h"

#include <string>
#include <string_view>
#include <variant>

namespace huewright::cli {

// Reads "#RRGGBB", "RRGGBB", "#RGB" (hex digits of either case; "#RGB" doubles each digit)
// or "R,G,B" with decimal values 0..256 (spaces around each value allowed). On a malformed or
// out-of-range value the result is a message saying what is wrong, for the user.
std::variant<Colour, std::string> ParseColour(std::string_view text);

} // namespace huewright::cli
