#include "engine/xaudio/FfmpegInput.h"

#include "engine/xaudio/StreamSource.h"
#include "engine/xaudio/xaudio.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

// What a stream's first bytes may take while the FLAC or Ogg module tries them.
constexpr size_t MaxKept = 1 << 20;

// The first bytes of a file, after an ID3v2 tag if there is one.
bool readHead(const std::string &name, unsigned char (&b)[12])
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    off_t at = 0;
    ssize_t n = ::pread(fd, b, sizeof b, at);
    // A FLAC file may carry an ID3v2 tag in front.
    if (n == ssize_t(sizeof b) && !std::memcmp(b, "ID3", 3) && b[3] < 0xff &&
        !((b[6] | b[7] | b[8] | b[9]) & 0x80)) {
        at = 10 + (off_t(b[6]) << 21 | off_t(b[7]) << 14 | off_t(b[8]) << 7 | off_t(b[9])) +
             (b[5] & 0x10 ? 10 : 0);
        n = ::pread(fd, b, sizeof b, at);
    }
    ::close(fd);
    return n == ssize_t(sizeof b);
}

// Ogg Opus or Ogg Vorbis, for the Ogg module: the first packet of the first page is their ID header. Other
// codecs in Ogg (FLAC, Speex), or a first stream of another kind, stay with FFmpeg.
bool oggOpusOrVorbis(const uint8_t *b, size_t n)
{
    if (n < 27 || std::memcmp(b, "OggS", 4) != 0 || n < 27 + size_t(b[26]) + 8)
        return false;
    const uint8_t *packet = b + 27 + b[26];
    return !std::memcmp(packet, "OpusHead", 8) || !std::memcmp(packet, "\x01vorbis", 7);
}

bool fileIsOgg(const std::string &name)
{
    uint8_t b[27 + 255 + 8];
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const ssize_t n = ::pread(fd, b, sizeof b, 0);
    ::close(fd);
    return n > 0 && oggOpusOrVorbis(b, size_t(n));
}

// The engine waited for the first bytes to choose this input; the rest of an Ogg page's header comes with
// them or soon after (a stream that holds it back goes to FFmpeg).
bool streamIsOgg(StreamSource &source)
{
    uint8_t b[27 + 255 + 8];
    if (source.peek(b, 4, 0) < 4 || std::memcmp(b, "OggS", 4) != 0 || source.peek(b, 27, 1000) < 27)
        return false;
    return oggOpusOrVorbis(b, source.peek(b, 27 + size_t(b[26]) + 8, 1000));
}

// Native FLAC, for the FLAC module: its first bytes, or an ID3v2 tag where the server says FLAC (libFLAC
// skips the tag itself). The engine waited for these bytes to choose this input.
bool streamIsFlac(StreamSource &source)
{
    uint8_t head[4] = {};
    const size_t n = source.peek(head, sizeof head, 0);
    if (n == sizeof head && !std::memcmp(head, "fLaC", 4))
        return true;
    const std::string type = source.contentType();
    return n >= 3 && !std::memcmp(head, "ID3", 3) && (type == "audio/flac" || type == "audio/x-flac");
}

} // namespace

FfmpegInput::~FfmpegInput()
{
    if (m_input)
        m_module->close(m_input);
}

bool FfmpegInput::hasOwnExtension(const std::string &name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const char *own : {"flac", "ogg", "oga", "opus", "m4a", "mp4", "aac", "wav", "aif", "aiff", "wv"})
        if (ext == own)
            return true;
    return false;
}

bool FfmpegInput::startsAsOwnFormat(const std::string &name)
{
    unsigned char b[12] = {};
    if (!readHead(name, b))
        return false;
    auto is = [&b](size_t at, const char *magic) { return !std::memcmp(b + at, magic, std::strlen(magic)); };
    return is(0, "fLaC") || is(0, "OggS") || is(0, "wvpk") || is(4, "ftyp") ||
           ((is(0, "RIFF") || is(0, "RF64")) && is(8, "WAVE")) ||
           (is(0, "FORM") && (is(8, "AIFF") || is(8, "AIFC")));
}

