#include "engine/xaudio/DecoderPlayer.h"

#include <algorithm>
#include <cstring>
#include <mpg123.h>

// The commands a player takes: each answers with an ack or a nack and the notifications of what changed;
// queries answer with their notification alone.

namespace
{

const char *const OutputModules[] = {"dsound", "wave", "wav"};
const char *const PitchName = "OUTPUT.DIRECTSOUND.PITCH";
const char *const OutputModuleDescriptions[] = {"Sound server output (PulseAudio or PipeWire)",
                                                "Sound card output (ALSA)", "WAV file writer"};
const char *const InputModules[] = {"file", "network", "udp"};
const char *const InputModuleDescriptions[] = {"MPEG audio files, and FLAC, Ogg, MP4, WAV, AIFF and WavPack",
                                               "HTTP, HTTPS and FTP streams", "MPEG audio over UDP"};

bool isStreamName(const std::string &name)
{
    std::string lower = name.substr(0, 8);
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 ||
           lower.rfind("ftp://", 0) == 0 || lower.rfind("udp://", 0) == 0;
}

} // namespace

void DecoderPlayer::handle(const XA_Command &c)
{
    switch (c.code) {
    case XA_MSG_COMMAND_EXIT:
        return exit(c);
    case XA_MSG_COMMAND_PING:
        return ping(c);
    case XA_MSG_COMMAND_PLAY:
        return play(c);
    case XA_MSG_COMMAND_PAUSE:
        return pause(c);
    case XA_MSG_COMMAND_STOP:
        return stop(c);
    case XA_MSG_COMMAND_INPUT_SEEK:
        return inputSeek(c);
    case XA_MSG_COMMAND_INPUT_OPEN:
        return inputOpen(c);
    case XA_MSG_COMMAND_INPUT_QUEUE:
        return inputQueue(c);
    case XA_MSG_COMMAND_INPUT_CLOSE:
        return inputClose(c);
    case XA_MSG_COMMAND_INPUT_MODULE_REGISTER:
        return inputModuleRegister(c);
    case XA_MSG_COMMAND_INPUT_MODULE_QUERY:
        return inputModuleQuery(c);
    case XA_MSG_COMMAND_INPUT_MODULES_LIST:
        return inputModulesList(c);
    case XA_MSG_COMMAND_INPUT_FILTERS_LIST:
        return inputFiltersList(c);
    case XA_MSG_COMMAND_OUTPUT_OPEN:
        return outputOpen(c);
    case XA_MSG_COMMAND_OUTPUT_CLOSE:
        return outputClose(c);
    case XA_MSG_COMMAND_OUTPUT_MUTE:
        return outputMute(c);
    case XA_MSG_COMMAND_OUTPUT_UNMUTE:
        return outputUnmute(c);
    case XA_MSG_COMMAND_OUTPUT_RESET:
        return outputReset(c);
    case XA_MSG_COMMAND_OUTPUT_DRAIN:
        return outputDrain(c);
    case XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER:
        return outputModuleRegister(c);
    case XA_MSG_COMMAND_OUTPUT_MODULE_QUERY:
        return outputModuleQuery(c);
    case XA_MSG_COMMAND_OUTPUT_MODULES_LIST:
        return outputModulesList(c);
    case XA_MSG_COMMAND_OUTPUT_FILTERS_LIST:
        return outputFiltersList(c);
    case XA_MSG_COMMAND_INPUT_SEND_MESSAGE:
    case XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE:
    case XA_MSG_COMMAND_INPUT_ADD_FILTER:
    case XA_MSG_COMMAND_INPUT_REMOVE_FILTER:
    case XA_MSG_COMMAND_OUTPUT_ADD_FILTER:
    case XA_MSG_COMMAND_OUTPUT_REMOVE_FILTER:
        return unsupported(c);
    case XA_MSG_SET_PLAYER_MODE:
        return setPlayerMode(c);
    case XA_MSG_GET_PLAYER_MODE:
        return getPlayerMode(c);
    case XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER:
        return setPlayerEnvironmentInteger(c);
    case XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER:
        return getPlayerEnvironmentInteger(c);
    case XA_MSG_SET_PLAYER_ENVIRONMENT_STRING:
        return setPlayerEnvironmentString(c);
    case XA_MSG_GET_PLAYER_ENVIRONMENT_STRING:
        return getPlayerEnvironmentString(c);
    case XA_MSG_UNSET_PLAYER_ENVIRONMENT:
        return unsetPlayerEnvironment(c);
    case XA_MSG_SET_INPUT_NAME:
        return setInputName(c);
    case XA_MSG_GET_INPUT_NAME:
        return getInputName(c);
    case XA_MSG_SET_INPUT_MODULE:
        return setInputModule(c);
    case XA_MSG_GET_INPUT_MODULE:
        return getInputModule(c);
    case XA_MSG_SET_INPUT_POSITION_RANGE:
        return setInputPositionRange(c);
    case XA_MSG_GET_INPUT_POSITION_RANGE:
        return getInputPositionRange(c);
    case XA_MSG_SET_INPUT_TIMECODE_GRANULARITY:
        return setInputTimecodeGranularity(c);
    case XA_MSG_GET_INPUT_TIMECODE_GRANULARITY:
        return getInputTimecodeGranularity(c);
    case XA_MSG_SET_OUTPUT_NAME:
        return setOutputName(c);
    case XA_MSG_GET_OUTPUT_NAME:
        return getOutputName(c);
    case XA_MSG_SET_OUTPUT_MODULE:
        return setOutputModule(c);
    case XA_MSG_GET_OUTPUT_MODULE:
        return getOutputModule(c);
    case XA_MSG_SET_OUTPUT_VOLUME:
        return setOutputVolume(c);
    case XA_MSG_GET_OUTPUT_VOLUME:
        return getOutputVolume(c);
    case XA_MSG_SET_OUTPUT_CHANNELS:
        return setOutputChannels(c);
    case XA_MSG_GET_OUTPUT_CHANNELS:
        return getOutputChannels(c);
    case XA_MSG_SET_OUTPUT_PORTS:
        return setOutputPorts(c);
    case XA_MSG_GET_OUTPUT_PORTS:
        return getOutputPorts(c);
    case XA_MSG_SET_CODEC_QUALITY:
        return setCodecQuality(c);
    case XA_MSG_GET_CODEC_QUALITY:
        return getCodecQuality(c);
    case XA_MSG_SET_CODEC_EQUALIZER:
        return setCodecEqualizer(c);
    case XA_MSG_GET_CODEC_EQUALIZER:
        return getCodecEqualizer(c);
    case XA_MSG_SET_NOTIFICATION_MASK:
        return setNotificationMask(c);
    case XA_MSG_GET_NOTIFICATION_MASK:
        return getNotificationMask(c);
    case XA_MSG_SET_DEBUG_LEVEL:
        return setDebugLevel(c);
    case XA_MSG_GET_DEBUG_LEVEL:
        return getDebugLevel(c);
    default:
        return nack(c.code, XA_ERROR_UNKNOWN_COMMAND);
    }
}

