#include "tags/FileTags.h"

#include "platform/FileName.h"
#include "tags/PosixFile.h"
#include "tags/TagLibModule.h"

#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

using FileTags::Kind;

// Room for an Ogg page header with all its segment sizes, and the start of the first packet.
constexpr int HeadBytes = 27 + 255 + 16;

bool at(const QByteArray &head, qsizetype pos, const char *magic)
{
    const auto n = qsizetype(std::strlen(magic));
    return pos + n <= head.size() && std::memcmp(head.constData() + pos, magic, size_t(n)) == 0;
}

bool readAt(int fd, int64_t pos, char *buffer, qsizetype n)
{
    while (n > 0) {
        const ssize_t got = ::pread(fd, buffer, size_t(n), off_t(pos));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        pos += got;
        n -= got;
    }
    return true;
}

// The first bytes of the audio, past an ID3v2 tag some tools put before FLAC data.
QByteArray headOf(int fd, int64_t size)
{
    QByteArray head(int(std::min<int64_t>(size, HeadBytes)), '\0');
    if (head.isEmpty() || !readAt(fd, 0, head.data(), head.size()))
        return {};
    if (head.size() >= 10 && head.startsWith("ID3")) {
        const auto *h = reinterpret_cast<const unsigned char *>(head.constData());
        const int64_t skip = 10 + (int64_t(h[6] & 0x7F) << 21 | int64_t(h[7] & 0x7F) << 14 |
                                   int64_t(h[8] & 0x7F) << 7 | int64_t(h[9] & 0x7F));
        if (skip + 4 > size)
            return {};
        head.resize(4);
        if (!readAt(fd, skip, head.data(), 4) || head != "fLaC")
            return {};
    }
    return head;
}

int copyAll(int from, int to)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put < 0 ? errno : ENOSPC;
            done += put;
        }
    }
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

namespace FileTags
{

Kind kindOf(const QByteArray &head)
{
    if (at(head, 0, "fLaC"))
        return Kind::Flac;
    if (at(head, 0, "wvpk"))
        return Kind::WavPack;
    if (at(head, 4, "ftyp"))
        return Kind::Mp4;
    if (at(head, 0, "RIFF") && at(head, 8, "WAVE"))
        return Kind::Wav;
    if (at(head, 0, "FORM") && (at(head, 8, "AIFF") || at(head, 8, "AIFC")))
        return Kind::Aiff;
    if (at(head, 0, "OggS") && head.size() > 27) {
        // The first packet of the first page names the codec.
        const qsizetype packet = 27 + quint8(head.at(26));
        if (at(head, packet, "\x01vorbis"))
            return Kind::OggVorbis;
        if (at(head, packet, "OpusHead"))
            return Kind::OggOpus;
        if (at(head, packet,
               "\x7F"
               "FLAC"))
            return Kind::OggFlac;
    }
    return Kind::None;
}

Kind kindOf(int fd, qint64 size)
{
    return kindOf(headOf(fd, size));
}

Info read(int fd, Kind kind, bool withStream)
{
    return kind == Kind::None ? Info() : TagLibModule::fileTags(fd, kind, withStream);
}

Info read(const QString &path, bool withStream)
{
    if (path.isEmpty())
        return {};
    tagio::PosixFile file(FileName::encode(path), O_RDONLY);
    if (!file.isOpen())
        return {};
    return read(file.fd(), kindOf(file.fd(), file.stat().st_size), withStream);
}

bool write(const QString &path, const Fields &fields, QString *error)
{
    // The copy goes beside the file a link names, so the link stays a link.
    char resolved[PATH_MAX];
    if (path.isEmpty() || !::realpath(FileName::encode(path).constData(), resolved))
        return fail(error, qt_error_string(path.isEmpty() ? ENOENT : errno));
    const QByteArray target(resolved);
    tagio::PosixFile source(target, O_RDONLY);
    if (!source.isOpen())
        return fail(error, source.errorString());
    const Kind kind = kindOf(source.fd(), source.stat().st_size);
    if (kind == Kind::None)
        return fail(error, QStringLiteral("Not a file whose tags can be written"));

    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temp = target.left(slash + 1) + '.' + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, qt_error_string(errno));
    const struct stat &st = source.stat();
    int err = copyAll(source.fd(), fd);
    if (err == 0 && !TagLibModule::writeFileTags(fd, kind, fields))
        err = EIO;
    if (err == 0) {
        // The owner can be kept only by root or the owner; the mode after it, as a change of owner may drop
        // the set-id bits.
        [[maybe_unused]] const int kept = ::fchown(fd, st.st_uid, st.st_gid);
        if (::fchmod(fd, st.st_mode & 07777) != 0 || ::fsync(fd) != 0)
            err = errno;
    }
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.constData(), target.constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.constData());
        return fail(error,
                    err == EIO ? QStringLiteral("The tags could not be written") : qt_error_string(err));
    }
    return true;
}

QString channelsText(int channels)
{
    if (channels == 1)
        return QStringLiteral("Mono");
    if (channels == 2)
        return QStringLiteral("Stereo");
    return QStringLiteral("%1 channels").arg(channels);
}

} // namespace FileTags
