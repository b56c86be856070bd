#include "platform/HandoverModule.h"

#include "platform/HandoverServer.h"
#include "platform/Modules.h"

namespace
{

constexpr const char *Name = "vorlan-handover";

decltype(vorlanHandoverServer) *serverFactory()
{
    static const auto factory = Modules::entry<decltype(vorlanHandoverServer)>(Name, "vorlanHandoverServer");
    return factory;
}

} // namespace

bool HandoverModule::isAvailable()
{
    return serverFactory() != nullptr;
}

QObject *HandoverModule::server(qintptr listener, int maxPending, int clientTimeoutMs, QObject *parent)
{
    const auto factory = serverFactory();
    return factory ? factory(listener, maxPending, clientTimeoutMs, parent) : nullptr;
}

bool HandoverModule::send(const QString &path, const QByteArray &frame, int timeoutMs)
{
    static const auto sender = Modules::entry<decltype(vorlanHandoverSend)>(Name, "vorlanHandoverSend");
    return sender && sender(&path, &frame, timeoutMs);
}
