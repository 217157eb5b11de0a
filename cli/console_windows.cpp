// Windows hands main() its arguments in the ANSI code page, where "Grüße 😀" or Cyrillic
// may not exist, turns "\n" into "\r\n" on text streams, and shows bytes written to a
// console in the console's code page. Here the arguments come from the UTF-16 command line,
// the streams are binary, and a console gets UTF-16 through WriteConsoleW.
#include "console.h"

// shellapi.h needs windows.h before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <memory>

namespace huewright::cli {
namespace {

std::string ToUtf8(std::wstring_view wide) {
    const int length = static_cast<int>(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, bytes.data(), size, nullptr, nullptr);
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
    const int length = static_cast<int>(bytes.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, wide.data(),
                        static_cast<int>(wide.size()));
    DWORD written = 0;
    if (WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) ==
            0 ||
        written != wide.size()) {
        errno = EIO;
        return false;
    }
    return true;
}

} // namespace huewright::cli
