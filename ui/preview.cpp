#include "preview.h"

#include "huewright/characters.h"
#include "huewright/gradient.h"
#include "markup_length.h"

#include <QFontMetricsF>
#include <QObject>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace huewright {

namespace {

constexpr qsizetype kLongestRun = 4096;
constexpr QChar kJoiner(0x200D); // ZERO WIDTH JOINER
constexpr int kPadding = 4;      // around each rendering, in pixels
// Room for rounding in the advances, in pixels.
constexpr int kSlack = 8;
// Share of the screen's height the preview may fill; the line count is an estimate.
constexpr double kHeightShare = 0.8;

enum class Tag { Bold, EndBold, Italic, EndItalic, Colour, EndColour };

struct TagMatch {
    // cppcheck-suppress unusedStructMember ; read through std::optional, which it does not follow
    Tag tag;
    qsizetype length;
    QStringView colour; // the six digits of a [color=#RRGGBB]
};

bool IsHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// The tag starting at the front of `rest`, if there is one the forum would honour.
std::optional<TagMatch> MatchTag(QStringView rest) {
    struct Plain {
        QStringView text;
        // Read through find_if below, which cppcheck 2.10 does not follow.
        // cppcheck-suppress unusedStructMember
        Tag tag;
    };
    static constexpr std::array<Plain, 5> plain{{{u"[b]", Tag::Bold},
                                                 {u"[/b]", Tag::EndBold},
                                                 {u"[i]", Tag::Italic},
                                                 {u"[/i]", Tag::EndItalic},
                                                 {u"[/color]", Tag::EndColour}}};
    const auto* found =
        std::ranges::find_if(plain, [rest](const Plain& p) { return rest.startsWith(p.text); });
    if (found != plain.end()) {
        return TagMatch{found->tag, found->text.size(), {}};
    }
    constexpr QStringView open = u"[color=#";
    constexpr qsizetype digits = 6;
    if (rest.startsWith(open) && rest.size() > open.size() + digits &&
        rest[open.size() + digits] == u']') {
        const QStringView colour = rest.mid(open.size(), digits);
        // Only hex digits reach the style attribute, so nothing typed can end up in it.
        if (std::ranges::all_of(colour, IsHexDigit)) {
            return TagMatch{Tag::Colour, open.size() + digits + 1, colour};
        }
    }
    return std::nullopt;
}

struct Style {
    int bold = 0;
    int italic = 0;
    QStringView colour; // empty outside colour tags

    bool operator==(const Style& other) const {
        return (bold > 0) == (other.bold > 0) && (italic > 0) == (other.italic > 0) &&
               colour.compare(other.colour, Qt::CaseInsensitive) == 0;
    }
};

// Hands every stretch of literal text in `markup` to `visit` with the style the forum gives
// it, in order, until `visit` returns false.
template <typename Visit> void ForEachRun(QStringView markup, Visit&& visit) {
    Style style;
    qsizetype pos = 0;
    while (pos < markup.size()) {
        if (const auto match = MatchTag(markup.mid(pos))) {
            switch (match->tag) {
            case Tag::Bold:
                ++style.bold;
                break;
            case Tag::EndBold:
                style.bold = std::max(0, style.bold - 1);
                break;
            case Tag::Italic:
                ++style.italic;
                break;
            case Tag::EndItalic:
                style.italic = std::max(0, style.italic - 1);
                break;
            case Tag::Colour:
                style.colour = match->colour;
                break;
            case Tag::EndColour:
                style.colour = {};
                break;
            }
            pos += match->length;
            continue;
        }
        // Literal text runs to the next '[' that might open a tag (at least one character).
        qsizetype end = markup.indexOf(u'[', pos + 1);
        if (end < 0) {
            end = markup.size();
        }
        if (!visit(markup.mid(pos, end - pos), style)) {
            return;
        }
        pos = end;
    }
}

// One character as the preview shows it.
struct Cell {
    QStringView text;
    Style style;
};

struct Shown {
    std::vector<Cell> cells;
    bool cut = false; // more characters follow
};

// The first `limit` characters, counted as a reader sees them so that an emoji or an accented
// letter is never cut in half.
Shown ShownCharacters(QStringView markup, qsizetype limit) {
    Shown shown;
    ForEachRun(markup, [&](QStringView run, const Style& style) {
        // A huge run without brackets is looked at in slices: only its start can be shown.
        if (run.size() > kLongestRun) {
            run = run.first(run[kLongestRun - 1].isHighSurrogate() ? kLongestRun + 1 : kLongestRun);
        }
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, run);
        qsizetype from = 0;
        for (qsizetype to = characters.toNextBoundary(); to >= 0;
             to = characters.toNextBoundary()) {
            if (static_cast<qsizetype>(shown.cells.size()) == limit) {
                shown.cut = true;
                return false;
            }
            shown.cells.push_back({run.mid(from, to - from), style});
            from = to;
        }
        return true;
    });
    return shown;
}

