#include "engine/xaudio/BandEqualizer.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

namespace
{

using Coefficients = BandEqualizer::Coefficients;
constexpr int Groups = BandEqualizer::Groups;
const auto &Labels = BandEqualizer::GroupLabels;

// Above this part of the rate a label has nothing left to act on.
constexpr double TopOfRange = 0.45;
// Peaking filters are this much wider than the space between the neighbouring labels' midpoints, so a run of
// equal sliders rises as one; and sit this far towards the middle of that space, which helps where the labels
// lie unevenly (780, 1K, 3K).
constexpr double Widen = 1.3;
constexpr double TowardsMiddle = 0.2;
// The low shelf turns over between the 60 and 150 labels, near 150, so 60 Hz and below get the full gain.
constexpr double ShelfPlace = 0.9;
// Solved gains are kept within this; filters whose gain stays under Negligible are left out.
constexpr double MaxFilterDb = 30;
constexpr double NegligibleDb = 0.05;

Coefficients design(int group, double gainDb, double rate)
{
    const double a = std::pow(10.0, gainDb / 40.0);
    Coefficients c;
    if (group == 0) {
        // Low shelf with slope 1.
        const double f0 = Labels[0] * std::pow(Labels[1] / Labels[0], ShelfPlace);
        const double w0 = 2 * M_PI * f0 / rate, cs = std::cos(w0), sn = std::sin(w0);
        const double sa = 2 * std::sqrt(a) * sn / std::sqrt(2.0);
        const double a0 = (a + 1) + (a - 1) * cs + sa;
        c.b0 = a * ((a + 1) - (a - 1) * cs + sa) / a0;
        c.b1 = 2 * a * ((a - 1) - (a + 1) * cs) / a0;
        c.b2 = a * ((a + 1) - (a - 1) * cs - sa) / a0;
        c.a1 = -2 * ((a - 1) + (a + 1) * cs) / a0;
        c.a2 = ((a + 1) + (a - 1) * cs - sa) / a0;
        return c;
    }
    const double label = Labels[size_t(group)];
    const double lower = std::sqrt(label * Labels[size_t(group - 1)]);
    const double upper = group == Groups - 1 ? label * std::sqrt(label / Labels[size_t(group - 1)])
                                             : std::sqrt(label * Labels[size_t(group + 1)]);
    const double octaves = std::log2(upper / lower) * Widen;
    const double centre = label * std::pow(std::sqrt(lower * upper) / label, TowardsMiddle);
    const double w0 = 2 * M_PI * std::min(centre, 0.48 * rate) / rate, cs = std::cos(w0), sn = std::sin(w0);
    const double alpha = sn * std::sinh(std::log(2.0) / 2 * octaves * w0 / sn);
    const double a0 = 1 + alpha / a;
    c.b0 = (1 + alpha * a) / a0;
    c.b1 = -2 * cs / a0;
    c.b2 = (1 - alpha * a) / a0;
    c.a1 = c.b1;
    c.a2 = (1 - alpha / a) / a0;
    return c;
}

double responseDb(const Coefficients &c, double hz, double rate)
{
    const std::complex<double> z = std::polar(1.0, -2 * M_PI * hz / rate);
    const std::complex<double> h = (c.b0 + c.b1 * z + c.b2 * z * z) / (1.0 + c.a1 * z + c.a2 * z * z);
    return 20 * std::log10(std::max(std::abs(h), 1e-12));
}

// Solves m x = v in place (v becomes x); m is small and well conditioned.
void solve(std::vector<std::vector<double>> m, std::vector<double> &v)
{
    const size_t n = v.size();
    for (size_t i = 0; i < n; ++i) {
        size_t pivot = i;
        for (size_t r = i + 1; r < n; ++r)
            if (std::fabs(m[r][i]) > std::fabs(m[pivot][i]))
                pivot = r;
        std::swap(m[i], m[pivot]);
        std::swap(v[i], v[pivot]);
        if (std::fabs(m[i][i]) < 1e-12)
            continue;
        for (size_t r = 0; r < n; ++r) {
            if (r == i)
                continue;
            const double f = m[r][i] / m[i][i];
            for (size_t k = i; k < n; ++k)
                m[r][k] -= f * m[i][k];
            v[r] -= f * v[i];
        }
    }
    for (size_t i = 0; i < n; ++i)
        v[i] = std::fabs(m[i][i]) < 1e-12 ? 0 : v[i] / m[i][i];
}

// The gains of the filters of the groups below the top of the range that give each label its target (dB).
// Overlapping filters add up, so the response at every label is corrected a few times over.
std::vector<double> solveGains(const std::vector<int> &groups, const std::vector<double> &target, double rate)
{
    const size_t n = groups.size();
    constexpr double Probe = 12;
    std::vector<std::vector<double>> spread(n, std::vector<double>(n));
    for (size_t j = 0; j < n; ++j) {
        const Coefficients c = design(groups[j], Probe, rate);
        for (size_t i = 0; i < n; ++i)
            spread[i][j] = responseDb(c, Labels[size_t(groups[i])], rate) / Probe;
    }
    std::vector<double> gains = target;
    solve(spread, gains);
    for (int round = 0; round < 3; ++round) {
        std::vector<Coefficients> bank;
        for (size_t j = 0; j < n; ++j)
            bank.push_back(design(groups[j], std::clamp(gains[j], -MaxFilterDb, MaxFilterDb), rate));
        std::vector<double> error(n);
        for (size_t i = 0; i < n; ++i) {
            double sum = 0;
            for (const Coefficients &c : bank)
                sum += responseDb(c, Labels[size_t(groups[i])], rate);
            error[i] = target[i] - sum;
        }
        solve(spread, error);
        for (size_t j = 0; j < n; ++j)
            gains[j] = std::clamp(gains[j] + error[j], -MaxFilterDb, MaxFilterDb);
    }
    return gains;
}

} // namespace

