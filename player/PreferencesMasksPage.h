#pragma once
// The preferences' "Masks" tab: whether the skinned window is the player's face, loading a mask (at once),
// going back to the built-in one (at the next start), and the mask editor.
#include <QWidget>
#include <functional>

class QCheckBox;
class QPushButton;
struct Settings;

class PreferencesMasksPage : public QWidget
{
    Q_OBJECT

public:
    // The mask file dialog, replaceable so nothing waits for a person in tests.
    using MaskChooser = std::function<QString(QWidget *parent, const QString &startDir)>;

    explicit PreferencesMasksPage(QWidget *parent = nullptr);

    void setMaskChooser(MaskChooser chooser) { m_maskChooser = std::move(chooser); }
    // The folder the mask dialog starts in.
    void setMaskDirectory(const QString &dir) { m_maskDir = dir; }
    QString maskDirectory() const { return m_maskDir; }
    void load(const Settings &s);
    void store(Settings &s) const;

    // Choices the other windows also make (a double click on the gradient or the skin, Change Mask).
    void setUseMask(bool on);
    QString maskUsed() const { return m_maskUsed; }
    void setMaskUsed(const QString &path) { m_maskUsed = path; }

    // --- Handlers ---
    void LoadBtnClick();
    void ClearMaskClick();

    QCheckBox *UseMask = nullptr;
    QPushButton *LoadBtn = nullptr;
    QPushButton *ClearMask = nullptr;
    QPushButton *Masker = nullptr;

signals:
    void maskChosen(const QString &path);
    void maskCleared();
    // "Run VorlanMasker".
    void maskerRequested();

private:
    QString m_maskUsed;
    QString m_maskDir;
    MaskChooser m_maskChooser;
};
