#include "engine/xaudio/SoundChain.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <syn123.h>

SoundChain::SoundChain() = default;

SoundChain::~SoundChain()
{
    if (m_resampler)
        syn123_del(m_resampler);
}

void SoundChain::setFormat(int rate, int channels)
{
    if (rate == m_rate && channels == m_channels)
        return;
    m_rate = rate;
    m_channels = std::clamp(channels, 1, 2);
    m_eq.setFormat(m_rate, m_channels);
    if (m_resampler) {
        syn123_del(m_resampler);
        m_resampler = nullptr;
        m_resamplerPitch = 0;
    }
}

void SoundChain::setPitch(int pitch)
{
    m_pitch = std::clamp(pitch, 10, 2000);
}

void SoundChain::setVolume(int balance, int pcmLevel, int masterLevel)
{
    m_balance = std::clamp(balance, 0, 100);
    m_pcm = std::clamp(pcmLevel, 0, 100);
    m_master = std::clamp(masterLevel, 0, 255);
}

void SoundChain::setMute(bool mute)
{
    m_mute = mute;
}

void SoundChain::clearHistory()
{
    m_snapGains = true;
    m_eq.clearHistory();
    if (m_resampler) {
        syn123_del(m_resampler);
        m_resampler = nullptr;
        m_resamplerPitch = 0;
    }
}

void SoundChain::targetGains(float &left, float &right) const
{
    const float level = m_mute ? 0.0f : (m_pcm / 100.0f) * (m_master / 255.0f);
    left = level * std::min(1.0f, (100 - m_balance) / 50.0f);
    right = level * std::min(1.0f, m_balance / 50.0f);
}

bool SoundChain::neutral() const
{
    float l, r;
    targetGains(l, r);
    return !m_eq.active() && m_pitch == 1000 && (m_channelMode == 0 || m_channels == 1) && l == 1.0f &&
           r == 1.0f && m_gainL == 1.0f && m_gainR == 1.0f;
}

void SoundChain::setupResampler()
{
    if (m_resampler && m_resamplerPitch == m_pitch)
        return;
    int err = 0;
    if (!m_resampler) {
        m_resampler = syn123_new(m_rate, m_channels, MPG123_ENC_FLOAT_32, 0, &err);
        if (!m_resampler)
            return;
    }
    // Playing rate x pitch/1000 samples per second of output changes pitch and tempo together.
    long in = long(m_rate) * m_pitch;
    long out = long(m_rate) * 1000;
    const long g = std::gcd(in, out);
    in /= g;
    out /= g;
    if (syn123_setup_resample(m_resampler, in, out, m_channels, 0, 1) != SYN123_OK) {
        syn123_del(m_resampler);
        m_resampler = nullptr;
        return;
    }
    m_resamplerPitch = m_pitch;
}

namespace
{

// Scales by the channels' gains, gliding from the current ones to the targets, and converts to Sample.
template <typename Sample, typename Convert>
void applyGains(const float *samples, size_t count, int ch, float step, float targetL, float targetR,
                float &gainL, float &gainR, Sample *out, Convert convert)
{
    auto glide = [step](float current, float target) {
        if (current < target)
            return std::min(target, current + step);
        return std::max(target, current - step);
    };
    size_t n = 0;
    // While a level glides, sample by sample; then at the steady level in a loop the compiler vectorizes.
    for (; n < count && (gainL != targetL || gainR != targetR); ++n) {
        gainL = glide(gainL, targetL);
        gainR = glide(gainR, targetR);
        for (int c = 0; c < ch; ++c) {
            const float gain = (ch == 1) ? std::max(gainL, gainR) : (c == 0 ? gainL : gainR);
            out[n * size_t(ch) + size_t(c)] = convert(samples[n * size_t(ch) + size_t(c)] * gain);
        }
    }
    if (ch == 2) {
        const float gl = gainL, gr = gainR;
        for (; n < count; ++n) {
            out[2 * n] = convert(samples[2 * n] * gl);
            out[2 * n + 1] = convert(samples[2 * n + 1] * gr);
        }
    } else {
        const float g = std::max(gainL, gainR);
        for (; n < count; ++n)
            out[n] = convert(samples[n] * g);
    }
}

int32_t roundToDeep(float v)
{
    const double d = std::clamp(double(v) * 2147483648.0, -2147483648.0, 2147483647.0);
    return int32_t(std::lrint(d));
}

} // namespace

