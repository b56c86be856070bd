#pragma once
// The entry points of the decoder modules: the FFmpeg module (libvorlan-ffmpeg.so), the decoder of every
// format that is not MPEG audio, and the FLAC module (libvorlan-flac.so) of native FLAC, which has the same
// ones. A plain C interface, so neither side depends on the other's C++ types; the engine reaches them only
// through DecoderModules.
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VORLAN_AV_EXPORT __attribute__((visibility("default")))

typedef struct VorlanAvInput VorlanAvInput;

// The bytes of the input: read() gives the bytes copied (0 at the end, -1 on an error); seek() the new
// position (-1 when it cannot), with SEEK_SET, SEEK_CUR or SEEK_END, or VORLAN_AV_SIZE for the size. A null
// seek makes the input a stream.
enum { VORLAN_AV_SIZE = 0x10000 };
typedef int (*VorlanAvRead)(void *user, uint8_t *buffer, int size);
typedef int64_t (*VorlanAvSeek)(void *user, int64_t offset, int whence);

// Open flags.
enum {
    // The input was refused by the MPEG decoder: only a container whose content is recognised for sure is
    // taken, and MPEG audio is left to that decoder.
    VORLAN_AV_SURE_ONLY = 1,
};

typedef struct VorlanAvInfo {
    int rate;          // of the PCM given out
    int channels;      // of the PCM given out: 1 or 2 (more are mixed down to two)
    int bitsPerSample; // of the source; 0 for a lossy codec
    int bitrate;       // average, kbit/s; 0 when unknown
    int64_t length;    // samples given out from start to end, encoder delay and padding removed; -1 unknown
    char codec[32];    // FFmpeg's codec name: "flac", "opus", "vorbis", "aac", "alac", "pcm_s16le", ...
    // Of the PCM given out: 2 for 16-bit samples; 4 for 32-bit ones, given for a lossless source of more than
    // 16 bits, with the source's bits at the top (a 24-bit sample shifted left by 8).
    int sampleBytes;
} VorlanAvInfo;

// Opens an input and decodes its first block, so an input that opens also plays. Null with why filled
// (at most whySize bytes, terminated) when it cannot.
VORLAN_AV_EXPORT VorlanAvInput *vorlanAvOpen(VorlanAvRead read, VorlanAvSeek seek, void *user, int flags,
                                             VorlanAvInfo *info, char *why, int whySize);
// The next block of interleaved PCM of info's sampleBytes: its frames (samples per channel), with *pcm valid
// until the next call; 0 at the end; -1 when the input failed (why filled). Damaged packets are skipped.
VORLAN_AV_EXPORT long vorlanAvDecode(VorlanAvInput *input, const void **pcm, char *why, int whySize);
// Places the input so the next sample given out is this one (from the start). 0, or -1 when it cannot.
VORLAN_AV_EXPORT int vorlanAvSeek(VorlanAvInput *input, int64_t sample);
// The sample the next block starts with.
VORLAN_AV_EXPORT int64_t vorlanAvTell(const VorlanAvInput *input);
VORLAN_AV_EXPORT void vorlanAvClose(VorlanAvInput *input);
// A tag of the input, its key matched without case (a Vorbis comment, an APE item, an MP4 atom or iTunes
// item): those of the logical stream now decoding first (a chained Ogg stream brings new ones with each
// part), then the file's. The value's length, copied into value (cut and terminated at size), or -1.
VORLAN_AV_EXPORT int vorlanAvTag(const VorlanAvInput *input, const char *key, char *value, int size);
// How many times a part with tags of its own began to decode, the first part included: it grows when a part
// of a chained Ogg stream brings new tags.
VORLAN_AV_EXPORT int vorlanAvTagsChanged(const VorlanAvInput *input);
// The rate of the block given out last: a part of a chained stream may have a rate of its own (info's rate is
// the first part's).
VORLAN_AV_EXPORT int vorlanAvRate(const VorlanAvInput *input);

#ifdef __cplusplus
}
#endif
