// Windows: the arguments from the UTF-16 command line rather than the ANSI code page, binary
// streams, and a console read and written in UTF-16 rather than its code page.
#include "console.h"
#include "utf8.h"

// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <unicode/utf16.h>

namespace huewright::cli {
namespace {

// Windows' wide characters are UTF-16 units.
std::string ToUtf8(std::wstring_view wide) {
    const std::u16string units(wide.begin(), wide.end());
    std::string bytes(units.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(EncodeUtf8(units, bytes.data()) - bytes.data()));
    return bytes;
}

// The console behind `stream`, or null when it goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0 ? handle : nullptr;
}

} // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    if (!wide) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(ToUtf8(wide.get()[i]));
    }
    return arguments;
}

void UseBinaryStreams() {
    for (std::FILE* stream : {stdin, stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
    }
}

bool WriteBytes(std::FILE* stream, std::string_view bytes) {
    const HANDLE console = ConsoleOf(stream);
    if (console == nullptr) {
        return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
    }
    std::fflush(stream);
    // What is written here is always whole UTF-8: the program makes it.
    std::u16string units;
    DecodeUtf8(bytes, units);
    const std::wstring wide(units.begin(), units.end());
    DWORD written = 0;
    if (WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) ==
            0 ||
        written != wide.size()) {
        errno = EIO;
        return false;
    }
    return true;
}

std::optional<TypedPiece> ReadTyped(std::FILE* stream, std::span<char> buffer) {
    const HANDLE console = ConsoleOf(stream);
    if (console == nullptr) {
        return std::nullopt;
    }
    // Three bytes a unit at most; the last place is kept for a pair the read cuts in two.
    std::u16string units(buffer.size() / 3, u'\0');
    DWORD got = 0;
    if (ReadConsoleW(console, units.data(), static_cast<DWORD>(units.size() - 1), &got, nullptr) ==
        0) {
        errno = EIO;
        return TypedPiece{.end = true, .failed = true};
    }
    units.resize(got);
    if (!units.empty() && U16_IS_LEAD(units.back())) {
        char16_t trail = 0;
        DWORD one = 0;
        if (ReadConsoleW(console, &trail, 1, &one, nullptr) != 0 && one == 1) {
            units.push_back(trail);
        }
    }
    // Ctrl+Z ends the typing and whatever follows it on its line.
    const std::size_t stop = std::min(units.find(u'\x1a'), units.size());
    std::u16string text;
    for (const char16_t unit : std::u16string_view(units).substr(0, stop)) {
        if (unit == u'\n' && text.ends_with(u'\r')) {
            text.back() = u'\n'; // Enter gives "\r\n"
        } else {
            text.push_back(unit);
        }
    }
    const char* written = EncodeUtf8(text, buffer.data());
    return TypedPiece{.size = static_cast<std::size_t>(written - buffer.data()),
                      .end = got == 0 || stop < units.size()};
}

} // namespace huewright::cli
