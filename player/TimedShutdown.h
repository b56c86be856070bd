#pragma once
// The timed shutdown: after a number of minutes, when the playlist ends, or after a number of songs. It only
// decides; whoever owns the player saves, stops and powers off on shutdownRequested().
#include <QObject>
#include <QString>
#include <QTimer>

class TimedShutdown : public QObject
{
    Q_OBJECT

public:
    // The "ShutMode" values, in the order of the preferences' "Shutdown after..." choices.
    enum Mode { AfterTime = 0, PlaylistEnds = 1, NumberOfSongs = 2, Off = 3 };
    static constexpr int MinuteMs = 60000;

    explicit TimedShutdown(QObject *parent = nullptr);

    // The time between two ticks of the minute timer (shorter in tests).
    void setTickInterval(int ms);
    int tickInterval() const { return m_timer.interval(); }

    // Sets mode, minutes and songs as the preferences give them. AfterTime starts the minute timer and
    // shows "Shutdown after <minutes> min."; the other modes stop it and clear the hint. An unknown mode
    // is Off.
    void apply(int mode, int minutes, int songs);

    // At the end of each song: PlaylistEnds when currentIndex >= entryCount - 1, NumberOfSongs when
    // playedCount >= the songs set. Emits shutdownRequested() then and returns true.
    bool songEnded(int currentIndex, int entryCount, int playedCount);

    int shutMode() const { return m_mode; }
    // The minutes left as the settings store them ("ShutTime"): counts down while the timer runs.
    int shutTime() const { return m_shutTime; }
    int shutNumSong() const { return m_songs; }
    // The hint of the exit buttons: empty, or "Shutdown after <n> min.".
    QString hint() const { return m_hint; }
    bool isTimerActive() const { return m_timer.isActive(); }

    static QString hintText(int minutes);

    // One tick of the minute timer.
    void ShutTimerTimer();

signals:
    void hintChanged(const QString &hint);
    void shutdownRequested();

private:
    void setHint(const QString &hint);
    void fire();

    QTimer m_timer;
    int m_mode = Off;
    int m_shutTime = 5;
    int m_songs = 5;
    QString m_hint;
};
