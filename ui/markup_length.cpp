#include "markup_length.h"

#include "huewright/gradient.h"

#include <QObject>

namespace huewright {

QString Thousands(qint64 n) {
    return QString::fromStdString(WithThousands(n));
}

qsizetype CodePoints(QStringView text) {
    qsizetype pairs = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            ++pairs;
            ++i;
        }
    }
    return text.size() - pairs;
}

QString LengthLine(QStringView markup, QStringView compact) {
    if (markup.isEmpty()) {
        return {};
    }
    const qsizetype length = CodePoints(markup);
    QString line = QObject::tr("%1 characters").arg(Thousands(length));
    if (!compact.isEmpty()) {
        const qsizetype shorter = CodePoints(compact);
        if (shorter < length) {
            line += QObject::tr(" (compact: %1)").arg(Thousands(shorter));
        }
    }
    return line;
}

} // namespace huewright
