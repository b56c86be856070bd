#pragma once
// The tag reader module (libvorlan-taglib.so, TagLib behind it), loaded when the first ID3v2 or APE tag or
// the first file of another format than MPEG is met.
#include "tags/ExtendedTags.h"
#include "tags/FileTags.h"

class QByteArray;

class TagLibModule
{
public:
    // The names in bytes (an ID3v2 tag, or an APE tag ending in its footer); empty without the module.
    static ExtendedTags::Names names(const QByteArray &bytes);
    // The front cover's bytes in the file's tags, at most maxBytes; empty without one or without the module.
    static QByteArray cover(const QString &path, qint64 maxBytes);
    // The tags of the open file fd of the given kind; kind None without the module.
    static FileTags::Info fileTags(int fd, FileTags::Kind kind, bool withStream);
    // Writes the fields into fd in place; false without the module.
    static bool writeFileTags(int fd, FileTags::Kind kind, const FileTags::Fields &fields);
};
