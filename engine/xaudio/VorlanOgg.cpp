// The Ogg module (libvorlan-ogg.so): Ogg Opus (libopusfile) and Ogg Vorbis (libvorbisfile) behind the FFmpeg
// module's entry points and to the same PCM. These libraries map a small part of the memory FFmpeg's take,
// and Ogg is what most radio streams that are not MP3 are in.
#include "engine/xaudio/CommentTags.h"
#include "engine/xaudio/VorlanFfmpeg.h"

#include <opus/opus.h>
#include <opus/opusfile.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{

// A damaged input gives up after this many holes or bad packets in a row.
constexpr int MaxBadInARow = 2000;
// What may be read without a sample given out: while opening, the headers (a cover picture in the tags may be
// large) and in a file the places the libraries look at to find its parts and its length; while playing, the
// same, as each later part of a chain brings headers of its own.
constexpr int64_t MaxOpenBytesOfStream = 16 << 20;
constexpr int64_t MaxOpenBytesOfFile = int64_t(256) << 20;
// Samples per channel of one block: 120 ms of Opus, the longest packet.
constexpr int BlockFrames = 5760;

void say(char *why, int size, const char *text)
{
    if (why && size > 0)
        std::snprintf(why, size_t(size), "%s", text);
}

// Vorbis's channel orders mixed down to two: per channel, its share of the left and of the right. The
// front sides whole, the centre and the surround or back sides at -3 dB, a back centre at -6 dB to both, the
// LFE left out; each side is then divided by the sum of its shares, so it never clips. Index: channels
// less 3.
constexpr float K = 0.70710678f, H = 0.5f;
constexpr float MixLeft[6][8] = {
    {1, K, 0},                // L C R
    {1, 0, K, 0},             // FL FR RL RR
    {1, K, 0, K, 0},          // FL C FR RL RR
    {1, K, 0, K, 0, 0},       // FL C FR RL RR LFE
    {1, K, 0, K, 0, H, 0},    // FL C FR SL SR RC LFE
    {1, K, 0, K, 0, K, 0, 0}, // FL C FR SL SR RL RR LFE
};
constexpr float MixRight[6][8] = {
    {0, K, 1},          {0, 1, 0, K},          {0, K, 1, 0, K},
    {0, K, 1, 0, K, 0}, {0, K, 1, 0, K, H, 0}, {0, K, 1, 0, K, 0, K, 0},
};

// As libvorbisfile's 16-bit output rounds.
int16_t toShort(float v)
{
    // A damaged packet may decode to anything, not-a-number included.
    if (!(v == v))
        return 0;
    return int16_t(std::lrint(std::clamp(v * 32768.f, -32768.f, 32767.f)));
}

// Floats (1.0 full scale) to 16 bits, rounded to nearest and clamped, as libopusfile's 16-bit output gives
// them.
void floatsToShorts(const float *from, int16_t *to, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128 scale = _mm_set1_ps(32768.f);
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(from + i), scale));
        const __m128i b = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(from + i + 4), scale));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_packs_epi32(a, b));
    }
#endif
    for (; i < n; ++i)
        to[i] = int16_t(
            std::clamp(std::lrint(std::clamp(from[i] * 32768.f, -32768.f, 32767.f)), -32768L, 32767L));
}

} // namespace

struct VorlanAvInput {
    VorlanAvRead read = nullptr;
    VorlanAvSeek seek = nullptr;
    void *user = nullptr;
    bool opus = false;
    OggOpusFile *opusFile = nullptr;
    // Mono and stereo Opus is decoded by a plain decoder of its link rather than libopusfile's multistream
    // one, which asks the CPU for its features on every packet: a slow trap in a virtual machine.
    OpusDecoder *plain = nullptr;
    int plainLink = -1;
    std::vector<float> floats; // a block of Opus before it goes out in 16 bits
    float clipState[2] = {};
    OggVorbis_File vorbis{};
    bool vorbisOpen = false;

