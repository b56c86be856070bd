#include "masker/ClassicImporter.h"

#include <QDir>
#include <QFileInfo>

const QString ClassicImporter::Caption = QStringLiteral("Import Classic Skin");
const QString ClassicImporter::Filter = QStringLiteral("Classic Skins (*.wsz *.zip)");

ClassicImporter::ClassicImporter(const MaskerDialogs &dialogs, const QString &masksDir)
    : m_dialogs(dialogs), m_masksDir(masksDir), m_import(&ClassicSkinModule::importSkin)
{
}

QString ClassicImporter::ask(QWidget *parent)
{
    // Skins come from elsewhere than the masks: the first is looked for at home, the next where it was.
    const QString source =
        m_dialogs.openFile(parent, Caption, m_skinDir.isEmpty() ? QDir::homePath() : m_skinDir, Filter);
    if (source.isEmpty())
        return QString();
    m_skinDir = QFileInfo(source).absolutePath();
    m_source = source;
    m_result = m_import(source, m_masksDir);
    if (!m_result.ok()) {
        const QString error = m_result.error.isEmpty()
                                  ? QStringLiteral("\"%1\" could not be imported.").arg(source)
                                  : m_result.error;
        (m_dialogs.warning ? m_dialogs.warning : m_dialogs.information)(parent, Caption, error);
        return QString();
    }
    return m_result.maskPath;
}

void ClassicImporter::tellSummary(QWidget *parent) const
{
    m_dialogs.information(parent, Caption, summary(m_source, m_result));
}

QString ClassicImporter::summary(const QString &source, const ClassicImport &result)
{
    const QFileInfo info(source);
    const QString skin = info.isDir() ? info.fileName() : info.completeBaseName();
    QString text = QStringLiteral("The skin \"%1\" is now the mask \"%2\".")
                       .arg(skin, QDir::toNativeSeparators(result.maskPath));
    if (!result.leftOut.isEmpty())
        text +=
            QStringLiteral("\n\nWhat the mask leaves out or does otherwise:\n") + result.leftOut.join('\n');
    return text;
}
