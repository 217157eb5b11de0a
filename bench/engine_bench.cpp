// MakeGradient against the floor: a loop that only writes markup of the same length; and the
// compact form of the same generation beside it.
#include "huewright/gradient.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

std::u16string Text(std::int64_t characters) {
    static constexpr std::u16string_view kSample = u"The quick brown fox jumps over the lazy dog. ";
    std::u16string text;
    text.reserve(static_cast<std::size_t>(characters));
    for (std::int64_t i = 0; i < characters; ++i) {
        text += kSample[static_cast<std::size_t>(i) % kSample.size()];
    }
    return text;
}

// Same input with an emoji and an accented letter every few letters, so the break iterator
// does the splitting and white space is asked of ICU.
std::u16string EmojiText(std::int64_t characters) {
    std::u16string text = Text(characters);
    for (std::size_t i = 0; i < text.size(); i += 8) {
        text[i] = u'\u00E9';
    }
    text.replace(0, 1, u"\U0001F600");
    text.resize(text.size() - 1);
    return text;
}

using Maker = huewright::Generation (*)(std::u16string_view, huewright::Colour, huewright::Colour,
                                        bool, bool);

void Generate(benchmark::State& state, Maker make, const std::u16string& text) {
    for (auto _ : state) {
        auto g = make(text, {255, 0, 40}, {0, 200, 255}, true, true);
        benchmark::DoNotOptimize(g.output.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MakeGradient(benchmark::State& state) {
    Generate(state, huewright::MakeGradient, Text(state.range(0)));
}

// The same generation written compactly: the text's spaces and, past 256 characters, its long
// stretches of one code save tags, but every character is still looked at.
void BM_MakeCompactGradient(benchmark::State& state) {
    Generate(state, huewright::MakeCompactGradient, Text(state.range(0)));
}

void BM_MakeGradientEmoji(benchmark::State& state) {
    Generate(state, huewright::MakeGradient, EmojiText(state.range(0)));
}

void BM_MakeCompactGradientEmoji(benchmark::State& state) {
    Generate(state, huewright::MakeCompactGradient, EmojiText(state.range(0)));
}

// The floor: an output of the same length, each character with a fixed tag.
void BM_Baseline(benchmark::State& state) {
    const std::u16string text = Text(state.range(0));
    for (auto _ : state) {
        std::u16string out;
        out.reserve(text.size() * 24 + 14);
        out += u"[b][i]";
        for (const char16_t c : text) {
            out += u"[color=#000000]";
            out += c;
            out += u"[/color]";
        }
        out += u"[/i][/b]";
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_MakeGradient)->Arg(20)->Arg(1'000)->Arg(99'999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeCompactGradient)->Arg(20)->Arg(1'000)->Arg(99'999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeGradientEmoji)->Arg(20)->Arg(1'000)->Arg(99'999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeCompactGradientEmoji)
    ->Arg(20)
    ->Arg(1'000)
    ->Arg(99'999)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline)->Arg(20)->Arg(1'000)->Arg(99'999)->Unit(benchmark::kMicrosecond);
