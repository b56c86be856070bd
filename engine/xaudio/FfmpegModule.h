#pragma once
// The FFmpeg module (libvorlan-ffmpeg.so), loaded when the first input that is not MPEG audio opens: a
// player that plays only MPEG files never maps FFmpeg.
#include "engine/xaudio/VorlanFfmpeg.h"

class FfmpegModule
{
public:
    struct Entries {
        decltype(vorlanAvOpen) *open = nullptr;
        decltype(vorlanAvDecode) *decode = nullptr;
        decltype(vorlanAvSeek) *seek = nullptr;
        decltype(vorlanAvTell) *tell = nullptr;
        decltype(vorlanAvClose) *close = nullptr;
        decltype(vorlanAvTag) *tag = nullptr;
        decltype(vorlanAvTagsChanged) *tagsChanged = nullptr;
    };
    // The module's entry points, loaded on the first call; null when the module cannot be loaded.
    static const Entries *entries();
};
