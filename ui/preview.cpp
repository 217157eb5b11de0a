#include "preview.h"

#include "generation.h"
#include "huewright/colour.h"
#include "huewright/markup.h"

#include <QFontMetricsF>
#include <QObject>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace huewright {

namespace {

constexpr QStringView kEllipsis = u"\u2026";
constexpr QChar kJoiner(0x200D); // ZERO WIDTH JOINER
constexpr QChar kIndent(0x00A0); // starts every line of a rendering, off the edge
constexpr int kPadding = 4;      // around each rendering, in pixels
// Room for rounding between the line breaks here and the tooltip's own layout, in pixels.
constexpr int kSlack = 8;
constexpr double kHeightShare = 0.8; // of the screen, for the whole preview

// One character as the preview shows it.
struct Cell {
    QStringView text;
    RunStyle style;
    qsizetype at = 0;       // where it starts in the text laid out
    bool lineStart = false; // the preview breaks the line before it
};

// The first kPreviewCharacters characters, split as the markup splits them, then "…".
std::vector<Cell> ShownCells(QStringView markup) {
    const ShownCharacters shown = FirstCharacters(Units(markup), kPreviewCharacters);
    std::vector<Cell> cells;
    const auto cell = [](const StyledRun& c) { return Cell{QStringView(c.text), c.style}; };
    std::ranges::transform(shown.characters, std::back_inserter(cells), cell);
    if (shown.more) {
        cells.push_back({kEllipsis, {}});
    }
    return cells;
}

// Whether the first (or last) letter of a joining script in `text` joins on that side.
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

// Wraps the cells at `width` as a browser does, cut with "…" to `height`; the widest line's
// width. A QLabel left to wrap took 11 ms of 16 at 200 characters, laying out many times.
qreal BreakLines(std::vector<Cell>& cells, const QFont& font, qreal width, qreal height) {
    QString text;
    QList<QTextLayout::FormatRange> formats;
    for (Cell& cell : cells) {
        cell.at = text.size();
        QTextCharFormat format;
        format.setFontWeight(cell.style.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(cell.style.italic);
        formats.append({static_cast<int>(text.size()), static_cast<int>(cell.text.size()), format});
        text += cell.text;
    }
    // QTextLayout ends a line only at its own separator.
    for (const QChar c : QStringView(u"\n\r\v\f\u0085\u2029")) {
        text.replace(c, QChar::LineSeparator);
    }
    QTextLayout layout(text, font);
    layout.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal bottom = 0;
    qreal widest = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        const auto first = static_cast<std::size_t>(
            std::ranges::upper_bound(cells, line.textStart(), {}, &Cell::at) - cells.begin() - 1);
        bottom += line.height();
        if (first > 0 && bottom > height) {
            cells.resize(first);
            cells.push_back({kEllipsis, {}});
            break;
        }
        // After a typed line break the text breaks the line itself.
        cells[first].lineStart = first > 0 && text[line.textStart() - 1] != QChar::LineSeparator;
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return widest;
}

void AppendRun(QString& html, const RunStyle& style, const QString& text) {
    const QString colour = style.colour
                               ? u"color:"_s + QString::fromStdString(FormatColour(*style.colour))
                               : QString();
    html += u"<span style=\""_s + (style.bold ? u"font-weight:bold;"_s : QString()) +
            (style.italic ? u"font-style:italic;"_s : QString()) + colour + u"\">"_s +
            text.toHtmlEscaped() + u"</span>"_s;
}

// The cells as rich text a run at a time, lines starting with `indent`; Qt shapes each run
// alone, so a zero width joiner on both sides of an edge keeps joining letters joined.
QString CellsHtml(const std::vector<Cell>& cells, const QString& indent = {}) {
    QString html = indent;
    QString run;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        run += cells[i].text;
        const Cell* next = i + 1 < cells.size() ? &cells[i + 1] : nullptr;
        if (next == nullptr || next->lineStart || next->style != cells[i].style) {
            const bool joined =
                next != nullptr && Joins(cells[i].text, true) && Joins(next->text, false);
            if (joined) {
                run += kJoiner;
            }
            AppendRun(html, cells[i].style, run);
            run = joined ? QString(kJoiner) : QString();
            if (next != nullptr && next->lineStart) {
                html += u"<br>"_s + indent;
            }
        }
    }
    return html;
}

} // namespace

