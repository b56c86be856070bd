// ReplayGain: a loud tone whose LAME tag carries the track gain lame measured plays that much quieter when
// the player is asked for it, and exactly as before when not.
#include "engine/TXaudioPlayer.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QFile>
#include <QTest>
#include <cmath>

namespace
{

// The track ("radio") gain of a file's LAME tag in dB: sign bit and nine bits of tenths after the name and
// originator codes.
double lameTrackGain(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(4096);
    const qsizetype lame = head.indexOf("LAME");
    if (lame < 0 || lame + 17 > head.size())
        return 0;
    const int field = (uchar(head[lame + 15]) << 8) | uchar(head[lame + 16]);
    const double tenths = field & 0x1FF;
    return (field & 0x200 ? -tenths : tenths) / 10;
}

double levelDb(const WavData &w)
{
    return 20 * std::log10(w.rms(0, w.frames() / 4, w.frames() * 3 / 4));
}

} // namespace

class ReplayGainTest : public QObject
{
    Q_OBJECT

private slots:
    void theTrackGainIsAppliedOnlyWhenAskedFor()
    {
        using namespace enginetest;
        const QString song = fixture("replaygain-loud.mp3");
        const double gain = lameTrackGain(song);
        QVERIFY2(gain < -6, qPrintable(QString::number(gain)));
        const QString dir = vorlantest::tempDir();
        TXaudioPlayer p;
        QVERIFY(playToWav(p, song, dir + QStringLiteral("/plain.wav")));
        p.SetPlayerEnvironmentInteger(QStringLiteral("DECODER.REPLAYGAIN"), 1);
        QVERIFY(playToWav(p, song, dir + QStringLiteral("/gained.wav")));
        p.SetPlayerEnvironmentInteger(QStringLiteral("DECODER.REPLAYGAIN"), 0);
        QVERIFY(playToWav(p, song, dir + QStringLiteral("/again.wav")));

        const WavData plain = readWav(dir + QStringLiteral("/plain.wav"));
        const WavData gained = readWav(dir + QStringLiteral("/gained.wav"));
        const WavData again = readWav(dir + QStringLiteral("/again.wav"));
        QVERIFY(plain.ok && gained.ok && again.ok);
        QCOMPARE(gained.frames(), plain.frames());
        const double applied = levelDb(gained) - levelDb(plain);
        QVERIFY2(std::abs(applied - gain) < 0.2,
                 qPrintable(QStringLiteral("applied %1 dB, tag %2 dB").arg(applied).arg(gain)));
        // Switched off, the samples are the file's own again.
        QVERIFY(again.samples == plain.samples);
        // Never clipped: no sample at full scale.
        QVERIFY(gained.peak(0) < 32767);
    }
};

VORLAN_TEST_CLASS(ReplayGainTest)
#include "ReplayGainTest.moc"
