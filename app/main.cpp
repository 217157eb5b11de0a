#include "display_check.h"
#include "form1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QString>
#include <optional>

int main(int argc, char* argv[]) {
    std::optional<huewright::DisplayGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    // Lets the desktop match the window to its menu entry and icon once installed (Wayland
    // task bars find the icon only so).
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
