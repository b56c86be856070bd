#pragma once
// The preferences: six tabs of controls that edit the player's settings, and Apply, which hands them to every
// window in a fixed order. Some choices act at once (output module, channels, priority, loading a mask); the
// rest wait for OK. Cancel only closes: what the user changed stays in the controls and is applied by the
// next Apply, and written at exit.
#include <QColor>
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class AboutWindow;
class AddFilesWindow;
class ColorList;
class EqualizerWindow;
class FileInfoWindow;
class FlatButton;
class MainWindow;
class PlaybackController;
class PlaylistModel;
class PlaylistWindow;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class SkinnedWindow;
class StatisticsWindow;
class TagEditorWindow;
class TFountainFill;
class TimedShutdown;
class TXaudioPlayer;
class UrlInputWindow;
struct Settings;

// A radio group with a caption, items in order, one of them chosen.
class RadioGroup;

class PreferencesWindow : public QDialog
{
    Q_OBJECT

public:
    static constexpr int IconCount = 21;
    static constexpr int MaxMinutes = 999;
    static constexpr int PreviewSteps = 50;
    // The far end of the window's frame strips, which the colours do not reach.
    static const QColor FrameColor;

    // What Apply reaches. Windows may be missing (null) in a partial setup; the hooks are the application's
    // own steps: place the playlist by the docking settings, and show the skinned face or the strip.
    struct Targets {
        MainWindow *main = nullptr;
        PlaylistWindow *playlist = nullptr;
        SkinnedWindow *skinned = nullptr;
        EqualizerWindow *equalizer = nullptr;
        AboutWindow *about = nullptr;
        FileInfoWindow *info = nullptr;
        TagEditorWindow *tagEditor = nullptr;
        AddFilesWindow *addFiles = nullptr;
        StatisticsWindow *statistics = nullptr;
        UrlInputWindow *urlInput = nullptr;
        PlaybackController *controller = nullptr;
        TXaudioPlayer *player = nullptr;
        PlaylistModel *model = nullptr;
        TimedShutdown *shutdown = nullptr;
        std::function<void()> dockPlaylist;
        std::function<void(bool useMask)> showFace;
        // Where "Multi Instance\Allow" goes (the registry store's file); empty: its default place.
        QString registryPath;
    };

    // Dialogs, replaceable so nothing waits for a person in tests.
    using ColorChooser = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;
    using FontChooser = std::function<std::optional<QFont>(QWidget *parent, const QFont &initial)>;
    using FolderChooser = std::function<QString(QWidget *parent, const QString &startDir)>;
    using MaskChooser = std::function<QString(QWidget *parent, const QString &startDir)>;

    // settings is the one value the controls are read from and written to; it outlives the window.
    explicit PreferencesWindow(Settings *settings, QWidget *parent = nullptr);
    ~PreferencesWindow() override;