std::u16string_view Units(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

bool IsSpace(const Cell& cell) {
    return IsWhiteSpace(Units(cell.text));
}

bool IsLineBreak(const Cell& cell) {
    const QChar c = cell.text.front();
    return c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' || c == QChar(0x85) ||
           c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Whether a joining-script letter ending `cell` joins the next letter, and whether one
// starting `cell` joins the one before; combining marks in between are transparent.
bool JoinsNext(const Cell& cell) {
    const auto points = cell.text.toUcs4();
    for (qsizetype i = points.size(); i-- > 0;) {
        const QChar::JoiningType type = QChar::joiningType(points[i]);
        if (type != QChar::Joining_Transparent) {
            return type == QChar::Joining_Dual || type == QChar::Joining_Left ||
                   type == QChar::Joining_Causing;
        }
    }
    return false;
}

bool JoinsPrevious(const Cell& cell) {
    for (const char32_t point : cell.text.toUcs4()) {
        const QChar::JoiningType type = QChar::joiningType(point);
        if (type != QChar::Joining_Transparent) {
            return type == QChar::Joining_Dual || type == QChar::Joining_Right ||
                   type == QChar::Joining_Causing;
        }
    }
    return false;
}

// Width of each cell in `font`, bold cells in its bold face.
std::vector<qreal> Advances(const std::vector<Cell>& cells, const QFont& font) {
    QFont boldFont = font;
    boldFont.setBold(true);
    const QFontMetricsF regular(font);
    const QFontMetricsF bold(boldFont);
    std::vector<qreal> advances;
    advances.reserve(cells.size());
    for (const Cell& cell : cells) {
        const QString text = cell.text.toString();
        advances.push_back(cell.style.bold > 0 ? bold.horizontalAdvance(text)
                                               : regular.horizontalAdvance(text));
    }
    return advances;
}

struct Lines {
    std::vector<bool> breakBefore; // a line break goes in before this cell
    std::size_t fitting = 0;       // how many cells fit in the lines allowed
};

// Fills lines of `width` as a browser does: a line breaks after white space, and inside a
// word only where the word is wider than a line. The breaks are written into the preview,
// so QLabel, which tries several widths while sizing a tooltip, can never make it wider.
Lines BreakLines(const std::vector<Cell>& cells, const std::vector<qreal>& advances, qreal width,
                 int maxLines) {
    Lines lines{std::vector<bool>(cells.size(), false), cells.size()};
    int count = 1;
    qreal used = 0;
    std::size_t lineStart = 0;
    std::size_t afterSpace = 0; // where the last white space in this line ended
    const auto startLine = [&](std::size_t at) {
        lineStart = at;
        afterSpace = at;
        ++count;
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (IsLineBreak(cells[i])) {
            startLine(i + 1);
            used = 0;
        } else if (IsSpace(cells[i])) {
            used += advances[i]; // white space may hang past the end of a line
            afterSpace = i + 1;
        } else if (used + advances[i] > width && i > lineStart) {
            if (afterSpace > lineStart) {
                // The word moves to the next line whole, unless it is too long for any.
                lines.breakBefore[afterSpace] = true;
                startLine(afterSpace);
                used = 0;
                for (std::size_t k = afterSpace; k < i; ++k) {
                    used += advances[k];
                }
            }
            if (used + advances[i] > width && i > lineStart) {
                lines.breakBefore[i] = true;
                startLine(i);
                used = 0;
            }
            used += advances[i];
        } else {
            used += advances[i];
        }
        if (count > maxLines) {
            lines.fitting = lineStart;
            lines.breakBefore.resize(lineStart);
            return lines;
        }
    }
    return lines;
}

void OpenStyle(QString& html, const Style& style) {
    if (style.bold > 0) {
        html += u"<b>";
    }
    if (style.italic > 0) {
        html += u"<i>";
    }
    if (!style.colour.isEmpty()) {
        html += u"<span style=\"color:#";
        html += style.colour;
        html += u"\">";
    }
}

void CloseStyle(QString& html, const Style& style) {
    if (!style.colour.isEmpty()) {
        html += u"</span>";
    }
    if (style.italic > 0) {
        html += u"</i>";
    }
    if (style.bold > 0) {
        html += u"</b>";
    }
}

// The cells as rich text, one span per run of one style. Qt shapes each such run on its own,
// so a letter of a joining script at the edge of a run (or of a line) would take its isolated
// form; a zero width joiner on either side of the edge keeps both letters in their joined
// forms.
QString CellsHtml(const Shown& shown, const std::vector<bool>& breakBefore,
                  QStringView indent = {}) {
    const std::vector<Cell>& cells = shown.cells;
    QString html = indent.toString();
    QString run;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const bool startsRun = i == 0 || !(cells[i].style == cells[i - 1].style);
        if (startsRun) {
            if (i > 0) {
                html += run.toHtmlEscaped();
                run.clear();
                CloseStyle(html, cells[i - 1].style);
            }
            OpenStyle(html, cells[i].style);
        }
        const bool last = i + 1 == cells.size();
        const bool edgeAfter =
            !last && (breakBefore[i + 1] || !(cells[i + 1].style == cells[i].style));
        if (i > 0 && breakBefore[i]) {
            html += run.toHtmlEscaped();
            run.clear();
            html += u"<br>";
            html += indent;
        }
        if (i > 0 && (startsRun || breakBefore[i]) && JoinsNext(cells[i - 1]) &&
            JoinsPrevious(cells[i])) {
            run += kJoiner;
        }
        run += cells[i].text;
        if (edgeAfter && JoinsNext(cells[i]) && JoinsPrevious(cells[i + 1])) {
            run += kJoiner;
        }
    }
    html += run.toHtmlEscaped();
    if (!cells.empty()) {
        CloseStyle(html, cells.back().style);
    }
    if (shown.cut) {
        html += QChar(0x2026); // …
    }
    return html;
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    return u <= u'9' ? u - u'0' : (u | 0x20) - u'a' + 10;
}

// Six hex digits, already checked. By hand: QStringView::toUInt took half the time of
// counting a 99,999-character full markup.
Rgb RgbOf(QStringView digits) {
    const auto pair = [digits](qsizetype i) {
        return static_cast<std::uint8_t>(HexValue(digits[i]) * 16 + HexValue(digits[i + 1]));
    };
    return {pair(0), pair(2), pair(4)};
}

QString HexOf(Rgb colour) {
    return QStringLiteral("#%1%2%3")
        .arg(colour.red, 2, 16, QChar(u'0'))
        .arg(colour.green, 2, 16, QChar(u'0'))
        .arg(colour.blue, 2, 16, QChar(u'0'));
}

QString Thousands(std::int64_t n) {
    return QString::fromStdString(WithThousands(n));
}

// The widest paragraph of the cells, unwrapped.
qreal WidestParagraph(const std::vector<Cell>& cells, const std::vector<qreal>& advances) {
    qreal widest = 0;
    qreal line = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line = IsLineBreak(cells[i]) ? 0 : line + advances[i];
        widest = std::max(widest, line);
    }
    return widest;
}

