#include "markup_length.h"

#include "huewright/gradient.h"

#include <QObject>

namespace huewright {

QString Thousands(qint64 n) {
    return QString::fromStdString(WithThousands(n));
}

qsizetype CodePoints(QStringView text) {
    qsizetype pairs = 0; // a low surrogate after a high one ends a pair
    for (qsizetype i = 1; i < text.size(); ++i) {
        pairs += text[i - 1].isHighSurrogate() && text[i].isLowSurrogate() ? 1 : 0;
    }
    return text.size() - pairs;
}

QString LengthLine(QStringView markup, QStringView compact) {
    if (markup.isEmpty()) {
        return {};
    }
    const qsizetype length = CodePoints(markup);
    QString line = QObject::tr("%1 characters").arg(Thousands(length));
    const qsizetype shorter = compact.isEmpty() ? length : CodePoints(compact);
    if (shorter < length) {
        line += QObject::tr(" (compact: %1)").arg(Thousands(shorter));
    }
    return line;
}

} // namespace huewright