void BandEqualizer::setRecord(const XA_EqualizerInfo *info)
{
    m_on = info != nullptr;
    if (info)
        std::memcpy(&m_record, info, sizeof m_record);
    rebuild();
}

void BandEqualizer::setFormat(int rate, int channels)
{
    rate = rate > 0 ? rate : 44100;
    channels = std::clamp(channels, 1, 2);
    if (rate == m_rate && channels == m_channels)
        return;
    m_rate = rate;
    m_channels = channels;
    clearHistory();
    rebuild();
}

void BandEqualizer::rebuild()
{
    std::vector<int> groups;
    for (int g = 0; g < Groups; ++g)
        if (Labels[size_t(g)] < TopOfRange * m_rate)
            groups.push_back(g);
    const std::array<bool, Groups> wasUsed = m_used;
    m_used.fill(false);
    m_flat[0] = m_flat[1] = 1;
    // A mono stream is shaped by the left bands.
    for (int ch = 0; ch < m_channels; ++ch) {
        m_coef[ch].fill(Coefficients());
        if (!m_on || groups.empty())
            continue;
        const int8_t *bands = ch == 0 ? m_record.left : m_record.right;
        std::vector<double> target;
        for (int g : groups) {
            double sum = 0;
            for (int b = GroupFirstBand[size_t(g)]; b < GroupFirstBand[size_t(g) + 1]; ++b)
                sum += std::clamp<int>(bands[b], -80, 80);
            target.push_back(bandGainDb(sum / (GroupFirstBand[size_t(g) + 1] - GroupFirstBand[size_t(g)])));
        }
        std::vector<double> sorted = target;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        const double flatDb = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
        m_flat[ch] = float(std::pow(10.0, flatDb / 20.0));
        bool shaped = false;
        for (double &t : target) {
            t -= flatDb;
            shaped |= t != 0;
        }
        if (!shaped)
            continue;
        const std::vector<double> gains = solveGains(groups, target, m_rate);
        for (size_t i = 0; i < groups.size(); ++i) {
            const double g = gains[i];
            if (std::fabs(g) >= NegligibleDb) {
                m_coef[ch][size_t(groups[i])] = design(groups[i], g, m_rate);
                m_used[size_t(groups[i])] = true;
            }
        }
    }
    if (m_channels == 1)
        m_flat[1] = m_flat[0];
    m_filterCount = int(std::count(m_used.begin(), m_used.end(), true));
    // A filter that starts anew starts from silence.
    for (int g = 0; g < Groups; ++g)
        if (m_used[size_t(g)] && !wasUsed[size_t(g)])
            for (int ch = 0; ch < 2; ++ch)
                m_z1[ch][g] = m_z2[ch][g] = 0;
}

double BandEqualizer::responseDb(int channel, double hz) const
{
    const int ch = m_channels == 1 ? 0 : std::clamp(channel, 0, 1);
    double sum = 20 * std::log10(m_flat[ch]);
    for (int g = 0; g < Groups; ++g)
        if (m_used[size_t(g)])
            sum += ::responseDb(m_coef[ch][size_t(g)], hz, m_rate);
    return sum;
}

void BandEqualizer::clearHistory()
{
    std::memset(m_z1, 0, sizeof m_z1);
    std::memset(m_z2, 0, sizeof m_z2);
}

