#include "engine/xaudio/BufferedFile.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QTest>

#include <cstdio>
#include <string>

// The decoder's file reader: what it reads must be what the file holds, wherever libmpg123 seeks.
class BufferedFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatTheFileHoldsWhereverItSeeks()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/reader.bin");
        QByteArray data(300 * 1024 + 17, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char((i * 7 + i / 251) & 0xff);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.close();

        BufferedFile file;
        QVERIFY(file.open(path.toStdString()));
        std::string got(data.size() + 100, '\0');
        // Small reads across the buffer's edges, a read longer than the buffer, and a read past the end.
        qint64 at = 0;
        for (size_t want : {4, 413, 65536 - 417, 9, 70000, 200000}) {
            const ssize_t n = file.read(got.data(), want);
            const size_t expect = size_t(std::min<qint64>(qint64(want), data.size() - at));
            QCOMPARE(size_t(n), expect);
            QCOMPARE(QByteArray(got.data(), int(n)), data.mid(int(at), int(n)));
            at += n;
        }
        QCOMPARE(file.read(got.data(), 10), ssize_t(0));
        // Seeks back, forward and from the end, as the decoder makes them for tags and for the listener.
        struct Jump {
            off_t offset;
            int whence;
            qint64 to;
        };
        for (const Jump j :
             {Jump{-128, SEEK_END, data.size() - 128}, Jump{5, SEEK_SET, 5}, Jump{70000, SEEK_CUR, 70105},
              Jump{0, SEEK_SET, 0}, Jump{250000, SEEK_SET, 250000}}) {
            QCOMPARE(file.seek(j.offset, j.whence), off_t(j.to));
            const ssize_t n = file.read(got.data(), 100);
            QCOMPARE(n, ssize_t(std::min<qint64>(100, data.size() - j.to)));
            QCOMPARE(QByteArray(got.data(), int(n)), data.mid(int(j.to), int(n)));
        }
        QCOMPARE(file.seek(-1, SEEK_SET), off_t(-1));
        QCOMPARE(file.seek(10, 42), off_t(-1));

        // A download still being written: its end moves on, and the new bytes are read.
        QVERIFY(f.open(QIODevice::Append));
        f.write("tail");
        f.close();
        QCOMPARE(file.seek(-4, SEEK_END), off_t(data.size()));
        QCOMPARE(file.read(got.data(), 10), ssize_t(4));
        QCOMPARE(got.substr(0, 4), std::string("tail"));

        BufferedFile missing;
        QVERIFY(!missing.open((path + QStringLiteral(".none")).toStdString()));
    }
};

VORLAN_TEST_CLASS(BufferedFileTest)
#include "BufferedFileTest.moc"
