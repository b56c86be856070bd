#include "player/TimedShutdown.h"

TimedShutdown::TimedShutdown(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(MinuteMs);
    connect(&m_timer, &QTimer::timeout, this, &TimedShutdown::ShutTimerTimer);
}

void TimedShutdown::setTickInterval(int ms)
{
    m_timer.setInterval(ms);
}

QString TimedShutdown::hintText(int minutes)
{
    return QStringLiteral("Shutdown after %1 min.").arg(minutes);
}

void TimedShutdown::setHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    emit hintChanged(m_hint);
}

void TimedShutdown::apply(int mode, int minutes, int songs)
{
    m_mode = (mode >= AfterTime && mode <= Off) ? mode : Off;
    m_shutTime = minutes;
    m_songs = songs;
    if (m_mode == AfterTime) {
        m_timer.start();
        setHint(hintText(minutes));
    } else {
        m_timer.stop();
        setHint(QString());
    }
}

void TimedShutdown::ShutTimerTimer()
{
    if (m_mode != AfterTime) {
        m_timer.stop();
        return;
    }
    // The hint shows the minutes as they were before this tick took one away.
    setHint(hintText(m_shutTime));
    --m_shutTime;
    // "At most zero": a count that started at zero or below (a hand-edited file) still ends.
    if (m_shutTime <= 0)
        fire();
}

void TimedShutdown::fire()
{
    // Once: a power-off that fails must not be asked for again every minute.
    m_timer.stop();
    emit shutdownRequested();
}

bool TimedShutdown::songEnded(int currentIndex, int entryCount, int playedCount)
{
    const bool due = (m_mode == PlaylistEnds && currentIndex >= entryCount - 1) ||
                     (m_mode == NumberOfSongs && playedCount >= m_songs);
    if (due)
        emit shutdownRequested();
    return due;
}
