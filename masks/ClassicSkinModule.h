#pragma once
// The importer of classic skins (libvorlan-classic.so, libzip behind it), loaded when the first ".wsz" is
// imported: a classic skin, a zip of fixed-layout sprite sheets or a folder of them, becomes a mask folder
// "<masks folder>/<skin name>/" with its pictures as bitmaps and its ".msk", which the player wears and the
// editor edits like any mask.
#include <QString>
#include <QStringList>

struct ClassicImport {
    QString maskPath;    // the ".msk" written; empty when the import failed
    QString error;       // why it failed, in words for a user
    QStringList leftOut; // what of the skin a mask has no place for, one line each, for the summary
    bool ok() const { return !maskPath.isEmpty(); }
};

class ClassicSkinModule
{
public:
    // Whether a path names a classic skin: a ".wsz" file (or a ".zip"), or a folder holding a "main"
    // picture. By name and a look at the folder only; nothing is unpacked.
    static bool isClassicSkin(const QString &path);
    // Imports `source` into `masksFolder`. Only a folder an earlier import of the same skin made is replaced;
    // while that skin is unchanged, its mask is used again as it is (changes made in the editor stay). A
    // folder of another's making keeps its name and the skin takes "<name> (2)". Without the module, error
    // says it cannot be loaded.
    static ClassicImport importSkin(const QString &source, const QString &masksFolder);
};

// The module's entry point.
extern "C" void vorlanImportClassicSkin(const QString *source, const QString *masksFolder,
                                        ClassicImport *result);
