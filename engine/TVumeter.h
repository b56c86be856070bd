#pragma once
// The level meter: peaks of the sound the player sends to its output, scaled to the meters' 0..180.
#include <QObject>

class AudioEngine;

class TVumeter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int LeftPeak READ LeftPeak WRITE setLeftPeak)
    Q_PROPERTY(int RightPeak READ RightPeak WRITE setRightPeak)

public:
    explicit TVumeter(AudioEngine *engine, QObject *parent = nullptr);

    int LeftPeak() const { return m_left; }
    int RightPeak() const { return m_right; }
    void setLeftPeak(int v) { m_left = v; }
    void setRightPeak(int v) { m_right = v; }

    // Reads the peaks since the last update. With no output open nothing changes; a mono output moves
    // both peaks alike.
    void Update();

private:
    AudioEngine *m_engine;
    int m_left = 0;
    int m_right = 0;
};
