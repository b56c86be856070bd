#include "engine/EqualizerFile.h"
#include "engine/TXaudioPlayer.h"
#include "engine/xaudio/BandEqualizer.h"
#include "engine/xaudio/FilterCascade.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <array>
#include <cmath>

using namespace enginetest;

namespace
{

// The tones of make-eq-tones.sh, 0.2 s each, and where the slider labels fall among them.
constexpr std::array<double, 14> Tones = {40,   60,   100,  150,   260,   500,   780,
                                          1000, 3000, 6000, 10000, 12000, 14000, 16000};
constexpr std::array<int, 12> ToneOfSlider = {1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

using Levels = std::vector<std::array<double, 2>>; // rms per tone and channel

Levels measure(const WavData &w)
{
    Levels levels;
    const size_t segment = size_t(w.rate) / 5;
    for (size_t i = 0; i < Tones.size(); ++i) {
        const size_t from = i * segment + segment / 4, to = i * segment + segment * 3 / 4;
        levels.push_back({w.rms(0, from, to), w.rms(1, from, to)});
    }
    return levels;
}

double db(double a, double b)
{
    return 20 * std::log10(a / b);
}

} // namespace

class EqualizerResponseTest : public QObject
{
    Q_OBJECT

    QString m_tones;
    Levels m_flat;

    // The tones played through the engine with the equalizer set by the sliders (null: off), in dB against
    // the equalizer off.
    std::vector<std::array<double, 2>> response(const EqualizerSettings *sliders)
    {
        TXaudioPlayer p;
        p.SetOutputVolume(50, 20, 255); // headroom for +12 dB
        if (sliders) {
            const XA_EqualizerInfo info = sliders->toEqualizerInfo();
            p.SetCodecEqualizer(&info);
        }
        const QString wav = vorlantest::tempDir() + QStringLiteral("/eq.wav");
        if (!playToWav(p, m_tones, wav))
            return {};
        const WavData w = readWav(wav);
        if (w.rate != 44100 || w.frames() < size_t(w.rate) / 5 * Tones.size())
            return {};
        const Levels levels = measure(w);
        if (m_flat.empty())
            return std::vector<std::array<double, 2>>(levels.size(), {0, 0});
        std::vector<std::array<double, 2>> gains;
        for (size_t i = 0; i < levels.size(); ++i)
            gains.push_back({db(levels[i][0], m_flat[i][0]), db(levels[i][1], m_flat[i][1])});
        return gains;
    }

    static QString table(const std::vector<std::array<double, 2>> &gains, int channel)
    {
        QString t;
        for (size_t i = 0; i < gains.size(); ++i)
            t += QStringLiteral(" %1 Hz %2 dB;").arg(Tones[i]).arg(gains[i][size_t(channel)], 0, 'f', 1);
        return t;
    }

private slots:
    void initTestCase()
    {
        // Fresh tones when the tools are at hand, else the committed ones.
        m_tones = QStringLiteral(VORLAN_FIXTURES "/eq-tones.mp3");
        if (!QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty() &&
            !QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty()) {
            const QString made = vorlantest::tempDir() + QStringLiteral("/eq-tones.mp3");
            QCOMPARE(QProcess::execute(QStringLiteral("sh"),
                                       {QStringLiteral(VORLAN_FIXTURES "/make-eq-tones.sh"), made}),
                     0);
            m_tones = made;
        }
        TXaudioPlayer p;
        p.SetOutputVolume(50, 20, 255);
        const QString wav = vorlantest::tempDir() + QStringLiteral("/flat.wav");
        QVERIFY(playToWav(p, m_tones, wav));
        const WavData w = readWav(wav);
        QCOMPARE(w.rate, 44100);
        QVERIFY(w.frames() >= size_t(w.rate) / 5 * Tones.size());
        m_flat = measure(w);
        for (const auto &l : m_flat)
            QVERIFY(l[0] > 500 && l[1] > 500);
    }

