#pragma once
// File names are bytes. A name that is not valid UTF-8 (a Latin-1 "café.mp3" from an old disk) is carried as
// text decoded as Latin-1, one path part at a time, so it shows readably; turning the text back into bytes
// takes the Latin-1 bytes of a part when only they name something on disk, so such a file still opens,
// plays and is found again when read back from a list.
#include <QByteArray>
#include <QString>

namespace FileName
{

// A name from the system (a folder entry, a command-line argument): each part between "/" as UTF-8 when
// valid, else as Latin-1.
QString decode(const QByteArray &bytes);
// The bytes of a path for the system: UTF-8, except for parts that exist on disk only in their Latin-1
// form. A path that names nothing yet is UTF-8.
QByteArray encode(const QString &path);

} // namespace FileName
