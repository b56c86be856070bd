#include "engine/xaudio/FilterCascade.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace
{

// The filters run as a cascade, but side by side: lanes hold (filter, channel) pairs, and the filter in slot
// p works on the sample that entered Lag * p steps before. Every lane of a step is then independent, a step
// is a few vector operations, and a filter's output is wanted only Lag steps after it is made, so the
// latency of one step's arithmetic overlaps the steps after it. The longest way from a filter's input to the
// next filter's is four multiply-adds and a shuffle, over Lag + 1 steps: with a lag of four a step waits on
// nothing but the processor's arithmetic units, however few filters there are.
constexpr long Lag = 4;

// Eight lanes: sixteen measured slower in the decoder, whose own code then runs slower too.
typedef float f8 __attribute__((vector_size(32)));
typedef int i8 __attribute__((vector_size(32)));
// The same bits as pairs of floats: a stereo frame is one element.
typedef long long l4 __attribute__((vector_size(32)));
template <class V> struct PairsOf {
    using type = l4;
};

template <class V> constexpr long widthOf = long(sizeof(V) / sizeof(float));

// A vector's inputs: the outputs of the lanes C places lower, from the vector below for its lowest lanes.
// (Vectors go by reference: by value they would need a calling convention the default target lacks.)
template <size_t C, class V, size_t... I>
__attribute__((always_inline)) inline void shifted(V &x, const V &low, const V &high,
                                                   std::index_sequence<I...>)
{
    x = __builtin_shufflevector(low, high, int(widthOf<V> - long(C) + long(I))...);
}
// The first vector's inputs: the new frame (in the first C lanes of `in`), then the lanes below.
template <size_t C, class V, size_t... I>
__attribute__((always_inline)) inline void entering(V &x, const V &in, const V &high,
                                                    std::index_sequence<I...>)
{
    x = __builtin_shufflevector(in, high, int(I < C ? long(I) : widthOf<V> + long(I) - long(C))...);
}

// to = a where live is all ones, b where it is zero.
template <class V, class I>
__attribute__((always_inline)) inline void pick(V &to, const I &live, const V &a, const V &b)
{
    to = V((I(a) & live) | (I(b) & ~live));
}

// Each filter runs as w(t) = c1 x(t) + c2 x(t-1) - a1 w(t-1) - a2 w(t-2), y(t) = b0 x(t) + w(t-1), with
// c1 = b1 - a1 b0 and c2 = b2 - a2 b0: the same filter as the transposed form (w is its z1), whose own
// recurrence is one multiply-add long. u carries c2 x(t-1).
template <class V, class I, size_t G> struct Bank {
    V b0[G], c1[G], na1[G], na2[G], c2[G];
    V w1[G], w2[G], u[G];
    I lag[G]; // Lag x the filter's slot
};

template <class V, class I, size_t G, size_t C, bool Masked>
__attribute__((always_inline)) inline void step(const Bank<V, I, G> &b, V *w1, V *w2, V *u, V *y,
                                                float *samples, long t, long frames, long depth)
{
    constexpr long W = widthOf<V>;
    using Pairs = typename PairsOf<V>::type;
    // The new frame, loaded into every lane (only the first C count), which takes no shuffle.
    V in = {};
    if (!Masked || t < frames) {
        if constexpr (C == 2) {
            long long frame;
            std::memcpy(&frame, samples + t * 2, sizeof frame);
            in = V(Pairs{} + frame);
        } else {
            in = V{} + samples[t];
        }
    }
    // y holds what every lane gave out Lag steps ago: the inputs of the lanes above it now.
    V x[G];
    using Lanes = std::make_index_sequence<size_t(W)>;
    entering<C>(x[0], in, y[0], Lanes{});
    for (size_t g = 1; g < G; ++g)
        shifted<C>(x[g], y[g - 1], y[g], Lanes{});
    for (size_t g = 0; g < G; ++g) {
        const V k = b.c1[g] * x[g] + u[g];
        const V p = b.na2[g] * w2[g] + k;
        const V w = b.na1[g] * w1[g] + p;
        y[g] = b.b0[g] * x[g] + w1[g];
        if constexpr (Masked) {
            // Lanes working on a sample outside this block (filling or draining the pipeline) keep their
            // memory. lag <= t and lag > t - frames, by the signs of the differences: plain vector
            // arithmetic, where comparisons would not stay vectors in every clone.
            const I live = ((b.lag[g] - int(t + 1)) >> 31) & ((int(t - frames) - b.lag[g]) >> 31);
            pick(w2[g], live, w1[g], w2[g]);
            pick(w1[g], live, w, w1[g]);
            pick(u[g], live, V(b.c2[g] * x[g] + V{}), u[g]);
        } else {
            w2[g] = w1[g];
            w1[g] = w;
            // A multiply-add, not a multiply: the compiler would fuse a bare product into the next
            // step's first sum and put the new sample behind it, on the long path.
            u[g] = b.c2[g] * x[g] + V{};
        }
    }
    const long n = t - depth;
    if (!Masked || (n >= 0 && n < frames)) {
        if constexpr (C == 2) {
            const long long frame = Pairs(y[G - 1])[W / 2 - 1];
            std::memcpy(samples + n * 2, &frame, sizeof frame);
        } else {
            samples[n] = y[G - 1][W - 1];
        }
    }
}

// Lag steps in a row, each with its own place in y, so no step waits on the one before it.
template <class V, class I, size_t G, size_t C, bool Masked, size_t... K>
__attribute__((always_inline)) inline void steps(const Bank<V, I, G> &b, V *w1, V *w2, V *u, V (*y)[G],
                                                 float *samples, long t, long frames, long depth,
                                                 std::index_sequence<K...>)
{
    (step<V, I, G, C, Masked>(b, w1, w2, u, y[K], samples, t + long(K), frames, depth), ...);
}

template <class V, class I, size_t G, size_t C>
__attribute__((always_inline)) inline void pipeline(Bank<V, I, G> &b, float *samples, long frames)
{
    constexpr long Depth = Lag * (G * widthOf<V> / long(C) - 1); // steps from a sample's entry to its exit
    using Ks = std::make_index_sequence<size_t(Lag)>;
    V w1[G], w2[G], u[G], y[Lag][G];
    for (size_t g = 0; g < G; ++g) {
        w1[g] = b.w1[g];
        w2[g] = b.w2[g];
        u[g] = b.u[g];
        for (long k = 0; k < Lag; ++k)
            y[k][g] = V{};
    }
    long t = 0;
    for (; t < Depth; t += Lag)
        steps<V, I, G, C, true>(b, w1, w2, u, y, samples, t, frames, Depth, Ks{});
    for (; t + Lag <= frames; t += Lag)
        steps<V, I, G, C, false>(b, w1, w2, u, y, samples, t, frames, Depth, Ks{});
    for (; t < frames + Depth; t += Lag)
        steps<V, I, G, C, true>(b, w1, w2, u, y, samples, t, frames, Depth, Ks{});
    for (size_t g = 0; g < G; ++g) {
        b.w1[g] = w1[g];
        b.w2[g] = w2[g];
        b.u[g] = u[g];
    }
}

#if defined(__x86_64__) && !defined(__clang__)
// With AVX-512 the eight lanes have thirty-two registers, enough for all three vectors' filters.
template <size_t G, size_t C>
__attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default"))) void
pipeline8(Bank<f8, i8, G> &b, float *samples, long frames)
{
    pipeline<f8, i8, G, C>(b, samples, frames);
}
#else
template <size_t G, size_t C> void pipeline8(Bank<f8, i8, G> &b, float *samples, long frames)
{
    pipeline<f8, i8, G, C>(b, samples, frames);
}
#endif

template <class V, class I, size_t G, size_t C>
void run(const Biquad *filters, BiquadHistory *history, int stages, float *samples, size_t frames)
{
    constexpr long W = widthOf<V>;
    Bank<V, I, G> b;
    for (long lane = 0; lane < long(G) * W; ++lane) {
        const size_t v = size_t(lane / W);
        const long i = lane % W;
        const long slot = lane / long(C);
        Biquad f;
        BiquadHistory h;
        if (slot < stages) {
            f = filters[lane];
            h = history[lane];
        }
        const float na2 = float(-f.a2);
        b.b0[v][i] = float(f.b0);
        b.c1[v][i] = float(f.b1 - f.a1 * f.b0);
        b.c2[v][i] = float(f.b2 - f.a2 * f.b0);
        b.na1[v][i] = float(-f.a1);
        b.na2[v][i] = na2;
        // z1 is w(t-1); z2 is c2 x(t-1) - a2 w(t-2), all of it carried in u.
        b.w1[v][i] = h.z1;
        b.w2[v][i] = 0;
        b.u[v][i] = h.z2;
        b.lag[v][i] = int(Lag * slot);
    }
    pipeline8<G, C>(b, samples, long(frames));
    for (long lane = 0; lane < long(stages) * long(C); ++lane) {
        const size_t v = size_t(lane / W);
        const long i = lane % W;
        const float z1 = b.w1[v][i];
        const float z2 = b.u[v][i] + b.na2[v][i] * b.w2[v][i];
        // Denormals would slow the loop to a crawl in silence.
        history[lane].z1 = std::fabs(z1) < 1e-20f ? 0 : z1;
        history[lane].z2 = std::fabs(z2) < 1e-20f ? 0 : z2;
    }
}

template <class V, class I, size_t C>
void run(const Biquad *filters, BiquadHistory *history, int stages, float *samples, size_t frames)
{
    constexpr long W = widthOf<V>;
    switch ((long(stages) * long(C) + W - 1) / W) {
    case 1:
        run<V, I, 1, C>(filters, history, stages, samples, frames);
        break;
    case 2:
        run<V, I, 2, C>(filters, history, stages, samples, frames);
        break;
    default:
        run<V, I, 3, C>(filters, history, stages, samples, frames);
        break;
    }
}

} // namespace

void runCascade(const Biquad *filters, BiquadHistory *history, int stages, int channels, float *samples,
                size_t frames)
{
    stages = std::clamp(stages, 0, MaxCascadeStages);
    if (stages == 0 || frames == 0)
        return;
    if (channels == 2)
        run<f8, i8, 2>(filters, history, stages, samples, frames);
    else
        run<f8, i8, 1>(filters, history, stages, samples, frames);
}
