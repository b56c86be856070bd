#include "engine/xaudio/DecoderPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// Inputs of the formats that are not MPEG audio, decoded by the FFmpeg module; their PCM takes the same way
// to the output as MPEG audio does.

namespace
{

constexpr int OtherStreamOpenSeconds = 15;

bool startsAsOther(const uint8_t *b, size_t n)
{
    return n >= 4 && (!std::memcmp(b, "OggS", 4) || !std::memcmp(b, "fLaC", 4));
}

// ADTS frames begin with twelve set bits and a layer of 0, where MPEG audio has a layer of 1 to 3.
bool startsAsAdts(const uint8_t *b, size_t n)
{
    return n >= 2 && b[0] == 0xff && (b[1] & 0xf6) == 0xf0;
}

bool otherContentType(const std::string &type)
{
    for (const char *t : {"application/ogg", "audio/ogg", "audio/x-ogg", "audio/opus", "audio/vorbis",
                          "audio/flac", "audio/x-flac", "audio/aac", "audio/aacp", "audio/x-aac"})
        if (type == t)
            return true;
    return false;
}

} // namespace

bool DecoderPlayer::openOtherFile(Input &in, const std::string &name, bool sureOnly, int *err,
                                  std::string *text)
{
    auto av = std::make_unique<FfmpegInput>();
    if (!av->open(name, sureOnly, err, text))
        return false;
    in.rate = av->rate();
    in.channels = av->channels();
    in.deep = av->sampleBytes() == 4;
    in.bits = in.deep ? std::max(av->bitsPerSample(), 24) : 16;
    in.length = av->length();
    if (in.rate <= 0 || in.channels <= 0) {
        *err = XA_ERROR_INPUT_DAMAGED;
        *text = name + " holds no decodable audio";
        return false;
    }
    in.av = std::move(av);
    applyOtherReplayGain(in);
    return true;
}

bool DecoderPlayer::streamIsOther(StreamSource &source)
{
    // The Content-Type comes with the headers, before the first bytes.
    uint8_t head[4] = {};
    size_t n = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(OtherStreamOpenSeconds);
    while ((n = source.peek(head, sizeof head, 100)) < sizeof head) {
        if (source.finished() || std::chrono::steady_clock::now() > deadline ||
            commandWaiting({XA_MSG_COMMAND_EXIT, XA_MSG_COMMAND_INPUT_OPEN, XA_MSG_COMMAND_INPUT_CLOSE,
                            XA_MSG_COMMAND_STOP}))
            break;
    }
    if (startsAsOther(head, n))
        return true;
    const std::string type = source.contentType();
    if (otherContentType(type))
        return true;
    if (type == "audio/mpeg" || type == "audio/mp3" || type == "audio/mpeg3")
        return false;
    return startsAsAdts(head, n);
}

bool DecoderPlayer::openOtherStream(Input &in, const std::string &name, int *err, std::string *text)
{
    auto av = std::make_unique<FfmpegInput>();
    auto cancel = [this] {
        return commandWaiting({XA_MSG_COMMAND_EXIT, XA_MSG_COMMAND_INPUT_OPEN, XA_MSG_COMMAND_INPUT_CLOSE,
                               XA_MSG_COMMAND_STOP});
    };
    if (!av->openStream(in.source.get(), cancel, OtherStreamOpenSeconds, err, text)) {
        if (*err == XA_ERROR_ABORTED)
            *text = "opening " + name + " was cancelled";
        return false;
    }
    in.rate = av->rate();
    in.channels = av->channels();
    in.deep = av->sampleBytes() == 4;
    in.bits = in.deep ? std::max(av->bitsPerSample(), 24) : 16;
    in.length = -1;
    in.av = std::move(av);
    applyOtherReplayGain(in);
    return true;
}

void DecoderPlayer::applyOtherReplayGain(Input &in)
{
    // A station's tags say nothing of the gain of what it plays next.
    in.gain = m_replayGain && !in.stream ? in.av->replayGain() : 1;
}

void DecoderPlayer::decodeOtherStep(Input &in)
{
    const void *data = nullptr;
    std::string text;
    const long frames = in.av->decode(&data, &text);
    // A command waits that ends this input; it is taken next.
    if (in.av->cancelled())
        return;
    if (in.stream)
        announceStreamTitle(in);
    if (frames < 0 && !in.stream) {
        error(XA_SOURCE_CODEC, XA_ERROR_INPUT_READ, "decoding failed: " + text);
        endOfStream(false);
        return;
    }
    if (frames <= 0) {
        if (in.stream)
            streamEnded(in);
        else if (!followQueued())
            endOfStream(false);
        return;
    }
    // A station's next part may come at a rate of its own: the chain and then the output follow it.
    if (const long rate = in.av->rate(); rate > 0 && rate != in.rate) {
        in.rate = rate;
        m_chain.setFormat(int(rate), in.channels);
    }
    const size_t samples = size_t(frames) * size_t(in.channels);
    if (in.deep) {
        const auto *pcm = static_cast<const int32_t *>(data);
        if (in.gain != 1) {
            in.gainedDeep.resize(samples);
            for (size_t i = 0; i < samples; ++i)
                in.gainedDeep[i] =
                    int32_t(std::clamp<long long>(std::llrint(pcm[i] * in.gain), INT32_MIN, INT32_MAX));
            pcm = in.gainedDeep.data();
        }
        deliver(pcm, size_t(frames));
        return;
    }
    const auto *pcm = static_cast<const int16_t *>(data);
    if (in.gain != 1) {
        in.gained.resize(samples);
        for (size_t i = 0; i < samples; ++i)
            in.gained[i] = int16_t(std::clamp(std::lrint(pcm[i] * in.gain), -32768L, 32767L));
        pcm = in.gained.data();
    }
    deliver(pcm, size_t(frames));
}