float *SoundChain::shape(size_t frames, size_t *count)
{
    const int ch = m_channels;
    if (m_eq.active())
        m_eq.process(m_work.data(), frames);

    float *samples = m_work.data();
    *count = frames;
    if (m_pitch != 1000) {
        setupResampler();
        if (m_resampler) {
            long inRate = long(m_rate) * m_pitch, outRate = long(m_rate) * 1000;
            const long g = std::gcd(inRate, outRate);
            inRate /= g;
            outRate /= g;
            m_resampled.resize(syn123_resample_count(inRate, outRate, frames) * size_t(ch) + size_t(ch));
            const size_t maxIn = std::max<size_t>(1, syn123_resample_maxincount(inRate, outRate));
            size_t produced = 0;
            for (size_t done = 0; done < frames;) {
                const size_t n = std::min(maxIn, frames - done);
                const size_t need = syn123_resample_count(inRate, outRate, n) + produced;
                if (m_resampled.size() < need * size_t(ch))
                    m_resampled.resize(need * size_t(ch));
                produced += syn123_resample(m_resampler, m_resampled.data() + produced * size_t(ch),
                                            m_work.data() + done * size_t(ch), n);
                done += n;
            }
            samples = m_resampled.data();
            *count = produced;
        }
    } else if (m_resampler) {
        syn123_del(m_resampler);
        m_resampler = nullptr;
        m_resamplerPitch = 0;
    }

    if (ch == 2 && m_channelMode != 0) {
        for (size_t n = 0; n < *count; ++n) {
            float &l = samples[2 * n];
            float &r = samples[2 * n + 1];
            switch (m_channelMode) {
            case 1:
                r = l;
                break;
            case 2:
                l = r;
                break;
            case 3:
                l = r = 0.5f * (l + r);
                break;
            default:
                break;
            }
        }
    }
    return samples;
}

bool SoundChain::passesUntouched()
{
    if (!neutral())
        return false;
    if (m_resampler)
        clearHistory();
    m_snapGains = false;
    return true;
}

void SoundChain::snapGains(float targetL, float targetR)
{
    // Settings made before the sound starts apply from its first sample.
    if (m_snapGains) {
        m_gainL = targetL;
        m_gainR = targetR;
        m_snapGains = false;
    }
}

const int16_t *SoundChain::process(const int16_t *in, size_t frames, size_t *outFrames)
{
    const int ch = m_channels;
    *outFrames = frames;
    if (passesUntouched())
        return in;

    float targetL, targetR;
    targetGains(targetL, targetR);
    snapGains(targetL, targetR);
    // Only the equalizer and a steady level: from 16 bits to 16 bits in the filters' own pass.
    if (m_pitch == 1000 && (m_channelMode == 0 || ch == 1) && m_gainL == targetL && m_gainR == targetR) {
        if (m_resampler) {
            syn123_del(m_resampler);
            m_resampler = nullptr;
            m_resamplerPitch = 0;
        }
        m_out.resize(frames * size_t(ch));
        const float mono = std::max(m_gainL, m_gainR);
        m_eq.process(in, m_out.data(), frames, ch == 1 ? mono : m_gainL, ch == 1 ? mono : m_gainR);
        return m_out.data();
    }

    m_work.resize(frames * size_t(ch));
    for (size_t i = 0; i < m_work.size(); ++i)
        m_work[i] = in[i] * (1.0f / 32768.0f);
    size_t count = 0;
    const float *samples = shape(frames, &count);
    m_out.resize(count * size_t(ch));
    // Reach a new level in 20 ms so a slider move does not click.
    const float step = 1.0f / (0.02f * float(m_rate));
    applyGains(samples, count, ch, step, targetL, targetR, m_gainL, m_gainR, m_out.data(),
               [](float v) { return roundToPcm(v * 32768.0f); });
    *outFrames = count;
    return m_out.data();
}

const int32_t *SoundChain::process(const int32_t *in, size_t frames, size_t *outFrames)
{
    const int ch = m_channels;
    *outFrames = frames;
    if (passesUntouched())
        return in;

    float targetL, targetR;
    targetGains(targetL, targetR);
    snapGains(targetL, targetR);
    // A float keeps 24 bits, as many as a deep source has below its sign.
    m_work.resize(frames * size_t(ch));
    for (size_t i = 0; i < m_work.size(); ++i)
        m_work[i] = float(in[i]) * (1.0f / 2147483648.0f);
    size_t count = 0;
    const float *samples = shape(frames, &count);
    m_deepOut.resize(count * size_t(ch));
    const float step = 1.0f / (0.02f * float(m_rate));
    applyGains(samples, count, ch, step, targetL, targetR, m_gainL, m_gainR, m_deepOut.data(), roundToDeep);
    *outFrames = count;
    return m_deepOut.data();
}
