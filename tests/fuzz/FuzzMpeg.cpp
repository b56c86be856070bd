// The MPEG header search and the ID3v1 reader over any bytes, with and without a search limit.
#include "tags/TMPEGAudio.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::memoryFile(data, size);
    static TMPEGAudio mpeg;
    mpeg.setSearchExactness(size > 0 ? data[0] % 4 * 1024 : 0);
    mpeg.setMacro(QStringLiteral("%T%%A%%L%%Y%%CMNT%%GNR%%DF%%FD%%BR%%SR%%M%%V%%LY%"));
    mpeg.setFileName(path);
    (void)mpeg.text();
    (void)mpeg.isValid();
    return 0;
}
