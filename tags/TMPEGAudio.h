#pragma once
// The player's MPEG reader: first frame header (confirmed by the next frame), playing time estimated from the
// file size, and the ID3v1 tag at the end of the file.
#include "tags/InfoTemplate.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace tagio
{
class BlockReader;
}

// Fields of the last read. Texts keep the widths of the tag (Title at most 30 characters and so on).
struct TMPEGData {
    QString Header; // "TAG" when an ID3v1 tag was read, "BAD" after a reset
    QString Title;  // tag title, or the file name when there are frames but no tag
    QString Artist;
    QString Album;
    QString Year; // up to 4 characters, spaces kept
    QString Comment;
    uint8_t Genre = 0; // 255: none
    uint8_t Track = 0; // byte 126 of the tag
    uint16_t Duration =
        0; // seconds, from a VBR header's frame count, else from size and bitrate (65535 at most)
    int32_t FileLength = 0; // bytes (2 GiB - 1 at most)
    uint8_t Version = 0;    // 0 unknown, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    uint8_t Layer = 0;      // 0 unknown, 1..3
    int32_t SampleRate = 0; // Hz
    int32_t BitRate = 0;    // kbit/s
    uint8_t Mode = 0;       // channel mode 0..3
    uint8_t Copyright = 0;
    uint8_t Original = 0;
    uint8_t ErrorProt = 0;
    uint8_t Padding = 0;
    uint16_t FrameLength = 0;
    QString FileName;      // absolute and cleaned; not cut at 255 characters as Linux paths may be longer
    int32_t FileAge = 0;   // DOS date-time stamp of the file's modification time (local time)
    uint16_t FileAttr = 0; // DOS attribute bits, see TMPEGAudio::FileAttrBits
    QString VolumeLabel;   // always empty: Linux volumes are not named by drive letters
    uint16_t Selected = 0; // offered to the info templates; the reader never sets it
};

class TMPEGAudio
{
public:
    // The DOS attribute bits FileAttr is made of: read-only when the file is not writable, hidden when its
    // name starts with a dot, archive for every other file.
    enum FileAttrBits : uint16_t { faReadOnly = 0x01, faHidden = 0x02, faArchive = 0x20 };

    TMPEGAudio();

    // Reads the named file; the result is in the fields. Relative names are taken from the current folder.
    void setFileName(const QString &name);
    QString fileName() const { return m_data.FileName; }
    // Why the last read could not open or read the file (the system's text, such as "No such file or
    // directory"); empty when the file was read, whether frames were found in it or not.
    QString errorString() const { return m_error; }

    const TMPEGData &data() const { return m_data; }
    bool isValid() const;
    QString genreStr() const;
    QString modeStr() const;
    QString layerStr() const;
    QString versionStr() const;

    // Byte position of the first accepted frame header; FileLength + 1 when none was found.
    int32_t firstFrame() const { return m_firstFrame; }
    // FileAge as a local date and time; invalid while FileAge is 0.
    QDateTime fileDateTime() const;
    // How far into the file the header search may go; 0 (and anything below) means the default: 16 MiB
    // past the start or past an ID3v2 tag there, so a large file without frames is never read whole.
    int32_t searchExactness() const { return m_searchExactness; }
    void setSearchExactness(int32_t bytes) { m_searchExactness = bytes; }

    // An info template formatted into text() after every reset and read, and when it is set.
    QString macro() const { return m_macro; }
    void setMacro(const QString &templ);
    QString text() const { return m_text; }

    // Writes an ID3v1 tag over the existing one or appends it. The genre is stored as the index of the first
    // genre name equal to genreText, 126 when none. Only the last 128 bytes change. False when the file
    // cannot be written; the file is then unchanged. Texts are stored as Latin-1 when every character fits,
    // else as UTF-8 cut on a character boundary; fields are padded with spaces.
    static bool writeTag(const QString &path, const QString &title, const QString &artist,
                         const QString &album, const QString &year, const QString &comment,
                         const QString &genreText);
    // Cuts the tag off when the file ends in one. False when the file cannot be changed. A file without a tag
    // (shorter than 128 bytes, for example) is left alone and counts as done.
    static bool removeTag(const QString &path);

private:
    struct FileFacts;
    void reset();
    void refill(const FileFacts &facts);
    void readFile();
    bool decodeHeader(uint32_t h);
    int64_t scan(tagio::BlockReader &reader, int64_t from, int64_t last);
    // Duration and the average bitrate from the first frame's Xing, Info or VBRI header, when it has one.
    void readVbrHeader(tagio::BlockReader &reader);
    void formatText();

    TMPEGData m_data;
    int32_t m_searchExactness = 0;
    int32_t m_firstFrame = 0;
    int64_t m_size = 0; // the real file size while reading (FileLength is clamped)
    QString m_macro;
    InfoTemplate m_template; // m_macro, split once
    QString m_text;
    QString m_error;
};

// The 126 genre names, index 0..125.
const QStringList &genreNames();
// "Unknown" above 125.
QString genreName(int index);
