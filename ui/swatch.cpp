#include "swatch.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QByteArray>
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
#include <cstddef>
#include <variant>

namespace huewright {

namespace {

// A picture of its colour offering the menu's commands, as the swatch never takes the focus.
class AccessibleSwatch : public QAccessibleWidget {
public:
    explicit AccessibleSwatch(Swatch* swatch) : QAccessibleWidget(swatch, QAccessible::Graphic) {}

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() + Ours(); }

    QString localizedActionDescription(const QString& name) const override {
        return Ours().contains(name) ? name : QAccessibleWidget::localizedActionDescription(name);
    }

    void doAction(const QString& name) override {
        auto* shape = static_cast<Swatch*>(widget());
        if (name == Swatch::CopyText()) {
            shape->CopyColour();
        } else if (name == Swatch::PasteText()) {
            shape->PasteColour();
        } else if (name == Swatch::ChooseText()) {
            // The dialog runs its own event loop; the assistive tool gets its answer first.
            QMetaObject::invokeMethod(shape, &Swatch::ChooseColour, Qt::QueuedConnection);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

private:
    static QStringList Ours() {
        return {Swatch::CopyText(), Swatch::PasteText(), Swatch::ChooseText()};
    }
};

// Qt calls a plain top-level widget a "filler"; ours is a window, named by its caption.
QAccessibleInterface* AccessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("huewright::Form1")) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("huewright::Swatch")) {
        return new AccessibleSwatch(static_cast<Swatch*>(object));
    }
    return nullptr;
}

// The colour `text` spells in one of the engine's forms.
std::optional<Colour> ColourFromText(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    const auto read = ParseColour({utf8.constData(), static_cast<std::size_t>(utf8.size())});
    const auto* colour = std::get_if<Colour>(&read);
    return colour != nullptr ? std::optional(*colour) : std::nullopt;
}

// `#RRGGBB` in upper case, as the markup writes it.
QString ColourCode(Colour colour) {
    return QString::fromStdString(FormatColour(colour));
}

// The opaque colour a drop carries, as colour data or as text.
std::optional<Colour> ColourFromMimeData(const QMimeData& data) {
    const QColor colour = data.hasColor() ? qvariant_cast<QColor>(data.colorData()) : QColor();
    if (colour.isValid()) {
        // A colour that lets the page show through is none.
        return colour.alpha() == 255 ? std::optional(ChannelsOf(colour)) : std::nullopt;
    }
    return data.hasText() ? ColourFromText(data.text()) : std::nullopt;
}

// Qt's colour dialog over the window; its own call survives the window closing meanwhile.
std::optional<QColor> AskWithColourDialog(QWidget* parent, const QString& title,
                                          const QColor& initial) {
    const QColor chosen =
        QColorDialog::getColor(initial, parent != nullptr ? parent->window() : nullptr, title);
    return chosen.isValid() ? std::optional(chosen) : std::nullopt;
}

} // namespace

Colour ChannelsOf(const QColor& colour) {
    return {colour.red(), colour.green(), colour.blue()};
}

std::unique_ptr<QMimeData> ColourMimeData(const QColor& colour) {
    auto data = std::make_unique<QMimeData>();
    data->setColorData(colour);
    data->setText(ColourCode(ChannelsOf(colour)));
    return data;
}

void InstallAccessibility() {
    QAccessible::installFactory(AccessibleFactory); // Qt keeps one entry however often called
}

Swatch::Swatch(QWidget* parent)
    : QWidget(parent), asker_(AskWithColourDialog), menu_(new QMenu(this)) {
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
    const std::optional<QColor> chosen = asker_(this, accessibleName(), fill_); // "Start colour"
    if (self.isNull()) {
        return;
    }
    asking_ = false;
    if (chosen && chosen->isValid()) {
        emit ColourPicked(ChannelsOf(*chosen));
    }
}

void Swatch::paintEvent(QPaintEvent* /*event*/) {
    // An outline keeps a pale swatch visible, the fill a pixel inside: no sliver at 1.25×.
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
