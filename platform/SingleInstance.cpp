#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>

#include <QThread>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
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
    // close() removes the socket file, so the next start does not take it for a crashed player's.
    if (m_server)
        m_server->close();
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
    QLocalSocket probe;
    probe.connectToServer(m_path);
    const bool alive = probe.waitForConnected(1000);
    probe.abort();
    return alive;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
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
        if (!isOwnSocket(m_path) || !QLocalServer::removeServer(m_path))
            return false;
    }

    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    server->setMaxPendingConnections(MaxPendingClients);
    if (!server->listen(m_path)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // A real hand-over sends its frame at once; the client that has waited longest gives way, so
        // clients that connect and say nothing cannot lock a second start out.
        if (m_pending.size() >= MaxPendingClients && !m_arrival.isEmpty())
            dropClient(m_arrival.first());
        m_pending.insert(socket, QByteArray());
        m_arrival.append(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readClient(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { dropClient(socket); });
        QTimer::singleShot(m_clientTimeoutMs, socket, [this, socket] { dropClient(socket); });
        // Data may have arrived before the connections above were made.
        if (socket->bytesAvailable() > 0)
            readClient(socket);
    }
}

void SingleInstance::dropClient(QLocalSocket *socket)
{
    if (!m_pending.remove(socket))
        return;
    m_arrival.removeOne(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SingleInstance::readClient(QLocalSocket *socket)
{
    auto it = m_pending.find(socket);
    if (it == m_pending.end())
        return;
    QByteArray &buffer = it.value();
    // Never read past one frame: the cap holds whatever the client sends.
    qint64 wanted = 4 - buffer.size();
    if (buffer.size() >= 4)
        wanted = 4 + qint64(qFromBigEndian<quint32>(buffer.constData())) - buffer.size();
    while (wanted > 0 && socket->bytesAvailable() > 0) {
        const QByteArray chunk = socket->read(wanted);
        if (chunk.isEmpty())
            break;
        buffer += chunk;
        if (buffer.size() == 4) {
            const quint32 length = qFromBigEndian<quint32>(buffer.constData());
            if (length > quint32(MaxParamBytes)) {
                dropClient(socket);
                return;
            }
            wanted = length;
        } else {
            wanted -= chunk.size();
        }
    }
    if (buffer.size() < 4 || wanted > 0)
        return;

    const QByteArray payload = buffer.mid(4);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString param = utf8(payload);
    if (utf8.hasError() || payload.contains('\0')) {
        dropClient(socket);
        return;
    }
    // Answer first: the second start can end while this player loads what it was given.
    socket->write(QByteArray(1, Acknowledgement));
    socket->flush();
    m_pending.remove(socket);
    m_arrival.removeOne(socket);
    socket->disconnect(this);
    socket->disconnectFromServer();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (socket->state() == QLocalSocket::UnconnectedState)
        socket->deleteLater();
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
    QLocalSocket socket;
    socket.connectToServer(m_path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    if (socket.bytesAvailable() < 1 && !socket.waitForReadyRead(timeoutMs))
        return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == Acknowledgement;
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
