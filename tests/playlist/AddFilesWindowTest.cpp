#include "playlist/AddFilesWindow.h"
#include "platform/FileName.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"
#include "tests/TestMain.h"
#include "tests/playlist/TreeFiles.h"
#include "widgets/FlatButton.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QStringList playlistPaths(const PlaylistModel &model)
{
    QStringList paths;
    for (int i = 0; i < model.count(); ++i)
        paths << model.entryPath(i);
    return paths;
}

// A window on a folder of its own, shown, with prompts that never block.
struct Fixture {
    PlaylistModel playlist;
    AddFilesWindow window{&playlist};
    QStringList prompts;
    QStringList notices;
    bool answer = true;
    bool exposed = false;

    explicit Fixture(const QString &folder)
    {
        window.setDeletePrompt([this](QWidget *, const QString &title, const QString &text) {
            prompts << title + QLatin1Char('|') + text;
            return answer;
        });
        window.setNotice([this](QWidget *, const QString &, const QString &text) { notices << text; });
        window.setCurrentFolder(folder);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }
    QPoint itemCenter(int row) const
    {
        return window.FileListBox1->visualItemRect(window.FileListBox1->item(row)).center();
    }
    void click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(window.FileListBox1->viewport(), Qt::LeftButton, modifiers, itemCenter(row));
    }
};

} // namespace

class AddFilesWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void showsCaptionsAndTheAudioFilesOfTheFolder();
    void path4ChangesOnlyToExistingFolders();
    void addWithSelectionAddsThoseInListOrderWithoutAWalk();
    void doubleClickAndInsertAddTheSelection();
    void addWithNothingSelectedWalksTheWholeTree();
    void deleteMovesTheSelectedFilesToTheTrash();
    void closingTheWindowDuringAWalkStopsIt();
    void showRefreshesAndXCloses();
    void backgroundDragsTheWindow();
    void nothingIsLookedUpBeforeTheWindowIsShown();
    void namesThatAreNotUtf8AreListedAndAdded();
};

void AddFilesWindowTest::showsCaptionsAndTheAudioFilesOfTheFolder()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    QVERIFY(treefiles::put(root + QStringLiteral("/e.FLAC"), "fLaC"));
    QVERIFY(treefiles::put(root + QStringLiteral("/f.opus"), "OggS"));
    Fixture f(root);
    QVERIFY(f.exposed);
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Vorlan          * ADD FILES OR DIRECTORY *"));
    QCOMPARE(f.window.Heading->text(), QStringLiteral("Vorlan...   Add file(s) or directory"));
    QCOMPARE(f.window.ADDBtn->text(), QStringLiteral("ADD"));
    QCOMPARE(f.window.Remove->text(), QStringLiteral("Delete file(s) from your disk"));
    QStringList captions;
    for (QLabel *label : f.window.findChildren<QLabel *>())
        captions << label->text();
    QVERIFY(captions.contains(QStringLiteral("Number of added files :")));
    QVERIFY(captions.contains(QStringLiteral("Last added file name   :")));
    // The mask "*.MP2;*.MP3" and the other formats in any case, in name order; ".MPG" files are not listed
    // (the walk takes them).
    QCOMPARE(f.window.listedFiles(),
             (QStringList{QStringLiteral(".dotfile.mp3"), QStringLiteral("a.mp3"), QStringLiteral("B.MP3"),
                          QStringLiteral("c.Mp2"), QStringLiteral("e.FLAC"), QStringLiteral("f.opus")}));
    QCOMPARE(f.window.FileListBox1->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(f.window.ADDBtn->isEnabled());
    QCOMPARE(f.window.ADDBtn->textColor(), QColor(255, 255, 0));
}

void AddFilesWindowTest::path4ChangesOnlyToExistingFolders()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    Fixture f(root);
    QVERIFY(f.exposed);
    QCOMPARE(f.window.Path4(), root);
    // The tree opens at the folder and keeps it in view while its parents are read.
    QTreeView *tree = f.window.DirectoryListBox1;
    QCOMPARE(tree->currentIndex().data(QFileSystemModel::FilePathRole).toString(), root);
    QTRY_VERIFY_WITH_TIMEOUT(
        tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()).center()), 5000);
    f.window.setPath4(root + QStringLiteral("/no such folder"));
    QCOMPARE(f.window.Path4(), root);
    f.window.setPath4(root + QStringLiteral("/notes.txt"));
    QCOMPARE(f.window.Path4(), root);
    f.window.setPath4(root + QStringLiteral("/sub1/"));
    QCOMPARE(f.window.Path4(), root + QStringLiteral("/sub1"));
    QCOMPARE(f.window.listedFiles(), QStringList{QStringLiteral("f.mp3")});
    // Paths from the root folder carry one slash.
    f.window.setPath4(QStringLiteral("/"));
    QCOMPARE(f.window.fullPath(QStringLiteral("x.mp3")), QStringLiteral("/x.mp3"));
}

