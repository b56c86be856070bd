#include "engine/xaudio/FfmpegModule.h"

#include "platform/Modules.h"

const FfmpegModule::Entries *FfmpegModule::entries()
{
    static const Entries loaded = [] {
        const char *const name = "vorlan-ffmpeg";
        Entries e;
        e.open = Modules::entry<decltype(vorlanAvOpen)>(name, "vorlanAvOpen");
        e.decode = Modules::entry<decltype(vorlanAvDecode)>(name, "vorlanAvDecode");
        e.seek = Modules::entry<decltype(vorlanAvSeek)>(name, "vorlanAvSeek");
        e.tell = Modules::entry<decltype(vorlanAvTell)>(name, "vorlanAvTell");
        e.close = Modules::entry<decltype(vorlanAvClose)>(name, "vorlanAvClose");
        e.tag = Modules::entry<decltype(vorlanAvTag)>(name, "vorlanAvTag");
        e.tagsChanged = Modules::entry<decltype(vorlanAvTagsChanged)>(name, "vorlanAvTagsChanged");
        return e;
    }();
    const bool complete = loaded.open && loaded.decode && loaded.seek && loaded.tell && loaded.close &&
                          loaded.tag && loaded.tagsChanged;
    return complete ? &loaded : nullptr;
}
