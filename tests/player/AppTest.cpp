#include "engine/EqualizerWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/ExePath.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "platform/SystemColors.h"
#include "platform/TWinReboot.h"
#include "player/AboutWindow.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/PreferencesWindow.h"
#include "player/Settings.h"
#include "player/SettingsApplier.h"
#include "player/TimedShutdown.h"
#include "player/VorlanApp.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"
#include "playlist/PlaylistWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "tests/TestMain.h"
#include "tests/playlist/TreeFiles.h"
#include "widgets/FlatButton.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <memory>

namespace
{

QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// The whole player in the test's process, over a home of its own making: settings that write every song to a
// WAV file, and a saved playlist of three songs. The home is the process's one ExePath, so each rig empties
// it first.
struct AppRig {
    QString home = ExePath();
    QString dir = vorlantest::tempDir();
    QString out = dir + QStringLiteral("/out");
    QString music = dir + QStringLiteral("/music");
    QStringList songs;
    std::unique_ptr<VorlanApp> app;

    explicit AppRig(const QByteArray &moreSettings = {})
    {
        QDir(home).removeRecursively();
        QDir().mkpath(home);
        QDir().mkpath(out);
        QDir().mkpath(music);
        QByteArray vln;
        for (int i = 0; i < 3; ++i) {
            const QString path = music + QStringLiteral("/song%1.mp3").arg(i + 1);
            QFile::copy(fixture("mpeg1-layer2.mp2"), path);
            songs << path;
            vln += QByteArray::number(i + 1) + "\tSong\t00:00\t" + path.toUtf8() + "\r\n";
        }
        write(home + QStringLiteral("Vorlan.vln"), vln);
        write(home + QStringLiteral("Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=2\r\nOutPutDir=" + out.toUtf8() +
                  "\r\nLoop=0\r\nAutoPlay=0\r\n" + moreSettings);
    }

    bool start(const QStringList &arguments = {})
    {
        app = std::make_unique<VorlanApp>(arguments);
        return app->startUp();
    }

    ~AppRig()
    {
        if (app)
            app->closeSequence();
    }

    MainWindow *main() const { return app->mainWindow(); }
};

} // namespace

class AppTest : public QObject
{
    Q_OBJECT

private slots:
    void aChangedSettingsValueReachesEachWindowInItsOrder()
    {
        AppRig rig;
        QVERIFY(rig.start());
        VorlanApp &app = *rig.app;
        PlaylistWindow *list = app.playlistWindow();
        AboutWindow *about = app.aboutWindow();
        SettingsApplier *applier = app.settingsApplier();
        SkinnedFace *face = app.skinnedWindow()->face();
        const QString multiKey = QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance");
        const auto multiAllowed = [&] {
            return RegistryStore().readBool(multiKey, QStringLiteral("Allow"), false);
        };
        const auto restoreRegistry =
            qScopeGuard([&] { RegistryStore().writeBool(multiKey, QStringLiteral("Allow"), false); });
        const QColor red(200, 0, 0), yellow(255, 230, 0);

        Settings s = *app.preferencesWindow()->settings();
        QVERIFY(!s.dockSide && !s.backMask && !s.autoPlay && !multiAllowed());
        s.dockSide = true;
        s.listFontName = QStringLiteral("DejaVu Serif");
        s.listFontSize = 13;
        s.alignment = 1;
        s.shutMode = TimedShutdown::AfterTime;
        s.shutTime = 7;
        s.icon1 = 4;
        s.icon2 = 9;
        s.color1 = SystemColors::toValue(red);
        s.color2 = SystemColors::toValue(yellow);
        s.backMask = true;
        s.multiInstance = true;
        s.showHints = false;
        s.autoPlay = true;

        // Each step shows its own effect and none of the later ones'.
        const auto effects = [&] {
            const bool done[] = {
                rig.main()->dockedLeft(),
                list->listFontSize() == 13 && list->alignment() == 1 &&
                    face->Title->font().family() == QStringLiteral("DejaVu Serif"),
                app.timedShutdown()->shutMode() == TimedShutdown::AfterTime &&
                    rig.main()->ExitBtn->toolTip() == QStringLiteral("Shutdown after 7 min."),
                rig.main()->trayIcon1() == 4 && rig.main()->trayIcon2() == 9,
                rig.main()->color1() == red && face->Title->textColor() == red,
                app.skinnedWindow()->isVisible(),
                multiAllowed(),
                !rig.main()->showHints() && app.controller()->autoPlay(),
            };
            QString bits;
            for (bool d : done)
                bits += d ? QLatin1Char('1') : QLatin1Char('0');
            return bits;
        };
        QCOMPARE(effects(), QStringLiteral("00000000"));
        QStringList seen;
        connect(applier, &SettingsApplier::stepApplied, this,
                [&](const QString &step) { seen << step + QLatin1Char(' ') + effects(); });
        applier->apply(s);
        QCOMPARE(seen,
                 (QStringList{"docking 10000000", "font 11000000", "shutdown 11100000", "tray 11110000",
                              "colors 11111000", "mask 11111100", "registry 11111110", "hints 11111111"}));
        // The small windows take the colours too.
        QCOMPARE(about->findChild<TFountainFill *>()->FromColor(), red);
        QCOMPARE(applier->targets()
                     .equalizer->findChild<TFountainFill *>(QStringLiteral("TitleFill"))
                     ->FromColor(),
                 red);
    }

