#pragma once
// The equalizer's twelve sliders per channel, their files ("Equalizer.cfg" and the presets under
// "Equalizer/": 24 lines of signed decimal, left sliders 1-12 then right sliders 1-12, CR LF), and the
// 64-byte record the decoder takes, built by spreading the sliders over the 32 bands of each channel.
#include <QString>
#include <array>
#include <cstdint>

#include "engine/xaudio/BandEqualizer.h"

struct EqualizerSettings {
    static constexpr int SliderCount = 12;
    static constexpr int BandCount = 32;
    static constexpr int MinValue = -80;
    static constexpr int MaxValue = 80;
    static const QString FileName;  // "Equalizer.cfg"
    static const QString PresetDir; // "Equalizer"

    // Slider n (0-based) drives bands FirstBand[n] .. FirstBand[n + 1] - 1.
    static constexpr std::array<int, SliderCount + 1> FirstBand = BandEqualizer::GroupFirstBand;

    std::array<int, SliderCount> left{};
    std::array<int, SliderCount> right{};

    // "Right = Left".
    void rightEqualsLeft() { right = left; }
    // "Reset".
    void reset()
    {
        left.fill(0);
        right.fill(0);
    }

    // Every band of each channel takes the value of its slider (kept within -80..80).
    XA_EqualizerInfo toEqualizerInfo() const;
    // The slider (0-based) that drives a band (0..31).
    static int sliderForBand(int band);

    // Reads a settings or preset file. The lines are taken in order, line k setting slider k (left 1-12, then
    // right 1-12); a line that is not a number leaves its slider as it was, and so do lines missing at the
    // end of a short file. Values are kept within -80..80, lines past the 24th are ignored. A file that
    // cannot be read leaves everything as it was and gives false.
    bool load(const QString &path);
    // Writes the 24 lines, replacing the file as a whole; false when it could not be written.
    bool save(const QString &path) const;

    bool operator==(const EqualizerSettings &) const = default;
};