void DecoderPlayer::exit(const XA_Command &)
{
    closeInput();
    closeOutput();
    m_exited = true;
    XA_Message m;
    m.code = XA_MSG_NOTIFY_EXITED;
    notify(std::move(m));
}

void DecoderPlayer::ping(const XA_Command &c)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_PONG;
    m.tag = uint32_t(c.i[0]);
    notify(std::move(m));
}

void DecoderPlayer::play(const XA_Command &c)
{
    if (!m_input) {
        nack(c.code, XA_ERROR_NO_INPUT);
        return;
    }
    if (m_input->stream && m_input->disconnected) {
        int err = XA_SUCCESS;
        std::string text;
        auto fresh = std::make_unique<Input>();
        fresh->stream = true;
        if (!openStreamInput(*fresh, m_inputName, &err, &text)) {
            error(XA_SOURCE_INPUT, err, text);
            nack(c.code, err);
            return;
        }
        m_input = std::move(fresh);
        startInput();
        sendStreamInfo();
    }
    if (m_state != XA_PLAYER_STATE_PLAYING) {
        if (!m_output.isOpen() && !openOutput(m_outputName, c.code))
            return;
        setPlayerState(XA_PLAYER_STATE_PLAYING);
    }
    ack(c.code);
}

void DecoderPlayer::pause(const XA_Command &c)
{
    if (m_state != XA_PLAYER_STATE_PLAYING) {
        nack(c.code, XA_ERROR_INVALID_STATE);
        return;
    }
    setPlayerState(XA_PLAYER_STATE_PAUSED);
    ack(c.code);
}

