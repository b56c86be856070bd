#include "engine/xaudio/DecoderPlayer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mpg123.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

constexpr int NetworkOpenSeconds = 15;

mpg123_handle *newDecoder(int *err)
{
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    mpg123_handle *mh = mpg123_new(nullptr, err);
    if (!mh)
        return nullptr;
    // Tags are read elsewhere; a stream's ID3v2 block is skipped, never kept in memory.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0);
    // 16-bit at the stream's own rate and channels, as the reference decoder writes it.
    mpg123_format_none(mh);
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    return mh;
}

// The loudest sample of each channel, at most 32767 (the right one stays 0 for mono). Eight samples at a
// time, the largest and the smallest in each lane: the lanes take the channels in turn, as the samples do.
void loudest(const int16_t *pcm, size_t samples, int channels, int *left, int *right)
{
    typedef int16_t Lanes __attribute__((vector_size(16)));
    Lanes high = {}, low = {};
    size_t i = 0;
    for (; i + 8 <= samples; i += 8) {
        Lanes v;
        std::memcpy(&v, pcm + i, sizeof v);
        high = v > high ? v : high;
        low = v < low ? v : low;
    }
    int top[2] = {0, 0};
    for (int k = 0; k < 8; ++k) {
        int &t = top[channels == 2 ? k % 2 : 0];
        t = std::max({t, int(high[k]), -int(low[k])});
    }
    for (; i < samples; ++i) {
        int &t = top[channels == 2 ? i % 2 : 0];
        t = std::max(t, std::abs(int(pcm[i])));
    }
    *left = std::min(top[0], 32767);
    *right = std::min(top[1], 32767);
}

} // namespace

void DecoderPlayer::Input::clear()
{
    // The FFmpeg input of a stream reads from its source.
    av.reset();
    source.reset();
    if (mh) {
        mpg123_close(mh);
        mpg123_delete(mh);
        mh = nullptr;
    }
    file.reset();
    rate = 0;
    channels = 0;
    length = -1;
}

int64_t DecoderPlayer::Input::tell() const
{
    if (av)
        return av->tell();
    return mh ? int64_t(mpg123_tell(mh)) : -1;
}

bool DecoderPlayer::Input::seek(int64_t sample)
{
    if (av)
        return av->seek(sample);
    return mh && mpg123_seek(mh, off_t(sample), SEEK_SET) >= 0;
}

DecoderPlayer::DecoderPlayer(XA_NotifyCallback notify, void *user) : m_notifyCallback(notify), m_user(user)
{
    m_thread = std::thread([this] { run(); });
}

DecoderPlayer::~DecoderPlayer()
{
    shutdown(std::chrono::milliseconds::max());
}

bool DecoderPlayer::shutdown(std::chrono::milliseconds patience)
{
    if (!m_exited) {
        XA_Command exit;
        exit.code = XA_MSG_COMMAND_EXIT;
        post(std::move(exit));
    }
    {
        std::unique_lock lock(m_exitMutex);
        // No limit waits without one: wait_for would overflow converting "forever" to its clock's units.
        const bool done = patience == std::chrono::milliseconds::max()
                              ? (m_exitCv.wait(lock, [this] { return m_threadDone; }), true)
                              : m_exitCv.wait_for(lock, patience, [this] { return m_threadDone; });
        if (!done) {
            // A device that never returns keeps the thread; it may not call its owner any more.
            m_notifyCallback = nullptr;
            if (m_thread.joinable())
                m_thread.detach();
            return false;
        }
    }
    if (m_thread.joinable())
        m_thread.join();
    return true;
}

void DecoderPlayer::post(XA_Command command)
{
    std::lock_guard lock(m_commandMutex);
    m_commands.push_back(std::move(command));
    m_commandCv.notify_one();
}

bool DecoderPlayer::take(XA_Message *message)
{
    std::lock_guard lock(m_messageMutex);
    if (m_messages.empty())
        return false;
    *message = std::move(m_messages.front());
    m_messages.pop_front();
    return true;
}

void DecoderPlayer::setPriority(int priority)
{
    m_priority = std::clamp(priority, 0, 4);
    applyPriority();
}

void DecoderPlayer::applyPriority()
{
    const int tid = m_tid;
    if (tid == 0)
        return;
    static const int niceness[5] = {10, 5, 0, -5, -10};
    // Raising the priority needs rights a desktop user may not have; normal is the fallback.
    if (setpriority(PRIO_PROCESS, id_t(tid), niceness[m_priority.load()]) != 0)
        setpriority(PRIO_PROCESS, id_t(tid), 0);
}

