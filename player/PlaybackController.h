#pragma once
// The player's playback rules without a window: starting songs, reacting to the decoder, choosing the next
// song, and the texts and values of the time, position, volume, balance and level displays. Windows forward
// their clicks and keys here and show what the display signals say.
#include "engine/AudioEngine.h"
#include "player/EndPacer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <climits>

class TVumeter;
class PlaylistModel;
class MediaOpener;
class Statistics;

// Where the sound goes; the numbers are those of the "OutputModule" setting.
enum class OutputModule { SoundServer = 0, WaveDevice = 1, WavFile = 2 };

class PlaybackController : public QObject
{
    Q_OBJECT

public:
    static constexpr int PositionMax = 400;
    static constexpr int LevelMax = 180;

    PlaybackController(AudioEngine *engine, PlaylistModel *playlist, Statistics *statistics,
                       QObject *parent = nullptr);
    ~PlaybackController() override;

    // Settings the controller follows (set at start from the configuration, later by the preferences).
    // As the setting numbers it; anything else counts as the wave device.
    void setOutputModule(int module);
    OutputModule outputModule() const { return m_outputModule; }
    // The number as it was set, kept for the settings even when it names no module.
    int outputModuleSetting() const { return m_outputModuleSetting; }
    void setOutputDir(const QString &dir) { m_outputDir = dir; }
    void setAutoPlay(bool on) { m_autoPlay = on; }
    bool autoPlay() const { return m_autoPlay; }
    void setAnimatedTray(bool on) { m_animatedTray = on; }
    // The same, and the tray follows at once: it stops, or animates again while a song plays.
    void applyAnimatedTray(bool on);
    void setRandomColors(bool on) { m_randomColors = on; }
    // ReplayGain: the decoder applies each song's track gain (limited by its peak where the file gives one).
    void setReplayGain(bool on);
    bool replayGain() const { return m_replayGain; }

    // What the user can do now; availabilityChanged() tells when any of it changes.
    bool canPlay() const { return m_state != PlayState::Playing; }
    bool canPause() const { return m_state == PlayState::Playing; }
    bool canStop() const { return m_state == PlayState::Playing || m_state == PlayState::Paused; }
    bool canSeek() const { return m_seekable; }
    PlayState state() const { return m_state; }

    // Commands.
    void playFile(const QString &path);
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    // The playlist's focused entry.
    void playSelected();
    // The displays back at rest: no position, no levels, the time at zero.
    void resetPlayback();
    // The machine is about to be switched off: from now on nothing starts playing, not even the next song of
    // the song that just ended.
    void stopForGood() { m_stoppedForGood = true; }
    // Loop ("L") and Random ("R").
    void setLoop(bool on);
    void setRandom(bool on);
    bool loop() const { return m_loop; }
    bool random() const { return m_random; }
    // The time display shows the time gone or the time left.
    void toggleTimeShown();
    void setTimeElapsed(bool elapsed);
    bool timeElapsed() const { return m_timeElapsed; }
    // "Fade In" takes the volume down to silence, "Fade Out" back up to where it was.
    void fadeToSilence();
    void fadeBack();

    // The position slider: pressing starts the fade down, releasing the fade back up; a drag stops the
    // slider following the song, and its end seeks there. With Shift held a drag seeks at once.
    void positionPressed();
    void positionReleased();
    void positionDragStarted();
    void positionDragEnded(int value);
    void positionValueChanged(int value);
    // A jump to a time in the song from outside the windows (a media remote), in milliseconds.
    void seekTo(qint64 ms);
    void setShiftHeld(bool held) { m_shiftHeld = held; }
    bool trackPosition() const { return m_trackPosition; }
    void setTrackPosition(bool on) { m_trackPosition = on; }

    // Volume (0 full volume .. 100 silence) and balance (0 left .. 100 right, 50 centre), as the sliders
    // stand.
    void setVolume(int position);
    void setBalance(int position);
    int volumePosition() const { return m_volumePosition; }
    int balancePosition() const { return m_balancePosition; }

    // Opening files, lists, folders and a second start's parameters.
    MediaOpener *opener() const { return m_opener; }

    // Level meters: started and stopped with playback; ticks every 100 ms.
    void setMetersRunning(bool on);
    void vuMeterTick();
    int leftLevel() const { return m_leftLevel; }
    int rightLevel() const { return m_rightLevel; }

    // Texts, for tests and windows.
    QString timeText() const { return m_timeText; }
    QString currentPath() const { return m_currentPath; }
    int lengthSeconds() const { return m_lengthSeconds; }
    int elapsedSeconds() const { return m_elapsedSeconds; }
    qint64 elapsedMilliseconds() const { return m_elapsedCentis * 10; }
    // The one-line name of the playing song, as the title lines show it.
    QString songTitle() const { return m_songTitle; }
    int positionValue() const { return m_position; }
    bool fading() const { return m_fadeDown.isActive() || m_fadeUp.isActive(); }
    TVumeter *meter() const { return m_meter; }
    // The 100 ms of the meter and fade timers (tests run them faster).
    void setTickInterval(int ms);