    int rate = 0;
    int channels = 0; // given out: 1 or 2
    int64_t length = -1;
    CommentTags tags; // of the link now decoding
    int link = -1;
    int tagChanges = 0;

    std::vector<int16_t> out; // interleaved
    int64_t position = 0;     // of the next sample given out
    long pending = 0;         // frames in out not yet given out
    bool endedBySeek = false;

    // The first bytes, read to choose the codec; a stream reads them again from here.
    std::vector<uint8_t> head;
    size_t replayed = 0;
    bool opening = true; // or seeking: the libraries look through the file, with no sound to give
    int64_t bytesWithoutSound = 0;
    const char *giveUp = nullptr;
    bool readFailed = false;

    ~VorlanAvInput()
    {
        if (opusFile)
            op_free(opusFile);
        if (plain)
            opus_decoder_destroy(plain);
        if (vorbisOpen)
            ov_clear(&vorbis);
    }

    int pull(uint8_t *to, int size);
    void takeTags(int newLink);
    long readBlock(const char **failure);
    long decode(char *why, int whySize);
};

int VorlanAvInput::pull(uint8_t *to, int size)
{
    if (size <= 0)
        return 0;
    if (replayed < head.size()) {
        const size_t n = std::min(size_t(size), head.size() - replayed);
        std::memcpy(to, head.data() + replayed, n);
        replayed += n;
        return int(n);
    }
    const int64_t limit = seek ? MaxOpenBytesOfFile : MaxOpenBytesOfStream;
    if (!giveUp && bytesWithoutSound > limit)
        giveUp = opening ? "the headers are damaged" : "the audio data is damaged";
    if (giveUp)
        return -1;
    const int n = read(user, to, std::min(size, 1 << 20));
    if (n < 0) {
        readFailed = true;
        return -1;
    }
    bytesWithoutSound += n;
    return n;
}

namespace
{

VorlanAvInput *inputOf(void *user)
{
    return static_cast<VorlanAvInput *>(user);
}

int seekTo(void *user, int64_t offset, int whence)
{
    VorlanAvInput *in = inputOf(user);
    return in->seek(in->user, offset, whence) < 0 ? -1 : 0;
}

int64_t tellOf(void *user)
{
    VorlanAvInput *in = inputOf(user);
    return in->seek(in->user, 0, SEEK_CUR);
}

int opusRead(void *user, unsigned char *to, int size)
{
    return inputOf(user)->pull(to, size);
}

int opusSeek(void *user, opus_int64 offset, int whence)
{
    return seekTo(user, offset, whence);
}

opus_int64 opusTell(void *user)
{
    return tellOf(user);
}

size_t vorbisRead(void *to, size_t size, size_t count, void *user)
{
    const int n =
        inputOf(user)->pull(static_cast<uint8_t *>(to), int(std::min<size_t>(size * count, 1 << 20)));
    if (n < 0) {
        errno = EIO;
        return 0;
    }
    errno = 0;
    return size_t(n) / std::max<size_t>(size, 1);
}

int vorbisSeek(void *user, ogg_int64_t offset, int whence)
{
    return seekTo(user, offset, whence);
}

long vorbisTell(void *user)
{
    return long(tellOf(user));
}

int decodePacket(void *user, OpusMSDecoder *, void *pcm, const ogg_packet *packet, int samples, int channels,
                 int format, int link)
{
    VorlanAvInput *in = inputOf(user);
    const OpusHead *head = op_head(in->opusFile, link);
    if (!head || head->mapping_family != 0 || head->channel_count != channels || channels > 2)
        return OP_DEC_USE_DEFAULT;
    if (link != in->plainLink || !in->plain) {
        if (in->plain)
            opus_decoder_destroy(in->plain);
        int error = 0;
        in->plain = opus_decoder_create(48000, channels, &error);
        in->plainLink = in->plain ? link : -1;
        if (!in->plain)
            return OP_DEC_USE_DEFAULT;
        // The header's gain, as libopusfile sets it on its own decoder.
        opus_decoder_ctl(in->plain, OPUS_SET_GAIN(head->output_gain));
    }
    const auto *data = packet->packet;
    const auto bytes = opus_int32(packet->bytes);
    const int n = format == OP_DEC_FORMAT_FLOAT
                      ? opus_decode_float(in->plain, data, bytes, static_cast<float *>(pcm), samples, 0)
                      : opus_decode(in->plain, data, bytes, static_cast<opus_int16 *>(pcm), samples, 0);
    if (n < 0)
        return n;
    // A packet shorter than its granule says (only a damaged one) is made up with silence.
    const size_t width = format == OP_DEC_FORMAT_FLOAT ? sizeof(float) : sizeof(opus_int16);
    if (n < samples)
        std::memset(static_cast<char *>(pcm) + size_t(n) * size_t(channels) * width, 0,
                    size_t(samples - n) * size_t(channels) * width);
    return 0;
}

// What the first page of an Ogg stream holds: 'o' Opus, 'v' Vorbis, 0 anything else.
char codecOf(const std::vector<uint8_t> &b)
{
    if (b.size() < 27 || std::memcmp(b.data(), "OggS", 4) != 0)
        return 0;
    const size_t data = 27 + size_t(b[26]);
    if (b.size() < data + 8)
        return 0;
    if (!std::memcmp(b.data() + data, "OpusHead", 8))
        return 'o';
    if (!std::memcmp(b.data() + data, "\x01vorbis", 7))
        return 'v';
    return 0;
}

} // namespace

