#include "platform/SingleInstance.h"

#include "platform/HandoverModule.h"
#include "platform/LockFile.h"
#include "platform/PlatformLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

// At most this many clients are read at once; a flood of idle connections cannot starve the player.
constexpr int MaxPendingClients = 16;
// Clients waiting to be taken while the player is busy; the ones beyond are refused by the system.
constexpr int Backlog = 64;

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

// A non-blocking local socket, and the address of path for it; -1 when the path does not fit or no socket
// can be made.
int localSocket(const QString &path, sockaddr_un *address)
{
    *address = {};
    address->sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof address->sun_path)
        return -1;
    std::memcpy(address->sun_path, encoded.constData(), size_t(encoded.size()));
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
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
    closeSocket();
}

void SingleInstance::closeSocket()
{
    delete m_knock;
    m_knock = nullptr;
    delete m_server;
    m_server = nullptr;
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
    // Removed, so the next start does not take it for a crashed player's; only if the file is still the
    // socket this player made.
    struct stat st;
    const QByteArray encoded = QFile::encodeName(m_path);
    if (m_socketInode != 0 && ::lstat(encoded.constData(), &st) == 0 && st.st_dev == m_socketDevice &&
        st.st_ino == m_socketInode)
        ::unlink(encoded.constData());
    m_socketInode = 0;
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
    sockaddr_un address;
    const int fd = localSocket(m_path, &address);
    if (fd < 0)
        return false;
    // A player whose queue of clients is full is alive too.
    const bool alive = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 ||
                       errno == EAGAIN || errno == EINPROGRESS;
    ::close(fd);
    return alive;
}

bool SingleInstance::isListening() const
{
    return m_listener >= 0 || m_server;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    if (!folderIsPrivate())
        return false;

    // Two starts at once must not both find the socket dead and remove each other's new one.
    LockFile lock(m_path + QStringLiteral(".lock"));
    QElapsedTimer waited;
    waited.start();
    LockFile::Result locked;
    while ((locked = lock.tryLock()) == LockFile::Result::Held && waited.elapsed() < 3000)
        QThread::msleep(20);
    if (locked != LockFile::Result::Locked)
        return false;

    if (pathExists(m_path)) {
        if (serverIsAlive())
            return false;
        // Only a socket is ours to clear away; any other file under that name is left alone.
        if (!isOwnSocket(m_path) || ::unlink(QFile::encodeName(m_path).constData()) != 0)
            return false;
    }

    sockaddr_un address;
    const int fd = localSocket(m_path, &address);
    if (fd < 0)
        return false;
    // Only the user may connect: the file is made with the socket's own mode, and made so again after.
    struct stat st;
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return false;
    }
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::lstat(address.sun_path, &st) != 0 ||
        ::listen(fd, Backlog) != 0) {
        ::close(fd);
        ::unlink(address.sun_path);
        return false;
    }
    m_listener = fd;
    m_socketDevice = st.st_dev;
    m_socketInode = st.st_ino;
    m_knock = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_knock, &QSocketNotifier::activated, this, &SingleInstance::serveFirstClient);
    return true;
}

void SingleInstance::serveFirstClient()
{
    if (!m_failed) {
        if (HandoverModule::isAvailable()) {
            m_knock->setEnabled(false);
            m_knock->deleteLater();
            m_knock = nullptr;
            // The server takes the socket over, and closes it if it cannot serve.
            m_server = HandoverModule::server(m_listener, MaxPendingClients, m_clientTimeoutMs, this);
            m_listener = -1;
            if (m_server)
                connect(m_server, SIGNAL(handOverReceived(QString)), this, SIGNAL(handOverReceived(QString)));
            return;
        }
        m_failed = true;
    }
    // Nothing can read the clients: they are told at once, instead of waiting for an answer.
    for (;;) {
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            break;
        ::close(client);
    }
}

bool SingleInstance::sendToRunning(const QString &param, int timeoutMs)
{
    // Never hand a command line to a socket of another user.
    if (!isOwnSocket(m_path))
        return false;
    const QByteArray bytes = frame(param);
    if (bytes.size() - 4 > MaxParamBytes)
        return false;
    return HandoverModule::send(m_path, bytes, timeoutMs);
}

SingleInstance::Claim SingleInstance::claim(const QString &lockPath, const QString &param, int waitMs)
{
    m_lock = std::make_unique<LockFile>(lockPath);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const LockFile::Result result = m_lock->tryLock();
        if (result == LockFile::Result::Locked) {
            if (!listen())
                qCWarning(lcPlatform, "cannot listen on %s; later starts will not reach this player",
                          QFile::encodeName(m_path).constData());
            return Claim::Running;
        }
        if (result == LockFile::Result::Unavailable) {
            // No lock can be made there (a read-only folder): the socket alone decides.
            m_lock.reset();
            if (listen())
                return Claim::Running;
            if (sendToRunning(param))
                return Claim::HandedOver;
            qCWarning(lcPlatform, "another player seems to run but does not answer; starting anyway");
            return Claim::Running;
        }
        m_holderPid = m_lock->holder().pid;
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
