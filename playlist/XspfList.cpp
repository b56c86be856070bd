#include "playlist/XspfList.h"

#include "platform/FileName.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"

#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace XspfList
{

namespace
{

const QString Namespace = QStringLiteral("http://xspf.org/ns/0/");

// What one <location> names: a local file (from a file: URI or a path relative to the list), a stream URL, or
// nothing.
QString resolve(const QString &location, const QString &dir)
{
    const QString text = location.trimmed();
    if (text.isEmpty() || text.size() > 32 * 1024)
        return {};
    const QUrl url(text);
    if (url.isLocalFile())
        return PlaylistFiles::resolveListLine(QString(), FileName::fromLocalUrl(url));
    if (PlaylistModel::IsStreamUrl(text))
        return text;
    // A relative reference is a path below the list's folder, percent-escaped.
    if (url.isRelative())
        return PlaylistFiles::resolveListLine(dir, QUrl::fromPercentEncoding(text.toUtf8()));
    return {};
}

// The location of a local file as a file: URI of the bytes that name it on disk.
QString fileUri(const QString &path)
{
    return QStringLiteral("file://") + QString::fromLatin1(FileName::encode(path).toPercentEncoding("/"));
}

// "mm:ss" or "h:mm:ss" of a list entry, in milliseconds; 0 when it is none.
qint64 durationMs(const QString &time)
{
    qint64 seconds = 0;
    for (const QString &part : time.split(QLatin1Char(':'))) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0)
            return 0;
        seconds = seconds * 60 + value;
    }
    return seconds * 1000;
}

} // namespace

QStringList locations(const QByteArray &bytes, const QString &dir)
{
    QStringList found;
    QXmlStreamReader xml(bytes);
    // Only a <location> right inside a <track> counts: one inside an <extension> is another program's.
    int depth = 0;
    int trackDepth = -1;
    bool located = false;
    while (!xml.atEnd()) {
        // A damaged list gives what was read before the damage.
        if (xml.readNext() == QXmlStreamReader::Invalid)
            break;
        if (xml.isStartElement()) {
            ++depth;
            if (trackDepth < 0 && xml.name() == QLatin1String("track")) {
                trackDepth = depth;
                located = false;
            } else if (depth == trackDepth + 1 && !located && xml.name() == QLatin1String("location")) {
                located = true;
                const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
                --depth; // the element's end was read with its text
                // A location cut short by the damage may name another file: it is not taken.
                const QString path = xml.hasError() ? QString() : resolve(text, dir);
                if (!path.isEmpty())
                    found << path;
            }
        } else if (xml.isEndElement()) {
            if (depth == trackDepth)
                trackDepth = -1;
            --depth;
        }
    }
    return found;
}

QByteArray toXml(const PlaylistModel &model)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("playlist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
    xml.writeDefaultNamespace(Namespace);
    xml.writeStartElement(QStringLiteral("trackList"));
    for (int i = 0; i < model.count(); ++i) {
        const PlaylistEntry &e = model.entry(i);
        const QString &path = e.path;
        if (path.isEmpty())
            continue;
        xml.writeStartElement(QStringLiteral("track"));
        // Escaped either way: a location holds no character XML cannot carry.
        xml.writeTextElement(QStringLiteral("location"), PlaylistModel::IsStreamUrl(path)
                                                             ? QString::fromLatin1(QUrl(path).toEncoded())
                                                             : fileUri(path));
        // The entry's name is "Artist - Title" when its tag says so.
        const QString name = PlaylistModel::cleanField(e.name);
        const qsizetype dash = name.indexOf(QLatin1String(" - "));
        if (dash > 0 && !PlaylistModel::IsStreamUrl(path)) {
            xml.writeTextElement(QStringLiteral("title"), name.mid(dash + 3));
            xml.writeTextElement(QStringLiteral("creator"), name.left(dash));
        } else if (!name.isEmpty() && name != path) {
            // A name that is only the URL is no title: the reading player names the stream its own way.
            xml.writeTextElement(QStringLiteral("title"), name);
        }
        if (const qint64 ms = durationMs(e.time); ms > 0)
            xml.writeTextElement(QStringLiteral("duration"), QString::number(ms));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace XspfList