namespace
{

// The filters run as a cascade, but side by side: lane p of the pipeline works on the sample that lane p - 1
// finished one step before, so every lane of a step is independent and a step is a few vector operations.
// Lanes hold (filter, channel) pairs; eight lanes to a vector.
typedef float v8 __attribute__((vector_size(32)));
typedef int i8 __attribute__((vector_size(32)));

// Lanes of two vectors picked by index (0-7 the first, 8-15 the second), in each compiler's spelling.
#if defined(__clang__)
#define VORLAN_SHUFFLE(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define VORLAN_SHUFFLE(a, b, ...) __builtin_shuffle(a, b, i8{__VA_ARGS__})
#endif

constexpr size_t MaxVectors = 3; // 12 filters of 2 channels

struct Bank {
    v8 b0[MaxVectors], b1[MaxVectors], b2[MaxVectors], a1[MaxVectors], a2[MaxVectors];
    v8 z1[MaxVectors], z2[MaxVectors];
    i8 slot[MaxVectors]; // the filter's place in the cascade
};

// One step of the pipeline: x0 (and x1) enter the first filter; every lane takes what the lane before it
// gave out in the last step. In a masked step only the lanes working on a sample of this block keep their
// new history (the first steps fill the pipeline, the last ones drain it).
template <size_t G, size_t C, bool Masked>
__attribute__((always_inline)) inline void step(const Bank &b, v8 *z1, v8 *z2, v8 *y, float x0, float x1,
                                                int first, int last)
{
    v8 prev[G];
    for (size_t g = 0; g < G; ++g)
        prev[g] = y[g];
    for (size_t g = 0; g < G; ++g) {
        v8 x;
        if (g == 0) {
            const v8 in = {x0, x1, 0, 0, 0, 0, 0, 0};
            if constexpr (C == 2)
                x = VORLAN_SHUFFLE(in, prev[0], 0, 1, 8, 9, 10, 11, 12, 13);
            else
                x = VORLAN_SHUFFLE(in, prev[0], 0, 8, 9, 10, 11, 12, 13, 14);
        } else {
            if constexpr (C == 2)
                x = VORLAN_SHUFFLE(prev[g - 1], prev[g], 6, 7, 8, 9, 10, 11, 12, 13);
            else
                x = VORLAN_SHUFFLE(prev[g - 1], prev[g], 7, 8, 9, 10, 11, 12, 13, 14);
        }
        const v8 out = b.b0[g] * x + z1[g];
        const v8 n1 = b.b1[g] * x - b.a1[g] * out + z2[g];
        const v8 n2 = b.b2[g] * x - b.a2[g] * out;
        if constexpr (Masked) {
            const i8 live = (b.slot[g] >= first) & (b.slot[g] <= last);
            z1[g] = live ? n1 : z1[g];
            z2[g] = live ? n2 : z2[g];
        } else {
            z1[g] = n1;
            z2[g] = n2;
        }
        y[g] = out;
    }
}

// Where a bank's samples come from and go to: floats in place, or 16-bit frames in and out.
struct FloatIo {
    float *samples;
    float scale[2];
    template <size_t C> float in(long s, int c) const { return samples[s * long(C) + c]; }
    template <size_t C> void out(long n, int c, float y) const { samples[n * long(C) + c] = y * scale[c]; }
};

struct PcmIo {
    const int16_t *from;
    int16_t *to;
    float scale[2]; // flat factor x gain x 32768
    template <size_t C> float in(long s, int c) const
    {
        return float(from[s * long(C) + c]) * (1.0f / 32768.0f);
    }
    template <size_t C> void out(long n, int c, float y) const
    {
        to[n * long(C) + c] = roundToPcm(y * scale[c]);
    }
};

template <size_t G, size_t C, class Io>
#if defined(__x86_64__) && !defined(__clang__)
__attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#endif
void runBank(Bank &b, const Io &io, long frames)
{
    constexpr long Depth = long(G * 8 / C); // filters in the pipeline, pass-through ones included
    v8 z1[G], z2[G], y[G];
    for (size_t g = 0; g < G; ++g) {
        z1[g] = b.z1[g];
        z2[g] = b.z2[g];
        y[g] = v8{};
    }
    auto input = [&](long s, float &x0, float &x1) {
        x0 = s < frames ? io.template in<C>(s, 0) : 0.0f;
        x1 = C == 2 && s < frames ? io.template in<C>(s, 1) : 0.0f;
    };
    // The conversions ride along in the cascade's step, which waits on its own arithmetic anyway.
    auto output = [&](long s) {
        const long n = s - (Depth - 1);
        if (n < 0 || n >= frames)
            return;
        if constexpr (C == 2) {
            io.template out<C>(n, 0, y[G - 1][6]);
            io.template out<C>(n, 1, y[G - 1][7]);
        } else {
            io.template out<C>(n, 0, y[G - 1][7]);
        }
    };
    const long total = frames + Depth - 1;
    const long bodyEnd = std::max(Depth - 1, frames);
    float x0, x1;
    long s = 0;
    // Slot p works on sample s - p: live while 0 <= s - p < frames.
    for (; s < std::min(Depth - 1, total); ++s) {
        input(s, x0, x1);
        step<G, C, true>(b, z1, z2, y, x0, x1, int(s - frames + 1), int(s));
        output(s);
    }
    for (; s < bodyEnd; ++s) {
        step<G, C, false>(b, z1, z2, y, io.template in<C>(s, 0), C == 2 ? io.template in<C>(s, 1) : 0.0f, 0,
                          0);
        output(s);
    }
    for (; s < total; ++s) {
        input(s, x0, x1);
        step<G, C, true>(b, z1, z2, y, x0, x1, int(s - frames + 1), int(s));
        output(s);
    }
    for (size_t g = 0; g < G; ++g) {
        b.z1[g] = z1[g];
        b.z2[g] = z2[g];
    }
}

template <size_t C, class Io> void runBank(size_t vectors, Bank &b, const Io &io, long frames)
{
    switch (vectors) {
    case 1:
        runBank<1, C>(b, io, frames);
        break;
    case 2:
        runBank<2, C>(b, io, frames);
        break;
    default:
        runBank<3, C>(b, io, frames);
        break;
    }
}

} // namespace

