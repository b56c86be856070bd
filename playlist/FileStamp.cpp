#include "playlist/FileStamp.h"

#include "platform/FileName.h"

#include <sys/stat.h>

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    // Qt warns about a NUL in a file name; such a path names nothing anyway.
    if (path.isEmpty() || path.contains(QChar(0)))
        return stamp;
    struct stat st;
    // Only regular files: a FIFO or a device named in a list would block the MPEG reader or never end.
    if (::stat(FileName::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = st.st_ino;
    return stamp;
}
