#pragma once
// The player's decoder component: one decoder-library player, a method per command and a signal per
// notification. Signals arrive on the thread that owns this object, in the order the decoder posted them.
#include "engine/xaudio/xaudio.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

class TXaudioPlayer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Priority READ Priority WRITE setPriority)

public:
    // Where the component's complaints go (the standard error stream unless a program gives a sink):
    // the player shows them in boxes, tests collect them.
    using MessageSink = std::function<void(const QString &text)>;
    static void setMessageSink(MessageSink sink);
    static void showMessage(const QString &text);

    using VersionFunction = uint32_t (*)();
    explicit TXaudioPlayer(QObject *parent = nullptr, VersionFunction version = &xaudio_get_api_version);
    ~TXaudioPlayer() override;

    bool isValid() const { return m_player != nullptr; }
    XA_Player *handle() const { return m_player; }
    QString ErrorString(int code) const;
    int Priority() const;
    void setPriority(int priority);

    int Exit();
    int Ping(int Tag);
    int Play();
    int Pause();
    int Stop();
    int InputSeek(int Offset, int Range);
    int InputOpen(const QString &Name);
    int InputClose();
    // Opens the song that is to follow the current one without a gap (empty: none).
    int InputQueue(const QString &Name);
    int InputSendMessage(int Type, const void *Data, int Size);
    int InputAddFilter(const QString &Name, int Where);
    int InputRemoveFilter(const QString &Name, int Id);
    int InputFilterList();
    int InputModuleRegister(const QString &Name);
    int InputModuleQuery(int Module);
    int InputModulesList();
    int OutputOpen(const QString &Name);
    int OutputClose();
    int OutputSendMessage(int Type, const void *Data, int Size);
    int OutputMute();
    int OutputUnmute();
    int OutputReset();
    int OutputDrain();
    int OutputAddFilter(const QString &Name, int Where);
    int OutputRemoveFilter(const QString &Name, int Id);
    int OutputFilterList();
    int OutputModuleRegister(const QString &Name);
    int OutputModuleQuery(int Module);
    int OutputModulesList();
    int SetPlayerMode(int Mode);
    int GetPlayerMode();
    int SetPlayerEnvironmentInteger(const QString &Name, int Value);
    int GetPlayerEnvironmentInteger(const QString &Name);
    int SetPlayerEnvironmentString(const QString &Name, const QString &Value);
    int GetPlayerEnvironmentString(const QString &Name);
    int UnsetPlayerEnvironment(const QString &Name);
    int SetInputName(const QString &Name);
    int GetInputName();
    int SetInputModule(int Module);
    int GetInputModule();
    int SetInputPositionRange(int Range);
    int GetInputPositionRange();
    int SetInputTimecodeGranularity(int Granularity);
    int GetInputTimecodeGranularity();
    int SetOutputName(const QString &Name);
    int GetOutputName();
    int SetOutputModule(int Module);
    int GetOutputModule();
    int SetOutputVolume(int Balance, int PcmLevel, int MasterLevel);
    int GetOutputVolume();
    int SetOutputChannels(int Channels);
    int GetOutputChannels();
    int SetOutputPorts(int Ports);
    int GetOutputPorts();
    int SetCodecQuality(int Quality);
    int GetCodecQuality();
    int SetCodecEqualizer(const XA_EqualizerInfo *Equalizer);
    int GetCodecEqualizer();
    int SetNotificationMask(quint32 Mask);
    int GetNotificationMask();
    int SetDebugLevel(int Level);
    int GetDebugLevel();

