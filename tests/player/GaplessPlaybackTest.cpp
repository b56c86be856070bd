// An album played through the sound server (a private one with a null sink): with Loop on, the next entry is
// opened ahead and follows without the stop between songs; it is counted, chosen and shown as Next would.
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "player/PlaybackController.h"
#include "player/Statistics.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class GaplessPlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void theNextSongFollowsWithoutAStop()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
            QSKIP("pulseaudio is not installed");
        QProcess server;
        server.start(QStringLiteral("pulseaudio"),
                     {QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
                      QStringLiteral("--disallow-exit"), QStringLiteral("--load=module-null-sink"),
                      QStringLiteral("--load=module-native-protocol-unix")});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native")), 10000);
        auto stopServer = qScopeGuard([&] {
            server.terminate();
            server.waitForFinished(5000);
        });

        const QString a = QStringLiteral(VORLAN_FIXTURES "/gapless-a.mp3");
        const QString b = QStringLiteral(VORLAN_FIXTURES "/gapless-b.mp3");
        TXaudioPlayer player;
        PlaylistModel playlist;
        Statistics statistics;
        XaudioEngine engine(&player);
        PlaybackController controller(&engine, &playlist, &statistics);
        controller.setOutputModule(0);
        controller.setLoop(true);
        playlist.addFiles({a, b});
        playlist.setCurrentIndex(-1);
        QSignalSpy states(&controller, &PlaybackController::stateChanged);
        QSignalSpy finished(&controller, &PlaybackController::songFinished);
        QSignalSpy outputs(&player, &TXaudioPlayer::OnNotifyOutputState);
        QSignalSpy titles(&controller, &PlaybackController::titleChanged);
        controller.next();
        QCOMPARE(controller.currentPath(), a);

        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
        QCOMPARE(finished.first().at(0).toString(), a);
        QCOMPARE(controller.currentPath(), b);
        QCOMPARE(playlist.CurrentIndex(), 1);
        QVERIFY(playlist.isSelected(1));
        QCOMPARE(playlist.PlayedCount(), 1);
        QCOMPARE(controller.state(), PlayState::Playing);
        QTRY_COMPARE(titles.last().at(0).toString(), QStringLiteral("gapless-b"));
        // Without Loop the list ends after this song, as it always did.
        controller.setLoop(false);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 10000);
        QTRY_COMPARE(controller.state(), PlayState::Ended);
        QCOMPARE(playlist.PlayedCount(), 2);
        QCOMPARE(controller.currentPath(), b);

        QList<int> seen;
        for (const auto &s : states)
            seen << s.at(0).toInt();
        // Playing from the first sample of a to the last of b: the only end is the last one.
        QCOMPARE(seen.mid(0, 2), (QList<int>{XA_PLAYER_STATE_PLAYING, XA_PLAYER_STATE_EOS}));
        // The output opened once and closed once, at the end.
        QTRY_COMPARE(outputs.count(), 2);
        QList<int> output;
        for (const auto &o : outputs)
            output << o.at(0).toInt();
        QCOMPARE(output, (QList<int>{XA_OUTPUT_STATE_OPEN, XA_OUTPUT_STATE_CLOSED}));
        QCOMPARE(statistics.rowCount(), 2);
    }
};

VORLAN_TEST_CLASS(GaplessPlaybackTest)
#include "GaplessPlaybackTest.moc"
