#include "output_line.h"

#include "markup_length.h"

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

// Screen readers meet the box as a read-only text field holding the markup.
class AccessibleOutputLine : public QAccessibleWidget {
public:
    explicit AccessibleOutputLine(OutputLine* line)
        : QAccessibleWidget(line, QAccessible::EditableText) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return static_cast<const OutputLine*>(widget())->text();
        }
        return QAccessibleWidget::text(t);
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
    text_ = text;
    compact_ = compact;
    setAccessibleDescription(LengthLine(text_, compact_));
    cursor_ = anchor_ = first_ = 0;
    update();
}

QString OutputLine::selectedText() const {
    const auto [from, to] = std::minmax(cursor_, anchor_);
    return text_.mid(from, to - from);
}

void OutputLine::selectAll() {
    anchor_ = 0;
    cursor_ = text_.size();
    scrollToCursor();
    update();
}

void OutputLine::deselect() {
    anchor_ = cursor_;
    update();
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
    cursor_ = std::clamp<qsizetype>(to, 0, text_.size());
    if (!select) {
        anchor_ = cursor_;
    }
    scrollToCursor();
    update();
}

void OutputLine::scrollToCursor() {
    const int width = textArea().width();
    if (cursor_ < first_) {
        first_ = cursor_;
        return;
    }
    if (cursor_ - first_ <= sliceLength()) {
        QTextLayout layout;
        layOut(layout, first_, cursor_ - first_);
        if (layout.lineAt(0).naturalTextWidth() <= width) {
            return;
        }
    }
    // Bring the cursor to the right edge: find where a box-wide stretch ending there starts.
    const qsizetype start = std::max<qsizetype>(0, cursor_ - sliceLength());
    QTextLayout layout;
    layOut(layout, start, cursor_ - start);
    const QTextLine line = layout.lineAt(0);
    const qreal edge = line.naturalTextWidth() - width;
    qsizetype first = line.xToCursor(edge, QTextLine::CursorOnCharacter);
    if (line.cursorToX(static_cast<int>(first)) < edge) {
        first = nextPosition(start + first) - start;
    }
    first_ = std::min(start + first, cursor_);
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
