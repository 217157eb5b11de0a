// Start-up: when Qt can open no display, one line of ours names it and what to do.
#include "form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

// Qt's only fatal message in QApplication's making is a failed platform: one line, not abort.
void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        Previous()(type, context, message);
        return;
    }
    std::fprintf(stderr, "huewright: %s\n", qPrintable(NoDisplay()));
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[]) {
    Previous() = qInstallMessageHandler(OnMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(Previous());
    // Lets the desktop match the window to its menu entry and icon (Wayland task bars need it).
    QGuiApplication::setDesktopFileName(QStringLiteral(HUEWRIGHT_APP_ID));
    // X11 task bars and title bars take the icon from the window itself: every size built in.
    QIcon icon;
    for (const QFileInfo& file : QDir(QStringLiteral(":/icon")).entryInfoList(QDir::Files)) {
        icon.addFile(file.filePath());
    }
    QApplication::setWindowIcon(icon);

    huewright::Form1 window;
    window.show();
    return QApplication::exec();
}
