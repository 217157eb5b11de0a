// A solid square showing one of the two chosen colours.
#pragma once

#include <QColor>
#include <QWidget>

namespace huewright {

class Swatch : public QWidget {
    Q_OBJECT

public:
    explicit Swatch(QWidget* parent = nullptr);

    // Repaints the square in `colour` and tells assistive tools which colour it is.
    void setFillColour(const QColor& colour);
    QColor fillColour() const { return fill_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_ = Qt::black;
};

} // namespace huewright
