// The FLAC module (libvorlan-flac.so): native FLAC ("fLaC" at the start, an ID3v2 tag before it skipped by
// libFLAC), decoded by libFLAC behind the FFmpeg module's entry points and to the same PCM. libFLAC maps a
// fraction of the memory FFmpeg's libraries take, and FLAC is what most lossless collections are in.
#include "engine/xaudio/CommentTags.h"
#include "engine/xaudio/VorlanFfmpeg.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

// A damaged input gives up after this many errors in a row without a good frame, after this many bytes
// without a good frame once the audio began (a frame is at most 65535 samples x 8 channels x 4 bytes, 2 MiB),
// or after this many decoder calls that gave no sound.
constexpr int MaxBadFrames = 2000;
constexpr int64_t MaxBytesWithoutSound = 8 << 20;
// Before the first frame the metadata blocks are read through (cover pictures may be large).
constexpr int64_t MaxMetadataBytes = int64_t(256) << 20;
constexpr int MaxCallsWithoutSound = 20000;
constexpr unsigned MaxRate = 768000;

void say(char *why, int size, const char *text)
{
    if (why && size > 0)
        std::snprintf(why, size_t(size), "%s", text);
}

// The standard downmix of FLAC's channel orders to two, in 1/65536: each front side whole, the centre and
// the surround or back sides at -3 dB, a single back centre at -6 dB to both, the LFE left out. Index: the
// channels less 3; per channel, its share of the left and of the right. Each side is then divided by the sum
// of its shares, so a mix of loud channels never clips.
constexpr int32_t K = 46341; // 0.7071
constexpr int32_t One = 65536, Half = 32768;
constexpr int32_t MixLeft[6][8] = {
    {One, 0, K},                // L R C
    {One, 0, K, 0},             // L R BL BR
    {One, 0, K, K, 0},          // L R C BL BR
    {One, 0, K, 0, K, 0},       // L R C LFE BL BR
    {One, 0, K, 0, Half, K, 0}, // L R C LFE BC SL SR
    {One, 0, K, 0, K, 0, K, 0}, // L R C LFE BL BR SL SR
};
constexpr int32_t MixRight[6][8] = {
    {0, One, K},
    {0, One, 0, K},
    {0, One, K, 0, K},
    {0, One, K, 0, 0, K},
    {0, One, K, 0, Half, 0, K},
    {0, One, K, 0, 0, K, 0, K},
};

} // namespace

struct VorlanAvInput {
    VorlanAvRead read = nullptr;
    VorlanAvSeek seek = nullptr;
    void *user = nullptr;
    FLAC__StreamDecoder *decoder = nullptr;

    bool haveInfo = false;
    FLAC__StreamMetadata_StreamInfo streamInfo{};
    int channels = 0;    // given out: 1 or 2
    int sampleBytes = 2; // given out: 2, or 4 for more than 16 bits
    CommentTags tags;

    std::vector<uint8_t> out; // interleaved frames of channels x sampleBytes
    int64_t position = 0;     // of the next sample given out
    long pending = 0;         // frames in out not yet given out
    bool endedBySeek = false; // a seek to the end: nothing until the next seek

    // Damage, counted between good frames.
    bool errorInCall = false; // the decoder reported damage in this call of process_single
    int64_t dropped = 0;      // samples of the frames dropped since the last block, counted in the position
    int badFrames = 0;
    int64_t bytesWithoutSound = 0;
    bool inAudio = false;         // past the metadata blocks
    const char *giveUp = nullptr; // why reading stops: the next read aborts
    bool readFailed = false;
    bool atEnd = false;
    // Where the stream marker is: at the start, or right after an ID3v2 tag. libFLAC looks for it anywhere
    // before the first frame, so it would find one inside another container (Ogg FLAC).
    int64_t bytesRead = 0;
    uint8_t head[10] = {};
    int64_t tagEnd = -1;
    uint8_t afterTag[4] = {};

    ~VorlanAvInput()
    {
        if (decoder)
            FLAC__stream_decoder_delete(decoder);
    }

