// The engine as the web page calls it: the same sources as the window and huewright-cli,
// compiled to WebAssembly. Everything returned is data; the page words it.
#include "huewright/colour.h"
#include "huewright/gradient.h"
#include "huewright/markup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <emscripten/bind.h>
#include <emscripten/val.h>
#include <new>
#include <string>
#include <variant>

namespace {

using emscripten::val;
using huewright::Colour;

// A channel the page sent goes to the engine as it is, to be checked there; one that is not a
// whole number becomes one the engine refuses.
int Channel(const val& colour, const char* name) {
    const val value = colour[name];
    if (!value.isNumber()) {
        return -1;
    }
    const double number = value.as<double>();
    constexpr double kLimit = 1 << 30;
    return std::trunc(number) == number && std::abs(number) < kLimit ? static_cast<int>(number)
                                                                     : -1;
}

Colour ColourOf(const val& colour) {
    if (colour.isNull() || colour.isUndefined()) {
        return {-1, -1, -1};
    }
    return {Channel(colour, "red"), Channel(colour, "green"), Channel(colour, "blue")};
}

val ColourObject(Colour colour) {
    val object = val::object();
    object.set("red", colour.red);
    object.set("green", colour.green);
    object.set("blue", colour.blue);
    return object;
}

val FailureObject(const huewright::Failure& failure) {
    static constexpr std::array kKinds{"DivisionByZero", "SubscriptOutOfRange", "Overflow"};
    val object = val::object();
    object.set("kind", std::string(kKinds.at(static_cast<std::size_t>(failure.kind))));
    object.set("characters", static_cast<double>(failure.characters));
    // The channel by the engine's own name for it ("start red"), as the window's message says it.
    object.set("channel",
               std::string(huewright::kChannelNames.at(static_cast<std::size_t>(failure.channel))));
    object.set("value", failure.value);
    return object;
}

// The markup as a JS string, copied out of the module's memory a slice at a time. Embind's own
// conversion builds it a unit at a time (150 ms of the 200 for 99,999 characters), or through
// TextDecoder, which would replace a lone surrogate that the engine copies unchanged.
val JsString(const std::u16string& text) {
    constexpr std::size_t kSlice = 8192; // arguments to one fromCharCode call
    static const val fromCharCode = val::global("String")["fromCharCode"];
    val slices = val::array();
    for (std::size_t at = 0; at < text.size(); at += kSlice) {
        const std::size_t length = std::min(kSlice, text.size() - at);
        const auto* units = reinterpret_cast<const std::uint16_t*>(text.data() + at);
        slices.call<void>(
            "push", fromCharCode.call<val>("apply", val::null(),
                                           val(emscripten::typed_memory_view(length, units))));
    }
    return slices.call<val>("join", std::string());
}

template <huewright::Generation (*Make)(std::u16string_view, Colour, Colour, bool, bool)>
val Generate(const std::u16string& text, const val& start, const val& end, bool bold, bool italic) {
    val result = val::object();
    try {
        const huewright::Generation generation =
            Make(text, ColourOf(start), ColourOf(end), bold, italic);
        result.set("output", JsString(generation.output));
        result.set("failure",
                   generation.failure ? FailureObject(*generation.failure) : val::null());
    } catch (const std::bad_alloc&) {
        // A pasted text of many megabytes must end in a message, not in an aborted module.
        result.set("output", std::u16string());
        val failure = val::object();
        failure.set("kind", std::string("OutOfMemory"));
        result.set("failure", failure);
    }
    return result;
}

val ParseColour(const std::string& text) {
    const auto read = huewright::ParseColour(text);
    if (const auto* colour = std::get_if<Colour>(&read)) {
        return ColourObject(*colour);
    }
    val refusal = val::object();
    refusal.set("refusal", std::string(std::get<huewright::ColourRefusal>(read) ==
                                               huewright::ColourRefusal::OutOfRange
                                           ? "OutOfRange"
                                           : "NotAColour"));
    return refusal;
}

std::string FormatColour(const val& colour) {
    return huewright::FormatColour(ColourOf(colour));
}

double CountCharacters(const std::u16string& text) {
    return static_cast<double>(huewright::CountCharacters(text));
}

double CountCodePoints(const std::u16string& text) {
    return static_cast<double>(huewright::CountCodePoints(text));
}

std::string WithThousands(double n) {
    return huewright::WithThousands(static_cast<std::int64_t>(n));
}

// Neighbouring characters of one style become one run: far fewer nodes for the page to make.
val PreviewRuns(const std::u16string& markup, double limit) {
    const huewright::ShownCharacters shown =
        huewright::FirstCharacters(markup, static_cast<std::int64_t>(limit));
    val runs = val::array();
    std::u16string text;
    const huewright::RunStyle* style = nullptr;
    const auto flush = [&] {
        if (style != nullptr) {
            val run = val::object();
            run.set("text", text);
            run.set("bold", style->bold);
            run.set("italic", style->italic);
            run.set("colour",
                    style->colour ? val(huewright::FormatColour(*style->colour)) : val::null());
            runs.call<void>("push", run);
        }
        text.clear();
    };
    for (const huewright::StyledRun& character : shown.characters) {
        if (style == nullptr || !(*style == character.style)) {
            flush();
            style = &character.style;
        }
        text += character.text;
    }
    flush();
    val result = val::object();
    result.set("runs", runs);
    result.set("more", shown.more);
    return result;
}

val Legibility(const std::u16string& markup) {
    const huewright::Legibility legibility = huewright::MarkupLegibility(markup);
    val result = val::object();
    result.set("characters", static_cast<double>(legibility.characters));
    result.set("hardOnLight", static_cast<double>(legibility.hardOnLight));
    result.set("hardOnDark", static_cast<double>(legibility.hardOnDark));
    return result;
}

} // namespace

EMSCRIPTEN_BINDINGS(huewright) {
    using emscripten::function;
    function("makeGradient", &Generate<huewright::MakeGradient>);
    function("makeCompactGradient", &Generate<huewright::MakeCompactGradient>);
    function("parseColour", &ParseColour);
    function("formatColour", &FormatColour);
    function("countCharacters", &CountCharacters);
    function("countCodePoints", &CountCodePoints);
    function("withThousands", &WithThousands);
    function("previewRuns", &PreviewRuns);
    function("legibility", &Legibility);
    emscripten::constant("maxChannel", huewright::kMaxChannel);
    emscripten::constant("maxCharacters", huewright::kMaxCharacters);
    emscripten::constant("lightBackground", huewright::FormatColour(huewright::kLightBackground));
    emscripten::constant("darkBackground", huewright::FormatColour(huewright::kDarkBackground));
}
