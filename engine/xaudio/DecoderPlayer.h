#pragma once
// One player: a decoder thread that takes queued commands, decodes the input (MPEG audio through libmpg123,
// other formats through the FFmpeg module), sends the PCM through the sound chain to the output, and queues a
// notification for every outcome.
#include "engine/xaudio/AudioOutput.h"
#include "engine/xaudio/BufferedFile.h"
#include "engine/xaudio/FfmpegInput.h"
#include "engine/xaudio/SoundChain.h"
#include "engine/xaudio/StreamSource.h"
#include "engine/xaudio/xaudio.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct mpg123_handle_struct;

struct XA_Command {
    int code = 0;
    int i[3] = {0, 0, 0};
    std::string s[2];
    std::vector<uint8_t> data;
    bool hasData = false;
};

class DecoderPlayer
{
public:
    DecoderPlayer(XA_NotifyCallback notify, void *user);
    ~DecoderPlayer();
    DecoderPlayer(const DecoderPlayer &) = delete;
    DecoderPlayer &operator=(const DecoderPlayer &) = delete;

    // Asks the thread to end and waits for it, at most patience. False when it did not end in time: it is
    // then left to itself (a stuck sound device), no longer calls back, and this object must not be
    // destroyed.
    bool shutdown(std::chrono::milliseconds patience);
    void post(XA_Command command);
    bool take(XA_Message *message);
    void setPriority(int priority);
    // Notifications of these classes call the notify callback; the others wait in the queue until the owner
    // takes messages for another reason (an owner that polls on a timer of its own).
    void setWakeMask(uint32_t mask) { m_wakeMask = mask; }
    int priority() const { return m_priority; }
    bool peaks(int *left, int *right, int *channels);

private:
    // An input is decoded either by libmpg123 (mh, with file or source) or by the FFmpeg module (av); what
    // follows the decoding is the same for both.
    struct Input {
        mpg123_handle_struct *mh = nullptr;
        std::unique_ptr<BufferedFile> file; // a local file's reader; outlives mh (closed in clear())
        std::unique_ptr<FfmpegInput> av;
        std::unique_ptr<StreamSource> source;
        bool stream = false;
        bool disconnected = false; // a stopped stream reconnects on Play
        long rate = 0;
        int channels = 0;
        int64_t length = -1; // samples; -1 for streams
        std::vector<uint8_t> buffer;
        double gain = 1;                 // ReplayGain of an input the FFmpeg module decodes
        bool deep = false;               // decoded to 32-bit samples
        int bits = 16;                   // of the source's samples, for the output
        std::vector<int16_t> gained;     // its PCM with the gain applied
        std::vector<int32_t> gainedDeep; // the same for 32-bit samples
        int tagChanges = 0;              // of av when its title was last looked at
        Input() = default;
        Input(const Input &) = delete;
        Input &operator=(const Input &) = delete;
        ~Input() { clear(); }
        // Back to nothing opened.
        void clear();
        // The sample the next decoded block starts with; -1 when unknown.
        int64_t tell() const;
        bool seek(int64_t sample);
    };

    void run();
    // Calls the method of the command; each answers as its command does, with the notifications of what
    // changed in the order the command makes them.
    void handle(const XA_Command &c);

    // The commands.
    void exit(const XA_Command &c);
    void ping(const XA_Command &c);
    void play(const XA_Command &c);
    void pause(const XA_Command &c);
    void stop(const XA_Command &c);
    void inputSeek(const XA_Command &c);
    void inputOpen(const XA_Command &c);
    // Gapless: the input to follow the current one, opened ahead.
    void inputQueue(const XA_Command &c);
    void inputClose(const XA_Command &c);
    void inputModuleRegister(const XA_Command &c);
    void inputModuleQuery(const XA_Command &c);
    void inputModulesList(const XA_Command &c);
    void inputFiltersList(const XA_Command &c);
    void outputOpen(const XA_Command &c);
    void outputClose(const XA_Command &c);
    void outputMute(const XA_Command &c);
    void outputUnmute(const XA_Command &c);
    void outputReset(const XA_Command &c);
    void outputDrain(const XA_Command &c);
    void outputModuleRegister(const XA_Command &c);
    void outputModuleQuery(const XA_Command &c);
    void outputModulesList(const XA_Command &c);
    void outputFiltersList(const XA_Command &c);
    // Sending messages to modules and adding or removing filters: there are none to take them.
    void unsupported(const XA_Command &c);

    // Settings: each Set answers with an ack (and, for some, the notification of the new value), each Get
    // with the notification of the value alone.
    void setPlayerMode(const XA_Command &c);
    void getPlayerMode(const XA_Command &c);
    void setPlayerEnvironmentInteger(const XA_Command &c);
    void getPlayerEnvironmentInteger(const XA_Command &c);
    void setPlayerEnvironmentString(const XA_Command &c);
    void getPlayerEnvironmentString(const XA_Command &c);
    void unsetPlayerEnvironment(const XA_Command &c);
    void setInputName(const XA_Command &c);
    void getInputName(const XA_Command &c);
    void setInputModule(const XA_Command &c);
    void getInputModule(const XA_Command &c);
    void setInputPositionRange(const XA_Command &c);
    void getInputPositionRange(const XA_Command &c);
    void setInputTimecodeGranularity(const XA_Command &c);
    void getInputTimecodeGranularity(const XA_Command &c);
    void setOutputName(const XA_Command &c);
    void getOutputName(const XA_Command &c);
    void setOutputModule(const XA_Command &c);
    void getOutputModule(const XA_Command &c);
    void setOutputVolume(const XA_Command &c);
    void getOutputVolume(const XA_Command &c);
    void setOutputChannels(const XA_Command &c);
    void getOutputChannels(const XA_Command &c);
    void setOutputPorts(const XA_Command &c);
    void getOutputPorts(const XA_Command &c);
    void setCodecQuality(const XA_Command &c);
    void getCodecQuality(const XA_Command &c);
    void setCodecEqualizer(const XA_Command &c);
    void getCodecEqualizer(const XA_Command &c);
    void setNotificationMask(const XA_Command &c);
    void getNotificationMask(const XA_Command &c);
    void setDebugLevel(const XA_Command &c);
    void getDebugLevel(const XA_Command &c);

