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

    // The windows are small and repaint small pieces ten times a second while playing: sent over the X
    // connection, those cost less than through shared memory, which waits for the server before each paint.
    // Only for this program: what it starts gets the environment it was given.
    const bool userSet = qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM");
    if (!userSet)
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    if (!userSet)
        qunsetenv("QT_XCB_NO_MITSHM");
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
