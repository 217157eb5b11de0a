// Colours between the swatches and other programs: the engine's colour forms read from Qt
// text, and what a dragged colour carries.
#pragma once

#include "huewright/colour.h"

#include <QColor>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

class QMimeData;

namespace huewright {

// The colour `text` spells in one of the engine's forms; nothing when it is none.
std::optional<Colour> ColourFromText(QStringView text);

// The channels of an opaque QColor as the bars hold them.
Colour ChannelsOf(const QColor& colour);

// `#RRGGBB` in upper case, as the markup writes it.
QString ColourCode(Colour colour);

// What a swatch's tooltip says, e.g. "#FF8000 (red 256, green 128, blue 0)".
QString SwatchToolTip(Colour colour);

// What a dragged swatch carries: the colour itself and its `#RRGGBB` text.
std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour);

// The opaque colour a drop carries, as colour data or as text in one of the accepted forms.
std::optional<Colour> ColourFromMimeData(const QMimeData& data);

} // namespace huewright
