// The tags and stream facts of FLAC, Ogg Vorbis, Opus, MP4, WAV, AIFF and WavPack files through TagLib, and
// tag writes that never touch the audio and never leave a half-written file.
#include "tags/FileTags.h"
#include "tests/TestMain.h"
#include "tests/tags/OtherFormatFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using FileTags::Kind;

namespace
{

const QStringList Tagged{QStringLiteral("title=Été"),     QStringLiteral("artist=Кино"),
                         QStringLiteral("album=Weather"), QStringLiteral("date=2001"),
                         QStringLiteral("comment=Quiet"), QStringLiteral("genre=Rock")};

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class FileTagsTest : public QObject
{
    Q_OBJECT

    static void everyKind()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("rate");
        const QStringList n = otherformats::names();
        QTest::newRow("flac") << n[0] << int(Kind::Flac) << "FLAC" << 44100;
        QTest::newRow("vorbis") << n[1] << int(Kind::OggVorbis) << "Vorbis" << 44100;
        QTest::newRow("opus") << n[2] << int(Kind::OggOpus) << "Opus" << 48000;
        QTest::newRow("aac") << n[3] << int(Kind::Mp4) << "AAC" << 44100;
        QTest::newRow("wav") << n[4] << int(Kind::Wav) << "PCM" << 44100;
        QTest::newRow("aiff") << n[5] << int(Kind::Aiff) << "PCM" << 44100;
        QTest::newRow("wavpack") << n[6] << int(Kind::WavPack) << "WavPack" << 44100;
    }

private slots:
    void init()
    {
        if (!otherformats::haveFfmpeg())
            QSKIP("ffmpeg makes the songs (scripts/install-deps.sh)");
    }

    void everyKindGivesItsTagsAndStream_data() { everyKind(); }
    void everyKindGivesItsTagsAndStream()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, codec);
        QFETCH(int, rate);
        const QString path = vorlantest::tempDir() + QLatin1Char('/') + name;
        QVERIFY(otherformats::make(path, Tagged));
        const FileTags::Info info = FileTags::read(path, true);
        QCOMPARE(int(info.kind), kind);
        QCOMPARE(info.fields.title, QStringLiteral("Été"));
        QCOMPARE(info.fields.artist, QStringLiteral("Кино"));
        QCOMPARE(info.fields.album, QStringLiteral("Weather"));
        QCOMPARE(info.fields.year, QStringLiteral("2001"));
        QCOMPARE(info.fields.genre, QStringLiteral("Rock"));
        QCOMPARE(info.codec, codec);
        QCOMPARE(info.sampleRate, rate);
        QCOMPARE(info.channels, 2);
        QVERIFY2(qAbs(info.lengthMs - 500) <= 40, qPrintable(QString::number(info.lengthMs)));
        QVERIFY(info.bitRate > 0);
        // Without the stream facts only the tags are read.
        const FileTags::Info tagsOnly = FileTags::read(path, false);
        QCOMPARE(tagsOnly.fields.artist, info.fields.artist);
        QCOMPARE(tagsOnly.sampleRate, 0);
        // The kind comes from the bytes, not the name.
        const QString renamed = path + QStringLiteral(".mp3");
        QVERIFY(QFile::copy(path, renamed));
        QCOMPARE(FileTags::read(renamed, false).fields.title, info.fields.title);
    }

    void aWriteChangesTheTagsAndNeverTheSamples_data() { everyKind(); }
    void aWriteChangesTheTagsAndNeverTheSamples()
    {
        QFETCH(QString, name);
        const QString dir =
            vorlantest::tempDir() + QStringLiteral("/write-") + QLatin1String(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QLatin1Char('/') + name;
        QVERIFY(otherformats::make(path, {QStringLiteral("title=Old"), QStringLiteral("comment=Old note")}));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        const QByteArray before = otherformats::decode(path);
        QVERIFY(!before.isEmpty());

        FileTags::Fields f;
        f.title = QStringLiteral("Звезда");
        f.artist = QStringLiteral("Nadia");
        f.album = QStringLiteral("Weather");
        f.year = QStringLiteral("1999");
        f.comment = QStringLiteral("New note");
        f.genre = QStringLiteral("Ambient Dub");
        QString error;
        QVERIFY2(FileTags::write(path, f, &error), qPrintable(error));
        QCOMPARE(otherformats::decode(path), before);
        const FileTags::Fields back = FileTags::read(path, false).fields;
        QCOMPARE(back.title, f.title);
        QCOMPARE(back.artist, f.artist);
        QCOMPARE(back.album, f.album);
        QCOMPARE(back.year, f.year);
        QCOMPARE(back.comment, f.comment);
        QCOMPARE(back.genre, f.genre);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
        // The copy the tags went into replaced the file: nothing else is left in the folder.
        QCOMPARE(entries(dir), QStringList{name});

        // Empty fields take the names away.
        QVERIFY(FileTags::write(path, FileTags::Fields(), &error));
        QCOMPARE(otherformats::decode(path), before);
        const FileTags::Fields cleared = FileTags::read(path, false).fields;
        QVERIFY(cleared.title.isEmpty() && cleared.artist.isEmpty() && cleared.comment.isEmpty());
    }

    void aLinkStaysALinkAndOtherFilesAreLeftAlone()
    {
        const QString dir = vorlantest::tempDir() + QStringLiteral("/links");
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/music")));
        const QString song = dir + QStringLiteral("/music/song.flac");
        const QString link = dir + QStringLiteral("/link.flac");
        QVERIFY(otherformats::make(song, {}));
        QVERIFY(QFile::link(song, link));
        FileTags::Fields f;
        f.title = QStringLiteral("Through the link");
        QVERIFY(FileTags::write(link, f));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(FileTags::read(song, false).fields.title, f.title);

        // Not one of these formats, a damaged FLAC, a folder, nothing: refused, the bytes as they were.
        const QString mp3 = dir + QStringLiteral("/x.mp3");
        QVERIFY(QFile::copy(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3.mp3"), mp3));
        QFile in(song);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QString damaged = dir + QStringLiteral("/damaged.flac");
        QFile out(damaged);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(in.read(60));
        out.close();
        for (const QString &path : {mp3, damaged}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            file.close();
            QString error;
            QVERIFY(!FileTags::write(path, f, &error));
            QVERIFY(!error.isEmpty());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes);
            if (path == mp3)
                QCOMPARE(FileTags::read(path, true).kind, Kind::None);
        }
        QVERIFY(!FileTags::write(dir, f));
        QVERIFY(!FileTags::write(dir + QStringLiteral("/none.flac"), f));
        QCOMPARE(entries(dir), (QStringList{"damaged.flac", "link.flac", "music", "x.mp3"}));
    }
};

VORLAN_TEST_CLASS(FileTagsTest)
#include "FileTagsTest.moc"
