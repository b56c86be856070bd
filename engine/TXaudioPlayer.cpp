#include "engine/TXaudioPlayer.h"
#include "platform/FileName.h"

#include "engine/EngineLog.h"

#include <QStringDecoder>

#include <QMetaObject>

namespace
{
TXaudioPlayer::MessageSink &sink()
{
    static TXaudioPlayer::MessageSink s;
    return s;
}

} // namespace

void TXaudioPlayer::notifyOwner(void *user)
{
    // Runs on the decoder's thread: hand the work to the owner's thread, once for however many notifications
    // arrive before it runs.
    auto *self = static_cast<TXaudioPlayer *>(user);
    if (!self->m_dispatchScheduled.exchange(true))
        QMetaObject::invokeMethod(self, &TXaudioPlayer::dispatchPending, Qt::QueuedConnection);
}

void TXaudioPlayer::setQuietProgress(bool on)
{
    if (!m_player)
        return;
    player_set_wake_mask(m_player, on ? XA_NOTIFY_MASK_ALL &
                                            ~(XA_NOTIFY_MASK_INPUT_POSITION | XA_NOTIFY_MASK_INPUT_TIMECODE)
                                      : XA_NOTIFY_MASK_ALL);
    // What waited quietly is delivered from the event loop, never from inside the caller.
    if (!on)
        notifyOwner(this);
}

void TXaudioPlayer::setMessageSink(MessageSink s)
{
    sink() = std::move(s);
}

void TXaudioPlayer::showMessage(const QString &text)
{
    if (sink())
        sink()(text);
    else
        qCCritical(lcEngine, "%s", qPrintable(text));
}

TXaudioPlayer::TXaudioPlayer(QObject *parent, VersionFunction version) : QObject(parent)
{
    qRegisterMetaType<XA_Message>();
    const uint32_t v = version();
    const uint32_t major = (v >> 16) & 0xFF;
    const uint32_t minor = (v >> 8) & 0xFF;
    if (major != XA_API_MAJOR || minor != XA_API_MINOR)
        showMessage(QStringLiteral("Xaudio DLL API Mismatch\nExpected %1,%2\nGot %3,%4")
                        .arg(XA_API_MAJOR)
                        .arg(XA_API_MINOR)
                        .arg(major)
                        .arg(minor));
    if (player_new(&m_player, &notifyOwner, this) != XA_SUCCESS) {
        m_player = nullptr;
        showMessage(QStringLiteral("Cannot Start Xaudio Player"));
    }
}

TXaudioPlayer::~TXaudioPlayer()
{
    player_delete(m_player);
    m_player = nullptr;
}

QString TXaudioPlayer::ErrorString(int code) const
{
    return QString::fromUtf8(xaudio_error_string(code));
}

int TXaudioPlayer::Priority() const
{
    return player_get_priority(m_player);
}

void TXaudioPlayer::setPriority(int priority)
{
    player_set_priority(m_player, priority);
}

void TXaudioPlayer::dispatchPending()
{
    m_dispatchScheduled = false;
    XA_Message m;
    while (m_player && control_message_get(m_player, &m))
        dispatch(m);
}

