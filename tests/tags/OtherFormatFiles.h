#pragma once
// Songs in the formats other than MPEG, encoded by ffmpeg at test time with the tags asked for, and their
// decoded samples as ffmpeg gives them (the reference the tag writer must keep).
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace otherformats
{

inline bool haveFfmpeg()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

// The file names of every kind, by extension: FLAC, Ogg Vorbis, Opus, AAC in MP4, WAV, AIFF, WavPack.
inline QStringList names()
{
    return {QStringLiteral("song.flac"), QStringLiteral("song.ogg"), QStringLiteral("song.opus"),
            QStringLiteral("song.m4a"),  QStringLiteral("song.wav"), QStringLiteral("song.aiff"),
            QStringLiteral("song.wv")};
}

// Half a second of a stereo tone in path's format, tagged with the "key=value" pairs (ffmpeg's names:
// title, artist, album, date, comment, genre). False when ffmpeg failed.
inline bool make(const QString &path, const QStringList &tags)
{
    QStringList args{"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=0.5", "-ac", "2"};
    for (const QString &t : tags)
        args << QStringLiteral("-metadata") << t;
    // AIFF carries its names in an ID3 chunk, which ffmpeg writes only when asked.
    if (path.endsWith(QLatin1String(".aiff")))
        args << QStringLiteral("-write_id3v2") << QStringLiteral("1");
    args << path;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("ffmpeg"), args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// The file's samples, 16-bit stereo; empty when ffmpeg could not decode it.
inline QByteArray decode(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"),
            {"-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-ac", "2", "-"});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

} // namespace otherformats
