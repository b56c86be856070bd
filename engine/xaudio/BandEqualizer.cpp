#include "engine/xaudio/BandEqualizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// Bands of a slider group spread around the label, closer together where the labels are close.
void spread(std::array<double, 32> &f, int first, int count, double label, double ratio)
{
    for (int j = 0; j < count; ++j)
        f[size_t(first + j)] = label * std::pow(ratio, j - (count - 1) / 2.0);
}

} // namespace

const std::array<double, 32> &BandEqualizer::bandFrequencies()
{
    static const std::array<double, 32> freqs = [] {
        std::array<double, 32> f{};
        const double singles[6] = {60, 150, 260, 500, 780, 1000};
        for (int i = 0; i < 6; ++i)
            f[size_t(i)] = singles[i];
        spread(f, 6, 4, 3000, 1.1);
        spread(f, 10, 5, 6000, 1.1);
        spread(f, 15, 4, 10000, 1.03);
        spread(f, 19, 4, 12000, 1.03);
        spread(f, 23, 4, 14000, 1.03);
        spread(f, 27, 5, 16000, 1.03);
        return f;
    }();
    return freqs;
}

void BandEqualizer::setRecord(const XA_EqualizerInfo *info)
{
    m_on = info != nullptr;
    if (info)
        std::memcpy(&m_record, info, sizeof m_record);
    rebuild();
}

void BandEqualizer::setFormat(int rate, int channels)
{
    if (rate == m_rate && channels == m_channels)
        return;
    m_rate = rate > 0 ? rate : 44100;
    m_channels = std::clamp(channels, 1, 2);
    rebuild();
}

bool BandEqualizer::active() const
{
    return !m_filters[0].empty() || (m_channels == 2 && !m_filters[1].empty());
}

void BandEqualizer::design(Filter &f) const
{
    const auto &fr = bandFrequencies();
    double logSum = 0;
    for (int i = f.first; i <= f.last; ++i)
        logSum += std::log(fr[size_t(i)]);
    const double centre = std::exp(logSum / (f.last - f.first + 1));
    const double lower = f.first == 0 ? fr[0] / std::sqrt(fr[1] / fr[0])
                                      : std::sqrt(fr[size_t(f.first - 1)] * fr[size_t(f.first)]);
    const double upper = f.last == 31 ? fr[31] * std::sqrt(fr[31] / fr[30])
                                      : std::sqrt(fr[size_t(f.last)] * fr[size_t(f.last + 1)]);
    const double octaves = std::log2(upper / lower);

    const double w0 = 2 * M_PI * centre / m_rate;
    const double a = std::pow(10.0, f.gainDb / 40.0);
    const double alpha = std::sin(w0) * std::sinh(std::log(2.0) / 2 * octaves * w0 / std::sin(w0));
    const double a0 = 1 + alpha / a;
    f.b0 = float((1 + alpha * a) / a0);
    f.b1 = float(-2 * std::cos(w0) / a0);
    f.b2 = float((1 - alpha * a) / a0);
    f.a1 = f.b1;
    f.a2 = float((1 - alpha / a) / a0);
}

void BandEqualizer::rebuild()
{
    const auto &fr = bandFrequencies();
    for (int ch = 0; ch < 2; ++ch) {
        std::vector<Filter> next;
        if (m_on) {
            const int8_t *bands = ch == 0 ? m_record.left : m_record.right;
            int i = 0;
            while (i < 32) {
                const int v = std::clamp<int>(bands[i], -80, 80);
                int j = i;
                while (j + 1 < 32 && std::clamp<int>(bands[j + 1], -80, 80) == v)
                    ++j;
                // Above the Nyquist limit a band has nothing to act on.
                if (v != 0 && fr[size_t(i)] < 0.45 * m_rate) {
                    Filter f;
                    f.first = i;
                    f.last = j;
                    while (f.last > f.first && fr[size_t(f.last)] >= 0.45 * m_rate)
                        --f.last;
                    f.gainDb = bandGainDb(v);
                    design(f);
                    // A filter that stays keeps its history, so moving a slider does not click.
                    for (const Filter &old : m_filters[ch])
                        if (old.first == f.first && old.last == f.last) {
                            f.z1 = old.z1;
                            f.z2 = old.z2;
                        }
                    next.push_back(f);
                }
                i = j + 1;
            }
        }
        m_filters[ch] = std::move(next);
    }
}

void BandEqualizer::clearHistory()
{
    for (auto &bank : m_filters)
        for (Filter &f : bank)
            f.z1 = f.z2 = 0;
}

void BandEqualizer::process(float *samples, size_t frames)
{
    for (int ch = 0; ch < m_channels; ++ch) {
        for (Filter &f : m_filters[ch]) {
            float z1 = f.z1, z2 = f.z2;
            float *p = samples + ch;
            for (size_t n = 0; n < frames; ++n, p += m_channels) {
                const float x = *p;
                const float y = f.b0 * x + z1;
                z1 = f.b1 * x - f.a1 * y + z2;
                z2 = f.b2 * x - f.a2 * y;
                *p = y;
            }
            // Denormals would slow the loop to a crawl in silence.
            f.z1 = std::fabs(z1) < 1e-20f ? 0 : z1;
            f.z2 = std::fabs(z2) < 1e-20f ? 0 : z2;
        }
    }
}
