#include "platform/HandoverServer.h"

#include "platform/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>

HandoverServer::HandoverServer(qintptr listener, int maxPending, int clientTimeoutMs, QObject *parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_maxPending(maxPending),
      m_clientTimeoutMs(clientTimeoutMs)
{
    m_server->setMaxPendingConnections(maxPending);
    if (!m_server->listen(listener))
        ::close(int(listener));
    connect(m_server, &QLocalServer::newConnection, this, &HandoverServer::acceptConnections);
}

bool HandoverServer::isListening() const
{
    return m_server->isListening();
}

void HandoverServer::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // A real hand-over sends its frame at once; the client that has waited longest gives way, so
        // clients that connect and say nothing cannot lock a second start out.
        if (m_pending.size() >= m_maxPending && !m_arrival.isEmpty())
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

void HandoverServer::dropClient(QLocalSocket *socket)
{
    if (!m_pending.remove(socket))
        return;
    m_arrival.removeOne(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void HandoverServer::readClient(QLocalSocket *socket)
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
            if (length > quint32(SingleInstance::MaxParamBytes)) {
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
    socket->write(QByteArray(1, SingleInstance::Acknowledgement));
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

QObject *vorlanHandoverServer(qintptr listener, int maxPending, int clientTimeoutMs, QObject *parent)
{
    auto *server = new HandoverServer(listener, maxPending, clientTimeoutMs, parent);
    if (server->isListening())
        return server;
    delete server;
    return nullptr;
}

bool vorlanHandoverSend(const QString *path, const QByteArray *frame, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(*path);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(*frame);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    if (socket.bytesAvailable() < 1 && !socket.waitForReadyRead(timeoutMs))
        return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == SingleInstance::Acknowledgement;
}
