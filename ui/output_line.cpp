#include "output_line.h"

#include "preview.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>

namespace huewright {

namespace {

// Same inner margins as QLineEdit, so both text boxes line up.
constexpr int kHorizontalMargin = 2;
constexpr int kVerticalMargin = 1;
// Longest grapheme cluster we look at when stepping over one character.
constexpr qsizetype kClusterReach = 32;
// Wide enough for a line of any sane length; the line never wraps.
constexpr qreal kUnboundedWidth = 1e6;

// Longest stretch a word or sentence is looked for in, either side of an offset: the text can
// be megabytes long, and no word or sentence of the markup comes near this.
constexpr qsizetype kSegmentReach = 4096;

// The stretch of `text` around `offset` (which must be inside it) that a screen reader reads
// as one character, word, sentence or line. The box holds a single line, so a line, a
// paragraph and the whole text are the same.
std::pair<qsizetype, qsizetype> Segment(QStringView text, qsizetype offset,
                                        QAccessible::TextBoundaryType boundary) {
    QTextBoundaryFinder::BoundaryType type = QTextBoundaryFinder::Grapheme;
    switch (boundary) {
    case QAccessible::CharBoundary:
        break;
    case QAccessible::WordBoundary:
        type = QTextBoundaryFinder::Word;
        break;
    case QAccessible::SentenceBoundary:
        type = QTextBoundaryFinder::Sentence;
        break;
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::NoBoundary:
        return {0, text.size()};
    }
    const qsizetype from = std::max<qsizetype>(0, offset - kSegmentReach);
    const QStringView window = text.mid(from, kSegmentReach * 2);
    QTextBoundaryFinder finder(type, window);
    finder.setPosition(offset - from);
    qsizetype start = offset - from;
    if (!finder.isAtBoundary()) {
        start = std::max<qsizetype>(finder.toPreviousBoundary(), 0);
        finder.setPosition(offset - from);
    }
    qsizetype end = finder.toNextBoundary();
    if (end < 0) {
        end = window.size();
    }
    return {from + start, from + end};
}

// Screen readers meet the box as a read-only text field holding the markup, and read it
// through the text interface as they read any line edit.
class AccessibleOutputLine : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleOutputLine(OutputLine* line)
        : QAccessibleWidget(line, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return line()->text();
        }
        return QAccessibleWidget::text(t);
    }

    // One selection at most, as in a line edit.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        const auto [from, to] = line()->selection();
        if (selectionIndex == 0 && from != to) {
            *startOffset = static_cast<int>(from);
            *endOffset = static_cast<int>(to);
        }
    }
    int selectionCount() const override { return line()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) {
            line()->deselect();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) {
            line()->setSelection(Clamped(startOffset), Clamped(endOffset));
        }
    }

    int cursorPosition() const override { return static_cast<int>(line()->cursorPosition()); }
    void setCursorPosition(int position) override { line()->setCursorPosition(Clamped(position)); }

    QString text(int startOffset, int endOffset) const override {
        const qsizetype from = Clamped(startOffset);
        const qsizetype to = endOffset < 0 ? characterCount() : Clamped(endOffset);
        return from < to ? line()->text().mid(from, to - from) : QString();
    }
    int characterCount() const override { return static_cast<int>(line()->text().size()); }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override {
        const QString all = line()->text();
        *startOffset = *endOffset = -1;
        if (offset == -1) {
            offset = static_cast<int>(all.size());
        }
        if (all.isEmpty() || offset < 0 || offset > all.size() ||
            (offset == all.size() && boundary == QAccessible::CharBoundary)) {
            return {};
        }
        // At the very end, the last word or line is the one the caret is in.
        const auto [from, to] = Segment(all, std::min<qsizetype>(offset, all.size() - 1), boundary);
        return Part(all, from, to, startOffset, endOffset);
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override {
        const QString all = line()->text();
        *startOffset = *endOffset = -1;
        if (offset == -1) {
            offset = static_cast<int>(all.size());
        }
        if (all.isEmpty() || offset <= 0 || offset > all.size()) {
            return {};
        }
        const qsizetype here =
            offset == all.size() ? all.size() : Segment(all, offset, boundary).first;
        if (here <= 0) {
            return {};
        }
        const auto [from, to] = Segment(all, here - 1, boundary);
        return Part(all, from, to, startOffset, endOffset);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override {
        const QString all = line()->text();
        *startOffset = *endOffset = -1;
        if (offset == -1) {
            offset = static_cast<int>(all.size());
        }
        if (all.isEmpty() || offset < 0 || offset >= all.size()) {
            return {};
        }
        const qsizetype next = Segment(all, offset, boundary).second;
        if (next >= all.size()) {
            return {};
        }
        const auto [from, to] = Segment(all, next, boundary);
        return Part(all, from, to, startOffset, endOffset);
    }

    QRect characterRect(int offset) const override {
        const QRect local = line()->characterRect(offset);
        return local.isEmpty() ? QRect() : local.translated(line()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return static_cast<int>(line()->characterAt(line()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int startIndex, int endIndex) override {
        // The end first, then the start: a stretch wider than the box shows its beginning.
        line()->scrollToShow(Clamped(endIndex));
        line()->scrollToShow(Clamped(startIndex));
    }
    // The markup is drawn in one font and colour: no attributes, one run over the whole text.
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int count = characterCount();
        const bool inside = offset >= 0 && offset <= count;
        *startOffset = inside ? 0 : -1;
        *endOffset = inside ? count : -1;
        return {};
    }

private:
    OutputLine* line() const { return static_cast<OutputLine*>(widget()); }
    qsizetype Clamped(int offset) const {
        return std::clamp<qsizetype>(offset, 0, line()->text().size());
    }
    static QString Part(const QString& all, qsizetype from, qsizetype to, int* startOffset,
                        int* endOffset) {
        *startOffset = static_cast<int>(from);
        *endOffset = static_cast<int>(to);
        return all.mid(from, to - from);
    }
};

QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("huewright::OutputLine") && object->isWidgetType()) {
        return new AccessibleOutputLine(static_cast<OutputLine*>(object));
    }
    return nullptr;
}

} // namespace

