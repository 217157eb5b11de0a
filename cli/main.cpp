// huewright-cli: the gradient markup of a text from the arguments or standard input.
#include "console.h"
#include "huewright/colour.h"
#include "huewright/gradient.h"
#include "input.h"
#include "utf8.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace huewright::cli {
namespace {

constexpr int kGenerationFailed = 1; // also a failure to read or write
constexpr int kUsage = 2;

constexpr std::string_view kName = "huewright-cli";

std::string ChannelRange() {
    return "from 0 to " + std::to_string(kMaxChannel);
}

void Complain(std::string_view message) {
    std::string line = std::string(kName) + ": " + std::string(message);
    // One line. (Named: clang-format 14 and 19 lay out a lambda argument differently.)
    const auto isLineBreak = [](char c) { return c == '\n' || c == '\r'; };
    std::ranges::replace_if(line, isLineBreak, ' ');
    line += '\n';
    WriteBytes(stderr, line);
}

void ComplainOfWriting() {
    Complain(std::string("cannot write to standard output: ") +
             (errno != 0 ? std::strerror(errno) : "write failed"));
}

// All output goes through here or MarkupWriter, so a full disk is reported, not passed over.
bool WriteOut(std::string_view bytes) {
    errno = 0;
    if (WriteBytes(stdout, bytes) && std::fflush(stdout) == 0) {
        return true;
    }
    ComplainOfWriting();
    return false;
}

// Encodes and writes the engine's pieces as they come; after a failed write, drops the rest.
class MarkupWriter {
public:
    void operator()(std::u16string_view piece) {
        if (failed_) {
            return;
        }
        // Three bytes a unit at most; the buffer is reused, so it is zeroed only as it grows.
        bytes_.resize(std::max(bytes_.size(), piece.size() * 3));
        const auto size =
            static_cast<std::size_t>(EncodeUtf8(piece, bytes_.data()) - bytes_.data());
        errno = 0;
        if (!WriteBytes(stdout, std::string_view(bytes_.data(), size))) {
            failed_ = true;
            errno_ = errno;
        }
    }

    // Ends the output; false, with the complaint made, when any of it was not written.
    bool Finish(bool newline) const {
        if (failed_) {
            errno = errno_;
            ComplainOfWriting();
            return false;
        }
        return WriteOut(newline ? "\n" : "");
    }

private:
    std::vector<char> bytes_;
    bool failed_ = false;
    int errno_ = 0;
};

// The words for a failed generation; `counted` is false when reading stopped early.
std::string FailureMessage(const Failure& failure, bool counted) {
    switch (failure.kind) {
    case FailureKind::DivisionByZero:
        return "there is no text to colour while --start and --end differ; give a TEXT or pipe "
               "one to standard input";
    case FailureKind::SubscriptOutOfRange: {
        std::string message =
            "the text has more than " + WithThousands(kMaxCharacters) + " characters";
        if (counted && failure.characters > 0) {
            message += " (" + WithThousands(failure.characters) + ")";
        }
        return message + ", more than " + std::string(kName) + " can colour";
    }
    case FailureKind::Overflow: {
        const std::string_view name = kChannelNames.at(static_cast<std::size_t>(failure.channel));
        return "the --" + std::string(name) + " value " + std::to_string(failure.value) +
               " is out of range; each value runs " + ChannelRange();
    }
    }
    return "the markup could not be made";
}

// CLI11 knows nothing of TEXT, which it leaves alone; the help names it all the same.
class HelpFormat : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* /*app*/, std::string name) const override {
        return "Usage: " + name +
               " [OPTIONS] [--] [TEXT...]\n\n"
               "TEXT is the words given, joined with single spaces; the first word that is not "
               "an option starts it, and -- before it lets it begin with a dash. Without TEXT, "
               "or with -, the text is read from standard input and one final line ending is "
               "dropped.\n";
    }
};

struct Options {
    std::string start = "0,0,0";
    std::string end = "0,0,0";
    bool bold = false;
    bool italic = false;
    bool compact = false;
    bool noNewline = false;
    std::vector<std::string> words;
};

void DeclareOptions(CLI::App& app, Options& options) {
    // Given twice, the last one counts, so that a script can override an alias's colour.
    app.add_option("-s,--start", options.start, "Start colour (default 0,0,0)")
        ->type_name("COLOUR")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option("-e,--end", options.end, "End colour (default 0,0,0)")
        ->type_name("COLOUR")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("-b,--bold", options.bold, "Wrap the markup in [b]...[/b]");
    app.add_flag("-i,--italic", options.italic, "Wrap the markup in [i]...[/i]");
    app.add_flag("-c,--compact", options.compact,
                 "Write the compact form of the markup, for forums with a length limit");
    app.add_flag("-n", options.noNewline, "Do not end the output with a newline");
    // TEXT is handed over untouched: as a positional, CLI11 would strip "[b]" of its brackets.
    app.prefix_command();
    app.set_version_flag("--version", std::string(kName) + " " + HUEWRIGHT_VERSION);
    app.footer("COLOUR is #RRGGBB, RRGGBB, #RGB (hex digits, either case), rgb(R, G, B) or "
               "R,G,B with decimal values " +
               ChannelRange() + " (" + std::to_string(kMaxChannel) +
               " is written FF), or a CSS colour name such as red or RebeccaPurple.\n"
               "Exit status: 0 markup written, 1 the markup could not be made or written, "
               "2 usage error or text that is not UTF-8.");
}

