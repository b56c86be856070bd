// Damaged and random input for the reader, the tag writer and the templates: no crash, no hang, sane fields.
#include "tags/InfoTemplate.h"
#include "tags/TMPEGAudio.h"
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <thread>
#include <vector>

using namespace mpegbytes;

class MpegRobustnessTest : public QObject
{
    Q_OBJECT

    // What every read must leave, whatever the bytes.
    bool sane(const TMPEGAudio &m, qint64 size)
    {
        const TMPEGData &d = m.data();
        if (d.Title.size() > 30 || d.Artist.size() > 30 || d.Album.size() > 30 || d.Comment.size() > 30 ||
            d.Year.size() > 4)
            return false;
        if (m.isValid()) {
            const bool known = d.Version >= 1 && d.Version <= 3 && d.Layer >= 1 && d.Layer <= 3;
            return known && d.BitRate > 0 && d.SampleRate > 0 && d.FrameLength > 0 && m.firstFrame() >= 0 &&
                   m.firstFrame() < size && d.FileLength == size;
        }
        if (size <= 5)
            return m.firstFrame() == 0 && d.FileLength == 0 && d.Header == QLatin1String("BAD");
        return m.firstFrame() == size + 1 && d.FileLength == size && d.Header == QLatin1String("BAD") &&
               d.BitRate == 0 && d.Title == QLatin1String("[notag]");
    }

