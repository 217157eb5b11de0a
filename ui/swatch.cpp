#include "swatch.h"

#include <QPainter>

namespace huewright {

Swatch::Swatch(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFillColour(fill_);
}

void Swatch::setFillColour(const QColor& colour) {
    fill_ = colour;
    setAccessibleDescription(
        tr("Red %1, green %2, blue %3").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
    update();
}

void Swatch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    // A thin outline keeps a swatch as pale as the dialog background visible.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace huewright
