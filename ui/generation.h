// Where the window meets the engine: Qt text in and out, and the words for its failures.
#pragma once

#include "huewright/gradient.h"

#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <string_view>

namespace huewright {

// `text` as the engine reads it: QStringView stores char16_t, so no copy or conversion.
inline std::u16string_view Units(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

// 1902 -> "1,902", as the window writes every count.
inline QString Thousands(qint64 n) {
    return QString::fromStdString(WithThousands(n));
}

struct WindowGeneration {
    QString output;                 // what goes into Text2; empty after a failure
    std::optional<QString> failure; // the text for the "Error" box, if the generation failed
    QString compact;                // the same generation written compactly; empty on failure
};

WindowGeneration GenerateMarkup(QStringView text, Colour start, Colour end, bool bold, bool italic);

} // namespace huewright
