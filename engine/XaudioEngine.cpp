#include "engine/XaudioEngine.h"

#include "engine/TXaudioPlayer.h"

namespace
{

AudioEngine::Command commandOf(quint8 command)
{
    switch (command) {
    case XA_MSG_COMMAND_INPUT_OPEN:
        return AudioEngine::Command::Open;
    case XA_MSG_COMMAND_PLAY:
        return AudioEngine::Command::Play;
    case XA_MSG_COMMAND_INPUT_SEEK:
        return AudioEngine::Command::Seek;
    case XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER:
        return AudioEngine::Command::RegisterOutput;
    default:
        return AudioEngine::Command::Other;
    }
}

} // namespace

XaudioEngine::XaudioEngine(TXaudioPlayer *player, QObject *parent) : AudioEngine(parent), m_player(player)
{
    qRegisterMetaType<StreamInfo>();
    connect(player, &TXaudioPlayer::OnNotifyInputState, this, [this](int state) {
        if (state == XA_INPUT_STATE_OPEN)
            emit opened();
    });
    connect(player, &TXaudioPlayer::OnNotifyPlayerState, this, [this](int state) {
        switch (state) {
        case XA_PLAYER_STATE_STOPPED:
            emit stateChanged(PlayState::Stopped);
            break;
        case XA_PLAYER_STATE_PLAYING:
            emit stateChanged(PlayState::Playing);
            break;
        case XA_PLAYER_STATE_PAUSED:
            emit stateChanged(PlayState::Paused);
            break;
        case XA_PLAYER_STATE_EOS:
            emit stateChanged(PlayState::Ended);
            break;
        default:
            break;
        }
    });
    connect(player, &TXaudioPlayer::OnNotifyNack, this, [this](quint8 command, qint16 code) {
        emit refused(commandOf(command), m_player->ErrorString(code), code == XA_ERROR_ABORTED);
    });
    connect(player, &TXaudioPlayer::OnNotifyError, this,
            [this](quint8 source, qint16 code, const QString &detail) {
                if (source != XA_SOURCE_INPUT || code != XA_ERROR_CONNECTION_DROPPED)
                    return;
                QString why = m_player->ErrorString(code);
                if (!detail.isEmpty())
                    why += QStringLiteral(": ") + detail;
                emit connectionDropped(why);
            });
    connect(player, &TXaudioPlayer::OnNotifyInputDuration, this, &AudioEngine::durationChanged);
    connect(player, &TXaudioPlayer::OnNotifyInputTimecode, this,
            [this](quint8 h, quint8 m, quint8 s, quint8 f) { emit timeChanged(h * 3600 + m * 60 + s, f); });
    connect(player, &TXaudioPlayer::OnNotifyInputPosition, this, &AudioEngine::positionChanged);
    connect(player, &TXaudioPlayer::OnNotifyInputStreamInfo, this,
            [this](quint8 level, quint8 layer, quint16 bitrate, quint32 frequency, quint8 mode,
                   const QString &codec, quint8 bits, quint8 channels) {
                StreamInfo info;
                info.level = level;
                info.layer = layer;
                info.bitrate = bitrate;
                info.frequency = int(frequency);
                info.mode = mode;
                info.codec = codec;
                info.bits = bits;
                info.channels = channels;
                emit streamInfoChanged(info);
            });
    connect(player, &TXaudioPlayer::OnNotifyOutputVolume, this,
            [this](quint8 master, quint8 pcm, quint8 balance) { emit volumeChanged(master, pcm, balance); });
    connect(player, &TXaudioPlayer::OnNotifyOutputPcmLevel, this,
            [this](quint8 pcm) { emit pcmLevelChanged(pcm); });
    connect(player, &TXaudioPlayer::OnNotifyOutputBalance, this,
            [this](quint8 balance) { emit balanceChanged(balance); });
    connect(player, &TXaudioPlayer::OnNotifyInputStreamTitle, this, &AudioEngine::streamTitleChanged);
    connect(player, &TXaudioPlayer::OnNotifyInputFollowed, this, &AudioEngine::followed);
}

void XaudioEngine::open(const QString &pathOrUrl)
{
    m_player->InputOpen(pathOrUrl);
}

void XaudioEngine::queue(const QString &pathOrUrl)
{
    m_player->InputQueue(pathOrUrl);
}

void XaudioEngine::play()
{
    m_player->Play();
}

void XaudioEngine::pause()
{
    m_player->Pause();
}

void XaudioEngine::stop()
{
    m_player->Stop();
}

void XaudioEngine::seek(int offset, int range)
{
    m_player->InputSeek(offset, range);
}

void XaudioEngine::setOutputName(const QString &name)
{
    m_player->SetOutputName(name);
}

void XaudioEngine::openOutput(const QString &name)
{
    m_player->OutputOpen(name);
}

void XaudioEngine::closeOutput()
{
    m_player->OutputClose();
}

void XaudioEngine::resetOutput()
{
    m_player->OutputReset();
}

void XaudioEngine::setVolume(int balance, int pcmLevel, int masterLevel)
{
    m_player->SetOutputVolume(balance, pcmLevel, masterLevel);
}

void XaudioEngine::setReplayGain(bool on)
{
    m_player->SetPlayerEnvironmentInteger(QStringLiteral("DECODER.REPLAYGAIN"), on ? 1 : 0);
}

bool XaudioEngine::outputPeaks(int *left, int *right, int *channels)
{
    return m_player->isValid() && player_get_output_peaks(m_player->handle(), left, right, channels);
}

void XaudioEngine::setQuietProgress(bool on)
{
    m_player->setQuietProgress(on);
}

void XaudioEngine::takeMessages()
{
    m_player->takeMessages();
}
