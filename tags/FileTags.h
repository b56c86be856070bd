#pragma once
// The tags and stream facts of the formats other than MPEG (FLAC, Ogg Vorbis, Opus and FLAC, MP4, WAV, AIFF,
// WavPack), read and written through TagLib in its module. The format is told by the file's first bytes, as
// the decoder tells it, so a FLAC file named ".mp3" is still read as FLAC.
#include <QByteArray>
#include <QString>

namespace FileTags
{

enum class Kind : int { None, Flac, OggVorbis, OggOpus, OggFlac, Mp4, Wav, Aiff, WavPack };

// The kind of file whose first bytes these are (64 are enough); None for MPEG and anything unknown.
Kind kindOf(const QByteArray &head);

// The six texts the tag editor edits; an empty text is no field.
struct Fields {
    QString title;
    QString artist;
    QString album;
    QString year; // digits, empty for none
    QString comment;
    QString genre;
};

struct Info {
    Kind kind = Kind::None; // None: not one of these formats, or TagLib could not read it
    Fields fields;
    // The stream, when asked for: the codec's name ("FLAC", "Vorbis", "Opus", "AAC", "ALAC", "PCM",
    // "WavPack"), kbit/s (the average for variable and lossless streams), Hz, bits per sample (0 where the
    // codec has none), channels and milliseconds.
    QString codec;
    int bitRate = 0;
    int sampleRate = 0;
    int bits = 0;
    int channels = 0;
    qint64 lengthMs = 0;
};

// The kind of an open file, by its first bytes (past an ID3v2 tag before FLAC data).
Kind kindOf(int fd, qint64 size);
// The tags of an open file of the given kind (not None), as read() gives them.
Info read(int fd, Kind kind, bool withStream);

// The tags of a regular file of one of these kinds (and its stream facts when withStream); kind None when it
// is not one or cannot be read.
Info read(const QString &path, bool withStream);

// Writes the fields as the file's tags (an empty field removed), as TagLib writes them, into a copy beside
// the file that then replaces it with the original's permissions: a crash or a full disk leaves the old
// file whole. A symbolic link is followed to its regular file and stays. False, with the reason in *error
// when given, when the file is not of these kinds or cannot be written; the file is then unchanged.
bool write(const QString &path, const Fields &fields, QString *error = nullptr);

// The names of the codec and channel layout as the tool and the windows show them ("Stereo", "Mono",
// "6 channels").
QString channelsText(int channels);

} // namespace FileTags

// The tag reader module's entry points for these files. fd is an open regular file that the call neither
// keeps nor closes; kind is a FileTags::Kind other than None.
extern "C" Q_DECL_EXPORT void vorlanFileTags(int fd, int kind, bool withStream, FileTags::Info *info);
// Writes in place through fd (open for reading and writing); false when TagLib could not.
extern "C" Q_DECL_EXPORT bool vorlanWriteFileTags(int fd, int kind, const FileTags::Fields *fields);