bool DecoderPlayer::peaks(int *left, int *right, int *channels)
{
    const int ch = m_outputChannels;
    if (ch == 0)
        return false;
    *channels = ch;
    *left = m_peakLeft.exchange(0);
    *right = m_peakRight.exchange(0);
    return true;
}

void DecoderPlayer::notify(XA_Message m, uint32_t maskClass)
{
    if (maskClass != 0 && !(m_mask & maskClass))
        return;
    {
        std::lock_guard lock(m_messageMutex);
        m_messages.push_back(std::move(m));
    }
    if (maskClass != 0 && !(m_wakeMask & maskClass))
        return;
    if (auto callback = m_notifyCallback.load())
        callback(m_user);
}

void DecoderPlayer::ack(int command)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_ACK;
    m.command = uint8_t(command);
    notify(std::move(m), XA_NOTIFY_MASK_ACK);
}

void DecoderPlayer::nack(int command, int err)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_NACK;
    m.command = uint8_t(command);
    m.errorCode = int16_t(err);
    notify(std::move(m), XA_NOTIFY_MASK_NACK);
}

void DecoderPlayer::error(uint8_t source, int code, const std::string &text)
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_ERROR;
    m.source = source;
    m.errorCode = int16_t(code);
    m.text = text;
    notify(std::move(m), XA_NOTIFY_MASK_ERROR);
}

void DecoderPlayer::debug(int level, const std::string &text)
{
    if (level > m_debugLevel)
        return;
    XA_Message m;
    m.code = XA_MSG_NOTIFY_DEBUG;
    m.source = XA_SOURCE_PLAYER;
    m.debugLevel = uint8_t(level);
    m.text = text;
    notify(std::move(m), XA_NOTIFY_MASK_DEBUG);
}

void DecoderPlayer::setPlayerState(int state)
{
    m_state = state;
    XA_Message m;
    m.code = XA_MSG_NOTIFY_PLAYER_STATE;
    m.state = state;
    notify(std::move(m), XA_NOTIFY_MASK_PLAYER_STATE);
}

void DecoderPlayer::sendVolume()
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_VOLUME;
    m.masterLevel = uint8_t(m_masterLevel);
    m.pcmLevel = uint8_t(m_pcmLevel);
    m.balance = uint8_t(m_balance);
    notify(std::move(m), XA_NOTIFY_MASK_OUTPUT_VOLUME);
}

bool DecoderPlayer::commandWaiting(std::initializer_list<int> codes)
{
    std::lock_guard lock(m_commandMutex);
    for (const XA_Command &c : m_commands)
        if (std::find(codes.begin(), codes.end(), c.code) != codes.end())
            return true;
    return false;
}

void DecoderPlayer::run()
{
    m_tid = int(syscall(SYS_gettid));
    applyPriority();
    XA_Message ready;
    ready.code = XA_MSG_NOTIFY_READY;
    notify(std::move(ready));

    while (true) {
        XA_Command command;
        bool got = false;
        {
            std::unique_lock lock(m_commandMutex);
            if (m_state != XA_PLAYER_STATE_PLAYING)
                m_commandCv.wait(lock, [&] { return !m_commands.empty(); });
            if (!m_commands.empty()) {
                command = std::move(m_commands.front());
                m_commands.pop_front();
                got = true;
            }
        }
        if (got) {
            handle(command);
            if (command.code == XA_MSG_COMMAND_EXIT)
                break;
            continue;
        }
        decodeStep();
    }
    std::lock_guard lock(m_exitMutex);
    m_threadDone = true;
    m_exitCv.notify_all();
}

void DecoderPlayer::applyReplayGain(mpg123_handle *mh)
{
    mpg123_param(mh, MPG123_RVA, m_replayGain ? MPG123_RVA_MIX : MPG123_RVA_OFF, 0);
    // An open song takes the change at once.
    mpg123_volume_change(mh, 0);
}

void DecoderPlayer::closeInput()
{
    m_input.reset();
}

