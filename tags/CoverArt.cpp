#include "tags/CoverArt.h"

#include "tags/PosixFile.h"
#include "tags/TagLibModule.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstring>
#include <fcntl.h>

namespace
{

QByteArray readPicture(const QString &path)
{
    tagio::PosixFile file(QFile::encodeName(path), O_RDONLY);
    const qint64 size = file.isOpen() ? qint64(file.stat().st_size) : 0;
    if (size <= 0 || size > CoverArt::MaxBytes)
        return {};
    QByteArray bytes(size, Qt::Uninitialized);
    if (!file.readAt(0, bytes.data(), size))
        return {};
    return bytes;
}

// Whether a file may carry a picture in its tags: an ID3v2 tag in front, a container with its own tags, an
// APE tag at the end. Plain MPEG audio with an ID3v1 tag at most has none and does not load the module.
bool mayHoldPicture(const QString &path)
{
    tagio::PosixFile file(QFile::encodeName(path), O_RDONLY);
    const int64_t size = file.isOpen() ? int64_t(file.stat().st_size) : 0;
    char head[12];
    if (size < 32 || !file.readAt(0, head, sizeof head))
        return false;
    for (const char *magic : {"ID3", "fLaC", "OggS", "RIFF", "FORM", "wvpk", "MAC "})
        if (std::memcmp(head, magic, std::strlen(magic)) == 0)
            return true;
    if (std::memcmp(head + 4, "ftyp", 4) == 0)
        return true;
    char tail[8];
    for (int64_t end : {size, size - 128})
        if (end >= 32 && file.readAt(end - 32, tail, 8) && std::memcmp(tail, "APETAGEX", 8) == 0)
            return true;
    return false;
}

} // namespace

QByteArray CoverArt::find(const QString &songPath)
{
    if (songPath.isEmpty() || songPath.contains(QLatin1String("://")))
        return {};
    // A picture counts when it decodes to its end; a small decode is enough to know.
    const auto readable = [](const QByteArray &bytes) { return !decode(bytes, QSize(64, 64)).isNull(); };
    QByteArray bytes = embedded(songPath);
    if (readable(bytes))
        return bytes;
    const QString beside = besideFile(songPath);
    if (beside.isEmpty())
        return {};
    bytes = readPicture(beside);
    return readable(bytes) ? bytes : QByteArray();
}

QByteArray CoverArt::embedded(const QString &songPath)
{
    if (!mayHoldPicture(songPath))
        return {};
    return TagLibModule::cover(songPath, MaxBytes);
}

QString CoverArt::besideFile(const QString &songPath)
{
    const QFileInfo song(songPath);
    QDir folder = song.absoluteDir();
    // Name filters match without case.
    const QStringList found = folder.entryList(
        {QStringLiteral("cover.*"), QStringLiteral("folder.*"), QStringLiteral("front.*")}, QDir::Files);
    static const QStringList stems{QStringLiteral("cover"), QStringLiteral("folder"),
                                   QStringLiteral("front")};
    static const QStringList kinds{QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),
                                   QStringLiteral("webp"), QStringLiteral("gif"),  QStringLiteral("bmp")};
    // cover before folder before front; a JPEG before a PNG; a name in small letters before others.
    QString best;
    int bestRank = -1;
    for (const QString &name : found) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const int stem = int(stems.indexOf(name.left(dot).toLower()));
        const int kind = int(kinds.indexOf(name.mid(dot + 1).toLower()));
        if (stem < 0 || kind < 0)
            continue;
        const int rank = 1000 - stem * 100 - kind * 10 - (name == name.toLower() ? 0 : 1);
        if (rank > bestRank && QFileInfo(folder.filePath(name)).isFile()) {
            bestRank = rank;
            best = folder.filePath(name);
        }
    }
    return best;
}

QByteArray CoverArt::pictureFormat(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > MaxBytes)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty() || qint64(size.width()) * size.height() > MaxPixels)
        return {};
    return reader.format();
}

QImage CoverArt::decode(const QByteArray &bytes, const QSize &fit)
{
    const QByteArray format = pictureFormat(bytes);
    if (format.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (fit.isValid() && (size.width() > fit.width() || size.height() > fit.height()))
        reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}
