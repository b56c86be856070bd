// Tags of the other formats through TagLib, in the tag reader module.
#include "tags/FileTags.h"

#include <QByteArray>
#include <QUtf8StringView>
#include <algorithm>
#include <memory>
#include <mutex>
#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacproperties.h>
#include <taglib/infotag.h>
#include <taglib/mp4file.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <unistd.h>

namespace
{

using FileTags::Kind;

// TagLib reports damaged files on stderr; what cannot be read is simply not shown.
class QuietFiles : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String &) override {}
};

// RIFF INFO texts have no declared encoding: UTF-8 when they are valid UTF-8 (as current tools write them),
// else Latin-1; written as UTF-8, so names in any script survive.
class InfoText : public TagLib::RIFF::Info::StringHandler
{
public:
    TagLib::String parse(const TagLib::ByteVector &data) const override
    {
        const TagLib::ByteVector text = data.mid(0, data.find('\0'));
        const QByteArray bytes(text.data(), int(text.size()));
        const bool utf8 = QUtf8StringView(bytes).isValidUtf8();
        return TagLib::String(text, utf8 ? TagLib::String::UTF8 : TagLib::String::Latin1);
    }
    TagLib::ByteVector render(const TagLib::String &s) const override { return s.data(TagLib::String::UTF8); }
};

void setUp()
{
    static std::once_flag once;
    static QuietFiles listener;
    static InfoText infoText;
    std::call_once(once, [] {
        TagLib::setDebugListener(&listener);
        TagLib::RIFF::Info::Tag::setStringHandler(&infoText);
    });
}

// A stream over the caller's file: TagLib reads and writes it from the start whatever the offset was.
int ownDescriptor(int fd)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return -1;
    return ::dup(fd);
}

QString text(const TagLib::String &s)
{
    return QString::fromStdWString(s.toWString()).trimmed();
}

TagLib::String tagText(const QString &s)
{
    return TagLib::String(s.trimmed().toStdWString());
}

// Fills the fields still empty from tag.
void takeFields(const TagLib::Tag &tag, FileTags::Fields *f)
{
    auto take = [](QString &field, const TagLib::String &value) {
        if (field.isEmpty())
            field = text(value);
    };
    take(f->title, tag.title());
    take(f->artist, tag.artist());
    take(f->album, tag.album());
    if (f->year.isEmpty() && tag.year())
        f->year = QString::number(tag.year());
    take(f->comment, tag.comment());
    take(f->genre, tag.genre());
}

void setFields(TagLib::Tag *tag, const FileTags::Fields &f)
{
    tag->setTitle(tagText(f.title));
    tag->setArtist(tagText(f.artist));
    tag->setAlbum(tagText(f.album));
    tag->setYear(f.year.trimmed().toUInt());
    tag->setComment(tagText(f.comment));
    tag->setGenre(tagText(f.genre));
}

std::unique_ptr<TagLib::File> open(TagLib::IOStream *stream, Kind kind, bool withStream)
{
    const auto style = TagLib::AudioProperties::Average;
    switch (kind) {
    case Kind::Flac:
        return std::make_unique<TagLib::FLAC::File>(stream, TagLib::ID3v2::FrameFactory::instance(),
                                                    withStream, style);
    case Kind::OggVorbis:
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, withStream, style);
    case Kind::OggOpus:
        return std::make_unique<TagLib::Ogg::Opus::File>(stream, withStream, style);
    case Kind::OggFlac:
        return std::make_unique<TagLib::Ogg::FLAC::File>(stream, withStream, style);
    case Kind::Mp4:
        return std::make_unique<TagLib::MP4::File>(stream, withStream, style);
    case Kind::Wav:
        return std::make_unique<TagLib::RIFF::WAV::File>(stream, withStream, style);
    case Kind::Aiff:
        return std::make_unique<TagLib::RIFF::AIFF::File>(stream, withStream, style);
    case Kind::WavPack:
        return std::make_unique<TagLib::WavPack::File>(stream, withStream, style);
    case Kind::None:
        break;
    }
    return nullptr;
}

