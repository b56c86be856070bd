#include "platform/SingleInstance.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace
{

QByteArray frameOf(const QByteArray &payload, quint32 length)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(length, bytes.data());
    return bytes + payload;
}

// A second start runs in another process; here another thread, so this thread's event loop serves the
// running player while the sender blocks.
bool sendFromOtherThread(const QString &path, const QString &param)
{
    std::atomic<int> result{-1};
    std::thread sender([&] { result = SingleInstance(path).sendToRunning(param, 5000) ? 1 : 0; });
    QElapsedTimer clock;
    clock.start();
    while (result < 0 && clock.elapsed() < 10000)
        QTest::qWait(5);
    sender.join();
    return result == 1;
}

// What a careless or hostile local client does: sends bytes and sees whether an answer comes.
QByteArray rawExchange(const QString &path, const QByteArray &bytes, int waitMs = 300)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(1000))
        return "no connection";
    socket.write(bytes);
    socket.flush();
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < waitMs && socket.state() == QLocalSocket::ConnectedState) {
        QTest::qWait(10);
        answer += socket.readAll();
    }
    answer += socket.readAll();
    return answer;
}

// A socket file with nobody behind it, as a crashed player leaves it.
bool makeDeadSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    if (size_t(encoded.size()) >= sizeof address.sun_path) {
        ::close(fd);
        return false;
    }
    memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

} // namespace

class SingleInstanceTest : public QObject
{
    Q_OBJECT

    QString socketPath() { return vorlantest::tempDir() + QStringLiteral("/player.socket"); }

private slots:
    void secondStartHandsItsCommandLineOver()
    {
        const QString path = socketPath();
        SingleInstance running(path);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);