void DecoderPlayer::stop(const XA_Command &c)
{
    m_queued.reset();
    if (m_input) {
        if (m_input->stream) {
            m_input->source.reset();
            m_input->disconnected = true;
        } else {
            m_input->seek(0);
        }
    }
    m_output.drop();
    m_chain.clearHistory();
    setPlayerState(XA_PLAYER_STATE_STOPPED);
    sendPosition(true);
    ack(c.code);
}

void DecoderPlayer::inputSeek(const XA_Command &c)
{
    if (!m_input) {
        nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_NO_INPUT);
        return;
    }
    if (m_input->stream || m_input->length <= 0) {
        nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_NOT_SEEKABLE);
        return;
    }
    const int range = c.i[1];
    if (range <= 0) {
        nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_INVALID_PARAMETERS);
        return;
    }
    const int offset = std::clamp(c.i[0], 0, range);
    const int64_t target = m_input->length * offset / range;
    if (!m_input->seek(target)) {
        error(XA_SOURCE_INPUT, XA_ERROR_INPUT_READ,
              m_input->mh ? mpg123_strerror(m_input->mh) : "cannot seek in " + m_inputName);
        nack(XA_MSG_COMMAND_INPUT_SEEK, XA_ERROR_INPUT_READ);
        return;
    }
    m_chain.clearHistory();
    m_output.drop();
    sendPosition(true);
    ack(XA_MSG_COMMAND_INPUT_SEEK);
}

void DecoderPlayer::inputOpen(const XA_Command &c)
{
    const std::string &name = c.s[0];
    const bool wasActive = m_state == XA_PLAYER_STATE_PLAYING || m_state == XA_PLAYER_STATE_PAUSED;
    closeInput();
    m_queued.reset();
    auto in = std::make_unique<Input>();
    int err = XA_SUCCESS;
    std::string text;
    bool ok = false;
    if (name.empty()) {
        err = XA_ERROR_INVALID_PARAMETERS;
        text = "no input name";
    } else if (isStreamName(name)) {
        in->stream = true;
        ok = openStreamInput(*in, name, &err, &text);
    } else {
        ok = openFileInput(*in, name, &err, &text);
    }
    if (!ok) {
        error(XA_SOURCE_INPUT, err, text);
        if (wasActive)
            setPlayerState(XA_PLAYER_STATE_STOPPED);
        nack(XA_MSG_COMMAND_INPUT_OPEN, err);
        return;
    }

    m_input = std::move(in);
    m_inputName = name;
    startInput();
    announceInput();
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_STATE;
    m.state = XA_INPUT_STATE_OPEN;
    notify(m, XA_NOTIFY_MASK_INPUT_STATE);
    ack(XA_MSG_COMMAND_INPUT_OPEN);
}

void DecoderPlayer::inputClose(const XA_Command &c)
{
    closeInput();
    m_queued.reset();
    if (m_state != XA_PLAYER_STATE_STOPPED)
        setPlayerState(XA_PLAYER_STATE_STOPPED);
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_STATE;
    m.state = XA_INPUT_STATE_CLOSED;
    notify(std::move(m), XA_NOTIFY_MASK_INPUT_STATE);
    ack(c.code);
}

