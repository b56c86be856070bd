// The animated picture reader: the walk of a GIF's blocks that decides whether its frames fit in memory, and,
// for one that fits, the decoder running through every frame as the skin's animation does.
#include "tests/fuzz/FuzzSupport.h"
#include "widgets/GifShape.h"

#include <QBuffer>
#include <QMovie>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzsupport::scratchDir();
    QByteArray bytes = fuzzsupport::bytes(data, size);
    const GifShape shape = GifShape::scan(bytes);
    if (!shape.valid || !shape.withinBounds())
        return 0;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QMovie movie(&buffer);
    if (qint64(shape.width) * shape.height * 4 * std::max(movie.frameCount(), 1) > GifShape::MaxFrameBytes)
        return 0;
    for (int i = 0; i < 64 && movie.jumpToNextFrame(); ++i)
        (void)movie.currentImage();
    return 0;
}
