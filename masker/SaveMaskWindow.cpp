#include "masker/SaveMaskWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString SaveMaskWindow::ProposedName = QStringLiteral("VorlanMask.msk");

SaveMaskWindow::SaveMaskWindow(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("Save Mask"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Please Enter your Name"), this));
    Author = new QLineEdit(QStringLiteral("Nuri Calvat"), this);
    Author->setObjectName(QStringLiteral("Author"));
    layout->addWidget(Author);
    auto *buttons = new QHBoxLayout;
    SaveBtn = new QPushButton(QStringLiteral("Save"), this);
    SaveBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &SaveMaskWindow::CancelBtnClick);
    m_dialogs = MaskerDialogs::standard();
    setMinimumWidth(300);
}

bool SaveMaskWindow::SaveBtnClick()
{
    QString path = m_dialogs.saveFile(this, QStringLiteral("Save Mask"), m_masksDir,
                                      QStringLiteral("Vorlan Masks (*.msk)"), ProposedName);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".msk");
    if (!m_writer || !m_writer(path)) {
        // Saying nothing here would leave the user believing the mask was saved.
        m_dialogs.information(this, QStringLiteral("VorlanMasker"),
                              QStringLiteral("The mask could not be saved to \"%1\".").arg(path));
        return false;
    }
    m_lastSaved = path;
    hide();
    if (m_dialogs.question(this, QStringLiteral("VorlanMasker"),
                           QStringLiteral("Do you want test your last saved mask?")))
        emit testRequested(path);
    close();
    return true;
}

void SaveMaskWindow::CancelBtnClick()
{
    close();
}