    // Formats used by the displays.
    static QString timeOfDayText(int seconds, bool remaining);
    static QString lengthText(int seconds);   // "Length: [mm:ss]"
    static QString songTimeText(int seconds); // "hh:mm:ss"

signals:
    void timeTextChanged(const QString &text); // the PlayTime label
    void positionChanged(int value);           // both position sliders, 0..400
    void volumePositionChanged(int position);
    void balancePositionChanged(int position);
    // canPlay(), canPause(), canStop() or canSeek() may have changed.
    void availabilityChanged();
    void levelsChanged(int left, int right);
    void loopRandomChanged(bool loop, bool random); // also the hints "Loop : On" ...
    void trayAnimationChanged(bool animate);
    void titleChanged(const QString &shortName);      // tray and PlayTime hints
    void titleLinesChanged(const QStringList &lines); // the skinned window's scrolling title
    void streamInfoChanged(const StreamInfo &info);   // fill the file info window
    void lengthTextChanged(const QString &text);      // file info length label and the info button's hint
    void songTimeTextChanged(const QString &text);    // the playlist's song-time label
    void playedCountChanged(int count);
    void songFinished(const QString &path); // after the counting of a song played to its end
    void errorMessage(const QString &text); // refusal boxes
    void randomColorsWanted();              // a song starts with random colours on
    void stateChanged(PlayState state);
    // The song was sent to another place at the user's word (a slider or a remote), in ms from its start.
    void seeked(qint64 ms);

private:
    void onOpened();
    void onState(PlayState state);
    void onRefused(AudioEngine::Command command, const QString &reason, bool aborted);
    void onConnectionDropped(const QString &reason);
    void onDuration(quint32 seconds);
    void onTime(int seconds, int hundredths);
    void onPosition(quint32 offset, quint32 range);
    void onStreamInfo(const StreamInfo &info);
    void onVolume(int pcm, int balance);
    void onStreamTitle(const QString &title);
    void setSeekable(bool on);
    // The entry Next plays: the first queued one, else the one after the current (the first after the
    // last), or any with Random.
    int nextEntry() const;
    // Gapless: the entry Next would choose is opened ahead while a song plays (not for "Save to Wave File",
    // which writes a file per song); when it takes over, the ended song is counted as at its end.
    void queueNext();
    void onFollowed(const QString &path);
    void endOfSong();
    // A song played to its end: the played count and the statistics.
    void countFinished(const QString &path);
    void sendVolume();
    void setVolumePosition(int position);
    void setTimeText(const QString &text);
    void redrawTime();
    void fadeDownTick();
    void fadeUpTick();
    QString wavOutputName(const QString &path) const;
    // An entry that cannot be played: removed, or kept and skipped when its folder is missing.
    void removeUnplayable(const QString &path);
    // Whether the song that ended was the last of one round through the list.
    bool listPlayedThrough();
    void discardEmptyWav();
    void skipUnreachable(const QString &path);

    AudioEngine *m_engine;
    PlaylistModel *m_playlist;
    Statistics *m_statistics;
    TVumeter *m_meter;

    OutputModule m_outputModule = OutputModule::WaveDevice;
    int m_outputModuleSetting = 1;
    QString m_outputDir;
    bool m_autoPlay = true;
    bool m_animatedTray = true;
    bool m_randomColors = false;
    bool m_replayGain = false;
    bool m_loop = true;
    bool m_random = false;
    bool m_timeElapsed = true;
    bool m_trackPosition = false;
    bool m_shiftHeld = false;
    bool m_stoppedForGood = false;
    int m_fadeVolume = 0;
    int m_volumePosition = 0;
    int m_balancePosition = 50;
    int m_position = 0;
    int m_leftLevel = 0, m_rightLevel = 0;
    int m_lengthSeconds = 0;
    int m_elapsedSeconds = 0;
    qint64 m_elapsedCentis = 0;
    QString m_songTitle;
    int m_queuedIndex = -1;
    QString m_queuedPath;
    PlayState m_state = PlayState::Stopped;
    bool m_seekable = false;
    QString m_currentPath;
    QString m_timeText = QStringLiteral("[00:00]");
    // The time m_timeText shows (seconds gone, or -1 - seconds left), NoTimeShown when it shows other text.
    static constexpr int NoTimeShown = INT_MIN;
    int m_timeShown = NoTimeShown;
    QTimer m_vuMeterTimer;
    bool m_positionPending = false; // a position waiting for the meters' next beat
    QTimer m_fadeDown;              // FadeInTime
    QTimer m_fadeUp;                // FadeOutTime
    // Entries skipped in a row because their folder is missing; the walk stops at this many.
    static constexpr int MaxUnreachableRun = 10;
    int m_unreachableRun = 0;
    int m_songsThisRound = 0; // songs ended in random order since the round began
    EndPacer m_endPacer;
    MediaOpener *m_opener = nullptr;
    QTimer m_nextAfterEnd; // the next entry after a paced end
};
