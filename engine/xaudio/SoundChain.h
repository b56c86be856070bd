#pragma once
// What happens to the decoded PCM before the output, in this order: equalizer, pitch (a rate change through a
// resampler), channel setting, volume and balance. With every setting neutral the samples pass untouched.
#include "engine/xaudio/BandEqualizer.h"

#include <cstdint>
#include <vector>

struct syn123_struct;

class SoundChain
{
public:
    SoundChain();
    ~SoundChain();
    SoundChain(const SoundChain &) = delete;
    SoundChain &operator=(const SoundChain &) = delete;

    void setFormat(int rate, int channels);
    void setEqualizer(const XA_EqualizerInfo *info) { m_eq.setRecord(info); }
    // 1000 is the normal rate; 500 plays at half speed and half pitch.
    void setPitch(int pitch);
    void setChannelMode(int mode) { m_channelMode = mode; }
    // Balance 0..100 (50 centre), PCM level 0..100, master level 0..255; gains are linear in the levels, so
    // PCM level 50 halves the amplitude. Changes glide over 20 ms.
    void setVolume(int balance, int pcmLevel, int masterLevel);
    void setMute(bool mute);
    // After a seek: no history from the old place.
    void clearHistory();

    bool neutral() const;
    // in: interleaved 16-bit frames of the current format. Returns the frames to play (their count may differ
    // with pitch): in itself when every setting is neutral, else the chain's own buffer.
    const int16_t *process(const int16_t *in, size_t frames, size_t *outFrames);
    // The same for 32-bit frames (a deep source's bits at the top); the work is done in floats.
    const int32_t *process(const int32_t *in, size_t frames, size_t *outFrames);

private:
    // True when the frames pass as they are, forgetting the history of the settings that did something.
    bool passesUntouched();
    void snapGains(float targetL, float targetR);
    // Equalizer, pitch and channel setting on m_work's frames: where the shaped ones are, and their count.
    float *shape(size_t frames, size_t *count);
    void targetGains(float &left, float &right) const;
    void setupResampler();

    int m_rate = 44100;
    int m_channels = 2;
    BandEqualizer m_eq;
    int m_pitch = 1000;
    int m_channelMode = 0;
    int m_balance = 50, m_pcm = 100, m_master = 255;
    bool m_mute = false;
    float m_gainL = 1, m_gainR = 1;
    bool m_snapGains = true;
    syn123_struct *m_resampler = nullptr;
    int m_resamplerPitch = 0;
    std::vector<float> m_work, m_resampled;
    std::vector<int16_t> m_out;
    std::vector<int32_t> m_deepOut;
};
