#include "player/FileAssociations.h"

#include "platform/FileTypes.h"
#include "platform/TextFile.h"
#include "player/TrayIcons.h"

#include <QBuffer>
#include <QDir>

namespace FileAssociations
{

QString iconName(int number)
{
    return QStringLiteral("vorlan-icon-%1").arg(TrayIcons::valid(number));
}

bool installIcon(const QString &dataHome, int number)
{
    bool ok = true;
    for (int size : {16, 32, 48}) {
        const QString dir = QStringLiteral("%1/icons/hicolor/%2x%2/apps").arg(dataHome).arg(size);
        if (!QDir().mkpath(dir)) {
            ok = false;
            continue;
        }
        QByteArray png;
        QBuffer buffer(&png);
        ok = buffer.open(QIODevice::WriteOnly) && TrayIcons::pixmap(number, size).save(&buffer, "PNG") &&
             TextFile::writeAtomically(dir + QLatin1Char('/') + iconName(number) + QStringLiteral(".png"),
                                       png) &&
             ok;
    }
    return ok;
}

bool registerPlayer(FileTypes &types, const QString &programPath, int icon1, int icon2)
{
    bool ok = installIcon(types.dataHome(), icon1);
    ok = installIcon(types.dataHome(), icon2) && ok;
    return types.registerPlayerTypes(programPath, iconName(icon1), iconName(icon2)) && ok;
}

bool registerPlayer(const QString &programPath, int icon1, int icon2)
{
    FileTypes types;
    return registerPlayer(types, programPath, icon1, icon2);
}

} // namespace FileAssociations
