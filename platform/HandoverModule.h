#pragma once
// The hand-over socket's module (libvorlan-handover.so, platform/HandoverServer.h), loaded when a client
// first knocks or a second start first sends.
#include <QtGlobal>

class QByteArray;
class QObject;
class QString;

class HandoverModule
{
public:
    static bool isAvailable();
    // A server that takes the listening socket over (closing it when it cannot serve), as a QObject with the
    // signal handOverReceived(QString); nullptr when the module or the server failed.
    static QObject *server(qintptr listener, int maxPending, int clientTimeoutMs, QObject *parent);
    // Sends frame to the player listening on path and waits for its acknowledgement; false without the
    // module.
    static bool send(const QString &path, const QByteArray &frame, int timeoutMs);
};
