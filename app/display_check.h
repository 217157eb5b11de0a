// Program start on the desktops people use: which display to open, and one clear line when
// none can be.
#pragma once

#include <QtGlobal>

namespace huewright {

// Before the application object exists. On X11 and Wayland systems: asks Qt for Wayland first
// when the session offers it, and returns false after printing why when no display is set at
// all. Elsewhere it does nothing and returns true.
bool PrepareDisplay();

// While it lives, Qt's own complaints while opening the display are kept quiet, and Qt's
// fatal failure to open one becomes one line naming the cause and the cure, then exit 1.
class StartupMessages {
public:
    StartupMessages();
    ~StartupMessages();
    StartupMessages(const StartupMessages&) = delete;
    StartupMessages& operator=(const StartupMessages&) = delete;

private:
    QtMessageHandler previous_ = nullptr;
};

} // namespace huewright