bool DecoderPlayer::feedStream(Input &in, size_t bytes, int *err, std::string *text)
{
    // A stream that sends megabytes without a single frame is not MPEG audio, and must not fill the memory.
    constexpr size_t MaxWithoutFrame = 4 << 20;
    m_fedWithoutFrame += bytes;
    if (m_fedWithoutFrame > MaxWithoutFrame) {
        *err = XA_ERROR_INPUT_FORMAT;
        *text = "no MPEG audio frame in the first 4 MB of the stream";
        return false;
    }
    mpg123_feed(in.mh, in.buffer.data(), bytes);
    return true;
}

bool DecoderPlayer::openStreamInput(Input &in, const std::string &name, int *err, std::string *text)
{
    in.source = StreamSource::open(name, text);
    if (!in.source) {
        *err = XA_ERROR_NETWORK;
        return false;
    }
    if (streamIsOther(*in.source))
        return openOtherStream(in, name, err, text);
    int mpgErr = 0;
    in.mh = newDecoder(&mpgErr);
    if (in.mh)
        applyReplayGain(in.mh);
    if (!in.mh || mpg123_open_feed(in.mh) != MPG123_OK) {
        *err = XA_ERROR_INTERNAL;
        *text = "cannot start the decoder";
        return false;
    }
    in.buffer.resize(16384);
    const auto deadline = Clock::now() + std::chrono::seconds(NetworkOpenSeconds);
    while (true) {
        if (commandWaiting({XA_MSG_COMMAND_EXIT, XA_MSG_COMMAND_INPUT_OPEN, XA_MSG_COMMAND_INPUT_CLOSE,
                            XA_MSG_COMMAND_STOP})) {
            *err = XA_ERROR_ABORTED;
            *text = "opening " + name + " was cancelled";
            return false;
        }
        off_t num = 0;
        unsigned char *audio = nullptr;
        size_t bytes = 0;
        const int r = mpg123_decode_frame(in.mh, &num, &audio, &bytes);
        if (r == MPG123_NEW_FORMAT) {
            int enc = 0;
            mpg123_getformat(in.mh, &in.rate, &in.channels, &enc);
            m_fedWithoutFrame = 0;
            return true;
        }
        if (r == MPG123_NEED_MORE || r == MPG123_OK) {
            const long n = in.source->read(in.buffer.data(), in.buffer.size(), 100);
            if (n > 0) {
                if (!feedStream(in, size_t(n), err, text))
                    return false;
            } else if (n < 0) {
                *err = in.source->failed() ? XA_ERROR_NETWORK : XA_ERROR_INPUT_FORMAT;
                *text = in.source->failed() ? in.source->errorText() : "the stream ended before any audio";
                return false;
            }
            if (Clock::now() > deadline) {
                *err = XA_ERROR_TIMEOUT;
                *text = "no audio from " + name + " in " + std::to_string(NetworkOpenSeconds) + " seconds";
                return false;
            }
            continue;
        }
        *err = XA_ERROR_INPUT_FORMAT;
        *text = "not an MPEG audio stream";
        return false;
    }
}

bool DecoderPlayer::openFileInput(Input &in, const std::string &name, int *err, std::string *text)
{
    struct stat st {
    };
    errno = 0;
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        *err = XA_ERROR_INPUT_OPEN_FAILED;
        *text = "cannot open " + name + ": " + (errno ? std::strerror(errno) : "not a file");
        return false;
    }
    // A container of another format is never handed to the MPEG decoder, which could take bytes of it
    // for frames.
    const bool other = FfmpegInput::startsAsOwnFormat(name);
    if (other || FfmpegInput::hasOwnExtension(name)) {
        if (openOtherFile(in, name, false, err, text))
            return true;
        if (other)
            return false;
        // Named for another format, yet MPEG audio.
        in.clear();
        int mpegErr = XA_SUCCESS;
        std::string mpegText;
        if (openMpegFile(in, name, &mpegErr, &mpegText))
            return true;
        in.clear();
        return false;
    }
    if (openMpegFile(in, name, err, text))
        return true;
    if (*err != XA_ERROR_INPUT_FORMAT)
        return false;
    // Named as MPEG audio, yet another format; taken only when recognised for sure.
    in.clear();
    int otherErr = XA_SUCCESS;
    std::string otherText;
    if (openOtherFile(in, name, true, &otherErr, &otherText))
        return true;
    in.clear();
    return false;
}

