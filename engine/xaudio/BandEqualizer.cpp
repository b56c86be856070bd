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
    // The peaking filter's alpha over A gives the band-pass that, weighted by A^2 - 1, adds up to it.
    const double bpAlpha = alpha / a;
    const double a0 = 1 + bpAlpha;
    f.b0 = float(bpAlpha / a0);
    f.a1 = float(-2 * std::cos(w0) / a0);
    f.a2 = float((1 - bpAlpha) / a0);
    f.weight = float(a * a - 1);
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

namespace
{

typedef float v4 __attribute__((vector_size(16)));
constexpr size_t MaxGroups = 8; // 32 filters, four to a group

struct Bank {
    v4 b0[MaxGroups], a1[MaxGroups], a2[MaxGroups], w[MaxGroups], z1[MaxGroups], z2[MaxGroups];
};

// G groups per channel known at compile time, so the filter states stay in registers across samples.
template <size_t G, size_t C> void runBanks(Bank *banks, float *samples, size_t frames)
{
    v4 z1[C][G], z2[C][G];
    for (size_t c = 0; c < C; ++c)
        for (size_t g = 0; g < G; ++g) {
            z1[c][g] = banks[c].z1[g];
            z2[c][g] = banks[c].z2[g];
        }
    for (size_t n = 0; n < frames; ++n) {
        for (size_t c = 0; c < C; ++c) {
            const Bank &b = banks[c];
            float &sample = samples[n * C + c];
            const v4 x = {sample, sample, sample, sample};
            v4 sum = {0, 0, 0, 0};
            for (size_t g = 0; g < G; ++g) {
                const v4 bx = b.b0[g] * x;
                const v4 y = bx + z1[c][g];
                z1[c][g] = z2[c][g] - b.a1[g] * y;
                z2[c][g] = -bx - b.a2[g] * y;
                sum += b.w[g] * y;
            }
            sample += (sum[0] + sum[1]) + (sum[2] + sum[3]);
        }
    }
    for (size_t c = 0; c < C; ++c)
        for (size_t g = 0; g < G; ++g) {
            banks[c].z1[g] = z1[c][g];
            banks[c].z2[g] = z2[c][g];
        }
}

template <size_t C> void runBanks(size_t groups, Bank *banks, float *samples, size_t frames)
{
    switch (groups) {
    case 1:
        runBanks<1, C>(banks, samples, frames);
        break;
    case 2:
        runBanks<2, C>(banks, samples, frames);
        break;
    case 3:
        runBanks<3, C>(banks, samples, frames);
        break;
    case 4:
        runBanks<4, C>(banks, samples, frames);
        break;
    case 5:
        runBanks<5, C>(banks, samples, frames);
        break;
    case 6:
        runBanks<6, C>(banks, samples, frames);
        break;
    case 7:
        runBanks<7, C>(banks, samples, frames);
        break;
    default:
        runBanks<8, C>(banks, samples, frames);
        break;
    }
}

} // namespace

void BandEqualizer::process(float *samples, size_t frames)
{
    const size_t channels = size_t(m_channels);
    size_t groups = 0;
    for (size_t ch = 0; ch < channels; ++ch)
        groups = std::max(groups, std::min(MaxGroups, (m_filters[ch].size() + 3) / 4));
    if (groups == 0)
        return;
    Bank banks[2];
    for (size_t ch = 0; ch < channels; ++ch) {
        const auto &filters = m_filters[ch];
        for (size_t g = 0; g < groups; ++g) {
            for (size_t lane = 0; lane < 4; ++lane) {
                const size_t k = g * 4 + lane;
                // Lanes without a filter have weight 0 and add nothing.
                const Filter f = k < filters.size() ? filters[k] : Filter();
                banks[ch].b0[g][lane] = f.b0;
                banks[ch].a1[g][lane] = f.a1;
                banks[ch].a2[g][lane] = f.a2;
                banks[ch].w[g][lane] = f.weight;
                banks[ch].z1[g][lane] = f.z1;
                banks[ch].z2[g][lane] = f.z2;
            }
        }
    }
    if (channels == 2)
        runBanks<2>(groups, banks, samples, frames);
    else
        runBanks<1>(groups, banks, samples, frames);
    for (size_t ch = 0; ch < channels; ++ch) {
        auto &filters = m_filters[ch];
        for (size_t k = 0; k < filters.size() && k / 4 < groups; ++k) {
            // Denormals would slow the loop to a crawl in silence.
            const float z1 = banks[ch].z1[k / 4][k % 4], z2 = banks[ch].z2[k / 4][k % 4];
            filters[k].z1 = std::fabs(z1) < 1e-20f ? 0 : z1;
            filters[k].z2 = std::fabs(z2) < 1e-20f ? 0 : z2;
        }
    }
}
