#include "player/Statistics.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace
{

QString listIn(const QString &dir)
{
    return dir + QStringLiteral("/Statistics.lst");
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QStringList column(const Statistics &s, int col)
{
    QStringList out;
    for (int r = 0; r < s.rowCount(); ++r)
        out << s.data(s.index(r, col)).toString();
    return out;
}

} // namespace

class StatisticsTest : public QObject
{
    Q_OBJECT
private slots:
    void firstPlayWritesOneLineAndSecondCountsTwo();
    void commasInNewNamesBecomeSemicolons();
    void pathsAreComparedExactly();
    void fieldsWithSeparatorsRoundTrip();
    void readerSplitsAndUnquotesFields();
    void countThatIsNotANumberStartsFromZero();
    void emptyListLeavesTheFileAndClearDeletesIt();
    void missingAndUnreadableFiles();
    void selectedEntriesGoToThePlaylistLastFirst();
    void sortingFollowsTheHeaderClicks();
    void modelShowsThreeColumns();
    void damagedFilesNeverCrash();
};

void StatisticsTest::firstPlayWritesOneLineAndSecondCountsTwo()
{
    const QString path = listIn(vorlantest::tempDir());
    Statistics s;
    QCOMPARE(s.countSong(QStringLiteral("/music/a.mp3"), QStringLiteral("Artist - Title")), 0);
    QVERIFY(s.save(path));
    QCOMPARE(bytesOf(path), QByteArray("Artist - Title,1,/music/a.mp3\r\n"));

    Statistics again;
    QVERIFY(again.load(path));
    QVERIFY(again.fileLoaded());
    QSignalSpy changed(&again, &QAbstractItemModel::dataChanged);
    QCOMPARE(again.countSong(QStringLiteral("/music/a.mp3"), QStringLiteral("Another Name")), 0);
    QCOMPARE(changed.size(), 1);
    QVERIFY(again.save(path));
    // The name of a counted song never changes.
    QCOMPARE(bytesOf(path), QByteArray("Artist - Title,2,/music/a.mp3\r\n"));
}

void StatisticsTest::commasInNewNamesBecomeSemicolons()
{
    const QString path = listIn(vorlantest::tempDir());
    Statistics s;
    s.countSong(QStringLiteral("/m/b.mp3"), QStringLiteral("Earth, Wind & Fire - September"));
    QCOMPARE(s.entries().at(0).songName, QStringLiteral("Earth; Wind & Fire - September"));
    QVERIFY(s.save(path));
    QCOMPARE(bytesOf(path), QByteArray("Earth; Wind & Fire - September,1,/m/b.mp3\r\n"));
}

void StatisticsTest::pathsAreComparedExactly()
{
    Statistics s;
    s.countSong(QStringLiteral("/music/a.mp3"), QStringLiteral("a"));
    s.countSong(QStringLiteral("/music//a.mp3"), QStringLiteral("a"));
    s.countSong(QStringLiteral("/Music/a.mp3"), QStringLiteral("a"));
    s.countSong(QStringLiteral("/music/a.mp3"), QStringLiteral("a"));
    QCOMPARE(s.rowCount(), 3);
    QCOMPARE(s.entries().at(0).count, 2);
    QCOMPARE(s.entries().at(1).count, 1);
    QCOMPARE(s.entries().at(2).count, 1);
}

void StatisticsTest::fieldsWithSeparatorsRoundTrip()
{
    const QString path = listIn(vorlantest::tempDir());
    Statistics s;
    const QString comma = QStringLiteral("/music/Crosby, Stills/Song.mp3");
    const QString quotes = QStringLiteral("/music/\"Live\"/x.mp3\"");
    const QString url = QStringLiteral("http://radio.example/stream?a=1,b=2");
    s.countSong(comma, QStringLiteral("Teach"));
    s.countSong(quotes, QStringLiteral("Say \"hi\""));
    s.countSong(url, QStringLiteral("Radio"));
    s.countSong(comma, QStringLiteral("Teach"));
    QVERIFY(s.save(path));

    Statistics back;
    QVERIFY(back.load(path));
    QCOMPARE(back.entries(), s.entries());
    QCOMPARE(back.entries().at(0).path, comma);
    QCOMPARE(back.entries().at(0).count, 2);
    QCOMPARE(back.entries().at(1).songName, QStringLiteral("Say \"hi\""));
    QCOMPARE(back.countSong(comma, QStringLiteral("x")), 0);
    // Plain lines stay plain.
    QVERIFY(bytesOf(path).endsWith("Radio,1,\"http://radio.example/stream?a=1,b=2\"\r\n"));
}

void StatisticsTest::readerSplitsAndUnquotesFields()
{
    QCOMPARE(Statistics::splitLine(QStringLiteral("a,1,/p")), (QStringList{"a", "1", "/p"}));
    QCOMPARE(Statistics::splitLine(QStringLiteral("\"a,b\",1,/p")), (QStringList{"a,b", "1", "/p"}));
    // The last field loses one leading and one trailing quote.
    QCOMPARE(Statistics::splitLine(QStringLiteral("a,1,\"C:\\x.mp3\"")),
             (QStringList{"a", "1", "C:\\x.mp3"}));
    QCOMPARE(Statistics::splitLine(QStringLiteral("a,1,C:\\x.mp3\"")), (QStringList{"a", "1", "C:\\x.mp3"}));
    QCOMPARE(Statistics::splitLine(QStringLiteral("a,1,")), (QStringList{"a", "1", ""}));
    QCOMPARE(Statistics::splitLine(QStringLiteral("only a name")), (QStringList{"only a name"}));
    QCOMPARE(Statistics::splitLine(QStringLiteral("\"never closed,1,/p")),
             (QStringList{"never closed,1,/p"}));
    QCOMPARE(Statistics::splitLine(QString()), (QStringList{""}));

    const QString path = listIn(vorlantest::tempDir());
    QVERIFY(TextFile::writeAtomically(path,
                                      "Song,3,/a.mp3,extra,more\r\n\r\n   \r\nName only\nS\xe9n,1,/b.mp3\r"));
    Statistics s;
    QVERIFY(s.load(path));
    QCOMPARE(s.rowCount(), 3);
    QCOMPARE(s.entries().at(0).extraFields, (QStringList{"extra", "more"}));
    QCOMPARE(s.entries().at(1).songName, QStringLiteral("Name only"));
    QCOMPARE(s.entries().at(1).count, 0);
    QVERIFY(s.entries().at(1).path.isEmpty());
    QCOMPARE(s.entries().at(2).songName, QStringLiteral("S\u00e9n"));
    // Extra fields are written back.
    QVERIFY(s.save(path));
    QVERIFY(bytesOf(path).startsWith("Song,3,/a.mp3,extra,more\r\n"));
}

void StatisticsTest::countThatIsNotANumberStartsFromZero()
{
    const QString path = listIn(vorlantest::tempDir());
    QVERIFY(TextFile::writeLines(path, {QStringLiteral("A,many,/a.mp3"), QStringLiteral("B,-4,/b.mp3"),
                                        QStringLiteral("C, 7 ,/c.mp3"),
                                        QStringLiteral("D,99999999999999,/d.mp3")}));
    Statistics s;
    QVERIFY(s.load(path));
    QCOMPARE(s.entries().at(0).count, 0);
    QCOMPARE(s.entries().at(1).count, 0);
    QCOMPARE(s.entries().at(2).count, 7);
    QCOMPARE(s.entries().at(3).count, INT_MAX);
    s.countSong(QStringLiteral("/a.mp3"), QStringLiteral("A"));
    s.countSong(QStringLiteral("/d.mp3"), QStringLiteral("D"));
    QCOMPARE(s.entries().at(0).count, 1);
    QCOMPARE(s.entries().at(3).count, INT_MAX);
    QVERIFY(s.save(path));
    QCOMPARE(TextFile::readLines(path).at(0), QStringLiteral("A,1,/a.mp3"));
}

void StatisticsTest::emptyListLeavesTheFileAndClearDeletesIt()
{
    const QString path = listIn(vorlantest::tempDir());
    const QByteArray before("A,1,/a.mp3\r\nB,2,/b.mp3\r\n");
    QVERIFY(TextFile::writeAtomically(path, before));
    Statistics s;
    QVERIFY(s.load(path));
    s.removeEntries({0, 1});
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(s.save(path));
    QCOMPARE(bytesOf(path), before);

    QVERIFY(s.load(path));
    QCOMPARE(s.rowCount(), 2);
    QVERIFY(s.clearStatistics(path));
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!QFile::exists(path));
    QVERIFY(s.clearStatistics(path));
}