    void hideAllWithoutATrayLeavesTheStripAtTheEdge()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        AppRig rig;
        QVERIFY(rig.start());
        MainWindow *main = rig.main();
        QVERIFY(main->isVisible());
        main->HideAll1Click();
        QVERIFY(main->isVisible());
        QVERIFY(main->isSlidOff());
        main->ShowPanelMouseMove();
        QVERIFY(main->isVisible());
        QVERIFY(!main->isSlidOff());
        QVERIFY(main->showAllAction()->isChecked());
    }

    void thePlaylistButtonSlidesADockedPlaylistUpAndDown()
    {
        AppRig rig("PlayListDock=1\r\n");
        QVERIFY(rig.start());
        PlaylistWindow *list = rig.app->playlistWindow();
        const int top = rig.main()->screenArea().top();
        rig.main()->ShowListBtnClick();
        QVERIFY(list->isVisible());
        QCOMPARE(list->y(), top);
        rig.main()->ShowListBtnClick();
        QVERIFY(list->isVisible());
        QCOMPARE(list->y(), top + 3 - rig.main()->height());
        QVERIFY(list->geometry().bottom() >= top + 2);
        rig.main()->ShowListBtnClick();
        QCOMPARE(list->y(), top);
        // A window shown again after it was closed comes down first.
        list->hide();
        list->move(list->x(), top + 3 - rig.main()->height());
        rig.main()->ShowListBtnClick();
        QVERIFY(list->isVisible());
        QCOMPARE(list->y(), top);
    }

    void copyAndMoveAskForAFolderWhereTheAddFilesWindowIsNow()
    {
        AppRig rig;
        QVERIFY(rig.start());
        QStringList asked;
        PlaylistWindow::Prompts prompts;
        prompts.chooseFolder = [&](const QString &, const QString &dir) {
            asked << dir;
            return QString();
        };
        rig.app->playlistWindow()->setPrompts(prompts);
        rig.app->playlist()->selectEntry(0);
        QVERIFY(rig.app->addFilesWindow()->setCurrentFolder(rig.out));
        rig.app->playlistWindow()->CopyselectionClick(PlaylistWindow::CopySelection);
        QVERIFY(rig.app->addFilesWindow()->setCurrentFolder(rig.music));
        rig.app->playlistWindow()->CopyselectionClick(PlaylistWindow::MoveSelection);
        QCOMPARE(asked, QStringList({rig.out, rig.music}));
    }