    void slidersAllAtOneValueGiveThatGainAtEveryFrequency()
    {
        // Left all up, right untouched: the left rises by 12 dB from 40 Hz to 16 kHz, the right stays.
        EqualizerSettings up;
        up.left.fill(80);
        auto gains = response(&up);
        QCOMPARE(gains.size(), Tones.size());
        qInfo("all +80, left:%s", qPrintable(table(gains, 0)));
        for (size_t i = 0; i < gains.size(); ++i) {
            QVERIFY2(std::abs(gains[i][0] - 12) <= 1, qPrintable(table(gains, 0)));
            QVERIFY2(std::abs(gains[i][1]) <= 0.2, qPrintable(table(gains, 1)));
        }
        EqualizerSettings down;
        down.left.fill(-80);
        down.right.fill(-80);
        gains = response(&down);
        QCOMPARE(gains.size(), Tones.size());
        qInfo("all -80:%s", qPrintable(table(gains, 0)));
        for (size_t i = 0; i < gains.size(); ++i)
            for (int ch = 0; ch < 2; ++ch)
                QVERIFY2(std::abs(gains[i][size_t(ch)] + 12) <= 1, qPrintable(table(gains, ch)));
    }

    void oneSliderActsAtItsLabelAndNotTwoGroupsAway_data()
    {
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("value");
        for (int s = 1; s <= 12; ++s)
            QTest::addRow("slider %d up", s) << s << 80;
        for (int s : {1, 2, 7, 12})
            QTest::addRow("slider %d down", s) << s << -80;
    }
    void oneSliderActsAtItsLabelAndNotTwoGroupsAway()
    {
        QFETCH(int, slider);
        QFETCH(int, value);
        EqualizerSettings eq;
        eq.left[size_t(slider - 1)] = eq.right[size_t(slider - 1)] = value;
        const auto gains = response(&eq);
        QCOMPARE(gains.size(), Tones.size());
        const QString t = table(gains, 0);
        qInfo("slider %d at %d:%s", slider, value, qPrintable(t));
        const double want = value * 12.0 / 80;
        for (int ch = 0; ch < 2; ++ch) {
            QVERIFY2(std::abs(gains[size_t(ToneOfSlider[size_t(slider - 1)])][size_t(ch)] - want) <= 1.5,
                     qPrintable(t));
            for (int away : {slider - 2, slider + 2})
                if (away >= 1 && away <= 12)
                    QVERIFY2(std::abs(gains[size_t(ToneOfSlider[size_t(away - 1)])][size_t(ch)]) <= 1.5,
                             qPrintable(t));
        }
    }

    void theFilterBankDoesWhatItsDesignSaysAtEveryRateAndBlockSize()
    {
        // Sines straight through the bank, in blocks shorter and longer than its pipeline, mono and stereo.
        struct Case {
            int rate, channels;
            double hz;
        };
        for (const Case c : {Case{48000, 1, 150}, Case{48000, 2, 12000}, Case{22050, 2, 260},
                             Case{8000, 1, 3000}, Case{32000, 2, 14000}}) {
            BandEqualizer eq;
            eq.setFormat(c.rate, c.channels);
            EqualizerSettings s;
            s.left = {80, -40, 60, 0, 20, -80, 40, 0, 80, -60, 30, 70};
            s.right = {-80, 0, 0, 40, 0, 0, 80, -20, 0, 80, -80, 0};
            const XA_EqualizerInfo info = s.toEqualizerInfo();
            eq.setRecord(&info);
            QVERIFY(eq.active());
            const size_t frames = size_t(c.rate);
            std::vector<float> samples(frames * size_t(c.channels));
            for (size_t n = 0; n < frames; ++n)
                for (int ch = 0; ch < c.channels; ++ch)
                    samples[n * size_t(c.channels) + size_t(ch)] =
                        float(0.1 * std::sin(2 * M_PI * c.hz * double(n) / c.rate));
            const std::vector<float> in = samples;
            const size_t blocks[] = {1152, 1, 7, 3000, 5, 333};
            for (size_t done = 0, k = 0; done < frames; ++k) {
                const size_t n = std::min(blocks[k % 6], frames - done);
                eq.process(samples.data() + done * size_t(c.channels), n);
                done += n;
            }
            for (int ch = 0; ch < c.channels; ++ch) {
                double sumIn = 0, sumOut = 0;
                for (size_t n = frames / 2; n < frames; ++n) {
                    sumIn += double(in[n * size_t(c.channels) + size_t(ch)]) *
                             in[n * size_t(c.channels) + size_t(ch)];
                    sumOut += double(samples[n * size_t(c.channels) + size_t(ch)]) *
                              samples[n * size_t(c.channels) + size_t(ch)];
                }
                const double measured = 10 * std::log10(sumOut / sumIn);
                const double designed = eq.responseDb(ch, c.hz);
                QVERIFY2(std::abs(measured - designed) < 0.2,
                         qPrintable(QStringLiteral("%1 Hz at %2: %3 dB, designed %4 dB")
                                        .arg(c.hz)
                                        .arg(c.rate)
                                        .arg(measured)
                                        .arg(designed)));
            }
        }
    }

