#pragma once
// The output devices by their player names: "/dev/dsound/N" is the sound server (PulseAudio or PipeWire),
// "/dev/wave/N" the sound card (ALSA, then the sound server), "wav:" + path a WAV file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct out123_struct;

class AudioOutput
{
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    static bool knownName(const std::string &name);
    // Opens and checks that the device takes sound; false with *error when it cannot.
    bool open(const std::string &name, std::string *error);
    void close();
    bool isOpen() const { return m_ao != nullptr; }
    std::string name() const { return m_name; }
    bool isFile() const { return m_file; }
    int channels() const { return m_channels; }

    // Starts (or restarts, when the format changes) output at this format, with samples of this many bits
    // (16, 24 or 32) when the device takes them, else the nearest it takes: bits() tells which.
    bool start(long rate, int channels, int bits, std::string *error);
    int bits() const { return m_bits; }
    // 16-bit samples, for an output started with 16 bits. Blocks while a device's buffer is full. False when
    // the device failed.
    bool play(const void *data, size_t bytes, std::string *error);
    // 32-bit samples with the sound's bits at the top, given out in the width the output was started with.
    bool playDeep(const int32_t *samples, size_t count, std::string *error);
    void drop();
    void drain();

private:
    out123_struct *m_ao = nullptr;
    std::string m_name;
    bool m_file = false;
    bool m_started = false;
    long m_rate = 0;
    int m_channels = 0;
    int m_bits = 16;
    int m_wantedBits = 16;
    std::vector<uint8_t> m_packed;
};