    void editId3WithoutAFocusedEntryKeepsTheEditorAsItWas()
    {
        AppRig rig;
        QVERIFY(rig.start());
        TagEditorWindow *editor = rig.app->tagEditor();
        editor->load(rig.songs[1]);
        QCOMPARE(editor->path(), rig.songs[1]);
        QCOMPARE(editor->MaskEdit1->text(), QStringLiteral("song2.mp3"));
        QCOMPARE(rig.app->playlist()->focusedEntry(), -1);
        rig.app->playlistWindow()->EditTagClick();
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->path(), rig.songs[1]);
        QCOMPARE(editor->MaskEdit1->text(), QStringLiteral("song2.mp3"));
        // With a focused entry, that one is loaded.
        rig.app->playlist()->selectEntry(2);
        rig.app->playlistWindow()->EditTagClick();
        QCOMPARE(editor->path(), rig.songs[2]);
    }

    void aRunningShutdownCountdownKeepsWhatIsLeftAtExit()
    {
        AppRig rig;
        QVERIFY(rig.start());
        TimedShutdown *shutdown = rig.app->timedShutdown();
        shutdown->apply(TimedShutdown::AfterTime, 5, 5);
        for (int minute = 0; minute < 3; ++minute)
            shutdown->ShutTimerTimer();
        QCOMPARE(rig.main()->ExitBtn->toolTip(), QStringLiteral("Shutdown after 3 min."));
        rig.app->closeSequence();
        QCOMPARE(ProfileFile(VorlanApp::configPath())
                     .readString(QStringLiteral("Setting"), QStringLiteral("ShutTime")),
                 QStringLiteral("2"));
    }

    void thePlayQueueIsKeptAcrossARestart()
    {
        AppRig rig;
        QVERIFY(rig.start());
        rig.app->playlist()->toggleQueued({2, 0});
        rig.app->closeSequence();
        const ProfileFile saved(VorlanApp::configPath());
        QCOMPARE(saved.readString(QStringLiteral("Queue"), QStringLiteral("Count")), QStringLiteral("2"));
        QCOMPARE(saved.readString(QStringLiteral("Queue"), QStringLiteral("1")), rig.songs[2]);
        // The next start has the same queue for the same list.
        rig.app.reset();
        QVERIFY(rig.start());
        QCOMPARE(rig.app->playlist()->queue(), QStringList({rig.songs[2], rig.songs[0]}));
        QCOMPARE(rig.app->playlist()->index(2, PlaylistModel::NumberColumn).data().toString(),
                 QStringLiteral("3 [1]"));
    }

    void aWindowClosedBeforeExitKeepsItsPlace()
    {
        // The file info window moved, then closed, then the player quits: its place is kept.
        AppRig rig;
        QVERIFY(rig.start());
        FileInfoWindow *info = rig.app->infoWindow();
        info->show();
        QVERIFY(QTest::qWaitForWindowExposed(info));
        info->move(321, 234);
        const QRect placed = info->geometry();
        info->close();
        QTRY_VERIFY(!info->isVisible());
        rig.app->closeSequence();
        const QString normPos = ProfileFile(VorlanApp::configPath())
                                    .readString(QStringLiteral("Info Position"), QStringLiteral("NormPos"));
        QCOMPARE(normPos, QStringLiteral("%1,%2,%3,%4")
                              .arg(placed.left())
                              .arg(placed.top())
                              .arg(placed.left() + placed.width())
                              .arg(placed.top() + placed.height()));
    }

    void theShutdownDecisionStartsNothingMore()
    {
        AppRig rig;
        const QString log = rig.dir + QStringLiteral("/poweroff.log");
        qputenv(TWinReboot::LogVariable, log.toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv(TWinReboot::LogVariable); });
        QVERIFY(rig.start());
        PlaybackController *controller = rig.app->controller();
        controller->setLoop(true);
        rig.app->timedShutdown()->apply(TimedShutdown::PlaylistEnds, 5, 5);
        rig.app->playlist()->setCurrentIndex(1);
        controller->next();
        QCOMPARE(controller->currentPath(), rig.songs[2]);

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 30000);
        // Loop is on, yet the first song did not start again before the power-off.
        QCOMPARE(controller->currentPath(), rig.songs[2]);
        QCOMPARE(QDir(rig.out).entryList(QDir::Files), QStringList{QStringLiteral("song3.wav")});
    }

    void theShutdownStopsTheFolderWalk()
    {
        AppRig rig;
        const QString log = rig.dir + QStringLiteral("/poweroff.log");
        qputenv(TWinReboot::LogVariable, log.toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv(TWinReboot::LogVariable); });
        QVERIFY(rig.start());
        const QString tree = vorlantest::tempDir();
        treefiles::makeWideTree(tree, 3000, 100);
        PlaylistTreeAdder *adder = rig.app->addFilesWindow()->treeAdder();
        QSignalSpy added(adder, &PlaylistTreeAdder::filesAdded);
        QSignalSpy walked(adder, &PlaylistTreeAdder::finished);
        QVERIFY(adder->start(tree));
        QVERIFY(added.wait(30000));
        // Off after the number of songs played, decided while the walk runs.
        rig.app->timedShutdown()->apply(TimedShutdown::NumberOfSongs, 5, 1);
        QVERIFY(rig.app->timedShutdown()->songEnded(0, 1, 1));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(walked.count(), 1, 10000);
        QVERIFY(walked.first().first().toInt() < 3000);
    }
};

VORLAN_TEST_CLASS(AppTest)
#include "AppTest.moc"
