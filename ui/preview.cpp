#include "preview.h"

#include "characters.h"
#include "gradient.h"
#include "markup_length.h"

#include <QFontMetricsF>
#include <QObject>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

namespace huewright {

namespace {

constexpr qsizetype kLongestRun = 4096;
constexpr QChar kJoiner(0x200D);    // ZERO WIDTH JOINER
constexpr QChar kBreakHere(0x200B); // ZERO WIDTH SPACE: a line may break here
constexpr int kPadding = 4;         // around each rendering, in pixels
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
        Tag tag;
    };
    static constexpr std::array<Plain, 5> plain{{{u"[b]", Tag::Bold},
                                                 {u"[/b]", Tag::EndBold},
                                                 {u"[i]", Tag::Italic},
                                                 {u"[/i]", Tag::EndItalic},
                                                 {u"[/color]", Tag::EndColour}}};
    for (const Plain& p : plain) {
        if (rest.startsWith(p.text)) {
            return TagMatch{p.tag, p.text.size(), {}};
        }
    }
    constexpr QStringView open = u"[color=#";
    constexpr qsizetype digits = 6;
    if (rest.startsWith(open) && rest.size() > open.size() + digits &&
        rest[open.size() + digits] == u']') {
        const QStringView colour = rest.mid(open.size(), digits);
        // Only hex digits reach the style attribute, so nothing typed can end up in it.
        if (std::all_of(colour.begin(), colour.end(), IsHexDigit)) {
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
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
        const QChar::JoiningType type = QChar::joiningType(*it);
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

// After which cells a line may break although the text has no break there: inside every
// word wider than `width`, as a browser breaks a word that fits no line.
std::vector<bool> ForcedBreaks(const std::vector<Cell>& cells, const std::vector<qreal>& advances,
                               qreal width) {
    std::vector<bool> breaks(cells.size(), false);
    std::size_t start = 0;
    while (start < cells.size()) {
        if (IsSpace(cells[start])) {
            ++start;
            continue;
        }
        std::size_t end = start;
        qreal wordWidth = 0;
        while (end < cells.size() && !IsSpace(cells[end])) {
            wordWidth += advances[end];
            ++end;
        }
        if (wordWidth > width) {
            std::fill(breaks.begin() + static_cast<std::ptrdiff_t>(start),
                      breaks.begin() + static_cast<std::ptrdiff_t>(end - 1), true);
        }
        start = end;
    }
    return breaks;
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
// so a letter of a joining script at the edge of a run would take its isolated form; a zero
// width joiner on either side of the edge keeps both letters in their joined forms.
QString CellsHtml(const Shown& shown, const std::vector<bool>& breaks) {
    const std::vector<Cell>& cells = shown.cells;
    QString html;
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
        const bool breakAfter = breaks[i];
        const bool edgeAfter = !last && (breakAfter || !(cells[i + 1].style == cells[i].style));
        const bool joinsBefore = i > 0 && (startsRun || breaks[i - 1]) && JoinsNext(cells[i - 1]) &&
                                 JoinsPrevious(cells[i]);
        if (joinsBefore) {
            run += kJoiner;
        }
        run += cells[i].text;
        if (edgeAfter && JoinsNext(cells[i]) && JoinsPrevious(cells[i + 1])) {
            run += kJoiner;
        }
        if (breakAfter) {
            run += kBreakHere;
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

Rgb RgbOf(QStringView digits) {
    const uint value = digits.toUInt(nullptr, 16);
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
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

// How many cells fit in `lines` lines of `width`, filled a character at a time.
std::size_t CellsInLines(const std::vector<Cell>& cells, const std::vector<qreal>& advances,
                         qreal width, int lines) {
    int used = 1;
    qreal line = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (IsLineBreak(cells[i])) {
            ++used;
            line = 0;
        } else if (line + advances[i] > width && line > 0) {
            ++used;
            line = advances[i];
        } else {
            line += advances[i];
        }
        if (used > lines) {
            return i;
        }
    }
    return cells.size();
}

QString Rendering(const QString& body, Rgb background, Rgb text) {
    return QStringLiteral(
               "<tr><td bgcolor=\"%1\"><p style=\"margin:0; white-space:pre-wrap; color:%2\">")
               .arg(HexOf(background), HexOf(text)) +
           body + QStringLiteral("</p></td></tr>");
}

} // namespace

QString PreviewHtml(QStringView markup, const QFont& font, int width) {
    const Shown shown = ShownCharacters(markup, kPreviewCharacters);
    if (shown.cells.empty()) {
        return {};
    }
    const std::vector<bool> breaks =
        width > 0 ? ForcedBreaks(shown.cells, Advances(shown.cells, font), width)
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

    // The width is worked out here from the font's advances and handed to Qt as a fixed
    // table width: letting QLabel find it measures the rich text several times over.
    const QFontMetricsF metrics(font);
    const qreal header =
        std::max(metrics.horizontalAdvance(length), metrics.horizontalAdvance(contrast));
    const qreal natural = std::max(header, WidestParagraph(shown.cells, advances));
    // The slack covers the table's own cell borders and rounding.
    constexpr int slack = 8;
    const int width =
        static_cast<int>(std::ceil(std::min(natural + 2 * kPadding + slack, screen.width() / 2.0)));
    const qreal inner = width - 2 * kPadding - slack;

    // Two renderings and the header must fit the screen's height.
    QFont boldFont = font;
    boldFont.setBold(true);
    const qreal lineHeight = std::max(metrics.lineSpacing(), QFontMetricsF(boldFont).lineSpacing());
    const int headerLines = contrast.isEmpty() ? 1 : 2;
    const int lines =
        static_cast<int>((screen.height() * kHeightShare - 6 * kPadding) / (2 * lineHeight)) -
        headerLines;
    const std::size_t fits = CellsInLines(shown.cells, advances, inner, std::max(lines, 1));
    if (fits < shown.cells.size()) {
        shown.cells.resize(fits);
        advances.resize(fits);
        shown.cut = true;
    }

    QString html;
    if (!shown.cells.empty()) {
        html = CellsHtml(shown, ForcedBreaks(shown.cells, advances, inner));
    }
    QString tip = QStringLiteral("<table width=\"%1\" cellspacing=\"0\" cellpadding=\"%2\">"
                                 "<tr><td><p style=\"margin:0\">%3</p>")
                      .arg(width)
                      .arg(kPadding)
                      .arg(length.toHtmlEscaped());
    if (!contrast.isEmpty()) {
        tip += QStringLiteral("<p style=\"margin:0\">") + contrast.toHtmlEscaped() +
               QStringLiteral("</p>");
    }
    tip += QStringLiteral("</td></tr>");
    if (!html.isEmpty()) {
        tip += Rendering(html, kLightBackground, kLightText) +
               Rendering(html, kDarkBackground, kDarkText);
    }
    tip += QStringLiteral("</table>");
    return tip;
}

} // namespace huewright
