// What differs between systems in the command line's input and output: the arguments, the
// standard streams' modes and the console window. Everything else in huewright-cli is the
// same on every system.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <span>
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

// A piece of what was typed into a console window, as UTF-8.
struct TypedPiece {
    std::size_t size = 0; // bytes put in the buffer
    bool end = false;     // typing has ended, or reading failed
    bool failed = false;  // reading failed; errno says why
};

// Reads the next piece typed into the console window behind `stream`, or nullopt when there is
// none (a file, a pipe, or any terminal but Windows' console, which already give UTF-8 bytes).
// A console gives characters; its lines end in "\n" as a terminal's do, and Ctrl+Z ends the
// typing, as in Windows' own programs.
std::optional<TypedPiece> ReadTyped(std::FILE* stream, std::span<char> buffer);

} // namespace huewright::cli
