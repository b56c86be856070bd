// The colour list reader: names and colour pairs of a "VoColors.mnu" of any bytes.
#include "player/ColorList.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::memoryFile(data, size);
    ColorList colours(path);
    int32_t first = 0, second = 0;
    // Each pick reads the file again: a few of them, the last one and one past it included.
    for (int i : {0, colours.count() / 2, colours.count() - 1, colours.count()})
        (void)colours.pick(i, &first, &second);
    return 0;
}
