#include "player/TimedShutdown.h"
#include "tests/TestMain.h"

#include <QSignalSpy>
#include <QTest>

class TimedShutdownTest : public QObject
{
    Q_OBJECT

private slots:
    void oneMinuteShutsDownAtTheFirstTick()
    {
        TimedShutdown shutdown;
        QCOMPARE(shutdown.tickInterval(), 60000);
        shutdown.setTickInterval(20);
        QSignalSpy hints(&shutdown, &TimedShutdown::hintChanged);
        QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
        shutdown.apply(TimedShutdown::AfterTime, 1, 5);
        QVERIFY(shutdown.isTimerActive());
        QCOMPARE(shutdown.hint(), QStringLiteral("Shutdown after 1 min."));
        QCOMPARE(fired.count(), 0);

        QTRY_COMPARE(fired.count(), 1);
        // The hint set at that tick carries the number 1.
        QCOMPARE(shutdown.hint(), QStringLiteral("Shutdown after 1 min."));
        QCOMPARE(shutdown.shutTime(), 0);
        // Asked for once: a power-off that did not happen is not asked for every minute.
        QVERIFY(!shutdown.isTimerActive());
        QTest::qWait(100);
        QCOMPARE(fired.count(), 1);
    }

    void countsDownAndKeepsWhatIsLeft()
    {
        TimedShutdown shutdown;
        QStringList seen;
        connect(&shutdown, &TimedShutdown::hintChanged, this, [&](const QString &hint) { seen << hint; });
        QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
        shutdown.apply(TimedShutdown::AfterTime, 5, 5);
        QVERIFY(shutdown.isTimerActive());
        // Three ticks of five: the settings keep 2.
        for (int minute = 0; minute < 3; ++minute)
            shutdown.ShutTimerTimer();
        QCOMPARE(shutdown.shutTime(), 2);
        shutdown.apply(TimedShutdown::Off, shutdown.shutTime(), 5);
        QCOMPARE(shutdown.shutTime(), 2);
        QCOMPARE(fired.count(), 0);
        // Each tick shows the minutes it started from.
        QCOMPARE(seen, QStringList(
                           {"Shutdown after 5 min.", "Shutdown after 4 min.", "Shutdown after 3 min.", ""}));
    }

    void otherModesStopTheTimerAndClearTheHint()
    {
        for (int mode : {int(TimedShutdown::PlaylistEnds), int(TimedShutdown::NumberOfSongs),
                         int(TimedShutdown::Off), 7, -1}) {
            TimedShutdown shutdown;
            shutdown.setTickInterval(10);
            shutdown.apply(TimedShutdown::AfterTime, 1, 5);
            QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
            shutdown.apply(mode, 1, 5);
            QVERIFY(!shutdown.isTimerActive());
            QCOMPARE(shutdown.hint(), QString());
            QTest::qWait(50);
            QCOMPARE(fired.count(), 0);
        }
        TimedShutdown unknown;
        unknown.apply(42, 1, 1);
        QCOMPARE(unknown.shutMode(), int(TimedShutdown::Off));
    }

    void playlistEndShutsDownAfterTheLastEntry()
    {
        TimedShutdown shutdown;
        QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
        shutdown.apply(TimedShutdown::PlaylistEnds, 5, 5);
        QVERIFY(!shutdown.songEnded(0, 3, 1));
        QVERIFY(!shutdown.songEnded(1, 3, 2));
        QCOMPARE(fired.count(), 0);
        QVERIFY(shutdown.songEnded(2, 3, 3));
        QCOMPARE(fired.count(), 1);
        // A stream played with an empty list ends the list as well.
        QVERIFY(shutdown.songEnded(0, 0, 1));
    }

    void numberOfSongsCountsPlayedSongs()
    {
        TimedShutdown shutdown;
        QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
        shutdown.apply(TimedShutdown::NumberOfSongs, 5, 3);
        QCOMPARE(shutdown.shutNumSong(), 3);
        QVERIFY(!shutdown.songEnded(9, 10, 1));
        QVERIFY(!shutdown.songEnded(9, 10, 2));
        // The last entry does not matter in this mode, the count does.
        QCOMPARE(fired.count(), 0);
        QVERIFY(shutdown.songEnded(0, 10, 3));
        QCOMPARE(fired.count(), 1);
    }

    void offAndTimeModesIgnoreSongEnds()
    {
        for (int mode : {int(TimedShutdown::Off), int(TimedShutdown::AfterTime)}) {
            TimedShutdown shutdown;
            QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
            shutdown.apply(mode, 999, 1);
            QVERIFY(!shutdown.songEnded(5, 6, 100));
            QCOMPARE(fired.count(), 0);
        }
        TimedShutdown off;
        off.setTickInterval(5);
        QSignalSpy fired(&off, &TimedShutdown::shutdownRequested);
        off.apply(TimedShutdown::Off, 1, 1);
        QTest::qWait(50);
        QCOMPARE(fired.count(), 0);
    }

    void zeroMinutesStillEnds()
    {
        // A hand-edited "ShutTime" of 0 would otherwise count below zero for ever.
        TimedShutdown shutdown;
        shutdown.setTickInterval(10);
        QSignalSpy fired(&shutdown, &TimedShutdown::shutdownRequested);
        shutdown.apply(TimedShutdown::AfterTime, 0, 5);
        QCOMPARE(shutdown.hint(), QStringLiteral("Shutdown after 0 min."));
        QTRY_COMPARE(fired.count(), 1);
        QTest::qWait(50);
        QCOMPARE(fired.count(), 1);
    }
};

VORLAN_TEST_CLASS(TimedShutdownTest)
#include "TimedShutdownTest.moc"
