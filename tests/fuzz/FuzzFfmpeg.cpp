// Opening, decoding and seeking through the FFmpeg module over any bytes.
#include "tests/fuzz/FuzzDecoderModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DecoderModules::Entries *av = DecoderModules::ffmpeg();
    return fuzzsupport::fuzzDecoderModule(av, "FFmpeg", data, size);
}
