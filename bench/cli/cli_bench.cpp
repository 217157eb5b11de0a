// Whole-process timing of huewright-cli beside cat: each run is spawned with its input file
// on standard input and its standard output drained through a pipe, as in a shell pipeline.
// The floor for a text is `cat` of a file that holds the same output.
//
// usage: cli_bench [RUNS]
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ; // NOLINT: POSIX declares it for posix_spawn's use

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Result {
    double seconds = 0;
    std::string output;
};

// Runs `argv` with `input` on standard input; returns the wall time until its output is
// drained and it has exited.
Result Spawn(const std::vector<std::string>& argv, const fs::path& input, bool keep) {
    std::array<int, 2> pipeFds{};
    if (pipe(pipeFds.data()) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str())); // NOLINT: posix_spawn's signature
    }
    args.push_back(nullptr);

    Result result;
    const auto begin = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
    }
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = read(pipeFds[0], buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        if (keep) {
            result.output.append(buffer.data(), static_cast<std::size_t>(got));
        }
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(argv[0] + " failed");
    }
    return result;
}

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    return values[values.size() / 2];
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// One line of the table: huewright-cli on `text` against cat of its output.
void Compare(const fs::path& dir, const std::string& name, const std::string& text, int runs,
             double goal, bool compact = false) {
    const fs::path input = dir / (name + ".txt");
    const fs::path output = dir / (name + ".out");
    Write(input, text + "\n");
    std::vector<std::string> cli{HUEWRIGHT_CLI, "-s", "255,0,0", "-e", "0,0,255"};
    if (compact) {
        cli.emplace_back("--compact");
    }
    const std::vector<std::string> cat{"/bin/cat", output.string()};
    Write(output, Spawn(cli, input, true).output);
    const fs::path nothing = "/dev/null";

    std::vector<double> cliTimes;
    std::vector<double> catTimes;
    for (int i = 0; i < runs; ++i) { // interleaved, so that a busy moment hits both alike
        cliTimes.push_back(Spawn(cli, input, false).seconds);
        catTimes.push_back(Spawn(cat, nothing, false).seconds);
    }
    const double cliMedian = Median(cliTimes) * 1e3;
    const double catMedian = Median(catTimes) * 1e3;
    std::printf("%-34s %9zu %10.2f %10.2f %10.2f %10.2f %6.1fx  (goal %.0fx)\n", name.c_str(),
                static_cast<std::size_t>(fs::file_size(output)), cliMedian,
                *std::ranges::min_element(cliTimes) * 1e3, catMedian,
                *std::ranges::min_element(catTimes) * 1e3, cliMedian / catMedian, goal);
}

std::string Letters(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>('a' + i % 26);
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 200;
    const fs::path dir = fs::temp_directory_path() / ("cli_bench." + std::to_string(getpid()));
    fs::create_directories(dir);
    try {
        std::printf("%d runs each; times in ms (median, best)\n", runs);
        std::printf("%-34s %9s %10s %10s %10s %10s %7s\n", "text", "out bytes", "cli", "cli best",
                    "cat", "cat best", "ratio");
        Compare(dir, "20 characters", Letters(20), runs, 2);
        Compare(dir, "99,999 characters", Letters(99'999), runs, 4);
        Compare(dir, "99,999 characters, --compact", Letters(99'999), runs, 4, true);
        // Accents and emoji send the text through ICU's character splitting.
        std::string mixed;
        for (int i = 0; i < 33'333; ++i) {
            mixed += "e\xCC\x81\xF0\x9F\x98\x80x"; // e + combining acute, a smiling face, x
        }
        Compare(dir, "99,999 characters, accents, emoji", mixed, runs, 4);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cli_bench: %s\n", e.what());
        fs::remove_all(dir);
        return 1;
    }
    fs::remove_all(dir);
    return 0;
}