void VorlanAvInput::takeTags(int newLink)
{
    if (newLink == link)
        return;
    link = newLink;
    tags.clear();
    char **comments = nullptr;
    const int *lengths = nullptr;
    int count = 0;
    if (opus) {
        if (const OpusTags *t = op_tags(opusFile, newLink)) {
            comments = t->user_comments;
            lengths = t->comment_lengths;
            count = t->comments;
        }
    } else if (vorbis_comment *c = ov_comment(&vorbis, newLink)) {
        comments = c->user_comments;
        lengths = c->comment_lengths;
        count = c->comments;
    }
    for (int i = 0; i < count && comments && lengths; ++i)
        tags.add(comments[i], size_t(std::max(lengths[i], 0)));
    // The first part's tags count too: a station's first title shows as its later ones do.
    if (!tags.empty())
        ++tagChanges;
}

// One read of the library into out: frames, 0 at the end, OP_HOLE / OV_HOLE (or a bad packet) to go on,
// another negative value when decoding cannot go on.
long VorlanAvInput::readBlock(const char **failure)
{
    out.resize(size_t(BlockFrames) * 2);
    if (opus) {
        floats.resize(out.size());
        const int n = op_read_float_stereo(opusFile, floats.data(), int(floats.size()));
        if (n == OP_HOLE || n == OP_EBADPACKET)
            return OP_HOLE;
        if (n < 0) {
            *failure = "the stream cannot be decoded";
            return -1;
        }
        if (n > 0)
            takeTags(op_current_link(opusFile));
        // Loud passages bend softly into full scale rather than clip, as libopusfile's 16-bit output does.
        opus_pcm_soft_clip(floats.data(), n, 2, clipState);
        floatsToShorts(floats.data(), out.data(), size_t(n) * 2);
        if (channels == 1)
            for (int i = 0; i < n; ++i)
                out[size_t(i)] = int16_t((int(out[2 * size_t(i)]) + out[2 * size_t(i) + 1]) >> 1);
        out.resize(size_t(n) * size_t(channels));
        return n;
    }
    float **pcm = nullptr;
    int bitstream = 0;
    const long n = ov_read_float(&vorbis, &pcm, BlockFrames, &bitstream);
    if (n == OV_HOLE)
        return OP_HOLE;
    if (n < 0) {
        *failure = "the stream cannot be decoded";
        return -1;
    }
    const vorbis_info *vi = ov_info(&vorbis, -1);
    if (n == 0 || !vi || !pcm)
        return 0;
    if (vi->rate != rate) {
        // A station may change its rate with a new part; a file of parts at different rates is FFmpeg's.
        if (seek || vi->rate <= 0 || vi->rate > 768000) {
            *failure = "the stream changes its sample rate";
            return -1;
        }
        rate = int(vi->rate);
    }
    takeTags(bitstream);
    const int ch = vi->channels;
    int16_t *to = out.data();
    for (long i = 0; i < n; ++i) {
        float left = pcm[0][i], right = pcm[ch > 1 ? 1 : 0][i];
        if (ch > 2 && ch <= 8) {
            const float *ml = MixLeft[ch - 3], *mr = MixRight[ch - 3];
            float shareL = 0, shareR = 0;
            left = right = 0;
            for (int c = 0; c < ch; ++c) {
                left += pcm[c][i] * ml[c];
                right += pcm[c][i] * mr[c];
                shareL += ml[c];
                shareR += mr[c];
            }
            left /= shareL;
            right /= shareR;
        }
        if (channels == 1) {
            to[i] = ch == 1 ? toShort(left) : int16_t((int(toShort(left)) + toShort(right)) >> 1);
        } else {
            to[2 * i] = toShort(left);
            to[2 * i + 1] = toShort(right);
        }
    }
    out.resize(size_t(n) * size_t(channels));
    return n;
}

