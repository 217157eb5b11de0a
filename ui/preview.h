// How a forum would show the markup: the hover preview of the output box, on a light and on a
// dark forum background, and how many characters are hard to read on either.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringView>

namespace huewright {

// Characters shown before the preview is cut off with an ellipsis.
inline constexpr int kPreviewCharacters = 200;

// "Hard to read on light backgrounds: 3 of 24 characters; on dark backgrounds: 9 of 24
// characters": the characters, white space aside, whose colour has a WCAG contrast below 3:1
// on either background. Only the backgrounds with such characters are named; empty when
// there are none.
QString ContrastLine(QStringView markup);

// What the output box tells screen readers: the length line, then the contrast line, each
// on a line of its own. `compact` is the same generation written compactly, or empty.
QString OutputDescription(QStringView markup, QStringView compact);

// The hover preview: the length line and the contrast line, then the markup rendered on the
// light and on the dark background, in `font`. At most about half `screen` wide and never
// taller than it: a long text wraps, also where it has no spaces, and is cut shorter (still
// ending in "…") only where it would not fit. Empty when there is no markup.
QString PreviewToolTip(QStringView markup, QStringView compact, const QFont& font, QSize screen);

} // namespace huewright