    size_t frameBytes() const { return size_t(channels) * size_t(sampleBytes); }
    void noteStart(const uint8_t *bytes, int n);
    bool markerInPlace() const
    {
        return !std::memcmp(head, "fLaC", 4) || (tagEnd >= 0 && !std::memcmp(afterTag, "fLaC", 4));
    }

    template <typename Sample> void put(const FLAC__Frame *frame, const FLAC__int32 *const buffer[]);
    long decode(char *why, int whySize);
};

template <typename Sample>
void VorlanAvInput::put(const FLAC__Frame *frame, const FLAC__int32 *const buffer[])
{
    const unsigned n = frame->header.blocksize, ch = frame->header.channels;
    const int bits = int(frame->header.bits_per_sample);
    // To the top of the sample given out; a frame deeper than its stream said loses its lowest bits to the
    // width given out.
    const int shift = int(sizeof(Sample)) * 8 - bits;
    const int64_t low = -(int64_t(1) << (bits - 1)), high = (int64_t(1) << (bits - 1)) - 1;
    const auto scale = [shift](int64_t v) {
        return Sample(shift >= 0 ? v * (int64_t(1) << shift) : v >> -shift);
    };
    const size_t at = out.size();
    out.resize(at + size_t(n) * frameBytes());
    Sample *to = reinterpret_cast<Sample *>(out.data() + at);
    const FLAC__int32 *a = buffer[0], *b = buffer[ch > 1 ? 1 : 0];
    if (channels == 2 && ch <= 2) {
        if (shift == 0) {
            for (unsigned i = 0; i < n; ++i) {
                to[2 * i] = Sample(a[i]);
                to[2 * i + 1] = Sample(b[i]);
            }
        } else {
            for (unsigned i = 0; i < n; ++i) {
                to[2 * i] = scale(a[i]);
                to[2 * i + 1] = scale(b[i]);
            }
        }
        return;
    }
    for (unsigned i = 0; i < n; ++i) {
        int64_t left = a[i], right = b[i];
        if (ch > 2) {
            const int32_t *ml = MixLeft[ch - 3], *mr = MixRight[ch - 3];
            int64_t shareL = 0, shareR = 0;
            left = right = 0;
            for (unsigned c = 0; c < ch; ++c) {
                left += int64_t(buffer[c][i]) * ml[c];
                right += int64_t(buffer[c][i]) * mr[c];
                shareL += ml[c];
                shareR += mr[c];
            }
            const auto rounded = [](int64_t v, int64_t by) { return (v + (v < 0 ? -by : by) / 2) / by; };
            left = std::clamp<int64_t>(rounded(left, shareL), low, high);
            right = std::clamp<int64_t>(rounded(right, shareR), low, high);
        }
        if (channels == 1) {
            to[i] = scale((left + right) >> 1);
        } else {
            to[2 * i] = scale(left);
            to[2 * i + 1] = scale(right);
        }
    }
}

void VorlanAvInput::noteStart(const uint8_t *bytes, int n)
{
    const int64_t from = bytesRead;
    bytesRead += n;
    // The bytes [at, at + size) of the input that this read brought.
    const auto keep = [&](int64_t at, uint8_t *to, int64_t size) {
        for (int64_t o = std::max(at, from); o < std::min(at + size, bytesRead); ++o)
            to[o - at] = bytes[o - from];
    };
    keep(0, head, sizeof head);
    const uint8_t *b = head;
    if (tagEnd < 0 && from < 10 && bytesRead >= 10 && !std::memcmp(b, "ID3", 3) && b[3] < 0xff &&
        !((b[6] | b[7] | b[8] | b[9]) & 0x80))
        tagEnd = 10 + (int64_t(b[6]) << 21 | int64_t(b[7]) << 14 | int64_t(b[8]) << 7 | int64_t(b[9])) +
                 (b[5] & 0x10 ? 10 : 0);
    if (tagEnd >= 0)
        keep(tagEnd, afterTag, sizeof afterTag);
}

