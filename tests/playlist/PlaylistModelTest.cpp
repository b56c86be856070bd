#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistFiles.h"
#include "tests/TestMain.h"
#include "tests/playlist/MpegTestFiles.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <map>

using playlisttest::Tag;
using playlisttest::writeMpeg;

namespace
{

// A list of named entries without files, as an own list file holds them.
void fill(PlaylistModel &model, const QStringList &names)
{
    QStringList lines;
    for (int i = 0; i < names.size(); ++i)
        lines << QStringLiteral("%1\t%2\t00:00\t/nowhere/%2.mp3").arg(i + 1).arg(names.at(i));
    PlaylistFiles::appendVlnLines(model, lines);
}

QStringList names(const PlaylistModel &model)
{
    QStringList out;
    for (int i = 0; i < model.count(); ++i)
        out << model.entry(i).name;
    return out;
}

bool numberedInOrder(const PlaylistModel &model)
{
    for (int i = 0; i < model.count(); ++i) {
        if (model.entry(i).numberText() != QString::number(i + 1))
            return false;
    }
    return true;
}

} // namespace

class PlaylistModelTest : public QObject
{
    Q_OBJECT

private slots:
    void entryPathCutsThreeFields_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::newRow("file") << "3\tArtist - Title\t03:20\t/music/a.mp3"
                              << "/music/a.mp3";
        QTest::newRow("url") << "1\thttp://radio/x\t\thttp://radio/x"
                             << "http://radio/x";
        QTest::newRow("bare path") << "/music/bare.mp3"
                                   << "/music/bare.mp3";
        QTest::newRow("two fields") << "1\t/music/b.mp3"
                                    << "/music/b.mp3";
        QTest::newRow("tab in path") << "1\tn\t00:01\t/music/odd\tname.mp3"
                                     << "/music/odd\tname.mp3";
        QTest::newRow("empty") << ""
                               << "";
    }
    void entryPathCutsThreeFields()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        const PlaylistEntry entry = PlaylistFiles::vlnEntry(line);
        QCOMPARE(entry.path, path);
        // Whatever its shape, the line is written back as it was read.
        QCOMPARE(PlaylistFiles::vlnLine(entry), line);
    }

    void streamUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stream");
        QTest::newRow("ftp") << "ftp://host/song.mp3" << true;
        QTest::newRow("mixed-case http") << "HtTp://host:8000/stream" << true;
        QTest::newRow("https") << "https://host/stream" << true;
        QTest::newRow("udp") << "udp://239.0.0.1:1234" << true;
        QTest::newRow("mms") << "mms://host/stream" << false;
        QTest::newRow("drive letter") << "C:\\Songs\\a.mp3" << false;
        QTest::newRow("linux path") << "/home/me/a.mp3" << false;
        QTest::newRow("one slash") << "http:/host" << false;
        QTest::newRow("prefix") << "xhttp://host" << false;
        QTest::newRow("empty") << "" << false;
    }
    void streamUrls()
    {
        QFETCH(QString, text);
        QFETCH(bool, stream);
        QCOMPARE(PlaylistModel::IsStreamUrl(text), stream);
    }

    void audioFilesByExtension()
    {
        const QString dir = vorlantest::tempDir();
        for (const char *name : {"a.mp3", "b.MP2", "c.Mpg", "d.txt", "e", "f.flac", "g.OPUS", "h.m4a",
                                 "i.Wav", "j.aiff", "k.wv", "l.ogg", "m.mp3.txt"})
            QVERIFY(playlisttest::writeBytes(dir + "/" + name, "x"));
        QDir().mkpath(dir + "/folder.mp3");
        QVERIFY(PlaylistModel::IsAudioFile(dir + "/a.mp3"));
        QVERIFY(PlaylistModel::IsAudioFile(dir + "/b.MP2"));
        QVERIFY(PlaylistModel::IsAudioFile(dir + "/c.Mpg"));
        QVERIFY(!PlaylistModel::IsAudioFile(dir + "/d.txt"));
        // The formats the FFmpeg module plays.
        for (const char *name : {"f.flac", "g.OPUS", "h.m4a", "i.Wav", "j.aiff", "k.wv", "l.ogg"})
            QVERIFY2(PlaylistModel::IsAudioFile(dir + "/" + name), name);
        QVERIFY(!PlaylistModel::IsAudioFile(dir + "/m.mp3.txt"));
        QVERIFY(!PlaylistModel::IsAudioFile(dir + "/e"));
        QVERIFY(!PlaylistModel::IsAudioFile(dir + "/missing.mp3"));
        QVERIFY(!PlaylistModel::IsAudioFile(dir + "/folder.mp3"));
        QVERIFY(!PlaylistModel::IsAudioFile(QString()));
    }

    void addFileBuildsEntryLines()
    {
        const QString dir = vorlantest::tempDir();
        const Tag tag{"Title", "Artist"};
        const Tag noTitle{"", "Artist"};
        QVERIFY(writeMpeg(dir + "/plain.mp3", 100));
        QVERIFY(writeMpeg(dir + "/tagged.mp3", 200, &tag));
        QVERIFY(writeMpeg(dir + "/untitled.mp3", 60, &noTitle));

        PlaylistModel model;
        QSignalSpy counts(&model, &PlaylistModel::countChanged);
        model.PlaylistAddFile(dir + "/plain.mp3");
        model.PlaylistAddFile("http://radio.example/live");
        model.PlaylistAddFile(dir + "/tagged.mp3");
        model.PlaylistAddFile(dir + "/untitled.mp3");
        model.PlaylistAddFile(dir + "/gone.mp3"); // callers filter; adding never fails

        QCOMPARE(model.count(), 5);
        QCOMPARE(counts.count(), 5);
        QCOMPARE(counts.last().at(0).toInt(), 5);
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(0)), "1\tplain\t01:40\t" + dir + "/plain.mp3");
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(1)),
                 QString("2\thttp://radio.example/live\t\thttp://radio.example/live"));
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(2)), "3\tArtist - Title\t03:20\t" + dir + "/tagged.mp3");
        QCOMPARE(model.entry(3).name, QString("Artist - Unknown"));
        QCOMPARE(model.entry(4).path, dir + "/gone.mp3");

        QCOMPARE(PlaylistModel::EntryDisplayText(dir + "/tagged.mp3", true), QString("Artist - Title"));
        QCOMPARE(PlaylistModel::EntryDisplayText(dir + "/plain.mp3", true), QString("plain"));

        // What the list view shows.
        QCOMPARE(model.data(model.index(2, PlaylistModel::NameColumn)).toString(), QString("Artist - Title"));
        QCOMPARE(model.data(model.index(2, PlaylistModel::DurationColumn)).toString(), QString("03:20"));
        QCOMPARE(model.data(model.index(1, PlaylistModel::DurationColumn)).toString(), QString());
        QCOMPARE(model.data(model.index(2, 0), PlaylistModel::PathRole).toString(), dir + "/tagged.mp3");
    }

    void tagWithTabKeepsEntryIntact()
    {
        // A tag from a downloaded file may hold any byte; the entry must still give back its path.
        const QString dir = vorlantest::tempDir();
        const Tag tag{"Ti\ttle", "Ar\ttist"};
        QVERIFY(writeMpeg(dir + "/odd.mp3", 10, &tag));
        PlaylistModel model;
        model.PlaylistAddFile(dir + "/odd.mp3");
        QCOMPARE(model.entryPath(0), dir + "/odd.mp3");
        QCOMPARE(model.entry(0).name, QString("Ar tist - Ti tle"));
    }

    void bareLineShowsWholeAndGetsNumberOnRenumbering()
    {
        PlaylistModel model;
        PlaylistFiles::appendVlnLines(model, {"/music/one.mp3", "/music/two.mp3"});
        QCOMPARE(model.data(model.index(0, PlaylistModel::NameColumn)).toString(), QString("/music/one.mp3"));
        QCOMPARE(model.entryPath(1), QString("/music/two.mp3"));
        model.moveEntry(1, 0);
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(0)), QString("1\t/music/two.mp3"));
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(1)), QString("2\t/music/one.mp3"));
        QCOMPARE(model.entryPath(0), QString("/music/two.mp3"));
    }

    void sortEmptyAndSingle()
    {
        PlaylistModel model;
        model.sort();
        QCOMPARE(model.count(), 0);
        fill(model, {"only"});
        model.setCurrentIndex(0);
        model.sort();
        QCOMPARE(model.count(), 1);
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(0)), QString("1\tonly\t00:00\t/nowhere/only.mp3"));
    }

    void sortIsCaseInsensitiveLocaleOrder()
    {
        PlaylistModel model;
        // Equal but for case: the earlier entry stays first.
        fill(model, {"b", "A", "a", "B", "c"});
        model.setCurrentIndex(0);
        model.sort();
        QCOMPARE(names(model), QStringList({"A", "a", "b", "B", "c"}));
        QVERIFY(numberedInOrder(model));

        // In a real language's order accented letters sit beside their base letters.
        const QLocale before;
        const auto restore = qScopeGuard([before] { QLocale::setDefault(before); });
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        model.clear();
        fill(model, {"Zed", "\u00e9clair", "banana", "echo", "apple"});
        model.sort();
        QCOMPARE(names(model), QStringList({"apple", "banana", "echo", "\u00e9clair", "Zed"}));
    }

    void sortComparesWholeLineAfterNumber()
    {
        PlaylistModel model;
        PlaylistFiles::appendVlnLines(
            model, {"1\tSame\t03:00\t/b.mp3", "2\tSame\t01:00\t/c.mp3", "3\tSame\t01:00\t/a.mp3"});
        model.setCurrentIndex(0);
        model.sort();
        QCOMPARE(PlaylistFiles::vlnLines(model),
                 QStringList({"1\tSame\t01:00\t/a.mp3", "2\tSame\t01:00\t/c.mp3", "3\tSame\t03:00\t/b.mp3"}));
    }

    void sortSelectsOldIndexNotThePlayingSong()
    {
        PlaylistModel model;
        fill(model, {"c", "a", "b"});
        model.setCurrentIndex(0); // "c" is playing
        model.sort();
        QCOMPARE(names(model), QStringList({"a", "b", "c"}));
        QCOMPARE(model.selectedEntries(), QList<int>({0}));
        QCOMPARE(model.focusedEntry(), 0);
        QCOMPARE(model.CurrentIndex(), 0);
    }

    void sortAfterLoadSelectsEverything()
    {
        PlaylistModel model;
        fill(model, {"b", "a", "c"});
        model.markListLoaded();
        model.sort();
        QCOMPARE(model.selectedEntries(), QList<int>({0, 1, 2}));
    }

    void shuffleIsPermutation()
    {
        PlaylistModel model;
        QStringList list;
        for (int i = 0; i < 50; ++i)
            list << QString("song%1").arg(i);
        fill(model, list);
        model.setCurrentIndex(7);
        model.shuffle();
        QCOMPARE(model.count(), 50);
        QVERIFY(numberedInOrder(model));
        QStringList got = names(model);
        got.sort();
        list.sort();
        QCOMPARE(got, list);
        QCOMPARE(model.selectedEntries(), QList<int>({7}));
    }

    void shuffleIsUniform()
    {
        // 4 entries have 24 orders; each should come up about runs / 24 times. Chi-square with 23 degrees of
        // freedom has mean 23 and standard deviation under 7; the bound of 120 is far out of reach of chance.
        PlaylistModel model;
        fill(model, {"a", "b", "c", "d"});
        model.setCurrentIndex(0);
        const int runs = 12000;
        std::map<QString, int> seen;
        for (int i = 0; i < runs; ++i) {
            model.shuffle();
            ++seen[names(model).join(QString())];
        }
        QCOMPARE(int(seen.size()), 24);
        const double expected = runs / 24.0;
        double chi = 0;
        for (const auto &[order, n] : seen)
            chi += (n - expected) * (n - expected) / expected;
        QVERIFY2(chi < 120, qPrintable(QString("chi-square %1").arg(chi)));
    }

    void shuffleSelectionWhenIndexNamesNoEntry()
    {
        PlaylistModel model;
        QSignalSpy times(&model, &PlaylistModel::selectedTimeChanged);
        model.setCurrentIndex(5);
        model.shuffle(); // empty list
        QCOMPARE(model.count(), 0);
        QCOMPARE(times.last().at(0).toString(), QString("[00:00:00]"));

        fill(model, {"a", "b", "c"}); // an index left over from a longer list
        model.shuffle();
        QCOMPARE(model.selectedEntries(), QList<int>({0}));

        model.setCurrentIndex(-1);
        model.shuffle();
        QCOMPARE(model.selectedCount(), 3);
    }

    void removeSelectedRules()
    {
        PlaylistModel model;
        QSignalSpy counts(&model, &PlaylistModel::countChanged);
        fill(model, {"a", "b", "c", "d", "e"});

        // Index still inside the shorter list: that entry is selected.
        model.setCurrentIndex(1);
        model.selectEntry(3);
        model.selectEntry(4);
        model.removeSelected();
        QCOMPARE(names(model), QStringList({"a", "b", "c"}));
        QVERIFY(numberedInOrder(model));
        QCOMPARE(counts.last().at(0).toInt(), 3);
        QCOMPARE(model.selectedEntries(), QList<int>({1}));

        // Index past the end: the first entry.
        model.setCurrentIndex(2);
        model.unselectAll();
        model.selectEntry(2);
        model.removeSelected();
        QCOMPARE(names(model), QStringList({"a", "b"}));
        QCOMPARE(model.selectedEntries(), QList<int>({0}));

        // After a list load no entry is chosen: the one that took the removed place is selected, never the
        // whole list, so a second Delete takes one more entry and not all of them.
        model.clear();
        fill(model, {"a", "b", "c", "d"});
        model.markListLoaded();
        model.unselectAll();
        model.selectEntry(1);
        model.removeSelected();
        QCOMPARE(names(model), QStringList({"a", "c", "d"}));
        QCOMPARE(model.selectedEntries(), QList<int>({1}));
        model.removeSelected();
        QCOMPARE(names(model), QStringList({"a", "d"}));
        QCOMPARE(model.selectedEntries(), QList<int>({1}));
        model.removeSelected();
        QCOMPARE(names(model), QStringList({"a"}));
        QCOMPARE(model.selectedEntries(), QList<int>({0}));

        model.selectAll();
        model.removeSelected();
        QCOMPARE(model.count(), 0);
        QCOMPARE(counts.last().at(0).toInt(), 0);
    }

    void removeManyScatteredEntries()
    {
        PlaylistModel model;
        QStringList list;
        for (int i = 0; i < 300; ++i)
            list << QString::number(i);
        fill(model, list);
        for (int i = 0; i < 300; i += 2)
            model.selectEntry(i);
        model.setCurrentIndex(10);
        model.removeSelected();
        QCOMPARE(model.count(), 150);
        QVERIFY(numberedInOrder(model));
        QCOMPARE(model.entry(0).name, QString("1"));
        QCOMPARE(model.entry(149).name, QString("299"));
        QCOMPARE(model.selectedEntries(), QList<int>({10}));
    }

    void entriesOfFilesGoneFromDiskLeave()
    {
        // "Delete selection of HD." on the entries 1 to 5: those whose files went leave; a stream and a file
        // still on disk stay, and so does an entry not named even though its file is gone too.
        const QString dir = vorlantest::tempDir();
        for (const char *name : {"a", "b", "c", "d", "e"})
            QVERIFY(writeMpeg(dir + "/" + name + ".mp3", 1));
        PlaylistModel model;
        model.addFiles({dir + "/a.mp3", "http://radio.example/live", dir + "/b.mp3", dir + "/c.mp3",
                        dir + "/d.mp3", dir + "/e.mp3"});
        model.setCurrentIndex(4);
        for (const char *name : {"a", "c", "d", "e"})
            QVERIFY(QFile::remove(dir + "/" + name + ".mp3"));
        // Rows past the list and rows named twice do no harm.
        model.removeMissingEntries({5, 1, 2, 3, 4, 4, -1, 6, 1000});
        QCOMPARE(model.count(), 3);
        QCOMPARE(model.entryPath(0), dir + "/a.mp3");
        QCOMPARE(model.entryPath(1), QString("http://radio.example/live"));
        QCOMPARE(model.entryPath(2), dir + "/b.mp3");
        QVERIFY(numberedInOrder(model));
    }

    void selectedEntriesThatStayRemainSelected_data()
    {
        QTest::addColumn<int>("entries");
        // Every fourth entry leaves: 5 runs of rows are removed one by one, 75 runs by a rebuild.
        QTest::newRow("few runs") << 20;
        QTest::newRow("many runs") << 300;
    }

    void selectedEntriesThatStayRemainSelected()
    {
        QFETCH(int, entries);
        // Missing files at rows 0, 4, 8, ..., streams elsewhere; rows 4k and 4k+1 selected. The missing
        // files leave, the selected streams stay selected, and CurrentIndex adds its entry.
        PlaylistModel model;
        QStringList paths;
        for (int i = 0; i < entries; ++i)
            paths << (i % 4 == 0 ? QStringLiteral("/nowhere/gone%1.mp3").arg(i)
                                 : QStringLiteral("http://radio.example/%1").arg(i));
        model.addFiles(paths);
        for (int i = 0; i < entries; ++i) {
            if (i % 4 < 2)
                model.selectEntry(i);
        }
        model.setCurrentIndex(5);
        model.removeMissingEntries(model.selectedEntries());

        QCOMPARE(model.count(), entries - entries / 4);
        QVERIFY(numberedInOrder(model));
        QList<int> expected;
        for (int i = 0; i < model.count(); ++i) {
            QCOMPARE(model.entryPath(i), QStringLiteral("http://radio.example/%1").arg(i + i / 3 + 1));
            if (i % 3 == 0 || i == 5)
                expected << i;
        }
        QCOMPARE(model.selectedEntries(), expected);
        QCOMPARE(model.focusedEntry(), 5);
    }

    void clearKeepsCurrentIndex()
    {
        PlaylistModel model;
        QSignalSpy times(&model, &PlaylistModel::selectedTimeChanged);
        QSignalSpy counts(&model, &PlaylistModel::countChanged);
        fill(model, {"a", "b"});
        model.setCurrentIndex(1);
        model.clear();
        QCOMPARE(model.count(), 0);
        QCOMPARE(model.CurrentIndex(), 1);
        QCOMPARE(counts.last().at(0).toInt(), 0);
        QCOMPARE(times.last().at(0).toString(), QString("[00:00:00]"));
    }

    void selectionOperations()
    {
        PlaylistModel model;
        fill(model, {"a", "b", "c", "d"});
        model.selectEntry(2);
        QCOMPARE(model.focusedEntry(), 2);
        model.selectEntry(0);
        QCOMPARE(model.selectedEntries(), QList<int>({0, 2}));
        QCOMPARE(model.focusedEntry(), 0);
        model.invertSelection();
        QCOMPARE(model.selectedEntries(), QList<int>({1, 3}));
        model.deselectEntry(3);
        QCOMPARE(model.selectedEntries(), QList<int>({1}));
        model.selectEntry(-1);
        QCOMPARE(model.selectedCount(), 4);
        model.unselectAll();
        QCOMPARE(model.selectedCount(), 0);
        model.invertSelection();
        QCOMPARE(model.selectedCount(), 4);
        model.invertSelection();
        QCOMPARE(model.selectedCount(), 0);
        model.selectEntry(9); // no such entry
        model.selectEntry(-2);
        QCOMPARE(model.selectedCount(), 0);
        QCOMPARE(model.focusedEntry(), 0);

        // A view set to select single cells still selects the entry.
        model.selectionModel()->select(model.index(3, PlaylistModel::NameColumn),
                                       QItemSelectionModel::Select);
        QVERIFY(model.isSelected(3));
        QCOMPARE(model.selectedEntries(), QList<int>({3}));
    }

    void selectAllOfManyIsOneRange()
    {
        PlaylistModel model;
        QStringList lines;
        for (int i = 0; i < 10000; ++i)
            lines << QString("%1\tsong\t00:00\t/nowhere/%1.mp3").arg(i + 1);
        PlaylistFiles::appendVlnLines(model, lines);
        model.selectAll();
        QCOMPARE(model.selectedCount(), 10000);
        // One range, not ten thousand: what keeps the view and the total fast.
        QCOMPARE(model.selectionModel()->selection().size(), 1);
        model.invertSelection();
        QCOMPARE(model.selectedCount(), 0);
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:00:00]"));
    }

    void moveEntryRenumbersAndSelectsTarget()
    {
        PlaylistModel model;
        fill(model, {"a", "b", "c", "d", "e"});
        model.selectEntry(4);
        QVERIFY(model.moveEntry(0, 3));
        QCOMPARE(names(model), QStringList({"b", "c", "d", "a", "e"}));
        QVERIFY(numberedInOrder(model));
        QCOMPARE(model.selectedEntries(), QList<int>({3}));
        QCOMPARE(model.focusedEntry(), 3);

        // Through the item model, as a view's drag does: before row 1.
        QVERIFY(model.moveRow(QModelIndex(), 4, QModelIndex(), 1));
        QCOMPARE(names(model), QStringList({"b", "e", "c", "d", "a"}));
        QVERIFY(numberedInOrder(model));
        QCOMPARE(model.selectedEntries(), QList<int>({1}));
        QVERIFY(!model.moveEntry(0, 5));
    }

    void selectedTimeAddsDurations()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(writeMpeg(dir + "/long.mp3", 3700));
        QVERIFY(writeMpeg(dir + "/short.mp3", 100));
        PlaylistModel model;
        QSignalSpy times(&model, &PlaylistModel::selectedTimeChanged);
        model.PlaylistAddFile(dir + "/long.mp3");
        model.PlaylistAddFile("http://radio.example/live");
        model.PlaylistAddFile(dir + "/short.mp3");
        model.PlaylistAddFile(dir + "/gone.mp3");
        model.selectAll();
        QCOMPARE(model.UpdateSelectedTime(), QString("[01:03:20]"));
        QCOMPARE(times.last().at(0).toString(), QString("[01:03:20]"));
        QCOMPARE(model.SelectedSeconds(), 3800);
        model.unselectAll();
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:00:00]"));

        QCOMPARE(PlaylistModel::selectedTimeText(390000), QString("[108:20:00]"));
        QCOMPARE(PlaylistModel::selectedTimeText(59), QString("[00:00:59]"));
    }

    void selectedTimeFollowsFileChanges()
    {
        const QString dir = vorlantest::tempDir();
        const QString path = dir + "/song.mp3";
        QVERIFY(writeMpeg(path, 100));
        PlaylistModel model;
        model.PlaylistAddFile(path);
        model.selectAll();
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:01:40]"));

        // A new size.
        QVERIFY(writeMpeg(path, 200));
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:03:20]"));

        // The same size at half the bitrate: only the content and the time stamp differ.
        const QDateTime before = QFileInfo(path).lastModified();
        QVERIFY(writeMpeg(path, 400, nullptr, 64));
        QCOMPARE(QFileInfo(path).size(), qint64(200) * 16000);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(before.addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:06:40]"));

        QFile::remove(path);
        QCOMPARE(model.UpdateSelectedTime(), QString("[00:00:00]"));
    }

    void refreshFocusedEntryAfterTagEdit()
    {
        const QString dir = vorlantest::tempDir();
        const QString path = dir + "/song.mp3";
        const Tag before{"Old", "Band"};
        QVERIFY(writeMpeg(path, 30, &before));
        PlaylistModel model;
        model.PlaylistAddFile(dir + "/other.mp3");
        model.PlaylistAddFile(path);
        model.selectEntry(0);
        model.selectEntry(1);

        const Tag after{"New", "Band"};
        QVERIFY(writeMpeg(path, 30, &after));
        QSignalSpy times(&model, &PlaylistModel::selectedTimeChanged);
        model.refreshFocusedEntry();
        QCOMPARE(PlaylistFiles::vlnLine(model.entry(1)), "2\tBand - New\t00:30\t" + path);
        QCOMPARE(model.selectedEntries(), QList<int>({1}));
        QCOMPARE(times.last().at(0).toString(), QString("[00:00:30]"));
    }

    void playerStateAfterListLoad()
    {
        PlaylistModel model;
        QSignalSpy loaded(&model, &PlaylistModel::listLoaded);
        QSignalSpy played(&model, &PlaylistModel::playedCountChanged);
        model.setCurrentIndex(4);
        model.incrementPlayedCount();
        model.incrementPlayedCount();
        QCOMPARE(model.PlayedCount(), 2);
        QCOMPARE(played.last().at(0).toInt(), 2);
        model.markListLoaded();
        QCOMPARE(model.CurrentIndex(), -1);
        QCOMPARE(model.PlayedCount(), 0);
        QCOMPARE(loaded.count(), 1);
    }
};

VORLAN_TEST_CLASS(PlaylistModelTest)
#include "PlaylistModelTest.moc"
