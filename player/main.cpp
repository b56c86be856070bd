// vorlan: the MPEG audio player.
#include "platform/FileName.h"
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

    // File names are bytes: a name that is not UTF-8 must reach the player as it is.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileName::decode(QByteArray(argv[i]));
    VorlanApp vorlan(arguments);
    if (!vorlan.startUp())
        return 0;
    return app.exec();
}
