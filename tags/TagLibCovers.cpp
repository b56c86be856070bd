// Embedded cover pictures, read by TagLib in the tag reader module.
#include "tags/VorlanTagCover.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/apetag.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>
#include <taglib/xiphcomment.h>
#include <unistd.h>

namespace
{

class QuietListener : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String &) override {}
};

// The best picture met so far: a front cover beats any other kind, the first of a kind beats later ones.
struct Choice {
    TagLib::ByteVector data;
    TagLib::String mime;
    bool front = false;
    size_t maxBytes = 0;

    void offer(const TagLib::ByteVector &bytes, const TagLib::String &type, bool isFront)
    {
        if (bytes.isEmpty() || bytes.size() > maxBytes || front || (!data.isEmpty() && !isFront))
            return;
        data = bytes;
        mime = type;
        front = isFront;
    }
};

void fromId3v2(const TagLib::ID3v2::Tag *tag, Choice &choice)
{
    if (!tag)
        return;
    for (const TagLib::ID3v2::Frame *frame : tag->frameList("APIC")) {
        const auto *picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame *>(frame);
        if (picture)
            choice.offer(picture->picture(), picture->mimeType(),
                         picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    }
}

void fromFlacPictures(const TagLib::List<TagLib::FLAC::Picture *> &pictures, Choice &choice)
{
    for (const TagLib::FLAC::Picture *picture : pictures)
        choice.offer(picture->data(), picture->mimeType(),
                     picture->type() == TagLib::FLAC::Picture::FrontCover);
}

void fromXiph(TagLib::Ogg::XiphComment *comment, Choice &choice)
{
    if (comment)
        fromFlacPictures(comment->pictureList(), choice);
}

// An APE cover item is its file name, a zero byte, then the picture.
void fromApe(const TagLib::APE::Tag *tag, Choice &choice)
{
    if (!tag)
        return;
    const TagLib::APE::ItemListMap &items = tag->itemListMap();
    for (const char *key : {"COVER ART (FRONT)", "COVER ART (OTHER)"}) {
        const auto item = items.find(key);
        if (item == items.end() || item->second.type() != TagLib::APE::Item::Binary)
            continue;
        const TagLib::ByteVector value = item->second.binaryData();
        const int zero = value.find('\0');
        if (zero >= 0)
            choice.offer(value.mid(unsigned(zero) + 1), TagLib::String(), key[10] == 'F');
    }
}

void fromMp4(const TagLib::MP4::Tag *tag, Choice &choice)
{
    if (!tag || !tag->contains("covr"))
        return;
    for (const TagLib::MP4::CoverArt &art : tag->item("covr").toCoverArtList()) {
        const char *mime = art.format() == TagLib::MP4::CoverArt::PNG    ? "image/png"
                           : art.format() == TagLib::MP4::CoverArt::JPEG ? "image/jpeg"
                                                                         : "";
        // The atom has no kind of picture: the first is the cover.
        choice.offer(art.data(), mime, false);
    }
}

void choose(TagLib::File *file, Choice &choice)
{
    if (auto *mpeg = dynamic_cast<TagLib::MPEG::File *>(file)) {
        fromId3v2(mpeg->ID3v2Tag(), choice);
        fromApe(mpeg->APETag(), choice);
    } else if (auto *flac = dynamic_cast<TagLib::FLAC::File *>(file)) {
        fromFlacPictures(flac->pictureList(), choice);
        fromXiph(flac->xiphComment(), choice);
        fromId3v2(flac->ID3v2Tag(), choice);
    } else if (auto *vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File *>(file)) {
        fromXiph(vorbis->tag(), choice);
    } else if (auto *opus = dynamic_cast<TagLib::Ogg::Opus::File *>(file)) {
        fromXiph(opus->tag(), choice);
    } else if (auto *oggFlac = dynamic_cast<TagLib::Ogg::FLAC::File *>(file)) {
        fromXiph(oggFlac->tag(), choice);
    } else if (auto *mp4 = dynamic_cast<TagLib::MP4::File *>(file)) {
        fromMp4(mp4->tag(), choice);
    } else if (auto *wav = dynamic_cast<TagLib::RIFF::WAV::File *>(file)) {
        fromId3v2(wav->ID3v2Tag(), choice);
    } else if (auto *aiff = dynamic_cast<TagLib::RIFF::AIFF::File *>(file)) {
        fromId3v2(aiff->tag(), choice);
    } else if (auto *wavpack = dynamic_cast<TagLib::WavPack::File *>(file)) {
        fromApe(wavpack->APETag(), choice);
    } else if (auto *ape = dynamic_cast<TagLib::APE::File *>(file)) {
        fromApe(ape->APETag(), choice);
    }
}

} // namespace

int vorlanTagCover(const char *path, size_t maxBytes, VorlanTagCoverSink sink, void *user)
{
    static std::once_flag once;
    static QuietListener quiet;
    std::call_once(once, [] { TagLib::setDebugListener(&quiet); });
    // Regular files only: opening a FIFO would wait for a writer.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return 0;
    struct stat st {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    // The stream owns the descriptor once it opened it.
    TagLib::FileStream stream(fd, true);
    if (!stream.isOpen()) {
        ::close(fd);
        return 0;
    }
    Choice choice;
    choice.maxBytes = maxBytes;
    {
        // The kind of file is found by its content; the audio properties are not read.
        TagLib::FileRef ref(&stream, false);
        if (ref.isNull())
            return 0;
        choose(ref.file(), choice);
    }
    if (choice.data.isEmpty())
        return 0;
    sink(user, reinterpret_cast<const unsigned char *>(choice.data.data()), choice.data.size(),
         choice.mime.to8Bit(true).c_str());
    return 1;
}
