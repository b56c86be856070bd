// The classic skin reader: a zip from outside, every sheet and text file a skin may hold read from it and
// decoded, and the mask's pictures cut from them (nothing is written).
#include "masks/ClassicArchive.h"
#include "masks/ClassicSkin.h"
#include "masks/ClassicSkinImporter.h"
#include "masks/MaskFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ClassicArchive archive = ClassicArchive::fromBytes(fuzzsupport::bytes(data, size));
    if (!archive.isValid())
        return 0;
    const ClassicSkin skin = ClassicSkin::read(archive);
    if (skin.has(ClassicSkin::Main)) {
        MaskFile mask;
        (void)ClassicSkinImporter::build(skin, QStringLiteral("Fuzz"), &mask);
    }
    return 0;
}
