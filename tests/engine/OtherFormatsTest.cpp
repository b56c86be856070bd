// FLAC, Ogg Vorbis and Opus, AAC and ALAC in MP4, WAV, AIFF and WavPack through the engine into the WAV
// writer. The files are encoded here from a tone made by sox, by the formats' own tools: lossless ones give
// the tone's samples exactly, lossy ones what their reference decoder gives, to the sample in length.
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <cmath>

using namespace enginetest;

namespace
{

constexpr auto &run = vorlantest::runTool;

constexpr auto &have = vorlantest::haveTool;

// Error energy against the reference's, in dB.
double errorDb(const WavData &ours, const WavData &ref)
{
    double error = 0, signal = 0;
    for (size_t i = 0; i < std::min(ours.samples.size(), ref.samples.size()); ++i) {
        const double d = double(ours.samples[i]) - ref.samples[i];
        error += d * d;
        signal += double(ref.samples[i]) * ref.samples[i];
    }
    return 10 * std::log10(std::max(error, 1e-9) / std::max(signal, 1e-9));
}

// The shift (-range..range) that lines up ours[from, from + n) best with ref; the search for where a seek
// landed.
long bestShift(const WavData &ours, const WavData &ref, long refFrom, long n, long range)
{
    long best = 0;
    double bestError = 1e300;
    const int ch = ours.channels;
    for (long shift = -range; shift <= range; ++shift) {
        double sum = 0;
        for (long i = 0; i < n; ++i) {
            const long r = refFrom + shift + i;
            if (r < 0 || size_t(r) >= ref.frames())
                return best;
            const double d = double(ours.samples[size_t(i * ch)]) - ref.samples[size_t(r * ch)];
            sum += d * d;
        }
        if (sum < bestError) {
            bestError = sum;
            best = shift;
        }
    }
    return best;
}

} // namespace

class OtherFormatsTest : public QObject
{
    Q_OBJECT

    QString m_dir;
    QString m_source; // 16-bit stereo 44.1 kHz, 1.5 s: two tones and a little noise
    QString m_sweep;  // 3 s of a rising sweep, for seeks: every place sounds different

    QString path(const QString &name) const { return m_dir + QLatin1Char('/') + name; }

    // What the engine writes for a file, played to its end.
    WavData played(const QString &input)
    {
        TXaudioPlayer p;
        const QString wav = path(QStringLiteral("played.wav"));
        QFile::remove(wav);
        if (!playToWav(p, input, wav))
            return {};
        return readWav(wav);
    }

    // An earlier test of this process loaded FFmpeg: the test runs again in a process of its own, once.
    void runAlone(const char *test)
    {
        QVERIFY2(qEnvironmentVariableIsEmpty("VORLAN_TEST_ALONE"), "FFmpeg is mapped before any file played");
        QProcess alone;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORLAN_TEST_ALONE"), QStringLiteral("1"));
        alone.setProcessEnvironment(env);
        alone.setProcessChannelMode(QProcess::ForwardedChannels);
        alone.start(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("-only-classes"), QStringLiteral("OtherFormatsTest"), QLatin1String(test)});
        QVERIFY(alone.waitForFinished(60000));
        QCOMPARE(alone.exitStatus(), QProcess::NormalExit);
        QCOMPARE(alone.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        if (!have(QStringLiteral("sox")))
            QSKIP("sox makes the source tones (scripts/install-deps.sh)");
        m_dir = vorlantest::tempDir();
        m_source = path(QStringLiteral("source.wav"));
        m_sweep = path(QStringLiteral("sweep.wav"));
        QVERIFY(run(QStringLiteral("sox"),
                    {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                     QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"),
                     m_source, QStringLiteral("synth"), QStringLiteral("1.5"), QStringLiteral("sine"),
                     QStringLiteral("440"), QStringLiteral("sine"), QStringLiteral("660"),
                     QStringLiteral("gain"), QStringLiteral("-6")}));
        QVERIFY(run(QStringLiteral("sox"),
                    {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                     QStringLiteral("-c"), QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("16"),
                     m_sweep, QStringLiteral("synth"), QStringLiteral("3"), QStringLiteral("sine"),
                     QStringLiteral("100-6000"), QStringLiteral("gain"), QStringLiteral("-6")}));
    }

