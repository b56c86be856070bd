#include "engine/xaudio/DecoderModules.h"

#include "platform/Modules.h"

namespace
{

DecoderModules::Entries load(const char *name)
{
    DecoderModules::Entries e;
    e.open = Modules::entry<decltype(vorlanAvOpen)>(name, "vorlanAvOpen");
    e.decode = Modules::entry<decltype(vorlanAvDecode)>(name, "vorlanAvDecode");
    e.seek = Modules::entry<decltype(vorlanAvSeek)>(name, "vorlanAvSeek");
    e.tell = Modules::entry<decltype(vorlanAvTell)>(name, "vorlanAvTell");
    e.close = Modules::entry<decltype(vorlanAvClose)>(name, "vorlanAvClose");
    e.tag = Modules::entry<decltype(vorlanAvTag)>(name, "vorlanAvTag");
    e.tagsChanged = Modules::entry<decltype(vorlanAvTagsChanged)>(name, "vorlanAvTagsChanged");
    e.rate = Modules::entry<decltype(vorlanAvRate)>(name, "vorlanAvRate");
    return e;
}

const DecoderModules::Entries *complete(const DecoderModules::Entries &e)
{
    return e.open && e.decode && e.seek && e.tell && e.close && e.tag && e.tagsChanged && e.rate ? &e
                                                                                                 : nullptr;
}

} // namespace

const DecoderModules::Entries *DecoderModules::ffmpeg()
{
    static const Entries loaded = load("vorlan-ffmpeg");
    return complete(loaded);
}

const DecoderModules::Entries *DecoderModules::flac()
{
    static const Entries loaded = load("vorlan-flac");
    return complete(loaded);
}

const DecoderModules::Entries *DecoderModules::ogg()
{
    static const Entries loaded = load("vorlan-ogg");
    return complete(loaded);
}
