#include "engine/xaudio/AudioOutput.h"

#include <algorithm>
#include <cstdio>
#include <out123.h>

namespace
{

// Never the library's default list: with no sound server it can fall through to drivers that hang.
const char *driversFor(const std::string &name)
{
    if (name.rfind("/dev/dsound/", 0) == 0)
        return "pulse";
    if (name.rfind("/dev/wave/", 0) == 0)
        return "alsa,pulse";
    return nullptr;
}

} // namespace

AudioOutput::~AudioOutput()
{
    close();
}

bool AudioOutput::knownName(const std::string &name)
{
    return name.rfind("wav:", 0) == 0 || driversFor(name) != nullptr;
}

bool AudioOutput::open(const std::string &name, std::string *error)
{
    close();
    const bool file = name.rfind("wav:", 0) == 0;
    const char *drivers = driversFor(name);
    if (!file && !drivers) {
        *error = "unknown output " + name;
        return false;
    }
    std::string device;
    if (file) {
        device = name.substr(4);
        if (device.empty()) {
            *error = "no file name for the WAV output";
            return false;
        }
        // The writer only opens the file when sound starts; find out now whether it can be created.
        FILE *probe = std::fopen(device.c_str(), "ab");
        if (!probe) {
            *error = "cannot create " + device;
            return false;
        }
        std::fclose(probe);
    }
    m_ao = out123_new();
    if (!m_ao) {
        *error = "out of memory";
        return false;
    }
    // The flags replace the defaults: without "keep playing", a write stops after one block of the output
    // (16 KiB), and a slowed-down frame is more than that.
    out123_param_int(m_ao, OUT123_FLAGS, OUT123_QUIET | OUT123_KEEP_PLAYING);
    // The name the sound server shows for the stream.
    out123_param_string(m_ao, OUT123_NAME, "Vorlan");
    // A short device buffer, so pause, volume and the equalizer are heard within a fraction of a second.
    if (!file)
        out123_param_float(m_ao, OUT123_DEVICEBUFFER, 0.2);
    if (out123_open(m_ao, file ? "wav" : drivers, file ? device.c_str() : nullptr) != OUT123_OK) {
        *error = out123_strerror(m_ao);
        out123_del(m_ao);
        m_ao = nullptr;
        return false;
    }
    if (!file) {
        // A sound device may load its driver fine and still refuse sound.
        if (out123_start(m_ao, 44100, 2, MPG123_ENC_SIGNED_16) != OUT123_OK) {
            *error = out123_strerror(m_ao);
            out123_del(m_ao);
            m_ao = nullptr;
            return false;
        }
        out123_stop(m_ao);
    }
    m_name = name;
    m_file = file;
    m_started = false;
    m_rate = 0;
    m_channels = 0;
    return true;
}

void AudioOutput::close()
{
    if (!m_ao)
        return;
    // What a device still holds is dropped, not played out: closing must not wait on a stuck device.
    if (m_started && !m_file)
        out123_drop(m_ao);
    if (m_started)
        out123_stop(m_ao);
    out123_del(m_ao);
    m_ao = nullptr;
    m_started = false;
    m_name.clear();
}

bool AudioOutput::start(long rate, int channels, int bits, std::string *error)
{
    if (!m_ao) {
        *error = "no output is open";
        return false;
    }
    if (m_started && rate == m_rate && channels == m_channels && bits == m_wantedBits)
        return true;
    if (m_started)
        out123_stop(m_ao);
    m_started = false;
    // The sound's own width where the device takes it; else the wider one, which loses nothing; else 16
    // bits. The mask out123 gives is the union of the encodings' flags, so a start may still refuse one.
    struct Width {
        int encoding, bits;
    };
    std::vector<Width> widths;
    if (bits > 16) {
        const int takes = out123_encodings(m_ao, rate, channels);
        const Width s24{MPG123_ENC_SIGNED_24, 24}, s32{MPG123_ENC_SIGNED_32, 32};
        for (const Width &w : bits > 24 ? std::vector<Width>{s32, s24} : std::vector<Width>{s24, s32})
            if (takes > 0 && (takes & w.encoding) == w.encoding)
                widths.push_back(w);
    }
    widths.push_back({MPG123_ENC_SIGNED_16, 16});
    bool started = false;
    for (const Width &w : widths) {
        if (out123_start(m_ao, rate, channels, w.encoding) == OUT123_OK) {
            m_bits = w.bits;
            started = true;
            break;
        }
    }
    if (!started) {
        *error = out123_strerror(m_ao);
        return false;
    }
    m_started = true;
    m_rate = rate;
    m_channels = channels;
    m_wantedBits = bits;
    return true;
}

bool AudioOutput::playDeep(const int32_t *samples, size_t count, std::string *error)
{
    if (m_bits == 32)
        return play(samples, count * sizeof(int32_t), error);
    // Rounded to the output's width, in the machine's byte order as out123 takes it.
    const int shift = m_bits == 24 ? 8 : 16;
    const int width = m_bits / 8;
    const int64_t half = int64_t(1) << (shift - 1);
    const int64_t top = (int64_t(1) << (m_bits - 1)) - 1;
    constexpr bool littleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    m_packed.resize(count * size_t(width));
    uint8_t *to = m_packed.data();
    for (size_t i = 0; i < count; ++i) {
        const int64_t v = std::min((int64_t(samples[i]) + half) >> shift, top);
        for (int b = 0; b < width; ++b)
            to[littleEndian ? b : width - 1 - b] = uint8_t(uint64_t(v) >> (8 * b));
        to += width;
    }
    return play(m_packed.data(), m_packed.size(), error);
}

bool AudioOutput::play(const void *data, size_t bytes, std::string *error)
{
    if (!m_ao || !m_started) {
        *error = "no output is open";
        return false;
    }
    const size_t written = out123_play(m_ao, const_cast<void *>(data), bytes);
    if (written < bytes) {
        *error = out123_strerror(m_ao);
        return false;
    }
    return true;
}

void AudioOutput::drop()
{
    if (m_ao && m_started)
        out123_drop(m_ao);
}

void AudioOutput::drain()
{
    if (m_ao && m_started)
        out123_drain(m_ao);
}
