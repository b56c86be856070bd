// The equalizer file reader, and the decoder bands made from what it read.
#include "engine/EqualizerFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::memoryFile(data, size);
    EqualizerSettings settings;
    settings.load(path);
    (void)settings.toEqualizerInfo();
    return 0;
}