OutputLine::OutputLine(QWidget* parent) : QWidget(parent) {
    QAccessible::installFactory(AccessibleFactory); // installed once however often called
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void OutputLine::setText(const QString& text, const QString& compact) {
    const QString previous = text_; // shares the data: no copy
    text_ = text;
    compact_ = compact;
    setAccessibleDescription(OutputDescription(text_, compact_));
    cursor_ = anchor_ = first_ = 0;
    update();
    // Screen readers say the new markup when Generate or a failure replaces it.
    if (QAccessible::isActive() && previous != text_) {
        QAccessibleTextUpdateEvent event(this, 0, previous, text_);
        QAccessible::updateAccessibility(&event);
    }
}

void OutputLine::setCursorPosition(qsizetype position) {
    moveCursor(position, false);
}

void OutputLine::setSelection(qsizetype start, qsizetype end) {
    const auto before = std::pair(cursor_, anchor_);
    anchor_ = std::clamp<qsizetype>(start, 0, text_.size());
    cursor_ = std::clamp<qsizetype>(end, 0, text_.size());
    scrollToCursor();
    update();
    announceCursor(before);
}

void OutputLine::announceCursor(std::pair<qsizetype, qsizetype> before) {
    if (!QAccessible::isActive()) {
        return;
    }
    if (before.first != cursor_) {
        QAccessibleTextCursorEvent event(this, static_cast<int>(cursor_));
        QAccessible::updateAccessibility(&event);
    }
    const std::pair<qsizetype, qsizetype> was = std::minmax(before.first, before.second);
    const auto [from, to] = selection();
    if (was != selection()) {
        QAccessibleTextSelectionEvent event(this, static_cast<int>(from), static_cast<int>(to));
        QAccessible::updateAccessibility(&event);
    }
}

QString OutputLine::selectedText() const {
    const auto [from, to] = std::minmax(cursor_, anchor_);
    return text_.mid(from, to - from);
}

void OutputLine::selectAll() {
    setSelection(0, text_.size());
}

void OutputLine::deselect() {
    const auto before = std::pair(cursor_, anchor_);
    anchor_ = cursor_;
    update();
    announceCursor(before);
}

void OutputLine::copy() const {
    if (hasSelectedText()) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

void OutputLine::copyCompact() const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(compact_);
}

QSize OutputLine::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kHorizontalMargin,
            metrics.height() + 2 * kVerticalMargin + 4};
}

QSize OutputLine::minimumSizeHint() const {
    // As QLineEdit measures itself: one line of text, its margins, then the style's frame.
    const QStyleOptionFrame panel = frameOption();
    const QSize line(2 * kHorizontalMargin + 4, fontMetrics().height() + 2 * kVerticalMargin);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &panel, line, this);
}

QStyleOptionFrame OutputLine::frameOption() const {
    QStyleOptionFrame panel;
    panel.initFrom(this);
    panel.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, this);
    panel.midLineWidth = 0;
    panel.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    // Output, not input: the box wears the button face, like the dialog around it.
    panel.palette.setBrush(QPalette::Base, panel.palette.button());
    return panel;
}

