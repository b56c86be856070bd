// The profile (INI) reader: every section and key read back, a write, and the text it would save.
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ProfileFile profile;
    profile.parse(TextFile::splitLines(fuzzsupport::bytes(data, size)));
    for (const QString &section : profile.sections()) {
        for (const QString &key : profile.keys(section)) {
            (void)profile.readString(section, key);
            (void)profile.readInteger(section, key, 7);
            (void)profile.readBool(section, key, false);
        }
    }
    profile.writeString(QStringLiteral("Setting"), QStringLiteral("Loop"), QStringLiteral("1"));
    profile.deleteKey(QStringLiteral("Setting"), QStringLiteral("Random"));
    (void)profile.toLines();
    return 0;
}
