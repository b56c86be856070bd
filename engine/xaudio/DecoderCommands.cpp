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
const char *const InputModuleDescriptions[] = {"MPEG audio files", "HTTP, HTTPS and FTP streams",
                                               "MPEG audio over UDP"};

} // namespace

void DecoderPlayer::handle(const XA_Command &c)
{
    XA_Message m;
    switch (c.code) {
    case XA_MSG_COMMAND_EXIT:
        closeInput();
        closeOutput();
        m_exited = true;
        m.code = XA_MSG_NOTIFY_EXITED;
        notify(std::move(m));
        return;
    case XA_MSG_COMMAND_PING:
        m.code = XA_MSG_NOTIFY_PONG;
        m.tag = uint32_t(c.i[0]);
        notify(std::move(m));
        return;
    case XA_MSG_COMMAND_PLAY:
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
        return;
    case XA_MSG_COMMAND_PAUSE:
        if (m_state != XA_PLAYER_STATE_PLAYING) {
            nack(c.code, XA_ERROR_INVALID_STATE);
            return;
        }
        setPlayerState(XA_PLAYER_STATE_PAUSED);
        ack(c.code);
        return;
    case XA_MSG_COMMAND_STOP:
        m_queued.reset();
        if (m_input) {
            if (m_input->stream) {
                m_input->source.reset();
                m_input->disconnected = true;
            } else {
                mpg123_seek(m_input->mh, 0, SEEK_SET);
            }
        }
        m_output.drop();
        m_chain.clearHistory();
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        sendPosition(true);
        ack(c.code);
        return;
    case XA_MSG_COMMAND_INPUT_SEEK:
        seek(c.i[0], c.i[1]);
        return;
    case XA_MSG_COMMAND_INPUT_OPEN:
        openInput(c.s[0]);
        return;
    case XA_MSG_COMMAND_INPUT_QUEUE:
        queueInput(c.s[0]);
        return;
    case XA_MSG_COMMAND_INPUT_CLOSE:
        closeInput();
        m_queued.reset();
        if (m_state != XA_PLAYER_STATE_STOPPED)
            setPlayerState(XA_PLAYER_STATE_STOPPED);
        m.code = XA_MSG_NOTIFY_INPUT_STATE;
        m.state = XA_INPUT_STATE_CLOSED;
        notify(std::move(m), XA_NOTIFY_MASK_INPUT_STATE);
        ack(c.code);
        return;
    case XA_MSG_COMMAND_INPUT_MODULE_REGISTER:
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    case XA_MSG_COMMAND_INPUT_MODULE_QUERY:
    case XA_MSG_COMMAND_OUTPUT_MODULE_QUERY: {
        const bool input = c.code == XA_MSG_COMMAND_INPUT_MODULE_QUERY;
        if (c.i[0] < 0 || c.i[0] > 2) {
            nack(c.code, XA_ERROR_UNKNOWN_MODULE);
            return;
        }
        m.code = input ? XA_MSG_NOTIFY_INPUT_MODULE_INFO : XA_MSG_NOTIFY_OUTPUT_MODULE_INFO;
        m.moduleId = int16_t(c.i[0]);
        m.nbDevices = 1;
        m.name = input ? InputModules[c.i[0]] : OutputModules[c.i[0]];
        m.text = input ? InputModuleDescriptions[c.i[0]] : OutputModuleDescriptions[c.i[0]];
        notify(std::move(m));
        ack(c.code);
        return;
    }
    case XA_MSG_COMMAND_INPUT_MODULES_LIST:
    case XA_MSG_COMMAND_OUTPUT_MODULES_LIST: {
        const bool input = c.code == XA_MSG_COMMAND_INPUT_MODULES_LIST;
        for (int id = 0; id < 3; ++id) {
            XA_Message info;
            info.code = input ? XA_MSG_NOTIFY_INPUT_MODULE_INFO : XA_MSG_NOTIFY_OUTPUT_MODULE_INFO;
            info.moduleId = int16_t(id);
            info.nbDevices = 1;
            info.name = input ? InputModules[id] : OutputModules[id];
            info.text = input ? InputModuleDescriptions[id] : OutputModuleDescriptions[id];
            notify(std::move(info));
        }
        ack(c.code);
        return;
    }
    case XA_MSG_COMMAND_INPUT_FILTERS_LIST:
    case XA_MSG_COMMAND_OUTPUT_FILTERS_LIST:
        ack(c.code);
        return;
    case XA_MSG_COMMAND_INPUT_SEND_MESSAGE:
    case XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE:
    case XA_MSG_COMMAND_INPUT_ADD_FILTER:
    case XA_MSG_COMMAND_INPUT_REMOVE_FILTER:
    case XA_MSG_COMMAND_OUTPUT_ADD_FILTER:
    case XA_MSG_COMMAND_OUTPUT_REMOVE_FILTER:
        nack(c.code, XA_ERROR_NOT_SUPPORTED);
        return;
    case XA_MSG_COMMAND_OUTPUT_OPEN:
        if (openOutput(c.s[0], c.code))
            ack(c.code);
        return;
    case XA_MSG_COMMAND_OUTPUT_CLOSE:
        closeOutput();
        ack(c.code);
        return;
    case XA_MSG_COMMAND_OUTPUT_MUTE:
    case XA_MSG_COMMAND_OUTPUT_UNMUTE:
        m_muted = c.code == XA_MSG_COMMAND_OUTPUT_MUTE;
        m_chain.setMute(m_muted);
        ack(c.code);
        return;
    case XA_MSG_COMMAND_OUTPUT_RESET:
        m_output.drop();
        ack(c.code);
        return;
    case XA_MSG_COMMAND_OUTPUT_DRAIN:
        m_output.drain();
        ack(c.code);
        return;
    case XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER: {
        static const char *const known[] = {"dsound_output_module_register@xoutput.dll",
                                            "wave_output_module_register@xoutput.dll",
                                            "file_output_module_register@xoutput.dll"};
        for (int id = 0; id < 3; ++id) {
            if (c.s[0] == known[id]) {
                m.code = XA_MSG_NOTIFY_OUTPUT_MODULE;
                m.moduleId = int16_t(id);
                notify(std::move(m));
                ack(c.code);
                return;
            }
        }
        nack(c.code, XA_ERROR_UNKNOWN_MODULE);
        return;
    }
    case XA_MSG_SET_PLAYER_MODE:
        m_mode = c.i[0];
        ack(c.code);
        return;
    case XA_MSG_GET_PLAYER_MODE:
        m.code = XA_MSG_NOTIFY_PLAYER_MODE;
        m.mode = m_mode;
        notify(std::move(m));
        return;
    case XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER:
        m_envInt[c.s[0]] = c.i[0];
        if (c.s[0] == PitchName)
            applyPitch();
        if (c.s[0] == "DECODER.REPLAYGAIN") {
            m_replayGain = c.i[0] != 0;
            for (Input *in : {m_input.get(), m_queued.get()})
                if (in && in->mh)
                    applyReplayGain(in->mh);
        }
        ack(c.code);
        return;
    case XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER: {
        auto it = m_envInt.find(c.s[0]);
        if (it == m_envInt.end()) {
            nack(c.code, XA_ERROR_NO_SUCH_ENVIRONMENT);
            return;
        }
        m.code = XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER;
        m.name = it->first;
        m.value = it->second;
        notify(std::move(m));
        return;
    }
    case XA_MSG_SET_PLAYER_ENVIRONMENT_STRING:
        m_envString[c.s[0]] = c.s[1];
        ack(c.code);
        return;
    case XA_MSG_GET_PLAYER_ENVIRONMENT_STRING: {
        auto it = m_envString.find(c.s[0]);
        if (it == m_envString.end()) {
            nack(c.code, XA_ERROR_NO_SUCH_ENVIRONMENT);
            return;
        }
        m.code = XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING;
        m.name = it->first;
        m.text = it->second;
        notify(std::move(m));
        return;
    }
    case XA_MSG_UNSET_PLAYER_ENVIRONMENT:
        m_envInt.erase(c.s[0]);
        m_envString.erase(c.s[0]);
        if (c.s[0] == PitchName)
            applyPitch();
        ack(c.code);
        return;
    case XA_MSG_SET_INPUT_NAME:
        m_inputName = c.s[0];
        ack(c.code);
        return;
    case XA_MSG_GET_INPUT_NAME:
        m.code = XA_MSG_NOTIFY_INPUT_NAME;
        m.name = m_inputName;
        notify(std::move(m));
        return;
    case XA_MSG_SET_INPUT_MODULE:
        if (c.i[0] < 0 || c.i[0] > 2) {
            nack(c.code, XA_ERROR_UNKNOWN_MODULE);
            return;
        }
        m_inputModule = c.i[0];
        ack(c.code);
        return;
    case XA_MSG_GET_INPUT_MODULE:
        m.code = XA_MSG_NOTIFY_INPUT_MODULE;
        m.moduleId = int16_t(m_inputModule);
        notify(std::move(m));
        return;
    case XA_MSG_SET_INPUT_POSITION_RANGE:
        if (c.i[0] <= 0) {
            nack(c.code, XA_ERROR_INVALID_PARAMETERS);
            return;
        }
        m_positionRange = uint32_t(c.i[0]);
        ack(c.code);
        return;
    case XA_MSG_GET_INPUT_POSITION_RANGE:
        m.code = XA_MSG_NOTIFY_INPUT_POSITION_RANGE;
        m.range = m_positionRange;
        notify(std::move(m));
        return;
    case XA_MSG_SET_INPUT_TIMECODE_GRANULARITY:
        m_granularity = uint32_t(std::max(1, c.i[0]));
        ack(c.code);
        return;
    case XA_MSG_GET_INPUT_TIMECODE_GRANULARITY:
        m.code = XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY;
        m.granularity = m_granularity;
        notify(std::move(m));
        return;
    case XA_MSG_SET_OUTPUT_NAME:
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
        m.code = XA_MSG_NOTIFY_OUTPUT_NAME;
        m.name = m_outputName;
        notify(std::move(m), XA_NOTIFY_MASK_OUTPUT_NAME);
        ack(c.code);
        return;
    case XA_MSG_GET_OUTPUT_NAME:
        m.code = XA_MSG_NOTIFY_OUTPUT_NAME;
        m.name = m_output.isOpen() ? m_output.name() : m_outputName;
        notify(std::move(m));
        return;
    case XA_MSG_SET_OUTPUT_MODULE:
        if (c.i[0] < 0 || c.i[0] > 2) {
            nack(c.code, XA_ERROR_UNKNOWN_MODULE);
            return;
        }
        m_outputModule = c.i[0];
        ack(c.code);
        return;
    case XA_MSG_GET_OUTPUT_MODULE:
        m.code = XA_MSG_NOTIFY_OUTPUT_MODULE;
        m.moduleId = int16_t(m_outputModule);
        notify(std::move(m));
        return;
    case XA_MSG_SET_OUTPUT_VOLUME:
        m_balance = std::clamp(c.i[0], 0, 100);
        m_pcmLevel = std::clamp(c.i[1], 0, 100);
        m_masterLevel = std::clamp(c.i[2], 0, 255);
        m_chain.setVolume(m_balance, m_pcmLevel, m_masterLevel);
        sendVolume();
        ack(c.code);
        return;
    case XA_MSG_GET_OUTPUT_VOLUME:
        sendVolume();
        return;
    case XA_MSG_SET_OUTPUT_CHANNELS:
        if (c.i[0] < 0 || c.i[0] > 3) {
            nack(c.code, XA_ERROR_INVALID_PARAMETERS);
            return;
        }
        m_channelMode = c.i[0];
        m_chain.setChannelMode(m_channelMode);
        m.code = XA_MSG_NOTIFY_OUTPUT_CHANNELS;
        m.channels = uint8_t(m_channelMode);
        notify(std::move(m), XA_NOTIFY_MASK_OUTPUT_CHANNELS);
        ack(c.code);
        return;
    case XA_MSG_GET_OUTPUT_CHANNELS:
        m.code = XA_MSG_NOTIFY_OUTPUT_CHANNELS;
        m.channels = uint8_t(m_channelMode);
        notify(std::move(m));
        return;
    case XA_MSG_SET_OUTPUT_PORTS:
        m_ports = uint32_t(c.i[0]);
        ack(c.code);
        return;
    case XA_MSG_GET_OUTPUT_PORTS:
        m.code = XA_MSG_NOTIFY_OUTPUT_PORTS;
        m.ports = m_ports;
        notify(std::move(m));
        return;
    case XA_MSG_SET_CODEC_QUALITY:
        m_quality = std::clamp(c.i[0], 0, 255);
        ack(c.code);
        return;
    case XA_MSG_GET_CODEC_QUALITY:
        m.code = XA_MSG_NOTIFY_CODEC_QUALITY;
        m.quality = uint8_t(m_quality);
        notify(std::move(m));
        return;
    case XA_MSG_SET_CODEC_EQUALIZER:
        m_eqOn = c.hasData && c.data.size() == sizeof(XA_EqualizerInfo);
        if (m_eqOn)
            std::memcpy(&m_eq, c.data.data(), sizeof m_eq);
        m_chain.setEqualizer(m_eqOn ? &m_eq : nullptr);
        m.code = XA_MSG_NOTIFY_CODEC_EQUALIZER;
        m.hasEqualizer = m_eqOn;
        m.equalizer = m_eq;
        notify(std::move(m), XA_NOTIFY_MASK_CODEC_EQUALIZER);
        ack(c.code);
        return;
    case XA_MSG_GET_CODEC_EQUALIZER:
        m.code = XA_MSG_NOTIFY_CODEC_EQUALIZER;
        m.hasEqualizer = m_eqOn;
        m.equalizer = m_eq;
        notify(std::move(m));
        return;
    case XA_MSG_SET_NOTIFICATION_MASK:
        m_mask = uint32_t(c.i[0]);
        ack(c.code);
        return;
    case XA_MSG_GET_NOTIFICATION_MASK:
        m.code = XA_MSG_NOTIFY_NOTIFICATION_MASK;
        m.mask = m_mask;
        notify(std::move(m));
        return;
    case XA_MSG_SET_DEBUG_LEVEL:
        m_debugLevel = std::clamp(c.i[0], 0, 255);
        ack(c.code);
        return;
    case XA_MSG_GET_DEBUG_LEVEL:
        m.code = XA_MSG_NOTIFY_DEBUG_LEVEL;
        m.debugLevel = uint8_t(m_debugLevel);
        notify(std::move(m));
        return;
    default:
        nack(c.code, XA_ERROR_UNKNOWN_COMMAND);
        return;
    }
}