    void setTargets(const Targets &targets);
    const Targets &targets() const { return m_targets; }
    void setColorChooser(ColorChooser chooser) { m_colorChooser = std::move(chooser); }
    void setFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }
    void setMaskChooser(MaskChooser chooser) { m_maskChooser = std::move(chooser); }
    // The colour list file ("VoColors.mnu" beside the player's other files).
    void setColorListPath(const QString &path);
    QString colorListPath() const;
    // The folder the mask dialog starts in.
    void setMaskDirectory(const QString &dir) { m_maskDir = dir; }
    QString maskDirectory() const { return m_maskDir; }

    // Controls from the settings value (at start) and back (Apply and at exit).
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
    // Only the colours of Apply: CP1 and CP2 over every window (a mask's best colours, random colours).
    void applyColors();
    // CP1 and CP2 as the mask or the colour list give them, shown in the preview.
    void setPickerColors(int32_t color1, int32_t color2);
    int32_t color1() const { return m_cp1; }
    int32_t color2() const { return m_cp2; }
    void CP1Click();
    void CP2Click();
    void BestColorChange(int index);
    void CAddBtnClick();
    void CRemoveBtnClick();
    void loadColorList();
    // "RandomColors": one pair of the list, chosen at random, applied; false with fewer than two entries.
    bool pickRandomBestColor();
    void ModuleClick(int index);
    void ChannelsClick(int index);
    void PriorityClick(int index);
    void chooseOutputDirectory();
    void PlayListFontClick();
    void LoadBtnClick();
    void ClearMaskClick();
    void RegistreClick();

    // Choices the other windows also make (a double click on the gradient or the skin, the playlist's pin).
    void setUseMask(bool on);
    void setDockPlayList(bool on);
    int icon1() const;
    int icon2() const;
    QString maskUsed() const { return m_maskUsed; }
    void setMaskUsed(const QString &path) { m_maskUsed = path; }
    QString outputDirectory() const { return m_outputDir; }
    QFont listFont() const { return m_listFont; }

    // --- Controls, by tab ---
    QTabWidget *Tabs = nullptr;
    // Interface
    QPushButton *CP1 = nullptr;
    QPushButton *CP2 = nullptr;
    TFountainFill *FountainFill1 = nullptr; // preview
    QComboBox *BestColor = nullptr;
    QLineEdit *ColorName = nullptr;
    QPushButton *CAddBtn = nullptr;
    QPushButton *CRemoveBtn = nullptr;
    QCheckBox *RandColor = nullptr;
    // MP3 Engine
    RadioGroup *ChannelsRadioGroup = nullptr;
    RadioGroup *Module = nullptr;
    RadioGroup *XPriority = nullptr;
    QPushButton *TransparentButton1 = nullptr;
    QLabel *DirLabel = nullptr;
    // Play List
    RadioGroup *AlignmentBox = nullptr;
    QPushButton *PlayListFont = nullptr;
    QCheckBox *DockPlayList = nullptr;
    // Vorlan
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
    QCheckBox *ReplayGain = nullptr; // MP3 Engine: the songs' ReplayGain level
    // Timer Shutdown
    RadioGroup *ShutDownGroup = nullptr;
    QSpinBox *STime = nullptr;
    QSpinBox *NSongs = nullptr;
    // Masks
    QCheckBox *UseMask = nullptr;
    QPushButton *LoadBtn = nullptr;
    QPushButton *ClearMask = nullptr;
    QPushButton *Masker = nullptr;
    // Frame and buttons
    TFountainFill *TopFill = nullptr;
    TFountainFill *LeftFill = nullptr;
    TFountainFill *BottomFill = nullptr;
    TFountainFill *RightFill = nullptr;
    QLabel *Label8 = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

signals:
    // "Run VorlanMasker".
    void maskerRequested();
    // A mask was chosen and loaded; the main window shows everything again.
    void maskLoaded(const QString &path);
    // Each step of Apply as it runs ("docking", "font", "shutdown", "tray", "colors", "mask", "registry",
    // "hints"), for whoever needs to follow it.
    void applyStep(const QString &step);

private:
    void buildInterfaceTab();
    void buildEngineTab();
    void buildPlayListTab();
    void buildVorlanTab();
    void buildShutdownTab();
    void buildMasksTab();
    void buildFrame(QWidget *content);
    void showPickerColors();
    void showIcon(QLabel *image, int number);
    void showDirectory();
    void showFontCaption();
    void applyFrameColors(const QColor &c1, const QColor &c2);
    void applyDocking();
    void applyFont();
    void applyShutdown();
    void applyTray();
    void applyMaskMode();
    void applyRegistry();
    void applyHints();

    Settings *m_settings;
    Targets m_targets;
    std::unique_ptr<ColorList> m_colors;
    int32_t m_cp1 = 12615680;
    int32_t m_cp2 = 16777215;
    QString m_outputDir;
    QFont m_listFont;
    QString m_maskUsed;
    QString m_maskDir;
    ColorChooser m_colorChooser;
    FontChooser m_fontChooser;
    FolderChooser m_folderChooser;
    MaskChooser m_maskChooser;
};

class RadioGroup : public QWidget
{
    Q_OBJECT

public:
    RadioGroup(const QString &caption, const QStringList &items, QWidget *parent = nullptr);
    int itemIndex() const;
    // An index outside the items chooses none.
    void setItemIndex(int index);
    QRadioButton *item(int index) const;
    int count() const { return int(m_items.size()); }

signals:
    // The user chose an item (not emitted by setItemIndex).
    void clicked(int index);

private:
    QList<QRadioButton *> m_items;
};