    void thePlayerItselfDoesNotLinkFfmpeg()
    {
        // FFmpeg comes in its module, mapped only when the first such file opens.
        const QString player = QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan");
        if (!QFile::exists(player) || !have(QStringLiteral("ldd")))
            QSKIP("the player is not built, or ldd is missing");
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {player});
        QVERIFY(ldd.waitForFinished(20000));
        const QByteArray libs = ldd.readAllStandardOutput();
        QVERIFY(libs.contains("libmpg123"));
        QVERIFY2(!libs.contains("libavformat") && !libs.contains("libavcodec"), libs.constData());
        QVERIFY(QFile::exists(QStringLiteral(VORLAN_BUILD_DIR "/modules/libvorlan-ffmpeg.so")));
    }

    void nativeFlacPlaysThroughItsOwnModuleWithoutMappingFfmpeg()
    {
        if (!have(QStringLiteral("flac")))
            QSKIP("flac is missing");
        if (mapped("libvorlan-ffmpeg.so"))
            return runAlone("nativeFlacPlaysThroughItsOwnModuleWithoutMappingFfmpeg");
        const QString flac = path(QStringLiteral("own.flac")), deep = path(QStringLiteral("own24.flac"));
        const QString tagged = path(QStringLiteral("tagged.flac")), ogg = path(QStringLiteral("own.oga"));
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-f", m_source, "-o", flac}));
        QVERIFY(run(QStringLiteral("sox"), {m_source, "-b", "24", deep}));
        // An ID3v2 tag in front (ID3v2.3, 1000 bytes of it) is skipped.
        QFile in(flac), out(tagged);
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        out.write(QByteArray("ID3\x03\x00\x00\x00\x00\x07\x68", 10) + QByteArray(1000, '\0') + in.readAll());
        out.close();
        const std::vector<int16_t> source = readWav(m_source).samples;
        for (const QString &file : {flac, deep, tagged})
            QVERIFY2(played(file).samples == source, qPrintable(file));
        QVERIFY(mapped("libvorlan-flac.so"));
        QVERIFY(!mapped("libvorlan-ffmpeg.so"));
        // Ogg FLAC is FFmpeg's.
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-f", "--ogg", m_source, "-o", ogg}));
        QVERIFY(played(ogg).samples == source);
        QVERIFY(mapped("libvorlan-ffmpeg.so"));
    }

    void oggOpusAndVorbisPlayThroughTheirOwnModuleWithoutMappingFfmpeg()
    {
        if (!have(QStringLiteral("opusenc")) || !have(QStringLiteral("oggenc")) ||
            !have(QStringLiteral("ffmpeg")))
            QSKIP("opusenc, oggenc or ffmpeg is missing");
        if (mapped("libvorlan-ffmpeg.so"))
            return runAlone("oggOpusAndVorbisPlayThroughTheirOwnModuleWithoutMappingFfmpeg");
        const QString opus = path(QStringLiteral("own.opus")), vorbis = path(QStringLiteral("own.ogg"));
        const QString m4a = path(QStringLiteral("own.m4a"));
        QVERIFY(run(QStringLiteral("opusenc"), {"--quiet", m_source, opus}));
        QVERIFY(run(QStringLiteral("oggenc"), {"-Q", m_source, "-o", vorbis}));
        const WavData o = played(opus), v = played(vorbis);
        QVERIFY(o.ok && v.ok);
        QCOMPARE(int(o.frames()), int(readWav(m_source).frames() * 48000 / 44100));
        QCOMPARE(v.frames(), readWav(m_source).frames());
        QVERIFY(o.rms(0) > 1000 && v.rms(1) > 1000);
        QVERIFY(mapped("libvorlan-ogg.so"));
        QVERIFY(!mapped("libvorlan-ffmpeg.so"));
        QVERIFY(run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", m_source, "-c:a", "aac", m4a}));
        QVERIFY(played(m4a).ok);
        QVERIFY(mapped("libvorlan-ffmpeg.so"));
    }

    void losslessFilesGiveTheSourcesSamplesExactly_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args"); // %1 the source, %2 the file
        QTest::newRow("flac") << "flac"
                              << "x.flac" << QStringList{"-s", "-f", "--best", "%1", "-o", "%2"};
        QTest::newRow("wav") << "sox"
                             << "x.wav" << QStringList{"%1", "%2"};
        QTest::newRow("aiff") << "sox"
                              << "x.aiff" << QStringList{"%1", "%2"};
        QTest::newRow("alac") << "ffmpeg"
                              << "x.m4a"
                              << QStringList{"-v", "error", "-y", "-i", "%1", "-c:a", "alac", "%2"};
        QTest::newRow("wavpack") << "wavpack"
                                 << "x.wv" << QStringList{"-q", "-y", "%1", "-o", "%2"};
        // A FLAC file named as MP3 still plays, by its content.
        QTest::newRow("flac named .mp3") << "flac"
                                         << "flac.mp3" << QStringList{"-s", "-f", "%1", "-o", "%2"};
    }
    void losslessFilesGiveTheSourcesSamplesExactly()
    {
        QFETCH(QString, tool);
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        if (!have(tool))
            QSKIP(qPrintable(tool + QStringLiteral(" is missing")));
        for (QString &a : args)
            a = a.replace(QStringLiteral("%1"), m_source).replace(QStringLiteral("%2"), path(file));
        QVERIFY(run(tool, args));
        const WavData source = readWav(m_source);
        const WavData ours = played(path(file));
        QVERIFY(ours.ok);
        QCOMPARE(ours.rate, 44100);
        QCOMPARE(ours.channels, 2);
        QCOMPARE(ours.frames(), source.frames());
        QVERIFY(ours.samples == source.samples);
    }

    void deepFilesGoOutAtTheirOwnWidthExactly_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args"); // %1 the 24-bit source, %2 the file
        QTest::addColumn<int>("bits");
        QTest::newRow("flac") << "sox"
                              << "d.flac" << QStringList{"%1", "%2"} << 24;
        QTest::newRow("wav") << "sox"
                             << "d.wav" << QStringList{"%1", "%2"} << 24;
        QTest::newRow("aiff") << "sox"
                              << "d.aiff" << QStringList{"%1", "%2"} << 24;
        QTest::newRow("alac") << "ffmpeg"
                              << "d.m4a" << QStringList{"-v", "error", "-y", "-i", "%1", "-c:a", "alac", "%2"}
                              << 24;
        QTest::newRow("wavpack") << "wavpack"
                                 << "d.wv" << QStringList{"-q", "-y", "%1", "-o", "%2"} << 24;
        QTest::newRow("wav 32-bit") << "sox"
                                    << "d32.wav" << QStringList{"%1", "-b", "32", "%2"} << 32;
    }
    void deepFilesGoOutAtTheirOwnWidthExactly()
    {
        QFETCH(QString, tool);
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        QFETCH(int, bits);
        if (!have(tool))
            QSKIP(qPrintable(tool + QStringLiteral(" is missing")));
        // Noise fills the low bits, which a 16-bit path would lose.
        const QString source = path(QStringLiteral("deep.wav"));
        QVERIFY(
            run(QStringLiteral("sox"), {"-n", "-r", "48000", "-c", "2", "-b", "24", "-t", "wavpcm", source,
                                        "synth", "0.5", "sine", "440", "whitenoise", "gain", "-8"}));
        for (QString &a : args)
            a = a.replace(QStringLiteral("%1"), source).replace(QStringLiteral("%2"), path(file));
        QVERIFY(run(tool, args));
        const WavData in = readWav(source);
        QCOMPARE(in.bits, 24);
        WavData ours = played(path(file));
        QVERIFY(ours.ok);
        QCOMPARE(ours.bits, bits);
        QCOMPARE(ours.rate, 48000);
        QCOMPARE(ours.frames(), in.frames());
        QVERIFY(ours.deep == in.deep);

        // At half the level the sound keeps its width: no more than a step of 24 bits off.
        TXaudioPlayer p;
        p.SetOutputVolume(50, 50, 255);
        const QString wav = path(QStringLiteral("deep-half.wav"));
        QVERIFY(playToWav(p, path(file), wav));
        ours = readWav(wav);
        QCOMPARE(ours.bits, bits);
        QCOMPARE(ours.frames(), in.frames());
        int64_t worst = 0, odd = 0;
        for (size_t i = 0; i < in.deep.size(); ++i) {
            const int64_t want = in.deep[i] / 2, got = ours.deep[i];
            worst = std::max(worst, std::abs(got - want));
            odd += (got >> 8) & 1;
        }
        QVERIFY2(worst <= 256, qPrintable(QString::number(worst)));
        // Halving keeps the lowest of the 24 bits alive, as 16 bits could not.
        QVERIFY(odd > int64_t(in.deep.size() / 4));
        QFile::remove(wav);
    }

    void moreChannelsAreMixedToTwoAndAnyRateOrMonoPlaysAsItIs()
    {
        const QString six = path(QStringLiteral("six.flac")), hi = path(QStringLiteral("hi.flac"));
        QVERIFY(run(QStringLiteral("sox"), {"-n", "-r", "48000", "-c", "6", "-b", "16", six, "synth", "0.5",
                                            "sine", "440", "gain", "-12"}));
        QVERIFY(run(QStringLiteral("sox"), {m_source, "-r", "96000", "-b", "24", hi}));
        WavData w = played(six);
        QVERIFY(w.ok);
        QCOMPARE(w.channels, 2);
        QCOMPARE(w.rate, 48000);
        QCOMPARE(int(w.frames()), 24000);
        QVERIFY(w.rms(0) > 1000 && w.rms(1) > 1000);
        w = played(hi);
        QVERIFY(w.ok);
        QCOMPARE(w.rate, 96000);
        QCOMPARE(int(w.frames()), int(readWav(m_source).frames() * 96000 / 44100));
        if (have(QStringLiteral("opusenc"))) {
            const QString mono = path(QStringLiteral("mono.wav")), opus = path(QStringLiteral("mono.opus"));
            QVERIFY(run(QStringLiteral("sox"), {m_source, "-c", "1", mono}));
            QVERIFY(run(QStringLiteral("opusenc"), {"--quiet", mono, opus}));
            w = played(opus);
            QVERIFY(w.ok);
            QCOMPARE(w.channels, 1);
            QCOMPARE(w.rate, 48000);
            QCOMPARE(int(w.frames()), int(readWav(m_source).frames() * 48000 / 44100));
        }
    }

    void theStreamInformationNamesCodecBitsRateAndChannels()
    {
        const QString hi = path(QStringLiteral("info24.flac")), ogg = path(QStringLiteral("info.ogg"));
        QVERIFY(run(QStringLiteral("sox"), {m_source, "-r", "96000", "-b", "24", hi}));
        TXaudioPlayer p;
        XaudioEngine engine(&p);
        QSignalSpy info(&engine, &AudioEngine::streamInfoChanged);
        const QString wav = path(QStringLiteral("info.wav"));
        QVERIFY(playToWav(p, hi, wav));
        QCOMPARE(info.count(), 1);
        StreamInfo s = info.first().at(0).value<StreamInfo>();
        QCOMPARE(s.codec, QStringLiteral("flac"));
        QCOMPARE(s.bits, 24);
        // A rate past 16 bits of Hz arrives whole.
        QCOMPARE(s.frequency, 96000);
        QCOMPARE(s.channels, 2);
        QCOMPARE(s.mode, 0);
        QCOMPARE(s.level, 0);
        // Lossless: the average over the file, from its size and length.
        const double kbps = QFileInfo(hi).size() * 8.0 / 1.5 / 1000;
        QVERIFY2(std::abs(s.bitrate - kbps) < kbps * 0.05, qPrintable(QString::number(s.bitrate)));
        if (have(QStringLiteral("oggenc"))) {
            const QString mono = path(QStringLiteral("info-mono.wav"));
            QVERIFY(run(QStringLiteral("sox"), {m_source, "-c", "1", mono}));
            QVERIFY(run(QStringLiteral("oggenc"), {"--quiet", "-o", ogg, mono}));
            info.clear();
            QVERIFY(playToWav(p, ogg, wav));
            QCOMPARE(info.count(), 1);
            s = info.first().at(0).value<StreamInfo>();
            QCOMPARE(s.codec, QStringLiteral("vorbis"));
            QCOMPARE(s.bits, 0);
            QCOMPARE(s.frequency, 44100);
            QCOMPARE(s.channels, 1);
            QCOMPARE(s.mode, 3);
            QVERIFY(s.bitrate > 0);
        }
    }

    void lossyFilesSoundAsTheirReferenceDecoderHasThem_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<QStringList>("encode");
        QTest::addColumn<QString>("decoder");
        QTest::addColumn<QStringList>("decode"); // %2 the file, %3 the reference WAV
        QTest::newRow("opus") << "opusenc" << QStringList{"--quiet", "%1", "%2.opus"} << "opusdec"
                              << QStringList{"--quiet", "--no-dither", "--rate", "48000", "%2.opus", "%3"};
        QTest::newRow("vorbis") << "oggenc" << QStringList{"-Q", "%1", "-o", "%2.ogg"} << "oggdec"
                                << QStringList{"-Q", "%2.ogg", "-o", "%3"};
        QTest::newRow("aac") << "ffmpeg" << QStringList{"-v",   "error", "-y",   "-i",   "%1",
                                                        "-c:a", "aac",   "-b:a", "160k", "%2.m4a"}
                             << "ffmpeg"
                             << QStringList{"-v", "error", "-y", "-i", "%2.m4a", "-f", "wav", "%3"};
    }
    void lossyFilesSoundAsTheirReferenceDecoderHasThem()
    {
        QFETCH(QString, encoder);
        QFETCH(QStringList, encode);
        QFETCH(QString, decoder);
        QFETCH(QStringList, decode);
        if (!have(encoder) || !have(decoder))
            QSKIP("an encoder or the reference decoder is missing");
        const QString base = path(QStringLiteral("lossy")), ref = path(QStringLiteral("ref.wav"));
        for (QStringList *list : {&encode, &decode})
            for (QString &a : *list)
                a = a.replace(QStringLiteral("%1"), m_source)
                        .replace(QStringLiteral("%2"), base)
                        .replace(QStringLiteral("%3"), ref);
        QVERIFY(run(encoder, encode));
        QVERIFY(run(decoder, decode));
        const QString file = encode.last();
        const WavData reference = readWav(ref);
        const WavData ours = played(file);
        QVERIFY(ours.ok && reference.ok);
        QCOMPARE(ours.rate, reference.rate);
        QCOMPARE(ours.channels, reference.channels);
        QCOMPARE(ours.frames(), reference.frames());
        const double db = errorDb(ours, reference);
        qInfo("%s: %.1f dB from the reference decoder", qPrintable(QFileInfo(file).suffix()), db);
        QVERIFY2(db < -70, qPrintable(QString::number(db)));
    }

    void aSeekLandsWithinTenMilliseconds_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<QStringList>("encode");
        QTest::addColumn<QString>("decoder");
        QTest::addColumn<QStringList>("decode");
        QTest::addColumn<bool>("exact"); // on the very sample asked for, and from there the file's samples
        QTest::newRow("flac") << "flac" << QStringList{"-s", "-f", "%1", "-o", "%2.flac"} << "flac"
                              << QStringList{"-s", "-d", "-f", "%2.flac", "-o", "%3"} << true;
        QTest::newRow("opus") << "opusenc" << QStringList{"--quiet", "%1", "%2.opus"} << "opusdec"
                              << QStringList{"--quiet", "--no-dither", "--rate", "48000", "%2.opus", "%3"}
                              << false;
    }
    void aSeekLandsWithinTenMilliseconds()
    {
        QFETCH(QString, encoder);
        QFETCH(QStringList, encode);
        QFETCH(QString, decoder);
        QFETCH(QStringList, decode);
        QFETCH(bool, exact);
        if (!have(encoder) || !have(decoder))
            QSKIP("an encoder or the reference decoder is missing");
        const QString base = path(QStringLiteral("seek")), ref = path(QStringLiteral("seekref.wav"));
        for (QStringList *list : {&encode, &decode})
            for (QString &a : *list)
                a = a.replace(QStringLiteral("%1"), m_sweep)
                        .replace(QStringLiteral("%2"), base)
                        .replace(QStringLiteral("%3"), ref);
        QVERIFY(run(encoder, encode));
        QVERIFY(run(decoder, decode));
        const WavData full = readWav(ref);
        QVERIFY(full.ok);

        for (int offset : {123, 250, 399}) {
            TXaudioPlayer p;
            const QString wav = path(QStringLiteral("seek.wav"));
            bool seeked = false;
            connect(&p, &TXaudioPlayer::OnNotifyInputState, &p, [&](int s) {
                if (s == XA_INPUT_STATE_OPEN && !seeked) {
                    seeked = true;
                    p.InputSeek(offset, 400);
                    p.Play();
                }
            });
            QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
            p.OutputOpen(QStringLiteral("wav:") + wav);
            p.InputOpen(encode.last());
            QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
            p.OutputClose();
            QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);
            const WavData rest = readWav(wav);
            QVERIFY(rest.ok);
            const long target = long(full.frames()) * offset / 400;
            const long landed = long(full.frames() - rest.frames());
            const long tenMs = full.rate / 100;
            qInfo("seek to %d/400: %ld samples from the place asked", offset, landed - target);
            if (exact) {
                QCOMPARE(landed, target);
                QVERIFY(std::equal(rest.samples.begin(), rest.samples.end(),
                                   full.samples.begin() + target * full.channels));
            }
            QVERIFY2(std::abs(landed - target) <= tenMs,
                     qPrintable(QStringLiteral("%1 for %2").arg(landed).arg(target)));
            // And the sound there is the file's at that place.
            const long n = std::min<long>(2000, long(rest.frames()) - 10);
            QVERIFY2(std::abs(landed - target + bestShift(rest, full, target, n, tenMs)) <= tenMs,
                     qPrintable(QString::number(bestShift(rest, full, target, n, tenMs))));
        }
    }

    void twoHalvesOfAFlacToneFollowWithoutAGap_data()
    {
        QTest::addColumn<int>("bits");
        QTest::newRow("16-bit") << 16;
        QTest::newRow("24-bit") << 24;
    }
    void twoHalvesOfAFlacToneFollowWithoutAGap()
    {
        QFETCH(int, bits);
        QString source = m_source;
        if (bits == 24) {
            source = path(QStringLiteral("deep-join.wav"));
            QVERIFY(run(QStringLiteral("sox"), {"-n", "-r", "44100", "-c", "2", "-b", "24", source, "synth",
                                                "1.5", "sine", "440", "whitenoise", "gain", "-8"}));
        }
        // Split at a sample that is no block boundary.
        const QString a = path(QStringLiteral("a.flac")), b = path(QStringLiteral("b.flac"));
        QVERIFY(run(QStringLiteral("sox"),
                    {source, a, QStringLiteral("trim"), QStringLiteral("0"), QStringLiteral("33157s")}));
        QVERIFY(run(QStringLiteral("sox"), {source, b, QStringLiteral("trim"), QStringLiteral("33157s")}));
        TXaudioPlayer p;
        QSignalSpy followed(&p, &TXaudioPlayer::OnNotifyInputFollowed);
        QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
        connect(&p, &TXaudioPlayer::OnNotifyInputState, &p, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN && followed.isEmpty()) {
                p.InputQueue(b);
                p.Play();
            }
        });
        const QString wav = path(QStringLiteral("joined.wav"));
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(a);
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        QCOMPARE(followed.count(), 1);
        p.OutputClose();
        QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);
        const WavData joined = readWav(wav), whole = readWav(source);
        QVERIFY(joined.ok);
        QCOMPARE(joined.bits, bits);
        QVERIFY(joined.samples == whole.samples);
        QVERIFY(joined.deep == whole.deep);
        QFile::remove(wav);
    }

    void theEqualizerAndVolumeWorkOnFlacAsOnMpeg()
    {
        if (!have(QStringLiteral("flac")))
            QSKIP("flac is missing");
        const QString file = path(QStringLiteral("eq.flac"));
        QVERIFY(run(QStringLiteral("flac"),
                    {QStringLiteral("-s"), QStringLiteral("-f"), m_source, QStringLiteral("-o"), file}));
        TXaudioPlayer p;
        p.SetOutputVolume(50, 20, 255);
        XA_EqualizerInfo eq{};
        std::fill(std::begin(eq.left), std::end(eq.left), int8_t(80));
        p.SetCodecEqualizer(&eq);
        const QString wav = path(QStringLiteral("eq.wav"));
        QVERIFY(playToWav(p, file, wav));
        const WavData ours = readWav(wav), source = readWav(m_source);
        QCOMPARE(ours.frames(), source.frames());
        const size_t from = ours.frames() / 4, to = ours.frames() * 3 / 4;
        // Left: +12 dB of the equalizer and the level's 20 %; right: the level alone.
        const double left = 20 * std::log10(ours.rms(0, from, to) / source.rms(0, from, to));
        const double right = 20 * std::log10(ours.rms(1, from, to) / source.rms(1, from, to));
        const double level = 20 * std::log10(0.2);
        QVERIFY2(std::abs(left - (level + 12)) <= 1, qPrintable(QString::number(left)));
        QVERIFY2(std::abs(right - level) <= 0.2, qPrintable(QString::number(right)));
    }

    void aDamagedFileIsRefusedOrPlaysWhatDecodes()
    {
        if (!have(QStringLiteral("flac")))
            QSKIP("flac is missing");
        const QString good = path(QStringLiteral("good.flac"));
        QVERIFY(run(QStringLiteral("flac"),
                    {QStringLiteral("-s"), QStringLiteral("-f"), m_source, QStringLiteral("-o"), good}));
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        auto write = [this](const char *name, const QByteArray &content) {
            QFile f(path(QLatin1String(name)));
            f.open(QIODevice::WriteOnly);
            f.write(content);
            return f.fileName();
        };
        QByteArray scrambled = bytes;
        quint32 x = 4711;
        for (qsizetype i = 4; i < scrambled.size(); ++i) {
            x = x * 1664525u + 1013904223u;
            scrambled[i] = char(x >> 24);
        }
        // The header's magic and nothing else right, in FLAC, Ogg and MP4.
        const QStringList refused = {write("scrambled.flac", scrambled),
                                     write("page.ogg", "OggS" + scrambled.mid(4, 3000)),
                                     write("cut.m4a", QByteArray("\0\0\0\x18"
                                                                 "ftypM4A ",
                                                                 12) +
                                                          scrambled.mid(4, 5000))};

        TXaudioPlayer player;
        XaudioEngine engine(&player);
        QSignalSpy refusals(&engine, &AudioEngine::refused);
        for (const QString &file : refused) {
            engine.open(file);
            QTRY_VERIFY(!refusals.isEmpty());
            QCOMPARE(refusals.last().at(0).value<AudioEngine::Command>(), AudioEngine::Command::Open);
            // The controller shows it as "Cannot Open Input (damaged or unknown audio file)".
            QCOMPARE(refusals.last().at(1).toString(), QStringLiteral("damaged or unknown audio file"));
            refusals.clear();
        }

        // Cut in the middle: what is there plays, and the player goes on.
        const WavData half = played(write("half.flac", bytes.left(bytes.size() / 2)));
        QVERIFY(half.ok);
        QVERIFY(half.frames() > 44100 / 4 && half.frames() < readWav(m_source).frames());
        QVERIFY(played(good).samples == readWav(m_source).samples);
    }

    void aFlacDamagedInTheMiddleAndCutShortPlaysAllButTheDamage()
    {
        if (!have(QStringLiteral("flac")))
            QSKIP("flac is missing");
        const QString good = path(QStringLiteral("middle.flac")),
                      damaged = path(QStringLiteral("middle-d.flac"));
        // Blocks of 1024 samples: the 1.5 s are 65 of them.
        QVERIFY(run(QStringLiteral("flac"), {"-s", "-f", "--blocksize=1024", m_source, "-o", good}));
        QFile in(good);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray bytes = in.readAll();
        quint32 x = 31337;
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 100; ++i) {
            x = x * 1664525u + 1013904223u;
            bytes[i] = char(x >> 24);
        }
        bytes.truncate(bytes.size() * 9 / 10);
        QFile out(damaged);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const WavData source = readWav(m_source);
        const WavData ours = played(damaged);
        QVERIFY(ours.ok);
        const long frames = long(ours.frames()), all = long(source.frames());
        qInfo("%ld of %ld samples played", frames, all);
        // Up to the damage, the file's samples.
        const long before = all * 2 / 5;
        QVERIFY(frames > all * 7 / 10 && frames < all * 9 / 10);
        QVERIFY(std::equal(ours.samples.begin(), ours.samples.begin() + before * 2, source.samples.begin()));
        // After it too, a few blocks later than they would have been.
        const long tail = 2000, at = frames - tail;
        bool found = false;
        for (long skipped = 0; skipped <= 4 * 1024 && !found; skipped += 1024)
            found = std::equal(ours.samples.begin() + at * 2, ours.samples.end(),
                               source.samples.begin() + (at + skipped) * 2);
        QVERIFY(found);
    }

    void filesDamagedAnywhereEndOrAreRefusedWithoutHangingOrGrowing()
    {
        QStringList files;
        // An encoder that is there must make its file: only a missing one is passed over.
        if (have(QStringLiteral("flac"))) {
            QVERIFY(
                run(QStringLiteral("flac"), {"-s", "-f", m_source, "-o", path(QStringLiteral("d.flac"))}));
            files << path(QStringLiteral("d.flac"));
        }
        if (have(QStringLiteral("opusenc"))) {
            QVERIFY(run(QStringLiteral("opusenc"), {"--quiet", m_source, path(QStringLiteral("d.opus"))}));
            files << path(QStringLiteral("d.opus"));
        }
        if (have(QStringLiteral("ffmpeg"))) {
            QVERIFY(run(QStringLiteral("ffmpeg"),
                        {"-v", "error", "-y", "-i", m_source, "-c:a", "aac", path("d.m4a")}));
            files << path(QStringLiteral("d.m4a"));
        }
        if (files.isEmpty())
            QSKIP("needs flac, opusenc or ffmpeg (scripts/install-deps.sh)");
        const size_t sourceFrames = readWav(m_source).frames();
        TXaudioPlayer p;
        int refused = 0, ended = 0;
        quint32 x = 99;
        auto next = [&x](quint32 below) {
            x = x * 1664525u + 1013904223u;
            return (x >> 8) % below;
        };
        for (const QString &file : files) {
            QFile in(file);
            QVERIFY(in.open(QIODevice::ReadOnly));
            const QByteArray good = in.readAll();
            for (int variant = 0; variant < 12; ++variant) {
                QByteArray bytes = good;
                for (int i = 0; i < 16; ++i)
                    bytes[next(quint32(bytes.size()))] = char(next(256));
                if (variant % 2)
                    bytes.truncate(next(quint32(bytes.size())));
                const QString damaged = file + QStringLiteral(".damaged.") + QFileInfo(file).suffix();
                QFile out(damaged);
                QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
                out.write(bytes);
                out.close();

                bool done = false, eos = false;
                auto c1 = connect(&p, &TXaudioPlayer::OnNotifyInputState, &p, [&](int s) {
                    if (s == XA_INPUT_STATE_OPEN)
                        p.Play();
                });
                auto c2 = connect(&p, &TXaudioPlayer::OnNotifyPlayerState, &p, [&](int s) {
                    eos |= s == XA_PLAYER_STATE_EOS;
                    done |= s == XA_PLAYER_STATE_EOS || s == XA_PLAYER_STATE_STOPPED;
                });
                auto c3 = connect(&p, &TXaudioPlayer::OnNotifyNack, &p, [&](quint8 command, qint16) {
                    done |= command == XA_MSG_COMMAND_INPUT_OPEN;
                });
                const QString wav = path(QStringLiteral("damaged.wav"));
                p.OutputOpen(QStringLiteral("wav:") + wav);
                p.InputOpen(damaged);
                QTRY_VERIFY_WITH_TIMEOUT(done, 20000);
                QSignalSpy closed(&p, &TXaudioPlayer::OnNotifyOutputState);
                p.OutputClose();
                QTRY_VERIFY(!closed.isEmpty());
                for (auto c : {c1, c2, c3})
                    disconnect(c);
                if (eos) {
                    ++ended;
                    // What plays is at most what the file held, give or take the codec's frames.
                    const WavData w = readWav(wav);
                    QVERIFY2(w.frames() <= sourceFrames * 2, qPrintable(damaged));
                } else {
                    ++refused;
                }
            }
        }
        qInfo("damaged files: %d played to their end, %d refused", ended, refused);
        // The player is still fine.
        QVERIFY(played(files.first()).ok);
    }

    void mpegAudioInAFileNamedForAnotherFormatStillPlaysThroughTheMpegDecoder()
    {
        const QString file = path(QStringLiteral("mpeg.m4a"));
        QVERIFY(QFile::copy(fixture("sine-1k-44k-stereo.mp3"), file));
        const QString ref = path(QStringLiteral("mpegref.wav"));
        QCOMPARE(QProcess::execute(QStringLiteral("mpg123"),
                                   {QStringLiteral("-q"), QStringLiteral("-w"), ref, file}),
                 0);
        QVERIFY(played(file).samples == readWav(ref).samples);
    }
};

VORLAN_TEST_CLASS(OtherFormatsTest)
#include "OtherFormatsTest.moc"
