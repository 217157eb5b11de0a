// How long the markup is, counted the way forums count a post or a signature.
#pragma once

#include <QString>
#include <QStringView>

namespace huewright {

// 1902 -> "1,902", as the window writes every count.
QString Thousands(qint64 n);

// "2,415 characters", followed by " (compact: 1,902)" when `compact` is given and shorter.
// Empty when there is no markup.
QString LengthLine(QStringView markup, QStringView compact);

} // namespace huewright
