#pragma once
// The equalizer's filter bank. The 32 bands of a record sit at frequencies chosen so that the slider groups
// of the equalizer window land on their labels (60 Hz .. 16 kHz); each run of neighbouring bands with the
// same value becomes one peaking filter spanning the run, so a group of equal bands gives one bump at its
// label and the bands do not stack up. +-80 is +-12 dB; bands at 0 cost nothing.
#include "engine/xaudio/xaudio.h"

#include <array>
#include <vector>

class BandEqualizer
{
public:
    static const std::array<double, 32> &bandFrequencies();
    static double bandGainDb(int value) { return value * 12.0 / 80.0; }

    // Null switches the equalizer off.
    void setRecord(const XA_EqualizerInfo *info);
    void setFormat(int rate, int channels);
    // False when processing would change nothing.
    bool active() const;
    // Interleaved float samples, filtered in place.
    void process(float *samples, size_t frames);
    void clearHistory();

private:
    struct Filter {
        int first = 0, last = 0;
        double gainDb = 0;
        // Band-pass b0 (b1 = 0, b2 = -b0), feedback a1 and a2, and the weight G - 1.
        float b0 = 0, a1 = 0, a2 = 0, weight = 0;
        float z1 = 0, z2 = 0;
    };
    void rebuild();
    void design(Filter &f) const;

    bool m_on = false;
    XA_EqualizerInfo m_record{};
    int m_rate = 44100;
    int m_channels = 2;
    std::vector<Filter> m_filters[2];
};
