// Opening, decoding and seeking through the Ogg module (libopusfile, libvorbisfile) over any bytes.
#include "tests/fuzz/FuzzDecoderModule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DecoderModules::Entries *av = DecoderModules::ogg();
    return fuzzsupport::fuzzDecoderModule(av, "Ogg", data, size);
}
