// The whole player in a home the world has been hard on: a full disk, locks left by nothing alive, lists of
// blank lines or too large to read, a statistics file that is someone's text, a tag full of control bytes.
// Whatever it meets, it starts, ends when told, and never loses or mangles a file of the user's.
#include "tests/FullDisk.h"
#include "tests/player/PlayerHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vorlantest;

namespace
{

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The most memory the process has held, in MiB (0 when it cannot be read).
qint64 peakMiB(qint64 pid)
{
    for (const QByteArray &line : bytesOf(QStringLiteral("/proc/%1/status").arg(pid)).split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    return 0;
}

// Starts the player of h and waits until it answers its socket: it has read its files and started.
bool startAndWait(const Home &h, QProcess &player, int ms = 20000)
{
    h.start(player);
    if (!player.waitForStarted())
        return false;
    QDeadlineTimer deadline(ms);
    while (!h.playerAnswers()) {
        if (deadline.hasExpired() || player.state() != QProcess::Running)
            return false;
        QTest::qWait(50);
    }
    return true;
}

// Runs the player of h with its files on the full disk until it answers, then ends it as a logout would.
bool runOnFullDisk(const Home &h, const FullDisk &disk, const QString &full, QProcess &player)
{
    Home onFull = h;
    onFull.home = full;
    disk.limitChild(player);
    return startAndWait(onFull, player) && endPlayer(player);
}

// A song whose ID3v1 title and artist hold control bytes.
QByteArray songWithControlBytes()
{
    QByteArray song = bytesOf(fixture("mpeg1-layer3.mp3"));
    QByteArray tag("TAG");
    tag += QByteArray("Ti\x01tle\x1b[2J").leftJustified(30, '\0');
    tag += QByteArray("Art\x7fist").leftJustified(30, '\0');
    tag += QByteArray(30 + 4 + 30, '\0');
    tag += char(0);
    return song + tag;
}

} // namespace

class HostileHomeTest : public QObject
{
    Q_OBJECT

private slots:
    void aFullDiskKeepsEveryFileAsItWas()
    {
        Home h;
        write(h.home + QStringLiteral("/Statistics.lst"), "Track 1,3," + h.songs[0].toUtf8() + "\r\n");
        write(h.home + QStringLiteral("/Equalizer.cfg"), "[Equalizer]\r\nOn=0\r\n");
        const QStringList names{QStringLiteral("Vorlan.cfg"), QStringLiteral("Vorlan.vln"),
                                QStringLiteral("Statistics.lst"), QStringLiteral("Equalizer.cfg")};
        QHash<QString, QByteArray> before;
        for (const QString &name : names)
            before.insert(name, bytesOf(h.home + QLatin1Char('/') + name));

        // The same files on a file system with no byte left.
        const QString full = h.dir + QStringLiteral("/full");
        QVERIFY(QDir().mkpath(full));
        FullDisk disk(full);
        for (const QString &name : names)
            QVERIFY(QFile::copy(h.home + QLatin1Char('/') + name, full + QLatin1Char('/') + name));
        disk.fill();
        QProcess player;
        QVERIFY(runOnFullDisk(h, disk, full, player));

        for (const QString &name : names)
            QVERIFY2(bytesOf(full + QLatin1Char('/') + name) == before.value(name), qPrintable(name));
        // No temporary file of a failed save is left behind.
        for (const QString &entry : QDir(full).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(names.contains(entry) || entry == QLatin1String("filler"), qPrintable(entry));
        const QString errors = QString::fromLocal8Bit(player.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("could not save")) &&
                     errors.contains(QStringLiteral("Vorlan.cfg")),
                 qPrintable(errors));
    }

    void aDamagedListThatCannotBeKeptAsideIsNotReplaced()
    {
        // Junk in the list's place, and room for a small list but not for a copy of the junk.
        Home h;
        const QString full = h.dir + QStringLiteral("/full");
        QVERIFY(QDir().mkpath(full));
        FullDisk disk(full);
        for (const QString &name : {QStringLiteral("Vorlan.cfg")})
            QVERIFY(QFile::copy(h.home + QLatin1Char('/') + name, full + QLatin1Char('/') + name));
        QByteArray junk;
        for (int i = 0; i < 24 * 1024; ++i)
            junk += char((i * 7919) % 256);
        write(full + QStringLiteral("/Vorlan.vln"), junk);
        disk.fill(12 * 1024);
        QProcess player;
        QVERIFY(runOnFullDisk(h, disk, full, player));
        QCOMPARE(bytesOf(full + QStringLiteral("/Vorlan.vln")), junk);
        QVERIFY(!QFileInfo::exists(full + QStringLiteral("/Vorlan.vln.bak")));
        const QString errors = QString::fromLocal8Bit(player.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("Vorlan.vln")), qPrintable(errors));
    }

    void aSongWhoseTagHoldsControlBytesKeepsItsEntry()
    {
        Home h;
        const QString song = h.music + QStringLiteral("/tagged.mp3");
        write(song, songWithControlBytes());
        QProcess player;
        h.start(player, {song});
        QVERIFY(player.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(h.playerAnswers(), 20000);
        QVERIFY(endPlayer(player));

        const QByteArray list = bytesOf(h.home + QStringLiteral("/Vorlan.vln"));
        QCOMPARE(list.count("\r\n"), 1);
        QVERIFY(list.endsWith("\t" + song.toUtf8() + "\r\n"));
        const QList<QByteArray> fields = list.trimmed().split('\t');
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields.at(1), QByteArray("Art ist - Ti tle [2J"));
    }

