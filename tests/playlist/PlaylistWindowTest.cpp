#include "tests/playlist/PlaylistWindowFixture.h"

#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistFilterBar.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>

using namespace playlistwindowtest;
using playlisttest::readBytes;
using playlisttest::writeBytes;
using playlisttest::writeMpeg;

// The list and its commands: buttons, keys, clicks, drops, dialogs, export, printing and file operations.
class PlaylistWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonsSortShuffleRemoveAndTheSelectionLeft()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"cherry", 10}, {"apple", 20}, {"banana", 30}, {"date", 40}}));
        QCOMPARE(f.window->Label2->text(), QString("4"));

        // Right after a load (CurrentIndex -1) a sort leaves every entry selected.
        f.model.setCurrentIndex(-1);
        QTest::mouseClick(f.window->SORT, Qt::LeftButton);
        QCOMPARE(f.names(), QStringList({"apple", "banana", "cherry", "date"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.model.selectedCount(), 4);
        QCOMPARE(f.window->SongTime->text(), QString("[00:01:40]"));

        // Otherwise the entry at the old CurrentIndex, whatever song sorted there.
        f.model.setCurrentIndex(2);
        QTest::mouseClick(f.window->RAND, Qt::LeftButton);
        QStringList shuffled = f.names();
        QVERIFY(f.numbered());
        std::sort(shuffled.begin(), shuffled.end());
        QCOMPARE(shuffled, QStringList({"apple", "banana", "cherry", "date"}));
        QCOMPARE(f.model.selectedEntries(), QList<int>({2}));
        QCOMPARE(f.model.focusedEntry(), 2);

        QTest::mouseClick(f.window->SORT, Qt::LeftButton);
        QCOMPARE(f.model.selectedEntries(), QList<int>({2}));
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:10]"));

        // Remove: the clicked entries go, the rest are renumbered, the entry at CurrentIndex is selected.
        f.click(0);
        f.click(3, Qt::ControlModifier);
        QCOMPARE(f.model.selectedEntries(), QList<int>({0, 3}));
        QTest::mouseClick(f.window->REMOVE, Qt::LeftButton);
        QCOMPARE(f.names(), QStringList({"banana", "cherry"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.window->Label2->text(), QString("2"));
        // CurrentIndex 2 names no entry of the shorter list: the first is selected.
        QCOMPARE(f.model.selectedEntries(), QList<int>({0}));
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:30]"));

        QTest::mouseClick(f.window->CLEAR, Qt::LeftButton);
        QCOMPARE(f.model.count(), 0);
        QCOMPARE(f.window->Label2->text(), QString("0"));
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:00]"));
        QCOMPARE(f.model.CurrentIndex(), 2);

        // Sorting and shuffling nothing changes nothing.
        QTest::mouseClick(f.window->SORT, Qt::LeftButton);
        QTest::mouseClick(f.window->RAND, Qt::LeftButton);
        QCOMPARE(f.model.count(), 0);
    }

    void keysInsertAndDelete()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a", 1}, {"b", 2}, {"c", 3}}));
        QSignalSpy addRequests(f.window.get(), &PlaylistWindow::addFilesRequested);
        f.click(1);
        QTest::keyClick(f.list(), Qt::Key_Delete);
        QCOMPARE(f.names(), QStringList({"a", "c"}));
        QVERIFY(f.numbered());
        QCOMPARE(addRequests.count(), 0);
        QTest::keyClick(f.list(), Qt::Key_Insert);
        QCOMPARE(addRequests.count(), 1);
        QTest::mouseClick(f.window->ADD, Qt::LeftButton);
        QCOMPARE(addRequests.count(), 2);
        QCOMPARE(f.model.count(), 2);
    }

    void clicksShowTheSelectedTotalAndFeedTheTagEditor()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"long", 3700}, {"short", 100}, {"other", 5}});
        f.model.addFiles(songs);
        QSignalSpy clicked(f.window.get(), &PlaylistWindow::entryClicked);
        f.click(0);
        f.click(1, Qt::ControlModifier);
        QCOMPARE(f.window->SongTime->text(), QString("[01:03:20]"));
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.last().at(0).toString(), songs.at(1));

        // The controller's song length stays until the selection changes again.
        f.window->setSongTime("00:01:40");
        QCOMPARE(f.window->SongTime->text(), QString("00:01:40"));
        QTest::keyClick(f.list(), Qt::Key_Down);
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:05]"));
        QCOMPARE(clicked.last().at(0).toString(), songs.at(2));

        f.window->SelectClick(PlaylistWindow::SelectAll);
        QCOMPARE(f.window->SongTime->text(), QString("[01:03:25]"));
        f.window->SelectClick(PlaylistWindow::UnselectAll);
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:00]"));
        f.model.selectEntry(0);
        f.window->SelectClick(PlaylistWindow::InvertSelection);
        QCOMPARE(f.model.selectedEntries(), QList<int>({1, 2}));
        QCOMPARE(f.window->SongTime->text(), QString("[00:01:45]"));
    }

    void doubleClickAndDropOnThePanelPlay()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a", 1}, {"b", 2}}));
        QSignalSpy play(f.window.get(), &PlaylistWindow::playSelectedRequested);
        // As the window system reports it: a click, then the second press as a double click.
        f.click(1);
        QTest::mouseDClick(f.list()->viewport(), Qt::LeftButton, Qt::NoModifier, f.rowCenter(1));
        QTest::mouseRelease(f.list()->viewport(), Qt::LeftButton, Qt::NoModifier, f.rowCenter(1));
        QCOMPARE(play.count(), 1);
        QCOMPARE(f.model.focusedEntry(), 1);

        // An entry dragged out of the list onto the bottom panel plays too.
        QWidget *viewport = f.list()->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(0), Qt::LeftButton, Qt::LeftButton);
        const QPoint onPanel = viewport->mapFromGlobal(f.window->Panel2->mapToGlobal(QPoint(20, 20)));
        sendMouse(viewport, QEvent::MouseMove, onPanel, Qt::NoButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, onPanel, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(play.count(), 2);
        QCOMPARE(f.model.focusedEntry(), 0);
        QCOMPARE(f.model.count(), 2);
    }

    void entriesDraggedOutOfTheWindowGoAsEntriesAndFiles()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"a", 1}, {"b", 2}, {"c", 3}});
        f.model.addFiles(songs);
        QList<QByteArray> entries;
        QList<QList<QUrl>> urls;
        f.list()->setDragStarter([&](QMimeData *data) {
            entries << data->data(PlaylistListView::EntriesMimeType);
            urls << data->urls();
        });
        // The pressed entry, dragged past the window's edge: a drag of its own starts, once.
        f.click(1);
        QWidget *viewport = f.list()->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(1), Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(1) + QPoint(0, 5), Qt::NoButton, Qt::LeftButton);
        const QPoint outside = viewport->mapFromGlobal(f.window->mapToGlobal(QPoint(-40, 10)));
        sendMouse(viewport, QEvent::MouseMove, outside, Qt::NoButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, outside - QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first(), QByteArray("1"));
        QCOMPARE(urls.first(), QList<QUrl>({QUrl::fromLocalFile(songs[1])}));
        // Nothing moved in the list.
        QCOMPARE(f.model.entryPath(1), songs[1]);
        QCOMPARE(f.model.count(), 3);

        // Brought back onto the list they add nothing; onto the bottom panel they play.
        QSignalSpy play(f.window.get(), &PlaylistWindow::playSelectedRequested);
        QMimeData mime;
        mime.setData(PlaylistListView::EntriesMimeType, "1");
        mime.setUrls({QUrl::fromLocalFile(songs[1])});
        const auto dropAt = [&](QWidget *target, const QPoint &at) {
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(target, &move);
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
            QApplication::sendEvent(target, &drop);
            return drop.isAccepted();
        };
        QVERIFY(!dropAt(f.list()->viewport(), f.rowCenter(0)));
        QCOMPARE(f.model.count(), 3);
        QVERIFY(dropAt(f.window.get(), f.window->Panel2->geometry().center()));
        QCOMPARE(play.count(), 1);
        QCOMPARE(f.model.count(), 3);
    }

    void draggingAnEntryMovesAndRenumbers()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}}));
        QWidget *viewport = f.list()->viewport();
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(0), Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(2), Qt::NoButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(3), Qt::NoButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, f.rowCenter(3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.names(), QStringList({"b", "c", "d", "a", "e"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.model.selectedEntries(), QList<int>({3}));
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:01]"));

        // Upwards, and through the window's handler.
        f.window->FnpListBox1Moved(4, 1);
        QCOMPARE(f.names(), QStringList({"b", "e", "c", "d", "a"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.model.selectedEntries(), QList<int>({1}));

        // A press and release on one row is a click, not a move.
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(2), Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, f.rowCenter(2), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.names(), QStringList({"b", "e", "c", "d", "a"}));
    }

    void theDraggedEntryIsFollowedWhileTheListChanges()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}}));
        QSignalSpy play(f.window.get(), &PlaylistWindow::playSelectedRequested);
        QWidget *viewport = f.list()->viewport();
        const auto removeEntry = [&](int row) {
            f.model.unselectAll();
            f.model.selectEntry(row);
            f.model.removeSelected();
        };

        // b is dragged while a leaves the list above it: b is the entry that moves.
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(1), Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(2), Qt::NoButton, Qt::LeftButton);
        removeEntry(0);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(3), Qt::NoButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, f.rowCenter(3), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.names(), QStringList({"c", "d", "e", "b"}));
        QVERIFY(f.numbered());

        // The dragged entry itself leaves: the release moves nothing.
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(0), Qt::LeftButton, Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, f.rowCenter(2), Qt::NoButton, Qt::LeftButton);
        removeEntry(0);
        sendMouse(viewport, QEvent::MouseButtonRelease, f.rowCenter(2), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.names(), QStringList({"d", "e", "b"}));

        // ... and dropped on the bottom panel it plays nothing.
        sendMouse(viewport, QEvent::MouseButtonPress, f.rowCenter(0), Qt::LeftButton, Qt::LeftButton);
        const QPoint onPanel = viewport->mapFromGlobal(f.window->Panel2->mapToGlobal(QPoint(20, 20)));
        sendMouse(viewport, QEvent::MouseMove, onPanel, Qt::NoButton, Qt::LeftButton);
        removeEntry(0);
        sendMouse(viewport, QEvent::MouseButtonRelease, onPanel, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(play.count(), 0);
        QCOMPARE(f.names(), QStringList({"e", "b"}));
    }

    void dropsAddAudioFilesAndALastListReplacesThem()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"a", 1}, {"b", 2}, {"c", 3}});
        writeBytes(dir + "/notes.txt", "text");
        QSignalSpy loaded(&f.model, &PlaylistModel::listLoaded);

        dropOn(f.list()->viewport(), {songs.at(0), dir + "/notes.txt", songs.at(1)});
        QCOMPARE(f.names(), QStringList({"a", "b"}));

        writeBytes(dir + "/list.m3u", "c.mp3\r\n");
        dropOn(f.window.get(), {songs.at(0), songs.at(1), dir + "/list.m3u"});
        QCOMPARE(f.names(), QStringList({"c"}));
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(f.model.CurrentIndex(), -1);

        // A list that is not the last name is not read; a missing file and a folder add nothing.
        dropOn(f.list()->viewport(), {dir + "/list.m3u", dir + "/gone.mp3", dir, songs.at(0)});
        QCOMPARE(f.names(), QStringList({"c", "a"}));
        QVERIFY(f.numbered());
    }

    void aFolderDroppedOnTheListIsHandedOnForItsTree()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"a", 1}});
        QSignalSpy folders(f.window.get(), &PlaylistWindow::foldersDropped);
        f.window->FormDropFiles({songs.first(), dir});
        QCOMPARE(f.model.count(), 1);
        QCOMPARE(folders.count(), 1);
        QCOMPARE(folders.first().at(0).toStringList(), QStringList{dir});
        // Files alone are no folders.
        f.window->FormDropFiles(songs);
        QCOMPARE(folders.count(), 1);
    }

    void dropsOfDamagedNamesAddNothing()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        writeBytes(dir + "/empty.mp3", "");
        writeBytes(dir + "/random.m3u", QByteArray(4096, '\xFF') + "\n\r\n" + QByteArray(100000, 'x'));
        dropOn(f.list()->viewport(), {dir + "/" + QString(300, 'n') + ".mp3", dir + "/empty.mp3"});
        QCOMPARE(f.model.count(), 1); // the empty file is an audio file by name
        dropOn(f.list()->viewport(), {dir + "/random.m3u"});
        QCOMPARE(f.model.count(), 0);
        // Text and web links are not files: the drag is refused.
        QMimeData text;
        text.setText("not a file");
        QVERIFY(!dropOn(f.list()->viewport(), text));
        QMimeData web;
        web.setUrls({QUrl("http://radio/live.mp3")});
        QVERIFY(!dropOn(f.window.get(), web));
        QCOMPARE(f.model.count(), 0);
    }

    void addUrlTakesStreamsOnly()
    {
        Fixture f;
        UrlInputWindow *prompt = f.window->urlInputWindow();
        QString labelSeen, textSeen;
        bool modal = false;
        auto answer = [&](const QString &text, QAbstractButton *button) {
            QTimer::singleShot(0, prompt, [&, text, button] {
                labelSeen = prompt->Label1->text();
                textSeen = prompt->Edit1->text();
                modal = prompt->isModal() && prompt->isVisible();
                prompt->Edit1->setText(text);
                QTest::mouseClick(button, Qt::LeftButton);
            });
            f.window->ADDURLClick();
        };

        answer("ftp://x/y.mp3", prompt->OKBtn);
        QCOMPARE(labelSeen, QString("Please enter the song URL:"));
        QCOMPARE(textSeen, QString("http://"));
        QVERIFY(modal);
        QCOMPARE(PlaylistFiles::vlnLines(f.model), QStringList({"1\tftp://x/y.mp3\t\tftp://x/y.mp3"}));

        answer("/home/me/song.mp3", prompt->OKBtn);
        answer("mms://radio/live", prompt->OKBtn);
        answer("http://radio/live", prompt->CancelBtn);
        QCOMPARE(f.model.count(), 1);

        answer("  HTTP://Radio/Live  ", prompt->OKBtn);
        QCOMPARE(f.model.count(), 2);
        QCOMPARE(f.model.entryPath(1), QString("HTTP://Radio/Live"));
        QCOMPARE(f.window->Label2->text(), QString("2"));
    }

    void saveWritesByExtensionAndHtml()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a & <b>", 200}}));
        f.model.PlaylistAddFile("http://radio/live");
        QCOMPARE(f.window->path3(), QString());
        QCOMPARE(f.window->saveDialogFileName(), QString("MyPlayList"));

        QSignalSpy titles(f.window.get(), &PlaylistWindow::titleTextChanged);
        QList<bool> enabledWhileBusy;
        connect(f.window.get(), &PlaylistWindow::titleTextChanged, this,
                [&](const QString &) { enabledWhileBusy << f.window->isEnabled(); });
        f.fileAnswer = dir + "/out/list.html";
        QDir().mkpath(dir + "/out");
        QTest::mouseClick(f.window->SAVE, Qt::LeftButton);
        QCOMPARE(titles.count(), 2);
        QCOMPARE(titles.at(0).at(0).toString(), QString("   Vorlan PlayList (Saveing the HTML file).."));
        QCOMPARE(titles.at(1).at(0).toString(), QString("   Vorlan PlayList"));
        QCOMPARE(enabledWhileBusy, QList<bool>({false, true}));
        QCOMPARE(f.window->titleText(), QString("   Vorlan PlayList"));
        const QString page = QString::fromUtf8(readBytes(dir + "/out/list.html"));
        QVERIFY(page.startsWith("<meta charset=\"utf-8\">\r\n<table border=1>\r\n<tr>\r\n"));
        QVERIFY(page.contains("<td nowrap>1</td>\r\n<td nowrap><B>a &amp; &lt;b&gt;</B></td>\r\n"
                              "<td nowrap>03:20</td>\r\n"));
        QVERIFY(page.contains("<td nowrap><B>http://radio/live</B></td>\r\n<td nowrap><br></td>\r\n"));
        QVERIFY(page.endsWith("</table><p>\r\n"));
        QCOMPARE(f.window->path3(), dir + "/out");
        QVERIFY(f.warnings.isEmpty());

        // A name typed without an extension gets the chosen type's; lists by their extension.
        f.fileAnswer = dir + "/out/mylist";
        f.filterAnswer = "PLS PlayList file (*.pls)";
        f.window->SAVEClick();
        QVERIFY(readBytes(dir + "/out/mylist.pls").startsWith("[playlist]\r\nfile1="));
        QVERIFY(f.window->savePlaylistFile(dir + "/out/list.M3U"));
        QCOMPARE(readBytes(dir + "/out/list.M3U"), (dir + "/a & <b>.mp3\r\nhttp://radio/live\r\n").toUtf8());
        QVERIFY(f.window->savePlaylistFile(dir + "/out/list.vln"));
        QCOMPARE(readBytes(dir + "/out/list.vln").count("\r\n"), 2);
        QVERIFY(!f.window->savePlaylistFile(dir + "/out/list.txt"));
        QVERIFY(!QFile::exists(dir + "/out/list.txt"));

        // A cancelled dialog writes nothing and keeps the remembered folder.
        f.fileAnswer.clear();
        f.window->SAVEClick();
        QCOMPARE(f.window->path3(), dir + "/out");
        QVERIFY(f.warnings.isEmpty());
    }

    void failedWritesAreReported()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.PlaylistAddFile("http://radio/live");
        QVERIFY(!f.window->exportHtml(dir + "/no/such/folder/list.html"));
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings.at(0).contains(dir + "/no/such/folder/list.html"));
        QVERIFY(f.window->isEnabled());
        QCOMPARE(f.window->titleText(), QString("   Vorlan PlayList"));

        QVERIFY(!f.window->savePlaylistFile(dir + "/no/such/folder/list.m3u"));
        QCOMPARE(f.warnings.size(), 2);
        QVERIFY(f.warnings.at(1).contains("list.m3u"));
    }

    void emptyListExportsNoFile()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        QVERIFY(f.window->exportHtml(dir + "/empty.html"));
        QVERIFY(!QFile::exists(dir + "/empty.html"));
        QVERIFY(f.warnings.isEmpty());
    }

    void loadChoosesTheReaderByTheLastThreeLetters()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        makeSongs(dir, {{"a", 1}, {"b", 2}});
        writeBytes(dir + "/lists/one.m3u", "../a.mp3\r\n../b.mp3\r\n");
        writeBytes(dir + "/lists/one.txt", "../a.mp3\r\n");
        f.model.PlaylistAddFile("http://radio/live");
        f.model.incrementPlayedCount();
        QCOMPARE(f.window->Label4->text(), QString("1"));

        f.fileAnswer = dir + "/lists/one.txt";
        f.window->LOADClick();
        QCOMPARE(f.model.count(), 1);

        f.fileAnswer = dir + "/lists/one.m3u";
        QTest::mouseClick(f.window->LOAD, Qt::LeftButton);
        QCOMPARE(f.names(), QStringList({"a", "b"}));
        QCOMPARE(f.window->path2(), dir + "/lists");
        QCOMPARE(f.window->Label2->text(), QString("2"));
        QCOMPARE(f.window->Label4->text(), QString("0"));
    }

    void printsThePlaylist()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"First Song", 61}, {"Second Song", 3}}));
        f.model.PlaylistAddFile("http://radio/live");
        QSignalSpy titles(f.window.get(), &PlaylistWindow::titleTextChanged);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir + "/list.pdf");
        QVERIFY(f.window->printPlaylist(&printer));
        QCOMPARE(printer.docName(), QString("Vorlan PlayList"));
        QCOMPARE(titles.count(), 2);
        QCOMPARE(titles.at(0).at(0).toString(), QString("   Vorlan PlayList (Makeing the print file).."));
        QCOMPARE(f.window->titleText(), QString("   Vorlan PlayList"));
        const QString text = pdfText(dir + "/list.pdf");
        for (const char *expected :
             {"Track", "Song", "Length", "First Song", "Second Song", "01:01", "http://radio/live"})
            QVERIFY2(text.contains(expected), expected);
        QVERIFY(!text.contains("Vorlan PlayList"));
    }

    void printWithoutAPrinterExplains()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer");
        Fixture f;
        f.model.PlaylistAddFile("http://radio/live");
        QSignalSpy titles(f.window.get(), &PlaylistWindow::titleTextChanged);
        f.window->PrintClick();
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings.at(0).contains("No printer"));
        QCOMPARE(titles.count(), 0);
        QVERIFY(f.window->isEnabled());
    }

    void copyMoveAndDeleteTheSelectedFiles()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs =
            makeSongs(dir + "/music", {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}});
        f.model.addFiles(songs);
        f.model.PlaylistAddFile("http://radio/live");
        f.window->setAddFilesDirectory(dir + "/music");
        QDir().mkpath(dir + "/copies");
        writeMpeg(dir + "/copies/b.mp3", 99);

        // Copy: the folder dialog starts in the add-files folder; the existing target is asked about.
        f.click(0);
        f.click(1, Qt::ControlModifier);
        f.click(5, Qt::ControlModifier);
        f.folderAnswer = dir + "/copies";
        f.window->CopyselectionClick(PlaylistWindow::CopySelection);
        QCOMPARE(f.folderQuestions,
                 QStringList({"&Vorlan  ( Please Choose Directory ) ..|" + dir + "/music"}));
        QCOMPARE(f.overwriteQuestions, QStringList({dir + "/copies/b.mp3"}));
        QVERIFY(QFile::exists(dir + "/copies/a.mp3"));
        QCOMPARE(QFileInfo(dir + "/copies/b.mp3").size(), qint64(99) * 128 * 125); // answered No
        QCOMPARE(f.model.count(), 6);

        // A cancelled folder dialog does nothing.
        f.model.setCurrentIndex(0);
        f.click(2);
        f.folderAnswer.clear();
        f.window->CopyselectionClick(PlaylistWindow::MoveSelection);
        QVERIFY(QFile::exists(songs.at(2)));
        QCOMPARE(f.model.count(), 6);

        // Move: the files leave, so do their entries; the rest are renumbered and CurrentIndex's selected.
        f.click(2);
        f.click(3, Qt::ControlModifier);
        f.folderAnswer = dir + "/moved";
        QDir().mkpath(dir + "/moved");
        f.window->CopyselectionClick(PlaylistWindow::MoveSelection);
        QVERIFY(QFile::exists(dir + "/moved/c.mp3"));
        QVERIFY(QFile::exists(dir + "/moved/d.mp3"));
        QVERIFY(!QFile::exists(songs.at(2)));
        QCOMPARE(f.names(), QStringList({"a", "b", "e", "http://radio/live"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.model.selectedEntries(), QList<int>({0}));

        // Delete: three selected entries at the end of the list; the stream stays, the files go to the trash.
        // First the user says No: nothing goes.
        f.click(1);
        f.click(3, Qt::ShiftModifier);
        const QStringList before = f.names();
        f.confirmAnswer = false;
        f.window->CopyselectionClick(PlaylistWindow::DeleteSelection);
        QCOMPARE(f.confirmQuestions,
                 QStringList{"Vorlan  * Delete Files *|Move these 2 files to the trash?"});
        QCOMPARE(f.names(), before);
        QVERIFY(QFile::exists(songs.at(1)));
        QVERIFY(QFile::exists(songs.at(4)));
        f.confirmAnswer = true;
        f.window->CopyselectionClick(PlaylistWindow::DeleteSelection);
        QCOMPARE(f.confirmQuestions.size(), 2);
        QCOMPARE(f.names(), QStringList({"a", "http://radio/live"}));
        QVERIFY(!QFile::exists(songs.at(1)));
        QVERIFY(!QFile::exists(songs.at(4)));
        const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
        QVERIFY(!QDir(trash + "/files").entryList({"b*.mp3"}).isEmpty());
        QVERIFY(!QDir(trash + "/files").entryList({"e*.mp3"}).isEmpty());
        QVERIFY(f.warnings.isEmpty());

        // Entries whose files were already gone leave too; failures are reported.
        f.model.addFiles({dir + "/music/gone.mp3"});
        f.window->SelectClick(PlaylistWindow::SelectAll);
        f.window->CopyselectionClick(PlaylistWindow::DeleteSelection);
        QCOMPARE(f.confirmQuestions.size(), 3);
        QCOMPARE(f.names(), QStringList({"http://radio/live"}));
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings.at(0).contains("gone.mp3"));
    }

    void theEntriesWhoseFilesWentLeaveWhateverIsSelectedMeanwhile()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        const QStringList songs =
            makeSongs(dir + "/music", {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}});
        f.model.addFiles(songs);
        f.model.setCurrentIndex(0);
        QDir().mkpath(dir + "/moved");
        writeMpeg(dir + "/moved/b.mp3", 9);
        writeMpeg(dir + "/moved/c.mp3", 9);
        f.folderAnswer = dir + "/moved";
        f.overwriteAnswer = FileOperations::Answer::YesToAll;

        // While the move asks about b, d is dragged to the top, e is selected and its file vanishes: a and b
        // leave, e stays.
        f.click(0);
        f.click(1, Qt::ControlModifier);
        f.whileAsked = [&] {
            f.model.moveEntry(3, 0);
            f.model.selectEntry(4);
            QFile::remove(songs.at(4));
        };
        f.window->CopyselectionClick(PlaylistWindow::MoveSelection);
        QCOMPARE(f.overwriteQuestions, QStringList({dir + "/moved/b.mp3"}));
        QVERIFY(QFile::exists(dir + "/moved/a.mp3"));
        QCOMPARE(f.names(), QStringList({"d", "c", "e"}));
        QVERIFY(f.numbered());
        QCOMPARE(f.model.selectedEntries(), QList<int>({0, 2}));

        // The list sorted meanwhile: the entries are found again by their files.
        f.click(0);
        f.click(1, Qt::ControlModifier);
        f.whileAsked = [&] { f.model.sort(); };
        f.window->CopyselectionClick(PlaylistWindow::MoveSelection);
        QVERIFY(QFile::exists(dir + "/moved/d.mp3"));
        QCOMPARE(QFileInfo(dir + "/moved/c.mp3").size(), qint64(3) * 128 * 125); // answered Yes to all
        QCOMPARE(f.names(), QStringList({"e"}));
        QVERIFY(f.warnings.isEmpty());
    }

    void columnsFollowFontAndAlignment()
    {
        Fixture f;
        const QString dir = vorlantest::tempDir();
        f.model.addFiles(makeSongs(dir, {{"a", 1}}));
        f.window->applyFont("Arial", 10, 0);
        QCOMPARE(f.list()->columnWidth(0), 30);
        QCOMPARE(f.list()->columnWidth(1), f.list()->width() - 80 - 40);
        QCOMPARE(f.list()->columnWidth(2), 50);
        QVERIFY(f.list()->isColumnHidden(PlaylistModel::PathColumn));
        QCOMPARE(f.list()->visualRect(f.model.index(0, 1)).height(), 16);
        QCOMPARE(f.list()->nameAlignment(), Qt::AlignRight);
        QCOMPARE(f.window->listFontSize(), 10);
        QCOMPARE(f.window->alignment(), 0);
        f.window->applyFont("Arial", 8, 1);
        QCOMPARE(f.list()->nameAlignment(), Qt::AlignHCenter);
        QCOMPARE(f.list()->visualRect(f.model.index(0, 1)).height(), 14);
        f.window->applyFont("Arial", 8, 2);
        QCOMPARE(f.list()->nameAlignment(), Qt::AlignLeft);

        // A long list: the number column grows to its largest number, which shows whole, and the name column
        // gives up what it took.
        QStringList many;
        for (int i = 0; i < 1200; ++i)
            many << QStringLiteral("/nowhere/song%1.mp3").arg(i);
        f.model.addFiles(many);
        const QFontMetrics metrics(f.list()->font());
        QVERIFY2(f.list()->columnWidth(0) > metrics.horizontalAdvance(QStringLiteral("1201")),
                 qPrintable(QString::number(f.list()->columnWidth(0))));
        QCOMPARE(f.list()->columnWidth(0) + f.list()->columnWidth(1), f.list()->width() - 40 - 40);
        const QModelIndex last = f.model.index(1200, PlaylistModel::NumberColumn);
        QCOMPARE(last.data().toString(), QStringLiteral("1201"));
        QVERIFY(metrics.elidedText(QStringLiteral("1201"), Qt::ElideRight, f.list()->columnWidth(0) - 8) ==
                QStringLiteral("1201"));
    }

    void editTagAndTheNailButton()
    {
        Fixture f;
        QSignalSpy edit(f.window.get(), &PlaylistWindow::editTagRequested);
        QTest::mouseClick(f.window->EditTag, Qt::LeftButton);
        QCOMPARE(edit.count(), 0);
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"a", 1}, {"b", 2}});
        f.model.addFiles(songs);
        f.click(1);
        QTest::mouseClick(f.window->EditTag, Qt::LeftButton);
        QCOMPARE(edit.count(), 1);
        QCOMPARE(edit.at(0).at(0).toString(), songs.at(1));
        QCOMPARE(f.window->NailBtn->toolTip(), QString("Auto Hide Button"));
        f.window->setNailCaption("T");
        QCOMPARE(f.window->nailCaption(), QString("T"));
        f.window->setNailCaption("junk");
        QCOMPARE(f.window->nailCaption(), QString(".."));
        QCOMPARE(f.window->windowTitle(), QString("Vorlan's Play List"));
        QCOMPARE(f.window->titleText(), QString("   Vorlan PlayList"));
        QVERIFY(f.window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.window->Label1->text(), QString("Num of files:"));
        QCOMPARE(f.window->Label3->text(), QString("Played songs:"));
        QCOMPARE(f.window->Label5->text(), QString("Selected"));
    }

    void popupMenuCommands()
    {
        Fixture f;
        QStringList texts;
        for (QAction *a : f.window->PopupMenu->actions())
            texts << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(texts,
                 QStringList({"Print", "-", "Select All", "Invert Selection", "UnSelect All", "-",
                              "Copy selection to HD.", "Move selection to HD.", "Delete selection of HD.",
                              "-", "Queue", "Remove Dead Files", "Remove Duplicates", "Filter\tCtrl+F"}));
        auto trigger = [&](const QString &text) {
            for (QAction *a : f.window->PopupMenu->actions()) {
                if (a->text() == text)
                    a->trigger();
            }
        };
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"a", 10}, {"b", 20}, {"c", 30}});
        f.model.addFiles(songs);
        trigger("Select All");
        QCOMPARE(f.model.selectedCount(), 3);
        QCOMPARE(f.window->SongTime->text(), QString("[00:01:00]"));
        f.click(0);
        trigger("Invert Selection");
        QCOMPARE(f.model.selectedEntries(), QList<int>({1, 2}));
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:50]"));
        trigger("Delete selection of HD.");
        QCOMPARE(f.names(), QStringList({"a"}));
        QVERIFY(!QFile::exists(songs.at(2)));
        // "Queue" and the key Q queue the selected entry, and take it out again.
        f.click(0);
        trigger("Queue");
        QCOMPARE(f.model.queue(), QStringList{songs.at(0)});
        QTest::keyClick(f.list(), Qt::Key_Q);
        QVERIFY(f.model.queue().isEmpty());
        trigger("UnSelect All");
        QCOMPARE(f.model.selectedCount(), 0);
        QCOMPARE(f.window->SongTime->text(), QString("[00:00:00]"));
        // Dead files and second entries of a path go, and the user is told how many; streams stay.
        const QStringList more = makeSongs(dir, {{"d", 10}, {"e", 10}});
        f.model.addFiles({more.at(0), songs.at(1), QStringLiteral("http://radio.example/live"), more.at(1),
                          more.at(0), QStringLiteral("http://radio.example/live"), more.at(0)});
        QFile::remove(more.at(1));
        trigger("Remove Dead Files");
        QCOMPARE(f.informations.last(), QString("2 entries whose files no longer exist were removed."));
        QCOMPARE(f.model.count(), 6); // a, d, the stream, d, the stream, d
        trigger("Remove Duplicates");
        QCOMPARE(f.informations.last(), QString("3 entries that were in the list twice were removed."));
        QCOMPARE(f.model.count(), 3);
        QCOMPARE(f.model.entryPath(0), songs.at(0));
        QCOMPARE(f.model.entryPath(1), more.at(0));
        QCOMPARE(f.model.entryPath(2), QString("http://radio.example/live"));
        for (int i = 0; i < f.model.count(); ++i)
            QCOMPARE(f.model.entry(i).numberText(), QString::number(i + 1));
        // The menu opens where the list asks for it.
        emit f.list()->customContextMenuRequested(QPoint(10, 10));
        QTRY_VERIFY(f.window->PopupMenu->isVisible());
        f.window->PopupMenu->close();
    }

    void theFilterFieldNarrowsTheShownEntriesOnly()
    {
        Fixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QString dir = vorlantest::tempDir();
        const QStringList songs = makeSongs(dir, {{"Beyoncé - Halo", 10},
                                                  {"Adele - Hello", 20},
                                                  {"Beyonce - Sorry", 30},
                                                  {"Muse - Uprising", 40}});
        f.model.addFiles(songs);
        const int listTop = f.list()->geometry().top();
        QVERIFY(f.window->FilterBar->isHidden());

        // Ctrl+F opens the field above the list; typing narrows what is shown, without case or accents.
        QTest::keyClick(f.list(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.window->FilterBar->isVisible());
        QVERIFY(f.list()->geometry().top() > listTop);
        QTest::keyClicks(f.window->FilterBar->FilterEdit, QStringLiteral("beyon"));
        auto shown = [&] {
            QList<int> rows;
            for (int i = 0; i < f.model.count(); ++i)
                if (!f.list()->isRowHidden(i, QModelIndex()))
                    rows << i;
            return rows;
        };
        QCOMPARE(shown(), QList<int>({0, 2}));
        QCOMPARE(f.window->FilterBar->CountLabel->text(), QString("2 of 4"));
        // The list, its numbers and its order are untouched.
        QCOMPARE(f.model.count(), 4);
        QVERIFY(f.numbered());

        // Select All and a Shift range reach only the shown entries, so Remove takes only what is seen.
        f.window->SelectClick(PlaylistWindow::SelectAll);
        QCOMPARE(f.model.selectedEntries(), QList<int>({0, 2}));
        f.click(0);
        f.click(2, Qt::ShiftModifier);
        QCOMPARE(f.model.selectedEntries(), QList<int>({0, 2}));
        QTest::mouseClick(f.window->REMOVE, Qt::LeftButton);
        QCOMPARE(f.model.count(), 2);
        QCOMPARE(f.model.entryPath(0), songs.at(1));
        QCOMPARE(f.model.entryPath(1), songs.at(3));
        QVERIFY(f.numbered());
        // Still filtered after the change: nothing left matches.
        QTRY_COMPARE(f.window->FilterBar->CountLabel->text(), QString("0 of 2"));
        QCOMPARE(shown(), QList<int>());
        // Entries added meanwhile are matched too.
        f.model.addFiles(makeSongs(dir, {{"Beyoncé - Formation", 50}}));
        QTRY_COMPARE(shown(), QList<int>({2}));

        // Escape shows every entry again and hides the field.
        QTest::keyClick(f.window->FilterBar->FilterEdit, Qt::Key_Escape);
        QVERIFY(f.window->FilterBar->isHidden());
        QCOMPARE(shown(), QList<int>({0, 1, 2}));
        QCOMPARE(f.list()->geometry().top(), listTop);
    }

    void path3IsKeptOnlyAfterASave()
    {
        Fixture f;
        f.window->setPath3("MyPlayList");
        QCOMPARE(f.window->path3(), QString());
        f.window->setPath2("/music/lists");
        QCOMPARE(f.window->path2(), QString("/music/lists"));
    }
};

VORLAN_TEST_CLASS(PlaylistWindowTest)
#include "PlaylistWindowTest.moc"
