#include "playlist/PlaylistFiles.h"
#include "platform/FileName.h"
#include "platform/TextFile.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/playlist/MpegTestFiles.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <cstdio>

using namespace PlaylistFiles;
using playlisttest::readBytes;
using playlisttest::writeBytes;
using playlisttest::writeMpeg;

namespace
{

QStringList paths(const PlaylistModel &model)
{
    QStringList out;
    for (int i = 0; i < model.count(); ++i)
        out << model.entryPath(i);
    return out;
}

// Every entry names an existing file or is a stream URL, and the entries are numbered 1..n.
bool sane(const PlaylistModel &model)
{
    for (int i = 0; i < model.count(); ++i) {
        const QString p = model.entryPath(i);
        if (!QFileInfo(p).isFile() && !PlaylistModel::IsStreamUrl(p))
            return false;
        if (model.entry(i).numberText() != QString::number(i + 1))
            return false;
    }
    return true;
}

} // namespace

class PlaylistFilesTest : public QObject
{
    Q_OBJECT

    QString root;  // stands for the drive: root/Songs is C:\Songs
    QString songs; // root/Songs/

private slots:
    void initTestCase()
    {
        root = vorlantest::tempDir();
        songs = root + "/Songs/";
        QVERIFY(writeMpeg(songs + "a.mp3", 10));
        QVERIFY(writeMpeg(songs + "Live/b.mp3", 20));
        QVERIFY(writeMpeg(root + "/Songsters/c.mp3", 30));
        QVERIFY(writeMpeg(root + "/d.mp3", 40));
    }

    void formatChoice()
    {
        QCOMPARE(formatByExtension("/x/list.m3u"), Format::M3U);
        QCOMPARE(formatByExtension("List.Pls"), Format::PLS);
        QCOMPARE(formatByExtension("/x/Vorlan.vln"), Format::VLN);
        QCOMPARE(formatByExtension("page.HTML"), Format::HTML);
        QCOMPARE(formatByExtension("page.htm"), Format::HTML);
        QCOMPARE(formatByExtension("list.m3u.bak"), Format::None);
        QCOMPARE(formatByExtension("/x.m3u/list"), Format::None);
        QCOMPARE(formatByExtension("m3u"), Format::None);
        QCOMPARE(formatByLastThree("/x/list.M3U"), Format::M3U);
        QCOMPARE(formatByLastThree("listpls"), Format::PLS);
        QCOMPARE(formatByLastThree("a.vln"), Format::VLN);
        QCOMPARE(formatByLastThree("a.html"), Format::None);
        QCOMPARE(listDirectory("/a/b/c.m3u"), QString("/a/b/"));
        QCOMPARE(listDirectory("/c.m3u"), QString("/"));
    }

    void m3uRelativeRoundTrip()
    {
        PlaylistModel model;
        const QStringList entries{songs + "a.mp3", songs + "Live/b.mp3", root + "/Songsters/c.mp3",
                                  root + "/d.mp3", "http://radio.example/live"};
        model.addFiles(entries);
        const QString list = songs + "list.m3u";
        QVERIFY(writeM3U(model, list));
        QCOMPARE(readBytes(list), ("a.mp3\r\nLive/b.mp3\r\n" + root + "/Songsters/c.mp3\r\n" + root +
                                   "/d.mp3\r\nhttp://radio.example/live\r\n")
                                      .toUtf8());

        PlaylistModel back;
        QVERIFY(readM3U(back, list));
        QCOMPARE(paths(back), entries);
        QCOMPARE(PlaylistFiles::vlnLines(back), PlaylistFiles::vlnLines(model));
    }

    void m3uInRootWritesRootRelativePaths()
    {
        QCOMPARE(m3uLines({"/music/a.mp3", "http://x/y"}, "/"), QStringList({"music/a.mp3", "http://x/y"}));
        // Read back in the root: D + line names the file.
        const QString relative = (songs + "a.mp3").mid(1);
        QCOMPARE(resolveListLine("/", relative), "/" + relative);
    }

