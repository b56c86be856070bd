#pragma once
// Reads the PCM of a WAV file and measures it, for tests of what the player wrote. 24- and 32-bit files are
// also measured at 16 bits, by their top bits.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cmath>
#include <cstring>
#include <vector>

struct WavData {
    int rate = 0;
    int channels = 0;
    int bits = 0;
    std::vector<int16_t> samples; // interleaved
    std::vector<int32_t> deep;    // of a 24- or 32-bit file: each sample at the top of 32 bits
    bool ok = false;

    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }

    double rms(int channel, size_t from = 0, size_t to = SIZE_MAX) const
    {
        to = std::min(to, frames());
        double sum = 0;
        size_t n = 0;
        for (size_t i = from; i < to; ++i, ++n) {
            const double v = samples[i * size_t(channels) + size_t(channel)];
            sum += v * v;
        }
        return n ? std::sqrt(sum / double(n)) : 0;
    }

    int peak(int channel) const
    {
        int p = 0;
        for (size_t i = 0; i < frames(); ++i)
            p = std::max(p, std::abs(int(samples[i * size_t(channels) + size_t(channel)])));
        return p;
    }

    // Frequency from the rising zero crossings of the middle half of a channel.
    double frequency(int channel) const
    {
        const size_t from = frames() / 4, to = frames() * 3 / 4;
        long first = -1, last = -1, count = 0;
        for (size_t i = from + 1; i < to; ++i) {
            const int a = samples[(i - 1) * size_t(channels) + size_t(channel)];
            const int b = samples[i * size_t(channels) + size_t(channel)];
            if (a < 0 && b >= 0) {
                if (first < 0)
                    first = long(i);
                last = long(i);
                ++count;
            }
        }
        if (count < 2)
            return 0;
        return double(count - 1) * rate / double(last - first);
    }
};

inline WavData readWav(const QString &path)
{
    WavData w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return w;
    const QByteArray b = f.readAll();
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE")
        return w;
    qsizetype pos = 12;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        uint32_t size = 0;
        std::memcpy(&size, b.constData() + pos + 4, 4);
        const qsizetype body = pos + 8;
        if (id == "fmt " && body + 16 <= b.size()) {
            uint16_t ch = 0;
            uint32_t rate = 0;
            std::memcpy(&ch, b.constData() + body + 2, 2);
            std::memcpy(&rate, b.constData() + body + 4, 4);
            uint16_t bits = 0;
            std::memcpy(&bits, b.constData() + body + 14, 2);
            w.channels = ch;
            w.rate = int(rate);
            w.bits = bits;
        } else if (id == "data") {
            const int width = w.bits == 24 || w.bits == 32 ? w.bits / 8 : 2;
            const qsizetype n = std::min<qsizetype>(size, b.size() - body) / width;
            w.samples.resize(size_t(n));
            if (width == 2) {
                std::memcpy(w.samples.data(), b.constData() + body, size_t(n) * 2);
            } else {
                w.deep.resize(size_t(n));
                const auto *at = reinterpret_cast<const uint8_t *>(b.constData() + body);
                for (qsizetype i = 0; i < n; ++i, at += width) {
                    uint32_t v = 0;
                    for (int k = 0; k < width; ++k)
                        v |= uint32_t(at[k]) << (8 * (k + 4 - width));
                    w.deep[size_t(i)] = int32_t(v);
                    w.samples[size_t(i)] = int16_t(v >> 16);
                }
            }
            w.ok = w.channels > 0;
            return w;
        }
        pos = body + size + (size & 1);
    }
    return w;
}
