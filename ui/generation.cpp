#include "generation.h"

#include <QObject>
#include <exception>
#include <new>
#include <string_view>

namespace huewright {

WindowGeneration GenerateMarkup(QStringView text, Colour start, Colour end, bool bold,
                                bool italic) {
    // QStringView stores char16_t, so the units reach the engine without a copy or conversion.
    const std::u16string_view units(text.utf16(), static_cast<std::size_t>(text.size()));
    try {
        const Generation generation = MakeGradient(units, start, end, bold, italic);
        WindowGeneration result;
        result.output = QString::fromStdU16String(generation.output);
        if (generation.failure) {
            result.failure = QString::fromStdString(generation.failure->description);
            return result;
        }
        // Same inputs, so the same codes: only the tags differ.
        result.compact =
            QString::fromStdU16String(MakeCompactGradient(units, start, end, bold, italic).output);
        return result;
    } catch (const std::bad_alloc&) {
        // A pasted text of many megabytes must end in a message, not in a crash.
        return {QString(), QObject::tr("There is not enough memory to colour this text."),
                QString()};
    } catch (const std::exception& e) {
        return {
            QString(),
            QObject::tr("The markup could not be made: %1").arg(QString::fromLocal8Bit(e.what())),
            QString()};
    }
}

} // namespace huewright