void BandEqualizer::process(float *samples, size_t frames)
{
    const size_t channels = size_t(m_channels);
    if (m_filterCount == 0) {
        if (m_flat[0] == 1.0f && m_flat[1] == 1.0f)
            return;
        for (size_t n = 0; n < frames; ++n)
            for (size_t c = 0; c < channels; ++c)
                samples[n * channels + c] *= m_flat[c];
        return;
    }
    FloatIo io{samples, {m_flat[0], m_flat[1]}};
    runFilters(io, frames);
}

void BandEqualizer::process(const int16_t *in, int16_t *out, size_t frames, float gainLeft, float gainRight)
{
    const size_t channels = size_t(m_channels);
    const float scale[2] = {m_flat[0] * gainLeft, m_flat[1] * (channels == 1 ? gainLeft : gainRight)};
    if (m_filterCount == 0) {
        for (size_t n = 0; n < frames; ++n)
            for (size_t c = 0; c < channels; ++c) {
                out[n * channels + c] = roundToPcm(float(in[n * channels + c]) * scale[c]);
            }
        return;
    }
    PcmIo io{in, out, {scale[0] * 32768.0f, scale[1] * 32768.0f}};
    runFilters(io, frames);
}

template <class Io> void BandEqualizer::runFilters(Io &io, size_t frames)
{
    const size_t channels = size_t(m_channels);
    int used[Groups];
    int count = 0;
    for (int g = 0; g < Groups; ++g)
        if (m_used[size_t(g)])
            used[count++] = g;
    const size_t lanesUsed = size_t(count) * channels;
    const size_t vectors = std::min(MaxVectors, (lanesUsed + 7) / 8);
    Bank bank;
    for (size_t lane = 0; lane < vectors * 8; ++lane) {
        const size_t v = lane / 8, i = lane % 8;
        const size_t slot = lane / channels, ch = lane % channels;
        Coefficients c;
        float z1 = 0, z2 = 0;
        if (slot < size_t(count)) {
            const int g = used[slot];
            c = m_coef[ch][size_t(g)];
            z1 = m_z1[ch][g];
            z2 = m_z2[ch][g];
        }
        bank.b0[v][i] = float(c.b0);
        bank.b1[v][i] = float(c.b1);
        bank.b2[v][i] = float(c.b2);
        bank.a1[v][i] = float(c.a1);
        bank.a2[v][i] = float(c.a2);
        bank.z1[v][i] = z1;
        bank.z2[v][i] = z2;
        bank.slot[v][i] = int(slot);
    }
    if (channels == 2)
        runBank<2>(vectors, bank, io, long(frames));
    else
        runBank<1>(vectors, bank, io, long(frames));
    for (size_t lane = 0; lane < size_t(count) * channels; ++lane) {
        const size_t v = lane / 8, i = lane % 8;
        const int g = used[lane / channels];
        const size_t ch = lane % channels;
        // Denormals would slow the loop to a crawl in silence.
        const float z1 = bank.z1[v][i], z2 = bank.z2[v][i];
        m_z1[ch][g] = std::fabs(z1) < 1e-20f ? 0 : z1;
        m_z2[ch][g] = std::fabs(z2) < 1e-20f ? 0 : z2;
    }
}