void AddFilesWindowTest::addWithSelectionAddsThoseInListOrderWithoutAWalk()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    Fixture f(root);
    QVERIFY(f.exposed);
    QSignalSpy activated(f.window.treeAdder(), &PlaylistTreeAdder::activated);
    // Picked last first: the list order decides.
    f.click(3);
    f.click(1, Qt::ControlModifier);
    QTest::mouseClick(f.window.ADDBtn, Qt::LeftButton);
    QCOMPARE(playlistPaths(f.playlist),
             (QStringList{root + QStringLiteral("/a.mp3"), root + QStringLiteral("/c.Mp2")}));
    QCOMPARE(f.window.FilesNum->text(), QStringLiteral("2"));
    QCOMPARE(f.window.FileNameLabel->text(), QStringLiteral("c.Mp2"));
    QTest::qWait(50);
    QCOMPARE(activated.size(), 0);
    QVERIFY(!f.window.treeAdder()->isRunning());
    QVERIFY(f.window.ADDBtn->isEnabled());
    // The next add counts from 1 again.
    f.click(0);
    QTest::mouseClick(f.window.ADDBtn, Qt::LeftButton);
    QCOMPARE(f.window.FilesNum->text(), QStringLiteral("1"));
    QCOMPARE(f.playlist.count(), 3);
    // The entries are the ones PlaylistAddFile makes.
    PlaylistModel direct;
    direct.addFiles(playlistPaths(f.playlist));
    QCOMPARE(PlaylistFiles::vlnLines(f.playlist), PlaylistFiles::vlnLines(direct));
}

void AddFilesWindowTest::doubleClickAndInsertAddTheSelection()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    Fixture f(root);
    QVERIFY(f.exposed);
    // Clicks of earlier tests must not pair with this one.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    // Through the window, as the window system delivers a double click.
    const QPoint at = f.window.FileListBox1->viewport()->mapTo(&f.window, f.itemCenter(2));
    QTest::mouseDClick(f.window.windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(playlistPaths(f.playlist), QStringList{root + QStringLiteral("/B.MP3")});
    f.click(1);
    f.window.FileListBox1->setFocus();
    QTest::keyClick(f.window.FileListBox1, Qt::Key_Insert);
    QCOMPARE(playlistPaths(f.playlist),
             (QStringList{root + QStringLiteral("/B.MP3"), root + QStringLiteral("/a.mp3")}));
    QCOMPARE(f.window.FileNameLabel->text(), QStringLiteral("a.mp3"));
}

void AddFilesWindowTest::addWithNothingSelectedWalksTheWholeTree()
{
    const QString root = vorlantest::tempDir();
    QStringList expected = treefiles::makeSmallTree(root);
    expected += treefiles::makeWideTree(root + QStringLiteral("/zz"), 400, 100);
    Fixture f(root);
    QVERIFY(f.exposed);
    f.window.FileListBox1->clearSelection();
    PlaylistTreeAdder *adder = f.window.treeAdder();
    // What "ADD" looked like while files were arriving.
    QList<bool> enabledWhileAdding;
    QList<QColor> colourWhileAdding;
    connect(adder, &PlaylistTreeAdder::filesAdded, this, [&] {
        enabledWhileAdding << f.window.ADDBtn->isEnabled();
        colourWhileAdding << f.window.ADDBtn->textColor();
    });
    QSignalSpy finished(adder, &PlaylistTreeAdder::finished);
    QTest::mouseClick(f.window.ADDBtn, Qt::LeftButton);
    // Grey at once: a second click cannot start another walk.
    QVERIFY(!f.window.ADDBtn->isEnabled());
    QCOMPARE(f.window.ADDBtn->textColor(), QColor(128, 128, 128));
    QVERIFY(finished.wait(30000));

    QCOMPARE(playlistPaths(f.playlist), expected);
    QVERIFY(!enabledWhileAdding.isEmpty());
    QVERIFY(!enabledWhileAdding.contains(true));
    for (const QColor &c : std::as_const(colourWhileAdding))
        QCOMPARE(c, QColor(128, 128, 128));
    QVERIFY(f.window.ADDBtn->isEnabled());
    QCOMPARE(f.window.ADDBtn->textColor(), QColor(255, 255, 0));
    // The count stays on show after the walk.
    QCOMPARE(f.window.FilesNum->text(), QString::number(expected.size()));
    QCOMPARE(f.window.FileNameLabel->text(), expected.last());

    // A walk of a sub-folder counts from 0 again.
    f.window.setCurrentFolder(root + QStringLiteral("/sub1"));
    f.window.FileListBox1->clearSelection();
    QSignalSpy second(adder, &PlaylistTreeAdder::finished);
    QTest::mouseClick(f.window.ADDBtn, Qt::LeftButton);
    QVERIFY(second.wait(30000));
    QCOMPARE(f.window.FilesNum->text(), QStringLiteral("3"));
    QCOMPARE(f.playlist.count(), expected.size() + 3);
}

