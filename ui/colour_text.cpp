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
    const auto* colour = std::get_if<Colour>(&read);
    return colour != nullptr ? std::optional(*colour) : std::nullopt;
}

Colour ChannelsOf(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
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
    data->setText(ColourCode(ChannelsOf(colour)));
    return data;
}

std::optional<Colour> ColourFromMimeData(const QMimeData& data) {
    const QColor colour = data.hasColor() ? qvariant_cast<QColor>(data.colorData()) : QColor();
    if (colour.isValid()) {
        // A colour that lets the page show through is none.
        return colour.alpha() == 255 ? std::optional(ChannelsOf(colour)) : std::nullopt;
    }
    return data.hasText() ? ColourFromText(data.text()) : std::nullopt;
}

} // namespace huewright
