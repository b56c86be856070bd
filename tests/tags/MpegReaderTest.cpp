// The MPEG reader: header decoding, the frame search and its confirmation, and the file facts.
#include "tags/TMPEGAudio.h"
#include "tests/TestMain.h"
#include "tests/tags/MpegBytes.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>
#include <sys/types.h>

using namespace mpegbytes;

class MpegReaderTest : public QObject
{
    Q_OBJECT

    QString fixture(const QString &name) { return QStringLiteral(VORLAN_FIXTURES "/") + name; }

    // The fields a reader has after a reset, FileName and the file facts aside.
    void verifyReset(const TMPEGAudio &m)
    {
        const TMPEGData &d = m.data();
        QCOMPARE(d.Header, QStringLiteral("BAD"));
        QCOMPARE(d.Artist, QStringLiteral("[notag]"));
        QCOMPARE(d.Album, QStringLiteral("[notag]"));
        QCOMPARE(d.Year, QStringLiteral("    "));
        QCOMPARE(d.Comment, QStringLiteral("[notag]"));
        QCOMPARE(int(d.Genre), 255);
        QCOMPARE(int(d.Track), 0);
        QCOMPARE(int(d.Duration), 0);
        QCOMPARE(int(d.Version), 0);
        QCOMPARE(int(d.Layer), 0);
        QCOMPARE(d.SampleRate, 0);
        QCOMPARE(d.BitRate, 0);
        QCOMPARE(int(d.Mode), 0);
        QCOMPARE(int(d.FrameLength), 0);
        QCOMPARE(int(d.ErrorProt) + d.Copyright + d.Original + d.Padding, 0);
        QVERIFY(d.VolumeLabel.isEmpty());
        QCOMPARE(int(d.Selected), 0);
        QVERIFY(!m.isValid());
    }

private slots:
    void newReaderIsEmpty()
    {
        TMPEGAudio m;
        QVERIFY(m.data().Header.isEmpty());
        QVERIFY(m.data().Title.isEmpty());
        QCOMPARE(int(m.data().Genre), 0);
        QCOMPARE(m.firstFrame(), 0);
        QCOMPARE(m.searchExactness(), 0);
        QVERIFY(m.macro().isEmpty());
        QVERIFY(m.text().isEmpty());
        QVERIFY(!m.isValid());
        QVERIFY(!m.fileDateTime().isValid());
    }

    // Expected values as mp3info, ffprobe and mpg123 report these files; FirstFrame and FrameLength follow
    // the 144000 rule, Layer I its four-byte slots (the confirming header of the MPEG-2 Layer III file is
    // only met at its second frame).
    void fixtureHeaders_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("layer");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<int>("bitRate");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("copyright");
        QTest::addColumn<int>("frameLength");
        QTest::addColumn<int>("firstFrame");
        QTest::addColumn<QString>("texts");

