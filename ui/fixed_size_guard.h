// Keeps a fixed-size window at its size through maximise and full-screen requests.
#pragma once

#include <QObject>

class QWidget;
class QWindowStateChangeEvent;

namespace huewright {

class FixedSizeGuard : public QObject {
    Q_OBJECT

public:
    explicit FixedSizeGuard(QWidget* window); // a fixed-size top level, also its parent

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeRoomFor(Qt::WindowState requested);
    void AnswerReportedState(const QWindowStateChangeEvent& reported);

    QWidget* window_;
};

} // namespace huewright
