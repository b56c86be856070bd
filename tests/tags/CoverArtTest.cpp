// Covers as a user's files carry them: pictures embedded by the formats' own tools (made here, at test time),
// picture files beside the song, and pictures that are too large, damaged or not files at all.
#include "tags/CoverArt.h"
#include "tests/HugeGif.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <sys/stat.h>

namespace
{

QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

constexpr auto &have = vorlantest::haveTool;

constexpr auto &run = vorlantest::runTool;

// A picture no encoder would make by chance: four coloured quarters and a diagonal.
QImage drawnCover()
{
    QImage image(64, 48, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 32, 24, QColor(200, 30, 30));
    p.fillRect(32, 0, 32, 24, QColor(30, 200, 30));
    p.fillRect(0, 24, 32, 24, QColor(30, 30, 200));
    p.fillRect(32, 24, 32, 24, QColor(230, 230, 40));
    p.setPen(Qt::white);
    p.drawLine(0, 0, 63, 47);
    return image;
}

QByteArray syncsafe(quint32 n)
{
    const char bytes[4] = {char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F),
                           char(n & 0x7F)};
    return QByteArray(bytes, 4);
}

// An ID3v2.3 tag of one front-cover APIC frame holding picture, in front of an MPEG file's bytes.
QByteArray withApic(const QByteArray &picture, const QByteArray &mpeg)
{
    const QByteArray body = QByteArray("\0image/png\0\x03\0", 13) + picture;
    const quint32 n = quint32(body.size());
    const QByteArray frame = QByteArray("APIC") + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n) +
                             QByteArray(2, '\0') + body;
    return QByteArray("ID3\x03\0\0", 6) + syncsafe(quint32(frame.size())) + frame + mpeg;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class CoverArtTest : public QObject
{
    Q_OBJECT

    QString m_dir;
    QString m_png;
    QString m_tone;

private slots:
    void initTestCase()
    {
        m_dir = vorlantest::tempDir();
        m_png = m_dir + QStringLiteral("/drawn.png");
        QVERIFY(drawnCover().save(m_png));
        m_tone = m_dir + QStringLiteral("/tone.wav");
        if (have(QStringLiteral("ffmpeg")))
            QVERIFY(run(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-f", "lavfi", "-i",
                                                   "sine=frequency=440:duration=1", "-ac", "2", m_tone}));
    }

    void theEmbeddedFrontCoverIsFound_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>(
            "commands"); // each "tool|arg|arg"; %t the tone, %p the picture, %f the file
        QTest::newRow("flac picture")
            << "metaflac"
            << "song.flac" << QStringList{"flac|-s|-f|%t|-o|%f", "metaflac|--import-picture-from=%p|%f"};
        QTest::newRow("id3v2 apic in mp3")
            << "ffmpeg"
            << "song.mp3"
            << QStringList{"ffmpeg|-v|error|-y|-i|" + fixture("mpeg1-layer3-tagged.mp3") +
                           "|-i|%p|-map|0:a|-map|1|-c|copy|-id3v2_version|3|-metadata:s:v|comment=Cover "
                           "(front)|%f"};
        QTest::newRow("mp4 covr") << "ffmpeg"
                                  << "song.m4a"
                                  << QStringList{
                                         "ffmpeg|-v|error|-y|-i|%t|-i|%p|-map|0|-map|1|-c:a|aac|-c:v|copy|"
                                         "-disposition:v:0|attached_pic|%f"};
        QTest::newRow("opus picture") << "opusenc"
                                      << "song.opus" << QStringList{"opusenc|--quiet|--picture|%p|%t|%f"};
    }
    void theEmbeddedFrontCoverIsFound()
    {
        QFETCH(QString, tool);
        QFETCH(QString, file);
        QFETCH(QStringList, commands);
        for (const QString &t : {tool, QStringLiteral("ffmpeg"), QStringLiteral("flac")})
            if (!have(t))
                QSKIP(qPrintable(t + QStringLiteral(" is missing")));
        const QString folder = m_dir + QLatin1Char('/') + QString(QTest::currentDataTag()).replace(' ', '-');
        QVERIFY(QDir().mkpath(folder));
        const QString song = folder + QLatin1Char('/') + file;
        for (const QString &command : commands) {
            QStringList args = command.split(QLatin1Char('|'));
            const QString program = args.takeFirst();
            for (QString &a : args)
                a.replace(QStringLiteral("%t"), m_tone)
                    .replace(QStringLiteral("%p"), m_png)
                    .replace(QStringLiteral("%f"), song);
            QVERIFY2(run(program, args), qPrintable(command));
        }
        // A picture file beside it loses to the embedded one.
        QImage other(8, 8, QImage::Format_RGB32);
        other.fill(Qt::black);
        QVERIFY(other.save(folder + QStringLiteral("/cover.png")));

        const QByteArray bytes = CoverArt::find(song);
        QCOMPARE(CoverArt::pictureFormat(bytes), QByteArray("png"));
        QCOMPARE(CoverArt::decode(bytes).convertToFormat(QImage::Format_RGB32), drawnCover());
        QCOMPARE(CoverArt::decode(bytes, QSize(32, 32)).size(), QSize(32, 24));
    }

    void aPictureFileBesideTheSongIsFoundWithoutCase()
    {
        const QString folder = m_dir + QStringLiteral("/beside");
        QVERIFY(QDir().mkpath(folder));
        const QString song = folder + QStringLiteral("/song.mp3");
        QVERIFY(QFile::copy(fixture("mpeg1-layer3-tagged.mp3"), song));
        QVERIFY(CoverArt::find(song).isEmpty());
        // front.* is taken only without cover.* or folder.*.
        QImage front(8, 8, QImage::Format_RGB32);
        front.fill(Qt::green);
        QVERIFY(front.save(folder + QStringLiteral("/FRONT.png")));
        QCOMPARE(CoverArt::besideFile(song), folder + QStringLiteral("/FRONT.png"));
        QCOMPARE(CoverArt::decode(CoverArt::find(song)).pixelColor(4, 4), QColor(Qt::green));
        QVERIFY(drawnCover().save(folder + QStringLiteral("/Cover.JPG"), "JPEG", 95));
        QCOMPARE(CoverArt::besideFile(song), folder + QStringLiteral("/Cover.JPG"));
        const QImage found = CoverArt::decode(CoverArt::find(song));
        QCOMPARE(found.size(), QSize(64, 48));
        const QColor red = found.pixelColor(8, 16);
        QVERIFY2(red.red() > 170 && red.green() < 70 && red.blue() < 70, qPrintable(red.name()));
        // A stream has no folder to look in.
        QVERIFY(CoverArt::find(QStringLiteral("http://example.invalid/song.mp3")).isEmpty());
    }

    void picturesTooLargeDamagedOrNotFilesAreNoCover()
    {
        const QString folder = m_dir + QStringLiteral("/hostile");
        QVERIFY(QDir().mkpath(folder));
        const QByteArray mpeg = readAll(fixture("mpeg1-layer3-tagged.mp3"));
        QVERIFY(!mpeg.isEmpty());
        const QString song = folder + QStringLiteral("/song.mp3");

        // A hand-made tag's picture is found: the tag reader itself is not what refuses the others.
        const QByteArray png = readAll(m_png);
        write(song, withApic(png, mpeg));
        QCOMPARE(CoverArt::embedded(song), png);
        // Past the size cap: not read.
        write(song, withApic(png + QByteArray(int(CoverArt::MaxBytes), '\0'), mpeg));
        QVERIFY(CoverArt::embedded(song).isEmpty());
        // Damaged bytes, and a picture of too many pixels, are found but are no cover.
        write(song, withApic(png.left(40) + QByteArray(200, 'x'), mpeg));
        QVERIFY(CoverArt::decode(CoverArt::embedded(song)).isNull());
        QVERIFY(CoverArt::find(song).isEmpty());
        write(song, withApic(vorlantest::hugeCanvasGif(60000, 60000, 1), mpeg));
        QVERIFY(!CoverArt::embedded(song).isEmpty());
        QVERIFY(CoverArt::find(song).isEmpty());

        // Beside the song: a FIFO under the first name is passed over without waiting for a writer, a huge
        // canvas is refused by its header.
        QVERIFY(::mkfifo(QFile::encodeName(folder + QStringLiteral("/cover.jpg")).constData(), 0600) == 0);
        write(folder + QStringLiteral("/folder.gif"), vorlantest::hugeCanvasGif(60000, 60000, 1));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(CoverArt::find(song).isEmpty());
        QVERIFY(timer.elapsed() < 5000);
        // A picture file past the cap is not read.
        write(folder + QStringLiteral("/folder.gif"), QByteArray(int(CoverArt::MaxBytes) + 1, 'G'));
        QVERIFY(CoverArt::find(song).isEmpty());
        // A song that is a FIFO is not read either.
        const QString fifoSong = folder + QStringLiteral("/fifo.flac");
        QVERIFY(::mkfifo(QFile::encodeName(fifoSong).constData(), 0600) == 0);
        QVERIFY(CoverArt::embedded(fifoSong).isEmpty());
    }
};

VORLAN_TEST_CLASS(CoverArtTest)
#include "CoverArtTest.moc"
