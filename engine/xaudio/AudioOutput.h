#pragma once
// The output devices by their player names: "/dev/dsound/N" is the sound server (PulseAudio or PipeWire),
// "/dev/wave/N" the sound card (ALSA, then the sound server), "wav:" + path a WAV file.
#include <cstddef>
#include <string>

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

    // Starts (or restarts, when the format changes) 16-bit output at this format.
    bool start(long rate, int channels, std::string *error);
    // Blocks while a device's buffer is full. False when the device failed.
    bool play(const void *data, size_t bytes, std::string *error);
    void drop();
    void drain();

private:
    out123_struct *m_ao = nullptr;
    std::string m_name;
    bool m_file = false;
    bool m_started = false;
    long m_rate = 0;
    int m_channels = 0;
};
