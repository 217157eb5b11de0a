#include "form1.h"

#include <QApplication>
#include <QIcon>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

void SayNoDisplay(const char* why) {
    std::fprintf(stderr, "huewright: %s; to run without a screen use: xvfb-run -a huewright\n",
                 why);
}

// Qt aborts with a core dump when there is no screen; say what to do instead.
bool HasDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe): before any thread
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// While the platform starts, its complaints about an unreachable display are replaced by
// one line of ours; Qt's fatal message would otherwise be followed by an abort.
void StartupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        SayNoDisplay("cannot open the display (is the X server running?)");
        std::_Exit(EXIT_FAILURE);
    }
    const bool fromPlatform =
        context.category != nullptr && QString::fromLatin1(context.category).startsWith(u"qt.qpa");
    if (!fromPlatform) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        SayNoDisplay("no display found (DISPLAY and WAYLAND_DISPLAY are unset)");
        return EXIT_FAILURE;
    }
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    // Lets the desktop match the window to its menu entry and icon once installed.
    QGuiApplication::setDesktopFileName(QStringLiteral(HUEWRIGHT_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(HUEWRIGHT_APP_ID)));

    huewright::Form1 window;
    window.show();
    return QApplication::exec();
}