int FfmpegInput::readFile(void *user, uint8_t *buffer, int size)
{
    return int(static_cast<FfmpegInput *>(user)->m_file.read(buffer, size_t(std::max(size, 0))));
}

int64_t FfmpegInput::seekFile(void *user, int64_t offset, int whence)
{
    BufferedFile &file = static_cast<FfmpegInput *>(user)->m_file;
    if (whence == VORLAN_AV_SIZE)
        return file.size();
    return file.seek(off_t(offset), whence);
}

int FfmpegInput::readStream(void *user, uint8_t *buffer, int size)
{
    auto *self = static_cast<FfmpegInput *>(user);
    if (!self->m_keeping && self->m_replayed < self->m_kept.size()) {
        // What the first module read, again.
        const size_t n = std::min(size_t(std::max(size, 0)), self->m_kept.size() - self->m_replayed);
        std::memcpy(buffer, self->m_kept.data() + self->m_replayed, n);
        self->m_replayed += n;
        if (self->m_replayed == self->m_kept.size()) {
            std::vector<uint8_t>().swap(self->m_kept);
            self->m_replayed = 0;
        }
        return int(n);
    }
    while (true) {
        const long n = self->m_source->read(buffer, size_t(std::max(size, 0)), 50);
        if (n > 0) {
            if (self->m_keeping && self->m_keptAll) {
                if (self->m_kept.size() + size_t(n) <= MaxKept) {
                    self->m_kept.insert(self->m_kept.end(), buffer, buffer + n);
                } else {
                    self->m_keptAll = false;
                    std::vector<uint8_t>().swap(self->m_kept);
                }
            }
            return int(n);
        }
        if (n < 0)
            return self->m_source->failed() ? -1 : 0;
        if (self->m_cancel && self->m_cancel()) {
            self->m_cancelled = true;
            return -1;
        }
        if (self->m_opening && std::chrono::steady_clock::now() > self->m_openDeadline) {
            self->m_timedOut = true;
            return -1;
        }
    }
}

bool FfmpegInput::start(const DecoderModules::Entries *module, VorlanAvRead read, VorlanAvSeek seek,
                        int flags, const std::string &name, int *err, std::string *text)
{
    char why[256] = {};
    m_input = module->open(read, seek, this, flags, &m_info, why, int(sizeof why));
    if (!m_input) {
        *err = XA_ERROR_INPUT_DAMAGED;
        *text = "cannot open " + name + ": " + why;
        return false;
    }
    m_module = module;
    return true;
}

bool FfmpegInput::open(const std::string &name, bool sureOnly, int *err, std::string *text)
{
    unsigned char head[12] = {};
    // The module of the format's own library, if it has one.
    const DecoderModules::Entries *own = readHead(name, head) && !std::memcmp(head, "fLaC", 4)
                                             ? DecoderModules::flac()
                                         : fileIsOgg(name) ? DecoderModules::ogg()
                                                           : nullptr;
    if (!own && !DecoderModules::ffmpeg()) {
        *err = XA_ERROR_NOT_SUPPORTED;
        *text = "cannot open " + name + ": the FFmpeg module (libvorlan-ffmpeg.so) cannot be loaded";
        return false;
    }
    if (!m_file.open(name)) {
        *err = XA_ERROR_INPUT_OPEN_FAILED;
        *text = "cannot open " + name + ": " + std::strerror(errno);
        return false;
    }
    const int flags = sureOnly ? VORLAN_AV_SURE_ONLY : 0;
    if (own) {
        if (start(own, readFile, seekFile, flags, name, err, text))
            return true;
        // FFmpeg decodes these formats too, and may take what their own library does not.
        if (!DecoderModules::ffmpeg() || m_file.seek(0, SEEK_SET) != 0)
            return false;
    }
    return start(DecoderModules::ffmpeg(), readFile, seekFile, flags, name, err, text);
}

