#include "colour_text.h"

#include "code_table.h"

#include <QList>
#include <QMimeData>
#include <QStringList>
#include <array>
#include <cstddef>

using namespace Qt::Literals::StringLiterals;

namespace huewright {

namespace {

constexpr int kNotADigit = -1;
constexpr int kOpaque = 255;

// Only ASCII digits count: QChar::isDigit would also take Arabic-Indic or full-width ones.
int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return kNotADigit;
}

// Three digits (each one doubled, as CSS reads #RGB) or six.
std::optional<QColor> FromHexDigits(QStringView digits) {
    if (digits.size() != 3 && digits.size() != 6) {
        return std::nullopt;
    }
    std::array<int, 6> v{};
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const int d = HexDigit(digits[i]);
        if (d == kNotADigit) {
            return std::nullopt;
        }
        v.at(static_cast<std::size_t>(i)) = d;
    }
    if (digits.size() == 3) {
        return QColor(v[0] * 17, v[1] * 17, v[2] * 17);
    }
    return QColor(v[0] * 16 + v[1], v[2] * 16 + v[3], v[4] * 16 + v[5]);
}

// A whole number 0..255 written with one to three ASCII digits, white space around it.
std::optional<int> FromDecimal(QStringView text) {
    const QStringView digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 3) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : digits) {
        if (c.unicode() < u'0' || c.unicode() > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 255) {
        return std::nullopt;
    }
    return value;
}

std::optional<QColor> FromRgbFunction(QStringView text) {
    if (!text.startsWith(u"rgb(", Qt::CaseInsensitive) || !text.endsWith(u')')) {
        return std::nullopt;
    }
    const QStringView inner = text.sliced(4, text.size() - 5);
    const QList<QStringView> parts = inner.split(u',');
    if (parts.size() != 3) {
        return std::nullopt;
    }
    const auto red = FromDecimal(parts[0]);
    const auto green = FromDecimal(parts[1]);
    const auto blue = FromDecimal(parts[2]);
    if (!red || !green || !blue) {
        return std::nullopt;
    }
    return QColor(*red, *green, *blue);
}

// CSS compares names in ASCII only: Unicode case folding would read "blac\u212A" (a Kelvin
// sign) as "black".
std::optional<QColor> FromName(QStringView text) {
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z') {
            name += QChar(u - u'A' + u'a');
        } else if (u >= u'a' && u <= u'z') {
            name += c;
        } else {
            return std::nullopt;
        }
    }
    // Qt's list predates this CSS name.
    if (name == u"rebeccapurple") {
        return QColor(0x66, 0x33, 0x99);
    }
    // The one name in Qt's list that is not an opaque colour.
    if (name == u"transparent" || !QColor::colorNames().contains(name)) {
        return std::nullopt;
    }
    return QColor::fromString(name);
}

} // namespace

std::optional<QColor> ParseColourText(QStringView text) {
    const QStringView colour = text.trimmed();
    if (colour.startsWith(u'#')) {
        return FromHexDigits(colour.sliced(1));
    }
    // Six digits without "#" are the colour they spell, never a name or anything else.
    if (colour.size() == 6) {
        if (auto hex = FromHexDigits(colour)) {
            return hex;
        }
    }
    if (colour.endsWith(u')')) {
        return FromRgbFunction(colour);
    }
    return FromName(colour);
}

QString ColourCode(int red, int green, int blue) {
    QString code(u'#');
    for (const int value : {red, green, blue}) {
        const auto pair = HexPair(value);
        code += QLatin1Char(pair[0]);
        code += QLatin1Char(pair[1]);
    }
    return code;
}

QString ColourCode(const QColor& colour) {
    return ColourCode(colour.red(), colour.green(), colour.blue());
}

QString SwatchToolTip(int red, int green, int blue) {
    return u"%1 (red %2, green %3, blue %4)"_s.arg(ColourCode(red, green, blue))
        .arg(red)
        .arg(green)
        .arg(blue);
}

std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour) {
    auto data = std::make_unique<QMimeData>();
    data->setColorData(colour);
    data->setText(ColourCode(colour));
    return data;
}

std::optional<QColor> ColourFromMimeData(const QMimeData& data) {
    if (data.hasColor()) {
        const auto colour = qvariant_cast<QColor>(data.colorData());
        if (colour.isValid()) {
            if (colour.alpha() != kOpaque) {
                return std::nullopt;
            }
            return QColor(colour.red(), colour.green(), colour.blue());
        }
    }
    if (data.hasText()) {
        return ParseColourText(data.text());
    }
    return std::nullopt;
}

} // namespace huewright
