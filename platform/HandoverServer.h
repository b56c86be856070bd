#pragma once
// The running player's end of the hand-over socket. It lives in a module of its own, because the local socket
// classes bring the network library: the player makes the listening socket itself at start, and this server
// takes it over when the first client knocks.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>

class QLocalServer;
class QLocalSocket;

class HandoverServer : public QObject
{
    Q_OBJECT

public:
    // Takes listener (a listening local socket) over; it is closed with this server.
    HandoverServer(qintptr listener, int maxPending, int clientTimeoutMs, QObject *parent);
    bool isListening() const;

signals:
    void handOverReceived(const QString &param);

private:
    void acceptConnections();
    void readClient(QLocalSocket *socket);
    void dropClient(QLocalSocket *socket);

    QLocalServer *m_server;
    QHash<QLocalSocket *, QByteArray> m_pending;
    QList<QLocalSocket *> m_arrival; // pending clients, oldest first
    int m_maxPending;
    int m_clientTimeoutMs;
};

// The module's entry points, looked up by name.
extern "C" {
// A HandoverServer on listener, as a QObject with the signal handOverReceived(QString); nullptr when the
// socket cannot be taken over (it is closed then).
Q_DECL_EXPORT QObject *vorlanHandoverServer(qintptr listener, int maxPending, int clientTimeoutMs,
                                            QObject *parent);
// Sends frame to the player listening on path and waits for its acknowledgement.
Q_DECL_EXPORT bool vorlanHandoverSend(const QString *path, const QByteArray *frame, int timeoutMs);
}
