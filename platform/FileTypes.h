#pragma once
// Makes the desktop open a file type with one of our programs, the way the desktop keeps it:
// - an extension the shared MIME database already knows keeps its MIME types ("*.mp3" is audio/mpeg); any
//   other gets a type of ours, "application/x-" + the type name in lower case with dashes ("Vorlan Mask" ->
//   application/x-vorlan-mask), described in $XDG_DATA_HOME/mime/packages/<that name>.xml;
// - the type name becomes a handler: $XDG_DATA_HOME/applications/<type name in lower case with
// dashes>.desktop,
//   whose Exec is the open command and whose MimeType lists every MIME type registered to it;
// - each MIME type of the extension gets that handler first in [Default Applications] of
//   $XDG_CONFIG_HOME/mimeapps.list.
// Every file is replaced atomically and keeps what other programs wrote in it.
#include <QString>
#include <QStringList>

class FileTypes
{
public:
    // Folders from $XDG_DATA_HOME and $XDG_CONFIG_HOME (~/.local/share and ~/.config when unset).
    FileTypes();
    FileTypes(const QString &dataHome, const QString &configHome);

    QString dataHome() const { return m_dataHome; }
    QString configHome() const { return m_configHome; }

    // After writing, update-mime-database and update-desktop-database refresh the caches of the folders they
    // own (when those programs exist). On by default.
    void setRunDatabaseTools(bool run) { m_runTools = run; }

    // Registers one file type. The extension loses every "."; an empty extension or command does nothing;
    // an empty type name becomes the extension + "_auto_file". The command is an Exec line ("%f" for the
    // file; the "%1" of older command lines is taken for it). The icon, when not empty, is an icon name of
    // the theme or an absolute image path. False when nothing was done or a file could not be written.
    bool registerFileType(const QString &extension, const QString &typeName, const QString &description,
                          const QString &command, const QString &icon);

    // The player's types: MPG, MP2, MP3 ("Vorlan Sound File", "MPEG Sound File", icon1), then M3U, PLS, VLN
    // ("Vorlan PlayList File", "Music Album List" / "Vorlan Album List", icon2), opened by programPath.
    bool registerPlayerTypes(const QString &programPath, const QString &icon1, const QString &icon2);

    // The Exec line that opens a file with the program: the program path quoted, then %f.
    static QString openCommand(const QString &programPath);
    // "VLN" and "..mp3" to "vln" and "mp3"; empty when nothing usable is left.
    static QString normalizeExtension(const QString &extension);
    // The MIME types the extension stands for: the known ones, else the one we define for the type name.
    static QStringList mimeTypesFor(const QString &extension, const QString &typeName);
    // True when mimeTypesFor gives a type of ours that needs describing.
    static bool isKnownExtension(const QString &extension);
    // "Vorlan Sound File" -> "vorlan-sound-file".
    static QString slug(const QString &name);

    QString desktopFilePath(const QString &typeName) const;
    QString mimePackagePath(const QString &mimeType) const;
    QString mimeAppsPath() const;

    static constexpr const char *DefaultGroup = "Default Applications";

private:
    bool writeMimePackage(const QString &mimeType, const QString &extension, const QString &description,
                          const QString &icon) const;
    bool writeDesktopFile(const QString &typeName, const QString &description, const QString &command,
                          const QString &icon, const QStringList &mimeTypes) const;
    bool writeDefaults(const QStringList &mimeTypes, const QString &desktopId) const;
    void runDatabaseTools(bool mimeChanged) const;

    QString m_dataHome;
    QString m_configHome;
    bool m_runTools = true;
};
