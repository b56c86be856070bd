#include "player/PreferencesMasksPage.h"

#include "player/PreferencesControls.h"
#include "player/Settings.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesMasksPage::PreferencesMasksPage(QWidget *parent) : QWidget(parent)
{
    using PreferencesControls::pushButton;
    m_maskChooser = [](QWidget *parent, const QString &start) {
        QFileDialog dialog(parent, QStringLiteral("Select Vorlan mask file."), start,
                           QStringLiteral("Vorlan mask files. (*.msk)"));
        dialog.setDefaultSuffix(QStringLiteral("msk"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    auto *column = new QVBoxLayout(this);
    UseMask = PreferencesControls::checkBox("UseMask", QStringLiteral("Active Mask Mode"), true, this);
    LoadBtn = pushButton("LoadBtn", QStringLiteral("Load Mask"), this);
    ClearMask = pushButton("ClearMask", QStringLiteral("Clear mask, and use the orginal"), this);
    auto *note =
        new QLabel(QStringLiteral("you must close Vorlan and restart it, to use the orginal mask."), this);
    note->setWordWrap(true);
    Masker = pushButton("Masker", QStringLiteral("Run VorlanMasker"), this);
    column->addWidget(UseMask);
    column->addWidget(LoadBtn);
    column->addWidget(ClearMask);
    column->addWidget(note);
    column->addWidget(Masker);
    column->addStretch();
    connect(LoadBtn, &QPushButton::clicked, this, &PreferencesMasksPage::LoadBtnClick);
    connect(ClearMask, &QPushButton::clicked, this, &PreferencesMasksPage::ClearMaskClick);
    connect(Masker, &QPushButton::clicked, this, &PreferencesMasksPage::maskerRequested);
}

void PreferencesMasksPage::load(const Settings &s)
{
    UseMask->setChecked(s.backMask);
    m_maskUsed = s.maskUsed;
}

void PreferencesMasksPage::store(Settings &s) const
{
    s.backMask = UseMask->isChecked();
    s.maskUsed = m_maskUsed;
}

void PreferencesMasksPage::setUseMask(bool on)
{
    UseMask->setChecked(on);
}

void PreferencesMasksPage::LoadBtnClick()
{
    const QString file = m_maskChooser(window(), m_maskDir);
    if (file.isEmpty())
        return;
    m_maskUsed = file;
    emit maskChosen(file);
}

void PreferencesMasksPage::ClearMaskClick()
{
    // The built-in face comes back at the next start.
    m_maskUsed.clear();
    emit maskCleared();
}
