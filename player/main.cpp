// vorlan: the MPEG audio player.
#include "player/VorlanApp.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Docking and window positions need X11; under Wayland the player runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlan"));
    QApplication::setApplicationVersion(QStringLiteral("1.8"));
    QApplication::setQuitOnLastWindowClosed(false);

    VorlanApp vorlan(app.arguments().mid(1));
    if (!vorlan.startUp())
        return 0;
    return app.exec();
}
