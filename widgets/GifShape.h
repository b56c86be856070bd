#pragma once
// What an animated picture would cost before it is decoded: its canvas and its frames, read from the GIF's
// block structure alone. The animator keeps every frame as a picture of the whole canvas, so a tiny file
// with a huge canvas and many frames would take gigabytes; such a picture is refused instead.
#include <QByteArray>
#include <QString>

struct GifShape {
    // The canvas is the logical screen, grown to every frame that reaches past it.
    int width = 0;
    int height = 0;
    int frames = 0;
    bool valid = false; // a GIF signature and at least one frame

    // Bounds of what a skin's animation may need: a canvas of at most this many pixels, at most this many
    // frames, and frames that together take at most this much memory.
    static constexpr qint64 MaxCanvasPixels = 16'000'000;
    static constexpr int MaxFrames = 2000;
    static constexpr qint64 MaxFrameBytes = 64 * 1024 * 1024;

    // Walks the blocks of a GIF; a damaged or cut file counts the frames before the damage.
    static GifShape scan(const QByteArray &bytes);

    qint64 frameBytes() const { return qint64(width) * height * 4 * frames; }
    bool withinBounds() const
    {
        return qint64(width) * height <= MaxCanvasPixels && frames <= MaxFrames &&
               frameBytes() <= MaxFrameBytes;
    }
    // Why a picture at path is refused, for a message; empty when it is within the bounds.
    QString refusal(const QString &path) const;
};
