#include "markup_length.h"

#include "generation.h"
#include "huewright/gradient.h"
#include "huewright/markup.h"

#include <QObject>

namespace huewright {

QString Thousands(qint64 n) {
    return QString::fromStdString(WithThousands(n));
}

QString LengthLine(QStringView markup, QStringView compact) {
    if (markup.isEmpty()) {
        return {};
    }
    const std::int64_t length = CountCodePoints(Units(markup));
    QString line = QObject::tr("%1 characters").arg(Thousands(length));
    const std::int64_t shorter = compact.isEmpty() ? length : CountCodePoints(Units(compact));
    if (shorter < length) {
        line += QObject::tr(" (compact: %1)").arg(Thousands(shorter));
    }
    return line;
}

} // namespace huewright
