#include "platform/TWinReboot.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QFile>

bool TWinReboot::powerOff()
{
    m_lastError.clear();
    if (m_recorder)
        return m_recorder();
    const QString log = qEnvironmentVariable(LogVariable);
    if (!log.isEmpty())
        return appendToLog(log);
    return callLogind();
}

bool TWinReboot::appendToLog(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_lastError = file.errorString();
        return false;
    }
    const QByteArray line =
        "PowerOff " + QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    if (file.write(line) != line.size() || !file.flush()) {
        m_lastError = file.errorString();
        return false;
    }
    return true;
}

bool TWinReboot::callLogind()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        m_lastError = bus.lastError().message();
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("The system bus cannot be reached.");
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    // false: never stop for a password prompt; the player is not there to answer it.
    call << false;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 25000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        m_lastError = reply.errorMessage();
        if (m_lastError.isEmpty())
            m_lastError = reply.errorName();
        return false;
    }
    return true;
}
