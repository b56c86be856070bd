#include "platform/SessionGuard.h"
#include "tests/TestMain.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>

class SessionGuardTest : public QObject
{
    Q_OBJECT

private slots:
    void terminationSignalSavesOnceThenQuits_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalSavesOnceThenQuits()
    {
        QFETCH(int, signalNumber);
        QStringList events;
        SessionGuard guard([&] { events << "save"; });
        guard.setQuitAction([&] { events << "quit"; });
        QVERIFY(guard.isActive());
        QSignalSpy spy(&guard, &SessionGuard::terminationRequested);

        ::raise(signalNumber);
        QTRY_COMPARE(events, QStringList({"save", "quit"}));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), signalNumber);
        QVERIFY(guard.hasSavedForExit());

        // Another signal after the save: nothing more to do.
        ::raise(SIGTERM);
        QTRY_COMPARE(spy.count(), 2);
        QTest::qWait(20);
        QCOMPARE(events, QStringList({"save", "quit"}));
    }

    void signalsDuringTheSaveDoNotSaveAgain()
    {
        int saves = 0, quits = 0;
        SessionGuard *self = nullptr;
        SessionGuard guard([&] {
            ++saves;
            // The save takes a while and lets the event loop run, as a message box would.
            ::raise(SIGTERM);
            ::raise(SIGINT);
            QTest::qWait(50);
            QCOMPARE(quits, 0);
            QVERIFY(self->hasSavedForExit());
        });
        self = &guard;
        guard.setQuitAction([&] { ++quits; });
        QSignalSpy spy(&guard, &SessionGuard::terminationRequested);
        ::raise(SIGTERM);
        QTRY_COMPARE(spy.count(), 3);
        QTRY_COMPARE(quits, 1);
        QCOMPARE(saves, 1);
    }

    void ordinaryCloseAndSignalShareOneSave()
    {
        int saves = 0, quits = 0;
        SessionGuard guard([&] { ++saves; });
        guard.setQuitAction([&] { ++quits; });
        QVERIFY(guard.saveForExit());
        QVERIFY(!guard.saveForExit());
        QCOMPARE(saves, 1);
        // Killed while closing: the files are written already; it only quits.
        ::raise(SIGTERM);
        QTRY_COMPARE(quits, 1);
        QCOMPARE(saves, 1);
    }

    void logoutSavesEachTimeWithoutQuitting()
    {
        int saves = 0, quits = 0;
        SessionGuard guard([&] { ++saves; });
        guard.setQuitAction([&] { ++quits; });
        QVERIFY(guard.saveForSession());
        // A cancelled logout and a second one later: the later state is saved too.
        QVERIFY(guard.saveForSession());
        QCOMPARE(saves, 2);
        QCOMPARE(quits, 0);
        QVERIFY(guard.saveForExit());
        QVERIFY(!guard.saveForSession());
        QCOMPARE(saves, 3);

        // The session's requests reach the guard (a connection exists to take away).
        QVERIFY(qobject_cast<QGuiApplication *>(qApp));
        QVERIFY(QObject::disconnect(qGuiApp, &QGuiApplication::commitDataRequest, &guard, nullptr));
        QVERIFY(QObject::disconnect(qGuiApp, &QGuiApplication::saveStateRequest, &guard, nullptr));
    }

    void signalDuringALogoutSaveQuitsAfterIt()
    {
        int saves = 0, quits = 0;
        SessionGuard guard([&] {
            ++saves;
            if (saves == 1) {
                ::raise(SIGTERM);
                QTest::qWait(50);
                QCOMPARE(quits, 0);
            }
        });
        guard.setQuitAction([&] { ++quits; });
        QVERIFY(guard.saveForSession());
        QCOMPARE(quits, 1);
        QCOMPARE(saves, 1);
    }

    void theEndAfterASignalCannotBeRefusedByAWindow()
    {
        // A window that keeps itself open (a player hides instead of closing) must not keep the process
        // alive after a signal.
        struct Stubborn : QWidget {
            void closeEvent(QCloseEvent *event) override { event->ignore(); }
        } window;
        window.show();
        int saves = 0;
        SessionGuard guard([&] { ++saves; });
        QTimer::singleShot(0, [] { ::raise(SIGTERM); });
        // Were the end refused, this timer ends the loop with another code.
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(saves, 1);
        QVERIFY(window.isVisible());
    }

    void oneGuardAtATimeAndHandlersGiveBack()
    {
        struct sigaction before = {};
        ::sigaction(SIGTERM, nullptr, &before);
        {
            SessionGuard first([] {});
            SessionGuard second([] {});
            QVERIFY(first.isActive());
            QVERIFY(!second.isActive());
        }
        struct sigaction after = {};
        ::sigaction(SIGTERM, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
        SessionGuard again([] {});
        QVERIFY(again.isActive());
    }
};

VORLAN_TEST_CLASS(SessionGuardTest)
#include "SessionGuardTest.moc"