    QByteArray randomBytes(QRandomGenerator &rng, int size, bool headerRich)
    {
        static const char headerBytes[] = {'\xFF', '\xFB', '\xE3', '\x90', '\x64', '\x18', '\xC4', '\xFF'};
        QByteArray b(size, '\0');
        for (int i = 0; i < size; ++i) {
            const quint32 r = rng.generate();
            b[i] = headerRich && (r & 3) != 0 ? headerBytes[(r >> 8) % sizeof headerBytes] : char(r >> 16);
        }
        return b;
    }

private slots:
    void theHeaderSearchEndsAfterAFewMegabytes()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/huge.mp3");
        const QByteArray audio = frames(kMpeg1L3, kMpeg1L3Length, 4);
        TMPEGAudio m;
        // Frames only after 64 MiB of nothing (a sparse file): the search gives up before, as it does in a
        // file of many gigabytes without frames, instead of reading all of it.
        QVERIFY(writeFile(path, QByteArray(), 64 << 20, audio));
        m.setFileName(path);
        QVERIFY(!m.isValid());
        QCOMPARE(m.firstFrame(), (64 << 20) + 1);
        // Frames right after a large ID3v2 tag (30 MiB of pictures) are still found: the tag says its size.
        const int tagSize = 30 << 20;
        QByteArray id3("ID3\x03\x00\x00", 6);
        for (int shift : {21, 14, 7, 0})
            id3 += char((tagSize >> shift) & 0x7F);
        QVERIFY(writeFile(path, id3, 10 + tagSize + audio.size(), audio));
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(m.firstFrame(), 10 + tagSize);
        // Within the first megabytes a frame is found wherever it starts.
        QVERIFY(writeFile(path, QByteArray(), (12 << 20) + audio.size(), audio));
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(m.firstFrame(), 12 << 20);
    }

    void randomFiles()
    {
        QRandomGenerator rng(20240601);
        const QString path = vorlantest::tempDir() + QStringLiteral("/random.mp3");
        TMPEGAudio m;
        m.setMacro(QStringLiteral("%T%%A%%DF%%LM%%VD%%FD%"));
        for (int i = 0; i < 300; ++i) {
            const int size = int(rng.bounded(20000));
            const QByteArray bytes = randomBytes(rng, size, i % 2 == 1);
            QVERIFY(writeFile(path, bytes));
            m.setFileName(path);
            QVERIFY2(sane(m, size), qPrintable(QStringLiteral("random file %1").arg(i)));
        }
        // Random bytes behind valid frames: the tag part may be anything.
        for (int i = 0; i < 100; ++i) {
            const QByteArray tail = "TAG" + randomBytes(rng, 125, false);
            QVERIFY(writeFile(path, frames(kMpeg1L3, kMpeg1L3Length, 2) + tail));
            m.setFileName(path);
            QVERIFY(m.isValid());
            QVERIFY(sane(m, 2 * kMpeg1L3Length + 128));
        }
    }

    void truncatedFixtures()
    {
        const QDir fixtures(QStringLiteral(VORLAN_FIXTURES));
        const QStringList names =
            fixtures.entryList({QStringLiteral("*.mp3"), QStringLiteral("*.mp2"), QStringLiteral("*.mpg")});
        QVERIFY(names.size() >= 10);
        const QString path = vorlantest::tempDir() + QStringLiteral("/cut.mp3");
        TMPEGAudio m;
        for (const QString &name : names) {
            const QByteArray whole = readFile(fixtures.filePath(name));
            QVERIFY(!whole.isEmpty());
            for (int len = 0; len <= whole.size(); len += (len < 700 ? 7 : 331)) {
                QVERIFY(writeFile(path, whole.left(len)));
                m.setFileName(path);
                QVERIFY2(sane(m, len), qPrintable(QStringLiteral("%1 cut to %2").arg(name).arg(len)));
            }
            // Bytes overwritten at random places.
            QRandomGenerator rng(qHash(name));
            for (int k = 0; k < 20; ++k) {
                QByteArray damaged = whole;
                for (int j = 0; j < 16; ++j)
                    damaged[int(rng.bounded(int(damaged.size())))] = char(rng.generate());
                QVERIFY(writeFile(path, damaged));
                m.setFileName(path);
                QVERIFY(sane(m, damaged.size()));
            }
        }
    }

    void fileOfSyncBytesOnly()
    {
        // Every position starts a sync, none a valid header (bitrate index 15).
        const QString path = vorlantest::tempDir() + QStringLiteral("/ff.mp3");
        QVERIFY(writeFile(path, QByteArray(1 << 20, char(0xFF))));
        TMPEGAudio m;
        m.setFileName(path);
        QVERIFY(sane(m, 1 << 20));
        QCOMPARE(m.firstFrame(), (1 << 20) + 1);
    }

    void fourMegabytesOfJunkAreSearchedThrough()
    {
        QRandomGenerator rng(7);
        QByteArray junk = randomBytes(rng, 4 << 20, false);
        junk.replace(char(0xFF), char(0xFE)); // no sync in the junk, so no bogus pair can be met
        const QString path = vorlantest::tempDir() + QStringLiteral("/junk4m.mp3");
        QVERIFY(writeFile(path, junk + frames(kMpeg1L3, kMpeg1L3Length, 3) +
                                    tag("Behind junk", "", "", "2001", "", 17)));
        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.firstFrame(), 4 << 20);
        QVERIFY(m.isValid());
        QCOMPARE(m.data().Title, QStringLiteral("Behind junk"));

        // A 4 MB ID3v2 block of zeros with a few lone headers in it.
        QByteArray id3 = QByteArray("ID3\x04\x00\x00\x02\x00\x00\x00", 10) + QByteArray((4 << 20) - 10, '\0');
        for (int at = 1000; at < id3.size() - 10; at += 65536 + 17)
            id3.replace(at, 4, header(kMpeg1L3));
        QVERIFY(writeFile(path, id3 + frames(kMpeg1L3, kMpeg1L3Length, 3)));
        m.setFileName(path);
        QCOMPARE(m.firstFrame(), 4 << 20);
    }

    void fileShorterThanItsSize()
    {
        // sysfs files claim 4096 bytes and hold a few: the reads come back short.
        const QString path = QStringLiteral("/sys/devices/system/cpu/online");
        if (QFileInfo(path).size() != 4096)
            QSKIP("no sysfs file of the usual kind here");
        TMPEGAudio m;
        m.setFileName(path);
        QVERIFY(m.errorString().isEmpty());
        QVERIFY(sane(m, 4096));
    }

    void readersOnWorkerThreads()
    {
        const QDir fixtures(QStringLiteral(VORLAN_FIXTURES));
        const QStringList names = fixtures.entryList({QStringLiteral("*.mp3"), QStringLiteral("*.mp2")});
        QStringList expected;
        for (const QString &name : names) {
            TMPEGAudio m;
            m.setMacro(QStringLiteral("%FN% %V% %LY% %BR% %SR% %T% %A% %DF%"));
            m.setFileName(fixtures.filePath(name));
            expected << m.text() + QString::number(m.firstFrame());
        }
        std::vector<QStringList> results(4);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                TMPEGAudio m;
                m.setMacro(QStringLiteral("%FN% %V% %LY% %BR% %SR% %T% %A% %DF%"));
                for (int round = 0; round < 20; ++round) {
                    QStringList got;
                    for (const QString &name : names) {
                        m.setFileName(fixtures.filePath(name));
                        got << m.text() + QString::number(m.firstFrame());
                    }
                    results[t] = got;
                    if (got != expected)
                        return;
                }
            });
        }
        for (auto &th : threads)
            th.join();
        for (const QStringList &r : results)
            QCOMPARE(r, expected);
    }

    void randomTemplates()
    {
        QRandomGenerator rng(99);
        TMPEGAudio m;
        m.setFileName(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3-tagged.mp3"));
        static const char alphabet[] = "%%%,,::.0123456789 TLRCDFABNMSVGYEPO*#\t";
        for (int i = 0; i < 2000; ++i) {
            QString templ;
            const int len = int(rng.bounded(40));
            for (int k = 0; k < len; ++k)
                templ += QLatin1Char(alphabet[rng.bounded(int(sizeof alphabet - 1))]);
            const QString out = formatInfoTemplate(templ, m);
            QVERIFY(out.size() <= templ.size() * 1024 + 64);
        }
        // A huge template, and items asking for huge widths.
        QString huge = QStringLiteral("%T,L,99999,x% text %% ").repeated(2000);
        QCOMPARE(formatInfoTemplate(huge, m).size(), 2000 * (1024 + 8));
        huge = QString(1 << 20, QLatin1Char('%'));
        QCOMPARE(formatInfoTemplate(huge, m), QString(1 << 19, QLatin1Char('%')));
    }
};

VORLAN_TEST_CLASS(MpegRobustnessTest)
#include "MpegRobustnessTest.moc"
