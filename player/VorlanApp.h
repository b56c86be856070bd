#pragma once
// The player program: starts in the fixed order (single instance, windows, decoder, settings, equalizer,
// first-run prompt, command line), wires the windows to the playback controller, and saves everything at
// exit, at logout and when it is told to end.
#include "player/Settings.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class AboutWindow;
class AddFilesWindow;
class EqualizerWindow;
class FileInfoWindow;
class FindWindow;
class MainWindow;
class MprisService;
class ProfileFile;
class PlaylistWindow;
class PreferencesWindow;
class SettingsApplier;
class SkinnedWindow;
struct StreamInfo;
class StatisticsWindow;
class TagEditorWindow;
class UrlInputWindow;
class PlaybackController;
class PlayerActions;
class PlaylistModel;
class SessionGuard;
class SingleInstance;
class Statistics;
class TimedShutdown;
class TWinReboot;
class TXaudioPlayer;

class VorlanApp : public QObject
{
    Q_OBJECT

public:
    explicit VorlanApp(const QStringList &arguments, QObject *parent = nullptr);
    ~VorlanApp() override;

    // False when a running player took the command line over: this process then ends.
    bool startUp();

    // The files this player keeps.
    static QString configPath();
    static QString lastPlaylistPath();
    static QString statisticsPath();
    static QString equalizerPath();

    MainWindow *mainWindow() const;
    SkinnedWindow *skinnedWindow() const;
    PreferencesWindow *preferencesWindow() const;
    SettingsApplier *settingsApplier() const { return m_applier; }
    PlaybackController *controller() const { return m_controller; }
    PlayerActions *actions() const { return m_actions; }
    // The other parts, for tests.
    PlaylistModel *playlist() const { return m_playlist; }
    TXaudioPlayer *player() const { return m_player; }
    // Windows nobody sees at start are made when first wanted; these make them.
    PlaylistWindow *playlistWindow();
    TagEditorWindow *tagEditor();
    AddFilesWindow *addFilesWindow();
    AboutWindow *aboutWindow();
    FileInfoWindow *infoWindow();
    StatisticsWindow *statisticsWindow();
    UrlInputWindow *urlInputWindow();
    FindWindow *findWindow();
    TimedShutdown *timedShutdown() const { return m_shutdown; }

    // Asks for a mask file: (parent, start folder) -> chosen file; empty on Cancel. Replaceable for tests.
    using MaskChooser = std::function<QString(QWidget *parent, const QString &startDir)>;
    void setMaskChooser(MaskChooser chooser) { m_maskChooser = std::move(chooser); }
    MprisService *mpris() const { return m_mpris; }

    void LoadSettings();
    void SaveSettings();
    // The files SaveSettings could not write, told once; empty when every save went well.
    QStringList m_failedSaves;
    void reportFailedSaves();
    void showFailedSaves();
    // Hide all, save, stop, let the decoder go; then the main window closes.
    void closeSequence();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool applySingleInstance();
    void createWindows();
    void wire();
    void applyPreferences();
    void wirePreferences();
    void firstRunPrompt();
    void registerFileTypes();
    void installDemoSongs();
    void hideAll();
    void showAll();
    void shutdownWindows();
    // The one way out: hide, save, stop; then off the machine goes, when it was the timed shutdown's end.
    void closeDown(bool switchOff);
    void endAfterSignal();
    void stopEverything();
    void applyPlaylistDocking();
    void wireSkinnedWindow();
    // What the actions that open windows do.
    void wireActions();
    void startMediaRemote();
    void loadStartMask();
    void showSkinnedWindow();
    void showStrip();
    void changeMask();
    // Wears a mask file, or imports a classic skin into "Masks" and wears the mask made of it.
    void wearMask(const QString &file);
    void togglePlaylist();
    void toggleInfo();
    void storePlacement(ProfileFile &profile, QWidget *window, const QString &section) const;
    void restorePlacement(QWidget *window, const QString &section, int cascadeSlot) const;
    void reserveCascadeSlots();
    void colorWindow(QWidget *window) const;
    // A window made when first wanted: its saved place (or the cascade slot kept for it), colours, and its
    // place among the settings' targets.
    void settleNewWindow(QWidget *window, const QString &section, const QString &cascadeKey);
    // The info window shows the last stream information reported.
    void fillInfoWindow();
    void updateApplierTargets();

    QStringList m_arguments;
    Settings m_settings;
    bool m_firstRun = false;
    bool m_closing = false;

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SessionGuard> m_guard;
    std::unique_ptr<TWinReboot> m_powerOff;
    TXaudioPlayer *m_player = nullptr;
    PlaylistModel *m_playlist = nullptr;
    Statistics *m_statistics = nullptr;
    PlaybackController *m_controller = nullptr;
    PlayerActions *m_actions = nullptr;
    TimedShutdown *m_shutdown = nullptr;
    MprisService *m_mpris = nullptr;
    QPointer<MainWindow> m_main;
    QPointer<PlaylistWindow> m_playlistWindow;
    QPointer<AboutWindow> m_about;
    QPointer<FileInfoWindow> m_info;
    QPointer<TagEditorWindow> m_tagEditor;
    QPointer<AddFilesWindow> m_addFiles;
    QPointer<StatisticsWindow> m_statisticsWindow;
    QPointer<EqualizerWindow> m_equalizerWindow;
    QPointer<UrlInputWindow> m_urlInput;
    QPointer<FindWindow> m_find;
    QPointer<SkinnedWindow> m_skinned;
    MaskChooser m_maskChooser;
    QPointer<PreferencesWindow> m_prefs;
    SettingsApplier *m_applier = nullptr;
    // Where a never placed window goes, by its section, in the order the windows were always placed in.
    QHash<QString, int> m_cascadeSlots;
    QString m_statisticsSection;
    // What the lazily made windows show from the moment they are made.
    std::unique_ptr<StreamInfo> m_streamInfo;
    QString m_lengthText;
    QString m_tagPath;
    QString m_songTimeText;
    bool m_playlistWasVisible = false;
    bool m_allHidden = false; // Hide All put the windows away; Show All, or the skin coming back, undoes it
    bool m_equalizerWasVisible = false;
    bool m_keepLastPlaylist = false;
    // The last list could not be read at start (too large, no permission): it is never written over.
    bool m_lastPlaylistUnreadable = false;
    // Set when a signal ends the player: a failed save is then told on standard error alone.
    bool m_endedBySignal = false;
    bool m_statisticsUnreadable = false;
    // What has been read so far; only that is written back.
    bool m_statisticsLoaded = false;
    bool m_settingsLoaded = false;
    bool m_playlistLoaded = false;
    bool m_equalizerLoaded = false;
    bool m_equalizerUnreadable = false;
    bool m_started = false;
};
