// The ICY metadata parser of radio streams: any interval, any bytes, in pieces of any size.
#include "engine/xaudio/StreamSource.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    IcyStripper icy;
    icy.setMetaInterval(size_t(data[0]) << 8 | data[1]);
    const size_t piece = data[2] % 64 + 1;
    std::vector<uint8_t> audio;
    for (size_t at = 3; at < size; at += piece)
        icy.feed(data + at, std::min(piece, size - at), audio);
    (void)icy.streamTitle();
    return 0;
}