void TXaudioPlayer::dispatch(const XA_Message &m)
{
    const QString name = QString::fromStdString(m.name);
    const QString text = QString::fromStdString(m.text);
    emit OnNotifyMessage(m);
    switch (m.code) {
    case XA_MSG_NOTIFY_READY:
        emit OnNotifyReady();
        break;
    case XA_MSG_NOTIFY_ACK:
        emit OnNotifyAck(m.command);
        break;
    case XA_MSG_NOTIFY_NACK:
        emit OnNotifyNack(m.command, m.errorCode);
        break;
    case XA_MSG_NOTIFY_PONG:
        emit OnNotifyPong(m.tag);
        break;
    case XA_MSG_NOTIFY_EXITED:
        emit OnNotifyExited();
        break;
    case XA_MSG_NOTIFY_PLAYER_STATE:
        emit OnNotifyPlayerState(m.state);
        break;
    case XA_MSG_NOTIFY_PLAYER_MODE:
        emit OnNotifyPlayerMode(m.mode);
        break;
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER:
        emit OnNotifyPlayerEnvironmentInteger(name, m.value);
        break;
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
        emit OnNotifyPlayerEnvironmentString(name, text);
        break;
    case XA_MSG_NOTIFY_INPUT_STATE:
        emit OnNotifyInputState(m.state);
        break;
    case XA_MSG_NOTIFY_INPUT_FOLLOWED:
        emit OnNotifyInputFollowed(name);
        break;
    case XA_MSG_NOTIFY_INPUT_STREAM_TITLE: {
        // Stations send UTF-8 or Latin-1 without saying which.
        const QByteArray bytes = QByteArray::fromStdString(m.text);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString title = utf8.decode(bytes);
        if (utf8.hasError())
            title = QString::fromLatin1(bytes);
        emit OnNotifyInputStreamTitle(title);
        break;
    }
    case XA_MSG_NOTIFY_INPUT_NAME:
        emit OnNotifyInputName(name);
        break;
    case XA_MSG_NOTIFY_INPUT_CAPS:
        emit OnNotifyInputCaps(m.caps);
        break;
    case XA_MSG_NOTIFY_INPUT_POSITION:
        emit OnNotifyInputPosition(m.offset, m.range);
        break;
    case XA_MSG_NOTIFY_INPUT_POSITION_RANGE:
        emit OnNotifyInputPositionRange(int(m.range));
        break;
    case XA_MSG_NOTIFY_INPUT_TIMECODE:
        emit OnNotifyInputTimecode(m.hours, m.minutes, m.seconds, m.fractions);
        break;
    case XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY:
        emit OnNotifyInputTimecodeGranularity(m.granularity);
        break;
    case XA_MSG_NOTIFY_INPUT_DURATION:
        emit OnNotifyInputDuration(m.duration);
        break;
    case XA_MSG_NOTIFY_INPUT_STREAM_INFO:
        emit OnNotifyInputStreamInfo(m.level, m.layer, m.bitrate, m.frequency, m.streamMode, text, m.bits,
                                     m.channels);
        break;
    case XA_MSG_NOTIFY_INPUT_MODULE:
        emit OnNotifyInputModule(m.moduleId);
        break;
    case XA_MSG_NOTIFY_INPUT_MODULE_INFO:
        emit OnNotifyInputModuleInfo(uint8_t(m.moduleId), m.nbDevices, name, text);
        break;
    case XA_MSG_NOTIFY_INPUT_DEVICE_INFO:
        emit OnNotifyInputDeviceInfo(uint8_t(m.moduleId), m.deviceIndex, m.deviceFlags, name, text);
        break;
    case XA_MSG_NOTIFY_INPUT_FILTER_INFO:
        emit OnNotifyInputFilterInfo(m.filterId, name);
        break;
    case XA_MSG_NOTIFY_OUTPUT_STATE:
        emit OnNotifyOutputState(m.state);
        break;
    case XA_MSG_NOTIFY_OUTPUT_NAME:
        emit OnNotifyOutputName(name);
        break;
    case XA_MSG_NOTIFY_OUTPUT_CAPS:
        emit OnNotifyOutputCaps(m.caps);
        break;
    // The three volume notifications carry the same three levels.
    case XA_MSG_NOTIFY_OUTPUT_VOLUME:
        emit OnNotifyOutputVolume(m.masterLevel, m.pcmLevel, m.balance);
        break;
    case XA_MSG_NOTIFY_OUTPUT_BALANCE:
        emit OnNotifyOutputBalance(m.balance);
        break;
    case XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL:
        emit OnNotifyOutputPcmLevel(m.pcmLevel);
        break;
    case XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL:
        emit OnNotifyOutputMasterLevel(m.masterLevel);
        break;
    case XA_MSG_NOTIFY_OUTPUT_CHANNELS:
        emit OnNotifyOutputChannels(m.channels);
        break;
    case XA_MSG_NOTIFY_OUTPUT_PORTS:
        emit OnNotifyOutputPorts(m.ports);
        break;
    case XA_MSG_NOTIFY_OUTPUT_MODULE:
        emit OnNotifyOutputModule(m.moduleId);
        break;
    case XA_MSG_NOTIFY_OUTPUT_MODULE_INFO:
        emit OnNotifyOutputModuleInfo(uint8_t(m.moduleId), m.nbDevices, name, text);
        break;
    case XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO:
        emit OnNotifyOutputDeviceInfo(uint8_t(m.moduleId), m.deviceIndex, m.deviceFlags, name, text);
        break;
    case XA_MSG_NOTIFY_OUTPUT_FILTER_INFO:
        emit OnNotifyOutputFilterInfo(m.filterId, name);
        break;
    case XA_MSG_NOTIFY_CODEC_QUALITY:
        emit OnNotifyCodecQuality(m.quality);
        break;
    case XA_MSG_NOTIFY_CODEC_EQUALIZER:
        m_lastEqualizer = m.equalizer;
        emit OnNotifyCodecEqualizer(m.hasEqualizer ? &m_lastEqualizer : nullptr);
        break;
    case XA_MSG_NOTIFY_NOTIFICATION_MASK:
        emit OnNotifyNotificationMask(m.mask);
        break;
    case XA_MSG_NOTIFY_DEBUG_LEVEL:
        emit OnNotifyDebugLevel(m.debugLevel);
        break;
    case XA_MSG_NOTIFY_PROGRESS:
        emit OnNotifyProgress(m.source, m.progressCode, m.errorCode, text);
        break;
    case XA_MSG_NOTIFY_DEBUG:
        emit OnNotifyDebug(m.source, m.debugLevel, text);
        break;
    case XA_MSG_NOTIFY_ERROR:
        emit OnNotifyError(m.source, m.errorCode, text);
        break;
    default:
        break; // 95 and codes outside the range raise only OnNotifyMessage
    }
}