QString LengthLine(QStringView markup, QStringView compact) {
    if (markup.isEmpty()) {
        return {};
    }
    const std::int64_t length = CountCodePoints(Units(markup));
    QString line = QObject::tr("%1 characters").arg(Thousands(length));
    const std::int64_t shorter = compact.isEmpty() ? length : CountCodePoints(Units(compact));
    if (shorter < length) {
        line += QObject::tr(" (compact: %1)").arg(Thousands(shorter));
    }
    return line;
}

QString ContrastLine(QStringView markup) {
    const Legibility l = MarkupLegibility(Units(markup));
    const auto part = [&l](std::int64_t hard) {
        return QObject::tr("%1 of %2 %3")
            .arg(Thousands(hard), Thousands(l.characters),
                 l.characters == 1 ? QObject::tr("character") : QObject::tr("characters"));
    };
    QStringList parts;
    if (l.hardOnLight > 0) {
        parts << QObject::tr("light backgrounds: %1").arg(part(l.hardOnLight));
    }
    if (l.hardOnDark > 0) {
        parts << QObject::tr("dark backgrounds: %1").arg(part(l.hardOnDark));
    }
    return parts.isEmpty() ? QString()
                           : QObject::tr("Hard to read on %1").arg(parts.join(u"; on "_s));
}

QString OutputDescription(QStringView markup, QStringView compact) {
    // The compact form renders alike and is far shorter to read.
    const QString contrast = ContrastLine(compact.isEmpty() ? markup : compact);
    return LengthLine(markup, compact) + (contrast.isEmpty() ? QString() : u'\n' + contrast);
}

QString PreviewToolTip(QStringView markup, QStringView compact, const QFont& font, QSize screen) {
    const QString length = LengthLine(markup, compact);
    if (length.isEmpty()) {
        return {};
    }
    const QString contrast = ContrastLine(compact.isEmpty() ? markup : compact);
    const QFontMetricsF metrics(font);
    const qreal half = screen.width() / 2.0;
    const qreal frame = 2 * kPadding + kSlack + metrics.horizontalAdvance(kIndent);
    // Two renderings and the header must fit the screen's height.
    const qreal height = (screen.height() * kHeightShare - 4 * kPadding) / 2 -
                         (contrast.isEmpty() ? 1 : 2) * metrics.lineSpacing();
    std::vector<Cell> cells = ShownCells(markup);
    const qreal widest = cells.empty() ? 0 : BreakLines(cells, font, half - frame, height);
    // Only the two header lines sit in a table, whose fixed width sets the tooltip's.
    const qreal header =
        std::max(metrics.horizontalAdvance(length), metrics.horizontalAdvance(contrast));
    const int width = static_cast<int>(
        std::ceil(std::min(std::max(header + 2 * kPadding + kSlack, widest + frame), half)));
    QString tip = u"<table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>"_s.arg(width);
    for (const QString& line : {length, contrast}) {
        if (!line.isEmpty()) {
            tip += u"<p style=\"margin:%1px\">"_s.arg(kPadding) + line.toHtmlEscaped() + u"</p>"_s;
        }
    }
    tip += u"</td></tr></table>"_s;
    if (!cells.empty()) {
        // Untagged text in the forum's own text colour; pre-wrap keeps runs of spaces as typed.
        const QString html = CellsHtml(cells, QString(kIndent));
        const auto on = [&html](Colour background, QStringView text) {
            return u"<p style=\"white-space:pre-wrap;margin:0;background-color:%1;color:%2\">"_s
                       .arg(QString::fromStdString(FormatColour(background)), text) +
                   html + u"</p>"_s;
        };
        tip += on(kLightBackground, u"#000000") + on(kDarkBackground, u"#DCDCDC");
    }
    return tip;
}

} // namespace huewright
