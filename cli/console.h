// What differs between systems in the command line's input and output: the arguments, the
// standard streams' modes and the console window. Everything else in huewright-cli is the
// same on every system.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace huewright::cli {

// The program's arguments as UTF-8, whatever code page the system handed to main() (on
// Windows, they are read again from the command line in UTF-16).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard input, output and error carry bytes untouched: no line ending is changed.
void UseBinaryStreams();

// Writes UTF-8 to `stream` (stdout or stderr). A console window is given characters, not
// bytes, so that it shows them right. False, with errno set, when not all was written.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

} // namespace huewright::cli
