#include "platform/Modules.h"

#include "platform/PlatformLog.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>
#include <QStringList>

namespace
{

QStringList folders()
{
    // The running program, whichever it is (player, info tool, tests), not only one with a QCoreApplication.
    const QString programDir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QStringList list;
    if (!programDir.isEmpty()) {
        list << programDir;
        list << programDir + QStringLiteral("/" VORLAN_MODULES_FROM_BIN);
    }
    // Programs and tests in the build tree; an installed program never takes modules from there.
    const QString buildTree = QFileInfo(QStringLiteral(VORLAN_BUILD_TREE)).canonicalFilePath();
    if (!buildTree.isEmpty() && programDir.startsWith(buildTree + QLatin1Char('/')))
        list << buildTree + QStringLiteral("/modules");
    return list;
}

} // namespace

namespace Modules
{

QFunctionPointer resolve(const char *name, const char *symbol)
{
    static QMutex mutex;
    // Never destroyed: a module stays loaded to the end, after every static that may still call into it.
    static auto &loaded = *new QHash<QByteArray, QLibrary *>; // nullptr: tried and failed
    const QMutexLocker lock(&mutex);
    auto it = loaded.find(name);
    if (it == loaded.end()) {
        const QString file = QStringLiteral("lib%1.so").arg(QLatin1String(name));
        QLibrary *library = nullptr;
        QString error = QStringLiteral("not found");
        for (const QString &folder : folders()) {
            const QString path = folder + QLatin1Char('/') + file;
            if (!QFileInfo::exists(path))
                continue;
            auto *candidate = new QLibrary(path);
            if (candidate->load()) {
                library = candidate;
                break;
            }
            error = candidate->errorString();
            delete candidate;
        }
        if (!library)
            qCWarning(lcPlatform, "cannot load the module %s: %s", QFile::encodeName(file).constData(),
                      error.toLocal8Bit().constData());
        it = loaded.insert(name, library);
    }
    return *it ? (*it)->resolve(symbol) : nullptr;
}

} // namespace Modules