    void plsLines()
    {
        PlaylistModel model;
        model.addFiles({songs + "a.mp3", songs + "Live/b.mp3", root + "/d.mp3"});
        const QString list = root + "/three.pls";
        QVERIFY(writePLS(model, list));
        QCOMPARE(readBytes(list), ("[playlist]\r\nfile1=" + songs + "a.mp3\r\nfile2=" + songs +
                                   "Live/b.mp3\r\nfile3=" + root + "/d.mp3\r\nNumberOfEntries=3\r\n")
                                      .toUtf8());
        PlaylistModel back;
        QVERIFY(readPLS(back, list));
        QCOMPARE(paths(back), paths(model));

        PlaylistModel empty;
        QVERIFY(writePLS(empty, root + "/empty.pls"));
        QCOMPARE(readBytes(root + "/empty.pls"), QByteArray("[playlist]\r\nNumberOfEntries=0\r\n"));
    }

    void plsReadingRules()
    {
        const QString list = songs + "odd.pls";
        QVERIFY(writeBytes(list, ("file1=" + songs +
                                  "a.mp3\n"             // first line: always skipped
                                  "Title1=Live/b.mp3\n" // keys are not interpreted
                                  "NumberOfEntries=3\n" // names nothing
                                  "Live/b.mp3\n"        // no "=": the whole line
                                  "File9=" +
                                  root +
                                  "/d.mp3\n" // any key
                                  "Version=2\n")
                                     .toUtf8()));
        PlaylistModel model;
        QVERIFY(readPLS(model, list));
        QCOMPARE(paths(model), QStringList({songs + "Live/b.mp3", songs + "Live/b.mp3", root + "/d.mp3"}));
    }

    void hugeListsAndLinesAreReadWithinBounds()
    {
        // A line longer than any path names nothing; the lines around it still count.
        const QString list = songs + "long.m3u";
        QVERIFY(writeBytes(list, "a.mp3\r\n" + QByteArray(100000, 'x') + "\r\nLive/b.mp3\r\n"));
        PlaylistModel model;
        QVERIFY(readM3U(model, list));
        QCOMPARE(paths(model), QStringList({songs + "a.mp3", songs + "Live/b.mp3"}));
        // Beyond 64 MiB it is no list: nothing of it is read (a sparse file: no disk is used).
        const QString huge = songs + "huge.pls";
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[playlist]\r\nFile1=a.mp3\r\n");
        QVERIFY(file.resize(qint64(65) << 20));
        file.close();
        QVERIFY(readPLS(model, huge));
        QCOMPARE(model.count(), 0);
        QFile::remove(huge);
    }

    void extendedM3uCommentsDropped()
    {
        const QString list = songs + "ext.m3u";
        QVERIFY(
            writeBytes(list, "#EXTM3U\r\n#EXTINF:10,Someone - A\r\na.mp3\r\n#EXTINF:20,B\r\nLive/b.mp3\r\n"));
        PlaylistModel model;
        QVERIFY(readM3U(model, list));
        QCOMPARE(paths(model), QStringList({songs + "a.mp3", songs + "Live/b.mp3"}));
    }

    void windowsStyleLines()
    {
        QString drivePath = "C:" + root + "/Songsters/c.mp3";
        drivePath.replace('/', '\\');
        const QString list = songs + "win.m3u";
        QVERIFY(writeBytes(list, ("Live\\b.mp3\r\n" + drivePath + "\r\nC:\\Nowhere\\x.mp3\r\n").toUtf8()));
        PlaylistModel model;
        QVERIFY(readM3U(model, list));
        QCOMPARE(paths(model), QStringList({songs + "Live/b.mp3", root + "/Songsters/c.mp3"}));

        const QString pls = songs + "win.pls";
        QVERIFY(writeBytes(pls, ("[playlist]\r\nFile1=Live\\b.mp3\r\nFile2=" + drivePath + "\r\n").toUtf8()));
        QVERIFY(readPLS(model, pls));
        QCOMPARE(paths(model), QStringList({songs + "Live/b.mp3", root + "/Songsters/c.mp3"}));

        // The own list keeps its numbers, names and times, and a line naming nothing stays as written.
        const QString vln = songs + "win.vln";
        QVERIFY(writeBytes(vln, ("1\tB\t01:02\tLive\\b.mp3\r\n2\tC\t00:03\t" + drivePath +
                                 "\r\n3\tX\t00:04\tC:\\Nowhere\\x.mp3\r\n")
                                    .toUtf8()));
        QVERIFY(readVLN(model, vln));
        QCOMPARE(PlaylistFiles::vlnLines(model), QStringList({"1\tB\t01:02\t" + songs + "Live/b.mp3",
                                                              "2\tC\t00:03\t" + root + "/Songsters/c.mp3",
                                                              "3\tX\t00:04\tC:\\Nowhere\\x.mp3"}));
        QVERIFY(PlaylistModel::IsAudioFile(model.entryPath(0)));
        QVERIFY(PlaylistModel::IsAudioFile(model.entryPath(1)));
    }