    // The notification of one input or output module.
    void sendModuleInfo(bool input, int id);
    void notify(XA_Message m, uint32_t maskClass = 0);
    void ack(int command);
    void nack(int command, int error);
    void error(uint8_t source, int code, const std::string &text);
    void debug(int level, const std::string &text);
    void setPlayerState(int state);

    // A local file, by the decoder its name and first bytes call for; the other one when that one finds no
    // audio of its kind.
    bool openFileInput(Input &in, const std::string &name, int *err, std::string *text);
    bool openMpegFile(Input &in, const std::string &name, int *err, std::string *text);
    bool openOtherFile(Input &in, const std::string &name, bool sureOnly, int *err, std::string *text);
    // A stream of another format than MPEG audio, by its Content-Type and first bytes; false for MPEG audio
    // or when the stream was closed or cancelled before they came.
    bool streamIsOther(StreamSource &source);
    bool openOtherStream(Input &in, const std::string &name, int *err, std::string *text);
    // The gain the ReplayGain setting gives an input the FFmpeg module decodes.
    void applyOtherReplayGain(Input &in);
    // The stream's title from ICY metadata or the tags of a chained Ogg stream, when it changed.
    void announceStreamTitle(Input &in);
    // A stream ended: dropped when its source failed.
    void streamEnded(Input &in);
    // The input sent notifications of a freshly opened one: name, caps, duration, stream info, position.
    void announceInput();
    // Gapless: the hand-over to the queued input at the end of the current one.
    bool followQueued();
    // ReplayGain: libmpg123's track gain from LAME headers and RVA2 frames, limited by the peak they give.
    void applyReplayGain(mpg123_handle_struct *mh);
    // The sound chain and position bookkeeping for a freshly opened input.
    void startInput();
    void sendStreamInfo();
    bool feedStream(Input &in, size_t bytes, int *err, std::string *text);
    void closeInput();
    bool openStreamInput(Input &in, const std::string &name, int *err, std::string *text);
    bool commandWaiting(std::initializer_list<int> codes);
    bool openOutput(const std::string &name, int command);
    // The pitch set, on the sound server's output only.
    void applyPitch();
    void closeOutput();
    void decodeStep();
    void decodeOtherStep(Input &in);
    // Decoded PCM through the sound chain to the output, and the meters and position of it.
    void deliver(const int16_t *pcm, size_t frames);
    void deliver(const int32_t *pcm, size_t frames);
    // The output started for the input, opened first if it is not; false (stopped, error sent) when not.
    bool startOutput(Input &in);
    // The level meters and the position after a block was played.
    void played(int peakLeft, int peakRight);
    void endOfStream(bool failed);
    void sendPosition(bool force);
    void applyPriority();
    void sendVolume();

    std::atomic<XA_NotifyCallback> m_notifyCallback;
    void *m_user;

    std::mutex m_commandMutex;
    std::condition_variable m_commandCv;
    std::deque<XA_Command> m_commands;

    std::mutex m_messageMutex;
    std::deque<XA_Message> m_messages;

    std::thread m_thread;
    std::mutex m_exitMutex;
    std::condition_variable m_exitCv;
    bool m_threadDone = false;
    std::atomic<bool> m_exited{false};
    std::atomic<int> m_priority{2};
    std::atomic<uint32_t> m_wakeMask{XA_NOTIFY_MASK_ALL};
    std::atomic<int> m_tid{0};

    // Decoder-thread state.
    int m_state = XA_PLAYER_STATE_STOPPED;
    int m_mode = 0;
    std::map<std::string, int> m_envInt;
    std::map<std::string, std::string> m_envString;
    std::unique_ptr<Input> m_input;
    std::string m_inputName;
    std::unique_ptr<Input> m_queued;
    std::string m_queuedName;
    bool m_replayGain = false;
    int m_inputModule = 0;
    uint32_t m_positionRange = 400;
    uint32_t m_granularity = 10;
    AudioOutput m_output;
    std::string m_outputName = "/dev/wave/0";
    int m_outputModule = 0;
    int m_balance = 50, m_pcmLevel = 100, m_masterLevel = 255;
    int m_channelMode = 0;
    uint32_t m_ports = 0;
    int m_quality = 0;
    bool m_eqOn = false;
    XA_EqualizerInfo m_eq{};
    uint32_t m_mask = XA_NOTIFY_MASK_ALL;
    int m_debugLevel = 0;
    bool m_muted = false;
    SoundChain m_chain;
    int64_t m_lastPositionSample = -1;
    size_t m_fedWithoutFrame = 0;
    std::string m_lastTitle;
    std::string m_lastIcyTitle; // so a title of the tags is not taken back by an older ICY one

    std::atomic<int> m_peakLeft{0}, m_peakRight{0};
    std::atomic<int> m_outputChannels{0};
};
