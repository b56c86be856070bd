#pragma once
// The equalizer's filter bank. The 32 bands of a record fall into the twelve slider groups of the equalizer
// window (60 Hz .. 16 kHz); each group is one filter at its label: a low shelf for the lowest, peaking
// filters above. Neighbouring filters overlap, so their gains are solved together until every label gets
// exactly its group's gain. The gain most groups share (the median) is applied as a plain factor, so sliders
// all at one value give that gain at every frequency and cost no filtering. +-80 is +-12 dB.
#include "engine/xaudio/FilterCascade.h"
#include "engine/xaudio/xaudio.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A sample scaled to 16 bits, clipped and rounded half to even as lrint() does; written with the float adder
// (exact below 2^22), so loops of it vectorise.
inline int16_t roundToPcm(float v)
{
    v = std::min(std::max(v, -32768.0f), 32767.0f);
    return int16_t((v + 12582912.0f) - 12582912.0f);
}

class BandEqualizer
{
public:
    static constexpr int Groups = 12;
    // Group g takes bands GroupFirstBand[g] .. GroupFirstBand[g + 1] - 1 of a record.
    static constexpr std::array<int, Groups + 1> GroupFirstBand = {0,  1,  2,  3,  4,  5, 6,
                                                                   10, 15, 19, 23, 27, 32};
    static constexpr std::array<double, Groups> GroupLabels = {60,   150,  260,   500,   780,   1000,
                                                               3000, 6000, 10000, 12000, 14000, 16000};
    static double bandGainDb(double value) { return value * 12.0 / 80.0; }

    // Null switches the equalizer off. A group's gain is the mean of its bands.
    void setRecord(const XA_EqualizerInfo *info);
    void setFormat(int rate, int channels);
    // False when processing would change nothing.
    bool active() const { return m_filterCount > 0 || m_flat[0] != 1.0f || m_flat[1] != 1.0f; }
    // Interleaved float samples of the current format, filtered in place without delay.
    void process(float *samples, size_t frames);
    // The same from 16-bit frames to 16-bit frames, each channel also scaled by its gain, rounded and
    // clipped: the whole way in one pass, with the same history as process().
    void process(const int16_t *in, int16_t *out, size_t frames, float gainLeft, float gainRight);
    void clearHistory();

    // The designed gain of a channel at a frequency, in dB.
    double responseDb(int channel, double hz) const;

    using Coefficients = Biquad;

private:
    void rebuild();
    void runFilters(float *samples, size_t frames);

    bool m_on = false;
    XA_EqualizerInfo m_record{};
    int m_rate = 44100;
    int m_channels = 2;
    // Per channel: the flat factor, and the filters that do something, by group; unused ones pass through.
    float m_flat[2] = {1, 1};
    std::array<bool, Groups> m_used{};
    std::array<Coefficients, Groups> m_coef[2];
    int m_filterCount = 0;
    // Filter history per channel and group, kept while a filter stays so a slider move does not click.
    BiquadHistory m_history[2][Groups];
    std::vector<float> m_scratch;
};
