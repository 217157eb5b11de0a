#include "preview.h"

#include "huewright/colour.h"
#include "huewright/contrast.h"
#include "huewright/gradient.h"
#include "markup_length.h"

#include <QFontMetricsF>
#include <QObject>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace huewright {

namespace {

constexpr qsizetype kLongestRun = 4096;
constexpr QChar kJoiner(0x200D); // ZERO WIDTH JOINER
constexpr int kPadding = 4;      // around each rendering, in pixels
// Room for rounding between the line breaking here and the tooltip's own layout, in pixels.
constexpr int kSlack = 8;
// Share of the screen's height the preview may fill.
constexpr double kHeightShare = 0.8;

// The backgrounds a forum's light and dark styles typically show a signature on.
constexpr Colour kLightBackground{0xFF, 0xFF, 0xFF};
constexpr Colour kDarkBackground{0x1E, 0x1E, 0x1E};

struct Style {
    int bold = 0;
    int italic = 0;
    std::optional<Colour> colour; // none outside colour tags

    bool operator==(const Style& other) const {
        return (bold > 0) == (other.bold > 0) && (italic > 0) == (other.italic > 0) &&
               colour == other.colour;
    }
};

// Exactly six ASCII hex digits as a colour. Not ParseColour: the markup's grammar is narrower
// (no names, no three digits, no white space). Not QStringView::toUInt either: it took half
// the time of counting a 99,999-character full markup.
std::optional<Colour> HexColour(QStringView digits) {
    std::array<char, 6> ascii{};
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        const char16_t unit = digits[static_cast<qsizetype>(i)].unicode();
        if (unit > 0x7F) {
            return std::nullopt;
        }
        ascii.at(i) = static_cast<char>(unit);
    }
    unsigned rgb = 0;
    const char* const last = ascii.data() + ascii.size();
    const auto [end, error] = std::from_chars(ascii.data(), last, rgb, 16);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return Colour{static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF)};
}

// Applies the tag at the front of `rest`, if it is one the forum honours, to `style`; its
// length, or 0.
qsizetype ApplyTag(QStringView rest, Style& style) {
    constexpr qsizetype kColourTag = 15; // [color=#RRGGBB]
    if (rest.startsWith(u"[color=#") && rest.size() >= kColourTag && rest[14] == u']') {
        if (const auto colour = HexColour(rest.mid(8, 6))) {
            style.colour = colour;
            return kColourTag;
        }
    }
    if (rest.startsWith(u"[/color]")) {
        style.colour.reset();
        return 8;
    }
    struct Switch {
        QStringView open;
        QStringView close;
        int Style::*depth;
    };
    for (const Switch& s :
         {Switch{u"[b]", u"[/b]", &Style::bold}, Switch{u"[i]", u"[/i]", &Style::italic}}) {
        if (rest.startsWith(s.open)) {
            ++(style.*s.depth);
            return s.open.size();
        }
        if (rest.startsWith(s.close)) {
            style.*s.depth = std::max(0, style.*s.depth - 1);
            return s.close.size();
        }
    }
    return 0;
}

