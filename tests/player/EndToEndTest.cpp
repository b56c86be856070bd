#include "platform/SingleInstance.h"
#include "tests/TestMain.h"
#include "tests/engine/WavFile.h"
#include "tests/player/PlayerHome.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace vorlantest;

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFile::exists(vorlanProgram()))
            QFAIL("the vorlan program is not built");
    }

    void playsTheListToWavFilesAndKeepsEverythingAtExit()
    {
        Home h;
        QProcess player;
        h.start(player);
        QVERIFY(player.waitForStarted());
        // Loop on: the list plays round; each song is written as a WAV named after it.
        const QStringList expected{QStringLiteral("track1.wav"),
                                   QStringLiteral("Fixture Artist - Fixture Title.wav"),
                                   QStringLiteral("track3.wav")};
        QTRY_VERIFY_WITH_TIMEOUT(QDir(h.out).entryList(QDir::Files).size() >= 3, 20000);
        for (const QString &name : expected)
            QVERIFY2(QFile::exists(h.out + '/' + name), qPrintable(QDir(h.out).entryList().join(',')));
        // The last song played to its end, so every song was counted; then end the player as a logout would.
        QTRY_VERIFY_WITH_TIMEOUT(wavClosed(h.out + QStringLiteral("/track3.wav")), 20000);
        // Files only: the network library and its TLS stack never took memory. Nobody handed anything over,
        // printed, or met a tag newer than ID3v1: those libraries were not loaded either. The mask's bitmaps
        // were read without asking the image plugins of other formats.
        const QString mapsFile = QStringLiteral("/proc/%1/maps").arg(player.processId());
        const QString maps = readAll(mapsFile);
        QVERIFY(maps.contains(QLatin1String("libmpg123")));
        for (const char *library : {"libcurl", "libQt6Network", "libtag", "libQt6PrintSupport", "libqjpeg"})
            QVERIFY2(!maps.contains(QLatin1String(library)), library);
        // The first hand-over loads the socket's module, and is answered.
        QVERIFY(h.playerAnswers());
        QVERIFY(readAll(mapsFile).contains(QLatin1String("libvorlan-handover.so")));
        QVERIFY(endPlayer(player));

        const QString stats = readAll(h.home + QStringLiteral("/Statistics.lst"));
        for (const QString &song : h.songs)
            QVERIFY2(stats.contains(',' + song), qPrintable(stats));
        QVERIFY(stats.contains(QStringLiteral("Fixture Artist - Fixture Title,")));
        const QString vln = readAll(h.home + QStringLiteral("/Vorlan.vln"));
        QCOMPARE(vln.count(QStringLiteral("\r\n")), 3);
        QVERIFY(vln.contains(h.songs[2]));
        const QString cfg = readAll(h.home + QStringLiteral("/Vorlan.cfg"));
        for (const char *key :
             {"BackMask=", "OutputModule=2", "Loop=1", "ShutTime=5", "Foreign=kept", "[This Program]"})
            QVERIFY2(cfg.contains(QLatin1String(key)), key);
        QVERIFY(cfg.indexOf(QStringLiteral("BackMask=")) < cfg.indexOf(QStringLiteral("OutputModule=")));
        QVERIFY(QFile::exists(h.home + QStringLiteral("/Equalizer.cfg")));
        QVERIFY(!QFile::exists(h.dir + QStringLiteral("/poweroff.log")));
    }

    void theSavedEqualizerShapesTheSoundAndIsKeptAtExit()
    {
        Home h;
        write(h.home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=2\r\nOutPutDir=" + h.out.toUtf8() +
                  "\r\nLoop=0\r\nEqualizer=1\r\n");
        // Every left slider at 20 (+3 dB), the right ones flat.
        QByteArray eq;
        for (int i = 0; i < 24; ++i)
            eq += i < 12 ? "20\r\n" : "0\r\n";
        write(h.home + QStringLiteral("/Equalizer.cfg"), eq);
        QProcess player;
        player.setProcessEnvironment(h.environment());
        player.start(vorlanProgram(), {});
        QVERIFY(player.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QDir(h.out).entryList(QDir::Files).size() >= 1, 20000);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(15000));

        const WavData w = readWav(h.out + QStringLiteral("/track1.wav"));
        QVERIFY(w.ok && w.channels == 2 && w.frames() > 4410);
        const double gain = 20 * std::log10(w.rms(0, w.frames() / 4, w.frames() * 3 / 4) /
                                            w.rms(1, w.frames() / 4, w.frames() * 3 / 4));
        QVERIFY2(std::abs(gain - 3) < 0.5, qPrintable(QString::number(gain)));
        QCOMPARE(readAll(h.home + QStringLiteral("/Equalizer.cfg")), QString::fromLatin1(eq));
        QVERIFY(readAll(h.home + QStringLiteral("/Vorlan.cfg")).contains(QStringLiteral("Equalizer=1")));
        // The bundled presets arrived with the first start.
        QVERIFY(QFile::exists(h.home + QStringLiteral("/Equalizer/Bass Boost")));
    }

    void aParameterThatNamesNothingKeepsTheSavedPlaylist()
    {
        Home h;
        const QString before = readAll(h.home + QStringLiteral("/Vorlan.vln"));
        QProcess player;
        h.start(player, {QStringLiteral("no-such-song.mp3")});
        QVERIFY(player.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(h.playerAnswers(), 20000);
        QVERIFY(endPlayer(player));
        QCOMPARE(readAll(h.home + QStringLiteral("/Vorlan.vln")), before);
        QCOMPARE(QDir(h.out).entryList(QDir::Files).size(), 0);
    }

    void aSignalDuringAStartUpQuestionEndsThePlayerAndLosesNothing_data()
    {
        QTest::addColumn<bool>("firstRun");
        // No settings yet: the first-run question is open, the list is not read yet.
        QTest::newRow("first-run question") << true;
        // Statistics that cannot be read: their warning is open before anything else is read.
        QTest::newRow("statistics warning") << false;
    }

    void aSignalDuringAStartUpQuestionEndsThePlayerAndLosesNothing()
    {
        QFETCH(bool, firstRun);
        Home h;
        QByteArray vln;
        for (int i = 1; i <= 300; ++i)
            vln += QByteArray::number(i) + "\tSong " + QByteArray::number(i) + "\t00:10\t/music/s" +
                   QByteArray::number(i) + ".mp3\r\n";
        write(h.home + QStringLiteral("/Vorlan.vln"), vln);
        const QString cfg = readAll(h.home + QStringLiteral("/Vorlan.cfg"));
        if (firstRun)
            QFile::remove(h.home + QStringLiteral("/Vorlan.cfg"));
        else
            QDir().mkpath(h.home + QStringLiteral("/Statistics.lst"));

        QProcess player;
        player.setProcessEnvironment(h.environment());
        player.start(vorlanProgram(), {});
        QVERIFY(player.waitForStarted());
        // A signal from now on is read by the first event loop the start-up runs: its question's.
        QTRY_VERIFY_WITH_TIMEOUT(sleepsInEventLoop(player.processId()), 10000);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(8000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        QCOMPARE(readAll(h.home + QStringLiteral("/Vorlan.vln")).toUtf8(), vln);
        if (!firstRun)
            QCOMPARE(readAll(h.home + QStringLiteral("/Vorlan.cfg")), cfg);
    }

    void aListItCouldNotReadIsKeptAsideBeforeItIsReplaced()
    {
        Home h;
        // Junk where the list should be: the entries it makes cannot play and leave the list at once.
        QByteArray junk("\x7F"
                        "ELF\x02\x01\x01\0\0\0\r\n\x01\x02\x03 garbage\r\n");
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919) % 256);
        write(h.home + QStringLiteral("/Vorlan.vln"), junk);
        QProcess player;
        QVERIFY(h.runUntilStartedThenSignal(player));
        QFile aside(h.home + QStringLiteral("/Vorlan.vln.bak"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), junk);

        // A list the player wrote itself is replaced without a copy.
        QFile::remove(aside.fileName());
        QVERIFY(h.runUntilStartedThenSignal(player));
        QVERIFY(!QFile::exists(aside.fileName()));
    }

    void hostileFilesInPlaceOfItsOwnNeitherHangNorAreReplaced()
    {
        Home h;
        const QString fifo = h.dir + QStringLiteral("/fifo");
        const QString folder = h.dir + QStringLiteral("/folder");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(folder));
        QFile::remove(h.home + QStringLiteral("/Vorlan.cfg"));
        QCOMPARE(::mkfifo(QFile::encodeName(h.home + QStringLiteral("/Vorlan.cfg")).constData(), 0600), 0);
        QVERIFY(QFile::link(fifo, h.home + QStringLiteral("/Equalizer.cfg")));
        QFile::remove(h.home + QStringLiteral("/Vorlan.vln"));
        QVERIFY(QFile::link(folder, h.home + QStringLiteral("/Vorlan.vln")));

        QProcess player;
        QVERIFY(h.runUntilStartedThenSignal(player));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        QVERIFY(QFileInfo(h.home + QStringLiteral("/Vorlan.cfg")).exists());
        QVERIFY(!QFileInfo(h.home + QStringLiteral("/Vorlan.cfg")).isFile());
        QCOMPARE(QFileInfo(h.home + QStringLiteral("/Equalizer.cfg")).symLinkTarget(), fifo);
        QCOMPARE(QFileInfo(h.home + QStringLiteral("/Vorlan.vln")).symLinkTarget(), folder);
        QVERIFY(!QFileInfo(fifo).isFile());
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
        const QString errors = QString::fromLocal8Bit(player.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("not writing")), qPrintable(errors));
    }

    void aSongWhoseNameIsNotUtf8PlaysAndIsKept()
    {
        Home h;
        // A Latin-1 file in a UTF-8 folder, as a copy from an old disk into today's music folder leaves it.
        const QByteArray folder = QFile::encodeName(h.music) + "/M\xC3\xBCsik";
        QCOMPARE(::mkdir(folder.constData(), 0700), 0);
        const QByteArray native = folder + "/caf\xE9.mp3";
        QCOMPARE(::rename(QFile::encodeName(h.songs[0]).constData(), native.constData()), 0);
        // A list from an old disk names it by its own bytes; its title is UTF-8.
        write(h.home + QStringLiteral("/Vorlan.vln"), "1\tCaf\xC3\xA9 au lait\t00:00\t" + native + "\r\n");
        QProcess player;
        player.setProcessEnvironment(h.environment());
        player.start(vorlanProgram(), {});
        QVERIFY(player.waitForStarted());
        const QString wav = h.out + QString::fromUtf8("/caf\xC3\xA9.wav");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(wav).size() > 1000, 15000);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(8000));
        // The saved list and statistics name it by the same bytes, beside the UTF-8 title.
        const auto bytesOf = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray vln = bytesOf(h.home + QStringLiteral("/Vorlan.vln"));
        QVERIFY2(vln.contains("\tCaf\xC3\xA9 au lait\t") && vln.contains("\t" + native + "\r\n"),
                 vln.constData());
        QVERIFY2(bytesOf(h.home + QStringLiteral("/Statistics.lst")).contains("," + native),
                 bytesOf(h.home + QStringLiteral("/Statistics.lst")).constData());
        QFile::remove(wav);
        player.start(vorlanProgram(), {});
        QVERIFY(player.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(wav).size() > 1000, 15000);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(8000));
    }

    void windowPlacesOffEveryScreenComeBackOntoOne()
    {
        Home h;
        QByteArray cfg = readAll(h.home + QStringLiteral("/Vorlan.cfg")).toUtf8();
        cfg += "PlayListDock=0\r\nPlayListLeft=-99999\r\nPlayListTop=88888\r\n"
               "[Info Position]\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=96\r\n"
               "MinMaxPos=-1,-1,-1,-1\r\nNormPos=50000,-70000,50300,-69800\r\n";
        write(h.home + QStringLiteral("/Vorlan.cfg"), cfg);
        write(h.home + QStringLiteral("/Vorlan.vln"), QByteArray());
        QProcess player;
        QVERIFY(h.runUntilStartedThenSignal(player));
        // Saved where they now are: on the (offscreen) screen, whose top left corner is 0,0.
        const QString saved = readAll(h.home + QStringLiteral("/Vorlan.cfg"));
        const auto value = [&](const QString &key) {
            const qsizetype at = saved.indexOf(key + '=');
            return saved.mid(at + key.size() + 1, saved.indexOf('\r', at) - at - key.size() - 1);
        };
        QVERIFY2(value(QStringLiteral("PlayListLeft")).toInt() >= 0, qPrintable(saved));
        QVERIFY2(value(QStringLiteral("PlayListTop")).toInt() >= 0, qPrintable(saved));
        const QStringList norm = value(QStringLiteral("NormPos")).split(',');
        QCOMPARE(norm.size(), 4);
        QVERIFY2(norm[0].toInt() >= 0 && norm[0].toInt() < 10000 && norm[1].toInt() >= 0, qPrintable(saved));
        QCOMPARE(norm[2].toInt() - norm[0].toInt(), 300);
    }

    void aSecondStartHandsItsFileOverAndEnds()
    {
        Home h;
        // The first player plays nothing by itself.
        write(h.home + QStringLiteral("/Vorlan.vln"), QByteArray());
        QProcess first;
        h.start(first);
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(h.playerAnswers(), 20000);
        // Programs that connect, send half a message and wait do not lock the second start out.
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 20; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(h.runtime + QStringLiteral("/vorlan.socket"));
            QVERIFY(idle.back()->waitForConnected(1000));
            idle.back()->write(QByteArray(2, '\0'));
            idle.back()->flush();
        }

        // Started from the song's folder with a name relative to it: the running player must not read it
        // against a folder of its own.
        QProcess second;
        h.start(second, {QStringLiteral("track1.mp3")}, h.music);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        // The running player plays it.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(h.out + QStringLiteral("/track1.wav")), 10000);
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(endPlayer(first));
        QVERIFY(readAll(h.home + QStringLiteral("/Vorlan.vln")).contains(h.songs[0]));
    }

    void aRelativePathIsKeptAbsolute()
    {
        // Loop off: the one song plays once, and its file stays closed.
        Home h(false);
        QProcess player;
        h.start(player, {QStringLiteral("track2.mp3")}, h.music);
        QVERIFY(player.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(wavClosed(h.out + QStringLiteral("/Fixture Artist - Fixture Title.wav")),
                                 20000);
        QVERIFY(endPlayer(player));
        const QString vln = readAll(h.home + QStringLiteral("/Vorlan.vln"));
        QVERIFY2(vln.contains('\t' + h.songs[1] + QStringLiteral("\r\n")), qPrintable(vln));
        const QString stats = readAll(h.home + QStringLiteral("/Statistics.lst"));
        QVERIFY2(stats.contains(',' + h.songs[1]), qPrintable(stats));
    }
};

VORLAN_TEST_CLASS(EndToEndTest)
#include "EndToEndTest.moc"
