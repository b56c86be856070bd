#include "engine/TVumeter.h"
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "engine/xaudio/SoundChain.h"
#include "tests/TestMain.h"
#include "tests/engine/PlayerRun.h"
#include "tests/engine/WavFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <QThread>
#include <cmath>

#include <atomic>

using namespace enginetest;

namespace
{

WavData reference(const QString &input)
{
    const QString out = vorlantest::tempDir() + QStringLiteral("/ref.wav");
    QProcess::execute(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), out, input});
    return readWav(out);
}

} // namespace

class XaudioTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mpg123")).isEmpty())
            QFAIL("mpg123 is needed to compare with the reference decoder (scripts/install-deps.sh)");
    }

    void decodesEveryFixtureExactlyLikeTheReferenceDecoder_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *f :
             {"mpeg1-layer1.mpg", "mpeg1-layer2.mp2", "mpeg1-layer3-tagged.mp3", "mpeg2-layer2.mp2",
              "mpeg2-layer3.mp3", "mpeg25-layer3.mp3", "id3v2-front.mp3", "junk-front.mp3", "freeformat.mp3",
              "sine-1k-44k-stereo.mp3", "tone-3s-mono.mp3"})
            QTest::newRow(f) << fixture(f);
    }
    void decodesEveryFixtureExactlyLikeTheReferenceDecoder()
    {
        QFETCH(QString, file);
        TXaudioPlayer p;
        const QString wav = vorlantest::tempDir() + QStringLiteral("/out.wav");
        QVERIFY(playToWav(p, file, wav));
        const WavData ours = readWav(wav);
        const WavData ref = reference(file);
        QVERIFY(ours.ok && ref.ok);
        QCOMPARE(ours.rate, ref.rate);
        QCOMPARE(ours.channels, ref.channels);
        QCOMPARE(ours.samples.size(), ref.samples.size());
        const auto diff = std::mismatch(ours.samples.begin(), ours.samples.end(), ref.samples.begin());
        QVERIFY2(diff.first == ours.samples.end(),
                 qPrintable(QStringLiteral("sample %1: %2 instead of %3")
                                .arg(diff.first - ours.samples.begin())
                                .arg(diff.first == ours.samples.end() ? 0 : *diff.first)
                                .arg(diff.first == ours.samples.end() ? 0 : *diff.second)));
    }

    void notificationsComeInOrder()
    {
        TXaudioPlayer p;
        QList<int> codes;
        connect(&p, &TXaudioPlayer::OnNotifyMessage, [&](const XA_Message &m) { codes << m.code; });
        const QString wav = vorlantest::tempDir() + QStringLiteral("/o.wav");
        QSignalSpy duration(&p, &TXaudioPlayer::OnNotifyInputDuration);
        QSignalSpy info(&p, &TXaudioPlayer::OnNotifyInputStreamInfo);
        QVERIFY(playToWav(p, fixture("tone-3s-mono.mp3"), wav));
        QCOMPARE(codes.first(), int(XA_MSG_NOTIFY_READY));
        const int inputOpen = codes.indexOf(XA_MSG_NOTIFY_INPUT_STATE);
        const int playing = codes.indexOf(XA_MSG_NOTIFY_PLAYER_STATE);
        const int eos = codes.lastIndexOf(XA_MSG_NOTIFY_PLAYER_STATE);
        QVERIFY(inputOpen >= 0 && inputOpen < playing && playing < eos);
        QVERIFY(codes.indexOf(XA_MSG_NOTIFY_INPUT_DURATION) < inputOpen);
        // Several timecodes and positions while playing, the last ones before the end.
        QVERIFY(codes.mid(playing, eos - playing).count(XA_MSG_NOTIFY_INPUT_TIMECODE) >= 2);
        QVERIFY(codes.lastIndexOf(XA_MSG_NOTIFY_INPUT_POSITION) < eos);
        QCOMPARE(duration.count(), 1);
        QCOMPARE(duration.first().at(0).toUInt(), 3u);
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.first().at(0).toUInt(), 1u);     // MPEG-1
        QCOMPARE(info.first().at(1).toUInt(), 3u);     // Layer III
        QCOMPARE(info.first().at(3).toUInt(), 44100u); // Hz
        QCOMPARE(info.first().at(4).toUInt(), 3u);     // single channel
    }

    void positionAndTimecodeReachTheEnd()
    {
        TXaudioPlayer p;
        quint32 lastOffset = 0, range = 0;
        int lastSecond = -1;
        connect(&p, &TXaudioPlayer::OnNotifyInputPosition, [&](quint32 o, quint32 r) {
            lastOffset = o;
            range = r;
        });
        connect(&p, &TXaudioPlayer::OnNotifyInputTimecode,
                [&](quint8, quint8, quint8 s, quint8) { lastSecond = s; });
        QVERIFY(playToWav(p, fixture("tone-3s-mono.mp3"), vorlantest::tempDir() + QStringLiteral("/o.wav")));
        QCOMPARE(range, 400u);
        QCOMPARE(lastOffset, 400u);
        QCOMPARE(lastSecond, 3);
    }

    void positionsWaitQuietlyForAnOwnerThatAsks()
    {
        // An owner that takes its messages on a timer of its own is not called back for positions and times,
        // and still gets every one of them, in order, up to the end.
        for (const bool quiet : {false, true}) {
            std::atomic<int> calls{0};
            XA_Player *player = nullptr;
            QCOMPARE(player_new(
                         &player, [](void *user) { ++*static_cast<std::atomic<int> *>(user); }, &calls),
                     int(XA_SUCCESS));
            if (quiet)
                player_set_wake_mask(player, XA_NOTIFY_MASK_ALL & ~(XA_NOTIFY_MASK_INPUT_POSITION |
                                                                    XA_NOTIFY_MASK_INPUT_TIMECODE));
            const QByteArray wav =
                "wav:" + QFile::encodeName(vorlantest::tempDir() + QStringLiteral("/q.wav"));
            control_message_send_S(player, XA_MSG_COMMAND_OUTPUT_OPEN, wav.constData());
            control_message_send_S(player, XA_MSG_COMMAND_INPUT_OPEN,
                                   QFile::encodeName(fixture("tone-3s-mono.mp3")).constData());
            control_message_send_N(player, XA_MSG_COMMAND_PLAY);
            int messages = 0, progress = 0, lastSecond = -1;
            uint32_t lastOffset = 0;
            bool ended = false;
            QElapsedTimer clock;
            clock.start();
            while (!ended && clock.elapsed() < 20000) {
                XA_Message m;
                if (!control_message_get(player, &m)) {
                    QThread::msleep(5);
                    continue;
                }
                ++messages;
                if (m.code == XA_MSG_NOTIFY_INPUT_POSITION || m.code == XA_MSG_NOTIFY_INPUT_TIMECODE) {
                    QVERIFY(!ended);
                    ++progress;
                    if (m.code == XA_MSG_NOTIFY_INPUT_POSITION)
                        lastOffset = m.offset;
                    else
                        lastSecond = m.seconds;
                }
                ended = m.code == XA_MSG_NOTIFY_PLAYER_STATE && m.state == XA_PLAYER_STATE_EOS;
            }
            const int called = calls;
            player_delete(player);
            QVERIFY(ended);
            QVERIFY(progress >= 4);
            QCOMPARE(lastOffset, 400u);
            QCOMPARE(lastSecond, 3);
            QCOMPARE(called, quiet ? messages - progress : messages);
        }
    }

    void pauseAndResumeLoseNothing()
    {
        // Play and Pause are queued behind the open, so the pause lands before the first frame; a WAV file is
        // written so fast that a busy machine could still finish the song first, hence a few tries.
        bool paused = false;
        for (int attempt = 0; attempt < 5 && !paused; ++attempt) {
            TXaudioPlayer p;
            const QString wav = vorlantest::tempDir() + QStringLiteral("/p.wav");
            connect(&p, &TXaudioPlayer::OnNotifyPlayerState, [&](int s) {
                if (s == XA_PLAYER_STATE_PAUSED && !paused) {
                    paused = true;
                    p.Play();
                }
            });
            p.OutputOpen(QStringLiteral("wav:") + wav);
            p.InputOpen(fixture("mpeg1-layer3.mp3"));
            p.Play();
            p.Pause();
            QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
            QSignalSpy acks(&p, &TXaudioPlayer::OnNotifyAck);
            p.OutputClose();
            QTRY_VERIFY(!acks.isEmpty());
            if (paused)
                QVERIFY(readWav(wav).samples == reference(fixture("mpeg1-layer3.mp3")).samples);
        }
        QVERIFY(paused);
    }

    void seekToTheMiddleLandsWithinAFrame()
    {
        TXaudioPlayer p;
        const QString wav = vorlantest::tempDir() + QStringLiteral("/s.wav");
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN) {
                p.InputSeek(200, 400);
                p.Play();
            }
        });
        QSignalSpy outputs(&p, &TXaudioPlayer::OnNotifyOutputState);
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(fixture("tone-3s-mono.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        // The WAV file is complete once the output reports it closed.
        p.OutputClose();
        QTRY_VERIFY(!outputs.isEmpty() && outputs.last().at(0).toInt() == XA_OUTPUT_STATE_CLOSED);
        const WavData half = readWav(wav);
        const WavData full = reference(fixture("tone-3s-mono.mp3"));
        QVERIFY(half.ok);
        QVERIFY(std::abs(long(half.frames()) - long(full.frames() / 2)) <= 1152);
    }

    void stopReturnsToTheStartAndAMissingOrBrokenFileIsRefused()
    {
        TXaudioPlayer p;
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        p.InputOpen(QStringLiteral("/nonexistent/song.mp3"));
        QTRY_COMPARE(nacks.count(), 1);
        QCOMPARE(nacks.first().at(0).toInt(), int(XA_MSG_COMMAND_INPUT_OPEN));
        QVERIFY(!p.ErrorString(nacks.first().at(1).toInt()).isEmpty());
        QVERIFY(p.ErrorString(nacks.first().at(1).toInt()) != QStringLiteral("unknown error"));
        QCOMPARE(errors.count(), 1);

        const QString junk = vorlantest::tempDir() + QStringLiteral("/random.mp3");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray bytes(200000, '\0');
        quint32 x = 12345;
        for (auto &b : bytes) {
            x = x * 1664525u + 1013904223u;
            b = char(x >> 24);
        }
        f.write(bytes);
        f.close();
        p.InputOpen(junk);
        QTRY_COMPARE(nacks.count(), 2);
        QCOMPARE(nacks.last().at(0).toInt(), int(XA_MSG_COMMAND_INPUT_OPEN));

        // The player goes on: the next good file plays.
        QVERIFY(playToWav(p, fixture("mpeg1-layer2.mp2"), vorlantest::tempDir() + QStringLiteral("/g.wav")));

        QSignalSpy positions(&p, &TXaudioPlayer::OnNotifyInputPosition);
        p.Stop();
        QVERIFY(waitForState(p, XA_PLAYER_STATE_STOPPED));
        QTRY_VERIFY(!positions.isEmpty());
        QCOMPARE(positions.last().at(0).toUInt(), 0u);
    }

    void outputsThatCannotOpenAreRefusedAndThePlayerStaysUsable()
    {
        TXaudioPlayer p;
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        QSignalSpy acks(&p, &TXaudioPlayer::OnNotifyAck);
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        p.OutputOpen(QStringLiteral("wav:/nonexistent/folder/out.wav"));
        QTRY_COMPARE(nacks.count(), 1);
        QCOMPARE(nacks.first().at(0).toInt(), int(XA_MSG_COMMAND_OUTPUT_OPEN));
        QCOMPARE(errors.count(), 1);

        p.OutputModuleRegister(QStringLiteral("dsound_output_module_register@xoutput.dll"));
        p.OutputModuleRegister(QStringLiteral("nothing@nowhere.dll"));
        QTRY_COMPARE(nacks.count(), 2);
        QCOMPARE(nacks.last().at(0).toInt(), int(XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER));
        bool registered = false;
        for (const auto &a : acks)
            registered |= a.at(0).toInt() == XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER;
        QVERIFY(registered);
        QVERIFY(playToWav(p, fixture("mpeg1-layer3.mp3"), vorlantest::tempDir() + QStringLiteral("/ok.wav")));
    }

    void equalizerAtZeroOrOffLeavesSamplesUntouched()
    {
        TXaudioPlayer p;
        const XA_EqualizerInfo zero{};
        p.SetCodecEqualizer(&zero);
        const QString wav = vorlantest::tempDir() + QStringLiteral("/z.wav");
        QVERIFY(playToWav(p, fixture("sine-1k-44k-stereo.mp3"), wav));
        QVERIFY(readWav(wav).samples == reference(fixture("sine-1k-44k-stereo.mp3")).samples);
        p.SetCodecEqualizer(nullptr);
        QVERIFY(playToWav(p, fixture("sine-1k-44k-stereo.mp3"), wav));
        QVERIFY(readWav(wav).samples == reference(fixture("sine-1k-44k-stereo.mp3")).samples);
    }

    void balanceChannelsAndLevelShapeTheSound()
    {
        const WavData ref = reference(fixture("sine-1k-44k-stereo.mp3"));
        const double full = ref.rms(0);
        auto play = [](auto setup) {
            TXaudioPlayer p;
            setup(p);
            const QString wav = vorlantest::tempDir() + QStringLiteral("/b.wav");
            playToWav(p, fixture("sine-1k-44k-stereo.mp3"), wav);
            return readWav(wav);
        };
        // Balance 0: the right channel is silent, the left at full level.
        WavData w = play([](TXaudioPlayer &p) { p.SetOutputVolume(0, 100, 255); });
        QCOMPARE(w.peak(1), 0);
        QVERIFY(std::abs(w.rms(0, 2000) / ref.rms(0, 2000) - 1) < 0.01);
        // PCM level 50 halves the amplitude (the gain is linear in the level).
        w = play([](TXaudioPlayer &p) { p.SetOutputVolume(50, 50, 255); });
        QVERIFY(std::abs(w.rms(0, 2000) / ref.rms(0, 2000) - 0.5) < 0.01);
        QVERIFY(full > 0);

        // A tone on the left only: mono left puts it on both sides, mono right silences both, mono mix halves
        // it.
        const WavData left = reference(fixture("left-only-stereo.mp3"));
        QVERIFY(left.rms(0) > 1000 && left.peak(1) < 50);
        w = play2(fixture("left-only-stereo.mp3"), XA_OUTPUT_MONO_LEFT);
        QVERIFY(std::abs(w.rms(1, 2000) / left.rms(0, 2000) - 1) < 0.01);
        for (size_t i = 0; i < w.frames(); ++i)
            QCOMPARE(w.samples[2 * i], w.samples[2 * i + 1]);
        w = play2(fixture("left-only-stereo.mp3"), XA_OUTPUT_MONO_RIGHT);
        QVERIFY(w.peak(0) < 50 && w.peak(1) < 50);
        w = play2(fixture("left-only-stereo.mp3"), XA_OUTPUT_MONO_MIX);
        QVERIFY(std::abs(w.rms(1, 2000) / left.rms(0, 2000) - 0.5) < 0.02);
    }

    static WavData play2(const QString &file, int channels)
    {
        TXaudioPlayer p;
        p.SetOutputChannels(channels);
        const QString wav = vorlantest::tempDir() + QStringLiteral("/c.wav");
        playToWav(p, file, wav);
        return readWav(wav);
    }

    void pitchChangesRateAndLength_data()
    {
        QTest::addColumn<int>("pitch");
        QTest::newRow("half speed") << 500;
        // Each decoded frame becomes more sound than the output takes in one write.
        QTest::newRow("a tenth") << 100;
    }

    void pitchChangesRateAndLength()
    {
        // The chain the sound server's output plays through: one second of a 1 kHz sine in blocks of a
        // decoded frame.
        QFETCH(int, pitch);
        SoundChain chain;
        chain.setFormat(44100, 2);
        chain.setPitch(pitch);
        WavData w;
        w.rate = 44100;
        w.channels = 2;
        std::vector<int16_t> block(1152 * 2);
        for (size_t start = 0; start < 44100; start += 1152) {
            for (size_t i = 0; i < 1152; ++i)
                block[2 * i] = block[2 * i + 1] =
                    int16_t(16000 * std::sin(2 * M_PI * 1000 * double(start + i) / 44100));
            size_t frames = 0;
            const int16_t *out = chain.process(block.data(), 1152, &frames);
            w.samples.insert(w.samples.end(), out, out + frames * 2);
        }
        // One second at half speed lasts two, at half the frequency.
        const double slower = 1000.0 / pitch;
        const double seconds = double((44100 + 1151) / 1152 * 1152) / 44100 * slower;
        QVERIFY2(std::abs(double(w.frames()) / 44100.0 - seconds) < 0.01 * seconds,
                 qPrintable(QString::number(w.frames())));
        QVERIFY2(std::abs(w.frequency(0) - 1000 / slower) < 5, qPrintable(QString::number(w.frequency(0))));
    }

    void theWavWriterPlaysAtTheSongsOwnSpeedWhateverThePitch()
    {
        // A pitch set for the sound server (151%) does not shorten the files written.
        TXaudioPlayer p;
        p.SetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.PITCH"), 1510);
        const QString wav = vorlantest::tempDir() + QStringLiteral("/pitch.wav");
        QVERIFY(playToWav(p, fixture("sine-1k-44k-stereo.mp3"), wav));
        const WavData w = readWav(wav);
        const WavData ref = reference(fixture("sine-1k-44k-stereo.mp3"));
        QCOMPARE(w.frames(), ref.frames());
        QVERIFY2(std::abs(w.frequency(0) - 1000) < 5, qPrintable(QString::number(w.frequency(0))));
    }

    void levelMeterReadsThePeaksSentToTheOutput()
    {
        TXaudioPlayer p;
        XaudioEngine engine(&p);
        TVumeter meter(&engine);
        meter.Update(); // no output: nothing changes
        QCOMPARE(meter.LeftPeak(), 0);
        bool opened = false;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN) {
                p.Play();
                opened = true;
            }
        });
        const QString wav = vorlantest::tempDir() + QStringLiteral("/m.wav");
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.SetOutputVolume(0, 100, 255); // left only
        p.InputOpen(fixture("sine-1k-44k-stereo.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        meter.Update();
        QSignalSpy acks(&p, &TXaudioPlayer::OnNotifyAck);
        p.OutputClose();
        QTRY_VERIFY(!acks.isEmpty());
        const WavData w = readWav(wav);
        // A half-scale sine: about 16384 / 180.
        QVERIFY2(std::abs(meter.LeftPeak() - w.peak(0) / 180) <= 1,
                 qPrintable(QStringLiteral("%1 %2").arg(meter.LeftPeak()).arg(w.peak(0))));
        QVERIFY(meter.LeftPeak() > 80);
        QCOMPARE(meter.RightPeak(), 0);

        // A mono song sounds on both sides of the line: both meters show it.
        meter.setRightPeak(77);
        p.SetOutputVolume(50, 100, 255);
        p.OutputOpen(QStringLiteral("wav:") + wav);
        p.InputOpen(fixture("tone-3s-mono.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS));
        meter.Update();
        QVERIFY(meter.LeftPeak() > 50);
        QCOMPARE(meter.RightPeak(), meter.LeftPeak());
    }

    void playsThroughTheSoundServer()
    {
        // A private sound server with a null sink stands in for the desktop's.
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            QSKIP("pulseaudio is not installed");
        QProcess server;
        server.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
                      QStringLiteral("--disallow-exit"), QStringLiteral("--load=module-null-sink"),
                      QStringLiteral("--load=module-native-protocol-unix")});
        const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);

        TXaudioPlayer p;
        XaudioEngine engine(&p);
        TVumeter meter(&engine);
        QSignalSpy errors(&p, &TXaudioPlayer::OnNotifyError);
        int maxPeak = 0;
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        connect(&p, &TXaudioPlayer::OnNotifyInputTimecode, [&](quint8, quint8, quint8, quint8) {
            meter.Update();
            maxPeak = std::max(maxPeak, meter.LeftPeak());
        });
        QElapsedTimer t;
        t.start();
        p.SetOutputName(QStringLiteral("/dev/dsound/0"));
        p.InputOpen(fixture("mpeg1-layer3.mp3"));
        QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS, 15000));
        // Played in real time, not faster.
        QVERIFY(t.elapsed() >= 400);
        QCOMPARE(errors.count(), 0);
        QVERIFY(maxPeak > 0);

        // The pitch acts here: at half speed the sine the sound server plays is half as high.
        if (!QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty()) {
            const QString recorded = vorlantest::tempDir() + QStringLiteral("/server.wav");
            QProcess record;
            record.start(QStringLiteral("parec"),
                         {QStringLiteral("--device=null.monitor"), QStringLiteral("--file-format=wav"),
                          QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                          QStringLiteral("--format=s16le"), recorded});
            QVERIFY(record.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(recorded).size() > 44, 10000);
            p.SetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.PITCH"), 500);
            p.InputOpen(fixture("sine-1k-44k-stereo.mp3"));
            QVERIFY(waitForState(p, XA_PLAYER_STATE_EOS, 15000));
            record.terminate();
            QVERIFY(record.waitForFinished(5000));
            WavData heard = readWav(recorded);
            // From the first to the last moment the sine sounds.
            size_t first = heard.frames(), last = 0;
            for (size_t i = 0; i < heard.frames(); ++i)
                if (std::abs(int(heard.samples[2 * i])) > 2000) {
                    first = std::min(first, i);
                    last = i;
                }
            QVERIFY(first < last);
            heard.samples = std::vector<int16_t>(heard.samples.begin() + std::ptrdiff_t(2 * first),
                                                 heard.samples.begin() + std::ptrdiff_t(2 * last));
            QVERIFY2(heard.frames() > 44100, qPrintable(QString::number(heard.frames())));
            QVERIFY2(std::abs(heard.frequency(0) - 500) < 10,
                     qPrintable(QString::number(heard.frequency(0))));
        }
        server.terminate();
        server.waitForFinished(5000);
    }

    void aSoundDeviceThatCannotOpenIsRefusedQuickly()
    {
        TXaudioPlayer p;
        QSignalSpy nacks(&p, &TXaudioPlayer::OnNotifyNack);
        bool playing = false;
        connect(&p, &TXaudioPlayer::OnNotifyPlayerState,
                [&](int s) { playing |= s == XA_PLAYER_STATE_PLAYING; });
        connect(&p, &TXaudioPlayer::OnNotifyInputState, [&](int s) {
            if (s == XA_INPUT_STATE_OPEN)
                p.Play();
        });
        // No sound server runs for this player's environment.
        const QByteArray savedServer = qgetenv("PULSE_SERVER");
        const auto restore = qScopeGuard([savedServer] {
            if (savedServer.isNull())
                qunsetenv("PULSE_SERVER");
            else
                qputenv("PULSE_SERVER", savedServer);
        });
        qputenv("PULSE_SERVER", "unix:/nonexistent/pulse/native");
        p.SetOutputName(QStringLiteral("/dev/dsound/0"));
        p.InputOpen(fixture("mpeg1-layer3.mp3"));
        QTRY_VERIFY_WITH_TIMEOUT(!nacks.isEmpty() || playing, 10000);
        QVERIFY(!playing);
        QCOMPARE(nacks.first().at(0).toInt(), int(XA_MSG_COMMAND_PLAY));
        QVERIFY(
            playToWav(p, fixture("mpeg1-layer3.mp3"), vorlantest::tempDir() + QStringLiteral("/after.wav")));
    }

    void versionMismatchIsReportedAndStartGoesOn()
    {
        QStringList boxes;
        TXaudioPlayer::setMessageSink([&](const QString &t) { boxes << t; });
        {
            TXaudioPlayer p(nullptr, [] { return uint32_t((3 << 16) | (3 << 8)); });
            QVERIFY(p.isValid());
        }
        {
            TXaudioPlayer p;
        }
        TXaudioPlayer::setMessageSink({});
        QCOMPARE(boxes, QStringList({QStringLiteral("Xaudio DLL API Mismatch\nExpected 3,2\nGot 3,3")}));
    }

    void codesWithoutEventRaiseOnlyTheMessageEvent()
    {
        TXaudioPlayer p;
        QSignalSpy all(&p, &TXaudioPlayer::OnNotifyMessage);
        QSignalSpy volume(&p, &TXaudioPlayer::OnNotifyOutputVolume);
        QSignalSpy error(&p, &TXaudioPlayer::OnNotifyError);
        QTRY_COMPARE(all.count(), 1); // ready
        XA_Message m;
        m.code = XA_MSG_NOTIFY_OUTPUT_RESERVED;
        p.dispatch(m);
        m.code = 200;
        p.dispatch(m);
        QCOMPARE(all.count(), 3);
        QCOMPARE(volume.count(), 0);
        QCOMPARE(error.count(), 0);
    }

    void queriesAnswerWithTheirEvents()
    {
        TXaudioPlayer p;
        QSignalSpy volume(&p, &TXaudioPlayer::OnNotifyOutputVolume);
        QSignalSpy env(&p, &TXaudioPlayer::OnNotifyPlayerEnvironmentInteger);
        QSignalSpy pong(&p, &TXaudioPlayer::OnNotifyPong);
        p.SetOutputVolume(30, 70, 255);
        p.GetOutputVolume();
        p.SetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.PITCH"), 1200);
        p.GetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.PITCH"));
        p.Ping(42);
        QTRY_COMPARE(pong.count(), 1);
        QCOMPARE(pong.first().at(0).toUInt(), 42u);
        QCOMPARE(volume.count(), 2);
        QCOMPARE(volume.last().at(1).toInt(), 70);
        QCOMPARE(volume.last().at(2).toInt(), 30);
        QCOMPARE(env.count(), 1);
        QCOMPARE(env.first().at(1).toInt(), 1200);
        p.setPriority(1);
        QCOMPARE(p.Priority(), 1);
    }
};

VORLAN_TEST_CLASS(XaudioTest)
#include "XaudioTest.moc"
