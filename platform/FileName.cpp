#include "platform/FileName.h"

#include <QStringDecoder>

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

namespace FileName
{

namespace
{

bool exists(const QByteArray &native)
{
    struct stat st;
    return ::lstat(native.constData(), &st) == 0;
}

bool fitsLatin1(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString whole = utf8(bytes);
    if (!utf8.hasError())
        return whole;
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype slash = bytes.indexOf('/', start);
        if (slash < 0)
            slash = bytes.size();
        const QByteArray part = bytes.mid(start, slash - start);
        QStringDecoder partDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = partDecoder(part);
        text += partDecoder.hasError() ? QString::fromLatin1(part) : decoded;
        if (slash < bytes.size())
            text += QLatin1Char('/');
        start = slash + 1;
    }
    return text;
}

QString fromLocalUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return QString();
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return bytes.isEmpty() ? url.toLocalFile() : decode(bytes);
}

QStringList folderEntries(const QString &folder)
{
    QStringList names;
    const QByteArray native = encode(folder);
    DIR *dir = ::opendir(native.isEmpty() ? "/" : native.constData());
    if (!dir)
        return names;
    while (const struct dirent *e = ::readdir(dir)) {
        if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
            continue;
        names << decode(QByteArray(e->d_name));
    }
    ::closedir(dir);
    return names;
}

QString repair(const QString &path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return path;
    const QStringList parts = path.split(QLatin1Char('/'));
    QString repaired;
    for (int i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (part.contains(QChar::ReplacementCharacter)) {
            // The entry Qt would have shown this way.
            for (const QString &name : folderEntries(repaired.isEmpty() ? QStringLiteral("/") : repaired)) {
                const QByteArray native = encode(repaired + QLatin1Char('/') + name);
                if (QFile::decodeName(native.mid(native.lastIndexOf('/') + 1)) == part) {
                    part = name;
                    break;
                }
            }
        }
        repaired += (i > 0 ? QStringLiteral("/") : QString()) + part;
    }
    return repaired;
}

QByteArray encode(const QString &path)
{
    QByteArray utf8 = path.toUtf8();
    if (isAscii(path) || !fitsLatin1(path) || exists(utf8))
        return utf8;
    // Part by part: a UTF-8 folder may hold a Latin-1 file, and the other way round.
    QByteArray native;
    qsizetype start = 0;
    while (start <= path.size()) {
        qsizetype slash = path.indexOf(QLatin1Char('/'), start);
        if (slash < 0)
            slash = path.size();
        const QStringView part = QStringView(path).mid(start, slash - start);
        QByteArray bytes = part.toUtf8();
        if (!isAscii(part) && !exists(native + bytes)) {
            const QByteArray latin1 = part.toLatin1();
            if (exists(native + latin1))
                bytes = latin1;
        }
        native += bytes;
        if (slash < path.size())
            native += '/';
        start = slash + 1;
    }
    return native;
}

} // namespace FileName
