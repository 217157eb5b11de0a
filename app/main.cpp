#include "display_check.h"
#include "form1.h"

#include <QApplication>
#include <QIcon>
#include <QString>
#include <optional>

int main(int argc, char* argv[]) {
    std::optional<huewright::DisplayGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
    // Lets the desktop match the window to its menu entry and icon once installed.
    QGuiApplication::setDesktopFileName(QStringLiteral(HUEWRIGHT_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(HUEWRIGHT_APP_ID)));

    huewright::Form1 window;
    window.show();
    return QApplication::exec();
}
