#pragma once
// XSPF, the XML playlist most players and web services exchange: a <trackList> of <track>s, each with a
// <location> (a file: URI or a stream URL, relative ones against the list's folder) and, when written, its
// <title>, <creator> and <duration> (milliseconds). Read with the same limits and the same forgiveness as the
// other lists: what names a file or a stream is taken, in order, up to the first damage; the rest is left.
#include <QString>
#include <QStringList>

class PlaylistModel;

namespace XspfList
{

// The paths and URLs the bytes of a list in folder dir name, in order.
QStringList locations(const QByteArray &bytes, const QString &dir);
// The XSPF text for the model's entries.
QByteArray toXml(const PlaylistModel &model);

} // namespace XspfList
