// The text, from the arguments or from standard input.
#pragma once

#include "utf8.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace huewright::cli {

// Standard input is read no further than this. The engine takes 99,999 characters; a
// character may carry any number of combining marks, so only a byte bound caps the memory
// and time a single endless character can take. 16 MiB leaves over 160 bytes for each of
// 99,999 characters.
constexpr std::size_t kMaxInputBytes = std::size_t{16} << 20U;

struct Input {
    std::u16string text;
    // Reading stopped early because the text certainly holds more characters than the engine
    // takes: `text` is the part read, itself already over the limit.
    bool overLimit = false;
    // Standard input held more than kMaxInputBytes in fewer characters than the limit.
    bool overSize = false;
    std::optional<std::string> error; // for the user: bad UTF-8 or a read error
    bool readError = false;           // `error` is a read error rather than bad input
};

// Joins the TEXT arguments with single spaces; each must be valid UTF-8.
Input FromArguments(const std::vector<std::string>& words);

// Reads standard input as UTF-8 and drops one final line ending ("\n" or "\r\n").
Input FromStream(std::FILE* in);

} // namespace huewright::cli
