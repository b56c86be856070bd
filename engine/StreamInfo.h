#pragma once
// What a decoder reports of the stream it plays, for the file info window and the title lines.
#include <QMetaType>
#include <QString>

struct StreamInfo {
    int level = 0; // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    int layer = 0;
    int bitrate = 0;   // kbit/s
    int frequency = 0; // Hz
    int mode = 0;      // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    QString path;      // the playing path or URL
    // Formats other than MPEG audio (level and layer 0): FFmpeg's codec name ("flac", "opus", "aac",
    // "pcm_s16le"), the bits per sample of a lossless source (0 for a lossy one), the channels played.
    QString codec;
    int bits = 0;
    int channels = 0;
};

Q_DECLARE_METATYPE(StreamInfo)
