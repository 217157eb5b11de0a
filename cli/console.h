// What differs between systems in huewright-cli: the arguments, the streams, the console.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace huewright::cli {

// The program's arguments as UTF-8, whatever code page the system handed to main().
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard input, output and error carry bytes untouched: no line ending is changed.
void UseBinaryStreams();

// Writes UTF-8 to stdout or stderr (characters to a console); false, errno set, on failure.
bool WriteBytes(std::FILE* stream, std::string_view bytes);

struct TypedPiece {
    std::size_t size = 0; // bytes put in the buffer
    bool end = false;     // typing has ended, or reading failed
    bool failed = false;  // reading failed; errno says why
};

// The next piece typed into a Windows console behind `stream` (Ctrl+Z ends), else nullopt.
std::optional<TypedPiece> ReadTyped(std::FILE* stream, std::span<char> buffer);

} // namespace huewright::cli
