#include "masks/ClassicSkinModule.h"

#include "platform/Modules.h"

#include <QDir>
#include <QFileInfo>

bool ClassicSkinModule::isClassicSkin(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        const QStringList pictures = QDir(path).entryList(
            {QStringLiteral("main.bmp"), QStringLiteral("main.png")}, QDir::Files | QDir::Readable);
        if (!pictures.isEmpty())
            return true;
        // Names from Windows come in any case.
        for (const QString &entry : QDir(path).entryList(QDir::Files))
            if (entry.compare(QLatin1String("main.bmp"), Qt::CaseInsensitive) == 0 ||
                entry.compare(QLatin1String("main.png"), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
    const QString suffix = info.suffix().toLower();
    return suffix == QLatin1String("wsz") || suffix == QLatin1String("zip");
}

ClassicImport ClassicSkinModule::importSkin(const QString &source, const QString &masksFolder)
{
    static const auto import =
        Modules::entry<decltype(vorlanImportClassicSkin)>("vorlan-classic", "vorlanImportClassicSkin");
    ClassicImport result;
    if (!import) {
        result.error = QStringLiteral("The classic skin importer (libvorlan-classic.so) cannot be loaded.");
        return result;
    }
    import(&source, &masksFolder, &result);
    return result;
}
