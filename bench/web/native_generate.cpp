// What one press of Generate costs the native engine, to set beside the page: MakeGradient and
// MakeCompactGradient on the same text, as the window and the page both call them, and
// MakeGradient alone. Prints "characters median_both_us median_full_us" per size.
#include "huewright/gradient.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The benchmark's own text, so that the page and engine_bench colour the same characters.
std::u16string Text(std::size_t characters) {
    static constexpr std::u16string_view kSample = u"The quick brown fox jumps over the lazy dog. ";
    std::u16string text;
    for (std::size_t i = 0; i < characters; ++i) {
        text += kSample[i % kSample.size()];
    }
    return text;
}

template <typename Work> double MedianMicroseconds(int repeats, Work work) {
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto begin = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - begin).count());
    }
    std::ranges::sort(times);
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::atoi(argv[1]) : 51;
    const huewright::Colour start{255, 0, 40};
    const huewright::Colour end{0, 200, 255};
    std::size_t sink = 0; // keeps the outputs from being optimised away
    for (const std::size_t characters : {20U, 1'000U, 2'600U, 99'999U}) {
        const std::u16string text = Text(characters);
        const double both = MedianMicroseconds(repeats, [&] {
            sink += huewright::MakeGradient(text, start, end, true, true).output.size();
            sink += huewright::MakeCompactGradient(text, start, end, true, true).output.size();
        });
        const double full = MedianMicroseconds(repeats, [&] {
            sink += huewright::MakeGradient(text, start, end, true, true).output.size();
        });
        std::printf("%zu %.1f %.1f\n", characters, both, full);
    }
    return sink == 0 ? 1 : 0;
}
