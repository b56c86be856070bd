#pragma once
// The preferences: the editor of the player's Settings value, in six tabs. Apply (and OK) puts the controls
// into the value and says it was applied; the app then applies it to every window. Some choices act at once
// (output module, channels, priority, ReplayGain, loading a mask): the window writes them into the value and
// says so. Cancel only closes: what the user changed stays in the controls and is applied by the next Apply,
// and written at exit.
#include <QColor>
#include <QDialog>
#include <cstdint>

class PreferencesEnginePage;
class PreferencesInterfacePage;
class PreferencesMasksPage;
class PreferencesPlayListPage;
class PreferencesShutdownPage;
class PreferencesVorlanPage;
class QLabel;
class QPushButton;
class QTabWidget;
class TFountainFill;
struct Settings;

class PreferencesWindow : public QDialog
{
    Q_OBJECT

public:
    // The far end of the window's frame strips, which the colours do not reach.
    static const QColor FrameColor;

    // settings is the one value the controls are read from and written to; it outlives the window.
    explicit PreferencesWindow(Settings *settings, QWidget *parent = nullptr);

    // The colour list file ("VoColors.mnu" beside the player's other files).
    void setColorListPath(const QString &path);
    // The folder the mask dialog starts in.
    void setMaskDirectory(const QString &dir);

    // Controls from the settings value (at start) and back (Apply, the start's apply and at exit).
    void loadSettings();
    void storeSettings() const;
    Settings *settings() const { return m_settings; }

    // The colours of the gradient go into CP1, CP2 and the preview; then the window shows, modal for the
    // player but without a local event loop: finished() tells when it closed.
    void showWithColors(int32_t color1, int32_t color2);

    // --- Handlers ---
    void OkBtnClick();
    void CancelBtnClick();
    void Apply();
    // Only the colours of Apply: CP1 and CP2 into the value, over this window, and colorsApplied (a mask's
    // best colours, random colours).
    void applyColors();
    // CP1 and CP2 as the mask or the colour list give them, shown in the preview.
    void setPickerColors(int32_t color1, int32_t color2);
    // "RandomColors": one pair of the list, chosen at random, applied; false with fewer than two entries.
    bool pickRandomBestColor();

    // Choices the other windows also make (a double click on the gradient or the skin, the playlist's pin,
    // Change Mask).
    void setUseMask(bool on);
    void setDockPlayList(bool on);
    void setMaskUsed(const QString &path);
    // The icons the file types are registered with.
    int icon1() const;
    int icon2() const;

    // The tabs, in their order.
    PreferencesInterfacePage *interfacePage() const { return m_interface; }
    PreferencesEnginePage *enginePage() const { return m_engine; }
    PreferencesPlayListPage *playListPage() const { return m_playList; }
    PreferencesVorlanPage *vorlanPage() const { return m_vorlan; }
    PreferencesShutdownPage *shutdownPage() const { return m_shutdown; }
    PreferencesMasksPage *masksPage() const { return m_masks; }

    // --- Controls of the window itself ---
    QTabWidget *Tabs = nullptr;
    TFountainFill *TopFill = nullptr;
    TFountainFill *LeftFill = nullptr;
    TFountainFill *BottomFill = nullptr;
    TFountainFill *RightFill = nullptr;
    QLabel *Label8 = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

signals:
    // The value was applied (Apply, OK): every window is to follow it.
    void applied(const Settings &settings);
    // Only its colours changed.
    void colorsApplied(const Settings &settings);
    // Choices heard at once, already in the value.
    void outputModuleChosen(int module);
    void outputChannelsChosen(int channels);
    void priorityChosen(int priority);
    void replayGainChosen(bool on);
    // A mask file was chosen: it is loaded before the window closes.
    void maskChosen(const QString &path);
    // Then the window has closed; the main window shows everything again.
    void maskLoaded(const QString &path);
    // "Run VorlanMasker".
    void maskerRequested();

private:
    void buildFrame(QWidget *content);
    void applyFrameColors(const QColor &c1, const QColor &c2);
    void wirePages();

    Settings *m_settings;
    PreferencesInterfacePage *m_interface = nullptr;
    PreferencesEnginePage *m_engine = nullptr;
    PreferencesPlayListPage *m_playList = nullptr;
    PreferencesVorlanPage *m_vorlan = nullptr;
    PreferencesShutdownPage *m_shutdown = nullptr;
    PreferencesMasksPage *m_masks = nullptr;
};
