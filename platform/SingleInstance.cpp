#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// At most this many clients are read at once; a flood of idle connections cannot starve the player.
constexpr int MaxPendingClients = 16;

bool isOwnSocket(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISSOCK(st.st_mode) && st.st_uid == ::getuid();
}

bool pathExists(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool socketAddress(const QString &path, sockaddr_un *address)
{
    const QByteArray encoded = QFile::encodeName(path);
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

// A connected client socket, or -1: connecting waits at most timeoutMs, and so does every later send or
// receive on it.
int connectTo(const QString &path, int timeoutMs)
{
    sockaddr_un address;
    if (!socketAddress(path, &address))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    int r;
    do
        r = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    while (r != 0 && errno == EINTR);
    if (r != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray frame(const QString &param)
{
    const QByteArray utf8 = param.toUtf8();
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(utf8.size()), bytes.data());
    return bytes + utf8;
}

} // namespace

SingleInstance::SingleInstance(QObject *parent) : SingleInstance(defaultServerPath(), parent) {}

SingleInstance::SingleInstance(const QString &serverPath, QObject *parent)
    : QObject(parent), m_path(serverPath)
{
}

SingleInstance::~SingleInstance()
{
    for (const quint64 id : m_pending.keys())
        dropClient(id);
    closeServer();
}

void SingleInstance::closeServer()
{
    if (m_serverFd < 0)
        return;
    delete m_serverNotifier;
    m_serverNotifier = nullptr;
    ::close(m_serverFd);
    m_serverFd = -1;
    // Gone with the player, so the next start does not take it for a crashed player's.
    ::unlink(QFile::encodeName(m_path).constData());
}

QString SingleInstance::defaultServerPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime))
        return runtime + QStringLiteral("/vorlan.socket");
    return QDir::tempPath() + QStringLiteral("/vorlan-%1/player.socket").arg(::getuid());
}

