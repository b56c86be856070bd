// The tag reader, in a module of its own: TagLib is loaded only by a program that meets such a tag.
#include "tags/ExtendedTags.h"

#include <mutex>
#include <taglib/apetag.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfile.h>

namespace
{

// TagLib reports damaged tags on stderr; a damaged tag is simply not used.
class QuietListener : public TagLib::DebugListener
{
public:
    void printMessage(const TagLib::String &) override {}
};

// A file of nothing but the tag's bytes.
class TagBytes : public TagLib::File
{
public:
    explicit TagBytes(TagLib::IOStream *stream) : TagLib::File(stream) {}
    TagLib::Tag *tag() const override { return nullptr; }
    TagLib::AudioProperties *audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

QString text(const TagLib::String &s)
{
    return QString::fromStdWString(s.toWString()).trimmed();
}

} // namespace

void vorlanTagNames(const QByteArray *bytes, ExtendedTags::Names *names)
{
    static std::once_flag once;
    static QuietListener quiet;
    std::call_once(once, [] { TagLib::setDebugListener(&quiet); });
    TagLib::ByteVector data(bytes->constData(), unsigned(bytes->size()));
    TagLib::ByteVectorStream stream(data);
    // The tag is parsed where it lies, without the MPEG file's searches for every other kind.
    TagBytes file(&stream);
    auto take = [names](const TagLib::Tag &tag) {
        names->artist = text(tag.artist());
        names->title = text(tag.title());
        names->album = text(tag.album());
    };
    if (bytes->startsWith("ID3")) {
        take(TagLib::ID3v2::Tag(&file, 0));
    } else {
        const qsizetype footer = bytes->lastIndexOf("APETAGEX");
        if (footer >= 0)
            take(TagLib::APE::Tag(&file, footer));
    }
}