// Hands every stretch of literal text in `markup` to `visit` with the style the forum gives
// it, in order, until `visit` returns false.
template <typename Visit> void ForEachRun(QStringView markup, Visit&& visit) {
    Style style;
    qsizetype pos = 0;
    while (pos < markup.size()) {
        if (const qsizetype tag = ApplyTag(markup.mid(pos), style); tag > 0) {
            pos += tag;
            continue;
        }
        // Literal text runs to the next '[' that might open a tag (at least one character).
        qsizetype end = markup.indexOf(u'[', pos + 1);
        end = end < 0 ? markup.size() : end;
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

// The first kPreviewCharacters characters, counted as a reader sees them so that an emoji or
// an accented letter is never cut in half.
Shown ShownCharacters(QStringView markup) {
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
            if (std::ssize(shown.cells) == kPreviewCharacters) {
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

// Whether the first (or, `fromEnd`, the last) letter of a joining script in `text` joins its
// neighbour on that side; combining marks in between are transparent.
bool Joins(QStringView text, bool fromEnd) {
    const auto points = text.toUcs4();
    for (qsizetype n = 0; n < points.size(); ++n) {
        const auto type = QChar::joiningType(points[fromEnd ? points.size() - 1 - n : n]);
        if (type != QChar::Joining_Transparent) {
            return type == QChar::Joining_Dual || type == QChar::Joining_Causing ||
                   type == (fromEnd ? QChar::Joining_Left : QChar::Joining_Right);
        }
    }
    return false;
}

struct Lines {
    std::vector<bool> breakBefore; // a line break goes in before this cell
    std::size_t fitting = 0;       // how many cells fit in the height allowed
    qreal widest = 0;              // the widest line, in pixels
};

// The cells wrapped at `width` pixels of `font` as a browser wraps them (at break
// opportunities, inside a word only where it is wider than a line), as many lines as fit in
// `height`. The breaks are written into the preview: QLabel left to wrap the rich text, or
// a table around it, laid it out many times over (11 ms of the 16 at 200 characters).
Lines BreakLines(const std::vector<Cell>& cells, const QFont& font, qreal width, qreal height) {
    Lines lines{std::vector<bool>(cells.size(), false), cells.size(), 0};
    QString text;
    std::vector<qsizetype> starts;
    QList<QTextLayout::FormatRange> formats;
    for (const Cell& cell : cells) {
        starts.push_back(text.size());
        if (cell.style.bold > 0 || cell.style.italic > 0) {
            QTextCharFormat format;
            format.setFontWeight(cell.style.bold > 0 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(cell.style.italic > 0);
            formats.append(
                {static_cast<int>(text.size()), static_cast<int>(cell.text.size()), format});
        }
        text += cell.text;
    }
    // QTextLayout ends a line only at its own separator.
    constexpr QStringView kLineBreaks = u"\n\r\v\f\u0085\u2029";
    for (QChar& c : text) {
        if (kLineBreaks.contains(c)) {
            c = QChar::LineSeparator;
        }
    }
    QTextLayout layout(text, font);
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid() && !cells.empty();
         line = layout.createLine()) {
        line.setLineWidth(width);
        const auto first = static_cast<std::size_t>(
            std::upper_bound(starts.begin(), starts.end(), line.textStart()) - starts.begin() - 1);
        y += line.height();
        if (y > height && first > 0) {
            lines.fitting = first;
            break;
        }
        // After a typed line break the text itself breaks the line.
        lines.breakBefore[first] = first > 0 && text[line.textStart() - 1] != QChar::LineSeparator;
        lines.widest = std::max(lines.widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return lines;
}

// One run of one style as rich text.
void AppendRun(QString& html, const Style& style, const QString& text) {
    QString css;
    if (style.bold > 0) {
        css += u"font-weight:bold;"_s;
    }
    if (style.italic > 0) {
        css += u"font-style:italic;"_s;
    }
    if (style.colour) {
        css += u"color:"_s + QString::fromStdString(FormatColour(*style.colour));
    }
    html += css.isEmpty()
                ? text.toHtmlEscaped()
                : u"<span style=\""_s + css + u"\">"_s + text.toHtmlEscaped() + u"</span>"_s;
}

// The cells as rich text, a run of one style at a time, every line starting with `indent`.
// Qt shapes each run on its own, so a letter of a joining script at the edge of a run (or of
// a line) would take its isolated form; a zero width joiner on either side of the edge keeps
// both letters in their joined forms.
QString CellsHtml(const Shown& shown, const std::vector<bool>& breakBefore = {},
                  const QString& indent = {}) {
    const std::vector<Cell>& cells = shown.cells;
    QString html = indent;
    QString run;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        run += cells[i].text;
        const bool last = i + 1 == cells.size();
        const bool newLine = !last && i + 1 < breakBefore.size() && breakBefore[i + 1];
        if (last || newLine || !(cells[i + 1].style == cells[i].style)) {
            const bool joined =
                !last && Joins(cells[i].text, true) && Joins(cells[i + 1].text, false);
            if (joined) {
                run += kJoiner;
            }
            AppendRun(html, cells[i].style, run);
            run = joined ? QString(kJoiner) : QString();
            if (newLine) {
                html += u"<br>"_s + indent;
            }
        }
    }
    if (shown.cut) {
        html += QChar(0x2026); // …
    }
    return html;
}

// pre-wrap keeps runs of spaces as typed but still lets a long preview wrap.
QString Paragraph(const QString& body, const QString& style = {}) {
    return u"<p style=\"white-space:pre-wrap;"_s + style + u"\">"_s + body + u"</p>"_s;
}

QString Thousands(std::int64_t n) {
    return QString::fromStdString(WithThousands(n));
}

} // namespace

QString PreviewHtml(QStringView markup) {
    const Shown shown = ShownCharacters(markup);
    return shown.cells.empty() ? QString() : Paragraph(CellsHtml(shown));
}

QString ContrastLine(QStringView markup) {
    LegibilityCount count(kLightBackground, kDarkBackground);
    ForEachRun(markup, [&count](QStringView run, const Style& style) {
        count.add({run.utf16(), static_cast<std::size_t>(run.size())}, style.colour);
        return true;
    });
    const Legibility legibility = count.result();
    const auto part = [&](std::int64_t hard) {
        return QObject::tr("%1 of %2 %3")
            .arg(Thousands(hard), Thousands(legibility.characters),
                 legibility.characters == 1 ? QObject::tr("character") : QObject::tr("characters"));
    };
    if (legibility.hardOnLight > 0 && legibility.hardOnDark > 0) {
        return QObject::tr("Hard to read on light backgrounds: %1; on dark backgrounds: %2")
            .arg(part(legibility.hardOnLight), part(legibility.hardOnDark));
    }
    if (legibility.hardOnLight > 0) {
        return QObject::tr("Hard to read on light backgrounds: %1")
            .arg(part(legibility.hardOnLight));
    }
    if (legibility.hardOnDark > 0) {
        return QObject::tr("Hard to read on dark backgrounds: %1").arg(part(legibility.hardOnDark));
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
    const QFontMetricsF metrics(font);
    // Each line of a rendering starts with a no-break space, so the text keeps off the edge.
    const QString indent(QChar(0x00A0));
    const qreal frame = 2 * kPadding + kSlack + metrics.horizontalAdvance(indent);
    const qreal half = screen.width() / 2.0;
    // Two renderings and the header must fit the screen's height.
    const qreal height = (screen.height() * kHeightShare - 4 * kPadding) / 2 -
                         (contrast.isEmpty() ? 1 : 2) * metrics.lineSpacing();
    Shown shown = ShownCharacters(markup);
    const Lines lines = BreakLines(shown.cells, font, half - frame, height);
    if (lines.fitting < shown.cells.size()) {
        shown.cells.resize(lines.fitting);
        shown.cut = true;
    }
    // Only the two header lines sit in a table, whose fixed width sets the tooltip's.
    const qreal header =
        std::max(metrics.horizontalAdvance(length), metrics.horizontalAdvance(contrast));
    const int width = static_cast<int>(
        std::ceil(std::min(std::max(header + 2 * kPadding + kSlack, lines.widest + frame), half)));
    const QString margin = u"<p style=\"margin:%1px\">"_s.arg(kPadding);
    QString tip = u"<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>"_s.arg(width) +
                  margin + length.toHtmlEscaped() + u"</p>"_s;
    if (!contrast.isEmpty()) {
        tip += margin + contrast.toHtmlEscaped() + u"</p>"_s;
    }
    tip += u"</td></tr></table>"_s;
    if (!shown.cells.empty() || shown.cut) {
        const QString html = CellsHtml(shown, lines.breakBefore, indent);
        // Text outside any colour tag takes the forum's own text colour.
        const auto on = [&html](Colour background, QStringView text) {
            return Paragraph(html, u"margin:0; background-color:%1; color:%2"_s.arg(
                                       QString::fromStdString(FormatColour(background)), text));
        };
        tip += on(kLightBackground, u"#000000") + on(kDarkBackground, u"#DCDCDC");
    }
    return tip;
}

} // namespace huewright
