#include "colour_arg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

namespace huewright::cli {
namespace {

constexpr int kMaxChannel = 256; // a bar at its bottom

constexpr std::string_view kForms = "use #RRGGBB, RRGGBB, #RGB or R,G,B with values from 0 to 256";

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

// Six or three hex digits, already without the '#'.
std::optional<Colour> ParseHex(std::string_view digits) {
    std::array<int, 6> values{};
    if (digits.size() != 6 && digits.size() != 3) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::optional<int> digit = HexDigit(digits[i]);
        if (!digit) {
            return std::nullopt;
        }
        values.at(i) = *digit;
    }
    if (digits.size() == 3) {
        // #F80 is #FF8800, as in CSS.
        return Colour{values[0] * 17, values[1] * 17, values[2] * 17};
    }
    return Colour{values[0] * 16 + values[1], values[2] * 16 + values[3],
                  values[4] * 16 + values[5]};
}

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Quoted(std::string_view text) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) of "\"" + std::string(...).
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted += text;
    quoted += '"';
    return quoted;
}

std::variant<Colour, std::string> ParseDecimal(std::string_view text) {
    std::array<int, 3> values{};
    std::string_view rest = text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto comma = rest.find(',');
        if ((i < 2) != (comma != std::string_view::npos)) {
            return Quoted(text) + " is not a colour: R,G,B takes exactly three values";
        }
        const std::string_view field = TrimSpaces(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        const bool digits = !field.empty() &&
                            std::ranges::all_of(field, [](char c) { return c >= '0' && c <= '9'; });
        if (!digits) {
            return Quoted(text) + " is not a colour: " + Quoted(field) +
                   " is not a whole number from 0 to 256";
        }
        // Leading zeros are harmless; a long run of digits is out of range, not an overflow.
        const std::string_view significant =
            field.substr(std::min(field.find_first_not_of('0'), field.size() - 1));
        int value = kMaxChannel + 1;
        if (significant.size() <= 3) {
            std::from_chars(significant.data(), significant.data() + significant.size(), value);
        }
        if (value > kMaxChannel) {
            return Quoted(text) + " is not a colour: " + std::string(field) +
                   " is out of range; each value runs from 0 to 256";
        }
        values.at(i) = value;
    }
    return Colour{values[0], values[1], values[2]};
}

} // namespace

std::variant<Colour, std::string> ParseColour(std::string_view text) {
    if (text.find(',') != std::string_view::npos) {
        return ParseDecimal(text);
    }
    const bool hash = text.starts_with('#');
    const std::string_view digits = hash ? text.substr(1) : text;
    // Three digits only with '#': "255" without it looks like a decimal value, not a colour.
    if (hash || digits.size() == 6) {
        if (const std::optional<Colour> colour = ParseHex(digits)) {
            return *colour;
        }
    }
    return Quoted(text) + " is not a colour; " + std::string(kForms);
}

} // namespace huewright::cli
