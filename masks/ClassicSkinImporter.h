#pragma once
// Turns a classic skin into a mask folder "<masks folder>/<skin name>/": the sheets cut into the mask's
// pictures (bitmaps), the outline as "shape.txt", and "<skin name>.msk" with every object at its classic
// place. The folder is written beside the old one under a temporary name and swapped in at the end, so a
// failed import leaves neither half a mask nor a lost old one. A folder it makes says where from
// (OriginFile): only such a folder of the same skin is ever replaced, and while that skin is unchanged its
// mask is used as it is, with what the editor did to it.
#include "masks/ClassicSkinModule.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <optional>
#include <utility>

class ClassicSkin;
class MaskFile;

class ClassicSkinImporter
{
public:
    static constexpr int MaxNameLength = 64;
    // "Name", "Name (2)" ... "Name (MaxSameNames)".
    static constexpr int MaxSameNames = 99;
    static inline const QString OriginFile = QStringLiteral(".classic-skin");
    static inline const QString OriginSection = QStringLiteral("Classic Skin");

    // Where a mask folder was imported from, and what the import left out.
    struct Origin {
        QString source; // absolute
        qint64 size = 0;
        qint64 modified = 0; // ms since the epoch
        QStringList leftOut;
    };
    static Origin originOf(const QString &source);
    static std::optional<Origin> readOrigin(const QString &folder);
    static bool writeOrigin(const QString &folder, const Origin &origin);

    // Imports a ".wsz" / ".zip" file or an unpacked folder.
    static ClassicImport importSkin(const QString &source, const QString &masksFolder);

    // A name made fit for a folder: no slashes or control characters, no leading dot, trimmed, at most
    // MaxNameLength characters; "Skin" when nothing is left.
    static QString safeName(const QString &name);

    // The pictures and keys of a skin, before anything is written: name -> picture, and the mask that names
    // them.
    struct Pictures {
        QList<std::pair<QString, QImage>> files;
        QByteArray shape; // shape.txt, empty for the rectangle
    };
    static Pictures build(const ClassicSkin &skin, const QString &skinName, MaskFile *mask);

private:
    static ClassicImport write(const ClassicSkin &skin, const QString &skinName, const QString &masksFolder,
                               const Origin &origin);
};
