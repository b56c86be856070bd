#include "platform/RegistryStore.h"

#include "platform/ProfileFile.h"

#include <QDir>
#include <QFileInfo>

namespace
{
// Leading and doubled separators do not make another key.
QString normalKey(const QString &keyPath)
{
    QStringList parts = QString(keyPath).replace('/', '\\').split('\\', Qt::SkipEmptyParts);
    return parts.join('\\');
}
} // namespace

QString RegistryStore::defaultPath()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Vorlan/registry.ini");
}

RegistryStore::RegistryStore(const QString &path) : m_path(path) {}

QString RegistryStore::readString(const QString &keyPath, const QString &name, const QString &def) const
{
    return ProfileFile(m_path).readString(normalKey(keyPath), name, def);
}

bool RegistryStore::readBool(const QString &keyPath, const QString &name, bool def) const
{
    return ProfileFile(m_path).readBool(normalKey(keyPath), name, def);
}

bool RegistryStore::hasValue(const QString &keyPath, const QString &name) const
{
    return ProfileFile(m_path).hasKey(normalKey(keyPath), name);
}

bool RegistryStore::writeString(const QString &keyPath, const QString &name, const QString &value)
{
    // Read, change and write in one go so values written by another instance are kept.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    ProfileFile file(m_path);
    file.writeString(normalKey(keyPath), name, value);
    return file.save();
}

bool RegistryStore::writeBool(const QString &keyPath, const QString &name, bool value)
{
    return writeString(keyPath, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}
