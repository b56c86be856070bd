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