void AddFilesWindowTest::deleteMovesTheSelectedFilesToTheTrash()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    Fixture f(root);
    QVERIFY(f.exposed);
    f.click(1);
    f.click(2, Qt::ControlModifier);

    f.answer = false;
    QTest::mouseClick(f.window.Remove, Qt::LeftButton);
    QCOMPARE(f.prompts,
             QStringList{QStringLiteral("Vorlan  * Delete Files *|Move these 2 files to the trash?")});
    QVERIFY(QFile::exists(root + QStringLiteral("/a.mp3")));
    QVERIFY(QFile::exists(root + QStringLiteral("/B.MP3")));

    f.answer = true;
    f.window.FileListBox1->setFocus();
    QTest::keyClick(f.window.FileListBox1, Qt::Key_Delete);
    QCOMPARE(f.prompts.size(), 2);
    QVERIFY(!QFile::exists(root + QStringLiteral("/a.mp3")));
    QVERIFY(!QFile::exists(root + QStringLiteral("/B.MP3")));
    // In the user's trash, not gone for good; the list shows what is left; the playlist is not touched.
    const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files/");
    QVERIFY(QFile::exists(trash + QStringLiteral("a.mp3")));
    QCOMPARE(f.window.listedFiles(), (QStringList{QStringLiteral(".dotfile.mp3"), QStringLiteral("c.Mp2")}));
    QCOMPARE(f.playlist.count(), 0);
    QVERIFY(f.notices.isEmpty());

    // Nothing selected: no question at all.
    f.window.FileListBox1->clearSelection();
    QTest::mouseClick(f.window.Remove, Qt::LeftButton);
    QCOMPARE(f.prompts.size(), 2);

    // A file that cannot be moved is named in a message; the others still go.
    QStringList asked;
    f.window.setTrash([&](const QStringList &paths) {
        asked = paths;
        FileOperations::Result result;
        for (const QString &path : paths) {
            if (path.endsWith(QLatin1String(".dotfile.mp3"))) {
                result.failed << path;
                result.errors << path + QStringLiteral(": Permission denied");
            } else if (QFile::remove(path)) {
                result.done << path;
            }
        }
        return result;
    });
    f.window.FileListBox1->selectAll();
    QTest::mouseClick(f.window.Remove, Qt::LeftButton);
    QCOMPARE(f.window.listedFiles(), QStringList{QStringLiteral(".dotfile.mp3")});
    QCOMPARE(asked, (QStringList{root + QStringLiteral("/.dotfile.mp3"), root + QStringLiteral("/c.Mp2")}));
    QCOMPARE(f.notices.size(), 1);
    QVERIFY(f.notices.first().contains(root + QStringLiteral("/.dotfile.mp3: Permission denied")));
}

void AddFilesWindowTest::closingTheWindowDuringAWalkStopsIt()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeWideTree(root, 3000, 100);
    PlaylistModel playlist;
    auto *window = new AddFilesWindow(&playlist);
    window->setCurrentFolder(root);
    QSignalSpy added(window->treeAdder(), &PlaylistTreeAdder::filesAdded);
    window->ADDBtnClick();
    QVERIFY(added.wait(30000));
    QElapsedTimer clock;
    clock.start();
    delete window;
    QVERIFY(clock.elapsed() < 2000);
    const int count = playlist.count();
    QTest::qWait(100);
    QCOMPARE(playlist.count(), count);
    QVERIFY(count < 3000);
}

