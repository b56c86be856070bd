#include "masker/MaskerStart.h"

#include "masks/SampleMasks.h"
#include "platform/FileTypes.h"

#include <QDir>
#include <QFileInfo>

namespace MaskerStart
{

bool registerMaskType(FileTypes &types, const QString &programPath)
{
    return types.registerFileType(QStringLiteral("MSK"), QStringLiteral("Vorlan Mask"),
                                  QStringLiteral("Vorlan Mask File"), FileTypes::openCommand(programPath),
                                  QStringLiteral("preferences-desktop-theme"));
}

QString prepareMasksDir(const QString &exePath)
{
    const QString dir = QDir(exePath).filePath(QStringLiteral("Masks"));
    // Only a new folder gets the samples: a sample the user deleted stays deleted.
    if (!QFileInfo(dir).isDir())
        SampleMasks::install(dir);
    return dir;
}

} // namespace MaskerStart
