#include "display_check.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace huewright {

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)

void Say(const QString& line) {
    std::fprintf(stderr, "huewright: %s\n", qPrintable(line));
}

QString Headless() {
    return QStringLiteral(
        "start it from a desktop session, or without a screen use: xvfb-run -a huewright");
}

QString Env(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

// The platforms Qt tries, in order: QT_QPA_PLATFORM is a list like "wayland;xcb", each name
// possibly followed by ":options".
QStringList PlatformsTried() {
    QStringList names;
    const QStringList entries = Env("QT_QPA_PLATFORM").split(u';', Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        const QString name = entry.section(u':', 0, 0).trimmed();
        if (!name.isEmpty()) {
            names.append(name);
        }
    }
    if (names.isEmpty()) {
        names.append(QStringLiteral("xcb")); // Qt's own choice on these systems
    }
    return names;
}

// The platform plugins Qt found, from its fatal message: "...no Qt platform plugin could be
// initialized..." ends with "Available platform plugins are: a, b, c." unless it found none.
// Nothing when the message is another one.
std::optional<QStringList> AvailablePlugins(const QString& fatal) {
    if (!fatal.contains(u"no Qt platform plugin could be initialized")) {
        return std::nullopt;
    }
    const QString marker = QStringLiteral("Available platform plugins are:");
    const qsizetype at = fatal.indexOf(marker);
    if (at < 0) {
        return QStringList();
    }
    QString list = fatal.mid(at + marker.size()).trimmed();
    if (list.endsWith(u'.')) {
        list.chop(1);
    }
    QStringList plugins = list.split(u',', Qt::SkipEmptyParts);
    for (QString& plugin : plugins) {
        plugin = plugin.trimmed();
    }
    return plugins;
}

struct Cause {
    QString what;
    QString cure;
};

// Why `platform`, one of those Qt tried, did not start, given the plugins Qt found.
Cause WhyNot(const QString& platform, const QStringList& available) {
    const bool wayland = platform.startsWith(u"wayland");
    if (!available.contains(platform)) {
        if (wayland) {
            return {QStringLiteral("Qt's Wayland platform plugin is not installed"),
                    QStringLiteral("install the package qt6-wayland")};
        }
        if (platform == u"xcb") {
            return {QStringLiteral("Qt's X11 platform plugin (xcb) is not installed"),
                    QStringLiteral("reinstall the package libqt6gui6")};
        }
        const QString found =
            available.isEmpty() ? QStringLiteral("none") : available.join(QStringLiteral(", "));
        return {QStringLiteral("Qt has no platform plugin \"%1\" (QT_QPA_PLATFORM; it has: %2)")
                    .arg(platform, found),
                QStringLiteral("set QT_QPA_PLATFORM to one of those, or unset it")};
    }
    if (platform == u"xcb") {
        const QString display = Env("DISPLAY");
        if (display.isEmpty()) {
            return {QStringLiteral("no X display (DISPLAY is not set)"), Headless()};
        }
        return {QStringLiteral("cannot open the X display \"%1\" (is the X server running?)")
                    .arg(display),
                Headless()};
    }
    if (wayland) {
        QString name = Env("WAYLAND_DISPLAY");
        if (name.isEmpty()) {
            name = QStringLiteral("wayland-0"); // what Wayland clients connect to by default
        }
        const QString runtime = Env("XDG_RUNTIME_DIR");
        if (QDir::isRelativePath(name) && runtime.isEmpty()) {
            return {QStringLiteral("no Wayland display (XDG_RUNTIME_DIR is not set)"), Headless()};
        }
        const QString socket = QDir::isRelativePath(name) ? runtime + u'/' + name : name;
        return {QStringLiteral("no Wayland display: no compositor answers at %1 "
                               "(is the compositor running?)")
                    .arg(socket),
                Headless()};
    }
    return {QStringLiteral("Qt's platform \"%1\" could not start").arg(platform), Headless()};
}

// Everything Qt says while it opens the display is about the attempts we explain ourselves.
bool FromPlatformStart(const QMessageLogContext& context, const QString& message) {
    const bool qpa =
        context.category != nullptr && QString::fromLatin1(context.category).startsWith(u"qt.qpa");
    return qpa || message.startsWith(u"Failed to create wl_display");
}

void HandleStartupMessage(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (type == QtFatalMsg) {
        const std::optional<QStringList> available = AvailablePlugins(message);
        if (!available) {
            Say(message.simplified()); // not about the display: Qt's own words, on one line
            std::_Exit(EXIT_FAILURE);
        }
        QStringList causes;
        QString cure;
        for (const QString& platform : PlatformsTried()) {
            const Cause cause = WhyNot(platform, *available);
            causes.append(cause.what);
            if (cure.isEmpty()) {
                cure = cause.cure;
            }
        }
        Say(causes.join(QStringLiteral(", and ")) + QStringLiteral("; ") + cure);
        std::_Exit(EXIT_FAILURE);
    }
    if (!FromPlatformStart(context, message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

#endif

} // namespace

bool PrepareDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    // Without a runtime directory a Wayland client cannot even name its socket.
    const bool socketNamed = !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") ||
                             QDir::isAbsolutePath(Env("WAYLAND_DISPLAY"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (!x11 && !wayland) {
            Say(QStringLiteral("no display (neither WAYLAND_DISPLAY nor DISPLAY is set); ") +
                Headless());
            return false;
        }
        if (wayland && (socketNamed || !x11)) {
            // Qt 6.4 would use XWayland on GNOME; run natively, falling back to X11 when Qt's
            // Wayland plugin is not installed or the compositor does not answer.
            qputenv("QT_QPA_PLATFORM", x11 ? "wayland;xcb" : "wayland");
        }
    }
    const QStringList platforms = PlatformsTried();
    if (platforms.size() == 1 && platforms.front().startsWith(u"wayland") && !socketNamed) {
        // Said here, before the Wayland library prints a line of its own about it.
        Say(QStringLiteral("no Wayland display (XDG_RUNTIME_DIR is not set); ") + Headless());
        return false;
    }
#endif
    return true;
}

// Elsewhere Qt opens its one platform as it always does, and says what it says.
StartupMessages::StartupMessages() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    previous_ = qInstallMessageHandler(HandleStartupMessage);
#endif
}

StartupMessages::~StartupMessages() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    qInstallMessageHandler(previous_);
#endif
}

} // namespace huewright
