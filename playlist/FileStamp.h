#pragma once
// What tells a file apart from its earlier self: size, modification time and inode, with the duration the
// MPEG reader gave for it so stamped.
#include <QString>
#include <cstdint>

struct FileStamp {
    bool exists = false; // a regular file (links count as what they point at)
    int64_t size = -1;
    int64_t mtimeNs = 0;
    uint64_t inode = 0;
    int seconds = 0;

    // The stamp of path now; exists is false for anything but a regular file.
    static FileStamp of(const QString &path);
    bool sameFile(const FileStamp &other) const
    {
        return size == other.size && mtimeNs == other.mtimeNs && inode == other.inode;
    }
};