bool SingleInstance::folderIsPrivate() const
{
    // $XDG_RUNTIME_DIR is the user's own by definition; the shared temp folder needs a folder of our own that
    // nobody else can have put there first.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!runtime.isEmpty() && QDir::cleanPath(runtime) == folder)
        return true;
    const QByteArray encoded = QFile::encodeName(folder);
    if (::mkdir(encoded.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (::lstat(encoded.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(encoded.constData(), 0700) != 0)
        return false;
    return true;
}

bool SingleInstance::serverIsAlive() const
{
    if (!isOwnSocket(m_path))
        return false;
    const int fd = connectTo(m_path, 1000);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool SingleInstance::isListening() const
{
    return m_serverFd >= 0;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    if (!folderIsPrivate())
        return false;

    // Two starts at once must not both find the socket dead and remove each other's new one.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(3000))
        return false;

    if (pathExists(m_path)) {
        if (serverIsAlive())
            return false;
        // Only a socket is ours to clear away; any other file under that name is left alone.
        if (!isOwnSocket(m_path) || ::unlink(QFile::encodeName(m_path).constData()) != 0)
            return false;
    }

    sockaddr_un address;
    if (!socketAddress(m_path, &address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // Only the user may connect; the folder is the user's alone as well.
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, 0600) != 0 || ::listen(fd, 64) != 0) {
        const bool bound = pathExists(m_path) && isOwnSocket(m_path);
        ::close(fd);
        if (bound)
            ::unlink(address.sun_path);
        return false;
    }
    m_serverFd = fd;
    m_serverNotifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_serverNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        const int fd = ::accept4(m_serverFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: no one else waits; anything else (out of descriptors): the next wake tries
                    // again
        }
        // A real hand-over sends its frame at once; the client that has waited longest gives way, so
        // clients that connect and say nothing cannot lock a second start out.
        if (m_pending.size() >= MaxPendingClients && !m_arrival.isEmpty())
            dropClient(m_arrival.first());
        const quint64 id = m_nextClient++;
        Client &client = m_pending[id];
        client.fd = fd;
        client.notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
        connect(client.notifier, &QSocketNotifier::activated, this, [this, id] { readClient(id); });
        m_arrival.append(id);
        QTimer::singleShot(m_clientTimeoutMs, this, [this, id] { dropClient(id); });
        readClient(id);
    }
}

void SingleInstance::dropClient(quint64 id)
{
    const auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    // Out of the event loop at once, so the descriptor can close; the notifier itself may be the sender.
    it->notifier->setEnabled(false);
    it->notifier->deleteLater();
    ::close(it->fd);
    m_pending.erase(it);
    m_arrival.removeOne(id);
}

void SingleInstance::readClient(quint64 id)
{
    auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    QByteArray &buffer = it->buffer;
    const int fd = it->fd;
    // Never read past one frame: the cap holds whatever the client sends.
    qint64 wanted = 4 - buffer.size();
    if (buffer.size() >= 4)
        wanted = 4 + qint64(qFromBigEndian<quint32>(buffer.constData())) - buffer.size();
    char chunk[4096];
    while (wanted > 0) {
        const ssize_t n = ::read(fd, chunk, size_t(std::min<qint64>(wanted, qint64(sizeof chunk))));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // the rest comes later
        if (n <= 0) {
            dropClient(id); // gone before its frame was whole, or broken
            return;
        }
        buffer.append(chunk, n);
        if (buffer.size() == 4) {
            const quint32 length = qFromBigEndian<quint32>(buffer.constData());
            if (length > quint32(MaxParamBytes)) {
                dropClient(id);
                return;
            }
            wanted = length;
        } else {
            wanted -= n;
        }
    }

    const QByteArray payload = buffer.mid(4);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString param = utf8(payload);
    if (utf8.hasError() || payload.contains('\0')) {
        dropClient(id);
        return;
    }
    // Answer first: the second start can end while this player loads what it was given.
    const char answer = Acknowledgement;
    (void)::send(fd, &answer, 1, MSG_NOSIGNAL);
    dropClient(id);
    emit handOverReceived(param);
}

bool SingleInstance::sendToRunning(const QString &param, int timeoutMs)
{
    // Never hand a command line to a socket of another user.
    if (!isOwnSocket(m_path))
        return false;
    const QByteArray bytes = frame(param);
    if (bytes.size() - 4 > MaxParamBytes)
        return false;
    const int fd = connectTo(m_path, timeoutMs);
    if (fd < 0)
        return false;
    char answer = 0;
    ssize_t n = -1;
    if (sendAll(fd, bytes)) {
        do
            n = ::recv(fd, &answer, 1, 0);
        while (n < 0 && errno == EINTR);
    }
    ::close(fd);
    return n == 1 && answer == Acknowledgement;
}

SingleInstance::Claim SingleInstance::claim(const QString &lockPath, const QString &param, int waitMs)
{
    m_lock = std::make_unique<QLockFile>(lockPath);
    // Only a dead holder makes the lock stale, never its age: a player runs for weeks.
    m_lock->setStaleLockTime(0);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (m_lock->tryLock(0)) {
            if (!listen())
                std::fprintf(stderr, "vorlan: cannot listen on %s; later starts will not reach this player\n",
                             QFile::encodeName(m_path).constData());
            return Claim::Running;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            // No lock can be made there (a read-only folder): the socket alone decides.
            m_lock.reset();
            if (listen())
                return Claim::Running;
            if (sendToRunning(param))
                return Claim::HandedOver;
            std::fprintf(stderr,
                         "vorlan: another player seems to run but does not answer; starting anyway\n");
            return Claim::Running;
        }
        const qint64 left = waitMs - clock.elapsed();
        if (sendToRunning(param, int(qBound(qint64(200), left, qint64(3000)))))
            return Claim::HandedOver;
        if (clock.elapsed() >= waitMs)
            break;
        QThread::msleep(200);
    }
    m_lock.reset();
    std::fprintf(
        stderr,
        "vorlan: another player runs on these files but does not answer; not starting a second one\n");
    return Claim::Refused;
}
