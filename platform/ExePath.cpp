#include "platform/ExePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString resolveExePath(const QString &vorlanHome, const QString &programDir, const QString &xdgDataHome,
                       const QString &home)
{
    QString dir;
    if (!vorlanHome.isEmpty())
        dir = vorlanHome;
    else if (!programDir.isEmpty() &&
             QFileInfo(QDir(programDir).filePath(QStringLiteral("Vorlan.cfg"))).isFile())
        dir = programDir;
    else if (!xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome))
        dir = QDir(xdgDataHome).filePath(QStringLiteral("Vorlan"));
    else
        dir = QDir(home).filePath(QStringLiteral(".local/share/Vorlan"));
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

QString ExePath()
{
    static const QString path = [] {
        const QString programDir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        QString p = resolveExePath(qEnvironmentVariable("VORLAN_HOME"), programDir,
                                   qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
        QDir().mkpath(p);
        return p;
    }();
    return path;
}
