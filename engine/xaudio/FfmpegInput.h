#pragma once
// A local file or network stream of a format other than MPEG audio (FLAC, Ogg Vorbis and Opus, AAC and ALAC
// in MP4, WAV, AIFF, WavPack), read by the engine's own reader and decoded to PCM by a decoder module: native
// FLAC by the FLAC module, the rest (and what that module refuses) by the FFmpeg module.
#include "engine/xaudio/BufferedFile.h"
#include "engine/xaudio/DecoderModules.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class StreamSource;

class FfmpegInput
{
public:
    FfmpegInput() = default;
    ~FfmpegInput();
    FfmpegInput(const FfmpegInput &) = delete;
    FfmpegInput &operator=(const FfmpegInput &) = delete;

    // The name ends in an extension of these formats (".flac", ".opus", ".m4a", ...; any case).
    static bool hasOwnExtension(const std::string &name);
    // The file starts (after an ID3v2 tag, if any) as a container of these formats does.
    static bool startsAsOwnFormat(const std::string &name);

    // Opens a regular file. sureOnly: take it only when its content is recognised for sure. False with *err
    // and *text when it cannot be played.
    bool open(const std::string &name, bool sureOnly, int *err, std::string *text);
    // Opens a network stream, its bytes read from source: each read waits for them while cancel() says no,
    // and opening gives up after openSeconds.
    bool openStream(StreamSource *source, std::function<bool()> cancel, int openSeconds, int *err,
                    std::string *text);
    // A read gave up because cancel() said so; the input is then at its end.
    bool cancelled() const { return m_cancelled; }

    // Of the block decoded last: a part of a chained stream may change it.
    long rate() const;
    int channels() const { return m_info.channels; }
    int64_t length() const { return m_info.length; }
    int bitsPerSample() const { return m_info.bitsPerSample; }
    int bitrate() const { return m_info.bitrate; }
    std::string codec() const { return m_info.codec; }
    // Of the PCM given out: 2 (16-bit samples) or 4 (32-bit, the source's bits at the top).
    int sampleBytes() const { return m_info.sampleBytes; }

    // The next block of interleaved PCM: its frames, valid until the next call; 0 at the end; -1 when
    // decoding failed, with *text.
    long decode(const void **pcm, std::string *text);
    bool seek(int64_t sample);
    int64_t tell() const;

    // A tag's value (the key matched without case), empty when there is none.
    std::string tag(const char *key) const;
    // Grows when a part of a chained stream with tags of its own begins.
    int tagsChanged() const;
    // "Artist - Title" of the tags, or the title alone; empty without a title.
    std::string title() const;
    // The ReplayGain track gain of the tags as a factor, limited so the track's peak does not clip; 1 when
    // the tags give none. Opus's R128 gain counts from -23 LUFS, ReplayGain's from -18.
    double replayGain() const;

private:
    static int readFile(void *user, uint8_t *buffer, int size);
    static int64_t seekFile(void *user, int64_t offset, int whence);
    static int readStream(void *user, uint8_t *buffer, int size);
    bool start(const DecoderModules::Entries *module, VorlanAvRead read, VorlanAvSeek seek, int flags,
               const std::string &name, int *err, std::string *text);

    BufferedFile m_file;
    // The module the input opened with.
    const DecoderModules::Entries *m_module = nullptr;
    VorlanAvInput *m_input = nullptr;
    VorlanAvInfo m_info{};
    StreamSource *m_source = nullptr;
    std::function<bool()> m_cancel;
    std::chrono::steady_clock::time_point m_openDeadline{};
    bool m_opening = false;
    bool m_cancelled = false;
    bool m_timedOut = false;
    // A stream's first bytes, kept while the FLAC module tries them, for the FFmpeg module should it refuse.
    std::vector<uint8_t> m_kept;
    size_t m_replayed = 0;
    bool m_keeping = false;
    bool m_keptAll = true;
};
