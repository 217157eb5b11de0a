#include "fixed_size_guard.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace huewright {

constexpr Qt::WindowStates kGrown = Qt::WindowMaximized | Qt::WindowFullScreen;

FixedSizeGuard::FixedSizeGuard(QWidget* window) : QObject(window), window_(window) {
    window_->installEventFilter(this);
}

void FixedSizeGuard::MakeRoomFor(Qt::WindowState requested) {
    // A Wayland window configured maximised must take the size given (xdg-shell), and Qt 6.4
    // holds it to its maximum size: until it is normal again it may take any size.
    if (requested == Qt::WindowMaximized &&
        QGuiApplication::platformName().startsWith(u"wayland")) {
        window_->windowHandle()->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
}

void FixedSizeGuard::AnswerReportedState(const QWindowStateChangeEvent& reported) {
    QWindow* handle = window_->windowHandle();
    const bool grown = handle->windowStates().testAnyFlags(kGrown);
    if (grown && !reported.oldState().testAnyFlags(kGrown)) {
        // Asked for once per change, so a compositor that insists is not asked again and again.
        QMetaObject::invokeMethod(
            window_, [this] { window_->setWindowState(window_->windowState() & ~kGrown); },
            Qt::QueuedConnection);
    } else if (!grown && handle->maximumSize() != window_->maximumSize()) {
        // Normal again, at its old size: back to that one size.
        handle->setMaximumSize(window_->maximumSize());
    }
}

bool FixedSizeGuard::eventFilter(QObject* watched, QEvent* event) {
    QWindow* handle = window_->windowHandle();
    if (watched == window_ && event->type() == QEvent::Show) {
        // Qt's Wayland title bar offers maximise whatever the flags say; its request shows here.
        connect(handle, &QWindow::windowStateChanged, this, &FixedSizeGuard::MakeRoomFor,
                Qt::UniqueConnection);
        handle->installEventFilter(this);
    } else if (watched == handle && event->type() == QEvent::WindowStateChange &&
               event->spontaneous()) {
        // Only what the window system reports, not the window's own requests.
        AnswerReportedState(*static_cast<QWindowStateChangeEvent*>(event));
    }
    return QObject::eventFilter(watched, event);
}

} // namespace huewright
