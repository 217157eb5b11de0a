// How a forum would show the markup: the output box's hover preview and description.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringView>

namespace huewright {

inline constexpr int kPreviewCharacters = 200; // shown before the preview's "…"

// "2,415 characters (compact: 1,902)", code points as forums count; empty without markup.
QString LengthLine(QStringView markup, QStringView compact);

// "Hard to read on light backgrounds: 3 of 24 characters; on dark backgrounds: …", or empty.
QString ContrastLine(QStringView markup);

// What the output box tells screen readers: the length line, then the contrast line.
QString OutputDescription(QStringView markup, QStringView compact);

// The hover preview: both lines, then the markup on both backgrounds, at most half `screen`
// wide, cut with "…" only where it would not fit.
QString PreviewToolTip(QStringView markup, QStringView compact, const QFont& font, QSize screen);

} // namespace huewright
