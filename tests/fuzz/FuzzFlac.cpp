// Opening, decoding and seeking through the FLAC module (libFLAC) over any bytes.
#include "tests/fuzz/FuzzDecoderModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DecoderModules::Entries *av = DecoderModules::flac();
    return fuzzsupport::fuzzDecoderModule(av, "FLAC", data, size);
}
