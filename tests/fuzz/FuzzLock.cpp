// The lock reader: the text of a "Vorlan.lock" of any bytes, read as who holds it and taken over as a lock
// left behind (the file it lies in has no living holder).
#include "platform/LockFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzsupport::bytes(data, size);
    (void)LockFile::parse(bytes);
    const QString path = fuzzsupport::writeInput("Vorlan.lock", data, size);
    LockFile lock(path);
    if (lock.tryLock() != LockFile::Result::Locked)
        __builtin_trap();
    return 0;
}
