#pragma once
// The preferences' "Vorlan" tab: the file types with their two icons, the strip's screen edge, the tray
// icon's animation, several players at once, playing after a load, the hints and the animated pictures.
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
struct Settings;

class PreferencesVorlanPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int IconCount = 21;

    explicit PreferencesVorlanPage(QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

    // --- Handlers ---
    void RegistreClick();

    QPushButton *Registre = nullptr;
    QSpinBox *Icon1 = nullptr;
    QSpinBox *Icon2 = nullptr;
    QLabel *IconImage1 = nullptr;
    QLabel *IconImage2 = nullptr;
    QRadioButton *LeftDock = nullptr;
    QRadioButton *RightDock = nullptr;
    QCheckBox *AniTray = nullptr;
    QCheckBox *Multi = nullptr;
    QCheckBox *AutoPlay = nullptr;
    QCheckBox *ShowHints = nullptr;
    QCheckBox *ActiveGif = nullptr;

private:
    void showIcon(QLabel *image, int number);
};
