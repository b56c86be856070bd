#include "player/PlaybackController.h"
#include "engine/TVumeter.h"
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "player/MediaOpener.h"
#include "player/Statistics.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/player/FakeEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace
{

QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

// A player, a playlist of copies of a short fixture, and the controller over them, writing WAV files.
struct Rig {
    TXaudioPlayer player;
    XaudioEngine engine{&player};
    PlaylistModel playlist;
    Statistics statistics;
    PlaybackController controller{&engine, &playlist, &statistics};
    QString dir = vorlantest::tempDir();
    QStringList songs;

    explicit Rig(int count = 3)
    {
        for (int i = 0; i < count; ++i) {
            const QString path = dir + QStringLiteral("/song%1.mp3").arg(i + 1);
            QFile::copy(fixture("mpeg1-layer2.mp2"), path);
            songs << path;
        }
        playlist.addFiles(songs);
        controller.setOutputModule(2);
        controller.setOutputDir(dir);
        controller.setTickInterval(5);
    }

    void message(int code, std::function<void(XA_Message &)> fill = {})
    {
        XA_Message m;
        m.code = code;
        if (fill)
            fill(m);
        player.dispatch(m);
    }
};

// The controller over a decoder stand-in that answers at once: the rules without the decoding.
struct FakeRig {
    vorlantest::FakeEngine engine;
    PlaylistModel playlist;
    Statistics statistics;
    PlaybackController controller{&engine, &playlist, &statistics};
    QStringList songs;

    explicit FakeRig(int count = 3)
    {
        const QString dir = vorlantest::tempDir();
        for (int i = 0; i < count; ++i) {
            songs << dir + QStringLiteral("/song%1.mp3").arg(i + 1);
            QFile::copy(fixture("mpeg1-layer2.mp2"), songs.last());
        }
        playlist.addFiles(songs);
        controller.setOutputModule(1);
        controller.setTickInterval(5);
    }
};

} // namespace

class PlaybackControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void whatCanBeDoneFollowsTheState()
    {
        FakeRig rig;
        QSignalSpy changes(&rig.controller, &PlaybackController::availabilityChanged);
        auto offered = [&] {
            return QList<bool>{rig.controller.canPlay(), rig.controller.canPause(), rig.controller.canStop(),
                               rig.controller.canSeek()};
        };
        QCOMPARE(offered(), QList<bool>({true, false, false, false}));
        rig.controller.play(); // nothing opened yet: the chosen entry starts
        QCOMPARE(rig.engine.input, rig.songs[0]);
        QCOMPARE(rig.controller.state(), PlayState::Playing);
        QCOMPARE(offered(), QList<bool>({false, true, true, true}));
        QVERIFY(!changes.isEmpty());
        rig.controller.pause();
        QCOMPARE(offered(), QList<bool>({true, false, true, true}));
        changes.clear();
        rig.controller.stop();
        QCOMPARE(offered(), QList<bool>({true, false, false, false}));
        QVERIFY(!changes.isEmpty());
        // The output is emptied before the stop, so nothing of the song is heard after it.
        QVERIFY(rig.engine.commands.lastIndexOf(QStringLiteral("output reset")) <
                rig.engine.commands.lastIndexOf(QStringLiteral("stop")));
    }

    void theQueueGoesFirstAndEachEndIsCountedOnce()
    {
        FakeRig rig(4);
        QSignalSpy finished(&rig.controller, &PlaybackController::songFinished);
        rig.playlist.setCurrentIndex(0);
        rig.controller.playSelected();
        // Queued while the first plays: the decoder is told to follow it with the queued one.
        rig.playlist.toggleQueued({3, 1});
        QTRY_COMPARE(rig.engine.queued, rig.songs[3]);
        // It takes over without a gap: the first counted, the queue moves on, and what follows is queued.
        rig.engine.finish();
        QCOMPARE(rig.controller.currentPath(), rig.songs[3]);
        QCOMPARE(rig.playlist.CurrentIndex(), 3);
        QCOMPARE(rig.playlist.queue(), QStringList{rig.songs[1]});
        QCOMPARE(rig.engine.queued, rig.songs[1]);
        rig.engine.finish();
        QCOMPARE(rig.controller.currentPath(), rig.songs[1]);
        QVERIFY(rig.playlist.queue().isEmpty());
        // The queue is empty: the list's own order goes on after the last queued entry.
        QTRY_COMPARE(rig.engine.queued, rig.songs[2]);
        QCOMPARE(finished.count(), 2);
        QCOMPARE(rig.playlist.PlayedCount(), 2);
        QCOMPARE(rig.statistics.rowCount(), 2);

        // Without Loop nothing is queued, and the song's end stops the player.
        rig.controller.setLoop(false);
        QTRY_COMPARE(rig.engine.queued, QString());
        rig.engine.finish();
        QCOMPARE(rig.controller.state(), PlayState::Ended);
        QCOMPARE(finished.count(), 3);
        QCOMPARE(rig.statistics.rowCount(), 3);
        QCOMPARE(rig.controller.currentPath(), rig.songs[1]);
        // Next follows the same choice: the queue first, then the list's order.
        rig.playlist.toggleQueued({0});
        rig.controller.next();
        QCOMPARE(rig.controller.currentPath(), rig.songs[0]);
        rig.controller.next();
        QCOMPARE(rig.controller.currentPath(), rig.songs[1]);
    }

    void anOutputModuleNumberOfNoModuleIsKeptForTheSettings()
    {
        // A hand-edited "OutputModule" the player has no module for plays as before and is saved as it was.
        FakeRig rig;
        rig.engine.commands.clear();
        rig.controller.setOutputModule(7);
        QCOMPARE(rig.controller.outputModuleSetting(), 7);
        QCOMPARE(rig.controller.outputModule(), OutputModule::WaveDevice);
        QVERIFY(rig.engine.commands.filter(QStringLiteral("output name")).isEmpty());
        rig.controller.setOutputModule(0);
        QCOMPARE(rig.engine.commands.last(), QStringLiteral("output name /dev/dsound/0"));
    }

    void aRefusedOpenIsToldWithTheReason()
    {
        FakeRig rig;
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        rig.engine.refuseOpenWith = QStringLiteral("no such file");
        rig.controller.playFile(rig.songs[0]);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().first().toString(), QStringLiteral("Cannot Open Input (no such file)"));
        // Cut short by the user's own stop, it is no refusal.
        emit rig.engine.refused(AudioEngine::Command::Open, QStringLiteral("aborted"), true);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(rig.controller.state(), PlayState::Stopped);
    }

    void nextAndPreviousWrapAround()
    {
        FakeRig rig;
        rig.controller.setLoop(false);
        rig.playlist.setCurrentIndex(2);
        rig.controller.next();
        QCOMPARE(rig.playlist.CurrentIndex(), 0);
        QVERIFY(rig.playlist.isSelected(0));
        QCOMPARE(rig.controller.currentPath(), rig.songs[0]);
        rig.controller.previous();
        QCOMPARE(rig.playlist.CurrentIndex(), 2);
        QCOMPARE(rig.controller.currentPath(), rig.songs[2]);
        rig.controller.previous();
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        QCOMPARE(rig.playlist.selectedCount(), 1);
        // Right after a list load nothing is chosen: Next plays the first, Previous the last.
        rig.playlist.setCurrentIndex(-1);
        rig.controller.previous();
        QCOMPARE(rig.playlist.CurrentIndex(), 2);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QCOMPARE(rig.playlist.CurrentIndex(), 0);
    }

    void randomStaysInTheListAndMayRepeat()
    {
        FakeRig rig(2);
        rig.controller.setRandom(true);
        QSet<int> seen;
        bool repeated = false;
        int last = -1;
        for (int i = 0; i < 60; ++i) {
            rig.controller.next();
            const int index = rig.playlist.CurrentIndex();
            QVERIFY(index >= 0 && index < 2);
            repeated |= index == last;
            last = index;
            seen << index;
        }
        QCOMPARE(seen.size(), 2);
        QVERIFY(repeated);
    }

    void aSongPlaysToItsEndAndIsCounted()
    {
        Rig rig;
        rig.controller.setLoop(false);
        QSignalSpy finished(&rig.controller, &PlaybackController::songFinished);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        // Loop off: it ends there, Play offered; nothing is opened after it.
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.state(), PlayState::Ended, 10000);
        QCOMPARE(finished.count(), 1);
        QVERIFY(rig.controller.canPlay());
        QVERIFY(!rig.controller.canPause());
        QVERIFY(!rig.controller.canStop());
        QCOMPARE(rig.playlist.PlayedCount(), 1);
        QCOMPARE(rig.statistics.rowCount(), 1);
        QCOMPARE(rig.statistics.index(0, 2).data().toString(), rig.songs[0]);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[00:00]"));
        // The song went to a WAV file named after it.
        QVERIFY(QFile::exists(rig.dir + QStringLiteral("/song1.wav")));
    }

    void wavFilesAreWrittenOnceForTheWholeListThenItStops()
    {
        // Loop on, as by default: writing WAV files converts the list once, each song counted once.
        Rig rig;
        QSignalSpy finished(&rig.controller, &PlaybackController::songFinished);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.state(), PlayState::Ended, 10000);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(finished.at(i).at(0).toString(), rig.songs[i]);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rig.statistics.index(i, 1).data().toInt(), 1);
        // Nothing more follows the end of the round: the next song would have been opened at the end itself.
        QCOMPARE(finished.count(), 3);
        QCOMPARE(rig.controller.currentPath(), rig.songs[2]);

        // In random order too: as many songs as the list holds.
        rig.controller.setRandom(true);
        rig.controller.play();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 6, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.state(), PlayState::Ended, 10000);
        QCOMPARE(finished.count(), 6);
        QCOMPARE(rig.controller.currentPath(), finished.last().at(0).toString());
    }

    void unplayableEntriesLeaveTheList()
    {
        Rig rig;
        QFile::remove(rig.songs[1]);
        QFile::remove(rig.songs[2]);
        rig.controller.setLoop(true);
        rig.playlist.setCurrentIndex(0);
        rig.controller.next(); // entry 1 is gone: removed, then the next one, also gone, and so on
        QTRY_COMPARE_WITH_TIMEOUT(rig.playlist.count(), 1, 5000);
        QCOMPARE(rig.playlist.entryPath(0), rig.songs[0]);
    }

    void aMissingEntryDoesNotCostTheNextSong()
    {
        Rig rig;
        rig.controller.setLoop(true);
        QFile::remove(rig.songs[1]);
        rig.playlist.setCurrentIndex(0);
        rig.controller.next(); // entry 2 is gone: it leaves, and the song after it plays
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.currentPath(), rig.songs[2], 5000);
        rig.controller.setLoop(false);
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
    }

    void queuedEntriesPlayNextInTheirOrder()
    {
        Rig rig;
        rig.controller.setLoop(false);
        QSignalSpy finished(&rig.controller, &PlaybackController::songFinished);
        rig.playlist.toggleQueued({2, 0});
        QCOMPARE(rig.playlist.index(2, PlaylistModel::NumberColumn).data().toString(),
                 QStringLiteral("3 [1]"));
        QCOMPARE(rig.playlist.index(0, PlaylistModel::NumberColumn).data().toString(),
                 QStringLiteral("1 [2]"));
        QCOMPARE(rig.playlist.index(1, PlaylistModel::NumberColumn).data().toString(), QStringLiteral("2"));
        // Queued, they play next even without Loop, then the player stops.
        rig.playlist.setCurrentIndex(0);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.state(), PlayState::Ended, 10000);
        QCOMPARE(finished.at(0).at(0).toString(), rig.songs[2]);
        QCOMPARE(finished.at(1).at(0).toString(), rig.songs[0]);
        QVERIFY(rig.playlist.queue().isEmpty());
        QCOMPARE(rig.controller.currentPath(), rig.songs[0]);
        // Q on a queued entry takes it out.
        rig.playlist.toggleQueued({1, 2});
        rig.playlist.toggleQueued({1});
        QCOMPARE(rig.playlist.queue(), QStringList{rig.songs[2]});
    }

    void aDroppedFolderAddsItsTreeAndPlays()
    {
        // A folder of songs in folders of their own, dropped alone: its tree fills the list, the first plays.
        Rig rig(0);
        const QString folder = rig.dir + QStringLiteral("/Library");
        QStringList songs;
        for (const char *name : {"/A/one.mp3", "/A/B/two.mp3", "/three.mp3"}) {
            const QString path = folder + QLatin1String(name);
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            QVERIFY(QFile::copy(fixture("mpeg1-layer2.mp2"), path));
            songs << path;
        }
        rig.controller.setLoop(false);
        rig.controller.opener()->dropFiles({folder});
        QTRY_COMPARE_WITH_TIMEOUT(rig.playlist.count(), 3, 10000);
        QStringList listed;
        for (int i = 0; i < 3; ++i)
            listed << rig.playlist.entryPath(i);
        listed.sort();
        songs.sort();
        QCOMPARE(listed, songs);
        QTRY_VERIFY_WITH_TIMEOUT(songs.contains(rig.controller.currentPath()), 10000);
        // Dropped on the list, a folder's tree is added to what is there.
        rig.controller.opener()->addFolders({folder + QStringLiteral("/A")});
        QTRY_COMPARE_WITH_TIMEOUT(rig.playlist.count(), 5, 10000);
    }

    void entriesOnADriveNotPluggedInStayAndTheWalkStops()
    {
        // Fifty songs of a folder that is not there (its drive unplugged), between two that play.
        Rig rig(0);
        QStringList away;
        for (int i = 0; i < 50; ++i)
            away << rig.dir + QStringLiteral("/drive/Music/Album/track%1.mp3").arg(i);
        rig.playlist.addFiles(away);
        rig.controller.setLoop(true);
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 10000);
        QVERIFY2(errors.first().at(0).toString().contains(QStringLiteral("drive")),
                 qPrintable(errors.first().at(0).toString()));
        QCOMPARE(rig.playlist.count(), 50);
        // The walk stopped after a run of them, without going round the whole list.
        QCOMPARE(rig.playlist.CurrentIndex(), 9);
    }

    void aLongRunOfDeletedSongsLeavesAtOnce()
    {
        // Twenty thousand entries whose files were deleted from a folder that is there, then a song.
        Rig rig(1);
        QStringList gone;
        for (int i = 0; i < 20000; ++i)
            gone << rig.dir + QStringLiteral("/deleted%1.mp3").arg(i);
        rig.playlist.clear();
        rig.playlist.addFiles(gone + rig.songs);
        rig.controller.setLoop(true);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.currentPath(), rig.songs[0], 20000);
        QCOMPARE(rig.playlist.count(), 1);
        QCOMPARE(rig.playlist.entryPath(0), rig.songs[0]);
    }

    void aStreamThatEndsAtOnceIsFetchedAgainOnlyAfterAWait()
    {
        // A server that answers with a moment of audio and hangs up, every time.
        QFile f(fixture("tone-3s-mono.mp3"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray audio = f.readAll().left(2000);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QList<qint64> fetches;
        QElapsedTimer clock;
        clock.start();
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *s = server.nextPendingConnection();
            fetches << clock.elapsed();
            connect(s, &QTcpSocket::readyRead, s, [s, audio] {
                if (!s->readAll().contains("\r\n\r\n"))
                    return;
                s->write("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + audio);
                s->disconnectFromHost();
            });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        });
        Rig rig(0);
        const QString url = QStringLiteral("http://127.0.0.1:%1/radio.mp3").arg(server.serverPort());
        // Three times: the rig writes WAV files, which goes once round the list.
        rig.playlist.addFiles({url, url, url});
        rig.controller.setLoop(true);
        rig.playlist.setCurrentIndex(0);
        rig.controller.playFile(url);
        QTRY_VERIFY_WITH_TIMEOUT(fetches.size() >= 3, 20000);
        rig.controller.stop();
        // One second, then two, between the fetches: not hundreds a second.
        QVERIFY2(fetches.at(1) - fetches.at(0) >= 900,
                 qPrintable(QString::number(fetches.at(1) - fetches.at(0))));
        QVERIFY2(fetches.at(2) - fetches.at(1) >= 1900,
                 qPrintable(QString::number(fetches.at(2) - fetches.at(1))));
    }

    void playAfterAnEndWritesTheWavFileAgain()
    {
        Rig rig;
        rig.controller.setLoop(false);
        QSignalSpy finished(&rig.controller, &PlaybackController::songFinished);
        rig.playlist.setCurrentIndex(-1);
        rig.controller.next();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.controller.state(), PlayState::Ended, 10000);
        const QString wav = rig.dir + QStringLiteral("/song1.wav");
        QVERIFY(QFile::remove(wav));
        rig.controller.play();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 10000);
        QVERIFY(QFile::exists(wav));
    }

    void fadesReachSilenceAndReturn()
    {
        FakeRig rig;
        rig.controller.setVolume(20);
        rig.controller.fadeToSilence();
        QTRY_VERIFY(!rig.controller.fading());
        QCOMPARE(rig.controller.volumePosition(), 100);
        // Back up to where it was when the fade down began.
        rig.controller.positionReleased();
        QTRY_VERIFY(!rig.controller.fading());
        QCOMPARE(rig.controller.volumePosition(), 20);
        // Fade in goes to full volume.
        rig.controller.fadeToSilence();
        QTRY_VERIFY(!rig.controller.fading());
        rig.controller.fadeBack();
        QTRY_VERIFY(!rig.controller.fading());
        QCOMPARE(rig.controller.volumePosition(), 0);
        // The last level sent to the decoder: full volume, balance in the middle.
        QCOMPARE(rig.engine.commands.filter(QStringLiteral("volume ")).last(),
                 QStringLiteral("volume 50 100 255"));
    }

    void volumeAndBalanceTexts()
    {
        FakeRig rig;
        rig.controller.setVolume(95);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("05% V"));
        rig.controller.setVolume(0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("100% V"));
        rig.controller.setBalance(45);
        QCOMPARE(rig.controller.balancePosition(), 50);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("Center"));
        rig.controller.setBalance(80);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("60% R"));
        rig.controller.setBalance(10);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("80% L"));
        rig.controller.setBalance(59);
        QCOMPARE(rig.controller.balancePosition(), 50);
        // The decoder's report moves the sliders; a PCM level of 99 is full volume.
        emit rig.engine.pcmLevelChanged(99);
        QCOMPARE(rig.controller.volumePosition(), 0);
        emit rig.engine.volumeChanged(255, 70, 30);
        QCOMPARE(rig.controller.volumePosition(), 30);
        QCOMPARE(rig.controller.balancePosition(), 30);
    }

    void levelMetersRiseFastAndFallByATenthPlusOne()
    {
        FakeRig rig;
        rig.controller.meter()->setLeftPeak(120);
        rig.controller.meter()->setRightPeak(0);
        rig.controller.vuMeterTick();
        QCOMPARE(rig.controller.leftLevel(), 120);
        rig.controller.meter()->setLeftPeak(0);
        rig.controller.vuMeterTick();
        QCOMPARE(rig.controller.leftLevel(), 107);
        rig.controller.vuMeterTick();
        QCOMPARE(rig.controller.leftLevel(), 96);
        for (int i = 0; i < 60; ++i)
            rig.controller.vuMeterTick();
        QCOMPARE(rig.controller.leftLevel(), 0);
        QCOMPARE(rig.controller.rightLevel(), 0);
    }

    void timeTextsOfALongSong()
    {
        FakeRig rig;
        QSignalSpy length(&rig.controller, &PlaybackController::lengthTextChanged);
        QSignalSpy songTime(&rig.controller, &PlaybackController::songTimeTextChanged);
        rig.controller.setTrackPosition(true);
        emit rig.engine.durationChanged(3903);
        QCOMPARE(length.last().at(0).toString(), QStringLiteral("Length: [05:03]"));
        QCOMPARE(songTime.last().at(0).toString(), QStringLiteral("01:05:03"));
        emit rig.engine.timeChanged(3903, 0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[05:03]"));
        rig.controller.toggleTimeShown();
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 00:00"));
        emit rig.engine.timeChanged(120, 0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 03:03"));
    }

    void theTimeIsSentOnceASecondAndComesBackAfterOtherTexts()
    {
        FakeRig rig;
        rig.controller.setTrackPosition(true);
        emit rig.engine.durationChanged(200);
        QSignalSpy sent(&rig.controller, &PlaybackController::timeTextChanged);
        auto at = [&rig](int seconds, int fractions) { emit rig.engine.timeChanged(seconds, fractions); };
        for (int f = 0; f < 100; f += 10)
            at(5, f);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[00:05]"));
        // Another text in between: the next report, in the same second, brings the time back.
        rig.controller.setVolume(95);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("05% V"));
        at(5, 95);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[00:05]"));
        rig.controller.toggleTimeShown();
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 03:15"));
        // A new length changes the time left within the same second.
        emit rig.engine.durationChanged(300);
        at(5, 97);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 04:55"));
        at(6, 0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 04:54"));
    }

    void draggingThePositionShowsPercentOrSeeksWithShift()
    {
        FakeRig rig;
        rig.controller.setTrackPosition(true);
        rig.controller.positionDragStarted();
        rig.controller.positionValueChanged(100);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("25 %"));
        // While dragging, the song's own position does not move the slider.
        QSignalSpy moved(&rig.controller, &PlaybackController::positionChanged);
        emit rig.engine.positionChanged(300, 400);
        QCOMPARE(moved.count(), 0);
        // With Shift the time keeps running and the value seeks at once.
        rig.controller.setShiftHeld(true);
        rig.controller.positionValueChanged(200);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("25 %"));
        QCOMPARE(rig.engine.commands.last(), QStringLiteral("seek 200/400"));
        emit rig.engine.timeChanged(7, 0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[00:07]"));
        rig.controller.positionDragEnded(200);
        QVERIFY(rig.controller.trackPosition());
    }

    void refusalsBecomeMessagesWithTheLibraryText()
    {
        Rig rig;
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        rig.controller.playFile(QStringLiteral("http://127.0.0.1:1/none.mp3"));
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 15000);
        QVERIFY(errors.first().at(0).toString().startsWith(QStringLiteral("Cannot Open Input (")));
        QVERIFY(errors.first().at(0).toString().endsWith(QStringLiteral(")")));
    }

    void aSongThatCannotBeOpenedLeavesNoEmptyWavFile()
    {
        Rig rig(0);
        const QString junk = rig.dir + QStringLiteral("/junk.mp3");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(64 * 1024, '\0'));
        f.close();
        rig.playlist.addFiles({junk});
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        rig.controller.playFile(junk);
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 15000);
        QVERIFY(errors.first().at(0).toString().startsWith(QStringLiteral("Cannot Open Input (")));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(rig.dir + QStringLiteral("/junk.wav")), 5000);
        QCOMPARE(QDir(rig.dir).entryList({QStringLiteral("*.wav")}, QDir::Files), QStringList());
    }

    void aStreamShowsNoLengthOfTheFileBefore()
    {
        FakeRig rig;
        rig.controller.setTimeElapsed(false);
        emit rig.engine.durationChanged(200);
        QCOMPARE(rig.controller.lengthSeconds(), 200);
        QSignalSpy lengths(&rig.controller, &PlaybackController::lengthTextChanged);
        QSignalSpy songTimes(&rig.controller, &PlaybackController::songTimeTextChanged);
        rig.controller.playFile(QStringLiteral("http://127.0.0.1:1/radio"));
        QCOMPARE(rig.controller.lengthSeconds(), 0);
        QCOMPARE(lengths.last().at(0).toString(), QStringLiteral("Length: [00:00]"));
        QCOMPARE(songTimes.last().at(0).toString(), QStringLiteral("00:00:00"));
        // The remaining time counts from nothing, not from the old song's 3:20.
        emit rig.engine.timeChanged(5, 0);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("- 00:00"));
    }

    void anOpenTheUserStopsIsNoRefusal()
    {
        // A radio server that takes the connection and then sends nothing: the open waits for audio.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QList<QTcpSocket *> clients;
        connect(&server, &QTcpServer::newConnection, this,
                [&] { clients << server.nextPendingConnection(); });
        Rig rig;
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        QSignalSpy refused(&rig.player, &TXaudioPlayer::OnNotifyNack);
        const QString url = QStringLiteral("http://127.0.0.1:%1/radio").arg(server.serverPort());
        rig.controller.playFile(url);
        QTRY_COMPARE_WITH_TIMEOUT(clients.size(), 1, 10000);
        rig.controller.stop();
        QTRY_COMPARE_WITH_TIMEOUT(refused.count(), 1, 10000);
        QCOMPARE(refused.first().at(1).toInt(), int(XA_ERROR_ABORTED));
        QTest::qWait(50);
        QCOMPARE(errors.count(), 0);
        // Another entry chosen while it connects is no refusal either.
        rig.controller.playFile(url);
        QTRY_COMPARE_WITH_TIMEOUT(clients.size(), 2, 10000);
        rig.controller.playFile(rig.songs[0]);
        // However many commands the change of entry cut short, each says so, and none is told as an error.
        QTRY_VERIFY_WITH_TIMEOUT(refused.count() >= 2, 10000);
        QTest::qWait(50);
        for (const QList<QVariant> &nack : refused)
            QCOMPARE(nack.at(1).toInt(), int(XA_ERROR_ABORTED));
        QCOMPARE(errors.count(), 0);
    }

    void aStreamThatStopsSendingSaysWhy()
    {
        // A radio server that sends some audio, then keeps the connection open and sends nothing more.
        QFile f(fixture("tone-3s-mono.mp3"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray audio = f.readAll().left(6000);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QList<QTcpSocket *> clients;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *s = server.nextPendingConnection();
            clients << s;
            connect(s, &QTcpSocket::readyRead, s, [s, audio] {
                if (!s->readAll().contains("\r\n\r\n"))
                    return;
                s->write("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + audio);
                s->flush();
            });
        });
        Rig rig;
        rig.controller.setLoop(false);
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        QSignalSpy states(&rig.controller, &PlaybackController::stateChanged);
        rig.controller.playFile(QStringLiteral("http://127.0.0.1:%1/radio.mp3").arg(server.serverPort()));
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 20000);
        const QString text = errors.first().at(0).toString();
        QVERIFY2(text.startsWith(QStringLiteral("Cannot Play Stream (the connection dropped")),
                 qPrintable(text));
        QVERIFY(states.count() > 0);
    }

    void dropsOfFilesAndAList()
    {
        Rig rig;
        const QString list = rig.dir + QStringLiteral("/two.m3u");
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("song2.mp3\r\nsong3.mp3\r\n");
        f.close();
        rig.controller.setAutoPlay(false);
        rig.controller.setLoop(false);
        rig.controller.opener()->dropFiles({rig.songs[0], rig.songs[1], rig.songs[2], list});
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.entryPath(0), rig.songs[1]);
        // Audio files alone: the first plays.
        rig.controller.opener()->dropFiles({rig.songs[2], rig.songs[0]});
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.controller.currentPath(), rig.songs[2]);
    }

    void skinsAmongDropsAndHandOversAreGivenToBeWornNotListed()
    {
        Rig rig;
        rig.controller.setAutoPlay(false);
        rig.controller.setLoop(false);
        const QString skin = rig.dir + QStringLiteral("/Night.wsz");
        rig.controller.opener()->setSkinTest([](const QString &path) { return path.endsWith(".wsz"); });
        QSignalSpy worn(rig.controller.opener(), &MediaOpener::skinGiven);
        rig.controller.opener()->dropFiles({rig.songs[0], rig.songs[1]});
        // A skin alone leaves the list as it was.
        rig.controller.opener()->dropFiles({skin});
        QCOMPARE(worn.count(), 1);
        QCOMPARE(worn.takeFirst().at(0).toString(), skin);
        QCOMPARE(rig.playlist.count(), 2);
        // With songs, the songs replace the list and the skin is worn.
        rig.controller.opener()->dropFiles({skin, rig.songs[2]});
        QCOMPARE(worn.count(), 1);
        QCOMPARE(rig.playlist.count(), 1);
        QCOMPARE(rig.playlist.entryPath(0), rig.songs[2]);
        // A second start's skin is worn and never added.
        rig.controller.opener()->handOver(skin);
        QCOMPARE(worn.count(), 2);
        QCOMPARE(rig.playlist.count(), 1);
    }

    void commandLineAndHandOver()
    {
        Rig rig;
        rig.controller.setLoop(false);
        // A path with blanks arrives in pieces.
        const QString spaced = rig.dir + QStringLiteral("/my song.mp3");
        QFile::copy(fixture("mpeg1-layer2.mp2"), spaced);
        rig.controller.opener()->startWith(spaced.split(' '), rig.dir + QStringLiteral("/Vorlan.vln"));
        QCOMPARE(rig.playlist.count(), 1);
        QCOMPARE(rig.controller.currentPath(), spaced);
        // Another extension: nothing is added and no last list is read.
        Rig other;
        other.playlist.clear();
        other.controller.opener()->startWith({other.dir + QStringLiteral("/notes.txt")},
                                             other.dir + QStringLiteral("/x.vln"));
        QCOMPARE(other.playlist.count(), 0);
        // A hand-over appends and plays.
        rig.controller.opener()->handOver(rig.songs[1]);
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        QCOMPARE(rig.controller.currentPath(), rig.songs[1]);
        rig.controller.opener()->handOver(QString());
        QCOMPARE(rig.playlist.count(), 2);
    }

    void streamAddressesOnTheCommandLineAndHandedOverPlay()
    {
        // Nothing answers on these ports: what matters is that each address becomes a URL entry and is
        // opened.
        const QString first = QStringLiteral("http://127.0.0.1:1/radio.mp3");
        const QString second = QStringLiteral("udp://127.0.0.1:9/");
        Rig rig;
        rig.controller.setLoop(false);
        QSignalSpy errors(&rig.controller, &PlaybackController::errorMessage);
        rig.controller.opener()->startWith({first}, rig.dir + QStringLiteral("/Vorlan.vln"));
        QCOMPARE(rig.playlist.count(), 1);
        QCOMPARE(PlaylistFiles::vlnLine(rig.playlist.entry(0)),
                 QStringLiteral("1\t") + first + QStringLiteral("\t\t") + first);
        QCOMPARE(rig.controller.currentPath(), first);
        QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 15000);
        QVERIFY(errors.first().at(0).toString().startsWith(QStringLiteral("Cannot Open Input")));
        rig.controller.opener()->handOver(second);
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.entryPath(1), second);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        QCOMPARE(rig.controller.currentPath(), second);
        // Not a stream and not a file: ignored as before.
        rig.controller.opener()->handOver(QStringLiteral("gopher://127.0.0.1/x.mp3"));
        QCOMPARE(rig.playlist.count(), 2);
    }
};

VORLAN_TEST_CLASS(PlaybackControllerTest)
#include "PlaybackControllerTest.moc"
