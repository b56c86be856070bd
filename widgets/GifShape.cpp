#include "widgets/GifShape.h"

#include <QDir>

#include <algorithm>

namespace
{

int le16(const unsigned char *p)
{
    return p[0] | (p[1] << 8);
}

// The size of a colour table a packed field announces, 0 when it announces none.
qsizetype colorTable(unsigned char packed)
{
    return (packed & 0x80) ? 3 * (qsizetype(1) << ((packed & 7) + 1)) : 0;
}

} // namespace

GifShape GifShape::scan(const QByteArray &bytes)
{
    GifShape shape;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    if (n < 13 || (!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a")))
        return shape;
    shape.width = le16(p + 6);
    shape.height = le16(p + 8);
    qsizetype at = 13 + colorTable(p[10]);
    // Data sub-blocks: a length byte and that many bytes, until a zero length.
    const auto skipBlocks = [&]() {
        while (at < n) {
            const int length = p[at];
            ++at;
            if (length == 0)
                return true;
            at += length;
        }
        return false;
    };
    while (at < n) {
        const unsigned char kind = p[at++];
        if (kind == 0x3B) // the trailer
            break;
        if (kind == 0x21) { // an extension: its label, then its blocks
            ++at;
            if (!skipBlocks())
                break;
            continue;
        }
        if (kind != 0x2C || at + 9 > n) // junk, or a frame cut short
            break;
        const int right = le16(p + at) + le16(p + at + 4);
        const int bottom = le16(p + at + 2) + le16(p + at + 6);
        shape.width = std::max(shape.width, right);
        shape.height = std::max(shape.height, bottom);
        at += 8;
        at += 1 + colorTable(p[at]);
        ++at; // the code size
        ++shape.frames;
        if (!skipBlocks())
            break;
    }
    shape.valid = shape.frames > 0;
    return shape;
}

QString GifShape::refusal(const QString &path) const
{
    if (withinBounds())
        return {};
    return QStringLiteral("The animated picture \"%1\" is not shown: its %2 x %3 canvas with %4 frames would "
                          "take %5 MiB (at most %6 MiB, %7 frames).")
        .arg(QDir::toNativeSeparators(path))
        .arg(width)
        .arg(height)
        .arg(frames)
        .arg(frameBytes() >> 20)
        .arg(MaxFrameBytes >> 20)
        .arg(MaxFrames);
}