void StatisticsTest::missingAndUnreadableFiles()
{
    const QString dir = vorlantest::tempDir();
    Statistics s;
    s.countSong(QStringLiteral("/x.mp3"), QStringLiteral("x"));
    QString message;
    QVERIFY(s.load(listIn(dir), &message));
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!s.fileLoaded());
    QVERIFY(message.isEmpty());

    // A folder where the file should be cannot be opened.
    QVERIFY(QDir(dir).mkdir(QStringLiteral("Statistics.lst")));
    s.countSong(QStringLiteral("/x.mp3"), QStringLiteral("x"));
    QVERIFY(!s.load(listIn(dir), &message));
    QCOMPARE(message, QStringLiteral("File cannot be opened"));
    QCOMPARE(s.rowCount(), 0);
    QVERIFY(!s.fileLoaded());
    // Saving over it fails without harm.
    s.countSong(QStringLiteral("/x.mp3"), QStringLiteral("x"));
    QVERIFY(!s.save(listIn(dir)));
    QVERIFY(QFileInfo(listIn(dir)).isDir());
}

void StatisticsTest::selectedEntriesGoToThePlaylistLastFirst()
{
    Statistics s;
    for (const char *p : {"/1.mp3", "/2.mp3", "/3.mp3", "/4.mp3"})
        s.countSong(QLatin1String(p), QLatin1String(p));
    QCOMPARE(s.pathsForPlaylist({0, 1, 2}), (QStringList{"/3.mp3", "/2.mp3", "/1.mp3"}));
    QCOMPARE(s.pathsForPlaylist({2, 0, 2, 9, -1}), (QStringList{"/3.mp3", "/1.mp3"}));
    s.removeEntries({3, 1, 1, 17});
    QCOMPARE(column(s, Statistics::PathColumn), (QStringList{"/1.mp3", "/3.mp3"}));
}

