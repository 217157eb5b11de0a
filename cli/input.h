// The text, from the arguments or from standard input.
#pragma once

#include "utf8.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace huewright::cli {

// Standard input is read no further: a character may carry endless marks, so bytes bound it.
constexpr std::size_t kMaxInputBytes = std::size_t{16} << 20U;

struct Input {
    std::u16string text;
    bool overLimit = false;           // reading stopped early: `text` is already over the limit
    bool overSize = false;            // over kMaxInputBytes, in fewer characters than the limit
    std::optional<std::string> error; // for the user: bad UTF-8 or a read error
    bool readError = false;           // `error` is a read error rather than bad input
};

// Joins the TEXT arguments with single spaces; each must be valid UTF-8.
Input FromArguments(const std::vector<std::string>& words);

// Reads standard input as UTF-8 and drops one final line ending ("\n" or "\r\n").
Input FromStream(std::FILE* in);

} // namespace huewright::cli
