#include "tags/TagLibModule.h"

#include "platform/Modules.h"

ExtendedTags::Names TagLibModule::names(const QByteArray &bytes)
{
    static const auto reader = Modules::entry<decltype(vorlanTagNames)>("vorlan-taglib", "vorlanTagNames");
    ExtendedTags::Names names;
    if (reader)
        reader(&bytes, &names);
    return names;
}
