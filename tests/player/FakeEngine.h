#pragma once
// A stand-in for the decoder that answers every command at once, as the real one does after a while: an
// open is reported opened (or refused, when told to), Play plays, Pause pauses a playing song, Stop stops.
// What it was asked is kept in order, and a test makes it report what a song would (its length, time,
// position, end).
#include "engine/AudioEngine.h"

#include <QStringList>

namespace vorlantest
{

class FakeEngine : public AudioEngine
{
public:
    QStringList commands;
    QString input;  // what was opened last
    QString queued; // what is to follow it
    PlayState playState = PlayState::Stopped;
    QString refuseOpenWith; // not empty: an open is refused for this reason
    int leftPeak = 0, rightPeak = 0, channels = 0;

    void open(const QString &pathOrUrl) override
    {
        commands << QStringLiteral("open ") + pathOrUrl;
        if (!refuseOpenWith.isEmpty()) {
            emit refused(Command::Open, refuseOpenWith, false);
            return;
        }
        input = pathOrUrl;
        emit opened();
    }
    void queue(const QString &pathOrUrl) override
    {
        commands << QStringLiteral("queue ") + pathOrUrl;
        queued = pathOrUrl;
    }
    void play() override
    {
        commands << QStringLiteral("play");
        if (!input.isEmpty())
            report(PlayState::Playing);
    }
    void pause() override
    {
        commands << QStringLiteral("pause");
        if (playState == PlayState::Playing)
            report(PlayState::Paused);
    }
    void stop() override
    {
        commands << QStringLiteral("stop");
        if (playState == PlayState::Playing || playState == PlayState::Paused)
            report(PlayState::Stopped);
    }
    void seek(int offset, int range) override
    {
        commands << QStringLiteral("seek %1/%2").arg(offset).arg(range);
    }
    void setOutputName(const QString &name) override { commands << QStringLiteral("output name ") + name; }
    void openOutput(const QString &name) override { commands << QStringLiteral("output open ") + name; }
    void closeOutput() override { commands << QStringLiteral("output close"); }
    void resetOutput() override { commands << QStringLiteral("output reset"); }
    void setVolume(int balance, int pcmLevel, int masterLevel) override
    {
        commands << QStringLiteral("volume %1 %2 %3").arg(balance).arg(pcmLevel).arg(masterLevel);
    }
    void setReplayGain(bool on) override { commands << QStringLiteral("replay gain %1").arg(on); }
    bool outputPeaks(int *left, int *right, int *outputChannels) override
    {
        *left = leftPeak;
        *right = rightPeak;
        *outputChannels = channels;
        return channels > 0;
    }
    void setQuietProgress(bool) override {}
    void takeMessages() override {}

    // What a playing song reports.
    void report(PlayState state)
    {
        playState = state;
        emit stateChanged(state);
    }
    // The song ends: what was queued follows it without a gap, or playback ends.
    void finish()
    {
        if (!queued.isEmpty()) {
            input = std::exchange(queued, QString());
            emit followed(input);
            return;
        }
        report(PlayState::Ended);
    }
    bool asked(const QString &command) const { return commands.contains(command); }
};

} // namespace vorlantest
