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
    // A thin outline keeps a swatch as pale as the dialog background visible. It is the whole
    // square with the colour filled in one pixel inside: at fractional scales (1.25, 1.5) an
    // edge that falls between device pixels then still shows the outline, never a sliver of
    // the fill beyond it.
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::WindowText));
    painter.fillRect(QRectF(rect()).adjusted(1, 1, -1, -1), fill_);
}

} // namespace huewright