long VorlanAvInput::decode(char *why, int whySize)
{
    out.clear();
    if (endedBySeek)
        return 0;
    for (int bad = 0;;) {
        const char *failure = nullptr;
        const long n = readBlock(&failure);
        if (n > 0) {
            bytesWithoutSound = 0;
            position += n;
            return n;
        }
        // The Vorbis library ends where a read failed, as at the end.
        if (n == 0 && !giveUp && !readFailed)
            return 0;
        if (n == 0 || n != OP_HOLE || ++bad > MaxBadInARow) {
            say(why, whySize,
                giveUp       ? giveUp
                : readFailed ? "the input cannot be read"
                : failure    ? failure
                             : "the audio data is damaged");
            return -1;
        }
        // Samples were skipped: a file knows where it is.
        if (seek) {
            const int64_t at = opus ? op_pcm_tell(opusFile) : ov_pcm_tell(&vorbis);
            if (at >= 0)
                position = at;
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
    // The first page's header, its segment table and the start of its first packet tell the codec.
    in->head.resize(27 + 255 + 8);
    size_t have = 0, want = 27;
    while (have < want) {
        const int n = read(user, in->head.data() + have, int(want - have));
        if (n <= 0)
            break;
        have += size_t(n);
        if (have >= 27 && want == 27)
            want = 27 + size_t(in->head[26]) + 8;
    }
    in->head.resize(have);
    const char codec = codecOf(in->head);
    if (!codec) {
        say(why, whySize, have < 27 && have > 0 ? "the file is too short" : "not an Ogg Opus or Vorbis file");
        return nullptr;
    }
    in->opus = codec == 'o';
    // A file is read from its start again.
    if (seek) {
        if (seek(user, 0, SEEK_SET) != 0) {
            say(why, whySize, "the input cannot be read");
            return nullptr;
        }
        in->head.clear();
    }
    int error = 0;
    if (in->opus) {
        const OpusFileCallbacks callbacks{opusRead, seek ? opusSeek : nullptr, seek ? opusTell : nullptr,
                                          nullptr};
        in->opusFile = op_open_callbacks(in.get(), &callbacks, nullptr, 0, &error);
        if (!in->opusFile) {
            say(why, whySize,
                in->giveUp       ? in->giveUp
                : in->readFailed ? "the input cannot be read"
                                 : "the Opus stream is damaged");
            return nullptr;
        }
        // As the reference decoder gives it with --no-dither; its header gain is applied.
        op_set_dither_enabled(in->opusFile, 0);
        op_set_decode_callback(in->opusFile, decodePacket, in.get());
        in->rate = 48000;
        in->channels = op_channel_count(in->opusFile, -1) == 1 ? 1 : 2;
        in->length = seek ? op_pcm_total(in->opusFile, -1) : -1;
    } else {
        const ov_callbacks callbacks{vorbisRead, seek ? vorbisSeek : nullptr, nullptr,
                                     seek ? vorbisTell : nullptr};
        error = ov_open_callbacks(in.get(), &in->vorbis, nullptr, 0, callbacks);
        if (error < 0) {
            say(why, whySize,
                in->giveUp       ? in->giveUp
                : in->readFailed ? "the input cannot be read"
                                 : "the Vorbis stream is damaged");
            return nullptr;
        }
        in->vorbisOpen = true;
        const vorbis_info *vi = ov_info(&in->vorbis, -1);
        if (!vi || vi->rate <= 0 || vi->rate > 768000 || vi->channels < 1) {
            say(why, whySize, "the Vorbis stream is damaged");
            return nullptr;
        }
        in->rate = int(vi->rate);
        in->channels = vi->channels == 1 ? 1 : 2;
        // A chained file whose parts differ in rate is left to FFmpeg, which converts them.
        for (int i = 0; seek && i < ov_streams(&in->vorbis); ++i) {
            const vorbis_info *part = ov_info(&in->vorbis, i);
            if (!part || part->rate != vi->rate) {
                say(why, whySize, "the parts of the file differ in sample rate");
                return nullptr;
            }
        }
        in->length = seek ? ov_pcm_total(&in->vorbis, -1) : -1;
    }
    if (in->length <= 0)
        in->length = -1;
    in->opening = false;
    in->bytesWithoutSound = 0;
    in->giveUp = nullptr;
    // An input opens only when its first block decodes.
    const long frames = in->decode(why, whySize);
    if (frames <= 0) {
        if (frames == 0)
            say(why, whySize, "the file holds no decodable audio");
        return nullptr;
    }
    in->pending = frames;

    *info = VorlanAvInfo{};
    info->rate = in->rate;
    info->channels = in->channels;
    info->sampleBytes = 2;
    info->length = in->length;
    std::snprintf(info->codec, sizeof info->codec, "%s", in->opus ? "opus" : "vorbis");
    long bitrate = 0;
    if (in->opus)
        bitrate = seek ? op_bitrate(in->opusFile, -1) : 0;
    else if (seek)
        bitrate = ov_bitrate(&in->vorbis, -1);
    // A file too short for the libraries' own count (all its sound in the header pages) has its size's.
    if (bitrate <= 0 && seek && in->length > 0)
        bitrate = long(std::clamp(double(seek(user, 0, VORLAN_AV_SIZE)) * 8 * in->rate / double(in->length),
                                  0.0, double(1 << 30)));
    if (bitrate <= 0 && !in->opus)
        if (const vorbis_info *vi = ov_info(&in->vorbis, -1))
            bitrate = vi->bitrate_nominal;
    info->bitrate = int(std::clamp<long>((bitrate + 500) / 1000, 0, 1 << 30));
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
    in->giveUp = nullptr;
    in->bytesWithoutSound = 0;
    if (in->length > 0 && sample >= in->length) {
        in->endedBySeek = true;
        in->position = in->length;
        return 0;
    }
    in->endedBySeek = false;
    // libopusfile resets its decoder for a seek, and decodes again from a little before the place.
    if (in->plain)
        opus_decoder_ctl(in->plain, OPUS_RESET_STATE);
    in->clipState[0] = in->clipState[1] = 0;
    in->opening = true;
    const int r = in->opus ? op_pcm_seek(in->opusFile, sample) : ov_pcm_seek(&in->vorbis, sample);
    in->opening = false;
    in->bytesWithoutSound = 0;
    in->giveUp = nullptr;
    if (r != 0)
        return -1;
    in->position = sample;
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
    return in ? in->tagChanges : 0;
}

int vorlanAvRate(const VorlanAvInput *in)
{
    return in ? in->rate : 0;
}

} // extern "C"
