// The statistics reader: a "Statistics.lst" of any bytes, and each of its lines written back.
#include "player/Statistics.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzsupport::memoryFile(data, size);
    Statistics statistics;
    statistics.load(path);
    for (const StatisticsEntry &entry : statistics.entries()) {
        const QString line = Statistics::lineFromEntry(entry);
        (void)Statistics::entryFromLine(line);
    }
    return 0;
}
