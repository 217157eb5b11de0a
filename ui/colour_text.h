// Colours as people write them: the forms a paste or a drop accepts, and `#RRGGBB` back out.
#pragma once

#include <QColor>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

class QMimeData;

namespace huewright {

// Reads `#RGB`, `#RRGGBB`, `RRGGBB`, `rgb(R, G, B)` (0..255 each) or a CSS colour name,
// ignoring white space around it; anything else (alpha forms included) gives nothing.
std::optional<QColor> ParseColourText(QStringView text);

// `#RRGGBB` in upper case, each channel written as the markup writes it (256 as FF).
QString ColourCode(int red, int green, int blue);
QString ColourCode(const QColor& colour);

// What a swatch's tooltip says, e.g. "#FF8000 (red 256, green 128, blue 0)".
QString SwatchToolTip(int red, int green, int blue);

// What a dragged swatch carries: the colour itself and its `#RRGGBB` text.
std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour);

// The opaque colour a drop carries, as colour data or as text in one of the accepted forms.
std::optional<QColor> ColourFromMimeData(const QMimeData& data);

} // namespace huewright
