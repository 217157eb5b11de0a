#include "form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a core dump when there is no screen; say what to do instead.
bool HasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): before any thread
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "huewright: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
                     "to run without a screen use: xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "huewright");
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    huewright::Form1 window;
    window.show();
    return QApplication::exec();
}
