#include "platform/LockFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

int openLock(const QByteArray &native)
{
    int fd;
    do {
        // Non-blocking and never through a link: nothing in the lock's place can hold the start.
        fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                    0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

LockFile::LockFile(QString path) : m_path(std::move(path)) {}

LockFile::~LockFile()
{
    unlock();
}

QByteArray LockFile::textFor(qint64 pid, const QString &program, const QString &host)
{
    return QByteArray::number(pid) + '\n' + program.toUtf8() + '\n' + host.toUtf8() + '\n';
}

LockFile::Holder LockFile::parse(const QByteArray &text)
{
    Holder holder;
    const QList<QByteArray> lines = text.left(MaxTextBytes).split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
    if (!number || pid <= 0 || pid > 0x3fffffff)
        return holder;
    holder.pid = pid;
    // Names are short; anything longer is junk and not worth showing.
    const auto name = [&lines](int i) {
        const QByteArray line = lines.value(i).trimmed();
        return line.size() <= 255 ? QString::fromUtf8(line) : QString();
    };
    holder.program = name(1);
    holder.host = name(2);
    return holder;
}

bool LockFile::setAside(const QByteArray &native)
{
    const QByteArray aside = native + ".stale." + QByteArray::number(qint64(::getpid()));
    return ::rename(native.constData(), aside.constData()) == 0;
}

void LockFile::readHolder(int fd)
{
    m_holder = {};
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size > MaxTextBytes)
        return;
    QByteArray text(MaxTextBytes, Qt::Uninitialized);
    const ssize_t n = ::pread(fd, text.data(), size_t(text.size()), 0);
    if (n > 0)
        m_holder = parse(text.left(n));
}

LockFile::Result LockFile::tryLock()
{
    if (m_fd >= 0)
        return Result::Locked;
    const QByteArray native = QFile::encodeName(m_path);
    if (native.isEmpty())
        return Result::Unavailable;
    // A few rounds: something set aside, or a holder that ended and removed its file, asks for a new look.
    for (int round = 0; round < 4; ++round) {
        struct stat named;
        if (::lstat(native.constData(), &named) == 0 && !S_ISREG(named.st_mode)) {
            if (!setAside(native))
                return Result::Unavailable;
            continue;
        }
        const int fd = openLock(native);
        if (fd < 0) {
            if (errno == ELOOP || errno == ENXIO || errno == EISDIR || errno == ENODEV) {
                if (!setAside(native))
                    return Result::Unavailable;
                continue;
            }
            return Result::Unavailable;
        }
        struct stat opened;
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            if (!setAside(native))
                return Result::Unavailable;
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int why = errno;
            if (why == EWOULDBLOCK)
                readHolder(fd);
            ::close(fd);
            return why == EWOULDBLOCK ? Result::Held : Result::Unavailable;
        }
        // A holder that ended between our open and our lock removed the file we locked: look again.
        if (::lstat(native.constData(), &named) != 0 || !sameFile(named, opened)) {
            ::close(fd);
            continue;
        }
        const QByteArray text = textFor(QCoreApplication::applicationPid(),
                                        QCoreApplication::applicationName(), QSysInfo::machineHostName());
        // What was there (junk, another machine's lock, a sparse giant) is not read: it is replaced. A full
        // disk may not take the text; the lock holds all the same, the text only names its holder.
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.constData(), size_t(text.size()), 0);
        }
        m_fd = fd;
        m_holder = parse(text);
        return Result::Locked;
    }
    return Result::Unavailable;
}

void LockFile::unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so no later start finds a file of ours to take.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}
