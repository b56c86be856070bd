#include "platform/FileName.h"

#include <QStringDecoder>

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
