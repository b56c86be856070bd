#pragma once
#include <QByteArray>

namespace vorlantest
{

// A GIF of a few kilobytes whose frames, each kept as a picture of the whole canvas, would take gigabytes:
// a width x height screen and the given number of one-pixel frames.
inline QByteArray hugeCanvasGif(int width, int height, int frameCount)
{
    QByteArray gif("GIF89a");
    const auto le16 = [&gif](int v) { gif += char(v & 0xFF), gif += char(v >> 8); };
    le16(width);
    le16(height);
    gif += char(0x80), gif += char(0), gif += char(0); // a global table of two colours
    gif += QByteArray("\0\0\0\xff\xff\xff", 6);
    gif += QByteArray("\x21\xff\x0bNETSCAPE2.0\x03\x01\0\0\0", 19); // loop for ever
    for (int i = 0; i < frameCount; ++i) {
        gif += QByteArray("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8); // a tenth of a second
        gif += char(0x2C);
        le16(i % width), le16(i % height), le16(1), le16(1);
        gif += char(0);
        gif += QByteArray("\x02\x02\x44\x01\x00", 5); // one pixel of colour 0
    }
    gif += char(0x3B);
    return gif;
}

} // namespace vorlantest
