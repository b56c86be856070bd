#pragma once
// Small MPEG files built byte by byte: two MPEG-1 Layer III frame headers (the reader needs a confirming
// second frame), zeros up to the size that gives the wanted duration, and an optional ID3v1 tag at the end.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace playlisttest
{

// kbit/s to the MPEG-1 Layer III bitrate index.
inline int bitrateIndex(int kbits)
{
    const int table[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    for (int i = 1; i < 15; ++i) {
        if (table[i] == kbits)
            return i;
    }
    return 9;
}

struct Tag {
    QByteArray title;
    QByteArray artist;
};

// A file whose estimated duration is exactly seconds (size = seconds * kbits * 125 bytes, tag included). The
// zeros are left sparse, so an hour-long file costs nothing.
inline bool writeMpeg(const QString &path, int seconds, const Tag *tag = nullptr, int kbits = 128)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const qint64 size = qint64(seconds) * kbits * 125;
    const int frameLength = int(144000.0 * kbits / 44100.0);
    QByteArray header("\xFF\xFB\x00\x00", 4);
    header[2] = char(bitrateIndex(kbits) << 4); // 44100 Hz, no padding
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(header);
    file.seek(frameLength);
    file.write(header);
    if (!file.resize(size))
        return false;
    if (tag) {
        QByteArray bytes(128, '\0');
        bytes.replace(0, 3, "TAG");
        bytes.replace(3, qMin<qsizetype>(30, tag->title.size()), tag->title.left(30));
        bytes.replace(33, qMin<qsizetype>(30, tag->artist.size()), tag->artist.left(30));
        bytes[127] = char(255);
        file.seek(size - 128);
        file.write(bytes);
    }
    return file.error() == QFileDevice::NoError;
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace playlisttest