    void stateAfterReading()
    {
        PlaylistModel model;
        QSignalSpy loaded(&model, &PlaylistModel::listLoaded);
        QSignalSpy counts(&model, &PlaylistModel::countChanged);
        model.setCurrentIndex(3);
        model.setPlayedCount(5);

        // All entries missing: an empty list, the count at 0, the player state untouched.
        const QString missing = songs + "missing.m3u";
        QVERIFY(writeBytes(missing, "gone1.mp3\r\n/gone/2.mp3\r\n"));
        model.PlaylistAddFile(songs + "a.mp3");
        QVERIFY(readM3U(model, missing));
        QCOMPARE(model.count(), 0);
        QCOMPARE(counts.last().at(0).toInt(), 0);
        QCOMPARE(model.CurrentIndex(), 3);
        QCOMPARE(model.PlayedCount(), 5);
        QCOMPARE(loaded.count(), 0);

        // One path taken.
        const QString one = songs + "one.m3u";
        QVERIFY(writeBytes(one, "a.mp3\r\n"));
        QVERIFY(readByExtension(model, one));
        QCOMPARE(model.count(), 1);
        QCOMPARE(model.CurrentIndex(), -1);
        QCOMPARE(model.PlayedCount(), 0);
        QCOMPARE(loaded.count(), 1);

        // An own list, even an empty one.
        model.setCurrentIndex(0);
        QVERIFY(writeBytes(songs + "empty.vln", QByteArray()));
        QVERIFY(readVLN(model, songs + "empty.vln"));
        QCOMPARE(model.count(), 0);
        QCOMPARE(model.CurrentIndex(), -1);
        QCOMPARE(loaded.count(), 2);
    }

    void missingListLeavesListUnchanged()
    {
        PlaylistModel model;
        model.PlaylistAddFile(songs + "a.mp3");
        QVERIFY(!readM3U(model, songs + "nothere.m3u"));
        QVERIFY(!readPLS(model, songs + "nothere.pls"));
        QVERIFY(!readVLN(model, songs + "nothere.vln"));
        QVERIFY(!readByExtension(model, songs + "Live"));  // a folder
        QVERIFY(!readByExtension(model, songs + "a.mp3")); // not a list
        QCOMPARE(model.count(), 1);
    }

    void droppedFiles()
    {
        QVERIFY(writeBytes(songs + "drop.m3u", "Live/b.mp3\r\n"));
        QVERIFY(writeBytes(songs + "notes.txt", "x"));
        PlaylistModel model;
        // Audio files only, in the order dropped.
        QVERIFY(!dropFiles(model, {songs + "a.mp3", songs + "notes.txt", root + "/d.mp3"}));
        QCOMPARE(paths(model), QStringList({songs + "a.mp3", root + "/d.mp3"}));
        // A list dropped last replaces everything, the audio files of the same drop too.
        QVERIFY(dropFiles(model, {songs + "a.mp3", songs + "drop.m3u"}));
        QCOMPARE(paths(model), QStringList({songs + "Live/b.mp3"}));
        // A list that is not last is ignored.
        QVERIFY(!dropFiles(model, {songs + "drop.m3u", songs + "a.mp3"}));
        QCOMPARE(paths(model), QStringList({songs + "Live/b.mp3", songs + "a.mp3"}));
    }

