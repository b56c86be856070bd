#include "platform/Launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace Launcher
{

namespace
{

bool isProgram(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QString findProgram(const QString &name, const QString &ownDir)
{
    if (name.isEmpty())
        return QString();
    if (name.contains(u'/'))
        return isProgram(name) ? QFileInfo(name).absoluteFilePath() : QString();
    if (!ownDir.isEmpty()) {
        const QString local = QDir(ownDir).filePath(name);
        if (isProgram(local))
            return QFileInfo(local).absoluteFilePath();
        // In the build tree each program lies in a folder of its own beside the others
        // (build/player/vorlan, build/masker/vorlanmasker).
        const QString sibling = QDir(ownDir).filePath(QStringLiteral("../masker/") + name);
        if (isProgram(sibling))
            return QDir::cleanPath(QFileInfo(sibling).absoluteFilePath());
    }
    return QStandardPaths::findExecutable(name);
}

bool startDetached(const QString &name, const QStringList &arguments, const QString &ownDir, qint64 *pid)
{
    const QString program = findProgram(name, ownDir);
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments, QString(), pid);
}

bool startMasker(qint64 *pid)
{
    return startDetached(QString::fromLatin1(MaskerProgram), {}, QCoreApplication::applicationDirPath(), pid);
}

} // namespace Launcher
