#include "preview.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <array>
#include <optional>

namespace huewright {

namespace {

constexpr qsizetype kLongestRun = 4096;

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
    QStringView colour;
};

// Appends `text` escaped and wrapped in the markup of `style`.
void AppendRun(QString& html, QStringView text, const Style& style) {
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
    html += text.toString().toHtmlEscaped();
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

} // namespace

QString PreviewHtml(QStringView markup) {
    QString body;
    Style style;
    int shown = 0;
    bool cut = false;
    qsizetype pos = 0;
    while (pos < markup.size() && !cut) {
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
        // A huge run without brackets is looked at in slices: only its start can be shown.
        if (end - pos > kLongestRun) {
            end = pos + kLongestRun;
            if (markup[end - 1].isHighSurrogate()) {
                ++end;
            }
        }
        const QStringView run = markup.mid(pos, end - pos);
        // Count what a reader sees as characters, so an emoji or an accented letter is never
        // cut in half.
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, run);
        qsizetype taken = 0;
        while (characters.toNextBoundary() >= 0) {
            if (shown == kPreviewCharacters) {
                cut = true;
                break;
            }
            ++shown;
            taken = characters.position();
        }
        AppendRun(body, run.first(taken), style);
        pos = end;
    }
    if (shown == 0) {
        return {};
    }
    if (cut) {
        body += QChar(0x2026); // …
    }
    // pre-wrap keeps runs of spaces as typed but still lets a long preview wrap.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + body + QStringLiteral("</p>");
}

} // namespace huewright
