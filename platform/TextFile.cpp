#include "platform/TextFile.h"
#include "platform/FileName.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TextFile
{

QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    // A byte-order mark is not part of the first line.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    const qsizetype n = bytes.size();
    qsizetype i = start;
    while (i < n) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines << decodeLine(bytes.mid(start, i - start));
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n)
        lines << decodeLine(bytes.mid(start));
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
    *bytes = file.read(maxBytes);
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

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    const QString target = writeTarget(path);
    if (target.isEmpty())
        return false;
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int removeUnfinishedSaves(const QString &folder, const QStringList &names)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString &name : names) {
        const QStringList found =
            dir.entryList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &candidate : found) {
            const QStringView tail = QStringView(candidate).right(6);
            if (std::all_of(tail.begin(), tail.end(),
                            [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; }) &&
                QFile::remove(dir.filePath(candidate)))
                ++removed;
        }
    }
    return removed;
}

bool writeLines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return writeAtomically(path, bytes);
}

} // namespace TextFile
