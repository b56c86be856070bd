#include "engine/xaudio/BandEqualizer.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{

// roundToPcm() of each sample times the gain of its channel (left, right, left, ...; mono: the first):
// clipped, rounded by the processor's own rounding (to even, as lrint()) and packed eight at a time.
void toPcm(const float *in, int16_t *out, size_t count, const float gain[2], size_t channels)
{
    size_t i = 0;
#ifdef __SSE2__
    const __m128 low = _mm_set1_ps(-32768.0f), high = _mm_set1_ps(32767.0f);
    const __m128 scale =
        channels == 2 ? _mm_setr_ps(gain[0], gain[1], gain[0], gain[1]) : _mm_set1_ps(gain[0]);
    for (; i + 8 <= count; i += 8) {
        const __m128 a = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(in + i), scale), low), high);
        const __m128 b = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_loadu_ps(in + i + 4), scale), low), high);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i),
                         _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
    }
#endif
    for (; i < count; ++i)
        out[i] = roundToPcm(in[i] * gain[channels == 2 ? i % 2 : 0]);
}

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
                m_history[ch][g] = BiquadHistory();
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
    for (auto &channel : m_history)
        std::fill(std::begin(channel), std::end(channel), BiquadHistory());
}

void BandEqualizer::process(float *samples, size_t frames)
{
    const size_t channels = size_t(m_channels);
    if (m_filterCount > 0)
        runFilters(samples, frames);
    if (m_flat[0] != 1.0f || m_flat[1] != 1.0f)
        for (size_t n = 0; n < frames; ++n)
            for (size_t c = 0; c < channels; ++c)
                samples[n * channels + c] *= m_flat[c];
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
    // The filters run on floats; the conversions on either side are plain loops that vectorise.
    m_scratch.resize(frames * channels);
    float *work = m_scratch.data();
    for (size_t i = 0; i < frames * channels; ++i)
        work[i] = float(in[i]) * (1.0f / 32768.0f);
    runFilters(work, frames);
    const float pcm[2] = {scale[0] * 32768.0f, scale[1] * 32768.0f};
    toPcm(work, out, frames * channels, pcm, channels);
}

void BandEqualizer::runFilters(float *samples, size_t frames)
{
    const size_t channels = size_t(m_channels);
    Biquad filters[MaxCascadeStages * 2];
    BiquadHistory history[MaxCascadeStages * 2];
    int count = 0;
    for (int g = 0; g < Groups; ++g) {
        if (!m_used[size_t(g)])
            continue;
        for (size_t ch = 0; ch < channels; ++ch) {
            filters[size_t(count) * channels + ch] = m_coef[ch][size_t(g)];
            history[size_t(count) * channels + ch] = m_history[ch][g];
        }
        ++count;
    }
    runCascade(filters, history, count, int(channels), samples, frames);
    count = 0;
    for (int g = 0; g < Groups; ++g) {
        if (!m_used[size_t(g)])
            continue;
        for (size_t ch = 0; ch < channels; ++ch)
            m_history[ch][g] = history[size_t(count) * channels + ch];
        ++count;
    }
}