        const QString song = QString::fromUtf8("/music/Sigur R\xC3\xB3s/Svefn g-englar.mp3");
        QVERIFY(sendFromOtherThread(path, song));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), song);

        // No parameters: the running player only comes to the front.
        QVERIFY(sendFromOtherThread(path, QString()));
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString());
    }

    void onlyOnePlayerListens()
    {
        const QString path = socketPath();
        SingleInstance first(path);
        QVERIFY(first.listen());
        SingleInstance second(path);
        QVERIFY(!second.listen());
        QVERIFY(!second.isListening());
        // The refused start did not take the socket away from the running player.
        QSignalSpy spy(&first, &SingleInstance::handOverReceived);
        QVERIFY(sendFromOtherThread(path, QStringLiteral("/m/a.m3u")));
        QTRY_COMPARE(spy.count(), 1);
    }

    void socketIsOwnerOnlyAndGoneAfterTheEnd()
    {
        const QString path = socketPath();
        {
            SingleInstance running(path);
            QVERIFY(running.listen());
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
            QVERIFY(S_ISSOCK(st.st_mode));
            QCOMPARE(int(st.st_mode & 077), 0);
        }
        QVERIFY(!QFileInfo::exists(path));
        // With nobody listening a second start finds no player and runs as one itself.
        QVERIFY(!SingleInstance(path).sendToRunning(QStringLiteral("/m/a.mp3"), 500));
        SingleInstance next(path);
        QVERIFY(next.listen());
    }

    void crashedPlayersSocketIsReplaced()
    {
        const QString path = socketPath();
        QVERIFY(makeDeadSocket(path));
        QVERIFY(!SingleInstance(path).sendToRunning(QStringLiteral("x"), 500));
        SingleInstance running(path);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        QVERIFY(sendFromOtherThread(path, QStringLiteral("/m/b.mp3")));
        QTRY_COMPARE(spy.count(), 1);
    }

    void aFileThatIsNoSocketIsLeftAlone()
    {
        const QString path = socketPath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
        file.close();
        SingleInstance running(path);
        QVERIFY(!running.listen());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
        QVERIFY(!SingleInstance(path).sendToRunning(QStringLiteral("x"), 500));
    }

    void idleClientsNeverBlockAHandOver()
    {
        const QString path = socketPath();
        SingleInstance running(path);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        // Many clients that send half a frame and wait, as a stuck or hostile program would.
        std::vector<std::unique_ptr<QLocalSocket>> idle;
        for (int i = 0; i < 40; ++i) {
            idle.push_back(std::make_unique<QLocalSocket>());
            idle.back()->connectToServer(path);
            QVERIFY(idle.back()->waitForConnected(1000));
            idle.back()->write(QByteArray(2, '\0'));
            idle.back()->flush();
        }
        QTest::qWait(100);
        QVERIFY(sendFromOtherThread(path, QStringLiteral("/m/real.mp3")));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/m/real.mp3"));
        // The ones that never finish are let go soon.
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(idle.begin(), idle.end(),
                        [](const auto &s) { return s->state() == QLocalSocket::UnconnectedState; }),
            3000);
    }

    void aTakenSocketPathStillKeepsASecondPlayerOff_data()
    {
        QTest::addColumn<QString>("taken");
        QTest::newRow("regular file") << "file";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link") << "link";
    }

    void aTakenSocketPathStillKeepsASecondPlayerOff()
    {
        QFETCH(QString, taken);
        const QString dir = vorlantest::tempDir();
        const QString path = dir + QStringLiteral("/player.socket");
        if (taken == QLatin1String("file"))
            QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        else if (taken == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(QFile::link(dir + QStringLiteral("/elsewhere"), path));
        const QString lock = dir + QStringLiteral("/Vorlan.lock");

        SingleInstance first(path);
        QCOMPARE(first.claim(lock, QString(), 500), SingleInstance::Claim::Running);
        QVERIFY(!first.isListening());
        QElapsedTimer clock;
        clock.start();
        SingleInstance second(path);
        QCOMPARE(second.claim(lock, QStringLiteral("/m/a.mp3"), 500), SingleInstance::Claim::Refused);
        QVERIFY(clock.elapsed() >= 500);
        QVERIFY(!second.isListening());
    }

    void theLockHolderTakesTheHandOverAndLetsGoAtItsEnd()
    {
        const QString dir = vorlantest::tempDir();
        const QString path = dir + QStringLiteral("/player.socket");
        const QString lock = dir + QStringLiteral("/Vorlan.lock");
        {
            SingleInstance running(path);
            QCOMPARE(running.claim(lock, QString(), 500), SingleInstance::Claim::Running);
            QVERIFY(running.isListening());
            QSignalSpy spy(&running, &SingleInstance::handOverReceived);
            std::atomic<int> claim{-1};
            std::thread second(
                [&] { claim = int(SingleInstance(path).claim(lock, QStringLiteral("/m/b.mp3"))); });
            QTRY_VERIFY_WITH_TIMEOUT(claim >= 0, 10000);
            second.join();
            QCOMPARE(SingleInstance::Claim(claim.load()), SingleInstance::Claim::HandedOver);
            QCOMPARE(spy.count(), 1);
        }
        // The player ended: the next start is the player.
        SingleInstance next(path);
        QCOMPARE(next.claim(lock, QString(), 500), SingleInstance::Claim::Running);
    }

    void defaultPathIsPerUser()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        QCOMPARE(SingleInstance::defaultServerPath(), QString::fromLocal8Bit(runtime) + "/vorlan.socket");

        // Without a runtime folder: a private folder of the temp folder, named with the user id.
        const QByteArray tmp = qgetenv("TMPDIR");
        const QString temp = vorlantest::tempDir();
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(temp));
        const QString path = SingleInstance::defaultServerPath();
        const QString folder = temp + QStringLiteral("/vorlan-%1").arg(::getuid());
        bool listened = false;
        {
            SingleInstance running;
            listened = running.listen();
        }
        qputenv("XDG_RUNTIME_DIR", runtime);
        if (tmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmp);
        QCOMPARE(path, folder + QStringLiteral("/player.socket"));
        QVERIFY(listened);
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QVERIFY(S_ISDIR(st.st_mode));
        QCOMPARE(int(st.st_mode & 0777), 0700);
    }

    void looseFallbackFolderIsClosedBeforeUse()
    {
        const QString folder = vorlantest::tempDir() + QStringLiteral("/vorlan-x");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        SingleInstance running(folder + QStringLiteral("/player.socket"));
        QVERIFY(running.listen());
        struct stat st;
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 0777), 0700);
    }

    void badFramesAreDroppedWithoutAnswer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("half a length") << QByteArray("\0\0", 2);
        QTest::newRow("length beyond the cap") << frameOf("abc", quint32(SingleInstance::MaxParamBytes) + 1);
        QTest::newRow("length of 4 GiB") << frameOf("abc", 0xFFFFFFFFu);
        QTest::newRow("shorter than its length") << frameOf("/m/a.mp3", 100);
        QTest::newRow("invalid UTF-8") << frameOf("/m/\xFF\xFE.mp3", 9);
        QTest::newRow("NUL inside") << frameOf(QByteArray("/m/a\0b.mp3", 10), 10);
        QTest::newRow("text line") << QByteArray("GET / HTTP/1.0\r\n\r\n");
    }

    void badFramesAreDroppedWithoutAnswer()
    {
        QFETCH(QByteArray, bytes);
        const QString path = socketPath();
        SingleInstance running(path);
        running.setClientTimeout(200);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        QCOMPARE(rawExchange(path, bytes, 500), QByteArray());
        QCOMPARE(spy.count(), 0);
        // The player still takes the next real hand-over.
        QVERIFY(sendFromOtherThread(path, QStringLiteral("/m/ok.mp3")));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("/m/ok.mp3"));
    }

    void frameSentInPiecesIsPutTogether()
    {
        const QString path = socketPath();
        SingleInstance running(path);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        const QByteArray payload = "/music/long name.mp3";
        QLocalSocket socket;
        socket.connectToServer(path);
        QVERIFY(socket.waitForConnected(1000));
        const QByteArray head = frameOf(payload, quint32(payload.size()));
        for (qsizetype i = 0; i + 1 < head.size(); ++i) {
            socket.write(head.constData() + i, 1);
            socket.flush();
            QTest::qWait(1);
            QCOMPARE(spy.count(), 0);
        }
        // The last byte comes with more than one frame's worth: the rest is not read.
        socket.write(head.right(1) + "trailing junk");
        socket.flush();
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString::fromLatin1(payload));
        QTRY_VERIFY(socket.bytesAvailable() > 0);
        QCOMPARE(socket.read(1), QByteArray(1, SingleInstance::Acknowledgement));
    }

    void randomClientsNeverCrashThePlayer()
    {
        const QString path = socketPath();
        SingleInstance running(path);
        running.setClientTimeout(100);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        QRandomGenerator random(4711);
        QList<QLocalSocket *> sockets;
        for (int i = 0; i < 40; ++i) {
            auto *socket = new QLocalSocket;
            socket->connectToServer(path);
            QByteArray junk(int(random.bounded(64)), '\0');
            for (char &c : junk)
                c = char(random.bounded(256));
            // A length the cap refuses in most cases; never a whole valid frame of random bytes.
            junk.prepend(char(0x40 + random.bounded(64)));
            socket->write(junk);
            socket->flush();
            sockets << socket;
        }
        QTest::qWait(300);
        qDeleteAll(sockets);
        QCOMPARE(spy.count(), 0);
        QVERIFY(sendFromOtherThread(path, QStringLiteral("/m/after.mp3")));
        QTRY_COMPARE(spy.count(), 1);
    }

    void oversizedParameterIsNotSent()
    {
        const QString path = socketPath();
        SingleInstance running(path);
        QVERIFY(running.listen());
        QSignalSpy spy(&running, &SingleInstance::handOverReceived);
        QVERIFY(!sendFromOtherThread(path, QString(SingleInstance::MaxParamBytes + 1, u'a')));
        QVERIFY(sendFromOtherThread(path, QString(SingleInstance::MaxParamBytes, u'a')));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString().size(), SingleInstance::MaxParamBytes);
    }
};

VORLAN_TEST_CLASS(SingleInstanceTest)
#include "SingleInstanceTest.moc"
