#include "masker/MaskerDialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

MaskerDialogs MaskerDialogs::standard()
{
    MaskerDialogs d;
    d.openFile = [](QWidget *parent, const QString &caption, const QString &dir, const QString &filter) {
        QFileDialog dialog(parent, caption, dir, filter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    d.saveFile = [](QWidget *parent, const QString &caption, const QString &dir, const QString &filter,
                    const QString &proposedName) {
        QFileDialog dialog(parent, caption, dir, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("msk"));
        dialog.selectFile(QDir(dir).filePath(proposedName));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().constFirst()
                   : QString();
    };
    d.question = [](QWidget *parent, const QString &caption, const QString &text) {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    d.information = [](QWidget *parent, const QString &caption, const QString &text) {
        QMessageBox::information(parent, caption, text);
    };
    d.warning = [](QWidget *parent, const QString &caption, const QString &text) {
        QMessageBox::warning(parent, caption, text);
    };
    d.chooseColor = [](QWidget *parent, const QColor &initial) {
        return QColorDialog::getColor(initial, parent);
    };
    return d;
}