QRect OutputLine::textArea() const {
    const QStyleOptionFrame panel = frameOption();
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
        .adjusted(kHorizontalMargin, kVerticalMargin, -kHorizontalMargin, -kVerticalMargin);
}

int OutputLine::baseline() const {
    const QRect area = textArea();
    return area.top() + (area.height() - fontMetrics().height() + 1) / 2;
}

qsizetype OutputLine::sliceLength() const {
    // No visible character is narrower than half a pixel, so this always fills the box.
    return 2 * static_cast<qsizetype>(std::max(textArea().width(), 1)) + 8;
}

void OutputLine::layOut(QTextLayout& layout, qsizetype start, qsizetype length) const {
    start = std::clamp<qsizetype>(start, 0, text_.size());
    length = std::clamp<qsizetype>(length, 0, text_.size() - start);
    // Never end a slice between the two halves of a surrogate pair.
    if (length > 0 && start + length < text_.size() &&
        text_[start + length - 1].isHighSurrogate()) {
        ++length;
    }
    layout.setText(text_.mid(start, length));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(kUnboundedWidth);
    layout.endLayout();
}

qsizetype OutputLine::indexAt(int x) const {
    QTextLayout layout;
    if (x >= 0) {
        layOut(layout, first_, sliceLength());
        return first_ + layout.lineAt(0).xToCursor(x);
    }
    // Left of the box: measure backwards from the first visible unit.
    const qsizetype start = std::max<qsizetype>(0, first_ - sliceLength());
    layOut(layout, start, first_ - start);
    const QTextLine line = layout.lineAt(0);
    return start + line.xToCursor(line.naturalTextWidth() + x);
}

qsizetype OutputLine::nextPosition(qsizetype from) const {
    if (from >= text_.size()) {
        return text_.size();
    }
    const QStringView ahead = QStringView(text_).mid(from, kClusterReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, ahead);
    const qsizetype step = finder.toNextBoundary();
    return from + std::max<qsizetype>(step, 1);
}

qsizetype OutputLine::previousPosition(qsizetype from) const {
    if (from <= 0) {
        return 0;
    }
    const qsizetype start = std::max<qsizetype>(0, from - kClusterReach);
    const QStringView behind = QStringView(text_).mid(start, from - start);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, behind);
    finder.toEnd();
    const qsizetype boundary = finder.toPreviousBoundary();
    return boundary >= 0 ? start + boundary : from - 1;
}

void OutputLine::moveCursor(qsizetype to, bool select) {
    const auto before = std::pair(cursor_, anchor_);
    cursor_ = std::clamp<qsizetype>(to, 0, text_.size());
    if (!select) {
        anchor_ = cursor_;
    }
    scrollToCursor();
    update();
    announceCursor(before);
}

void OutputLine::scrollToCursor() {
    bringIntoView(cursor_);
}

void OutputLine::scrollToShow(qsizetype index) {
    bringIntoView(std::clamp<qsizetype>(index, 0, text_.size()));
    update();
}

QRect OutputLine::characterRect(qsizetype index) const {
    if (index < first_ || index >= text_.size()) {
        return {};
    }
    const QRect area = textArea();
    QTextLayout layout;
    layOut(layout, first_, sliceLength());
    const qsizetype at = index - first_;
    if (at >= layout.text().size()) {
        return {};
    }
    const QTextLine line = layout.lineAt(0);
    const qreal left = line.cursorToX(static_cast<int>(at));
    const qreal right = line.cursorToX(static_cast<int>(nextPosition(index) - first_));
    if (left >= area.width()) {
        return {};
    }
    return QRectF(area.left() + left, baseline(), std::max<qreal>(right - left, 1),
                  fontMetrics().height())
        .toAlignedRect();
}

qsizetype OutputLine::characterAt(QPoint point) const {
    const QRect area = textArea();
    if (!area.contains(point)) {
        return -1;
    }
    QTextLayout layout;
    layOut(layout, first_, sliceLength());
    const QTextLine line = layout.lineAt(0);
    const int x = point.x() - area.left();
    if (x >= line.naturalTextWidth()) {
        return -1;
    }
    return first_ + line.xToCursor(x, QTextLine::CursorOnCharacter);
}

