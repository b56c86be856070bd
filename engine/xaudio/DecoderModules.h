#pragma once
// The decoder modules of the formats that are not MPEG audio, each loaded when the first input it takes
// opens: libvorlan-flac.so (libFLAC) for native FLAC, libvorlan-ogg.so (libopusfile, libvorbisfile) for Ogg
// Opus and Ogg Vorbis, libvorlan-ffmpeg.so (FFmpeg) for the rest and for what those two refuse. A player that
// plays only MPEG files maps none; one that plays FLAC, Opus or Vorbis never maps FFmpeg.
#include "engine/xaudio/VorlanFfmpeg.h"

class DecoderModules
{
public:
    // The entry points of VorlanFfmpeg.h, which every decoder module has.
    struct Entries {
        decltype(vorlanAvOpen) *open = nullptr;
        decltype(vorlanAvDecode) *decode = nullptr;
        decltype(vorlanAvSeek) *seek = nullptr;
        decltype(vorlanAvTell) *tell = nullptr;
        decltype(vorlanAvClose) *close = nullptr;
        decltype(vorlanAvTag) *tag = nullptr;
        decltype(vorlanAvTagsChanged) *tagsChanged = nullptr;
        decltype(vorlanAvRate) *rate = nullptr;
    };
    // A module's entry points, loaded on the first call; null when the module cannot be loaded.
    static const Entries *ffmpeg();
    static const Entries *flac();
    static const Entries *ogg();
};