void AddFilesWindowTest::showRefreshesAndXCloses()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    PlaylistModel playlist;
    AddFilesWindow window(&playlist);
    window.setCurrentFolder(root);
    QVERIFY(!window.isVisible());
    QVERIFY(treefiles::put(root + QStringLiteral("/new.mp3"), treefiles::fixture()));
    window.showAndRefresh();
    QVERIFY(window.isVisible());
    QVERIFY(window.listedFiles().contains(QStringLiteral("new.mp3")));
    QTest::mouseClick(window.ExitBtn, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    // A folder that went away in between: the window falls back to the home folder.
    const QString gone = vorlantest::tempDir();
    window.setCurrentFolder(gone);
    QDir(gone).removeRecursively();
    window.showAndRefresh();
    QCOMPARE(window.Path4(), QDir::homePath());
}

void AddFilesWindowTest::backgroundDragsTheWindow()
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QSKIP("this window system moves windows itself");
    const QString root = vorlantest::tempDir();
    Fixture f(root);
    QVERIFY(f.exposed);
    QWidget *background = f.window.findChild<QWidget *>(QStringLiteral("FountainFill1"));
    QVERIFY(background);
    f.window.move(100, 100);
    const QPoint before = f.window.pos();
    const QPoint grip(4, background->height() - 4);
    QTest::mousePress(background, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(background, grip + QPoint(30, 20));
    QTest::mouseRelease(background, Qt::LeftButton, Qt::NoModifier, grip + QPoint(30, 20));
    // Offscreen the window follows the pointer itself: a window left in place is a broken drag.
    QVERIFY2(f.window.pos() != before, "the drag did not move the window");
    QCOMPARE(f.window.pos(), before + QPoint(30, 20));
}

void AddFilesWindowTest::nothingIsLookedUpBeforeTheWindowIsShown()
{
    const QString root = vorlantest::tempDir();
    treefiles::makeSmallTree(root);
    PlaylistModel playlist;
    AddFilesWindow window(&playlist);
    window.setPath4(root);
    // Built at start, the window reads no folders and starts no model until someone opens it.
    QVERIFY(!window.findChild<QFileSystemModel *>());
    QVERIFY(!window.DirectoryListBox1->model() || window.DirectoryListBox1->model()->rowCount() == 0);
    QCOMPARE(window.DriveComboBox1->count(), 0);
    QCOMPARE(window.Path4(), root);
    // Asked for its list, it has it.
    QCOMPARE(window.listedFiles().size(), 4);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.findChild<QFileSystemModel *>());
    QCOMPARE(window.DriveComboBox1->itemText(0), QStringLiteral("/"));
    QCOMPARE(window.DirectoryListBox1->currentIndex().data(QFileSystemModel::FilePathRole).toString(), root);
    QCOMPARE(window.FileListBox1->count(), 4);
}

VORLAN_TEST_CLASS(AddFilesWindowTest)
void AddFilesWindowTest::namesThatAreNotUtf8AreListedAndAdded()
{
    // A folder and a song copied from an old disk, both named in Latin-1.
    const QString root = vorlantest::tempDir();
    const QByteArray folder = QFile::encodeName(root) + "/Alt\xE9";
    const QByteArray song = folder + "/caf\xE9.mp3";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const int fd = ::open(song.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    // The folder as the tree gives it: Qt's own reading, which cannot name it.
    Fixture f(QFile::decodeName(folder));
    QVERIFY(f.exposed);
    const QString shownFolder = root + QString::fromLatin1("/Alt\xE9");
    QCOMPARE(f.window.Path4(), shownFolder);
    QCOMPARE(f.window.listedFiles(), QStringList{QString::fromLatin1("caf\xE9.mp3")});
    f.click(0);
    QTest::mouseClick(f.window.ADDBtn, Qt::LeftButton);
    QCOMPARE(playlistPaths(f.playlist), QStringList{shownFolder + QString::fromLatin1("/caf\xE9.mp3")});
    QCOMPARE(FileName::encode(playlistPaths(f.playlist).value(0)), song);
    // Dropped from a file manager, the same song arrives percent-escaped by its bytes.
    const QUrl dropped = QUrl::fromEncoded("file://" + song.toPercentEncoding("/"));
    QCOMPARE(FileName::encode(FileName::fromLocalUrl(dropped)), song);
}

#include "AddFilesWindowTest.moc"
