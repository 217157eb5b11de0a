// The output box: a read-only, one-line text view that stays quick with megabytes of text.
#pragma once

#include <QString>
#include <QWidget>
#include <algorithm>
#include <utility>

class QStyleOptionFrame;
class QTextLayout;

namespace huewright {

// Looks and behaves like a read-only QLineEdit: the text can be selected with mouse and
// keyboard and copied. Unlike QLineEdit, which shapes the whole line again whenever the text
// or the selection changes, it only lays out the stretch that fits in the box, so a generation
// of a hundred thousand characters paints in a moment.
class OutputLine : public QWidget {
    Q_OBJECT

public:
    explicit OutputLine(QWidget* parent = nullptr);

    QString text() const { return text_; }
    // Replaces the text and shows it from its start, nothing selected. `compact` is the same
    // markup written compactly, kept beside it for "Copy compact markup"; the accessible
    // description tells the length of both.
    void setText(const QString& text, const QString& compact = QString());
    QString compactText() const { return compact_; }

    bool hasSelectedText() const { return cursor_ != anchor_; }
    QString selectedText() const;
    void selectAll();
    void deselect();
    // Puts the selected text on the clipboard; nothing happens without a selection.
    void copy() const;
    // Empties the clipboard and puts the compact markup on it as plain text.
    void copyCompact() const;

    // Position of the text cursor, in 16-bit units from the start of the text.
    qsizetype cursorPosition() const { return cursor_; }
    // Moves the cursor there, dropping the selection, and scrolls it into view.
    void setCursorPosition(qsizetype position);
    // Selects from `start` to `end` (the cursor ends at `end`) and scrolls the cursor into view.
    void setSelection(qsizetype start, qsizetype end);
    // The selected units, start before end; both equal the cursor when nothing is selected.
    std::pair<qsizetype, qsizetype> selection() const { return std::minmax(cursor_, anchor_); }
    // Where the character starting at `index` is drawn, in the box's coordinates; empty when
    // it is out of view.
    QRect characterRect(qsizetype index) const;
    // The character drawn at `point` (the box's coordinates), or -1 where there is none.
    qsizetype characterAt(QPoint point) const;
    // Scrolls so that the character at `index` is in view.
    void scrollToShow(qsizetype index);
    // Index of the first unit at the left edge of the box.
    qsizetype firstVisible() const { return first_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QStyleOptionFrame frameOption() const;
    QRect textArea() const;
    int baseline() const;
    qsizetype sliceLength() const;
    void layOut(QTextLayout& layout, qsizetype start, qsizetype length) const;
    qsizetype indexAt(int x) const;
    qsizetype nextPosition(qsizetype from) const;
    qsizetype previousPosition(qsizetype from) const;
    void moveCursor(qsizetype to, bool select);
    // Tells assistive tools where the cursor and the selection are now.
    void announceCursor(std::pair<qsizetype, qsizetype> before);
    void scrollToCursor();
    void bringIntoView(qsizetype index);

    QString text_;
    QString compact_;
    qsizetype cursor_ = 0; // where the selection ends and keyboard moves start
    qsizetype anchor_ = 0; // where the selection began
    qsizetype first_ = 0;  // horizontal scroll, counted in units
};

} // namespace huewright
