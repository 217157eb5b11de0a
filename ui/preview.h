// How a forum would show the markup: the hover preview of the output box.
#pragma once

#include <QString>
#include <QStringView>

namespace huewright {

// Characters shown before the preview is cut off with an ellipsis.
inline constexpr int kPreviewCharacters = 200;

// Rich text rendering `markup`'s [color=#RRGGBB], [b] and [i] tags; every other character,
// brackets included, is escaped and shown as it stands. Empty when there is nothing to show.
QString PreviewHtml(QStringView markup);

} // namespace huewright
