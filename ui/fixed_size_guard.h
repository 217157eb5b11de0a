// Keeps a fixed-size window at its one size when a maximise or full-screen request comes from
// a title bar, a shortcut or the compositor, whatever the window system makes of such requests.
#pragma once

#include <QObject>

class QWidget;
class QWindowStateChangeEvent;

namespace huewright {

class FixedSizeGuard : public QObject {
    Q_OBJECT

public:
    // Watches `window`, a top-level widget of fixed size, and lives as long as it does.
    explicit FixedSizeGuard(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeRoomFor(Qt::WindowState requested);
    void AnswerReportedState(const QWindowStateChangeEvent& reported);

    QWidget* window_;
};

} // namespace huewright
