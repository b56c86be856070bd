#pragma once
// What the player needs of a decoder: commands to open, play and place a song and to set its output, and
// signals for what the decoder reports back. The controller speaks only to this, so a decoder of another
// kind, or a test's stand-in that answers at once, can take the place of the real one.
#include "engine/StreamInfo.h"

#include <QObject>
#include <QString>

// Where playback stands.
enum class PlayState { Stopped, Playing, Paused, Ended };
Q_DECLARE_METATYPE(PlayState)

class AudioEngine : public QObject
{
    Q_OBJECT

public:
    // The commands whose refusal the player tells the user about; the rest are Other.
    enum class Command { Open, Play, Seek, RegisterOutput, Other };
    Q_ENUM(Command)

    using QObject::QObject;

    // The input: a file path or a stream URL. An opened input is reported with opened().
    virtual void open(const QString &pathOrUrl) = 0;
    // The input to follow the current one without a gap (empty: none).
    virtual void queue(const QString &pathOrUrl) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    // To offset out of range of the input's length.
    virtual void seek(int offset, int range) = 0;

    // The output: a device ("/dev/dsound/0", "/dev/wave/0") or "wav:" and a file name.
    virtual void setOutputName(const QString &name) = 0;
    virtual void openOutput(const QString &name) = 0;
    virtual void closeOutput() = 0;
    // Drops what the output still holds.
    virtual void resetOutput() = 0;
    // Balance 0 left .. 100 right, PCM level 0..100, master 0..255.
    virtual void setVolume(int balance, int pcmLevel, int masterLevel) = 0;
    // Each song's ReplayGain track gain applied (limited by its peak).
    virtual void setReplayGain(bool on) = 0;
    // The peaks since the last call, and the output's channels; false with no output open.
    virtual bool outputPeaks(int *left, int *right, int *channels) = 0;

    // While on, time and position reports wait for takeMessages(), so an owner with a timer of its own is
    // not woken twice.
    virtual void setQuietProgress(bool on) = 0;
    virtual void takeMessages() = 0;

signals:
    void opened();
    void stateChanged(PlayState state);
    // A command was refused; aborted when the user's own stop or a new song cut it short.
    void refused(AudioEngine::Command command, const QString &reason, bool aborted);
    // A stream that played a while dropped its connection.
    void connectionDropped(const QString &reason);
    void durationChanged(quint32 seconds);
    void timeChanged(int seconds, int hundredths);
    void positionChanged(quint32 offset, quint32 range);
    void streamInfoChanged(const StreamInfo &info);
    // The output's levels: all three, or one of them.
    void volumeChanged(int masterLevel, int pcmLevel, int balance);
    void pcmLevelChanged(int pcmLevel);
    void balanceChanged(int balance);
    // A radio stream's current title.
    void streamTitleChanged(const QString &title);
    // The queued input took over without a gap.
    void followed(const QString &pathOrUrl);
};