void OutputLine::bringIntoView(qsizetype index) {
    const int width = textArea().width();
    if (index < first_) {
        first_ = index;
        return;
    }
    if (index - first_ <= sliceLength()) {
        QTextLayout layout;
        layOut(layout, first_, index - first_);
        if (layout.lineAt(0).naturalTextWidth() <= width) {
            return;
        }
    }
    // Bring the index to the right edge: find where a box-wide stretch ending there starts.
    const qsizetype start = std::max<qsizetype>(0, index - sliceLength());
    QTextLayout layout;
    layOut(layout, start, index - start);
    const QTextLine line = layout.lineAt(0);
    const qreal edge = line.naturalTextWidth() - width;
    qsizetype first = line.xToCursor(edge, QTextLine::CursorOnCharacter);
    if (line.cursorToX(static_cast<int>(first)) < edge) {
        first = nextPosition(start + first) - start;
    }
    first_ = std::min(start + first, index);
}

void OutputLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QStyleOptionFrame panel = frameOption();
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect area = textArea();
    QTextLayout layout;
    layOut(layout, first_, sliceLength());
    const qsizetype shown = layout.text().size();

    QList<QTextLayout::FormatRange> selections;
    const auto [from, to] = std::minmax(cursor_, anchor_);
    const qsizetype selFrom = std::max(from, first_);
    const qsizetype selTo = std::min(to, first_ + shown);
    if (selFrom < selTo) {
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(selFrom - first_);
        range.length = static_cast<int>(selTo - selFrom);
        range.format.setBackground(palette().brush(QPalette::Highlight));
        range.format.setForeground(palette().brush(QPalette::HighlightedText));
        selections.append(range);
    }

    painter.setClipRect(area);
    painter.setPen(palette().color(QPalette::Text));
    layout.draw(&painter, QPointF(area.left(), baseline()), selections, area);
}

void OutputLine::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::MoveToNextChar)) {
        moveCursor(hasSelectedText() ? std::max(cursor_, anchor_) : nextPosition(cursor_), false);
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        moveCursor(hasSelectedText() ? std::min(cursor_, anchor_) : previousPosition(cursor_),
                   false);
    } else if (event->matches(QKeySequence::SelectNextChar)) {
        moveCursor(nextPosition(cursor_), true);
    } else if (event->matches(QKeySequence::SelectPreviousChar)) {
        moveCursor(previousPosition(cursor_), true);
    } else if (event->matches(QKeySequence::MoveToStartOfLine) ||
               event->matches(QKeySequence::MoveToStartOfDocument)) {
        moveCursor(0, false);
    } else if (event->matches(QKeySequence::MoveToEndOfLine) ||
               event->matches(QKeySequence::MoveToEndOfDocument)) {
        moveCursor(text_.size(), false);
    } else if (event->matches(QKeySequence::SelectStartOfLine) ||
               event->matches(QKeySequence::SelectStartOfDocument)) {
        moveCursor(0, true);
    } else if (event->matches(QKeySequence::SelectEndOfLine) ||
               event->matches(QKeySequence::SelectEndOfDocument)) {
        moveCursor(text_.size(), true);
    } else {
        // Read-only: typing changes nothing, and Tab and the like go to the window.
        QWidget::keyPressEvent(event);
    }
}

void OutputLine::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int x = static_cast<int>(event->position().x()) - textArea().left();
    moveCursor(indexAt(x), event->modifiers().testFlag(Qt::ShiftModifier));
}

void OutputLine::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int x = static_cast<int>(event->position().x()) - textArea().left();
    moveCursor(indexAt(x), true);
}

void OutputLine::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The X11 habit: whatever is selected can be pasted with the middle button.
    if (event->button() == Qt::LeftButton && hasSelectedText() && clipboard->supportsSelection()) {
        clipboard->setText(selectedText(), QClipboard::Selection);
    }
    QWidget::mouseReleaseEvent(event);
}

void OutputLine::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("&Copy"), this, &OutputLine::copy);
    copyAction->setEnabled(hasSelectedText());
    copyAction->setShortcut(QKeySequence::Copy);
    QAction* compactAction =
        menu.addAction(tr("Copy compact markup"), this, &OutputLine::copyCompact);
    compactAction->setObjectName(QStringLiteral("copyCompactMarkup"));
    compactAction->setEnabled(!compact_.isEmpty());
    QAction* selectAllAction = menu.addAction(tr("Select All"), this, &OutputLine::selectAll);
    selectAllAction->setEnabled(!text_.isEmpty());
    selectAllAction->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

void OutputLine::focusInEvent(QFocusEvent* event) {
    // As in a line edit: arriving by keyboard selects everything, ready for Ctrl+C.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        !hasSelectedText()) {
        selectAll();
    }
    QWidget::focusInEvent(event);
    update();
}

void OutputLine::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace huewright
