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
};

Q_DECLARE_METATYPE(StreamInfo)