void DecoderPlayer::inputModuleRegister(const XA_Command &c)
{
    nack(c.code, XA_ERROR_UNKNOWN_MODULE);
}

void DecoderPlayer::sendModuleInfo(bool input, int id)
{
    XA_Message m;
    m.code = input ? XA_MSG_NOTIFY_INPUT_MODULE_INFO : XA_MSG_NOTIFY_OUTPUT_MODULE_INFO;
    m.moduleId = int16_t(id);
    m.nbDevices = 1;
    m.name = input ? InputModules[id] : OutputModules[id];
    m.text = input ? InputModuleDescriptions[id] : OutputModuleDescriptions[id];
    notify(std::move(m));
}

void DecoderPlayer::inputModuleQuery(const XA_Command &c)
{
    if (c.i[0] < 0 || c.i[0] > 2) {
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    }
    sendModuleInfo(true, c.i[0]);
    ack(c.code);
}

void DecoderPlayer::inputModulesList(const XA_Command &c)
{
    for (int id = 0; id < 3; ++id)
        sendModuleInfo(true, id);
    ack(c.code);
}

void DecoderPlayer::inputFiltersList(const XA_Command &c)
{
    // No input filters to list.
    ack(c.code);
}

void DecoderPlayer::outputOpen(const XA_Command &c)
{
    if (openOutput(c.s[0], c.code))
        ack(c.code);
}

void DecoderPlayer::outputClose(const XA_Command &c)
{
    closeOutput();
    ack(c.code);
}

void DecoderPlayer::outputMute(const XA_Command &c)
{
    m_muted = true;
    m_chain.setMute(m_muted);
    ack(c.code);
}

void DecoderPlayer::outputUnmute(const XA_Command &c)
{
    m_muted = false;
    m_chain.setMute(m_muted);
    ack(c.code);
}

void DecoderPlayer::outputReset(const XA_Command &c)
{
    m_output.drop();
    ack(c.code);
}

void DecoderPlayer::outputDrain(const XA_Command &c)
{
    m_output.drain();
    ack(c.code);
}

void DecoderPlayer::outputModuleRegister(const XA_Command &c)
{
    static const char *const known[] = {"dsound_output_module_register@xoutput.dll",
                                        "wave_output_module_register@xoutput.dll",
                                        "file_output_module_register@xoutput.dll"};
    for (int id = 0; id < 3; ++id) {
        if (c.s[0] == known[id]) {
            XA_Message m;
            m.code = XA_MSG_NOTIFY_OUTPUT_MODULE;
            m.moduleId = int16_t(id);
            notify(std::move(m));
            ack(c.code);
            return;
        }
    }
    nack(c.code, XA_ERROR_UNKNOWN_MODULE);
}

void DecoderPlayer::outputModuleQuery(const XA_Command &c)
{
    if (c.i[0] < 0 || c.i[0] > 2) {
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    }
    sendModuleInfo(false, c.i[0]);
    ack(c.code);
}

void DecoderPlayer::outputModulesList(const XA_Command &c)
{
    for (int id = 0; id < 3; ++id)
        sendModuleInfo(false, id);
    ack(c.code);
}

void DecoderPlayer::outputFiltersList(const XA_Command &c)
{
    // No output filters to list.
    ack(c.code);
}

void DecoderPlayer::unsupported(const XA_Command &c)
{
    nack(c.code, XA_ERROR_NOT_SUPPORTED);
}

void DecoderPlayer::setPlayerMode(const XA_Command &c)
{
    m_mode = c.i[0];
    ack(c.code);
}

void DecoderPlayer::getPlayerMode(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_PLAYER_MODE;
    m.mode = m_mode;
    notify(std::move(m));
}

