#include "generation.h"

#include <QObject>
#include <exception>
#include <new>
#include <string_view>

namespace huewright {

namespace {

// The window's words for a failure: what went wrong, then what to do in the window.
QString FailureText(const Failure& failure) {
    switch (failure.kind) {
    case FailureKind::DivisionByZero:
        return QObject::tr("There is no text to colour. Type a text first, then press Generate.");
    case FailureKind::SubscriptOutOfRange: {
        const QString count = failure.characters > 0
                                  ? QObject::tr(" (%1)").arg(Thousands(failure.characters))
                                  : QString();
        return QObject::tr("The text has more than %1 characters%2, more than Huewright can "
                           "colour. Shorten it and generate again.")
            .arg(Thousands(kMaxCharacters), count);
    }
    case FailureKind::Overflow: {
        const std::string_view name = kChannelNames.at(static_cast<std::size_t>(failure.channel));
        return QObject::tr("The %1 value %2 is out of range: colour values run from 0 to %3.")
            .arg(QString::fromLatin1(name))
            .arg(failure.value)
            .arg(kMaxChannel);
    }
    }
    return QObject::tr("The markup could not be made.");
}

} // namespace

WindowGeneration GenerateMarkup(QStringView text, Colour start, Colour end, bool bold,
                                bool italic) {
    const std::u16string_view units = Units(text);
    try {
        const Generation generation = MakeGradient(units, start, end, bold, italic);
        if (generation.failure) {
            return {{}, FailureText(*generation.failure), {}};
        }
        // Same inputs, so the same codes: only the tags differ.
        return {
            QString::fromStdU16String(generation.output), std::nullopt,
            QString::fromStdU16String(MakeCompactGradient(units, start, end, bold, italic).output)};
    } catch (const std::bad_alloc&) {
        // A pasted text of many megabytes must end in a message, not in a crash.
        return {{}, QObject::tr("There is not enough memory to colour this text."), {}};
    } catch (const std::exception& e) {
        const QString why = QString::fromLocal8Bit(e.what());
        return {{}, QObject::tr("The markup could not be made: %1").arg(why), {}};
    }
}

} // namespace huewright
