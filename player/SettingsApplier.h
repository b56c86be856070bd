#pragma once
// Applies the player's Settings value to its windows, in one fixed order (docking, font, shutdown, tray,
// colours, mask mode, registry, hints): at start and whenever the preferences are applied. The preferences'
// choices that act at once (output module, channels, priority, ReplayGain, a mask loaded) reach the windows
// here too.
#include <QObject>
#include <functional>

class AboutWindow;
class AddFilesWindow;
class EqualizerWindow;
class FileInfoWindow;
class MainWindow;
class PlaybackController;
class PlaylistModel;
class PlaylistWindow;
class PreferencesWindow;
class SkinnedWindow;
class StatisticsWindow;
class TagEditorWindow;
class TimedShutdown;
class TXaudioPlayer;
class UrlInputWindow;
struct Settings;

class SettingsApplier : public QObject
{
    Q_OBJECT

public:
    // What the settings reach. Windows may be missing (null) while not made yet; the hooks are the
    // application's own steps: place the playlist by the docking settings, and show the skinned face or the
    // strip.
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
    };

    explicit SettingsApplier(QObject *parent = nullptr);

    void setTargets(const Targets &targets) { m_targets = targets; }
    const Targets &targets() const { return m_targets; }
    // Applies what the preferences say they applied, and their choices that act at once.
    void follow(PreferencesWindow *preferences);

    void apply(const Settings &s);
    // Only the colours of apply (a mask's best colours, random colours).
    void applyColors(const Settings &s);

    void applyOutputModule(int module);
    void applyOutputChannels(int channels);
    void applyPriority(int priority);
    void applyReplayGain(bool on);
    void loadMask(const QString &path);

signals:
    // Each step of apply as it is done ("docking", "font", "shutdown", "tray", "colors", "mask", "registry",
    // "hints"), for whoever needs to follow it.
    void stepApplied(const QString &step);

private:
    void applyDocking(const Settings &s);
    void applyFont(const Settings &s);
    void applyShutdown(const Settings &s);
    void applyTray(const Settings &s);
    void applyMaskMode(const Settings &s);
    void applyRegistry(const Settings &s);
    void applyHints(const Settings &s);

    Targets m_targets;
};
