// Arguments, streams and terminals already speak bytes here; the locale plays no part.
#include "console.h"

namespace huewright::cli {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

void UseBinaryStreams() {}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

std::optional<TypedPiece> ReadTyped(std::FILE* /*stream*/, std::span<char> /*buffer*/) {
    return std::nullopt;
}

} // namespace huewright::cli
