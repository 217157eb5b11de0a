#include "display_check.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace huewright {
namespace {

// Qt's handlers take no context, so the one ours stands in front of is kept where ours finds it.
QtMessageHandler& Previous() {
    static QtMessageHandler previous = nullptr;
    return previous;
}

QString Setting(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? value : QStringLiteral("%1=\"%2\"").arg(QLatin1String(name), value);
}

// The settings Qt went by, and what to do.
QString NoDisplay() {
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    QStringList displays; // those the platforms tried use: Qt's choice tries both
    for (const auto& [name, plugin] :
         {std::pair("WAYLAND_DISPLAY", u"wayland"), std::pair("DISPLAY", u"xcb")}) {
        const QString setting = Setting(name);
        if (!setting.isEmpty() && (platform.isEmpty() || platform.contains(plugin))) {
            displays.append(setting);
        }
    }
    const QString chosen =
        platform.isEmpty() ? platform : QStringLiteral(" (%1)").arg(Setting("QT_QPA_PLATFORM"));
    const QString headless = QStringLiteral("without a screen, run: xvfb-run -a huewright");
    if (!displays.isEmpty()) {
        return QStringLiteral("cannot open the display %1%2; is its server running? Or, %3")
            .arg(displays.join(QStringLiteral(" or ")), chosen, headless);
    }
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        return QStringLiteral(
                   "no display to open: neither WAYLAND_DISPLAY nor DISPLAY is set%1; %2")
            .arg(chosen, headless);
    }
    return QStringLiteral("cannot open a display%1; %2").arg(chosen, headless);
}

// Qt's only fatal message while the application object is built is its failure to start a
// platform, after its own warnings have said why; it would abort next.
void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        Previous()(type, context, message);
        return;
    }
    std::fprintf(stderr, "huewright: %s\n", qPrintable(NoDisplay()));
    std::_Exit(EXIT_FAILURE);
}

} // namespace

DisplayGuard::DisplayGuard() {
    Previous() = qInstallMessageHandler(OnMessage);
}

DisplayGuard::~DisplayGuard() {
    qInstallMessageHandler(Previous());
}

} // namespace huewright
