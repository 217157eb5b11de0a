#include "markup_length.h"

#include <QObject>

namespace huewright {

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

QString WithThousands(qsizetype n) {
    QString digits = QString::number(n);
    const qsizetype sign = n < 0 ? 1 : 0;
    for (qsizetype i = digits.size() - 3; i > sign; i -= 3) {
        digits.insert(i, u',');
    }
    return digits;
}

QString LengthLine(QStringView markup, QStringView compact) {
    if (markup.isEmpty()) {
        return {};
    }
    const qsizetype length = CodePoints(markup);
    QString line = QObject::tr("%1 characters").arg(WithThousands(length));
    if (!compact.isEmpty()) {
        const qsizetype shorter = CodePoints(compact);
        if (shorter < length) {
            line += QObject::tr(" (compact: %1)").arg(WithThousands(shorter));
        }
    }
    return line;
}

} // namespace huewright