    void theCascadeIsItsFiltersOneAfterAnother()
    {
        // Sample for sample against each filter run alone in double precision (transposed form), with every
        // number of filters, in odd blocks, and with new coefficients halfway that take over the filters'
        // memory as it is.
        auto peaking = [](double hz, double db, double q) {
            const double a = std::pow(10.0, db / 40), w = 2 * M_PI * hz / 44100,
                         alpha = std::sin(w) / (2 * q);
            const double a0 = 1 + alpha / a;
            return Biquad{(1 + alpha * a) / a0, -2 * std::cos(w) / a0, (1 - alpha * a) / a0,
                          -2 * std::cos(w) / a0, (1 - alpha / a) / a0};
        };
        uint32_t seed = 7;
        auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(int(seed >> 8) - (1 << 23)) / float(1 << 24);
        };
        for (int channels : {1, 2})
            for (int stages : {1, 3, 8, 12}) {
                const QString where = QStringLiteral("%1 channels, %2 filters").arg(channels).arg(stages);
                const size_t lanes = size_t(stages * channels), frames = 6000;
                std::vector<Biquad> first(lanes), second(lanes);
                for (size_t i = 0; i < lanes; ++i) {
                    first[i] =
                        peaking(40 * std::pow(1.3, double(i)), double(i % 5) * 3 - 6, 0.7 + 0.1 * double(i));
                    second[i] = peaking(50 * std::pow(1.28, double(i)), 6 - double(i % 4) * 3, 1.2);
                }
                std::vector<float> samples(frames * size_t(channels));
                for (float &s : samples)
                    s = noise();
                std::vector<double> expected(samples.begin(), samples.end());
                std::vector<BiquadHistory> history(lanes);
                std::vector<std::array<double, 2>> z(lanes, {0, 0});
                const size_t blocks[] = {1152, 1, 7, 3000, 5, 333, 64};
                for (size_t done = 0, k = 0; done < frames; ++k) {
                    const size_t n = std::min(blocks[k % 7], frames - done);
                    const std::vector<Biquad> &filters = done < frames / 2 ? first : second;
                    runCascade(filters.data(), history.data(), stages, channels,
                               samples.data() + done * size_t(channels), n);
                    for (size_t f = done; f < done + n; ++f)
                        for (size_t lane = 0; lane < lanes; ++lane) {
                            const Biquad &c = filters[lane];
                            double &x = expected[f * size_t(channels) + lane % size_t(channels)];
                            const double y = c.b0 * x + z[lane][0];
                            z[lane][0] = c.b1 * x - c.a1 * y + z[lane][1];
                            z[lane][1] = c.b2 * x - c.a2 * y;
                            x = y;
                        }
                    done += n;
                }
                double worst = 0, peak = 0;
                for (size_t i = 0; i < samples.size(); ++i) {
                    worst = std::max(worst, std::abs(samples[i] - expected[i]));
                    peak = std::max(peak, std::abs(expected[i]));
                }
                QVERIFY2(peak > 0.1 && worst < 3e-4 * peak,
                         qPrintable(where + QStringLiteral(": off by %1 of %2").arg(worst).arg(peak)));
            }
    }