        QTest::newRow("MPEG-1 Layer I")
            << "mpeg1-layer1.mpg" << 1 << 1 << 48000 << 192 << 0 << 1 << 192 << 0 << "1.0 I Stereo";
        QTest::newRow("MPEG-1 Layer II")
            << "mpeg1-layer2.mp2" << 1 << 2 << 44100 << 192 << 0 << 0 << 627 << 0 << "1.0 II Stereo";
        QTest::newRow("MPEG-1 Layer III")
            << "mpeg1-layer3.mp3" << 1 << 3 << 44100 << 128 << 1 << 0 << 417 << 0 << "1.0 III Joint-Stereo";
        QTest::newRow("MPEG-2 Layer II")
            << "mpeg2-layer2.mp2" << 2 << 2 << 24000 << 64 << 3 << 0 << 384 << 0 << "2.0 II Single-Channel";
        QTest::newRow("MPEG-2 Layer III") << "mpeg2-layer3.mp3" << 2 << 3 << 22050 << 64 << 3 << 0 << 418
                                          << 208 << "2.0 III Single-Channel";
        QTest::newRow("MPEG-2.5 Layer III")
            << "mpeg25-layer3.mp3" << 3 << 3 << 8000 << 16 << 3 << 0 << 288 << 0 << "2.5 III Single-Channel";
        QTest::newRow("ID3v2 in front")
            << "id3v2-front.mp3" << 1 << 3 << 44100 << 128 << 1 << 0 << 417 << 2048 << "1.0 III Joint-Stereo";
        QTest::newRow("junk in front")
            << "junk-front.mp3" << 1 << 3 << 44100 << 128 << 1 << 0 << 417 << 1500 << "1.0 III Joint-Stereo";
        // The second frame's header is zeroed: the first frame is rejected, and so is the zeroed one.
        QTest::newRow("damaged") << "damaged.mp3" << 1 << 3 << 44100 << 128 << 1 << 0 << 418 << 834
                                 << "1.0 III Joint-Stereo";
    }

    void fixtureHeaders()
    {
        QFETCH(QString, file);
        TMPEGAudio m;
        m.setFileName(fixture(file));
        const TMPEGData &d = m.data();
        QVERIFY(m.errorString().isEmpty());
        QVERIFY(m.isValid());
        QTEST(int(d.Version), "version");
        QTEST(int(d.Layer), "layer");
        QTEST(d.SampleRate, "sampleRate");
        QTEST(d.BitRate, "bitRate");
        QTEST(int(d.Mode), "mode");
        QTEST(int(d.Copyright), "copyright");
        QTEST(int(d.FrameLength), "frameLength");
        QTEST(m.firstFrame(), "firstFrame");
        QCOMPARE(int(d.Original), 1);
        QCOMPARE(int(d.ErrorProt), 0); // no CRC in any of them: the protection bit is 1
        QTEST(m.versionStr() + QLatin1Char(' ') + m.layerStr() + QLatin1Char(' ') + m.modeStr(), "texts");
        QCOMPARE(d.FileLength, int(QFileInfo(fixture(file)).size()));
        QCOMPARE(int(d.Duration), 0); // half a second each
    }

    void aVariableBitrateFileTakesItsLengthFromItsXingHeader()
    {
        // 10 s at about 32 kbit/s; its first frame says 64: the size over that would give 5 s.
        TMPEGAudio m;
        m.setMacro(QStringLiteral("%D,T% %BR,T% %DF,T%"));
        m.setFileName(fixture(QStringLiteral("vbr-10s.mp3")));
        QVERIFY(m.isValid());
        QCOMPARE(int(m.data().Duration), 10);
        QCOMPARE(m.text(), QStringLiteral("10 32 00:10"));
        // A constant-bitrate file from the same encoder has an "Info" header: the same count, the same rate.
        TMPEGAudio cbr;
        cbr.setFileName(fixture(QStringLiteral("mpeg1-layer3.mp3")));
        QCOMPARE(cbr.data().BitRate, 128);
    }

    void layerOneAt44kHzAndTheProtectionBit()
    {
        // 384 kbit/s at 44.1 kHz: frames of 104 slots of four bytes, some padded by one more slot, as an
        // encoder writes them; and the same without a CRC.
        const QString dir = vorlantest::tempDir();
        for (const bool crc : {false, true}) {
            const uint32_t plain = crc ? 0xFFFEC000u : 0xFFFFC000u;
            QByteArray bytes;
            for (int i = 0; i < 40; ++i) {
                const bool padded = i % 3 == 1;
                bytes += frames(plain | (padded ? 0x200u : 0u), padded ? 420 : 416, 1);
            }
            const QString path = dir + (crc ? QStringLiteral("/crc.mp1") : QStringLiteral("/plain.mp1"));
            QVERIFY(writeFile(path, bytes));
            TMPEGAudio m;
            m.setMacro(QStringLiteral("%LY,T% %SR,T% %BR,T% %EP,T%"));
            m.setFileName(path);
            QVERIFY(m.isValid());
            QCOMPARE(int(m.data().Layer), 1);
            QCOMPARE(m.data().SampleRate, 44100);
            QCOMPARE(m.text(), crc ? QStringLiteral("I 44100 384 Yes") : QStringLiteral("I 44100 384 No"));
        }
    }

    void framesWithoutTagTakeTheFileName()
    {
        TMPEGAudio m;
        m.setFileName(fixture(QStringLiteral("mpeg1-layer3.mp3")));
        const TMPEGData &d = m.data();
        QCOMPARE(d.Header, QStringLiteral("BAD"));
        QCOMPARE(d.Title, QStringLiteral("mpeg1-layer3.mp3"));
        QCOMPARE(d.Artist, QStringLiteral("[notag]"));
        QCOMPARE(d.Album, QStringLiteral("[notag]"));
        QCOMPARE(d.Comment, QStringLiteral("[notag]"));
        QCOMPARE(int(d.Genre), 255);
        QCOMPARE(m.genreStr(), QStringLiteral("Unknown"));

        const QString dir = vorlantest::tempDir();
        const QString longName = dir + QStringLiteral("/a rather long file name of a song.mp3");
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), longName));
        m.setFileName(longName);
        QCOMPARE(m.data().Title, QStringLiteral("a rather long file name of a s"));
    }

    void durationFromSizeAndBitrate()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/four-million.mp3");
        QVERIFY(writeFile(path, frames(kMpeg1L3, kMpeg1L3Length, 2), 4000000));
        TMPEGAudio m;
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(int(m.data().Duration), 250);
        QCOMPARE(m.data().FileLength, 4000000);

        QCOMPARE(m.firstFrame(), 0);
        TMPEGAudio second;
        second.setFileName(fixture(QStringLiteral("tone-3s-mono.mp3")));
        QCOMPARE(int(second.data().Duration), 3); // 24449 * 8 div 64000
    }

    void durationStopsAtItsLargestValue()
    {
        // 100 MB at 8 kbit/s would be 100000 s: more than the field holds.
        const QString path = vorlantest::tempDir() + QStringLiteral("/long.mp3");
        QVERIFY(writeFile(path, frames(kMpeg25L3, kMpeg25L3Length, 2), 100000000));
        TMPEGAudio m;
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(int(m.data().Duration), 65535);
    }

    void searchSlidesOverJunkAndId3v2()
    {
        const QString dir = vorlantest::tempDir();
        TMPEGAudio m;

        // Junk holding sync bytes, none of them a header.
        QByteArray junk;
        for (int i = 0; i < 1000; ++i)
            junk += char(i % 3 == 0 ? 0xFF : i % 200);
        QVERIFY(writeFile(dir + QStringLiteral("/junk.mp3"), junk + frames(kMpeg1L3, kMpeg1L3Length, 3)));
        m.setFileName(dir + QStringLiteral("/junk.mp3"));
        QCOMPARE(m.firstFrame(), 1000);
        QCOMPARE(m.data().BitRate, 128);

        // An ID3v2 block of 10 + 990 bytes with a lone header inside.
        QByteArray id3 = QByteArray("ID3\x03\x00\x00\x00\x00\x07\x5E", 10) + QByteArray(990, '\0');
        id3.replace(100, 4, header(kMpeg1L3));
        QVERIFY(writeFile(dir + QStringLiteral("/id3v2.mp3"), id3 + frames(kMpeg1L3, kMpeg1L3Length, 3)));
        m.setFileName(dir + QStringLiteral("/id3v2.mp3"));
        QCOMPARE(m.firstFrame(), 1000);
        QVERIFY(m.isValid());
    }

    void isolatedSyncIsRejectedAndSearchResumesOneByteLater()
    {
        // At 0 a valid MPEG-1 Layer I header (FF FF E3 18) whose next frame, 1463 bytes on, is missing;
        // at 1 the MPEG-2.5 Layer III frames FF E3 18 .. begin, overlapping it.
        QByteArray bytes = QByteArray(1, char(0xFF)) + frames(0xFFE318C4, kMpeg25L3Length, 11);
        const QString path = vorlantest::tempDir() + QStringLiteral("/overlap.mp3");
        QVERIFY(writeFile(path, bytes));
        TMPEGAudio m;
        m.setFileName(path);
        QCOMPARE(m.firstFrame(), 1);
        QCOMPARE(int(m.data().Version), 3);
        QCOMPARE(int(m.data().Layer), 3);
        QCOMPARE(m.data().SampleRate, 8000);

        // A lone header followed by garbage only: nothing is found.
        QByteArray garbage = header(kMpeg1L3);
        for (int i = 0; i < 2000; ++i)
            garbage += char((i * 7) % 200);
        QVERIFY(writeFile(path, garbage));
        m.setFileName(path);
        verifyReset(m);
        QCOMPARE(m.firstFrame(), 2004 + 1);
        QCOMPARE(m.data().FileLength, 2004);
        QVERIFY(m.data().FileAge != 0); // the file facts stay
    }

    void frameReachingPastTheEndIsRejected()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/room.mp3");
        TMPEGAudio m;
        // Room = FileLength - FirstFrame - FrameLength + 2 for a set protection bit: 142 - 0 - 144 + 2 = 0.
        QVERIFY(writeFile(path, frames(kMpeg25L3, kMpeg25L3Length, 1).left(142)));
        m.setFileName(path);
        verifyReset(m);
        QCOMPARE(m.firstFrame(), 143);

        // Room 3, but the confirming header would lie past the end.
        QVERIFY(writeFile(path, frames(kMpeg25L3, kMpeg25L3Length, 1) + QByteArray(1, char(0xFF))));
        m.setFileName(path);
        verifyReset(m);
        QCOMPARE(m.firstFrame(), 146);

        // The smallest pair: a frame and the next header, ending the file.
        QVERIFY(writeFile(path, frames(kMpeg25L3, kMpeg25L3Length, 1) + header(kMpeg25L3)));
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(m.firstFrame(), 0);
    }

    void tagBehindNoFramesIsNotRead()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/tagonly.mp3");
        QVERIFY(
            writeFile(path, QByteArray(5000, 'x') + tag("Title", "Artist", "Album", "2000", "Comment", 8)));
        TMPEGAudio m;
        m.setFileName(path);
        verifyReset(m);
        QCOMPARE(m.data().Title, QStringLiteral("[notag]"));
        QCOMPARE(m.firstFrame(), 5128 + 1);

        // Free format has no bitrate, so no header of it is accepted either.
        m.setFileName(fixture(QStringLiteral("freeformat.mp3")));
        verifyReset(m);
        QCOMPARE(m.firstFrame(), m.data().FileLength + 1);
    }

    void missingFileGetsNotFoundTitle()
    {
        TMPEGAudio m;
        m.setFileName(fixture(QStringLiteral("mpeg1-layer3-tagged.mp3")));
        QCOMPARE(m.data().Header, QStringLiteral("TAG"));

        const QString dir = vorlantest::tempDir();
        m.setFileName(dir + QStringLiteral("/gone.mp3"));
        verifyReset(m);
        QCOMPARE(m.data().Title, QStringLiteral("[not found: gone.mp3]"));
        QCOMPARE(m.data().FileName, dir + QStringLiteral("/gone.mp3"));
        QCOMPARE(m.data().FileLength, 0);
        QCOMPARE(m.data().FileAge, 0);
        QCOMPARE(m.firstFrame(), 0);
        QVERIFY(!m.fileDateTime().isValid());
        QVERIFY(!m.errorString().isEmpty());

        m.setFileName(dir + QStringLiteral("/a song with a long name that is gone.mp3"));
        QCOMPARE(m.data().Title, QStringLiteral("[not found: a song with a long"));
        QCOMPARE(m.data().Title.size(), 30);

        m.setFileName(dir + QStringLiteral("/no-folder/x.mp3"));
        QCOMPARE(m.data().Title, QStringLiteral("[not found: x.mp3]"));
    }

    void namesAreExpandedToAbsolutePaths()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), dir + QStringLiteral("/rel.mp3")));
        const QString old = QDir::currentPath();
        const auto restore = qScopeGuard([old] { QDir::setCurrent(old); });
        QVERIFY(QDir::setCurrent(dir));
        TMPEGAudio m;
        m.setFileName(QStringLiteral("rel.mp3"));
        QVERIFY(QDir::setCurrent(old));
        QCOMPARE(m.fileName(), dir + QStringLiteral("/rel.mp3"));
        QVERIFY(m.isValid());

        m.setFileName(dir + QStringLiteral("/sub/../rel.mp3"));
        QCOMPARE(m.fileName(), dir + QStringLiteral("/rel.mp3"));

        // Linux paths may be far longer than 255 characters.
        QString deep = dir;
        while (deep.size() < 300)
            deep += QStringLiteral("/folder-with-a-long-name");
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), deep + QStringLiteral("/x.mp3")));
        m.setFileName(deep + QStringLiteral("/x.mp3"));
        QCOMPARE(m.fileName(), deep + QStringLiteral("/x.mp3"));
        QVERIFY(m.isValid());
    }

    void unreadableFilesKeepResetValues()
    {
        const QString dir = vorlantest::tempDir();
        TMPEGAudio m;

        QVERIFY(writeFile(dir + QStringLiteral("/tiny.mp3"), header(kMpeg1L3) + "x"));
        m.setFileName(dir + QStringLiteral("/tiny.mp3"));
        verifyReset(m);
        QCOMPARE(m.data().Title, QStringLiteral("[notag]"));
        QCOMPARE(m.data().FileLength, 0); // five bytes or less: not even the size is taken
        QCOMPARE(m.firstFrame(), 0);
        QVERIFY(m.errorString().isEmpty());

        m.setFileName(dir);
        verifyReset(m);
        QCOMPARE(m.data().Title, QStringLiteral("[notag]"));
        QVERIFY(!m.errorString().isEmpty());

        // A FIFO would block a reader that opened it like a file.
        const QByteArray fifo = QFile::encodeName(dir + QStringLiteral("/pipe.mp3"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        m.setFileName(dir + QStringLiteral("/pipe.mp3"));
        verifyReset(m);
        QVERIFY(!m.errorString().isEmpty());

        m.setFileName(QString());
        QCOMPARE(m.data().Title, QStringLiteral("[not found: ]"));
    }

    void searchExactnessLimitsTheSearch()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/late.mp3");
        QVERIFY(writeFile(path, QByteArray(2000, '\0') + frames(kMpeg1L3, kMpeg1L3Length, 3)));
        TMPEGAudio m;
        m.setSearchExactness(1000);
        m.setFileName(path);
        QVERIFY(!m.isValid());
        m.setSearchExactness(2003); // the candidate's four bytes end at 2003
        m.setFileName(path);
        QCOMPARE(m.firstFrame(), 2000);
        m.setSearchExactness(0);
        m.setFileName(path);
        QCOMPARE(m.firstFrame(), 2000);
    }

    void fileAgeAndAttributes()
    {
        const QString dir = vorlantest::tempDir();
        const QString path = dir + QStringLiteral("/dated.mp3");
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QDateTime when(QDate(2021, 3, 4), QTime(5, 6, 9));
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
        f.close();

        TMPEGAudio m;
        m.setFileName(path);
        // DOS stamps count seconds in steps of two.
        QCOMPARE(m.fileDateTime(), QDateTime(QDate(2021, 3, 4), QTime(5, 6, 8)));
        const uint32_t age = uint32_t(m.data().FileAge);
        QCOMPARE(age >> 25, 41u);
        QCOMPARE((age >> 21) & 15, 3u);
        QCOMPARE((age >> 16) & 31, 4u);
        QCOMPARE(age & 0xFFFF, (5u << 11) | (6u << 5) | 4u);
        QCOMPARE(m.data().FileAttr, uint16_t(TMPEGAudio::faArchive));

        // A file older than DOS stamps still gets one, so its headers count.
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(1970, 1, 2), QTime(0, 0)), QFileDevice::FileModificationTime));
        f.close();
        m.setFileName(path);
        QVERIFY(m.isValid());
        QCOMPARE(m.fileDateTime(), QDateTime(QDate(1980, 1, 1), QTime(0, 0)));

        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        m.setFileName(path);
        QCOMPARE(m.data().FileAttr, uint16_t(TMPEGAudio::faReadOnly));

        const QString hidden = dir + QStringLiteral("/.hidden.mp3");
        QVERIFY(QFile::copy(fixture(QStringLiteral("mpeg1-layer3.mp3")), hidden));
        m.setFileName(hidden);
        QCOMPARE(m.data().FileAttr, uint16_t(TMPEGAudio::faHidden));
        QVERIFY(m.data().VolumeLabel.isEmpty());
    }

    void textFollowsEveryRead()
    {
        TMPEGAudio m;
        m.setMacro(QStringLiteral("%T,T%|%BR,T%"));
        QCOMPARE(m.text(), QStringLiteral("|0"));
        m.setFileName(fixture(QStringLiteral("mpeg1-layer3-tagged.mp3")));
        QCOMPARE(m.text(), QStringLiteral("Fixture Title|128"));
        m.setFileName(fixture(QStringLiteral("missing.mp3")));
        QCOMPARE(m.text(), QStringLiteral("[not found: missing.mp3]|0"));
        m.setFileName(fixture(QStringLiteral("freeformat.mp3")));
        QCOMPARE(m.text(), QStringLiteral("[notag]|0"));
        QCOMPARE(m.macro(), QStringLiteral("%T,T%|%BR,T%"));
    }

    void nameTables()
    {
        QCOMPARE(genreNames().size(), 126);
        QCOMPARE(genreName(0), QStringLiteral("Blues"));
        QCOMPARE(genreName(67), QStringLiteral("Psychadelic"));
        QCOMPARE(genreName(93), QStringLiteral("Psychedelic Rock"));
        QCOMPARE(genreName(125), QStringLiteral("Dance Hall"));
        QCOMPARE(genreName(126), QStringLiteral("Unknown"));
        QCOMPARE(genreName(255), QStringLiteral("Unknown"));
        TMPEGAudio m;
        QCOMPARE(m.versionStr(), QStringLiteral("Unknown"));
        QCOMPARE(m.layerStr(), QStringLiteral("Unknown"));
        QCOMPARE(m.modeStr(), QStringLiteral("Stereo"));
        QCOMPARE(m.genreStr(), QStringLiteral("Blues")); // a new reader's genre is 0
    }
};

VORLAN_TEST_CLASS(MpegReaderTest)
#include "MpegReaderTest.moc"
