#include "engine/xaudio/DecoderPlayer.h"

// Inputs of the formats that are not MPEG audio, decoded by the FFmpeg module; their PCM takes the same way
// to the output as MPEG audio does.

bool DecoderPlayer::openOtherFile(Input &in, const std::string &name, bool sureOnly, int *err,
                                  std::string *text)
{
    auto av = std::make_unique<FfmpegInput>();
    if (!av->open(name, sureOnly, err, text))
        return false;
    in.rate = av->rate();
    in.channels = av->channels();
    in.length = av->length();
    if (in.rate <= 0 || in.channels <= 0) {
        *err = XA_ERROR_INPUT_DAMAGED;
        *text = name + " holds no decodable audio";
        return false;
    }
    in.av = std::move(av);
    return true;
}

void DecoderPlayer::decodeOtherStep(Input &in)
{
    const int16_t *pcm = nullptr;
    std::string text;
    const long frames = in.av->decode(&pcm, &text);
    if (frames < 0) {
        error(XA_SOURCE_CODEC, XA_ERROR_INPUT_READ, "decoding failed: " + text);
        endOfStream(false);
        return;
    }
    if (frames == 0) {
        if (!followQueued())
            endOfStream(false);
        return;
    }
    deliver(pcm, size_t(frames));
}