signals:
    void OnNotifyMessage(const XA_Message &Msg);
    void OnNotifyReady();
    void OnNotifyAck(quint8 Command);
    void OnNotifyNack(quint8 Command, qint16 Code);
    void OnNotifyPong(quint32 Tag);
    void OnNotifyExited();
    void OnNotifyPlayerState(int State);
    void OnNotifyPlayerMode(int Mode);
    void OnNotifyPlayerEnvironmentInteger(const QString &Name, int Value);
    void OnNotifyPlayerEnvironmentString(const QString &Name, const QString &Value);
    void OnNotifyInputState(int State);
    void OnNotifyInputName(const QString &Name);
    void OnNotifyInputCaps(quint32 Caps);
    void OnNotifyInputPosition(quint32 Offset, quint32 Range);
    void OnNotifyInputPositionRange(int Range);
    void OnNotifyInputTimecode(quint8 Hours, quint8 Minutes, quint8 Seconds, quint8 Fractions);
    void OnNotifyInputTimecodeGranularity(quint32 Granularity);
    void OnNotifyInputDuration(quint32 Duration);
    // Codec, Bits and Channels are set for the formats that are not MPEG audio (Level and Layer 0): FFmpeg's
    // codec name ("flac", "opus"), the bits per sample of a lossless source, the channels played.
    void OnNotifyInputStreamInfo(quint8 Level, quint8 Layer, quint16 Bitrate, quint32 Frequency, quint8 Mode,
                                 const QString &Codec, quint8 Bits, quint8 Channels);
    // A radio stream's current title (UTF-8 when it is valid UTF-8, else Latin-1).
    void OnNotifyInputStreamTitle(const QString &Title);
    // The queued song took over without a gap.
    void OnNotifyInputFollowed(const QString &Name);
    void OnNotifyInputModule(qint16 Module);
    void OnNotifyInputModuleInfo(quint8 Module, quint8 NbDevices, const QString &Name,
                                 const QString &Description);
    void OnNotifyInputDeviceInfo(quint8 ModuleID, quint8 Index, quint8 Flags, const QString &Name,
                                 const QString &Description);
    void OnNotifyInputFilterInfo(quint8 Filter, const QString &Name);
    void OnNotifyOutputState(int State);
    void OnNotifyOutputName(const QString &Name);
    void OnNotifyOutputCaps(quint32 Caps);
    void OnNotifyOutputVolume(quint8 MasterLevel, quint8 PcmLevel, quint8 Balance);
    void OnNotifyOutputBalance(quint8 Balance);
    void OnNotifyOutputPcmLevel(quint8 PcmLevel);
    void OnNotifyOutputMasterLevel(quint8 MasterLevel);
    void OnNotifyOutputChannels(quint8 Channels);
    void OnNotifyOutputPorts(quint32 Ports);
    void OnNotifyOutputModule(qint16 Module);
    void OnNotifyOutputModuleInfo(quint8 Module, quint8 NbDevices, const QString &Name,
                                  const QString &Description);
    void OnNotifyOutputDeviceInfo(quint8 ModuleID, quint8 Index, quint8 Flags, const QString &Name,
                                  const QString &Description);
    void OnNotifyOutputFilterInfo(quint8 Filter, const QString &Name);
    void OnNotifyCodecQuality(quint8 Quality);
    void OnNotifyCodecEqualizer(const XA_EqualizerInfo *Equalizer);
    void OnNotifyNotificationMask(quint32 Mask);
    void OnNotifyDebugLevel(quint8 Level);
    void OnNotifyProgress(quint8 Source, quint8 Code, qint16 Value, const QString &Msg);
    void OnNotifyDebug(quint8 Source, quint8 Level, const QString &Msg);
    void OnNotifyError(quint8 Source, qint16 Code, const QString &Msg);

public:
    // Raises the events of one notification: OnNotifyMessage, then the event of its code.
    void dispatch(const XA_Message &m);
    // While on, position and time notifications do not wake this thread: they wait until takeMessages()
    // (or any other notification) delivers them, so an owner with a timer of its own is not woken twice.
    // Off again, whatever waited is delivered from the event loop.
    void setQuietProgress(bool on);
    // Delivers every notification waiting, now: only from where the owner can take any of them (not from
    // inside one of its handlers).
    void takeMessages() { dispatchPending(); }

private:
    Q_INVOKABLE void dispatchPending();
    static void notifyOwner(void *user);

    XA_Player *m_player = nullptr;
    XA_EqualizerInfo m_lastEqualizer{};
    std::atomic<bool> m_dispatchScheduled{false};
};

Q_DECLARE_METATYPE(XA_Message)