QString Rendering(const QString& body, Rgb background, Rgb text) {
    return QStringLiteral("<p style=\"margin:0; white-space:pre-wrap; background-color:%1; "
                          "color:%2\">")
               .arg(HexOf(background), HexOf(text)) +
           body + QStringLiteral("</p>");
}

} // namespace

QString PreviewHtml(QStringView markup, const QFont& font, int width) {
    const Shown shown = ShownCharacters(markup, kPreviewCharacters);
    if (shown.cells.empty()) {
        return {};
    }
    const std::vector<bool> breaks = width > 0
                                         ? BreakLines(shown.cells, Advances(shown.cells, font),
                                                      width, std::numeric_limits<int>::max())
                                               .breakBefore
                                         : std::vector<bool>(shown.cells.size(), false);
    // pre-wrap keeps runs of spaces as typed but still lets a long preview wrap.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + CellsHtml(shown, breaks) +
           QStringLiteral("</p>");
}

QString ContrastLine(QStringView markup) {
    LegibilityCount count(kLightBackground, kDarkBackground);
    ForEachRun(markup, [&count](QStringView run, const Style& style) {
        if (style.colour.isEmpty()) {
            count.addUncoloured(Units(run));
        } else {
            count.add(Units(run), RgbOf(style.colour));
        }
        return true;
    });
    const Legibility legibility = count.result();
    const QString of = Thousands(legibility.characters);
    const QString characters =
        legibility.characters == 1 ? QObject::tr("character") : QObject::tr("characters");
    if (legibility.hardOnLight > 0 && legibility.hardOnDark > 0) {
        return QObject::tr("Hard to read on light backgrounds: %1 of %2 %3; on dark backgrounds: "
                           "%4 of %2 %3")
            .arg(Thousands(legibility.hardOnLight), of, characters,
                 Thousands(legibility.hardOnDark));
    }
    if (legibility.hardOnLight > 0) {
        return QObject::tr("Hard to read on light backgrounds: %1 of %2 %3")
            .arg(Thousands(legibility.hardOnLight), of, characters);
    }
    if (legibility.hardOnDark > 0) {
        return QObject::tr("Hard to read on dark backgrounds: %1 of %2 %3")
            .arg(Thousands(legibility.hardOnDark), of, characters);
    }
    return {};
}