void DecoderPlayer::setPlayerEnvironmentInteger(const XA_Command &c)
{
    m_envInt[c.s[0]] = c.i[0];
    if (c.s[0] == PitchName)
        applyPitch();
    if (c.s[0] == "DECODER.REPLAYGAIN") {
        m_replayGain = c.i[0] != 0;
        for (Input *in : {m_input.get(), m_queued.get()}) {
            if (in && in->mh)
                applyReplayGain(in->mh);
            if (in && in->av)
                applyOtherReplayGain(*in);
        }
    }
    ack(c.code);
}

void DecoderPlayer::getPlayerEnvironmentInteger(const XA_Command &c)
{
    auto it = m_envInt.find(c.s[0]);
    if (it == m_envInt.end()) {
        nack(c.code, XA_ERROR_NO_SUCH_ENVIRONMENT);
        return;
    }
    XA_Message m;
    m.code = XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER;
    m.name = it->first;
    m.value = it->second;
    notify(std::move(m));
}

void DecoderPlayer::setPlayerEnvironmentString(const XA_Command &c)
{
    m_envString[c.s[0]] = c.s[1];
    ack(c.code);
}

void DecoderPlayer::getPlayerEnvironmentString(const XA_Command &c)
{
    auto it = m_envString.find(c.s[0]);
    if (it == m_envString.end()) {
        nack(c.code, XA_ERROR_NO_SUCH_ENVIRONMENT);
        return;
    }
    XA_Message m;
    m.code = XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING;
    m.name = it->first;
    m.text = it->second;
    notify(std::move(m));
}

void DecoderPlayer::unsetPlayerEnvironment(const XA_Command &c)
{
    m_envInt.erase(c.s[0]);
    m_envString.erase(c.s[0]);
    if (c.s[0] == PitchName)
        applyPitch();
    ack(c.code);
}

void DecoderPlayer::setInputName(const XA_Command &c)
{
    m_inputName = c.s[0];
    ack(c.code);
}

void DecoderPlayer::getInputName(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_NAME;
    m.name = m_inputName;
    notify(std::move(m));
}

void DecoderPlayer::setInputModule(const XA_Command &c)
{
    if (c.i[0] < 0 || c.i[0] > 2) {
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    }
    m_inputModule = c.i[0];
    ack(c.code);
}

void DecoderPlayer::getInputModule(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_MODULE;
    m.moduleId = int16_t(m_inputModule);
    notify(std::move(m));
}

void DecoderPlayer::setInputPositionRange(const XA_Command &c)
{
    if (c.i[0] <= 0) {
        nack(c.code, XA_ERROR_INVALID_PARAMETERS);
        return;
    }
    m_positionRange = uint32_t(c.i[0]);
    ack(c.code);
}

void DecoderPlayer::getInputPositionRange(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_POSITION_RANGE;
    m.range = m_positionRange;
    notify(std::move(m));
}

void DecoderPlayer::setInputTimecodeGranularity(const XA_Command &c)
{
    m_granularity = uint32_t(std::max(1, c.i[0]));
    ack(c.code);
}

void DecoderPlayer::getInputTimecodeGranularity(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY;
    m.granularity = m_granularity;
    notify(std::move(m));
}

void DecoderPlayer::setOutputName(const XA_Command &c)
{
    if (!AudioOutput::knownName(c.s[0])) {
        nack(c.code, XA_ERROR_INVALID_PARAMETERS);
        return;
    }
    m_outputName = c.s[0];
    applyPitch();
    // An open output of another name gives way; a playing song goes on through the new one.
    if (m_output.isOpen() && m_output.name() != m_outputName) {
        closeOutput();
        if (m_state == XA_PLAYER_STATE_PLAYING && !openOutput(m_outputName, c.code)) {
            setPlayerState(XA_PLAYER_STATE_STOPPED);
            return;
        }
    }
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_NAME;
    m.name = m_outputName;
    notify(std::move(m), XA_NOTIFY_MASK_OUTPUT_NAME);
    ack(c.code);
}

