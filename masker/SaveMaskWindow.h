#pragma once
// Asks for the mask's author and where to save it, has the mask written and offers to test it.
#include "masker/MaskerDialogs.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

class SaveMaskWindow : public QWidget
{
    Q_OBJECT

public:
    static const QString ProposedName; // "VorlanMask.msk"

    explicit SaveMaskWindow(QWidget *parent = nullptr);

    QLineEdit *Author = nullptr;
    QPushButton *SaveBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void setDialogs(const MaskerDialogs &dialogs) { m_dialogs = dialogs; }
    void setMasksDir(const QString &dir) { m_masksDir = dir; }
    // Writes the wizard's mask to a file; false when it could not be written.
    void setWriter(std::function<bool(const QString &path)> writer) { m_writer = std::move(writer); }

    // Runs the save dialog and writes; then asks whether to test the mask. True when a file was written.
    bool SaveBtnClick();
    void CancelBtnClick();
    QString lastSaved() const { return m_lastSaved; }

signals:
    void testRequested(const QString &path);

private:
    MaskerDialogs m_dialogs;
    QString m_masksDir;
    std::function<bool(const QString &)> m_writer;
    QString m_lastSaved;
};
