// Two halves of one 440 Hz tone, split at a sample that is not a frame boundary and encoded as two MP3 files,
// played one after the other into one WAV output kept open: the second follows the first without a missing
// or an added sample, so the joint lies where the tone had it.
#include "engine/TXaudioPlayer.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>

namespace
{

constexpr int Rate = 44100;
constexpr int Joint = 66157;    // samples in the first half
constexpr int Total = 3 * Rate; // samples of the whole tone
constexpr double Amplitude = 0.5 * 32767;

double tone(int i)
{
    return Amplitude * std::sin(2 * M_PI * 440.0 * i / Rate);
}

// The shift (in samples, -40..40) that lines the output up best with the tone over [from, from + n).
int bestShift(const WavData &w, int from, int n, double *error)
{
    int best = 0;
    double bestError = 1e300;
    for (int shift = -40; shift <= 40; ++shift) {
        double sum = 0;
        for (int i = from; i < from + n; ++i) {
            const double d = w.samples[size_t(i)] - tone(i + shift);
            sum += d * d;
        }
        if (sum < bestError) {
            bestError = sum;
            best = shift;
        }
    }
    *error = std::sqrt(bestError / n) / Amplitude;
    return best;
}

} // namespace

class GaplessTest : public QObject
{
    Q_OBJECT

private slots:
    void twoHalvesOfAToneJoinWithoutAGap()
    {
        using namespace enginetest;
        TXaudioPlayer p;
        QSignalSpy followed(&p, &TXaudioPlayer::OnNotifyInputFollowed);
        QSignalSpy states(&p, &TXaudioPlayer::OnNotifyPlayerState);
        QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
        connect(&p, &TXaudioPlayer::OnNotifyInputState, &p, [&](int s) {
            // Queued before Play: the WAV writer runs faster than real time, and a busy machine could let
            // the first half end before a queue sent after Play arrives.
            if (s == XA_INPUT_STATE_OPEN) {
                p.InputQueue(fixture("gapless-b.mp3"));
                p.Play();
            }
        });
        const QString wav = vorlantest::tempDir() + QStringLiteral("/joined.wav");
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(fixture("gapless-a.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        QCOMPARE(followed.count(), 1);
        QCOMPARE(followed.first().at(0).toString(), fixture("gapless-b.mp3"));
        // Playing all along: no end and no stop between the halves, and the output never closed.
        QList<int> seen;
        for (const auto &s : states)
            seen << s.at(0).toInt();
        QCOMPARE(seen, (QList<int>{XA_PLAYER_STATE_PLAYING, XA_PLAYER_STATE_EOS}));
        for (const auto &o : outputs)
            QCOMPARE(o.at(0).toInt(), int(XA_OUTPUT_STATE_OPEN));
        // The WAV file is complete once the output reports it closed.
        p.OutputClose();
        QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);

        const WavData w = readWav(wav);
        QVERIFY(w.ok);
        QCOMPARE(w.channels, 1);
        // The decoder removed each file's encoder delay and padding: exactly the tone's samples.
        QCOMPARE(int(w.frames()), Total);
        double error = 0;
        QCOMPARE(bestShift(w, 2000, 4000, &error), 0);
        QVERIFY2(error < 0.05, qPrintable(QString::number(error)));
        // Around the joint and after it the tone goes on in step: not one sample lost or doubled.
        QCOMPARE(bestShift(w, Joint - 300, 600, &error), 0);
        QVERIFY2(error < 0.05, qPrintable(QString::number(error)));
        QCOMPARE(bestShift(w, Joint + 2000, 4000, &error), 0);
        QVERIFY2(error < 0.05, qPrintable(QString::number(error)));
        // And the samples are exactly those of the two files decoded one by one: the player adds nothing at
        // the joint (the coding noise of each file's edges is the encoder's, and the same either way).
        const QString dir = vorlantest::tempDir();
        TXaudioPlayer single;
        QVERIFY(playToWav(single, fixture("gapless-a.mp3"), dir + QStringLiteral("/a.wav")));
        QVERIFY(playToWav(single, fixture("gapless-b.mp3"), dir + QStringLiteral("/b.wav")));
        const WavData a = readWav(dir + QStringLiteral("/a.wav")),
                      b = readWav(dir + QStringLiteral("/b.wav"));
        QCOMPARE(int(a.frames()), Joint);
        QCOMPARE(int(b.frames()), Total - Joint);
        std::vector<int16_t> both = a.samples;
        both.insert(both.end(), b.samples.begin(), b.samples.end());
        QVERIFY(both == w.samples);
    }

    void aSongOfAnotherFormatOrAForgottenQueueEndsAsBefore()
    {
        using namespace enginetest;
        TXaudioPlayer p;
        QSignalSpy followed(&p, &TXaudioPlayer::OnNotifyInputFollowed);
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        int round = 0;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, &p, [&](int s) {
            if (s != XA_INPUT_STATE_OPEN)
                return;
            p.Play();
            if (round == 0) {
                // Stereo 44.1 kHz after mono: it cannot follow on the same output.
                p.InputQueue(fixture("sine-1k-44k-stereo.mp3"));
            } else {
                p.InputQueue(fixture("gapless-b.mp3"));
                p.InputQueue(QString());
            }
        });
        p.OutputOpen(QStringLiteral("wav:") + vorlantest::tempDir() + QStringLiteral("/a.wav"));
        p.InputOpen(fixture("gapless-a.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        round = 1;
        p.OutputOpen(QStringLiteral("wav:") + vorlantest::tempDir() + QStringLiteral("/b.wav"));
        p.InputOpen(fixture("gapless-a.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        QCOMPARE(followed.count(), 0);
        // Streams and missing files are refused at once.
        p.InputQueue(QStringLiteral("http://127.0.0.1:1/x.mp3"));
        p.InputQueue(QStringLiteral("/nonexistent/x.mp3"));
        QTRY_COMPARE(nacks.count(), 2);
        QCOMPARE(nacks.at(0).at(0).toInt(), int(XA_MSG_COMMAND_INPUT_QUEUE));
    }
};

VORLAN_TEST_CLASS(GaplessTest)
#include "GaplessTest.moc"
