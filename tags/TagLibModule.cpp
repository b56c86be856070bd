#include "tags/TagLibModule.h"

#include "platform/Modules.h"
#include "tags/VorlanTagCover.h"

#include <QByteArray>
#include <QFile>

ExtendedTags::Names TagLibModule::names(const QByteArray &bytes)
{
    static const auto reader = Modules::entry<decltype(vorlanTagNames)>("vorlan-taglib", "vorlanTagNames");
    ExtendedTags::Names names;
    if (reader)
        reader(&bytes, &names);
    return names;
}

QByteArray TagLibModule::cover(const QString &path, qint64 maxBytes)
{
    static const auto reader = Modules::entry<decltype(vorlanTagCover)>("vorlan-taglib", "vorlanTagCover");
    QByteArray bytes;
    if (reader && maxBytes > 0)
        reader(
            QFile::encodeName(path).constData(), size_t(maxBytes),
            [](void *user, const unsigned char *data, size_t size, const char *) {
                *static_cast<QByteArray *>(user) =
                    QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
            },
            &bytes);
    return bytes;
}

FileTags::Info TagLibModule::fileTags(int fd, FileTags::Kind kind, bool withStream)
{
    static const auto reader = Modules::entry<decltype(vorlanFileTags)>("vorlan-taglib", "vorlanFileTags");
    FileTags::Info info;
    if (reader)
        reader(fd, int(kind), withStream, &info);
    return info;
}

bool TagLibModule::writeFileTags(int fd, FileTags::Kind kind, const FileTags::Fields &fields)
{
    static const auto writer =
        Modules::entry<decltype(vorlanWriteFileTags)>("vorlan-taglib", "vorlanWriteFileTags");
    return writer && writer(fd, int(kind), &fields);
}