void StatisticsTest::sortingFollowsTheHeaderClicks()
{
    Statistics s;
    s.setEntries({{QStringLiteral("beta"), 10, QStringLiteral("/b"), {}},
                  {QStringLiteral("Alpha"), 9, QStringLiteral("/a"), {}},
                  {QStringLiteral("gamma"), 100, QStringLiteral("/c"), {}}});
    QCOMPARE(s.sortColumn(), -1);
    s.headerClicked(Statistics::NumberColumn);
    QCOMPARE(s.sortOrder(), Qt::AscendingOrder);
    QCOMPARE(column(s, Statistics::NumberColumn), (QStringList{"9", "10", "100"}));
    s.headerClicked(Statistics::NumberColumn);
    QCOMPARE(s.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(column(s, Statistics::NumberColumn), (QStringList{"100", "10", "9"}));
    // Another column keeps the direction.
    s.headerClicked(Statistics::SongNameColumn);
    QCOMPARE(s.sortColumn(), int(Statistics::SongNameColumn));
    QCOMPARE(s.sortOrder(), Qt::DescendingOrder);
    QCOMPARE(column(s, Statistics::SongNameColumn), (QStringList{"gamma", "beta", "Alpha"}));
    s.headerClicked(Statistics::SongNameColumn);
    QCOMPARE(column(s, Statistics::SongNameColumn), (QStringList{"Alpha", "beta", "gamma"}));

    // A selection follows its row through a sort.
    const QPersistentModelIndex alpha = s.index(0, Statistics::PathColumn);
    s.headerClicked(Statistics::PathColumn);
    QCOMPARE(s.sortOrder(), Qt::AscendingOrder);
    s.headerClicked(Statistics::PathColumn);
    QCOMPARE(alpha.row(), 2);
    QCOMPARE(alpha.data().toString(), QStringLiteral("/a"));
    QCOMPARE(s.index(0, Statistics::PathColumn).data().toString(), QStringLiteral("/c"));
}

void StatisticsTest::modelShowsThreeColumns()
{
    Statistics s;
    QCOMPARE(s.columnCount(), 3);
    QCOMPARE(s.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Song Name"));
    QCOMPARE(s.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Number"));
    QCOMPARE(s.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Path"));
    QSignalSpy inserted(&s, &QAbstractItemModel::rowsInserted);
    s.countSong(QStringLiteral("http://radio/x"), QStringLiteral("Radio"));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(s.data(s.index(0, 1)).toString(), QStringLiteral("1"));
    QCOMPARE(s.data(s.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(Statistics::isLink(s.data(s.index(0, 2)).toString()));
    QVERIFY(Statistics::isLink(QStringLiteral("mailto:me@example.org")));
    QVERIFY(!Statistics::isLink(QStringLiteral("/music/a.mp3")));
}

void StatisticsTest::damagedFilesNeverCrash()
{
    const QString path = listIn(vorlantest::tempDir());
    QRandomGenerator rng(7);
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes(int(rng.bounded(8192)), Qt::Uninitialized);
        for (char &c : bytes)
            c = "a,\"\r\n1\xff\0"[rng.bounded(8)];
        QVERIFY(TextFile::writeAtomically(path, bytes));
        Statistics s;
        // A file where no line is a count was not read at all; it is left out, and left alone.
        if (!s.load(path)) {
            QCOMPARE(s.rowCount(), 0);
            continue;
        }
        for (const StatisticsEntry &e : s.entries())
            QVERIFY(e.count >= 0);
        // Whatever was read writes and reads back the same.
        const QString copy = path + QStringLiteral(".copy");
        QVERIFY(s.save(copy));
        Statistics back;
        QVERIFY(back.load(copy));
        if (!s.entries().isEmpty()) {
            QCOMPARE(back.rowCount(), s.rowCount());
            for (int i = 0; i < s.rowCount(); ++i) {
                QCOMPARE(back.entries()[i].path, s.entries()[i].path);
                QCOMPARE(back.entries()[i].count, s.entries()[i].count);
            }
        }
        QFile::remove(copy);
    }
    QVERIFY(TextFile::writeAtomically(path, QByteArray("\"") + QByteArray(4'000'000, ',')));
    Statistics huge;
    QVERIFY(!huge.load(path));
    QCOMPARE(huge.rowCount(), 0);
    QVERIFY(TextFile::writeAtomically(path, QByteArray("A,1,/a.mp3") + QByteArray(2'000'000, ',')));
    QVERIFY(huge.load(path));
    QCOMPARE(huge.entries().at(0).extraFields.size(), 2'000'000);
    QVERIFY(TextFile::writeAtomically(path, "A,1,/a.mp3\r\nB,2,/b.m"));
    QVERIFY(huge.load(path));
    QCOMPARE(huge.rowCount(), 2);
    QCOMPARE(huge.entries().at(1).path, QStringLiteral("/b.m"));
}

VORLAN_TEST_CLASS(StatisticsTest)
#include "StatisticsTest.moc"
