#pragma once
// The cover picture of a song: the front cover in its tags (read by the tag reader module), else a picture
// file beside it (cover.*, folder.*, front.*, any case). Pictures come from outside: their bytes and their
// pixels are capped, and one that cannot be read is no cover.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class CoverArt
{
public:
    // A picture file or tag picture larger than this is not read.
    static constexpr qint64 MaxBytes = 16 << 20;
    // Nor a picture of more pixels than this (about 5000 x 5000).
    static constexpr qint64 MaxPixels = 25'000'000;

    // The cover's bytes (JPEG, PNG, ... as stored); empty when the song has none that decodes.
    static QByteArray find(const QString &songPath);
    // The picture in the song's tags; the module is asked only when the file starts as a tagged or a
    // container file does.
    static QByteArray embedded(const QString &songPath);
    // The picture file beside the song, by the rule above; empty when there is none.
    static QString besideFile(const QString &songPath);

    // The image format of bytes ("png", "jpeg", ...) when they are a picture within the caps; empty
    // otherwise. Reads the header only.
    static QByteArray pictureFormat(const QByteArray &bytes);
    // The picture, scaled to fit into fit (when it is valid) keeping its shape; null when it cannot be read.
    static QImage decode(const QByteArray &bytes, const QSize &fit = QSize());
};
