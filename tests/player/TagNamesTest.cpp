// Songs without an ID3v1 tag but with an ID3v2 (2.2, 2.3, 2.4) or APE tag are named "Artist - Title" from it
// wherever the player names a song: the playlist, the title lines, the hints and the statistics. A song with
// an ID3v1 tag is named from it exactly as before.
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/Statistics.h"
#include "playlist/PlaylistModel.h"
#include "tags/ExtendedTags.h"
#include "tests/TestMain.h"
#include "tests/tags/OtherFormatFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace
{

QByteArray fixtureBytes(const char *name)
{
    QFile f(QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray bigEndian(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char((v >> (8 * i)) & 0xFF);
    return out;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v & 0xFF);
    return out;
}

QByteArray syncsafe(quint32 v)
{
    return bytes({int(v >> 21) & 0x7F, int(v >> 14) & 0x7F, int(v >> 7) & 0x7F, int(v) & 0x7F});
}

QByteArray littleEndian(quint32 v)
{
    return bytes({int(v), int(v >> 8), int(v >> 16), int(v >> 24)});
}

// An ID3v2 tag of the given minor version with text frames (id, text); text in Latin-1 (2.2, 2.3) or UTF-8
// (2.4).
QByteArray id3v2(int version, const QList<QPair<QByteArray, QString>> &frames)
{
    QByteArray body;
    for (const auto &[id, value] : frames) {
        const QByteArray data = version == 4 ? '\x03' + value.toUtf8() : '\x00' + value.toLatin1();
        if (version == 2)
            body += id + bigEndian(quint32(data.size()), 3) + data;
        else
            body += id +
                    (version == 4 ? syncsafe(quint32(data.size())) : bigEndian(quint32(data.size()), 4)) +
                    QByteArray(2, '\0') + data;
    }
    body += QByteArray(64, '\0'); // padding
    return "ID3" + bytes({version, 0, 0}) + syncsafe(quint32(body.size())) + body;
}

// An APEv2 tag (footer only) with the given items.
QByteArray ape(const QList<QPair<QByteArray, QString>> &items)
{
    QByteArray body;
    for (const auto &[key, value] : items) {
        const QByteArray v = value.toUtf8();
        body += littleEndian(quint32(v.size())) + littleEndian(0) + key + '\0' + v;
    }
    return body + "APETAGEX" + littleEndian(2000) + littleEndian(quint32(body.size() + 32)) +
           littleEndian(quint32(items.size())) + littleEndian(0) + QByteArray(8, '\0');
}

QByteArray id3v1(const QByteArray &title, const QByteArray &artist)
{
    auto field = [](QByteArray s, int n) { return s.leftJustified(n, '\0', true); };
    return "TAG" + field(title, 30) + field(artist, 30) + field("", 30) + field("2001", 4) + field("", 30) +
           char(12);
}

QString writeSong(const QString &name, const QByteArray &front, const QByteArray &back)
{
    const QString path = vorlantest::tempDir() + QLatin1Char('/') + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(front + fixtureBytes("mpeg1-layer3.mp3") + back);
    return path;
}

} // namespace

class TagNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTagKindNamesTheSong_data()
    {
        QTest::addColumn<QByteArray>("front");
        QTest::addColumn<QByteArray>("back");
        QTest::addColumn<QString>("name");
        QTest::newRow("2.2") << id3v2(2, {{"TT2", QStringLiteral("Old Title")},
                                          {"TP1", QStringLiteral("Old Band")}})
                             << QByteArray() << QStringLiteral("Old Band - Old Title");
        QTest::newRow("2.3") << id3v2(3, {{"TPE1", QStringLiteral("Ça Va")}, {"TIT2", QStringLiteral("Été")}})
                             << QByteArray() << QStringLiteral("Ça Va - Été");
        QTest::newRow("2.4 UTF-8") << id3v2(4, {{"TIT2", QStringLiteral("Звезда")},
                                                {"TPE1", QStringLiteral("Кино")}})
                                   << QByteArray() << QStringLiteral("Кино - Звезда");
        QTest::newRow("title only") << id3v2(3, {{"TIT2", QStringLiteral("Alone")}}) << QByteArray()
                                    << QStringLiteral("Unknown - Alone");
        QTest::newRow("APE") << QByteArray()
                             << ape({{"Title", QStringLiteral("Ape Title")},
                                     {"Artist", QStringLiteral("Ape Band")}})
                             << QStringLiteral("Ape Band - Ape Title");
        // A tag that names nothing leaves the file name.
        QTest::newRow("empty ID3v2") << id3v2(3, {{"TALB", QStringLiteral("Only Album")}}) << QByteArray()
                                     << QStringLiteral("song");
        // ID3v1 names the song exactly as before, whatever else the file holds.
        QTest::newRow("ID3v1 first") << id3v2(3, {{"TIT2", QStringLiteral("V2")},
                                                  {"TPE1", QStringLiteral("V2")}})
                                     << id3v1("V1 Title", "V1 Band") << QStringLiteral("V1 Band - V1 Title");
        // Damaged: a size running past the end, a frame size past its tag.
        QTest::newRow("damaged size") << QByteArray("ID3\x03\x00\x00\x7F\x7F\x7F\x7FTIT2", 14) << QByteArray()
                                      << QStringLiteral("song");
        QByteArray frame = id3v2(4, {{"TIT2", QStringLiteral("X")}});
        frame[14] = char(0x7F);
        QTest::newRow("damaged frame") << frame << QByteArray() << QStringLiteral("song");
    }

    void everyTagKindNamesTheSong()
    {
        QFETCH(QByteArray, front);
        QFETCH(QByteArray, back);
        QFETCH(QString, name);
        const QString path = writeSong(QStringLiteral("song.mp3"), front, back);
        QCOMPARE(PlaylistModel::EntryDisplayText(path, true), name);
        PlaylistModel playlist;
        playlist.PlaylistAddFile(path);
        QCOMPARE(playlist.data(playlist.index(0, PlaylistModel::NameColumn)).toString(), name);
        // The rest of the line is what it was: the duration, the path.
        QCOMPARE(playlist.entryPath(0), path);
        QVERIFY(!playlist.entry(0).time.isEmpty());
    }

    void otherFormatsAreNamedFromTheirOwnTags_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &name : otherformats::names())
            QTest::newRow(qPrintable(name)) << name;
    }
    void otherFormatsAreNamedFromTheirOwnTags()
    {
        QFETCH(QString, file);
        if (!otherformats::haveFfmpeg())
            QSKIP("ffmpeg makes the songs (scripts/install-deps.sh)");
        const QString dir = vorlantest::tempDir();
        const QString tagged = dir + QStringLiteral("/tagged-") + file;
        const QString bare = dir + QStringLiteral("/bare-") + file;
        QVERIFY(otherformats::make(tagged, {QStringLiteral("artist=Кино"), QStringLiteral("title=Звезда")}));
        QVERIFY(otherformats::make(bare, {}));
        const QString name = QStringLiteral("Кино - Звезда");
        QCOMPARE(PlaylistModel::EntryDisplayText(tagged, true), name);
        PlaylistModel playlist;
        playlist.PlaylistAddFile(tagged);
        playlist.PlaylistAddFile(bare);
        QCOMPARE(playlist.data(playlist.index(0, PlaylistModel::NameColumn)).toString(), name);
        // Without tags the name is the file's name without its extension, however long that is.
        QCOMPARE(playlist.data(playlist.index(1, PlaylistModel::NameColumn)).toString(),
                 QStringLiteral("bare-song"));
        // The length is the song's own.
        const QString longer = dir + QStringLiteral("/longer.") + QFileInfo(file).suffix();
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                      QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                      QStringLiteral("sine=frequency=440:duration=63.5"), longer});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        playlist.PlaylistAddFile(longer);
        QCOMPARE(playlist.data(playlist.index(2, PlaylistModel::DurationColumn)).toString(),
                 QStringLiteral("01:03"));
    }

    void aPlayedSongIsNamedFromItsTagEverywhere_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("ID3v2") << QStringLiteral("track07.mp3");
        QTest::newRow("FLAC") << QStringLiteral("track07.flac");
    }
    void aPlayedSongIsNamedFromItsTagEverywhere()
    {
        QFETCH(QString, file);
        QString path;
        if (file.endsWith(QLatin1String(".mp3"))) {
            path = writeSong(file,
                             id3v2(4, {{"TPE1", QStringLiteral("Nadia")},
                                       {"TIT2", QStringLiteral("Rain")},
                                       {"TALB", QStringLiteral("Weather")}}),
                             QByteArray());
        } else {
            if (!otherformats::haveFfmpeg())
                QSKIP("ffmpeg makes the songs (scripts/install-deps.sh)");
            path = vorlantest::tempDir() + QLatin1Char('/') + file;
            QVERIFY(otherformats::make(path, {QStringLiteral("artist=Nadia"), QStringLiteral("title=Rain"),
                                              QStringLiteral("album=Weather")}));
        }
        TXaudioPlayer player;
        PlaylistModel playlist;
        Statistics statistics;
        XaudioEngine engine(&player);
        PlaybackController controller(&engine, &playlist, &statistics);
        const QString dir = vorlantest::tempDir();
        controller.setOutputModule(2);
        controller.setOutputDir(dir);
        controller.setLoop(false);
        QSignalSpy hints(&controller, &PlaybackController::titleChanged);
        QSignalSpy lines(&controller, &PlaybackController::titleLinesChanged);
        QSignalSpy finished(&controller, &PlaybackController::songFinished);
        QFile::remove(dir + QStringLiteral("/Nadia - Rain.wav"));
        controller.opener()->handOver(path);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 15000);
        const QString name = QStringLiteral("Nadia - Rain");
        QCOMPARE(playlist.entry(0).name, name);
        QCOMPARE(hints.first().at(0).toString(), name);
        QCOMPARE(lines.first().at(0).toStringList().value(0), name);
        QCOMPARE(controller.songTitle(), name);
        const QString saved = dir + QStringLiteral("/stats.lst");
        QVERIFY(statistics.save(saved));
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).startsWith(name + QStringLiteral(",1,") + path));
        // The WAV output is named after the song.
        QVERIFY(QFileInfo(dir + QLatin1Char('/') + name + QStringLiteral(".wav")).size() > 44);
        // The reader gives the album too, for the desktop's media controls.
        QCOMPARE(ExtendedTags::read(path).album, QStringLiteral("Weather"));
    }
};

VORLAN_TEST_CLASS(TagNamesTest)
#include "TagNamesTest.moc"