void DecoderPlayer::getOutputName(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_NAME;
    m.name = m_output.isOpen() ? m_output.name() : m_outputName;
    notify(std::move(m));
}

void DecoderPlayer::setOutputModule(const XA_Command &c)
{
    if (c.i[0] < 0 || c.i[0] > 2) {
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    }
    m_outputModule = c.i[0];
    ack(c.code);
}

void DecoderPlayer::getOutputModule(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_MODULE;
    m.moduleId = int16_t(m_outputModule);
    notify(std::move(m));
}

void DecoderPlayer::setOutputVolume(const XA_Command &c)
{
    m_balance = std::clamp(c.i[0], 0, 100);
    m_pcmLevel = std::clamp(c.i[1], 0, 100);
    m_masterLevel = std::clamp(c.i[2], 0, 255);
    m_chain.setVolume(m_balance, m_pcmLevel, m_masterLevel);
    sendVolume();
    ack(c.code);
}

void DecoderPlayer::getOutputVolume(const XA_Command &)
{
    sendVolume();
}

void DecoderPlayer::setOutputChannels(const XA_Command &c)
{
    if (c.i[0] < 0 || c.i[0] > 3) {
        nack(c.code, XA_ERROR_INVALID_PARAMETERS);
        return;
    }
    m_channelMode = c.i[0];
    m_chain.setChannelMode(m_channelMode);
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_CHANNELS;
    m.channels = uint8_t(m_channelMode);
    notify(std::move(m), XA_NOTIFY_MASK_OUTPUT_CHANNELS);
    ack(c.code);
}

void DecoderPlayer::getOutputChannels(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_CHANNELS;
    m.channels = uint8_t(m_channelMode);
    notify(std::move(m));
}

void DecoderPlayer::setOutputPorts(const XA_Command &c)
{
    m_ports = uint32_t(c.i[0]);
    ack(c.code);
}

void DecoderPlayer::getOutputPorts(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_PORTS;
    m.ports = m_ports;
    notify(std::move(m));
}

void DecoderPlayer::setCodecQuality(const XA_Command &c)
{
    m_quality = std::clamp(c.i[0], 0, 255);
    ack(c.code);
}

void DecoderPlayer::getCodecQuality(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_CODEC_QUALITY;
    m.quality = uint8_t(m_quality);
    notify(std::move(m));
}

void DecoderPlayer::setCodecEqualizer(const XA_Command &c)
{
    m_eqOn = c.hasData && c.data.size() == sizeof(XA_EqualizerInfo);
    if (m_eqOn)
        std::memcpy(&m_eq, c.data.data(), sizeof m_eq);
    m_chain.setEqualizer(m_eqOn ? &m_eq : nullptr);
    XA_Message m;
    m.code = XA_MSG_NOTIFY_CODEC_EQUALIZER;
    m.hasEqualizer = m_eqOn;
    m.equalizer = m_eq;
    notify(std::move(m), XA_NOTIFY_MASK_CODEC_EQUALIZER);
    ack(c.code);
}

void DecoderPlayer::getCodecEqualizer(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_CODEC_EQUALIZER;
    m.hasEqualizer = m_eqOn;
    m.equalizer = m_eq;
    notify(std::move(m));
}

void DecoderPlayer::setNotificationMask(const XA_Command &c)
{
    m_mask = uint32_t(c.i[0]);
    ack(c.code);
}

void DecoderPlayer::getNotificationMask(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_NOTIFICATION_MASK;
    m.mask = m_mask;
    notify(std::move(m));
}

void DecoderPlayer::setDebugLevel(const XA_Command &c)
{
    m_debugLevel = std::clamp(c.i[0], 0, 255);
    ack(c.code);
}

void DecoderPlayer::getDebugLevel(const XA_Command &)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_DEBUG_LEVEL;
    m.debugLevel = uint8_t(m_debugLevel);
    notify(std::move(m));
}
