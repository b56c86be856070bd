#pragma once
// Names from the tags newer than ID3v1: ID3v2 (2.2, 2.3, 2.4) at the front of a file and APE tags at its end,
// and the tags of the other formats (Vorbis comments, MP4 atoms, RIFF INFO; see FileTags), read through
// TagLib (in a module loaded when such a tag is met). Only files without an ID3v1 tag are named from them; an
// ID3v1 tag keeps its meaning.
#include <QString>

namespace ExtendedTags
{

struct Names {
    QString artist;
    QString title;
    QString album;
    bool isEmpty() const { return artist.isEmpty() && title.isEmpty(); }
    // "Artist - Title", a missing half "Unknown" as for ID3v1 names; empty when both are missing.
    QString artistTitle() const;
};

// The names of a regular file's ID3v2 or APE tag (ID3v2 first), or of its own tags when it is of another
// format than MPEG; empty when it has none or they name nothing. A cheap look at both ends of the file
// decides whether TagLib is asked at all.
Names read(const QString &path);

} // namespace ExtendedTags

// The tag reader module's entry point: the names in bytes, an ID3v2 tag or an APE tag ending in its footer.
extern "C" Q_DECL_EXPORT void vorlanTagNames(const QByteArray *bytes, ExtendedTags::Names *names);
