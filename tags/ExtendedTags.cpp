#include "tags/ExtendedTags.h"

#include "platform/FileName.h"
#include "tags/FileTags.h"
#include "tags/TagLibModule.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool readAt(int fd, off_t offset, char *buffer, size_t size)
{
    return offset >= 0 && size > 0 && ::pread(fd, buffer, size, offset) == ssize_t(size);
}

quint32 littleEndian(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

// Names never lie far in: a tag is read up to this much (a cover picture may be cut, its names are not).
constexpr qint64 MaxTagBytes = 1 << 20;

// The bytes of an ID3v2 tag at the front, else of an APE tag at the end (with an ID3v1 tag after it, if any),
// read in one go: TagLib then parses them in memory instead of seeking through the file itself. A file of
// another format than MPEG without an ID3v2 tag in front is read by TagLib as that format: its names go to
// *names instead.
QByteArray tagBytes(const QString &path, ExtendedTags::Names *names)
{
    const int fd = ::open(FileName::encode(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat st {
    };
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 32) {
        char head[10];
        if (readAt(fd, 0, head, 10) && std::memcmp(head, "ID3", 3) == 0) {
            const qint64 size = 10 + (qint64(head[6] & 0x7F) << 21 | qint64(head[7] & 0x7F) << 14 |
                                      qint64(head[8] & 0x7F) << 7 | qint64(head[9] & 0x7F));
            bytes.resize(std::min({size, qint64(st.st_size), MaxTagBytes}));
            if (!readAt(fd, 0, bytes.data(), size_t(bytes.size())))
                bytes.clear();
        } else if (const FileTags::Kind kind = FileTags::kindOf(fd, st.st_size);
                   kind != FileTags::Kind::None) {
            const FileTags::Info info = FileTags::read(fd, kind, false);
            *names = {info.fields.artist, info.fields.title, info.fields.album};
            ::close(fd);
            return {};
        }
        char tail[32];
        for (qint64 end : {qint64(st.st_size), qint64(st.st_size) - 128}) {
            if (!bytes.isEmpty() || !readAt(fd, off_t(end - 32), tail, 32) ||
                std::memcmp(tail, "APETAGEX", 8) != 0)
                continue;
            // The footer's size counts the items and the footer; a header, if present, lies before them.
            const qint64 size =
                qint64(littleEndian(tail + 12)) + ((littleEndian(tail + 20) & 0x80000000u) ? 32 : 0);
            const qint64 from = std::max<qint64>(0, end - std::min(size, MaxTagBytes));
            bytes.resize(st.st_size - from);
            if (!readAt(fd, off_t(from), bytes.data(), size_t(bytes.size())))
                bytes.clear();
        }
    }
    ::close(fd);
    return bytes;
}

} // namespace

namespace ExtendedTags
{

QString Names::artistTitle() const
{
    if (isEmpty())
        return QString();
    const QString unknown = QStringLiteral("Unknown");
    return (artist.isEmpty() ? unknown : artist) + QStringLiteral(" - ") +
           (title.isEmpty() ? unknown : title);
}

Names read(const QString &path)
{
    if (path.isEmpty())
        return {};
    Names names;
    const QByteArray bytes = tagBytes(path, &names);
    if (bytes.isEmpty())
        return names;
    return TagLibModule::names(bytes);
}

} // namespace ExtendedTags
