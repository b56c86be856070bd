#include "masks/SampleMasks.h"

#include "masks/SamplesModule.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

// The resources live in a static library: registering them by hand keeps the linker from dropping them.
static void initSkinResources()
{
    Q_INIT_RESOURCE(skins);
}

namespace
{

const QString ResourceDir = QStringLiteral(":/masks");
const QString BuiltInName = QStringLiteral("Vorlan.msk");

QStringList shippedFiles()
{
    initSkinResources();
    SampleMasks::loadSamples();
    return QDir(ResourceDir).entryList(QDir::Files, QDir::Name);
}

} // namespace

namespace SampleMasks
{

bool loadSamples()
{
    return SamplesModule::load();
}

QString builtInMaskPath()
{
    initSkinResources();
    return ResourceDir + '/' + BuiltInName;
}

QStringList maskNames()
{
    QStringList names = shippedFiles().filter(QRegularExpression(QStringLiteral("\\.msk$")));
    names.removeAll(BuiltInName);
    names.prepend(BuiltInName);
    return names;
}

int install(const QString &masksDir)
{
    if (!QDir().mkpath(masksDir))
        return 0;
    const QDir target(masksDir);
    int written = 0;
    for (const QString &name : shippedFiles()) {
        const QString destination = target.filePath(name);
        // Anything already there (a file, a folder, even a dangling link) is the user's.
        const QFileInfo existing(destination);
        if (existing.exists() || existing.isSymLink())
            continue;
        // Whole or not at all: a full disk must not leave half a mask that looks like one.
        QByteArray bytes;
        if (TextFile::readBytes(ResourceDir + '/' + name, 64 * 1024 * 1024, &bytes) !=
                TextFile::ReadStatus::Ok ||
            !TextFile::writeAtomically(destination, bytes))
            continue;
        QFile::setPermissions(destination,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        ++written;
    }
    return written;
}

} // namespace SampleMasks