int TXaudioPlayer::Exit()
{
    return control_message_send_N(m_player, 1);
}

int TXaudioPlayer::Ping(int Tag)
{
    return control_message_send_I(m_player, 2, Tag);
}

int TXaudioPlayer::Play()
{
    return control_message_send_N(m_player, 3);
}

int TXaudioPlayer::Pause()
{
    return control_message_send_N(m_player, 4);
}

int TXaudioPlayer::Stop()
{
    return control_message_send_N(m_player, 5);
}

int TXaudioPlayer::InputSeek(int Offset, int Range)
{
    return control_message_send_II(m_player, 6, Offset, Range);
}

int TXaudioPlayer::InputOpen(const QString &Name)
{
    // A file named in Latin-1 on disk opens by its own bytes; URLs are UTF-8 either way.
    return control_message_send_S(m_player, 7, FileName::encode(Name).constData());
}

int TXaudioPlayer::InputQueue(const QString &Name)
{
    return control_message_send_S(m_player, XA_MSG_COMMAND_INPUT_QUEUE, Name.toUtf8().constData());
}

int TXaudioPlayer::InputClose()
{
    return control_message_send_N(m_player, 8);
}

int TXaudioPlayer::InputSendMessage(int Type, const void *Data, int Size)
{
    return control_message_send_IPI(m_player, 9, Type, Data, Size);
}

int TXaudioPlayer::InputAddFilter(const QString &Name, int Where)
{
    return control_message_send_SI(m_player, 10, Name.toUtf8().constData(), Where);
}

int TXaudioPlayer::InputRemoveFilter(const QString &Name, int Id)
{
    return control_message_send_SI(m_player, 11, Name.toUtf8().constData(), Id);
}

int TXaudioPlayer::InputFilterList()
{
    return control_message_send_N(m_player, 12);
}

int TXaudioPlayer::InputModuleRegister(const QString &Name)
{
    return control_message_send_S(m_player, 13, Name.toUtf8().constData());
}

int TXaudioPlayer::InputModuleQuery(int Module)
{
    return control_message_send_I(m_player, 14, Module);
}

int TXaudioPlayer::InputModulesList()
{
    return control_message_send_N(m_player, 15);
}

int TXaudioPlayer::OutputOpen(const QString &Name)
{
    return control_message_send_S(m_player, 16, Name.toUtf8().constData());
}

int TXaudioPlayer::OutputClose()
{
    return control_message_send_N(m_player, 17);
}

int TXaudioPlayer::OutputSendMessage(int Type, const void *Data, int Size)
{
    return control_message_send_IPI(m_player, 18, Type, Data, Size);
}

int TXaudioPlayer::OutputMute()
{
    return control_message_send_N(m_player, 19);
}

int TXaudioPlayer::OutputUnmute()
{
    return control_message_send_N(m_player, 20);
}

int TXaudioPlayer::OutputReset()
{
    return control_message_send_N(m_player, 21);
}

int TXaudioPlayer::OutputDrain()
{
    return control_message_send_N(m_player, 22);
}

int TXaudioPlayer::OutputAddFilter(const QString &Name, int Where)
{
    return control_message_send_SI(m_player, 23, Name.toUtf8().constData(), Where);
}

int TXaudioPlayer::OutputRemoveFilter(const QString &Name, int Id)
{
    return control_message_send_SI(m_player, 24, Name.toUtf8().constData(), Id);
}

int TXaudioPlayer::OutputFilterList()
{
    return control_message_send_N(m_player, 25);
}

int TXaudioPlayer::OutputModuleRegister(const QString &Name)
{
    return control_message_send_S(m_player, 26, Name.toUtf8().constData());
}

int TXaudioPlayer::OutputModuleQuery(int Module)
{
    return control_message_send_I(m_player, 27, Module);
}

