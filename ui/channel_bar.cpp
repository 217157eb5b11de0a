#include "channel_bar.h"

#include "huewright/contrast.h"
#include "swatch.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace huewright {

namespace {

constexpr int kRingWidth = 2;

// Whether the style's focus frame can be seen: opaque pixels at 3:1 against the window along
// half the edge. Fusion's is a faint tint, and QScrollBar never asks for one.
bool DrawsClearFocusFrame(const QStyle& style, const QStyleOptionFocusRect& option,
                          const QWidget& widget) {
    const qreal ratio = widget.devicePixelRatioF();
    QImage probe((QSizeF(option.rect.size()) * ratio).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    probe.setDevicePixelRatio(ratio);
    probe.fill(Qt::transparent);
    {
        QPainter painter(&probe);
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, &widget);
    }
    const Colour window = ChannelsOf(option.palette.color(QPalette::Window));
    qsizetype seen = 0;
    for (int y = 0; y < probe.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(probe.constScanLine(y));
        for (int x = 0; x < probe.width(); ++x) {
            if (qAlpha(line[x]) == 255 &&
                ContrastRatio(ChannelsOf(QColor(line[x])), window) >= kLeastReadableContrast) {
                ++seen;
            }
        }
    }
    return seen >= probe.width() + probe.height();
}

} // namespace

void ChannelBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QStyleOptionFocusRect option;
    option.initFrom(this);
    // Marked whenever the bar has the focus, also at start, before any key was pressed.
    option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    option.backgroundColor = palette().color(QPalette::Window);
    QPainter painter(this);
    if (DrawsClearFocusFrame(*style(), option, *this)) {
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        return;
    }
    // Inside the bar's own rectangle, so the layout stays as it is.
    QPen pen(palette().color(QPalette::Highlight), kRingWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal inset = kRingWidth / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

void ChannelBar::focusInEvent(QFocusEvent* event) {
    // Bars overlap by a pixel; the focused one comes on top so that its ring shows whole.
    raise();
    QScrollBar::focusInEvent(event);
}

void ChannelBar::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard && menuWidget_ != nullptr) {
        OpenMenuWidgetMenu(*event);
        return;
    }
    QScrollBar::contextMenuEvent(event);
}

void ChannelBar::keyPressEvent(QKeyEvent* event) {
    // Shift+F10 is the other menu key; Qt turns only the menu key itself into a menu request.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier &&
        menuWidget_ != nullptr) {
        OpenMenuWidgetMenu(*event);
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void ChannelBar::OpenMenuWidgetMenu(QEvent& event) {
    const QPoint centre = menuWidget_->rect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, centre,
                              menuWidget_->mapToGlobal(centre));
    QApplication::sendEvent(menuWidget_, &request);
    event.accept();
}

} // namespace huewright
