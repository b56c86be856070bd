// The entry point of libvorlan-classic.so: the importer and libzip behind it, loaded on the first import.
#include "masks/ClassicSkinImporter.h"

extern "C" Q_DECL_EXPORT void vorlanImportClassicSkin(const QString *source, const QString *masksFolder,
                                                      ClassicImport *result)
{
    *result = ClassicSkinImporter::importSkin(*source, *masksFolder);
}
