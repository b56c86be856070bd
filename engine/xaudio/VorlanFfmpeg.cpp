// The FFmpeg module: every format that is not MPEG audio, read through the engine's own reader and decoded
// to 16-bit PCM at the source's rate. Only audio containers and codecs of a known list are opened, and no
// container may open another file or URL.
#include "engine/xaudio/VorlanFfmpeg.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

const char *const Containers = "flac,ogg,mov,mp4,m4a,aac,wav,w64,aiff,wv";
const char *const Codecs[] = {"flac",      "opus",      "vorbis",    "aac",          "alac",      "wavpack",
                              "pcm_u8",    "pcm_s8",    "pcm_s16le", "pcm_s16be",    "pcm_s24le", "pcm_s24be",
                              "pcm_s32le", "pcm_s32be", "pcm_f32le", "pcm_f32be",    "pcm_f64le", "pcm_f64be",
                              "pcm_alaw",  "pcm_mulaw", "adpcm_ms",  "adpcm_ima_wav"};
constexpr int IoBufferSize = 32 * 1024;
// A damaged input gives up after this many packets in a row that the decoder refuses or that bring no sound.
constexpr int MaxBadPackets = 2000;
constexpr int MaxPacketsWithoutSound = 20000;

void say(char *why, int size, const char *text)
{
    if (why && size > 0)
        std::snprintf(why, size_t(size), "%s", text);
}

bool lossless(AVCodecID id)
{
    return id == AV_CODEC_ID_FLAC || id == AV_CODEC_ID_ALAC || id == AV_CODEC_ID_WAVPACK ||
           (id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT);
}

int sourceBits(const AVCodecParameters *par)
{
    return par->bits_per_raw_sample > 0 ? par->bits_per_raw_sample : av_get_bits_per_sample(par->codec_id);
}

} // namespace

struct VorlanAvInput {
    VorlanAvRead read = nullptr;
    VorlanAvSeek seek = nullptr;
    void *user = nullptr;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    SwrContext *swr = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    AVStream *stream = nullptr;
    int rate = 0;
    int channels = 0;
    int sampleBytes = 2;
    // The converter's source format, to set it up again when a chained stream changes it.
    int swrFormat = -1, swrRate = 0;
    AVChannelLayout swrLayout{};
    int64_t origin = AV_NOPTS_VALUE; // the first sample's timestamp, in samples
    int64_t position = 0;            // of the next sample given out
    int64_t discardUntil = -1;       // after a seek: the sample asked for
    bool draining = false;
    bool ended = false;
    long pending = 0;                 // frames of the block decoded at open, not yet given out
    std::vector<uint8_t> out;         // interleaved frames of channels x sampleBytes
    AVDictionary *partTags = nullptr; // of the part of a chained stream now decoding
    int tagChanges = 0;

    ~VorlanAvInput()
    {
        av_dict_free(&partTags);
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        av_channel_layout_uninit(&swrLayout);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
    }

    size_t frameBytes() const { return size_t(channels) * size_t(sampleBytes); }

    int64_t samplesOf(int64_t ts) const { return av_rescale_q(ts, stream->time_base, AVRational{1, rate}); }

