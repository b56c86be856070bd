// The reader of window outlines ("region.txt" of a classic skin, a mask's "Shape"), and the region built
// from what it read.
#include "masks/RegionFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QPolygon> polygons = RegionFile::parse(fuzzsupport::bytes(data, size));
    (void)RegionFile::region(polygons, QRect(0, 0, 275, 116));
    (void)RegionFile::parse(RegionFile::text(polygons));
    return 0;
}
