// vorlanmasker: the mask editor of the Vorlan player.
#include "masker/MaskerStart.h"
#include "masker/WizardWindow.h"
#include "platform/ExePath.h"
#include "platform/FileTypes.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    // The shaped windows need X11; under Wayland the editor runs through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VorlanMasker"));
    QApplication::setApplicationVersion(QStringLiteral("1.8"));
    QApplication::setQuitOnLastWindowClosed(false);

    WizardWindow wizard(MaskerStart::prepareMasksDir(ExePath()));
    QObject::connect(&wizard, &WizardWindow::exitRequested, &app, &QApplication::quit, Qt::QueuedConnection);
    wizard.show();

    // A mask given on the command line (a double click in the file manager) opens as "Load Mask" does.
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty())
        wizard.LoadMask(arguments.join(u' '));

    // The registration runs the desktop's database tools; the window is up before they are.
    QTimer::singleShot(0, &app, [] {
        FileTypes types;
        MaskerStart::registerMaskType(types, QCoreApplication::applicationFilePath());
    });
    return app.exec();
}
