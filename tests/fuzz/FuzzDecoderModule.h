#pragma once
// What the decoder modules' fuzz targets share: opening, decoding, seeking and reading tags through a
// module's entry points over any bytes, as a file (seekable) and as a stream, sure of the format or not.
#include "engine/xaudio/DecoderModules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzsupport
{

struct Memory {
    const uint8_t *data;
    int64_t size;
    int64_t pos = 0;
};

inline int readMemory(void *user, uint8_t *buffer, int size)
{
    auto *m = static_cast<Memory *>(user);
    const int n = int(std::clamp<int64_t>(m->size - m->pos, 0, size));
    std::memcpy(buffer, m->data + m->pos, size_t(n));
    m->pos += n;
    return n;
}

inline int64_t seekMemory(void *user, int64_t offset, int whence)
{
    auto *m = static_cast<Memory *>(user);
    if (whence == VORLAN_AV_SIZE)
        return m->size;
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? m->pos : m->size;
    if (offset > INT64_MAX / 2 || offset < -(INT64_MAX / 2) || base + offset < 0)
        return -1;
    m->pos = std::min(base + offset, m->size);
    return base + offset;
}

// The first byte chooses: bit 0 a file (else a stream), bit 1 sure of the format only.
inline int fuzzDecoderModule(const DecoderModules::Entries *av, const char *name, const uint8_t *data,
                             size_t size)
{
    if (!av) {
        std::fprintf(stderr, "the %s module is not built\n", name);
        std::abort();
    }
    if (size < 1)
        return 0;
    const bool file = data[0] & 1;
    const int flags = data[0] & 2 ? VORLAN_AV_SURE_ONLY : 0;
    Memory memory{data + 1, int64_t(size - 1)};
    VorlanAvInfo info{};
    char why[128];
    VorlanAvInput *in =
        av->open(readMemory, file ? seekMemory : nullptr, &memory, flags, &info, why, sizeof why);
    if (!in)
        return 0;
    const void *pcm = nullptr;
    for (int block = 0; block < 64 && av->decode(in, &pcm, why, sizeof why) > 0; ++block) {
    }
    if (file && info.length > 0)
        for (const int64_t at : {info.length / 2, info.length / 7, info.length - 1, info.length})
            if (av->seek(in, at) == 0)
                for (int block = 0; block < 8 && av->decode(in, &pcm, why, sizeof why) > 0; ++block) {
                }
    (void)av->tell(in);
    char value[64];
    (void)av->tag(in, "TITLE", value, sizeof value);
    (void)av->tag(in, "REPLAYGAIN_TRACK_GAIN", nullptr, 0);
    (void)av->tagsChanged(in);
    av->close(in);
    return 0;
}

} // namespace fuzzsupport
