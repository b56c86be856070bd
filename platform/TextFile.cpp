#include "platform/TextFile.h"
#include "platform/FileName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile
{

namespace
{

// The length of the well-formed UTF-8 sequence of more than one byte at p, or 0.
int utf8Sequence(const unsigned char *p, qsizetype left)
{
    const unsigned char c = p[0];
    int length = 0;
    unsigned int min = 0;
    unsigned int code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2, code = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3, code = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4, code = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Mixed: a list line may hold a Latin-1 file name beside UTF-8 titles and folders, so every well-formed
    // UTF-8 sequence is read as such and every other byte as Latin-1.
    text.clear();
    text.reserve(bytes.size());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const int length = p[i] < 0x80 ? 0 : utf8Sequence(p + i, n - i);
        if (length == 0) {
            text += QChar(p[i]);
            ++i;
        } else {
            text += QString::fromUtf8(reinterpret_cast<const char *>(p + i), length);
            i += length;
        }
    }
    return text;
}

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines;
    forEachRawLine(bytes, [&lines](const QByteArray &line) { lines << decodeLine(line); });
    return lines;
}

namespace
{

QByteArray programName()
{
    const QString name = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    return name.isEmpty() ? QByteArray("vorlan") : name.toLower().toLocal8Bit();
}

void refuse(const QString &path, const char *why)
{
    std::fprintf(stderr, "%s: not writing %s: %s\n", programName().constData(),
                 QFile::encodeName(path).constData(), why);
}

ReadStatus readResource(const QString &path, qint64 maxBytes, QByteArray *bytes)
{
    QFile file(path);
    if (!file.exists())
        return ReadStatus::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::Failed;
    if (file.size() > maxBytes)
        return ReadStatus::TooLarge;
    // Built in, so its size is known and final: read(maxBytes) would reserve the whole limit first.
    *bytes = file.readAll();
    return ReadStatus::Ok;
}

} // namespace

ReadStatus readBytes(const QString &path, qint64 maxBytes, QByteArray *bytes)
{
    bytes->clear();
    if (path.startsWith(QLatin1Char(':')))
        return readResource(path, maxBytes, bytes);
    if (path.isEmpty() || path.contains(QChar(0)))
        return ReadStatus::Missing;
    const QByteArray native = FileName::encode(path);
    // Non-blocking, so a FIFO cannot hold the open; the type is checked on what was opened.
    int fd;
    do {
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Failed;
    struct stat st;
    ReadStatus status = ReadStatus::Ok;
    if (::fstat(fd, &st) != 0)
        status = ReadStatus::Failed;
    else if (!S_ISREG(st.st_mode))
        status = ReadStatus::NotRegular;
    else if (st.st_size > maxBytes)
        status = ReadStatus::TooLarge;
    if (status == ReadStatus::Ok) {
        // A file that grows while it is read still ends at the limit.
        QByteArray data(qsizetype(st.st_size) + 1, Qt::Uninitialized);
        qint64 got = 0;
        for (;;) {
            if (got == data.size()) {
                if (got > maxBytes) {
                    status = ReadStatus::TooLarge;
                    break;
                }
                data.resize(qsizetype(std::min<qint64>(maxBytes + 1, got * 2 + 4096)));
            }
            const ssize_t n = ::read(fd, data.data() + got, size_t(data.size() - got));
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n < 0) {
                status = ReadStatus::Failed;
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        if (status == ReadStatus::Ok) {
            data.truncate(qsizetype(got));
            *bytes = std::move(data);
        }
    }
    ::close(fd);
    return status;
}

QStringList readLines(const QString &path, bool *ok, qint64 maxBytes, ReadStatus *status)
{
    QByteArray bytes;
    const ReadStatus result = readBytes(path, maxBytes, &bytes);
    if (ok)
        *ok = result == ReadStatus::Ok;
    if (status)
        *status = result;
    return splitLines(bytes);
}

QString writeTarget(const QString &path)
{
    const QByteArray native = FileName::encode(path);
    struct stat st;
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    if (::lstat(native.constData(), &st) != 0)
        return errno == ENOENT ? path : QString();
    if (S_ISREG(st.st_mode))
        return path;
    if (!S_ISLNK(st.st_mode)) {
        refuse(path, "it is not a regular file");
        return {};
    }
    // A link (a dotfiles folder, say) is followed when it ends at a regular file.
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &st) != 0) {
        refuse(path, "it is a link to nothing");
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        refuse(path, "it is a link to something that is not a regular file");
        return {};
    }
    return target;
}

namespace
{

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

bool writeAll(int fd, const char *data, qint64 size, int *error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    return writeAtomically(
        path, [&bytes](int fd, int *code) { return writeAll(fd, bytes.constData(), bytes.size(), code); },
        error);
}

bool writeAtomically(const QString &path, const std::function<bool(int fd, int *error)> &write,
                     QString *error)
{
    const QString target = writeTarget(path);
    if (target.isEmpty()) {
        if (error)
            *error = QStringLiteral("it is not a regular file");
        return false;
    }
    const QByteArray native = FileName::encode(target);
    // "<name>.XXXXXX" beside it, the shape removeUnfinishedSaves looks for.
    QByteArray temporary = native + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = systemError(errno);
        return false;
    }
    // The new file keeps the old one's permissions; a new one gets what the user's umask gives.
    struct stat old;
    mode_t mode;
    if (::stat(native.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // Every step is checked: a full disk fails at the write, at the sync or only at the close, and the old
    // file must stay whole whichever it is.
    int code = 0;
    bool ok = ::fchmod(fd, mode) == 0 || (code = errno, false);
    ok = ok && write(fd, &code);
    if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        code = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok && errno != EINTR) {
        code = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.constData(), native.constData()) != 0) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        if (error)
            *error = systemError(code ? code : EIO);
        return false;
    }
    // The rename itself reaches the disk with its folder.
    const QByteArray folder = FileName::encode(QFileInfo(target).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

int removeUnfinishedSaves(const QString &folder, const QStringList &names)
{
    // One look at the folder, compared by hand: name patterns would load a pattern engine at every start.
    int removed = 0;
    const QDir dir(folder);
    for (const QString &candidate : FileName::folderEntries(folder)) {
        const QStringView tail = QStringView(candidate).right(6);
        const bool temporary = candidate.size() > 7 &&
                               candidate.at(candidate.size() - 7) == QLatin1Char('.') &&
                               std::all_of(tail.begin(), tail.end(),
                                           [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
        if (!temporary || !names.contains(candidate.left(candidate.size() - 7)))
            continue;
        if (QFileInfo(dir.filePath(candidate)).isFile() && QFile::remove(dir.filePath(candidate)))
            ++removed;
    }
    return removed;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return writeAtomically(path, bytes, error);
}

bool writeByteLines(const QString &path, const QList<QByteArray> &lines, QString *error)
{
    QByteArray bytes;
    for (const QByteArray &line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return writeAtomically(path, bytes, error);
}

QByteArray lineWithFileName(const QString &line, const QString &fileName)
{
    bool ascii = true;
    for (const QChar c : fileName)
        ascii = ascii && c.unicode() < 0x80;
    // An ASCII name is its own bytes; a name holding a NUL names nothing (and Qt's search skips it).
    if (ascii || fileName.contains(QChar(0)))
        return line.toUtf8();
    const qsizetype at = line.lastIndexOf(fileName);
    if (at < 0 || QStringView(line).mid(at, fileName.size()) != fileName)
        return line.toUtf8();
    return line.left(at).toUtf8() + FileName::encode(fileName) + line.mid(at + fileName.size()).toUtf8();
}

} // namespace TextFile
