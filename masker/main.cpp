// vorlanmasker: the mask editor of the Vorlan player.
#include "masker/MaskerStart.h"
#include "masker/WizardWindow.h"
#include "masks/ClassicSkinModule.h"
#include "platform/ExePath.h"
#include "platform/FileTypes.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace
{

const char Usage[] =
    "Usage: vorlanmasker [MASK]\n"
    "       vorlanmasker --import SKIN\n"
    "Edits Vorlan masks; MASK (a \".msk\" file) opens at once.\n"
    "--import SKIN  imports a classic skin (a \".wsz\" or \".zip\" file, or a folder of its\n"
    "               pictures) into the Masks folder as a mask, prints the mask's path and\n"
    "               exits; no window is opened.\n"
    "--help         shows this text.\n";

// The import from the command line: no window, so no display is needed.
int importSkin(int argc, char **argv, const QString &source)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const ClassicImport result =
        ClassicSkinModule::importSkin(source, MaskerStart::prepareMasksDir(ExePath()));
    if (!result.ok()) {
        std::fprintf(stderr, "vorlanmasker: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("%s\n", QFile::encodeName(result.maskPath).constData());
    for (const QString &line : result.leftOut)
        std::fprintf(stderr, "note: %s\n", qPrintable(line));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (argument == "--import") {
            if (i + 1 >= argc) {
                std::fputs("vorlanmasker: --import needs a skin file or folder.\n", stderr);
                std::fputs(Usage, stderr);
                return 2;
            }
            return importSkin(argc, argv, QFile::decodeName(argv[i + 1]));
        }
    }
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