bool DecoderPlayer::openMpegFile(Input &in, const std::string &name, int *err, std::string *text)
{
    int mpgErr = 0;
    if (!(in.mh = newDecoder(&mpgErr))) {
        *err = XA_ERROR_INTERNAL;
        *text = "cannot start the decoder";
        return false;
    }
    applyReplayGain(in.mh);
    in.file = std::make_unique<BufferedFile>();
    if (!in.file->open(name)) {
        *err = XA_ERROR_INPUT_OPEN_FAILED;
        *text = "cannot open " + name + ": " + std::strerror(errno);
        return false;
    }
    if (in.file->attach(in.mh) != MPG123_OK) {
        *err = XA_ERROR_INPUT_OPEN_FAILED;
        *text = "cannot open " + name + ": " + mpg123_strerror(in.mh);
        return false;
    }
    int enc = 0;
    if (mpg123_getformat(in.mh, &in.rate, &in.channels, &enc) != MPG123_OK || in.rate <= 0) {
        *err = XA_ERROR_INPUT_FORMAT;
        *text = name + " is not an MPEG audio file";
        return false;
    }
    // The exact length from a scan of every frame. The scan runs on a decoder of its own: seeking the playing
    // one back to the start would change a few samples of the first pass.
    int scanErr = 0;
    BufferedFile scanned;
    mpg123_handle *scanner = newDecoder(&scanErr);
    if (scanner && scanned.open(name) && scanned.attach(scanner) == MPG123_OK &&
        mpg123_scan(scanner) == MPG123_OK)
        in.length = mpg123_length(scanner);
    if (scanner) {
        mpg123_close(scanner);
        mpg123_delete(scanner);
    }
    if (in.length <= 0) {
        *err = XA_ERROR_INPUT_FORMAT;
        *text = name + " holds no decodable audio";
        return false;
    }
    return true;
}

void DecoderPlayer::announceInput()
{
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_NAME;
    m.name = m_inputName;
    notify(m, XA_NOTIFY_MASK_INPUT_NAME);

    m = XA_Message();
    m.code = XA_MSG_NOTIFY_INPUT_CAPS;
    m.caps = m_input->stream ? XA_DECODER_INPUT_STREAM : XA_DECODER_INPUT_SEEKABLE;
    notify(m, XA_NOTIFY_MASK_INPUT_CAPS);

    if (!m_input->stream) {
        m = XA_Message();
        m.code = XA_MSG_NOTIFY_INPUT_DURATION;
        m.duration = uint32_t(m_input->length / m_input->rate);
        notify(m, XA_NOTIFY_MASK_INPUT_DURATION);
    }

    sendStreamInfo();
    sendPosition(true);
}

void DecoderPlayer::sendStreamInfo()
{
    XA_Message m;
    mpg123_frameinfo fi{};
    if (m_input->av) {
        // No MPEG level nor layer; the codec's name, its bits and channels instead.
        m.code = XA_MSG_NOTIFY_INPUT_STREAM_INFO;
        m.bitrate = uint16_t(std::clamp(m_input->av->bitrate(), 0, 65535));
        m.frequency = uint32_t(std::max<long>(m_input->rate, 0));
        m.streamMode = m_input->channels == 1 ? 3 : 0;
        m.bits = uint8_t(std::clamp(m_input->av->bitsPerSample(), 0, 255));
        m.channels = uint8_t(std::clamp(m_input->channels, 0, 255));
        m.text = m_input->av->codec();
        notify(m, XA_NOTIFY_MASK_INPUT_STREAM_INFO);
    } else if (mpg123_info(m_input->mh, &fi) == MPG123_OK) {
        m.code = XA_MSG_NOTIFY_INPUT_STREAM_INFO;
        m.level = uint8_t(fi.version == MPG123_1_0 ? 1 : fi.version == MPG123_2_0 ? 2 : 3);
        m.layer = uint8_t(fi.layer);
        m.bitrate = uint16_t(fi.bitrate);
        m.frequency = uint32_t(fi.rate);
        m.streamMode = uint8_t(fi.mode);
        notify(m, XA_NOTIFY_MASK_INPUT_STREAM_INFO);
    }
}

void DecoderPlayer::startInput()
{
    m_chain.setFormat(int(m_input->rate), m_input->channels);
    m_chain.clearHistory();
    m_lastPositionSample = -1;
    m_fedWithoutFrame = 0;
    m_lastTitle.clear();
    m_lastIcyTitle.clear();
}