    void aLockThatIsNoLockNeverStopsTheStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("atSocket"); // the lock of the socket in the runtime folder, not the home's
        for (const char *kind : {"empty", "junk", "other machine", "dead player", "folder", "fifo", "socket",
                                 "link to /dev/zero", "sparse 2 GB"})
            QTest::newRow(kind) << QString::fromLatin1(kind) << false;
        QTest::newRow("fifo at the socket") << QStringLiteral("fifo") << true;
        QTest::newRow("/dev/zero at the socket") << QStringLiteral("link to /dev/zero") << true;
    }

    void aLockThatIsNoLockNeverStopsTheStart()
    {
        QFETCH(QString, kind);
        QFETCH(bool, atSocket);
        Home h;
        const QString lock = atSocket ? h.runtime + QStringLiteral("/vorlan.socket.lock")
                                      : h.home + QStringLiteral("/Vorlan.lock");
        const QByteArray native = QFile::encodeName(lock);
        if (kind == QLatin1String("empty")) {
            write(lock, {});
        } else if (kind == QLatin1String("junk")) {
            QByteArray junk;
            for (int i = 0; i < 3000; ++i)
                junk += char((i * 7919) % 251);
            write(lock, junk);
        } else if (kind == QLatin1String("other machine")) {
            write(lock, QByteArray::number(::getpid()) + "\nVorlan\nanother-machine.example\n");
        } else if (kind == QLatin1String("dead player")) {
            QProcess gone;
            gone.start(QStringLiteral("true"));
            QVERIFY(gone.waitForFinished());
            write(lock, QByteArray::number(gone.processId()) + "\nVorlan\n" +
                            QSysInfo::machineHostName().toUtf8() + "\n");
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(lock + QStringLiteral("/inside")));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (kind == QLatin1String("socket")) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(native.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        } else if (kind == QLatin1String("link to /dev/zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), lock));
        } else if (kind == QLatin1String("sparse 2 GB")) {
            write(lock, {});
            QCOMPARE(::truncate(native.constData(), off_t(2) << 30), 0);
        }

        QProcess player;
        QVERIFY2(startAndWait(h, player), qPrintable(QString::fromLocal8Bit(player.readAllStandardError())));
        QVERIFY(endPlayer(player));
        // A lock that was a file is its own again and gone with its player; what stood in its place is kept.
        if (kind != QLatin1String("fifo") && kind != QLatin1String("socket") &&
            kind != QLatin1String("folder") && !kind.startsWith(QLatin1String("link")))
            QVERIFY(!QFileInfo::exists(lock));
        if (kind == QLatin1String("folder")) {
            const QStringList aside =
                QDir(QFileInfo(lock).absolutePath())
                    .entryList({QFileInfo(lock).fileName() + QStringLiteral(".stale.*")});
            QCOMPARE(aside.size(), 1);
            QVERIFY(QFileInfo::exists(QFileInfo(lock).absolutePath() + QLatin1Char('/') + aside.first() +
                                      QStringLiteral("/inside")));
        }
    }

    void listsOfBlankLinesCostNothingAndListsItCannotReadStayAsTheyAre()
    {
        // 60 MB of blank lines before the list's own entries, in the list and in the statistics.
        Home h;
        const QString list = h.home + QStringLiteral("/Vorlan.vln");
        const QByteArray entries = bytesOf(list);
        write(list, QByteArray(60 * 1000 * 1000, '\n') + entries);
        const QString statistics = h.home + QStringLiteral("/Statistics.lst");
        const QByteArray counted = "Track 1,3," + h.songs[0].toUtf8() + "\r\n";
        write(statistics, QByteArray(30 * 1000 * 1000, '\n') +
                              QByteArray(15 * 1000 * 1000, ' ').replace(' ', "\r\n") + counted);
        QProcess player;
        QVERIFY(startAndWait(h, player, 60000));
        const qint64 peak = peakMiB(player.processId());
        QVERIFY(endPlayer(player));
        QVERIFY2(peak > 0 && peak < 600, qPrintable(QString::number(peak)));
        // Written back, the entries are all that is left: nothing grew past what the next start reads.
        const QByteArray saved = bytesOf(list);
        QCOMPARE(saved.count("\r\n"), 3);
        for (const QString &song : h.songs)
            QVERIFY(saved.contains(song.toUtf8()));
        // The counts kept, and songs played since counted beside them; no blank line is kept.
        const QByteArray counts = bytesOf(statistics);
        QVERIFY2(counts.startsWith("Track 1,") && counts.size() < 2000 && !counts.contains("\n\r\n"),
                 counts.left(200).constData());

        // A list too large to read, and statistics that are another text file: neither is copied nor written.
        Home other;
        const QString huge = other.home + QStringLiteral("/Vorlan.vln");
        QCOMPARE(::truncate(QFile::encodeName(huge).constData(), off_t(80) << 20), 0);
        const QString notes = other.dir + QStringLiteral("/notes.txt");
        const QByteArray prose = "Buy milk, eggs and bread.\nCall \"the shop\", ask for Anna\n";
        write(notes, prose);
        QVERIFY(QFile::link(notes, other.home + QStringLiteral("/Statistics.lst")));
        QProcess second;
        QVERIFY(startAndWait(other, second));
        QVERIFY(endPlayer(second));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(huge).constData(), &st), 0);
        QCOMPARE(qint64(st.st_size), qint64(80) << 20);
        QVERIFY(st.st_blocks < 1024); // still sparse: never written
        QVERIFY(!QFileInfo::exists(huge + QStringLiteral(".bak")));
        QCOMPARE(bytesOf(notes), prose);
        QCOMPARE(QFileInfo(other.home + QStringLiteral("/Statistics.lst")).symLinkTarget(), notes);
    }
};

VORLAN_TEST_CLASS(HostileHomeTest)
#include "HostileHomeTest.moc"
