#pragma once
// The few registry values the player shares between its runs and instances ("Multi Instance\Allow"), kept in
// $XDG_CONFIG_HOME/Vorlan/registry.ini under the same key paths.
#include <QString>

class RegistryStore
{
public:
    // The store file in the user's configuration folder.
    static QString defaultPath();
    explicit RegistryStore(const QString &path = defaultPath());

    // keyPath like "SOFTWARE\Vorlan\Multi Instance"; the value name like "Allow".
    QString readString(const QString &keyPath, const QString &name, const QString &def = QString()) const;
    bool readBool(const QString &keyPath, const QString &name, bool def) const;
    bool hasValue(const QString &keyPath, const QString &name) const;
    bool writeString(const QString &keyPath, const QString &name, const QString &value);
    bool writeBool(const QString &keyPath, const QString &name, bool value);

private:
    QString m_path;
};