void DecoderPlayer::applyPitch()
{
    // The pitch is the sound server's: the sound card and the WAV writer play the song at its own speed, and
    // the pitch set comes back when the sound server is chosen again.
    const std::string &name = m_output.isOpen() ? m_output.name() : m_outputName;
    const auto pitch = m_envInt.find("OUTPUT.DIRECTSOUND.PITCH");
    const bool server = name.rfind("/dev/dsound/", 0) == 0;
    m_chain.setPitch(server && pitch != m_envInt.end() ? pitch->second : 1000);
}

bool DecoderPlayer::openOutput(const std::string &name, int command)
{
    closeOutput();
    std::string text;
    if (!m_output.open(name, &text)) {
        error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_OPEN_FAILED, "cannot open output " + name + ": " + text);
        nack(command, XA_ERROR_OUTPUT_OPEN_FAILED);
        return false;
    }
    applyPitch();
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_STATE;
    m.state = XA_OUTPUT_STATE_OPEN;
    notify(m, XA_NOTIFY_MASK_OUTPUT_STATE);
    m = XA_Message();
    m.code = XA_MSG_NOTIFY_OUTPUT_NAME;
    m.name = name;
    notify(m, XA_NOTIFY_MASK_OUTPUT_NAME);
    return true;
}

void DecoderPlayer::closeOutput()
{
    if (!m_output.isOpen())
        return;
    m_output.close();
    m_outputChannels = 0;
    XA_Message m;
    m.code = XA_MSG_NOTIFY_OUTPUT_STATE;
    m.state = XA_OUTPUT_STATE_CLOSED;
    notify(m, XA_NOTIFY_MASK_OUTPUT_STATE);
}

void DecoderPlayer::sendPosition(bool force)
{
    if (!m_input || m_input->rate <= 0)
        return;
    const int64_t pos = m_input->tell();
    if (pos < 0)
        return;
    if (!force) {
        // Every tenth of a second of sound on a device; into a file, written at decoding speed, every second.
        const int64_t step = m_output.isFile() ? m_input->rate : m_input->rate / 10;
        if (m_lastPositionSample >= 0 && pos - m_lastPositionSample < step)
            return;
    }
    m_lastPositionSample = pos;

    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_POSITION;
    m.range = m_positionRange;
    m.offset = m_input->length > 0
                   ? uint32_t(std::min<int64_t>(m_positionRange, pos * m_positionRange / m_input->length))
                   : 0;
    notify(m, XA_NOTIFY_MASK_INPUT_POSITION);

    const int64_t centis = pos * 100 / m_input->rate;
    m = XA_Message();
    m.code = XA_MSG_NOTIFY_INPUT_TIMECODE;
    m.hours = uint8_t(std::min<int64_t>(255, centis / 360000));
    m.minutes = uint8_t(centis / 6000 % 60);
    m.seconds = uint8_t(centis / 100 % 60);
    m.fractions = uint8_t(centis % 100);
    notify(m, XA_NOTIFY_MASK_INPUT_TIMECODE);
}

void DecoderPlayer::endOfStream(bool failed)
{
    if (!m_output.isFile())
        m_output.drain();
    sendPosition(true);
    if (m_input && m_input->stream) {
        m_input->source.reset();
        m_input->disconnected = true;
    }
    setPlayerState(failed ? XA_PLAYER_STATE_STOPPED : XA_PLAYER_STATE_EOS);
}

void DecoderPlayer::decodeStep()
{
    if (!m_input || m_input->disconnected) {
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        return;
    }
    Input &in = *m_input;
    if (in.av)
        return decodeOtherStep(in);
    off_t num = 0;
    unsigned char *audio = nullptr;
    size_t bytes = 0;
    const int r = mpg123_decode_frame(in.mh, &num, &audio, &bytes);
    if (r == MPG123_NEW_FORMAT) {
        int enc = 0;
        mpg123_getformat(in.mh, &in.rate, &in.channels, &enc);
        m_chain.setFormat(int(in.rate), in.channels);
        return;
    }
    if (r == MPG123_NEED_MORE && in.stream) {
        const long n = in.source ? in.source->read(in.buffer.data(), in.buffer.size(), 50) : -1;
        int err = XA_SUCCESS;
        std::string text;
        if (n > 0 && !feedStream(in, size_t(n), &err, &text)) {
            error(XA_SOURCE_INPUT, err, text);
            endOfStream(true);
        } else if (n > 0) {
        } else if (n < 0) {
            streamEnded(in);
        }
        announceStreamTitle(in);
        return;
    }
    if (r == MPG123_DONE || (r == MPG123_NEED_MORE && !in.stream)) {
        if (!followQueued())
            endOfStream(false);
        return;
    }
    if (r != MPG123_OK) {
        error(XA_SOURCE_CODEC, XA_ERROR_INPUT_READ,
              std::string("decoding failed: ") + mpg123_strerror(in.mh));
        endOfStream(false);
        return;
    }
    m_fedWithoutFrame = 0;
    if (bytes == 0)
        return;
    deliver(reinterpret_cast<const int16_t *>(audio), bytes / (sizeof(int16_t) * size_t(in.channels)));
}