// The codec and bits per sample, which TagLib keeps in each format's own properties.
void streamFacts(TagLib::File *file, Kind kind, FileTags::Info *info)
{
    switch (kind) {
    case Kind::Flac:
    case Kind::OggFlac:
        info->codec = QStringLiteral("FLAC");
        if (auto *p = dynamic_cast<TagLib::FLAC::Properties *>(file->audioProperties()))
            info->bits = p->bitsPerSample();
        break;
    case Kind::OggVorbis:
        info->codec = QStringLiteral("Vorbis");
        break;
    case Kind::OggOpus:
        info->codec = QStringLiteral("Opus");
        break;
    case Kind::Mp4:
        if (auto *p = dynamic_cast<TagLib::MP4::Properties *>(file->audioProperties())) {
            info->codec =
                p->codec() == TagLib::MP4::Properties::ALAC ? QStringLiteral("ALAC") : QStringLiteral("AAC");
            if (p->codec() == TagLib::MP4::Properties::ALAC)
                info->bits = p->bitsPerSample();
        }
        break;
    case Kind::Wav:
        info->codec = QStringLiteral("PCM");
        if (auto *p = dynamic_cast<TagLib::RIFF::WAV::Properties *>(file->audioProperties())) {
            info->bits = p->bitsPerSample();
            if (p->format() == 3)
                info->codec = QStringLiteral("PCM float");
        }
        break;
    case Kind::Aiff:
        info->codec = QStringLiteral("PCM");
        if (auto *p = dynamic_cast<TagLib::RIFF::AIFF::Properties *>(file->audioProperties())) {
            info->bits = p->bitsPerSample();
            if (p->isAiffC() && !p->compressionType().isEmpty() && p->compressionType() != "NONE")
                info->codec = QString::fromLatin1(p->compressionType().data(), p->compressionType().size());
        }
        break;
    case Kind::WavPack:
        info->codec = QStringLiteral("WavPack");
        if (auto *p = dynamic_cast<TagLib::WavPack::Properties *>(file->audioProperties()))
            info->bits = p->bitsPerSample();
        break;
    case Kind::None:
        break;
    }
}

} // namespace

void vorlanFileTags(int fd, int kind, bool withStream, FileTags::Info *info)
{
    setUp();
    *info = FileTags::Info();
    // The stream closes its descriptor; the caller keeps its own.
    const int own = ownDescriptor(fd);
    if (own < 0)
        return;
    TagLib::FileStream stream(own, true);
    const TagLib::FileRef ref(open(&stream, Kind(kind), withStream).release());
    if (ref.isNull() || !ref.file()->isValid())
        return;
    info->kind = Kind(kind);
    if (const TagLib::Tag *tag = ref.tag())
        takeFields(*tag, &info->fields);
    // A WAV file names itself in its ID3 chunk or, as most tools write it, in its RIFF INFO list.
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(ref.file()); wav && wav->hasInfoTag())
        takeFields(*wav->InfoTag(), &info->fields);
    // Some writers give APE tags a "Date" where TagLib looks for a "Year".
    if (info->fields.year.isEmpty()) {
        const TagLib::PropertyMap properties = ref.file()->properties();
        if (const auto date = properties.find("DATE"); date != properties.end() && !date->second.isEmpty()) {
            const QString text = ::text(date->second.front());
            qsizetype digits = 0;
            while (digits < std::min<qsizetype>(4, text.size()) && text.at(digits).isDigit())
                ++digits;
            info->fields.year = text.left(digits);
        }
    }
    if (!withStream || !ref.audioProperties())
        return;
    const TagLib::AudioProperties *p = ref.audioProperties();
    info->bitRate = p->bitrate();
    info->sampleRate = p->sampleRate();
    info->channels = p->channels();
    info->lengthMs = p->lengthInMilliseconds();
    streamFacts(ref.file(), Kind(kind), info);
}

bool vorlanWriteFileTags(int fd, int kind, const FileTags::Fields *fields)
{
    setUp();
    const int own = ownDescriptor(fd);
    if (own < 0)
        return false;
    TagLib::FileStream stream(own, false);
    if (stream.readOnly())
        return false;
    TagLib::FileRef ref(open(&stream, Kind(kind), false).release());
    if (ref.isNull() || !ref.file()->isValid() || !ref.tag())
        return false;
    setFields(ref.tag(), *fields);
    // Both of a WAV file's tags, so no reader finds the old names in the other.
    if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(ref.file()))
        setFields(wav->InfoTag(), *fields);
    return ref.save();
}
