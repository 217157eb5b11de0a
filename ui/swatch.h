// A square of one chosen colour, and the ways to pick one on it: dialog, paste, drop.
#pragma once

#include "huewright/colour.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <QStringView>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QMimeData;

namespace huewright {

// The channels of an opaque QColor as the bars hold them.
Colour ChannelsOf(const QColor& colour);

// What a dragged swatch carries: the colour itself and its `#RRGGBB` text.
std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour);

// Asks for a colour in a dialog titled `title`; nothing on cancel. Tests answer in its place.
using ColourAsker = std::function<std::optional<QColor>(QWidget* parent, const QString& title,
                                                        const QColor& initial)>;

// What screen readers are told of the window and the swatches, which Qt gets wrong. Call it
// before they exist (Qt keeps its first description of a widget); again does nothing.
void InstallAccessibility();

class Swatch : public QWidget {
    Q_OBJECT

public:
    explicit Swatch(QWidget* parent = nullptr);

    // Repaints the square in `colour` and tells assistive tools which colour it is.
    void SetFillColour(const QColor& colour);
    QColor FillColour() const { return fill_; }

    void SetColourAsker(ColourAsker asker) { asker_ = std::move(asker); }

    // The three commands of the swatch's menu, also offered to assistive tools.
    void CopyColour() const;
    void PasteColour();
    void ChooseColour();

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
    ColourAsker asker_;
    QMenu* menu_;
    QAction* pasteAction_;
    bool asking_ = false;             // one dialog at a time, however often an assistive tool asks
    std::optional<QPoint> pressedAt_; // a left press that may become a click or a drag
};

} // namespace huewright