bool FfmpegInput::openStream(StreamSource *source, std::function<bool()> cancel, int openSeconds, int *err,
                             std::string *text)
{
    const DecoderModules::Entries *own = streamIsFlac(*source)  ? DecoderModules::flac()
                                         : streamIsOgg(*source) ? DecoderModules::ogg()
                                                                : nullptr;
    if (!own && !DecoderModules::ffmpeg()) {
        *err = XA_ERROR_NOT_SUPPORTED;
        *text = "cannot play the stream: the FFmpeg module (libvorlan-ffmpeg.so) cannot be loaded";
        return false;
    }
    m_source = source;
    m_cancel = std::move(cancel);
    m_opening = true;
    m_openDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(openSeconds);
    bool ok = false;
    if (own) {
        m_keeping = true;
        ok = start(own, readStream, nullptr, 0, "the stream", err, text);
        m_keeping = false;
        // The FFmpeg module reads the stream from its start again, unless the first module read too much of
        // it.
        if (!ok && m_keptAll && !m_cancelled && !m_timedOut && !source->failed() && DecoderModules::ffmpeg())
            ok = start(DecoderModules::ffmpeg(), readStream, nullptr, 0, "the stream", err, text);
        else
            std::vector<uint8_t>().swap(m_kept);
    } else {
        ok = start(DecoderModules::ffmpeg(), readStream, nullptr, 0, "the stream", err, text);
    }
    m_opening = false;
    if (ok)
        return true;
    if (m_cancelled) {
        *err = XA_ERROR_ABORTED;
        *text = "opening the stream was cancelled";
    } else if (m_timedOut) {
        *err = XA_ERROR_TIMEOUT;
        *text = "no audio from the stream in " + std::to_string(openSeconds) + " seconds";
    } else if (source->failed()) {
        *err = XA_ERROR_NETWORK;
        *text = source->errorText();
    }
    return false;
}

long FfmpegInput::decode(const void **pcm, std::string *text)
{
    char why[256] = {};
    const long frames = m_module->decode(m_input, pcm, why, int(sizeof why));
    if (frames < 0)
        *text = why;
    return frames;
}

long FfmpegInput::rate() const
{
    return m_input ? m_module->rate(m_input) : m_info.rate;
}

bool FfmpegInput::seek(int64_t sample)
{
    return m_module->seek(m_input, sample) == 0;
}

int64_t FfmpegInput::tell() const
{
    return m_module->tell(m_input);
}

std::string FfmpegInput::tag(const char *key) const
{
    const DecoderModules::Entries *av = m_module;
    const int size = av->tag(m_input, key, nullptr, 0);
    if (size <= 0)
        return std::string();
    std::string value(size_t(size) + 1, '\0');
    av->tag(m_input, key, value.data(), size + 1);
    value.resize(size_t(size));
    return value;
}

int FfmpegInput::tagsChanged() const
{
    return m_module->tagsChanged(m_input);
}

std::string FfmpegInput::title() const
{
    const std::string title = tag("TITLE");
    const std::string artist = tag("ARTIST");
    if (title.empty())
        return std::string();
    return artist.empty() ? title : artist + " - " + title;
}

double FfmpegInput::replayGain() const
{
    // Numbers as written in tags: "-6.20 dB", "+1.5", "0.988"; never the locale's decimal comma.
    auto number = [](const std::string &text, double *value) {
        const char *begin = text.c_str(), *end = begin + text.size();
        while (begin < end && (*begin == ' ' || *begin == '+'))
            ++begin;
        const auto r = std::from_chars(begin, end, *value);
        return r.ec == std::errc() && r.ptr != begin && std::isfinite(*value);
    };
    double db = 0;
    const std::string r128 = tag("R128_TRACK_GAIN");
    if (!r128.empty() && codec() == "opus") {
        // Q7.8 fixed point: a whole number of 1/256 dB.
        char *end = nullptr;
        const long q = std::strtol(r128.c_str(), &end, 10);
        if (end == r128.c_str() || q < -32768 || q > 32767)
            return 1;
        db = double(q) / 256 + 5;
    } else if (!number(tag("REPLAYGAIN_TRACK_GAIN"), &db)) {
        return 1;
    }
    db = std::clamp(db, -60.0, 24.0);
    double factor = std::pow(10.0, db / 20);
    double peak = 0;
    if (number(tag("REPLAYGAIN_TRACK_PEAK"), &peak) && peak > 0 && factor * peak > 1)
        factor = 1 / peak;
    return factor;
}