    void ownListVerbatim()
    {
        const QString list = root + "/own.vln";
        QVERIFY(writeBytes(
            list, ("7\tStale Name\t09:99\t" + songs + "a.mp3\r\n" + songs + "Live/b.mp3\n" + "/gone/x.mp3\r")
                      .toUtf8()));
        PlaylistModel model;
        QVERIFY(readVLN(model, list));
        QCOMPARE(PlaylistFiles::vlnLines(model), QStringList({"7\tStale Name\t09:99\t" + songs + "a.mp3",
                                                              songs + "Live/b.mp3", "/gone/x.mp3"}));
        QCOMPARE(model.data(model.index(0, PlaylistModel::NameColumn)).toString(), QString("Stale Name"));
        QCOMPARE(model.entryPath(1), songs + "Live/b.mp3");

        const QString out = root + "/out.vln";
        QVERIFY(writeVLN(model, out));
        QCOMPARE(readBytes(out),
                 ("7\tStale Name\t09:99\t" + songs + "a.mp3\r\n" + songs + "Live/b.mp3\r\n/gone/x.mp3\r\n")
                     .toUtf8());
        model.clear();
        QVERIFY(writeVLN(model, out));
        QVERIFY(QFileInfo::exists(out));
        QCOMPARE(QFileInfo(out).size(), 0);
    }

    void ownListLinesOfEveryShape()
    {
        // Lines written by hand or damaged: each is shown as its fields say, and saved as the player saves
        // such lines, until it is numbered anew.
        const QString list = root + "/shapes.vln";
        QVERIFY(writeBytes(list, "007\tPadded\t01:00\t/gone/a.mp3\r\n\tNo Number\t\t/gone/b.mp3\r\n"
                                 "x\t/gone/c.mp3\r\n9\tName\t/gone/d.mp3\r\n/gone/e.mp3\r\n"
                                 "4\tTab\t00:01\t/gone/f\tg.mp3\r\n"));
        PlaylistModel model;
        QVERIFY(readVLN(model, list));
        QCOMPARE(model.count(), 6);
        const auto cell = [&model](int row, int column) {
            return model.data(model.index(row, column)).toString();
        };
        const QList<QStringList> shown = {
            {"007", "Padded", "01:00", "/gone/a.mp3"}, {"", "No Number", "", "/gone/b.mp3"},
            {"x", "/gone/c.mp3", "", "/gone/c.mp3"},   {"9", "Name", "/gone/d.mp3", "/gone/d.mp3"},
            {"", "/gone/e.mp3", "", "/gone/e.mp3"},    {"4", "Tab", "00:01", "/gone/f\tg.mp3"}};
        for (int row = 0; row < shown.size(); ++row)
            for (int column = 0; column < PlaylistModel::ColumnCount; ++column)
                QCOMPARE(cell(row, column), shown[row][column]);

        const QString out = root + "/shapes-out.vln";
        QVERIFY(writeVLN(model, out));
        QCOMPARE(readBytes(out),
                 QByteArray("007\tPadded\t01:00\t/gone/a.mp3\r\n2\tNo Number\t\t/gone/b.mp3\r\n"
                            "/gone/c.mp3\r\n/gone/d.mp3\r\n/gone/e.mp3\r\n"
                            "4\tTab\t00:01\t/gone/f\tg.mp3\r\n"));
        // Numbered anew, each keeps its fields after the number.
        model.removeEntries(0, 0);
        QCOMPARE(vlnLines(model),
                 QStringList({"1\tNo Number\t\t/gone/b.mp3", "2\t/gone/c.mp3", "3\tName\t/gone/d.mp3",
                              "4\t/gone/e.mp3", "5\tTab\t00:01\t/gone/f\tg.mp3"}));
        QCOMPARE(cell(3, PlaylistModel::NumberColumn), QString("4"));
        QCOMPARE(cell(3, PlaylistModel::NameColumn), QString("/gone/e.mp3"));
        QFile::remove(list);
        QFile::remove(out);
    }