namespace
{

VorlanAvInput *inputOf(void *client)
{
    return static_cast<VorlanAvInput *>(client);
}

FLAC__StreamDecoderReadStatus onRead(const FLAC__StreamDecoder *decoder, FLAC__byte buffer[], size_t *bytes,
                                     void *client)
{
    VorlanAvInput *in = inputOf(client);
    const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder);
    if (!in->inAudio && state != FLAC__STREAM_DECODER_SEARCH_FOR_METADATA &&
        state != FLAC__STREAM_DECODER_READ_METADATA) {
        in->inAudio = true;
        in->bytesWithoutSound = 0;
    }
    const int64_t limit = in->inAudio ? MaxBytesWithoutSound : MaxMetadataBytes;
    if (!in->giveUp && in->bytesWithoutSound > limit)
        in->giveUp = "the audio data is damaged";
    if (in->giveUp) {
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    const int n = in->read(in->user, buffer, int(std::min<size_t>(*bytes, 1 << 20)));
    if (n < 0) {
        in->readFailed = true;
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    *bytes = size_t(n);
    if (n == 0) {
        in->atEnd = true;
        return FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }
    in->bytesWithoutSound += n;
    if (!in->inAudio)
        in->noteStart(buffer, n);
    return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus onSeek(const FLAC__StreamDecoder *, FLAC__uint64 offset, void *client)
{
    VorlanAvInput *in = inputOf(client);
    if (offset > FLAC__uint64(INT64_MAX) || in->seek(in->user, int64_t(offset), SEEK_SET) < 0)
        return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    in->atEnd = false;
    return FLAC__STREAM_DECODER_SEEK_STATUS_OK;
}

FLAC__StreamDecoderTellStatus onTell(const FLAC__StreamDecoder *, FLAC__uint64 *offset, void *client)
{
    VorlanAvInput *in = inputOf(client);
    const int64_t at = in->seek(in->user, 0, SEEK_CUR);
    if (at < 0)
        return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    *offset = FLAC__uint64(at);
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus onLength(const FLAC__StreamDecoder *, FLAC__uint64 *length, void *client)
{
    VorlanAvInput *in = inputOf(client);
    const int64_t size = in->seek(in->user, 0, VORLAN_AV_SIZE);
    if (size < 0)
        return FLAC__STREAM_DECODER_LENGTH_STATUS_ERROR;
    *length = FLAC__uint64(size);
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool onEof(const FLAC__StreamDecoder *, void *client)
{
    return inputOf(client)->atEnd;
}

FLAC__StreamDecoderWriteStatus onWrite(const FLAC__StreamDecoder *, const FLAC__Frame *frame,
                                       const FLAC__int32 *const buffer[], void *client)
{
    VorlanAvInput *in = inputOf(client);
    const unsigned n = frame->header.blocksize, ch = frame->header.channels;
    const unsigned bits = frame->header.bits_per_sample;
    const bool valid = in->haveInfo && n > 0 && n <= 65535 && ch >= 1 && ch <= 8 && bits >= 4 && bits <= 32;
    // After reporting damage, libFLAC writes the frames it found damaged or lost as silence of their length,
    // before the next good frame and in the same call: those are skipped, their time kept in the position.
    const auto silent = [&] {
        for (unsigned c = 0; c < ch; ++c)
            if (std::any_of(buffer[c], buffer[c] + n, [](FLAC__int32 v) { return v != 0; }))
                return false;
        return true;
    };
    if (!valid || (in->errorInCall && silent())) {
        in->dropped += n;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }
    in->badFrames = 0;
    in->bytesWithoutSound = 0;
    if (in->sampleBytes == 4)
        in->put<int32_t>(frame, buffer);
    else
        in->put<int16_t>(frame, buffer);
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void onMetadata(const FLAC__StreamDecoder *, const FLAC__StreamMetadata *metadata, void *client)
{
    VorlanAvInput *in = inputOf(client);
    if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO && !in->haveInfo) {
        in->streamInfo = metadata->data.stream_info;
        in->haveInfo = true;
        return;
    }
    if (metadata->type != FLAC__METADATA_TYPE_VORBIS_COMMENT)
        return;
    const FLAC__StreamMetadata_VorbisComment &vc = metadata->data.vorbis_comment;
    for (FLAC__uint32 i = 0; i < vc.num_comments && vc.comments; ++i) {
        const FLAC__StreamMetadata_VorbisComment_Entry &e = vc.comments[i];
        in->tags.add(reinterpret_cast<const char *>(e.entry), e.length);
    }
}

// Lost sync, a damaged header, a frame that fails its check, a damaged metadata block: libFLAC goes on.
void onError(const FLAC__StreamDecoder *, FLAC__StreamDecoderErrorStatus, void *client)
{
    VorlanAvInput *in = inputOf(client);
    in->errorInCall = true;
    if (++in->badFrames > MaxBadFrames && !in->giveUp)
        in->giveUp = "the audio data is damaged";
}

} // namespace

long VorlanAvInput::decode(char *why, int whySize)
{
    out.clear();
    if (endedBySeek)
        return 0;
    for (int calls = 0;; ++calls) {
        const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder);
        if (state == FLAC__STREAM_DECODER_END_OF_STREAM)
            return 0;
        if (state != FLAC__STREAM_DECODER_SEARCH_FOR_METADATA &&
            state != FLAC__STREAM_DECODER_READ_METADATA &&
            state != FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC && state != FLAC__STREAM_DECODER_READ_FRAME) {
            say(why, whySize,
                giveUp       ? giveUp
                : readFailed ? "the input cannot be read"
                             : "the decoder failed");
            return -1;
        }
        if (calls >= MaxCallsWithoutSound) {
            say(why, whySize, "the audio data decodes to nothing");
            return -1;
        }
        errorInCall = false;
        FLAC__stream_decoder_process_single(decoder);
        position += dropped;
        dropped = 0;
        if (!out.empty()) {
            const long frames = long(out.size() / frameBytes());
            position += frames;
            return frames;
        }
    }
}

extern "C" {

VorlanAvInput *vorlanAvOpen(VorlanAvRead read, VorlanAvSeek seek, void *user, int, VorlanAvInfo *info,
                            char *why, int whySize)
{
    if (!read || !info) {
        say(why, whySize, "invalid parameters");
        return nullptr;
    }
    auto in = std::make_unique<VorlanAvInput>();
    in->read = read;
    in->seek = seek;
    in->user = user;
    in->decoder = FLAC__stream_decoder_new();
    if (!in->decoder) {
        say(why, whySize, "out of memory");
        return nullptr;
    }
    FLAC__stream_decoder_set_md5_checking(in->decoder, false);
    FLAC__stream_decoder_set_metadata_respond(in->decoder, FLAC__METADATA_TYPE_VORBIS_COMMENT);
    // Without a seek the input is a stream: no seeking, no size.
    const FLAC__StreamDecoderInitStatus init = FLAC__stream_decoder_init_stream(
        in->decoder, onRead, seek ? onSeek : nullptr, seek ? onTell : nullptr, seek ? onLength : nullptr,
        seek ? onEof : nullptr, onWrite, onMetadata, onError, in.get());
    if (init != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        say(why, whySize, "out of memory");
        return nullptr;
    }
    FLAC__stream_decoder_process_until_end_of_metadata(in->decoder);
    const FLAC__StreamMetadata_StreamInfo &si = in->streamInfo;
    if (!in->haveInfo || !in->markerInPlace()) {
        const bool flacLike = in->markerInPlace() || (in->tagEnd < 0 && !std::memcmp(in->head, "ID3", 3));
        say(why, whySize,
            in->readFailed ? "the input cannot be read"
            : flacLike     ? "the file is damaged"
                           : "not a FLAC file");
        return nullptr;
    }
    if (si.sample_rate == 0 || si.sample_rate > MaxRate || si.channels < 1 || si.channels > 8 ||
        si.bits_per_sample < 4 || si.bits_per_sample > 32) {
        say(why, whySize, "the file is damaged");
        return nullptr;
    }
    in->channels = si.channels == 1 ? 1 : 2;
    in->sampleBytes = si.bits_per_sample > 16 ? 4 : 2;
    in->out.reserve(size_t(std::clamp<uint32_t>(si.max_blocksize, 4096, 65535)) * in->frameBytes());
    // An input opens only when its first block decodes.
    const long frames = in->decode(why, whySize);
    if (frames <= 0) {
        if (frames == 0)
            say(why, whySize, "the file holds no decodable audio");
        return nullptr;
    }
    in->pending = frames;

    *info = VorlanAvInfo{};
    info->rate = int(si.sample_rate);
    info->channels = in->channels;
    info->bitsPerSample = int(si.bits_per_sample);
    info->sampleBytes = in->sampleBytes;
    std::snprintf(info->codec, sizeof info->codec, "flac");
    info->length =
        si.total_samples > 0 && si.total_samples < (FLAC__uint64(1) << 62) ? int64_t(si.total_samples) : -1;
    if (seek && info->length > 0) {
        const int64_t size = seek(user, 0, VORLAN_AV_SIZE);
        if (size > 0)
            info->bitrate = int(std::clamp(
                double(size) * 8 * si.sample_rate / double(info->length) / 1000 + 0.5, 0.0, double(1 << 30)));
    }
    return in.release();
}

long vorlanAvDecode(VorlanAvInput *in, const void **pcm, char *why, int whySize)
{
    if (!in || !pcm)
        return -1;
    long frames = in->pending;
    in->pending = 0;
    if (frames == 0)
        frames = in->decode(why, whySize);
    *pcm = frames > 0 ? in->out.data() : nullptr;
    return frames;
}

int vorlanAvSeek(VorlanAvInput *in, int64_t sample)
{
    if (!in || !in->seek)
        return -1;
    sample = std::max<int64_t>(0, sample);
    in->out.clear();
    in->pending = 0;
    in->errorInCall = false;
    in->dropped = 0;
    in->badFrames = 0;
    in->bytesWithoutSound = 0;
    in->giveUp = nullptr;
    const int64_t length = in->streamInfo.total_samples > 0 ? int64_t(in->streamInfo.total_samples) : -1;
    if (length > 0 && sample >= length) {
        in->endedBySeek = true;
        in->position = length;
        return 0;
    }
    in->endedBySeek = false;
    // After a failed seek, or damage that stopped decoding, the decoder starts again from the place asked.
    const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(in->decoder);
    if (state == FLAC__STREAM_DECODER_SEEK_ERROR ||
        (state == FLAC__STREAM_DECODER_ABORTED && !in->readFailed))
        FLAC__stream_decoder_flush(in->decoder);
    // libFLAC decodes the block holding the sample and writes it from that sample on.
    if (!FLAC__stream_decoder_seek_absolute(in->decoder, FLAC__uint64(sample))) {
        if (FLAC__stream_decoder_get_state(in->decoder) == FLAC__STREAM_DECODER_SEEK_ERROR)
            FLAC__stream_decoder_flush(in->decoder);
        in->out.clear();
        in->dropped = 0;
        return -1;
    }
    in->dropped = 0;
    in->pending = long(in->out.size() / in->frameBytes());
    in->position = sample + in->pending;
    return 0;
}

int64_t vorlanAvTell(const VorlanAvInput *in)
{
    return in ? in->position - in->pending : 0;
}

void vorlanAvClose(VorlanAvInput *in)
{
    delete in;
}

int vorlanAvTag(const VorlanAvInput *in, const char *key, char *value, int size)
{
    return in ? in->tags.find(key, value, size) : -1;
}

int vorlanAvTagsChanged(const VorlanAvInput *in)
{
    // Native FLAC has one set of tags, read before the audio.
    return in && !in->tags.empty() ? 1 : 0;
}

int vorlanAvRate(const VorlanAvInput *in)
{
    return in ? int(in->streamInfo.sample_rate) : 0;
}

} // extern "C"