int TXaudioPlayer::OutputModulesList()
{
    return control_message_send_N(m_player, 28);
}

int TXaudioPlayer::SetPlayerMode(int Mode)
{
    return control_message_send_I(m_player, 29, Mode);
}

int TXaudioPlayer::GetPlayerMode()
{
    return control_message_send_N(m_player, 30);
}

int TXaudioPlayer::SetPlayerEnvironmentInteger(const QString &Name, int Value)
{
    return control_message_send_SI(m_player, 31, Name.toUtf8().constData(), Value);
}

int TXaudioPlayer::GetPlayerEnvironmentInteger(const QString &Name)
{
    return control_message_send_S(m_player, 32, Name.toUtf8().constData());
}

int TXaudioPlayer::SetPlayerEnvironmentString(const QString &Name, const QString &Value)
{
    return control_message_send_SS(m_player, 33, Name.toUtf8().constData(), Value.toUtf8().constData());
}

int TXaudioPlayer::GetPlayerEnvironmentString(const QString &Name)
{
    return control_message_send_S(m_player, 34, Name.toUtf8().constData());
}

int TXaudioPlayer::UnsetPlayerEnvironment(const QString &Name)
{
    return control_message_send_S(m_player, 35, Name.toUtf8().constData());
}

int TXaudioPlayer::SetInputName(const QString &Name)
{
    return control_message_send_S(m_player, 36, Name.toUtf8().constData());
}

int TXaudioPlayer::GetInputName()
{
    return control_message_send_N(m_player, 37);
}

int TXaudioPlayer::SetInputModule(int Module)
{
    return control_message_send_I(m_player, 38, Module);
}

int TXaudioPlayer::GetInputModule()
{
    return control_message_send_N(m_player, 39);
}

int TXaudioPlayer::SetInputPositionRange(int Range)
{
    return control_message_send_I(m_player, 40, Range);
}

int TXaudioPlayer::GetInputPositionRange()
{
    return control_message_send_N(m_player, 41);
}

int TXaudioPlayer::SetInputTimecodeGranularity(int Granularity)
{
    return control_message_send_I(m_player, 42, Granularity);
}

int TXaudioPlayer::GetInputTimecodeGranularity()
{
    return control_message_send_N(m_player, 43);
}

int TXaudioPlayer::SetOutputName(const QString &Name)
{
    return control_message_send_S(m_player, 44, Name.toUtf8().constData());
}

int TXaudioPlayer::GetOutputName()
{
    return control_message_send_N(m_player, 45);
}

int TXaudioPlayer::SetOutputModule(int Module)
{
    return control_message_send_I(m_player, 46, Module);
}

int TXaudioPlayer::GetOutputModule()
{
    return control_message_send_N(m_player, 47);
}

int TXaudioPlayer::SetOutputVolume(int Balance, int PcmLevel, int MasterLevel)
{
    return control_message_send_III(m_player, 48, Balance, PcmLevel, MasterLevel);
}

int TXaudioPlayer::GetOutputVolume()
{
    return control_message_send_N(m_player, 49);
}

int TXaudioPlayer::SetOutputChannels(int Channels)
{
    return control_message_send_I(m_player, 50, Channels);
}

int TXaudioPlayer::GetOutputChannels()
{
    return control_message_send_N(m_player, 51);
}

int TXaudioPlayer::SetOutputPorts(int Ports)
{
    return control_message_send_I(m_player, 52, Ports);
}

int TXaudioPlayer::GetOutputPorts()
{
    return control_message_send_N(m_player, 53);
}

int TXaudioPlayer::SetCodecQuality(int Quality)
{
    return control_message_send_I(m_player, 54, Quality);
}

int TXaudioPlayer::GetCodecQuality()
{
    return control_message_send_N(m_player, 55);
}

int TXaudioPlayer::SetCodecEqualizer(const XA_EqualizerInfo *Equalizer)
{
    return control_message_send_P(m_player, 58, Equalizer);
}

int TXaudioPlayer::GetCodecEqualizer()
{
    return control_message_send_N(m_player, 59);
}

int TXaudioPlayer::SetNotificationMask(quint32 Mask)
{
    return control_message_send_I(m_player, 60, int(Mask));
}

int TXaudioPlayer::GetNotificationMask()
{
    return control_message_send_N(m_player, 61);
}

int TXaudioPlayer::SetDebugLevel(int Level)
{
    return control_message_send_I(m_player, 62, Level);
}

int TXaudioPlayer::GetDebugLevel()
{
    return control_message_send_N(m_player, 63);
}
