#pragma once
// File names are bytes. A name that is not valid UTF-8 (a Latin-1 "café.mp3" from an old disk) is carried as
// text decoded as Latin-1, one path part at a time, so it shows readably; turning the text back into bytes
// takes the Latin-1 bytes of a part when only they name something on disk, so such a file still opens,
// plays and is found again when read back from a list.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace FileName
{

// A name from the system (a folder entry, a command-line argument): each part between "/" as UTF-8 when
// valid, else as Latin-1.
QString decode(const QByteArray &bytes);
// The bytes of a path for the system: UTF-8, except for parts that exist on disk only in their Latin-1
// form. A path that names nothing yet is UTF-8.
QByteArray encode(const QString &path);
// The local file a file: URL names, its percent-escaped bytes decoded as decode() does, so a dropped
// Latin-1 name still names its file (QUrl would read the bytes as UTF-8 and lose them).
QString fromLocalUrl(const QUrl &url);
// The names in a folder as decode() reads them ("." and ".." left out); empty when it cannot be read.
QStringList folderEntries(const QString &folder);
// A path from Qt's own folder reading, where a name that is not UTF-8 has become replacement characters:
// each such part is looked up in its folder and given back as decode() reads it. Other paths come back as
// they are.
QString repair(const QString &path);

} // namespace FileName
