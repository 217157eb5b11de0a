#include "input.h"

#include "console.h"
#include "huewright/gradient.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace huewright::cli {
namespace {

constexpr std::size_t kChunk = std::size_t{64} << 10U;
constexpr std::size_t kFirstCount = std::size_t{1} << 20U;

// The text without one final line ending; while more may follow, a final "\r" too.
std::u16string_view WithoutLineEnding(std::u16string_view text, bool complete) {
    if (text.ends_with(u'\n')) {
        text.remove_suffix(1);
        if (text.ends_with(u'\r')) {
            text.remove_suffix(1);
        }
    } else if (!complete && text.ends_with(u'\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// A text has at least as many characters as any prefix of it: a prefix over is the whole over.
bool OverLimit(std::u16string_view prefix) {
    return prefix.size() > static_cast<std::size_t>(kMaxCharacters) &&
           CountCharacters(prefix) > kMaxCharacters;
}

// What was typed into a console window, or else the next bytes.
TypedPiece ReadPiece(std::FILE* in, std::span<char> buffer) {
    if (const std::optional<TypedPiece> typed = ReadTyped(in, buffer)) {
        return *typed;
    }
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
    return {.size = got, .end = got < buffer.size(), .failed = std::ferror(in) != 0};
}

std::string NotUtf8(std::size_t offset, const std::string& where) {
    return where + " is not valid UTF-8 at byte offset " + std::to_string(offset);
}

} // namespace

Input FromArguments(const std::vector<std::string>& words) {
    Input input;
    for (std::size_t i = 0; i < words.size(); ++i) {
        input.text += i > 0 ? u" " : u"";
        if (const auto error = DecodeUtf8(words[i], input.text)) {
            input.error = NotUtf8(*error, "TEXT argument " + std::to_string(i + 1));
            return input;
        }
    }
    return input;
}

Input FromStream(std::FILE* in) {
    Input input;
    Utf8Decoder decoder;
    std::array<char, kChunk> buffer{};
    std::size_t total = 0;
    // Counted as the input doubles from 1 MiB: an ordinary text is counted once, by the engine.
    std::size_t nextCount = kFirstCount;
    for (;;) {
        const TypedPiece piece = ReadPiece(in, buffer);
        total += piece.size;
        if (const auto error =
                decoder.Feed(std::string_view(buffer.data(), piece.size), input.text)) {
            input.error = NotUtf8(*error, "standard input");
            return input;
        }
        if (piece.failed) {
            input.error = std::string("cannot read standard input: ") + std::strerror(errno);
            input.readError = true;
            return input;
        }
        if (piece.end) {
            break;
        }
        if (total >= nextCount || total > kMaxInputBytes) {
            input.overLimit = OverLimit(WithoutLineEnding(input.text, false));
            input.overSize = !input.overLimit && total > kMaxInputBytes;
            if (input.overLimit || input.overSize) {
                return input;
            }
            nextCount *= 2;
        }
    }
    if (const auto error = decoder.Finish()) {
        input.error = NotUtf8(*error, "standard input");
        return input;
    }
    input.text.resize(WithoutLineEnding(input.text, true).size());
    return input;
}

} // namespace huewright::cli
