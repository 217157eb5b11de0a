#include "colour_text.h"

#include <QByteArray>
#include <QMimeData>
#include <cstddef>
#include <variant>

using namespace Qt::Literals::StringLiterals;

namespace huewright {

std::optional<Colour> ColourFromText(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    const auto read = ParseColour({utf8.constData(), static_cast<std::size_t>(utf8.size())});
    if (const auto* colour = std::get_if<Colour>(&read)) {
        return *colour;
    }
    return std::nullopt;
}

QString ColourCode(Colour colour) {
    return QString::fromStdString(FormatColour(colour));
}

QString SwatchToolTip(Colour colour) {
    return u"%1 (red %2, green %3, blue %4)"_s.arg(ColourCode(colour))
        .arg(colour.red)
        .arg(colour.green)
        .arg(colour.blue);
}

std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour) {
    auto data = std::make_unique<QMimeData>();
    data->setColorData(colour);
    data->setText(ColourCode({colour.red(), colour.green(), colour.blue()}));
    return data;
}

std::optional<Colour> ColourFromMimeData(const QMimeData& data) {
    if (data.hasColor()) {
        const auto colour = qvariant_cast<QColor>(data.colorData());
        if (colour.isValid()) {
            if (colour.alpha() != 255) {
                return std::nullopt; // a colour that lets the page show through is none
            }
            return Colour{colour.red(), colour.green(), colour.blue()};
        }
    }
    if (data.hasText()) {
        return ColourFromText(data.text());
    }
    return std::nullopt;
}

} // namespace huewright