QString OutputDescription(QStringView markup, QStringView compact) {
    QString description = LengthLine(markup, compact);
    // The compact form renders alike and is far shorter to read.
    const QString contrast = ContrastLine(compact.isEmpty() ? markup : compact);
    if (!contrast.isEmpty()) {
        description += u'\n' + contrast;
    }
    return description;
}

QString PreviewToolTip(QStringView markup, QStringView compact, const QFont& font, QSize screen) {
    const QString length = LengthLine(markup, compact);
    if (length.isEmpty()) {
        return {};
    }
    const QString contrast = ContrastLine(compact.isEmpty() ? markup : compact);
    Shown shown = ShownCharacters(markup, kPreviewCharacters);
    std::vector<qreal> advances = Advances(shown.cells, font);

    // The width and the line breaks are worked out here from the font's advances, once: a
    // table around each rendering, or QLabel left to wrap them, measured the rich text many
    // times over (11 ms of the 16 at 200 characters). Only the two header lines sit in a
    // table, whose fixed width sets the tooltip's.
    const QFontMetricsF metrics(font);
    const qreal header =
        std::max(metrics.horizontalAdvance(length), metrics.horizontalAdvance(contrast));
    const qreal natural = std::max(header, WidestParagraph(shown.cells, advances));
    const int width = static_cast<int>(
        std::ceil(std::min(natural + 2 * kPadding + kSlack, screen.width() / 2.0)));
    // Each line of a rendering starts with a no-break space, so the text keeps off the edge.
    const QString indent(QChar(0x00A0));
    const qreal inner = width - 2 * kPadding - kSlack - metrics.horizontalAdvance(indent);

    // Two renderings and the header must fit the screen's height.
    QFont boldFont = font;
    boldFont.setBold(true);
    const qreal lineHeight = std::max(metrics.lineSpacing(), QFontMetricsF(boldFont).lineSpacing());
    const int headerLines = contrast.isEmpty() ? 1 : 2;
    const int lines =
        static_cast<int>((screen.height() * kHeightShare - 4 * kPadding) / (2 * lineHeight)) -
        headerLines;
    const Lines broken = BreakLines(shown.cells, advances, inner, std::max(lines, 1));
    if (broken.fitting < shown.cells.size()) {
        shown.cells.resize(broken.fitting);
        shown.cut = true;
    }

    QString tip = QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\">"
                                 "<tr><td><p style=\"margin:%2px\">%3</p>")
                      .arg(width)
                      .arg(kPadding)
                      .arg(length.toHtmlEscaped());
    if (!contrast.isEmpty()) {
        tip += QStringLiteral("<p style=\"margin:%1px\">").arg(kPadding) +
               contrast.toHtmlEscaped() + QStringLiteral("</p>");
    }
    tip += QStringLiteral("</td></tr></table>");
    if (!shown.cells.empty() || shown.cut) {
        const QString html = CellsHtml(shown, broken.breakBefore, indent);
        tip += Rendering(html, kLightBackground, kLightText) +
               Rendering(html, kDarkBackground, kDarkText);
    }
    return tip;
}

} // namespace huewright
