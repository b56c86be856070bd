// The cover reader over any bytes as a song: the cheap look at its ends, the tag module's parsers of every
// format it knows, and the picture's header and decoding with their caps.
#include "tags/CoverArt.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::writeInput("song", data, size);
    (void)CoverArt::decode(CoverArt::find(path), QSize(96, 96));
    // The bytes as a picture themselves, as a file beside a song would be.
    (void)CoverArt::decode(fuzzsupport::bytes(data, size));
    return 0;
}
