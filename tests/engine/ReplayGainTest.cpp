// ReplayGain: a loud tone whose LAME tag carries the track gain lame measured plays that much quieter when
// the player is asked for it, and exactly as before when not; so do FLAC and Opus files by the gains of their
// tags.
#include "engine/TXaudioPlayer.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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

constexpr auto &run = vorlantest::runTool;

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

    void theGainOfOtherFormatsTagsIsAppliedOnlyWhenAskedFor_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<double>("expected");
        QTest::newRow("flac -6 dB") << QStringLiteral("metaflac")
                                    << QStringList{QStringLiteral("REPLAYGAIN_TRACK_GAIN=-6.00 dB"),
                                                   QStringLiteral("REPLAYGAIN_TRACK_PEAK=0.500000")}
                                    << -6.0;
        // +6 dB would clip the tone's peak of 0.9: the gain stops where the peak reaches full scale.
        QTest::newRow("flac peak-limited") << QStringLiteral("metaflac")
                                           << QStringList{QStringLiteral("replaygain_track_gain=+6.00 dB"),
                                                          QStringLiteral("replaygain_track_peak=0.9")}
                                           << 20 * std::log10(1 / 0.9);
        // -2816/256 = -11 dB from -23 LUFS: -6 dB from ReplayGain's -18.
        QTest::newRow("opus r128") << QStringLiteral("opusenc")
                                   << QStringList{QStringLiteral("R128_TRACK_GAIN=-2816")} << -6.0;
    }

    void theGainOfOtherFormatsTagsIsAppliedOnlyWhenAskedFor()
    {
        using namespace enginetest;
        QFETCH(QString, tool);
        QFETCH(QStringList, tags);
        QFETCH(double, expected);
        for (const QString &program : {QStringLiteral("sox"), tool})
            if (QStandardPaths::findExecutable(program).isEmpty())
                QSKIP(qPrintable(program + QStringLiteral(" is missing")));
        const QString dir = vorlantest::tempDir();
        const QString tone = dir + QStringLiteral("/tone.wav");
        const QString level =
            tool == QLatin1String("opusenc") ? QStringLiteral("0.5") : QStringLiteral("0.9");
        QVERIFY(run(QStringLiteral("sox"),
                    {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("48000"),
                     QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"),
                     tone, QStringLiteral("synth"), QStringLiteral("1"), QStringLiteral("sine"),
                     QStringLiteral("1000"), QStringLiteral("vol"), level}));
        QString song;
        if (tool == QLatin1String("metaflac")) {
            song = dir + QStringLiteral("/tone.flac");
            QVERIFY(run(QStringLiteral("sox"), {tone, song}));
            QStringList args;
            for (const QString &t : tags)
                args << QStringLiteral("--set-tag=") + t;
            QVERIFY(run(tool, args << song));
        } else {
            song = dir + QStringLiteral("/tone.opus");
            QStringList args{QStringLiteral("--quiet")};
            for (const QString &t : tags)
                args << QStringLiteral("--comment") << t;
            QVERIFY(run(tool, args << tone << song));
        }

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
        QVERIFY2(std::abs(applied - expected) < 0.1,
                 qPrintable(QStringLiteral("applied %1 dB, expected %2 dB").arg(applied).arg(expected)));
        QVERIFY(again.samples == plain.samples);
    }
};

VORLAN_TEST_CLASS(ReplayGainTest)
#include "ReplayGainTest.moc"