    void latin1ListLine()
    {
        QVERIFY(writeMpeg(songs + "caf\u00e9.mp3", 5));
        QVERIFY(writeBytes(songs + "latin1.m3u", "caf\xe9.mp3\r\n"));
        PlaylistModel model;
        QVERIFY(readM3U(model, songs + "latin1.m3u"));
        QCOMPARE(paths(model), QStringList({songs + "caf\u00e9.mp3"}));

        // A name that is Latin-1 on disk is written back by its own bytes in every list format, and read
        // back from each to the same file.
        const QByteArray native = QFile::encodeName(songs) + "old\xe9.mp3";
        QVERIFY(writeMpeg(songs + "tmp.mp3", 5));
        QCOMPARE(::rename(QFile::encodeName(songs + "tmp.mp3").constData(), native.constData()), 0);
        const QString shown = songs + QString::fromLatin1("old\xe9.mp3");
        model.clear();
        model.PlaylistAddFile(shown);
        const auto bytesOf = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QVERIFY(writeM3U(model, songs + "out.m3u"));
        QCOMPARE(bytesOf(songs + "out.m3u"), QByteArray("old\xe9.mp3\r\n"));
        QVERIFY(writePLS(model, songs + "out.pls"));
        QVERIFY(bytesOf(songs + "out.pls").contains("file1=" + native + "\r\n"));
        QVERIFY(writeVLN(model, songs + "out.vln"));
        QVERIFY(bytesOf(songs + "out.vln").endsWith("\t" + native + "\r\n"));
        for (const char *list : {"out.m3u", "out.pls", "out.vln"}) {
            PlaylistModel again;
            QVERIFY(readByExtension(again, songs + list));
            QCOMPARE(paths(again), QStringList({shown}));
        }
    }

    void unwritableListReportsFailure()
    {
        PlaylistModel model;
        model.PlaylistAddFile(songs + "a.mp3");
        QVERIFY(!writeM3U(model, root + "/no/such/folder/x.m3u"));
        QVERIFY(!writePLS(model, root + "/no/such/folder/x.pls"));
        QVERIFY(!writeVLN(model, root + "/no/such/folder/x.vln"));
        QVERIFY(!QFileInfo::exists(root + "/no"));
    }

    void pathWithLineBreakIsLeftOut()
    {
        QCOMPARE(m3uLines({"/a\nb.mp3", "/c.mp3"}, "/x/"), QStringList({"/c.mp3"}));
        QCOMPARE(PlaylistFiles::plsLines({"/a\rb.mp3", "/c.mp3"}),
                 QStringList({"[playlist]", "file1=/c.mp3", "NumberOfEntries=1"}));
    }

