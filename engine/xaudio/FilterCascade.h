#pragma once
// A cascade of second-order filters over interleaved float samples, run as a vector pipeline.
#include <cstddef>

// One filter: b0 + b1 z^-1 + b2 z^-2 over 1 + a1 z^-1 + a2 z^-2.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
};

// A filter's memory between calls, in transposed direct form II: it carries over unchanged when the
// filter's coefficients change, so a new setting takes over without a click.
struct BiquadHistory {
    float z1 = 0, z2 = 0;
};

constexpr int MaxCascadeStages = 12;

// Filters `frames` frames of `channels` (1 or 2) interleaved samples in place through `stages` filters
// (at most MaxCascadeStages) per channel, in order, with no delay. Filter s of channel c is
// filters[s * channels + c], its memory history[s * channels + c].
void runCascade(const Biquad *filters, BiquadHistory *history, int stages, int channels, float *samples,
                size_t frames);