    bool convert(char *why, int whySize)
    {
        if (!swr || frame->format != swrFormat || frame->sample_rate != swrRate ||
            av_channel_layout_compare(&frame->ch_layout, &swrLayout) != 0) {
            swr_free(&swr);
            AVChannelLayout outLayout{};
            av_channel_layout_default(&outLayout, channels);
            const AVSampleFormat to = sampleBytes == 4 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
            const int r = swr_alloc_set_opts2(&swr, &outLayout, to, rate, &frame->ch_layout,
                                              AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
            av_channel_layout_uninit(&outLayout);
            if (r < 0 || swr_init(swr) < 0) {
                swr_free(&swr);
                say(why, whySize, "cannot convert the decoded sound");
                return false;
            }
            swrFormat = frame->format;
            swrRate = frame->sample_rate;
            av_channel_layout_uninit(&swrLayout);
            av_channel_layout_copy(&swrLayout, &frame->ch_layout);
        }
        const int room = swr_get_out_samples(swr, frame->nb_samples);
        if (room < 0)
            return false;
        out.resize(size_t(room) * frameBytes());
        uint8_t *to = out.data();
        const int n = swr_convert(swr, &to, room, const_cast<const uint8_t **>(frame->extended_data),
                                  frame->nb_samples);
        if (n < 0) {
            say(why, whySize, "cannot convert the decoded sound");
            return false;
        }
        out.resize(size_t(n) * frameBytes());
        return true;
    }

    // The tags of a new part of a chained stream, marked on the stream when its headers were read. They are
    // taken from it, as the demuxer adds each part's to the last part's.
    void takeTags()
    {
        AVDictionary *tags = nullptr;
        size_t size = 0;
        const uint8_t *data = nullptr;
        if (stream->event_flags & AVSTREAM_EVENT_FLAG_METADATA_UPDATED) {
            stream->event_flags &= ~AVSTREAM_EVENT_FLAG_METADATA_UPDATED;
            tags = stream->metadata;
            stream->metadata = nullptr;
        } else if ((data = av_packet_get_side_data(packet, AV_PKT_DATA_METADATA_UPDATE, &size))) {
            if (av_packet_unpack_dictionary(data, size, &tags) < 0) {
                av_dict_free(&tags);
                return;
            }
        } else {
            return;
        }
        av_dict_free(&partTags);
        partTags = tags;
        ++tagChanges;
    }

    // The next block into out: its frames, 0 at the end, -1 on a failure.
    long decode(char *why, int whySize)
    {
        int badPackets = 0, withoutSound = 0;
        while (true) {
            int r = avcodec_receive_frame(codec, frame);
            if (r == 0) {
                withoutSound = 0;
                const bool ok = convert(why, whySize);
                const int64_t pts = frame->best_effort_timestamp;
                av_frame_unref(frame);
                if (!ok)
                    return -1;
                long frames = long(out.size() / frameBytes());
                if (frames == 0)
                    continue;
                const int64_t at = pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : samplesOf(pts);
                if (origin == AV_NOPTS_VALUE)
                    origin = at == AV_NOPTS_VALUE ? 0 : at;
                if (discardUntil >= 0) {
                    if (at != AV_NOPTS_VALUE) {
                        const int64_t from = at - origin;
                        if (from + frames <= discardUntil)
                            continue;
                        if (from < discardUntil) {
                            const long cut = long(discardUntil - from);
                            out.erase(out.begin(), out.begin() + long(size_t(cut) * frameBytes()));
                            frames -= cut;
                        }
                        position = std::max(from, discardUntil);
                    }
                    discardUntil = -1;
                }
                position += frames;
                return frames;
            }
            if (r == AVERROR_EOF) {
                ended = true;
                return 0;
            }
            if (r != AVERROR(EAGAIN)) {
                say(why, whySize, "the decoder failed");
                return -1;
            }
            if (draining)
                return 0;
            r = av_read_frame(format, packet);
            if (r < 0) {
                // The end, or a damaged tail: what decoded is played.
                draining = true;
                avcodec_send_packet(codec, nullptr);
                continue;
            }
            if (packet->stream_index != stream->index) {
                av_packet_unref(packet);
                continue;
            }
            takeTags();
            r = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            if (r < 0 && r != AVERROR(EAGAIN)) {
                if (++badPackets > MaxBadPackets) {
                    say(why, whySize, "the audio data is damaged");
                    return -1;
                }
                continue;
            }
            badPackets = 0;
            if (++withoutSound > MaxPacketsWithoutSound) {
                say(why, whySize, "the audio data decodes to nothing");
                return -1;
            }
        }
    }
};

namespace
{

int readBytes(void *opaque, uint8_t *buffer, int size)
{
    auto *in = static_cast<VorlanAvInput *>(opaque);
    const int n = in->read(in->user, buffer, size);
    return n > 0 ? n : n == 0 ? AVERROR_EOF : AVERROR(EIO);
}

int64_t seekBytes(void *opaque, int64_t offset, int whence)
{
    auto *in = static_cast<VorlanAvInput *>(opaque);
    if (whence & AVSEEK_SIZE)
        return in->seek(in->user, 0, VORLAN_AV_SIZE);
    return in->seek(in->user, offset, whence & ~AVSEEK_FORCE);
}

bool knownCodec(const char *name)
{
    return std::any_of(std::begin(Codecs), std::end(Codecs),
                       [name](const char *c) { return !strcmp(c, name); });
}

// Opens the container and the decoder of its first audio stream.
bool openInput(VorlanAvInput *in, int flags, char *why, int whySize)
{
    in->io = avio_alloc_context(static_cast<uint8_t *>(av_malloc(IoBufferSize)), IoBufferSize, 0, in,
                                readBytes, nullptr, in->seek ? seekBytes : nullptr);
    if (!in->io || !in->io->buffer) {
        say(why, whySize, "out of memory");
        return false;
    }
    in->io->seekable = in->seek ? AVIO_SEEKABLE_NORMAL : 0;
    const AVInputFormat *kind = nullptr;
    const int score = av_probe_input_buffer2(in->io, &kind, "", nullptr, 0, 1 << 20);
    if (score < 0 || !kind || av_match_list(kind->name, Containers, ',') <= 0) {
        say(why, whySize, "not an audio file the player knows");
        return false;
    }
    if ((flags & VORLAN_AV_SURE_ONLY) && score <= AVPROBE_SCORE_MAX / 4) {
        say(why, whySize, "not an audio file the player knows");
        return false;
    }
    in->format = avformat_alloc_context();
    if (!in->format) {
        say(why, whySize, "out of memory");
        return false;
    }
    in->format->pb = in->io;
    in->format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary *options = nullptr;
    // No container opens anything beside the input itself.
    av_dict_set(&options, "protocol_whitelist", "none", 0);
    av_dict_set(&options, "format_whitelist", Containers, 0);
    const int r = avformat_open_input(&in->format, nullptr, kind, &options);
    av_dict_free(&options);
    if (r < 0) {
        say(why, whySize, "the file is damaged");
        return false;
    }
    if (avformat_find_stream_info(in->format, nullptr) < 0) {
        say(why, whySize, "the file is damaged");
        return false;
    }
    const AVCodec *decoder = nullptr;
    const int index = av_find_best_stream(in->format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) {
        say(why, whySize,
            index == AVERROR_DECODER_NOT_FOUND ? "the audio is in a codec the player does not know"
                                               : "the file holds no audio");
        return false;
    }
    if (!knownCodec(decoder->name)) {
        say(why, whySize, "the audio is in a codec the player does not know");
        return false;
    }
    for (unsigned i = 0; i < in->format->nb_streams; ++i)
        in->format->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    in->stream = in->format->streams[index];
    const AVCodecParameters *par = in->stream->codecpar;
    if (par->sample_rate <= 0 || par->sample_rate > 768000 || par->ch_layout.nb_channels <= 0 ||
        par->ch_layout.nb_channels > 64) {
        say(why, whySize, "the file is damaged");
        return false;
    }
    in->codec = avcodec_alloc_context3(decoder);
    if (!in->codec || avcodec_parameters_to_context(in->codec, par) < 0) {
        say(why, whySize, "out of memory");
        return false;
    }
    in->codec->pkt_timebase = in->stream->time_base;
    in->codec->thread_count = 1;
    if (avcodec_open2(in->codec, decoder, nullptr) < 0) {
        say(why, whySize, "the audio cannot be decoded");
        return false;
    }
    in->rate = par->sample_rate;
    in->channels = par->ch_layout.nb_channels == 1 ? 1 : 2;
    // A deep lossless source keeps its bits; everything else is given out as 16 bits.
    in->sampleBytes = lossless(par->codec_id) && sourceBits(par) > 16 ? 4 : 2;
    in->packet = av_packet_alloc();
    in->frame = av_frame_alloc();
    if (!in->packet || !in->frame) {
        say(why, whySize, "out of memory");
        return false;
    }
    return true;
}

void describe(const VorlanAvInput *in, VorlanAvInfo *info)
{
    const AVCodecParameters *par = in->stream->codecpar;
    *info = VorlanAvInfo{};
    info->rate = in->rate;
    info->channels = in->channels;
    if (lossless(par->codec_id))
        info->bitsPerSample = sourceBits(par);
    info->sampleBytes = in->sampleBytes;
    std::snprintf(info->codec, sizeof info->codec, "%s", avcodec_get_name(par->codec_id));

    int64_t length = -1;
    if (in->stream->duration != AV_NOPTS_VALUE && in->stream->duration > 0) {
        length = in->samplesOf(in->stream->duration);
        // Ogg counts Opus's pre-skip in the stream's duration; the decoder drops it.
        if (par->codec_id == AV_CODEC_ID_OPUS && in->format->iformat &&
            !strcmp(in->format->iformat->name, "ogg"))
            length -= par->initial_padding;
    } else if (in->format->duration != AV_NOPTS_VALUE && in->format->duration > 0) {
        length = av_rescale(in->format->duration, in->rate, AV_TIME_BASE);
    }
    info->length = length > 0 ? length : -1;

    int64_t bitrate = in->format->bit_rate > 0 ? in->format->bit_rate : par->bit_rate;
    if (bitrate <= 0 && length > 0) {
        const int64_t size = in->seek ? avio_size(in->io) : -1;
        if (size > 0)
            bitrate = av_rescale(size * 8, in->rate, length);
    }
    info->bitrate = int(std::clamp<int64_t>((bitrate + 500) / 1000, 0, 1 << 30));
}

} // namespace

extern "C" {

VorlanAvInput *vorlanAvOpen(VorlanAvRead read, VorlanAvSeek seek, void *user, int flags, VorlanAvInfo *info,
                            char *why, int whySize)
{
    av_log_set_level(AV_LOG_QUIET);
    if (!read || !info) {
        say(why, whySize, "invalid parameters");
        return nullptr;
    }
    auto *in = new VorlanAvInput;
    in->read = read;
    in->seek = seek;
    in->user = user;
    if (!openInput(in, flags, why, whySize)) {
        delete in;
        return nullptr;
    }
    // An input opens only when its first block decodes.
    const long frames = in->decode(why, whySize);
    if (frames <= 0) {
        if (frames == 0)
            say(why, whySize, "the file holds no decodable audio");
        delete in;
        return nullptr;
    }
    in->pending = frames;
    describe(in, info);
    return in;
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
    // Lossy codecs need a little sound before the place to decode it right; it is decoded and dropped.
    const AVCodecParameters *par = in->stream->codecpar;
    const int64_t preroll = par->seek_preroll + (lossless(par->codec_id) ? 0 : 4096);
    const int64_t from =
        std::max<int64_t>(0, sample - preroll) + (in->origin == AV_NOPTS_VALUE ? 0 : in->origin);
    const int64_t ts = av_rescale_q(from, AVRational{1, in->rate}, in->stream->time_base);
    if (av_seek_frame(in->format, in->stream->index, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(in->format, in->stream->index, INT64_MIN, ts, ts, 0) < 0)
        return -1;
    avcodec_flush_buffers(in->codec);
    if (in->swr)
        swr_init(in->swr);
    in->pending = 0;
    in->draining = false;
    in->ended = false;
    in->discardUntil = sample;
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
    if (!in || !key || !*key)
        return -1;
    const AVDictionaryEntry *e = nullptr;
    // A new part's tags replace the last part's, the stream's included.
    for (AVDictionary *tags : {in->partTags ? in->partTags : in->stream->metadata, in->format->metadata})
        if (tags && (e = av_dict_get(tags, key, nullptr, 0)))
            break;
    if (!e || !e->value)
        return -1;
    if (value && size > 0)
        std::snprintf(value, size_t(size), "%s", e->value);
    return int(std::min<size_t>(std::strlen(e->value), 1 << 30));
}

int vorlanAvTagsChanged(const VorlanAvInput *in)
{
    return in ? in->tagChanges : 0;
}

int vorlanAvRate(const VorlanAvInput *in)
{
    // The converter gives every part at the first part's rate.
    return in ? in->rate : 0;
}

} // extern "C"
