#pragma once
// "Import Classic Skin...": asks for a classic skin, has the importer module make a mask folder of it in the
// masks folder, and tells the user what came of it.
#include "masker/MaskerDialogs.h"
#include "masks/ClassicSkinModule.h"

#include <QString>
#include <functional>

class QWidget;

class ClassicImporter
{
public:
    static const QString Caption; // of the dialog and the boxes
    static const QString Filter;
    using Import = std::function<ClassicImport(const QString &source, const QString &masksFolder)>;

    ClassicImporter(const MaskerDialogs &dialogs, const QString &masksDir);
    // Another importer than the module's.
    void setImport(Import import) { m_import = std::move(import); }

    // Asks for a skin and imports it: the mask written, or empty when cancelled or failed (the failure is
    // told).
    QString ask(QWidget *parent);
    // Tells what the last import made, and what of the skin it left out.
    void tellSummary(QWidget *parent) const;
    static QString summary(const QString &source, const ClassicImport &result);

private:
    MaskerDialogs m_dialogs;
    QString m_masksDir;
    QString m_skinDir; // where the last skin was picked
    Import m_import;
    QString m_source;
    ClassicImport m_result;
};
