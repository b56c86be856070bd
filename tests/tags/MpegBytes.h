#pragma once
// Byte-level MPEG files for the tests of the reader: frames, ID3v1 tags, files of a given size.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

namespace mpegbytes
{

// MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, no CRC, joint stereo, original: frames of 417 bytes.
constexpr uint32_t kMpeg1L3 = 0xFFFB9064;
constexpr int kMpeg1L3Length = 417;
// MPEG-2.5 Layer III, 8 kbit/s, 8 kHz, no CRC, mono, original: 144 bytes by the 144000 rule.
constexpr uint32_t kMpeg25L3 = 0xFFE318C4;
constexpr int kMpeg25L3Length = 144;

inline QByteArray header(uint32_t h)
{
    QByteArray b(4, '\0');
    b[0] = char(h >> 24);
    b[1] = char(h >> 16);
    b[2] = char(h >> 8);
    b[3] = char(h);
    return b;
}

// count frames of the given length: the header, then zeros.
inline QByteArray frames(uint32_t h, int length, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += header(h) + QByteArray(length - 4, '\0');
    return out;
}

// A field of exactly size bytes: text, then NULs.
inline QByteArray field(const QByteArray &text, int size)
{
    return (text + QByteArray(size, '\0')).left(size);
}

// A raw ID3v1 tag from field bytes as they should stand in the file.
inline QByteArray tag(const QByteArray &title, const QByteArray &artist, const QByteArray &album,
                      const QByteArray &year, const QByteArray &comment, uint8_t genre)
{
    QByteArray t =
        "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + field(comment, 30);
    t += char(genre);
    return t;
}

// Writes head, then zeros up to totalSize - tail.size() (a sparse hole for big sizes), then tail.
inline bool writeFile(const QString &path, const QByteArray &head, qint64 totalSize = -1,
                      const QByteArray &tail = QByteArray())
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (f.write(head) != head.size())
        return false;
    if (totalSize >= 0) {
        if (!f.resize(totalSize - tail.size()) || !f.seek(totalSize - tail.size()))
            return false;
    }
    return f.write(tail) == tail.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace mpegbytes