// The colour an option names; on a bad value, nothing and the complaint made.
std::optional<Colour> ColourOption(std::string_view option, std::string_view value) {
    const auto parsed = ParseColour(value);
    if (const auto* read = std::get_if<Colour>(&parsed)) {
        return *read;
    }
    const std::string why =
        std::get<ColourRefusal>(parsed) == ColourRefusal::OutOfRange
            ? ": each value runs " + ChannelRange()
            : "; use #RRGGBB, RRGGBB, #RGB, rgb(R, G, B) or R,G,B with values " + ChannelRange() +
                  ", or a CSS colour name";
    Complain(std::string(option) + ": \"" + std::string(value) + "\" is not a colour" + why);
    return std::nullopt;
}

// Reads the command line; the exit status when the program ends here (help, usage error).
std::optional<int> Parse(int argc, char** argv, Options& options) {
    CLI::App app("Writes bracket-tag forum markup in which every character of TEXT wears its own "
                 "[color=#RRGGBB] tag, stepping from the start colour to the end colour.",
                 std::string(kName));
    app.formatter(std::make_shared<HelpFormat>());
    DeclareOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return WriteOut(app.help()) ? 0 : kGenerationFailed;
    } catch (const CLI::CallForVersion& version) {
        return WriteOut(std::string(version.what()) + "\n") ? 0 : kGenerationFailed;
    } catch (const CLI::ParseError& error) {
        Complain(std::string(error.what()) + " (see " + std::string(kName) + " --help)");
        return kUsage;
    }
    options.words = app.remaining();
    // CLI11 reads "--end=" as "--end" and takes the next word; an empty value is no colour.
    const std::span<char*> given(argv, static_cast<std::size_t>(argc));
    const auto passed = given.subspan(1, given.size() - 1 - options.words.size());
    const auto empty = std::ranges::find_if(
        passed, [](std::string_view word) { return word == "--start=" || word == "--end="; });
    if (empty != passed.end()) {
        const std::string_view option = *empty;
        ColourOption(option.substr(0, option.size() - 1), "");
        return kUsage;
    }
    if (!options.words.empty() && options.words.front() == "--") {
        options.words.erase(options.words.begin());
    } else if (!options.words.empty() && options.words.front().size() > 1 &&
               options.words.front().starts_with('-')) {
        // CLI11 hands on what it does not know; a dash here is an option mistyped, not text.
        Complain("unknown option " + options.words.front() +
                 " (put -- before a text that begins with a dash; see " + std::string(kName) +
                 " --help)");
        return kUsage;
    }
    return std::nullopt;
}

int Run(int argc, char** argv) {
    Options options;
    if (const std::optional<int> status = Parse(argc, argv, options)) {
        return *status;
    }
    const std::optional<Colour> start = ColourOption("--start", options.start);
    const std::optional<Colour> end = start ? ColourOption("--end", options.end) : std::nullopt;
    if (!start || !end) {
        return kUsage;
    }

    const bool fromStdin =
        options.words.empty() || (options.words.size() == 1 && options.words[0] == "-");
    const Input input = fromStdin ? FromStream(stdin) : FromArguments(options.words);
    if (input.error) {
        Complain(*input.error);
        return input.readError ? kGenerationFailed : kUsage;
    }
    if (input.overSize) {
        Complain("the text on standard input is larger than " +
                 std::to_string(kMaxInputBytes >> 20U) + " MiB, more than " + std::string(kName) +
                 " reads");
        return kGenerationFailed;
    }

    // Nothing reaches the writer until the engine succeeds: a failure leaves stdout empty.
    MarkupWriter writer;
    const std::optional<Failure> failure =
        WriteGradient(input.text, *start, *end, options.bold, options.italic,
                      options.compact ? MarkupForm::Compact : MarkupForm::Full,
                      [&writer](std::u16string_view piece) { writer(piece); });
    if (failure) {
        Complain(FailureMessage(*failure, !input.overLimit));
        return kGenerationFailed;
    }
    return writer.Finish(!options.noNewline) ? 0 : kGenerationFailed;
}

// Arguments and streams through the console seam; any exception ends in one line.
int Main(int argc, char** argv) {
    UseBinaryStreams();
    try {
        std::vector<std::string> arguments = Utf8Arguments(argc, argv);
        std::vector<char*> pointers(arguments.size());
        // CLI11 takes main()'s char**, pointers to characters that may be changed.
        std::ranges::transform(arguments, pointers.begin(),
                               // cppcheck-suppress constParameterReference
                               [](std::string& argument) { return argument.data(); });
        return Run(static_cast<int>(pointers.size()), pointers.data());
    } catch (const std::bad_alloc&) {
        Complain("there is not enough memory to colour this text");
    } catch (const std::exception& e) {
        Complain(std::string("the markup could not be made: ") + e.what());
    }
    return kGenerationFailed;
}

} // namespace
} // namespace huewright::cli

int main(int argc, char** argv) {
    return huewright::cli::Main(argc, argv);
}
