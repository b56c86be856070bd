#pragma once
// The player's MPEG reader: first frame header (confirmed by the next frame), playing time estimated from the
// file size, and the ID3v1 tag at the end of the file.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

// Fields of the last read. Texts keep the widths of the tag (Title at most 30 characters and so on).
struct TMPEGData {
    QString Header;      // "TAG" when an ID3v1 tag was read, "BAD" after a reset
    QString Title;       // tag title, or the file name when there are frames but no tag
    QString Artist;
    QString Album;
    QString Year;        // up to 4 characters, spaces kept
    QString Comment;
    uint8_t Genre = 0;   // 255: none
    uint8_t Track = 0;   // byte 126 of the tag
    uint16_t Duration = 0; // seconds, from file size and bitrate
    int32_t FileLength = 0;
    uint8_t Version = 0; // 0 unknown, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    uint8_t Layer = 0;   // 0 unknown, 1..3
    int32_t SampleRate = 0; // Hz
    int32_t BitRate = 0;    // kbit/s
    uint8_t Mode = 0;       // channel mode 0..3
    uint8_t Copyright = 0;
    uint8_t Original = 0;
    uint8_t ErrorProt = 0;
    uint8_t Padding = 0;
    uint16_t FrameLength = 0;
    QString FileName;       // fully expanded
    int32_t FileAge = 0;    // DOS date-time stamp of the file
    uint16_t FileAttr = 0;
    QString VolumeLabel;
    uint16_t Selected = 0;  // offered to the info templates; the reader never sets it
};

class TMPEGAudio
{
public:
    TMPEGAudio();

    // Reads the named file; the result is in the fields.
    void setFileName(const QString &name);
    QString fileName() const { return m_data.FileName; }

    const TMPEGData &data() const { return m_data; }
    bool isValid() const;
    QString genreStr() const;
    QString modeStr() const;
    QString layerStr() const;
    QString versionStr() const;

    int32_t firstFrame() const { return m_firstFrame; }
    QDateTime fileDateTime() const { return m_fileDateTime; }
    int32_t searchExactness() const { return m_searchExactness; }
    void setSearchExactness(int32_t bytes) { m_searchExactness = bytes; }

    // An info template formatted into text() after every reset and read.
    QString macro() const { return m_macro; }
    void setMacro(const QString &templ);
    QString text() const { return m_text; }

    // Writes an ID3v1 tag over the existing one or appends it. The genre is stored as the index of the first
    // genre name equal to genreText, 126 when none. Only the last 128 bytes change. False when the file
    // cannot be written; the file is then unchanged.
    static bool writeTag(const QString &path, const QString &title, const QString &artist, const QString &album,
                         const QString &year, const QString &comment, const QString &genreText);
    // Cuts the tag off when the file ends in one. False when the file cannot be changed.
    static bool removeTag(const QString &path);

private:
    void reset();
    bool decodeHeader(uint32_t h);
    void formatText();

    TMPEGData m_data;
    int32_t m_searchExactness = 0;
    QDateTime m_fileDateTime;
    int32_t m_firstFrame = 0;
    QString m_macro;
    QString m_text;
};

// The 126 genre names, index 0..125.
const QStringList &genreNames();
// "Unknown" above 125.
QString genreName(int index);