void DecoderPlayer::streamEnded(Input &in)
{
    const bool failed = !in.source || in.source->failed();
    if (failed)
        error(XA_SOURCE_INPUT, XA_ERROR_CONNECTION_DROPPED,
              "the stream ended: " + (in.source ? in.source->errorText() : std::string("closed")));
    endOfStream(failed);
}

void DecoderPlayer::announceStreamTitle(Input &in)
{
    std::string title;
    if (in.av && in.av->tagsChanged() != in.tagChanges) {
        in.tagChanges = in.av->tagsChanged();
        title = in.av->title();
    }
    if (title.empty() && in.source) {
        const std::string icy = in.source->streamTitle();
        if (icy != m_lastIcyTitle)
            title = m_lastIcyTitle = icy;
    }
    if (title.empty() || title == m_lastTitle)
        return;
    m_lastTitle = title;
    debug(1, "StreamTitle: " + title);
    XA_Message m;
    m.code = XA_MSG_NOTIFY_INPUT_STREAM_TITLE;
    m.text = title;
    notify(std::move(m), XA_NOTIFY_MASK_INPUT_NAME);
}

bool DecoderPlayer::startOutput(Input &in)
{
    std::string text;
    if (!m_output.isOpen() && !openOutput(m_outputName, XA_MSG_COMMAND_PLAY)) {
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        return false;
    }
    if (!m_output.start(in.rate, in.channels, in.bits, &text)) {
        error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_OPEN_FAILED,
              "cannot start output " + m_output.name() + ": " + text);
        closeOutput();
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        return false;
    }
    m_outputChannels = in.channels;
    return true;
}

void DecoderPlayer::deliver(const int16_t *decoded, size_t frames)
{
    Input &in = *m_input;
    size_t outFrames = 0;
    const int16_t *pcm = m_chain.process(decoded, frames, &outFrames);
    const size_t samples = outFrames * size_t(in.channels);
    if (!startOutput(in))
        return;
    std::string text;
    if (samples > 0 && !m_output.play(pcm, samples * sizeof(int16_t), &text)) {
        error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_WRITE, "cannot write to " + m_output.name() + ": " + text);
        closeOutput();
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        return;
    }
    int peakL = 0, peakR = 0;
    loudest(pcm, samples, in.channels, &peakL, &peakR);
    played(peakL, peakR);
}

void DecoderPlayer::deliver(const int32_t *decoded, size_t frames)
{
    Input &in = *m_input;
    size_t outFrames = 0;
    const int32_t *pcm = m_chain.process(decoded, frames, &outFrames);
    const size_t samples = outFrames * size_t(in.channels);
    if (!startOutput(in))
        return;
    std::string text;
    if (samples > 0 && !m_output.playDeep(pcm, samples, &text)) {
        error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_WRITE, "cannot write to " + m_output.name() + ": " + text);
        closeOutput();
        setPlayerState(XA_PLAYER_STATE_STOPPED);
        return;
    }
    // The meters count in 16-bit steps.
    int top[2] = {0, 0};
    for (size_t i = 0; i < samples; ++i) {
        int &t = top[in.channels == 2 ? i % 2 : 0];
        t = std::max(t, int(std::min<int64_t>(std::abs(int64_t(pcm[i])) >> 16, 32767)));
    }
    played(top[0], top[1]);
}

void DecoderPlayer::played(int peakL, int peakR)
{
    for (auto [peak, store] : {std::pair{peakL, &m_peakLeft}, std::pair{peakR, &m_peakRight}}) {
        int current = store->load();
        while (peak > current && !store->compare_exchange_weak(current, peak)) {
        }
    }
    sendPosition(false);
}
