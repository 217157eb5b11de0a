// Start-up on the desktops people use: Qt picks the platform and says what it says; when it
// can open no display, one line of ours names the display and what to do.
#pragma once

#include <QtGlobal>

namespace huewright {

// While it lives (around the application object's construction), Qt's messages pass on to
// the handler that was there before, except Qt's fatal failure to open a display: that becomes
// one line, "huewright: ...", and exit status 1 instead of an abort and a core dump.
class DisplayGuard {
public:
    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;
};

} // namespace huewright
