#pragma once
// The player's decoder component behind the engine interface: commands go to the decoder-library player,
// its notifications come back as the interface's signals.
#include "engine/AudioEngine.h"

class TXaudioPlayer;

class XaudioEngine : public AudioEngine
{
    Q_OBJECT

public:
    explicit XaudioEngine(TXaudioPlayer *player, QObject *parent = nullptr);

    TXaudioPlayer *player() const { return m_player; }

    void open(const QString &pathOrUrl) override;
    void queue(const QString &pathOrUrl) override;
    void play() override;
    void pause() override;
    void stop() override;
    void seek(int offset, int range) override;
    void setOutputName(const QString &name) override;
    void openOutput(const QString &name) override;
    void closeOutput() override;
    void resetOutput() override;
    void setVolume(int balance, int pcmLevel, int masterLevel) override;
    void setReplayGain(bool on) override;
    bool outputPeaks(int *left, int *right, int *channels) override;
    void setQuietProgress(bool on) override;
    void takeMessages() override;

private:
    TXaudioPlayer *m_player;
};