    void xspfRoundTripsAndReadsOtherPlayersLists()
    {
        // Written: each entry's location as a file: URI of its bytes, a stream as it is, names and times.
        const QString dir = vorlantest::tempDir();
        const QByteArray latin1 = QFile::encodeName(dir) + "/caf\xE9.mp3";
        QVERIFY(writeMpeg(dir + "/tmp.mp3", 3));
        QCOMPARE(::rename(QFile::encodeName(dir + "/tmp.mp3").constData(), latin1.constData()), 0);
        const QString latinName = FileName::decode(latin1);
        PlaylistModel model;
        model.addFiles({songs + "a.mp3", latinName, QStringLiteral("http://radio.example/live?x=1&y=2"),
                        songs + "Live/b.mp3"});
        const QString list = dir + "/mine.xspf";
        QVERIFY(writeXSPF(model, list));
        const QByteArray xml = [&] {
            QFile f(list);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(xml.contains("<location>file://" + QFile::encodeName(songs + "a.mp3").toPercentEncoding("/") +
                             "</location>"));
        QVERIFY2(xml.contains("caf%E9.mp3</location>"), xml.constData());
        QVERIFY(xml.contains("<location>http://radio.example/live?x=1&amp;y=2</location>"));
        QVERIFY(xml.contains("<duration>"));
        PlaylistModel back;
        QVERIFY(readByExtension(back, list));
        QCOMPARE(back.count(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(back.entryPath(i), model.entryPath(i));

        // Another player's list: UTF-8 file URIs, a location relative to the list, a track without one,
        // elements of their own, a missing file.
        const QString theirs = songs + "theirs.xspf";
        QVERIFY(writeBytes(theirs,
                           "<?xml version=\"1.0\"?>\n<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
                           "<title>Mix</title><trackList>"
                           "<track><location>Live/b.mp3</location><title>B</title></track>"
                           "<track><title>no location</title></track>"
                           "<track><extension application=\"x\"><location>file:///nowhere.mp3</location>"
                           "</extension><location>file://" +
                               QFile::encodeName(root + "/d.mp3").toPercentEncoding("/") +
                               "</location></track>"
                               "<track><location>file:///gone/away.mp3</location></track>"
                               "</trackList></playlist>"));
        PlaylistModel other;
        QVERIFY(readXSPF(other, theirs));
        QCOMPARE(other.count(), 2);
        QCOMPARE(other.entryPath(0), songs + "Live/b.mp3");
        QCOMPARE(other.entryPath(1), root + "/d.mp3");

        // Damaged: what came before the damage; junk and a list of nothing give an empty list, never a crash.
        QVERIFY(writeBytes(theirs,
                           "<playlist><trackList><track><location>Live/b.mp3</location></track><track>"
                           "<location>a.mp3</loc"));
        QVERIFY(readXSPF(other, theirs));
        QCOMPARE(other.count(), 1);
        for (const QByteArray &junk :
             {QByteArray("\x00\x01<<>>&&;"), QByteArray(), QByteArray(100000, '<'),
              QByteArray("<!DOCTYPE a [<!ENTITY b \"bbbbbbbbbb\"><!ENTITY c \"&b;&b;&b;&b;\">]>"
                         "<playlist><trackList><track><location>&c;&c;&c;</location>"
                         "</track></trackList></playlist>")}) {
            QVERIFY(writeBytes(theirs, junk));
            QVERIFY(readXSPF(other, theirs));
            QVERIFY(other.count() <= 1);
        }
    }

    void xspfWithEscapedNamesExchangesWithOtherPlayers()
    {
        // Names that need escaping, in a folder that does too, as another player writes them: absolute file
        // URIs with "&" and "(...)!'" left bare, "%", "#", "?" and non-ASCII percent-escaped (one name in
        // Latin-1 bytes), elements of its own in each track, and a stream with a query and a fragment.
        const QString dir = vorlantest::tempDir() + "/Sub dir#2/";
        const QStringList names = {"café é.mp3",    "rock & roll.mp3", "track #1.mp3",
                                   "100% pure.mp3", "what?.mp3",       "(live) it's!.mp3"};
        const playlisttest::Tag tag{"Pure 100%", "Cent & Co"};
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(writeMpeg(dir + names[i], i + 2, i == 3 ? &tag : nullptr));
        const QByteArray latin1 = QFile::encodeName(dir) + "caf\xE9.mp3";
        QVERIFY(writeMpeg(FileName::decode(latin1), 9));
        const QByteArray base = "file://" + QFile::encodeName(dir).toPercentEncoding("/");
        const QString stream = QStringLiteral("http://radio.example.com:8000/live?x=1&y=2#a");
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n  <title>Mix</title>\n"
                         "  <trackList>\n";
        for (const QByteArray &name :
             {QByteArray("caf%C3%A9%20%C3%A9.mp3"), QByteArray("rock%20&amp;%20roll.mp3"),
              QByteArray("track%20%231.mp3"), QByteArray("100%25%20pure.mp3"), QByteArray("what%3F.mp3"),
              QByteArray("(live)%20it's!.mp3"), QByteArray("caf%E9.mp3")})
            xml += "    <track>\n      <location>" + base + name +
                   "</location>\n      <title>x</title>\n"
                   "      <duration>1000</duration>\n      <meta rel=\"http://example.org/kbps\">128</meta>\n"
                   "    </track>\n";
        xml += "    <track>\n      <location>http://radio.example.com:8000/live?x=1&amp;y=2#a</location>\n"
               "    </track>\n  </trackList>\n</playlist>\n";
        const QString theirs = dir + "theirs.xspf";
        QVERIFY(writeBytes(theirs, xml));
        PlaylistModel model;
        QVERIFY(readXSPF(model, theirs));
        QStringList expected;
        for (const QString &name : names)
            expected << dir + name;
        expected << FileName::decode(latin1) << stream;
        QCOMPARE(paths(model), expected);
        // Names and times are the files' own, not the list's.
        QCOMPARE(model.entry(1).name, QString("rock & roll"));
        QCOMPARE(model.entry(1).time, QString("00:03"));
        QCOMPARE(model.entry(3).name, QString("Cent & Co - Pure 100%"));
        QCOMPARE(model.entry(6).time, QString("00:09"));

        // Written back: the same entries; the stream, named only by its URL, has no title, so the other
        // player names it as it would its own.
        const QString mine = dir + "mine.xspf";
        QVERIFY(writeXSPF(model, mine));
        const QByteArray written = readBytes(mine);
        QVERIFY(written.contains("<title>Pure 100%</title>"));
        QVERIFY(written.contains("<creator>Cent &amp; Co</creator>"));
        QVERIFY2(!written.contains("<title>http"), written.constData());
        PlaylistModel back;
        QVERIFY(readXSPF(back, mine));
        QCOMPARE(paths(back), expected);
    }

    // --- damaged input ---

    void randomBytes()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(writeMpeg(dir + "/real.mp3", 3));
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 60; ++round) {
            QByteArray bytes(int(rng.bounded(1, 20000)), Qt::Uninitialized);
            for (char &b : bytes)
                b = char(rng.bounded(256));
            if (round % 3 == 0) // some real lines among the noise
                bytes.insert(rng.bounded(int(bytes.size())), "\nreal.mp3\r\nfile5=real.mp3\n");
            for (const char *ext : {"m3u", "pls", "vln"}) {
                const QString list = dir + "/noise." + ext;
                QVERIFY(writeBytes(list, bytes));
                PlaylistModel model;
                QVERIFY(readByExtension(model, list));
                if (QString(ext) != "vln")
                    QVERIFY(sane(model));
                else // every line but the blank ones is an entry
                    QCOMPARE(model.count(), int(TextFile::splitLines(bytes).size() -
                                                TextFile::splitLines(bytes).count(QString())));
            }
        }
    }

    void hugeLinesNulsAndMissingSeparators()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(writeMpeg(dir + "/real.mp3", 3));
        const QByteArray bytes = "[playlist]\n" + QByteArray(4 << 20, 'a') + "\nreal.mp3\n" +
                                 QByteArray(300000, '=') + "\n" + QByteArray("file1=real.mp3\0junk\n", 20) +
                                 QByteArray("real\0.mp3\n", 10) + "=\n\n=real.mp3";
        for (const char *ext : {"m3u", "pls"}) {
            const QString list = dir + "/huge." + ext;
            QVERIFY(writeBytes(list, bytes));
            PlaylistModel model;
            QVERIFY(readByExtension(model, list));
            QVERIFY(sane(model));
            // "real.mp3" as a line, and as the value of the last line; NUL lines name nothing.
            const int expected = QString(ext) == "pls" ? 2 : 1;
            QCOMPARE(model.count(), expected);
        }
        const QString vln = dir + "/huge.vln";
        QVERIFY(writeBytes(vln, bytes));
        PlaylistModel model;
        QVERIFY(readVLN(model, vln));
        QCOMPARE(model.count(), 8); // the blank line is no entry
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(1)).size(), 4 << 20);
        model.selectAll();
        model.UpdateSelectedTime();
        model.sort();
        QCOMPARE(model.count(), 8);
    }
};

VORLAN_TEST_CLASS(PlaylistFilesTest)
#include "PlaylistFilesTest.moc"
