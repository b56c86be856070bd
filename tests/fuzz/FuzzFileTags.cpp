// The tags and stream facts of the other formats through TagLib over any bytes, as the names, the tool and
// the tag editor read them, and a tag write into such a file. The first byte picks the kind the rest is
// taken for, so every reader is reached without finding its magic first.
#include "tags/ExtendedTags.h"
#include "tags/FileTags.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const QByteArray magics[] = {
        QByteArray(),
        QByteArray("fLaC"),
        QByteArray("OggS\0\x02\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x1e\x01vorbis", 35),
        QByteArray("OggS\0\x02\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x13OpusHead", 36),
        QByteArray("\0\0\0\x20"
                   "ftypM4A ",
                   12),
        QByteArray("RIFF\0\0\0\0WAVE", 12),
        QByteArray("FORM\0\0\0\0AIFF", 12),
        QByteArray("wvpk"),
    };
    const QByteArray input = magics[data[0] % 8] + fuzzsupport::bytes(data + 1, size - 1);
    const auto *bytes = reinterpret_cast<const uint8_t *>(input.constData());
    const QString path = fuzzsupport::memoryFile(bytes, size_t(input.size()));
    (void)ExtendedTags::read(path).artistTitle();
    (void)FileTags::read(path, true);
    // Now and then a write, into a file of its own (the memory file cannot be renamed over).
    if (data[0] & 0x80) {
        const QString file = fuzzsupport::writeInput("write", bytes, size_t(input.size()));
        FileTags::Fields fields;
        fields.title = QStringLiteral("Title");
        fields.genre = QString::fromLatin1(input.right(8));
        (void)FileTags::write(file, fields);
        (void)FileTags::read(file, false);
    }
    return 0;
}
