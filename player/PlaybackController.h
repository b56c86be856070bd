#pragma once
// The player's playback rules without a window: starting songs, reacting to the decoder, choosing the next
// song, and the texts and values of the time, position, volume, balance and level displays. Windows forward
// their clicks and keys here and show what the display signals say.
#include "platform/TextFile.h"
#include "player/EndPacer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <climits>

class TXaudioPlayer;
class TVumeter;
class PlaylistModel;
class FolderWalkQueue;
class Statistics;

// What the decoder reports of the playing stream, for the file info window.
struct StreamInfo {
    int level = 0; // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    int layer = 0;
    int bitrate = 0;   // kbit/s
    int frequency = 0; // Hz
    int mode = 0;      // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    QString path;      // the playing path or URL
};

class PlaybackController : public QObject
{
    Q_OBJECT

public:
    static constexpr int PositionMax = 400;
    static constexpr int LevelMax = 180;

    PlaybackController(TXaudioPlayer *player, PlaylistModel *playlist, Statistics *statistics,
                       QObject *parent = nullptr);
    ~PlaybackController() override;

    // Settings the controller follows (set at start from the configuration, later by the preferences).
    void setOutputModule(int module); // 0 sound server, 1 wave device, 2 WAV file
    int outputModule() const { return m_outputModule; }
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

    // Commands.
    void PlayFile(const QString &path);
    void PlayBtnClick();
    void PauseBtnClick();
    void StopBtnClick();
    void NextBtnClick();
    void PrevBtnClick();
    // The open dialog's result: a list file loads; audio files replace the playlist and the first plays.
    void openFiles(const QStringList &files);
    // Play selected: the playlist's focused entry.
    void playSelected();
    void ResetPlayback();
    // The machine is about to be switched off: from now on nothing starts playing, not even the next song of
    // the song that just ended.
    void stopForGood() { m_stoppedForGood = true; }
    // Loop ("L") and Random ("R") buttons.
    void setLoop(bool on);
    void setRandom(bool on);
    bool loop() const { return m_loop; }
    bool random() const { return m_random; }
    // Elapsed / remaining time display.
    void ElapsedClick();
    void setTimeElapsed(bool elapsed);
    bool timeElapsed() const { return m_timeElapsed; }
    void FadeIn1Click();  // fade down to silence
    void FadeOut1Click(); // fade back up to full volume

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

    // Volume slider (0 full volume .. 100 silence) and balance slider (0 left .. 100 right, 50 centre).
    void VolTrackBarChange(int position);
    void BalTrackChange(int position);
    int volumePosition() const { return m_volumePosition; }
    int balancePosition() const { return m_balancePosition; }

    // Files dropped on the main window, and a second start's parameters. Folders among the dropped files add
    // their trees, as the folder walk of "Add" does.
    void dropFiles(const QStringList &names);
    // Folders dropped on the playlist: their trees are appended.
    void addFolders(const QStringList &folders);
    void stopFolderWalk();
    void handOver(const QString &param);
    // The command line at start: no parameters load the last playlist from lastPlaylistPath; *lastListStatus,
    // when given, then says whether its bytes could be read.
    void startWith(const QStringList &arguments, const QString &lastPlaylistPath,
                   TextFile::ReadStatus *lastListStatus = nullptr);
    // The parameters joined into the one path they name (an unquoted path with blanks arrives in pieces),
    // made absolute against the folder the program was started in: a running player or a saved list must
    // not read it against a folder of their own. Empty for no parameters.
    static QString commandLinePath(const QStringList &arguments, const QString &workingFolder);

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
    int playerState() const { return m_state; }
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
    void positionEnabledChanged(bool enabled);
    void volumePositionChanged(int position);
    void balancePositionChanged(int position);
    // Play, Pause and Stop buttons: which are visible.
    void buttonsChanged(bool playVisible, bool pauseVisible, bool stopVisible);
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
    void stateChanged(int state);
    // The song was sent to another place at the user's word (a slider or a remote), in ms from its start.
    void seeked(qint64 ms);

private:
    void onInputState(int state);
    void onPlayerState(int state);
    void onNack(quint8 command, qint16 code);
    void onError(quint8 source, qint16 code, const QString &detail);
    void onDuration(quint32 seconds);
    void onTimecode(quint8 h, quint8 m, quint8 s, quint8 f);
    void onPosition(quint32 offset, quint32 range);
    void onStreamInfo(quint8 level, quint8 layer, quint16 bitrate, quint16 frequency, quint8 mode);
    void onVolume(quint8 master, quint8 pcm, quint8 balance);
    void onStreamTitle(const QString &title);
    // Gapless: the entry Next would choose is opened ahead while a song plays (not for "Save to Wave File",
    // which writes a file per song); when it takes over, the ended song is counted as at its end.
    void queueNext();
    void onInputFollowed(const QString &path);
    void endOfSong();
    void sendVolume();
    void setVolumePosition(int position);
    void setTimeText(const QString &text);
    void redrawTime();
    void fadeDownTick();
    void fadeUpTick();
    void loadList(const QString &path);
    QString wavOutputName(const QString &path) const;
    // An entry that cannot be played: removed, or kept and skipped when its folder is missing.
    void removeUnplayable(const QString &path);
    // Whether the song that ended was the last of one round through the list.
    bool listPlayedThrough();
    void discardEmptyWav();
    void skipUnreachable(const QString &path);

    TXaudioPlayer *m_player;
    PlaylistModel *m_playlist;
    Statistics *m_statistics;
    TVumeter *m_meter;

    int m_outputModule = 1;
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
    int m_state = 0;
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
    FolderWalkQueue *m_folderWalk = nullptr;
    bool m_playWhenFilled = false; // a drop of folders alone: the first song found plays
    QTimer m_nextAfterEnd;         // the next entry after a paced end
};

Q_DECLARE_METATYPE(StreamInfo)
