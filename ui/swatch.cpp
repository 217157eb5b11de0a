#include "swatch.h"

#include "accessibility.h"
#include "colour_text.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

namespace huewright {

std::optional<QColor> AskWithColourDialog(QWidget* parent, const QString& title,
                                          const QColor& initial) {
    // Guarded: closing the window while the dialog is open takes the dialog with it.
    const QPointer<QColorDialog> dialog =
        new QColorDialog(initial, parent != nullptr ? parent->window() : nullptr);
    dialog->setWindowTitle(title);
    dialog->setWindowModality(Qt::WindowModal);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (dialog.isNull()) {
        return std::nullopt;
    }
    const QColor chosen = dialog->selectedColor();
    delete dialog.data();
    return accepted && chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

Swatch::Swatch(QWidget* parent) : QWidget(parent), menu_(new QMenu(this)) {
    InstallAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    SetFillColour(fill_);
    menu_->addAction(CopyText(), this, &Swatch::CopyColour);
    pasteAction_ = menu_->addAction(PasteText(), this, &Swatch::PasteColour);
    menu_->addAction(ChooseText(), this, &Swatch::ChooseColour);
}

void Swatch::SetFillColour(const QColor& colour) {
    fill_ = colour;
    setAccessibleDescription(
        tr("Red %1, green %2, blue %3").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
    update();
}

void Swatch::CopyColour() const {
    QGuiApplication::clipboard()->setText(ColourCode(ChannelsOf(fill_)));
}

void Swatch::PasteColour() {
    if (const auto colour = ColourFromText(QGuiApplication::clipboard()->text())) {
        emit ColourPicked(*colour);
    }
}

void Swatch::ChooseColour() {
    if (asking_) {
        return;
    }
    asking_ = true;
    const QPointer<Swatch> self(this);
    const std::optional<QColor> chosen = asker_(this, title_, fill_);
    if (self.isNull()) {
        return;
    }
    asking_ = false;
    if (chosen && chosen->isValid()) {
        emit ColourPicked(ChannelsOf(*chosen));
    }
}

void Swatch::paintEvent(QPaintEvent* /*event*/) {
    // A thin outline keeps a swatch as pale as the dialog background visible. It is the whole
    // square with the colour filled in one pixel inside: at fractional scales (1.25, 1.5) an
    // edge that falls between device pixels then still shows the outline, never a sliver of
    // the fill beyond it.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
    painter.fillRect(QRectF(rect()).adjusted(1, 1, -1, -1), fill_);
}

void Swatch::contextMenuEvent(QContextMenuEvent* event) {
    // The clipboard may have changed since the menu was last open.
    pasteAction_->setEnabled(ColourFromText(QGuiApplication::clipboard()->text()).has_value());
    menu_->popup(event->globalPos());
    event->accept();
}

void Swatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position().toPoint();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void Swatch::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    // Short of the drag distance a shaky hand still makes a click.
    if ((event->position().toPoint() - *pressedAt_).manhattanLength() <
        QApplication::startDragDistance()) {
        return;
    }
    pressedAt_.reset();
    constexpr int kDragImageSize = 24; // the square that follows the pointer
    QPixmap image(kDragImageSize, kDragImageSize);
    image.fill(fill_);
    QPainter outline(&image);
    outline.setPen(palette().color(QPalette::WindowText));
    outline.drawRect(image.rect().adjusted(0, 0, -1, -1));
    outline.end();
    auto* drag = new QDrag(this); // Qt deletes it when the drag is over
    drag->setMimeData(ColourMimeData(fill_).release());
    drag->setPixmap(image);
    drag->setHotSpot({kDragImageSize / 2, kDragImageSize / 2});
    drag->exec(Qt::CopyAction);
}

void Swatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressedAt_) {
        pressedAt_.reset();
        event->accept();
        // A click is a press and release on the swatch without a drag in between.
        if (rect().contains(event->position().toPoint())) {
            ChooseColour();
        }
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

std::optional<Colour> Swatch::TakeDrop(QDropEvent& event) const {
    std::optional<Colour> colour;
    // Its own colour dropped back on it would turn a bar at 256 into 255.
    if (event.source() != this && event.possibleActions().testFlag(Qt::CopyAction) &&
        event.mimeData() != nullptr) {
        colour = ColourFromMimeData(*event.mimeData());
    }
    if (colour) {
        // Copied, never moved: the program it came from keeps its text.
        event.setDropAction(Qt::CopyAction);
        event.accept();
    } else {
        event.ignore();
    }
    return colour;
}

void Swatch::dragEnterEvent(QDragEnterEvent* event) {
    TakeDrop(*event);
}

void Swatch::dragMoveEvent(QDragMoveEvent* event) {
    TakeDrop(*event);
}

void Swatch::dropEvent(QDropEvent* event) {
    if (const std::optional<Colour> colour = TakeDrop(*event)) {
        emit ColourPicked(*colour);
    }
}

} // namespace huewright
