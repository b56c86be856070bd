#include "engine/xaudio/DecoderPlayer.h"

// Gapless playback: the song that is to follow is opened while the current one plays, and takes over on the
// open output at the current one's last sample when both have the same rate and channels. The sound chain
// keeps its state across the joint, so the equalizer and the volume glide on without a click.

void DecoderPlayer::inputQueue(const XA_Command &c)
{
    const std::string &name = c.s[0];
    m_queued.reset();
    m_queuedName.clear();
    if (name.empty()) {
        ack(XA_MSG_COMMAND_INPUT_QUEUE);
        return;
    }
    // A stream has no end to follow on from, nor an end of its own to wait for.
    if (name.find("://") != std::string::npos) {
        nack(XA_MSG_COMMAND_INPUT_QUEUE, XA_ERROR_NOT_SUPPORTED);
        return;
    }
    auto in = std::make_unique<Input>();
    int err = XA_SUCCESS;
    std::string text;
    // A song that cannot be opened now is left to the normal open at the end, which reports why.
    if (!openFileInput(*in, name, &err, &text)) {
        nack(XA_MSG_COMMAND_INPUT_QUEUE, err);
        return;
    }
    m_queued = std::move(in);
    m_queuedName = name;
    ack(XA_MSG_COMMAND_INPUT_QUEUE);
}

bool DecoderPlayer::followQueued()
{
    std::unique_ptr<Input> next = std::move(m_queued);
    const std::string name = std::move(m_queuedName);
    m_queuedName.clear();
    if (!next || !m_input || m_input->stream || !m_output.isOpen() || next->rate != m_input->rate ||
        next->channels != m_input->channels || next->bits != m_input->bits)
        return false;
    // The last position of the song that ended, then the next one from its start.
    sendPosition(true);
    m_input = std::move(next);
    m_inputName = name;
    m_lastPositionSample = -1;
    m_fedWithoutFrame = 0;
    m_lastTitle.clear();
    m_lastIcyTitle.clear();
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_FOLLOWED;
    m.name = name;
    notify(std::move(m), XA_NOTIFY_MASK_INPUT_NAME);
    announceInput();
    return true;
}
