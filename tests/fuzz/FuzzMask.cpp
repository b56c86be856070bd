// The mask reader, as the player and as the masker read a ".msk" file. (Writing a mask is no reader of
// outside data; a write into an empty profile is a regression test of ProfileFileTest.)
#include "masks/MaskFile.h"
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ProfileFile profile;
    profile.parse(TextFile::splitLines(fuzzsupport::bytes(data, size)));
    for (MaskReader reader : {MaskReader::Player, MaskReader::EditorLoad, MaskReader::TestWindow})
        (void)MaskFile::fromProfile(profile, reader, QStringLiteral("/masks/fuzz.msk"));
    return 0;
}
