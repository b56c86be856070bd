#include "tags/TMPEGAudio.h"
#include "platform/FileName.h"

#include "tags/Id3v1Text.h"
#include "tags/InfoTemplate.h"
#include "tags/PosixFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using tagio::BlockReader;
using tagio::PosixFile;

namespace
{

constexpr int kTagSize = 128;
// A real file shows its first frame within a few megabytes (after an ID3v2 tag, which says how long it is);
// a search without a limit of its own stops there instead of reading a whole large file without frames.
constexpr int64_t kSearchLimit = 16 << 20;

const int32_t kSampleRates[4][4] = {
    {0, 0, 0, 0}, {44100, 48000, 32000, 0}, {22050, 24000, 16000, 0}, {11025, 12000, 8000, 0}};

// Rows: MPEG-1 Layer I, II, III (ISO/IEC 11172-3); MPEG-2 and 2.5 Layer I, then Layers II and III
// (ISO/IEC 13818-3). Index 0 is free format and 15 is forbidden: both give 0.
const int16_t kBitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

// Headers that decodeHeader would reject whatever the file: reserved version, layer 0, free or forbidden
// bitrate, reserved sample rate. Skipping their decoding changes nothing but the time a sync-rich scan takes.
inline bool cannotBeValid(uint32_t h)
{
    const uint32_t bitrate = (h >> 12) & 15;
    return ((h >> 19) & 3) == 1 || ((h >> 17) & 3) == 0 || bitrate == 0 || bitrate == 15 ||
           ((h >> 10) & 3) == 3;
}

QString filePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// At most max UTF-16 units, never half of a surrogate pair.
QString cutTo(const QString &text, int max)
{
    if (text.size() <= max)
        return text;
    int n = max;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

QString expandFileName(const QString &name)
{
    if (name.isEmpty())
        return QString();
    if (QDir::isAbsolutePath(name))
        return QDir::cleanPath(name);
    return QDir::cleanPath(QDir::currentPath() + QLatin1Char('/') + name);
}

// Modification time as a DOS stamp. DOS stamps cover 1980..2107 only; times outside are clamped so an
// existing file never gets the stamp 0 (which would make every header of it invalid).
int32_t dosStamp(time_t t)
{
    struct tm tm;
    if (!localtime_r(&t, &tm))
        tm = {};
    int year = tm.tm_year + 1900;
    uint32_t month = tm.tm_mon + 1, day = tm.tm_mday, hour = tm.tm_hour, min = tm.tm_min,
             sec = std::min(tm.tm_sec, 59);
    if (year < 1980) {
        year = 1980;
        month = day = 1;
        hour = min = sec = 0;
    } else if (year > 2107) {
        year = 2107;
        month = 12;
        day = 31;
        hour = 23;
        min = 59;
        sec = 59;
    }
    const uint32_t stamp =
        (uint32_t(year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (min << 5) | (sec / 2);
    return int32_t(stamp);
}

// A text field of the tag: cut at the first NUL, trailing spaces dropped.
QString tagText(const uint8_t *field, int size)
{
    const char *s = reinterpret_cast<const char *>(field);
    int n = int(strnlen(s, size));
    while (n > 0 && s[n - 1] == ' ')
        --n;
    return Id3v1Text::decode(s, n);
}

} // namespace

struct TMPEGAudio::FileFacts {
    int64_t size = 0;
    int32_t age = 0;
    uint16_t attr = 0;
};

TMPEGAudio::TMPEGAudio() = default;

void TMPEGAudio::reset()
{
    const QString name = m_data.FileName;
    m_data = TMPEGData();
    m_data.FileName = name;
    m_data.Header = QStringLiteral("BAD");
    m_data.Title = QStringLiteral("[notag]");
    m_data.Artist = QStringLiteral("[notag]");
    m_data.Album = QStringLiteral("[notag]");
    m_data.Year = QStringLiteral("    ");
    m_data.Comment = QStringLiteral("[notag]");
    m_data.Genre = 255;
}

void TMPEGAudio::refill(const FileFacts &facts)
{
    m_data.FileAge = facts.age;
    m_data.FileAttr = facts.attr;
    m_data.FileLength = int32_t(std::min<int64_t>(facts.size, INT32_MAX));
}

bool TMPEGAudio::isValid() const
{
    const TMPEGData &d = m_data;
    return d.FileLength > 5 && d.Version > 0 && d.Layer > 0 && d.FileAge != 0 && d.BitRate > 0 &&
           d.SampleRate > 0;
}

bool TMPEGAudio::decodeHeader(uint32_t h)
{
    TMPEGData &d = m_data;
    d.Version = d.Layer = d.Mode = 0;
    d.SampleRate = d.BitRate = 0;
    d.Copyright = d.Original = d.ErrorProt = d.Padding = 0;
    d.FrameLength = 0;
    if ((h & 0xFFE00000u) != 0xFFE00000u)
        return false;
    static const uint8_t versions[4] = {3, 0, 2, 1};
    d.Version = versions[(h >> 19) & 3];
    if (d.Version == 0)
        return false;
    const int layerBits = (h >> 17) & 3;
    d.Layer = layerBits ? 4 - layerBits : 0;
    d.SampleRate = kSampleRates[d.Version][(h >> 10) & 3];
    // A protection bit of 0 says a CRC follows the header: that is a protected frame.
    d.ErrorProt = ((h >> 16) & 1) ? 0 : 1;
    d.Copyright = (h >> 3) & 1;
    d.Original = (h >> 2) & 1;
    d.Mode = (h >> 6) & 3;
    d.Padding = (h >> 9) & 1;
    if (d.Layer > 0) {
        const int row = d.Version == 1 ? d.Layer - 1 : (d.Layer == 1 ? 3 : 4);
        d.BitRate = kBitRates[row][(h >> 12) & 15];
    }
    d.Duration =
        d.BitRate > 0 ? uint16_t(std::min<int64_t>(m_size * 8 / (int64_t(d.BitRate) * 1000), 65535)) : 0;
    // Layer I frames are counted in four-byte slots of 384 samples; the others in bytes.
    if (d.SampleRate < 1)
        d.FrameLength = 0;
    else if (d.Layer == 1)
        d.FrameLength = uint16_t((int(12000.0 * d.BitRate / d.SampleRate) + d.Padding) * 4);
    else
        d.FrameLength = uint16_t(int(144000.0 * d.BitRate / d.SampleRate) + d.Padding);
    return isValid();
}

void TMPEGAudio::setMacro(const QString &templ)
{
    m_macro = templ;
    m_template = InfoTemplate(templ);
    formatText();
}

void TMPEGAudio::formatText()
{
    m_text = m_template.isEmpty() ? QString() : m_template.format(*this);
}

void TMPEGAudio::setFileName(const QString &name)
{
    reset();
    m_error.clear();
    m_firstFrame = 0;
    m_size = 0;
    m_data.FileName = expandFileName(name);
    readFile();
    formatText();
}

void TMPEGAudio::readFile()
{
    const QString &name = m_data.FileName;
    if (name.isEmpty()) {
        m_data.Title = QStringLiteral("[not found: ]");
        m_error = qt_error_string(ENOENT);
        return;
    }
    const QByteArray native = FileName::encode(name);
    PosixFile file(native, O_RDONLY);
    if (!file.isOpen()) {
        if (file.error() == ENOENT || file.error() == ENOTDIR)
            m_data.Title = cutTo(QStringLiteral("[not found: ") + filePart(name) + QLatin1Char(']'), 30);
        m_error = file.errorString();
        return;
    }
    const struct stat &st = file.stat();
    FileFacts facts;
    facts.size = st.st_size;
    if (facts.size <= 5)
        return;
    facts.age = dosStamp(st.st_mtime);
    const bool hidden = filePart(name).startsWith(QLatin1Char('.'));
    const bool readOnly = !PosixFile::mayWrite(st, native);
    facts.attr = (readOnly ? faReadOnly : 0) | (hidden ? faHidden : 0) | (readOnly || hidden ? 0 : faArchive);
    m_size = facts.size;
    refill(facts);

    const int64_t size = facts.size;
    BlockReader reader(file.fd(), size);
    // Anything below 0 would stop every search after its first candidate: treat it as no limit of its own.
    int64_t exactness = std::max<int32_t>(m_searchExactness, 0);
    if (exactness == 0) {
        exactness = kSearchLimit;
        const uint8_t *id3 = size >= 10 ? reader.get(0, 10) : nullptr;
        if (id3 && std::memcmp(id3, "ID3", 3) == 0 && ((id3[6] | id3[7] | id3[8] | id3[9]) & 0x80) == 0) {
            const int64_t tagSize =
                (int64_t(id3[6]) << 21) | (int64_t(id3[7]) << 14) | (int64_t(id3[8]) << 7) | int64_t(id3[9]);
            exactness += 10 + tagSize + ((id3[5] & 0x10) ? 10 : 0);
        }
    }
    auto readFailed = [&]() {
        reset();
        m_firstFrame = 0;
        m_error = qt_error_string(reader.error());
    };
    auto rejectAll = [&]() {
        reset();
        refill(facts);
        m_firstFrame = int32_t(std::min<int64_t>(size + 1, INT32_MAX));
    };
    auto stopsAt = [&](int64_t pos) { return pos >= size || (exactness > 0 && pos > exactness); };

    int64_t from = 0;
    for (;;) {
        // Candidates after the first one of a search are looked at only while the bytes read stay within
        // the search limit.
        int64_t last = size - 4;
        if (exactness > 0)
            last = std::min(last, std::max(from, exactness - 3));
        const int64_t c = from + 4 <= size ? scan(reader, from, last) : -1;
        if (reader.failed()) {
            readFailed();
            return;
        }
        if (c < 0) {
            rejectAll();
            return;
        }
        m_firstFrame = int32_t(c);
        // Two bytes more for a frame whose protection bit is set, as the search always allowed.
        const int64_t room = size - c - m_data.FrameLength + 2 * (1 - m_data.ErrorProt);
        if (room <= 0) {
            rejectAll();
            if (stopsAt(c + 4))
                return;
            from = c + 4;
            continue;
        }
        const uint8_t *next = reader.get(c + m_data.FrameLength, 4);
        if (reader.failed()) {
            readFailed();
            return;
        }
        if (next && decodeHeader(PosixFile::bigEndian32(next)))
            break;
        rejectAll();
        if (stopsAt(c + 1))
            return;
        from = c + 1;
    }

    readVbrHeader(reader);

    if (size > kTagSize) {
        const uint8_t *tag = reader.get(size - kTagSize, kTagSize);
        if (reader.failed()) {
            readFailed();
            return;
        }
        if (tag && std::memcmp(tag, "TAG", 3) == 0) {
            m_data.Header = QStringLiteral("TAG");
            m_data.Title = tagText(tag + 3, 30);
            m_data.Artist = tagText(tag + 33, 30);
            m_data.Album = tagText(tag + 63, 30);
            const char *year = reinterpret_cast<const char *>(tag + 93);
            m_data.Year = Id3v1Text::decode(year, int(strnlen(year, 4)));
            m_data.Comment = tagText(tag + 97, 30);
            m_data.Track = tag[126];
            m_data.Genre = tag[127];
            return;
        }
    }
    m_data.Title = cutTo(filePart(name), 30);
}

void TMPEGAudio::readVbrHeader(BlockReader &reader)
{
    // An encoder of variable bitrates writes the whole song's frame count (and byte count) into its first
    // frame, in a Xing ("Info" when the rate is constant) or a VBRI header: the size over the first frame's
    // bitrate would be far off.
    const uint8_t *frame = reader.get(m_firstFrame, 4 + 32 + 26);
    if (!frame)
        return;
    const uint32_t h = PosixFile::bigEndian32(frame);
    const int version = (h >> 19) & 3; // 3: MPEG-1
    const int layer = 4 - int((h >> 17) & 3);
    const bool mono = ((h >> 6) & 3) == 3;
    static const int rates[4][3] = {
        {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    const int rateIndex = (h >> 10) & 3;
    if (layer != 3 || version == 1 || rateIndex == 3)
        return;
    const int rate = rates[version][rateIndex];
    const int xingAt = 4 + (version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    int64_t frames = 0;
    int64_t bytes = 0;
    const uint8_t *x = frame + xingAt;
    const bool constant = std::memcmp(x, "Info", 4) == 0;
    if (std::memcmp(x, "Xing", 4) == 0 || constant) {
        const uint32_t flags = PosixFile::bigEndian32(x + 4);
        const uint8_t *field = x + 8;
        if (flags & 1) {
            frames = PosixFile::bigEndian32(field);
            field += 4;
        }
        if (flags & 2)
            bytes = PosixFile::bigEndian32(field);
    } else if (std::memcmp(frame + 36, "VBRI", 4) == 0) {
        bytes = PosixFile::bigEndian32(frame + 36 + 10);
        frames = PosixFile::bigEndian32(frame + 36 + 14);
    }
    if (frames <= 0)
        return;
    const int samplesPerFrame = version == 3 ? 1152 : 576;
    const double seconds = double(frames) * samplesPerFrame / rate;
    if (bytes <= 0 || bytes > m_size - m_firstFrame)
        bytes = m_size - m_firstFrame;
    m_data.Duration = uint16_t(std::min<double>(seconds, 65535));
    // The bitrate shown is the song's average; a constant one is its own.
    if (seconds >= 1 && !constant)
        m_data.BitRate = int32_t(std::lround(double(bytes) * 8 / seconds / 1000));
}

// The first candidate in [from, last] that decodes to an accepted header, or -1. Only positions holding a
// sync byte are decoded: every other candidate is rejected by its first byte anyway.
int64_t TMPEGAudio::scan(BlockReader &reader, int64_t from, int64_t last)
{
    int64_t c = from;
    while (c <= last) {
        if (!reader.ensure(c, BlockReader::kLookahead))
            return -1;
        const uint8_t *base = reader.data();
        const int64_t start = reader.start();
        // Stay far enough from the block's end that the confirming header is in memory too.
        int64_t end = reader.reachesEnd() ? reader.end() - 4 : reader.end() - BlockReader::kLookahead;
        end = std::min(end, last);
        if (end < c)
            return -1; // the file ended early (it shrank while being read)
        while (c <= end) {
            const auto *hit =
                static_cast<const uint8_t *>(std::memchr(base + (c - start), 0xFF, end - c + 1));
            if (!hit)
                break;
            c = start + (hit - base);
            if ((hit[1] & 0xE0) == 0xE0) {
                const uint32_t h = PosixFile::bigEndian32(hit);
                if (!cannotBeValid(h) && decodeHeader(h))
                    return c;
            }
            ++c;
        }
        c = std::max(c, end + 1);
    }
    return -1;
}

bool TMPEGAudio::writeTag(const QString &path, const QString &title, const QString &artist,
                          const QString &album, const QString &year, const QString &comment,
                          const QString &genreText)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = FileName::encode(path);
    PosixFile file(native, O_RDWR);
    if (!file.isOpen() || !PosixFile::mayWrite(file.stat(), native))
        return false;
    const int64_t size = file.stat().st_size;
    int64_t at = size;
    char old[kTagSize];
    if (size >= kTagSize) {
        if (!file.readAt(size - kTagSize, old, kTagSize))
            return false;
        if (std::memcmp(old, "TAG", 3) == 0)
            at = size - kTagSize;
    }

    QByteArray tag;
    tag.reserve(kTagSize);
    tag += "TAG";
    tag += Id3v1Text::encode(title, 30);
    tag += Id3v1Text::encode(artist, 30);
    tag += Id3v1Text::encode(album, 30);
    tag += Id3v1Text::encode(year, 4);
    tag += Id3v1Text::encode(comment, 30);
    const int genre = genreNames().indexOf(genreText);
    tag += char(genre >= 0 ? genre : 126);

    if (!file.writeAt(at, tag.constData(), kTagSize) || !file.sync()) {
        // Never leave half a tag: cut an append back, put an overwritten tag back as it was.
        if (at == size)
            file.truncate(size);
        else
            file.writeAt(at, old, kTagSize);
        return false;
    }
    return true;
}

bool TMPEGAudio::removeTag(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = FileName::encode(path);
    PosixFile file(native, O_RDWR);
    if (!file.isOpen() || !PosixFile::mayWrite(file.stat(), native))
        return false;
    const int64_t size = file.stat().st_size;
    if (size < kTagSize)
        return true;
    char head[3];
    if (!file.readAt(size - kTagSize, head, 3))
        return false;
    if (std::memcmp(head, "TAG", 3) != 0)
        return true;
    return file.truncate(size - kTagSize);
}

QDateTime TMPEGAudio::fileDateTime() const
{
    const uint32_t a = uint32_t(m_data.FileAge);
    if (a == 0)
        return QDateTime();
    const QDate date(1980 + int(a >> 25), int((a >> 21) & 15), int((a >> 16) & 31));
    const QTime time(int((a >> 11) & 31), int((a >> 5) & 63), int(a & 31) * 2);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

QString TMPEGAudio::genreStr() const
{
    return genreName(m_data.Genre);
}

QString TMPEGAudio::modeStr() const
{
    static const char *const names[4] = {"Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"};
    return QString::fromLatin1(names[m_data.Mode & 3]);
}

QString TMPEGAudio::layerStr() const
{
    static const char *const names[4] = {"Unknown", "I", "II", "III"};
    return QString::fromLatin1(m_data.Layer < 4 ? names[m_data.Layer] : names[0]);
}

QString TMPEGAudio::versionStr() const
{
    static const char *const names[4] = {"Unknown", "1.0", "2.0", "2.5"};
    return QString::fromLatin1(m_data.Version < 4 ? names[m_data.Version] : names[0]);
}

const QStringList &genreNames()
{
    static const QStringList names = {
        QStringLiteral("Blues"),
        QStringLiteral("Classic Rock"),
        QStringLiteral("Country"),
        QStringLiteral("Dance"),
        QStringLiteral("Disco"),
        QStringLiteral("Funk"),
        QStringLiteral("Grunge"),
        QStringLiteral("Hip-Hop"),
        QStringLiteral("Jazz"),
        QStringLiteral("Metal"),
        QStringLiteral("New Age"),
        QStringLiteral("Oldies"),
        QStringLiteral("Other"),
        QStringLiteral("Pop"),
        QStringLiteral("R&B"),
        QStringLiteral("Rap"),
        QStringLiteral("Reggae"),
        QStringLiteral("Rock"),
        QStringLiteral("Techno"),
        QStringLiteral("Industrial"),
        QStringLiteral("Alternative"),
        QStringLiteral("Ska"),
        QStringLiteral("Death Metal"),
        QStringLiteral("Pranks"),
        QStringLiteral("Soundtrack"),
        QStringLiteral("Euro-Techno"),
        QStringLiteral("Ambient"),
        QStringLiteral("Trip-Hop"),
        QStringLiteral("Vocal"),
        QStringLiteral("Jazz+Funk"),
        QStringLiteral("Fusion"),
        QStringLiteral("Trance"),
        QStringLiteral("Classical"),
        QStringLiteral("Instrumental"),
        QStringLiteral("Acid"),
        QStringLiteral("House"),
        QStringLiteral("Game"),
        QStringLiteral("Sound Clip"),
        QStringLiteral("Gospel"),
        QStringLiteral("Noise"),
        QStringLiteral("AlternRock"),
        QStringLiteral("Bass"),
        QStringLiteral("Soul"),
        QStringLiteral("Punk"),
        QStringLiteral("Space"),
        QStringLiteral("Meditative"),
        QStringLiteral("Instrumental Pop"),
        QStringLiteral("Instrumental Rock"),
        QStringLiteral("Ethnic"),
        QStringLiteral("Gothic"),
        QStringLiteral("Darkwave"),
        QStringLiteral("Techno-Industrial"),
        QStringLiteral("Electronic"),
        QStringLiteral("Pop-Folk"),
        QStringLiteral("Eurodance"),
        QStringLiteral("Dream"),
        QStringLiteral("Southern Rock"),
        QStringLiteral("Comedy"),
        QStringLiteral("Cult"),
        QStringLiteral("Gangsta"),
        QStringLiteral("Top 40"),
        QStringLiteral("Christian Rap"),
        QStringLiteral("Pop/Funk"),
        QStringLiteral("Jungle"),
        QStringLiteral("Native American"),
        QStringLiteral("Cabaret"),
        QStringLiteral("New Wave"),
        QStringLiteral("Psychadelic"),
        QStringLiteral("Rave"),
        QStringLiteral("Showtunes"),
        QStringLiteral("Trailer"),
        QStringLiteral("Lo-Fi"),
        QStringLiteral("Tribal"),
        QStringLiteral("Acid Punk"),
        QStringLiteral("Acid Jazz"),
        QStringLiteral("Polka"),
        QStringLiteral("Retro"),
        QStringLiteral("Musical"),
        QStringLiteral("Rock & Roll"),
        QStringLiteral("Hard Rock"),
        QStringLiteral("Folk"),
        QStringLiteral("Folk/Rock"),
        QStringLiteral("National Folk"),
        QStringLiteral("Swing"),
        QStringLiteral("Fast Fusion"),
        QStringLiteral("Bebob"),
        QStringLiteral("Latin"),
        QStringLiteral("Revival"),
        QStringLiteral("Celtic"),
        QStringLiteral("Bluegrass"),
        QStringLiteral("Avantgarde"),
        QStringLiteral("Gothic Rock"),
        QStringLiteral("Progressive Rock"),
        QStringLiteral("Psychedelic Rock"),
        QStringLiteral("Symphonic Rock"),
        QStringLiteral("Slow Rock"),
        QStringLiteral("Big Band"),
        QStringLiteral("Chorus"),
        QStringLiteral("Easy Listening"),
        QStringLiteral("Acoustic"),
        QStringLiteral("Humour"),
        QStringLiteral("Speech"),
        QStringLiteral("Chanson"),
        QStringLiteral("Opera"),
        QStringLiteral("Chamber Music"),
        QStringLiteral("Sonata"),
        QStringLiteral("Symphony"),
        QStringLiteral("Booty Bass"),
        QStringLiteral("Primus"),
        QStringLiteral("Porn Groove"),
        QStringLiteral("Satire"),
        QStringLiteral("Slow Jam"),
        QStringLiteral("Club"),
        QStringLiteral("Tango"),
        QStringLiteral("Samba"),
        QStringLiteral("Folklore"),
        QStringLiteral("Ballad"),
        QStringLiteral("Power Ballad"),
        QStringLiteral("Rhythmic Soul"),
        QStringLiteral("Freestyle"),
        QStringLiteral("Duet"),
        QStringLiteral("Punk Rock"),
        QStringLiteral("Drum Solo"),
        QStringLiteral("Acapella"),
        QStringLiteral("Euro-House"),
        QStringLiteral("Dance Hall"),
    };
    return names;
}

QString genreName(int index)
{
    const QStringList &names = genreNames();
    if (index < 0 || index >= names.size())
        return QStringLiteral("Unknown");
    return names.at(index);
}
