// A solid square showing one of the two chosen colours, and the ways to pick one on it:
// the colour dialog, copy and paste, drag and drop.
#pragma once

#include "huewright/colour.h"

#include <QColor>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace huewright {

// Asks the user for a colour in a dialog titled `title`, starting from `initial`; nothing
// when they cancel. Tests answer in its place.
using ColourAsker = std::function<std::optional<QColor>(QWidget* parent, const QString& title,
                                                        const QColor& initial)>;

// Qt's colour dialog, modal to `parent`'s window.
std::optional<QColor> AskWithColourDialog(QWidget* parent, const QString& title,
                                          const QColor& initial);

class Swatch : public QWidget {
    Q_OBJECT

public:
    explicit Swatch(QWidget* parent = nullptr);

    // Repaints the square in `colour` and tells assistive tools which colour it is.
    void SetFillColour(const QColor& colour);
    QColor FillColour() const { return fill_; }

    // The colour dialog's title, which also names the side.
    void SetTitle(const QString& title) { title_ = title; }

    void SetColourAsker(ColourAsker asker) { asker_ = std::move(asker); }

    // The three commands of the swatch's menu, also offered to assistive tools.
    void CopyColour() const;
    void PasteColour();
    void ChooseColour();

    // The menu's and the accessible actions' names, in menu order.
    static QString CopyText() { return tr("Copy colour"); }
    static QString PasteText() { return tr("Paste colour"); }
    static QString ChooseText() { return tr("Choose colour…"); }

signals:
    // The user picked `colour` for this side; the window sets the side's bars to it.
    void ColourPicked(const huewright::Colour& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Accepts `event` as a copy and returns its colour, or refuses it.
    std::optional<huewright::Colour> TakeDrop(QDropEvent& event) const;

    QColor fill_ = Qt::black;
    QString title_;
    ColourAsker asker_ = AskWithColourDialog;
    QMenu* menu_;
    QAction* pasteAction_;
    // One dialog at a time, however often an assistive tool asks.
    bool asking_ = false;
    // Where a left press went down, while it may still become a click or a drag.
    std::optional<QPoint> pressedAt_;
};

} // namespace huewright