    void sixteenBitsInAndOutSoundAsTheFloatPath()
    {
        // Rounding by the float adder is lrint() itself, clipping included.
        for (float v = -33000.0f; v <= 33000.0f; v += 0.25f)
            QCOMPARE(roundToPcm(v), int16_t(std::lrint(std::clamp(v, -32768.0f, 32767.0f))));

        // Music-like noise through both paths, in odd blocks, with a gain on each channel: the same samples.
        for (int channels : {1, 2}) {
            BandEqualizer viaFloat, viaPcm;
            EqualizerSettings s;
            s.left = {40, 30, 15, 0, -10, -10, 0, 15, 25, 30, 30, 30};
            s.right = {-80, 0, 0, 40, 0, 0, 80, -20, 0, 80, -80, 0};
            const XA_EqualizerInfo info = s.toEqualizerInfo();
            for (BandEqualizer *eq : {&viaFloat, &viaPcm}) {
                eq->setFormat(44100, channels);
                eq->setRecord(&info);
            }
            const float gain[2] = {0.7f, 0.4f};
            const size_t frames = 20000;
            std::vector<int16_t> in(frames * size_t(channels)), out(in.size());
            uint32_t seed = 1;
            for (int16_t &v : in) {
                seed = seed * 1664525u + 1013904223u;
                v = int16_t(int(seed >> 16) - 32768);
            }
            const size_t blocks[] = {1152, 1, 7, 3000, 5, 333};
            for (size_t done = 0, k = 0; done < frames; ++k) {
                const size_t n = std::min(blocks[k % 6], frames - done);
                viaPcm.process(in.data() + done * size_t(channels), out.data() + done * size_t(channels), n,
                               gain[0], gain[1]);
                done += n;
            }
            std::vector<float> work(in.size());
            for (size_t i = 0; i < in.size(); ++i)
                work[i] = in[i] * (1.0f / 32768.0f);
            viaFloat.process(work.data(), frames);
            int worst = 0;
            for (size_t i = 0; i < in.size(); ++i) {
                const int16_t expected = roundToPcm(work[i] * gain[channels == 1 ? 0 : i % 2] * 32768.0f);
                worst = std::max(worst, std::abs(int(out[i]) - int(expected)));
            }
            // The gain meets the flat factor in another order: at most the last bit differs.
            QVERIFY2(worst <= 1,
                     qPrintable(QStringLiteral("%1 channels: off by %2").arg(channels).arg(worst)));
        }
    }

    void theDesignHoldsAtEverySampleRate()
    {
        for (int rate : {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000}) {
            const double top = std::min(16000.0, 0.45 * rate);
            BandEqualizer eq;
            eq.setFormat(rate, 2);
            for (int value : {80, -80, 33}) {
                EqualizerSettings s;
                s.left.fill(value);
                s.right.fill(value);
                const XA_EqualizerInfo info = s.toEqualizerInfo();
                eq.setRecord(&info);
                for (double hz = 40; hz <= top; hz *= 1.05)
                    QVERIFY2(std::abs(eq.responseDb(0, hz) - value * 12.0 / 80) <= 1,
                             qPrintable(QStringLiteral("%1 at %2 Hz, rate %3").arg(value).arg(hz).arg(rate)));
            }
            for (int slider = 1; slider <= 12; ++slider) {
                if (BandEqualizer::GroupLabels[size_t(slider - 1)] >= 0.45 * rate)
                    continue;
                for (int value : {80, -80}) {
                    EqualizerSettings s;
                    s.left[size_t(slider - 1)] = value;
                    const XA_EqualizerInfo info = s.toEqualizerInfo();
                    eq.setRecord(&info);
                    const QString where =
                        QStringLiteral("slider %1 at %2, rate %3").arg(slider).arg(value).arg(rate);
                    QVERIFY2(std::abs(eq.responseDb(0, BandEqualizer::GroupLabels[size_t(slider - 1)]) -
                                      value * 12.0 / 80) <= 1.5,
                             qPrintable(where));
                    for (int away : {slider - 2, slider + 2})
                        if (away >= 1 && away <= 12 &&
                            BandEqualizer::GroupLabels[size_t(away - 1)] < 0.45 * rate)
                            QVERIFY2(std::abs(eq.responseDb(
                                         0, BandEqualizer::GroupLabels[size_t(away - 1)])) <= 1.5,
                                     qPrintable(where));
                    // Nowhere much past the asked gain, and the other channel untouched.
                    for (double hz = 30; hz <= top; hz *= 1.05) {
                        QVERIFY2(std::abs(eq.responseDb(0, hz)) <= 12 + 2, qPrintable(where));
                        QCOMPARE(eq.responseDb(1, hz), 0.0);
                    }
                }
            }
        }
    }
};

VORLAN_TEST_CLASS(EqualizerResponseTest)
#include "EqualizerResponseTest.moc"
