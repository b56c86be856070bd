#include "player/MainWindow.h"
#include "engine/TVumeter.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/Statistics.h"
#include "player/TrayIcons.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/player/FakeEngine.h"
#include "widgets/ClickLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/Gauge.h"
#include "widgets/MarginMenu.h"
#include "widgets/TFountainFill.h"

#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTest>
#include <QToolTip>
#include <QUrl>

namespace
{
const QRect Screen(0, 0, 1280, 800);

// A window over a real controller and a decoder stand-in, on a screen and with a pointer of the test's
// choosing.
struct Rig {
    vorlantest::FakeEngine engine;
    PlaylistModel playlist;
    Statistics statistics;
    PlaybackController controller{&engine, &playlist, &statistics};
    PlayerActions actions{&controller};
    MainWindow window{&controller, &actions};
    QRect area = Screen;
    QPoint cursor{640, 400};
    QString dir = vorlantest::tempDir();
    QStringList songs;

    explicit Rig(int count = 3)
    {
        window.setScreenAreaProvider([this] { return area; });
        window.setCursorProvider([this] { return cursor; });
        for (int i = 0; i < count; ++i) {
            const QString path = dir + QStringLiteral("/song%1.mp3").arg(i + 1);
            QFile::copy(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer2.mp2"), path);
            songs << path;
        }
        playlist.addFiles(songs);
        controller.setOutputModule(2);
        controller.setOutputDir(dir);
        controller.setLoop(false);
        controller.setTickInterval(5);
        window.placeAtDockEdge();
    }

    void state(PlayState s) { engine.report(s); }
    void position(quint32 offset) { emit engine.positionChanged(offset, 400); }
    void minutes(int m) { emit engine.timeChanged(m * 60, 0); }
    void release(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyRelease(&window, Qt::Key(key), mods);
    }
};

QStringList itemTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QAction *findItem(const QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions()) {
        if (a->text().section(QLatin1Char('\t'), 0, 0) == text)
            return a;
        if (a->menu())
            if (QAction *inner = findItem(a->menu(), text))
                return inner;
    }
    return nullptr;
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void stripDocksAtEitherEdge()
    {
        Rig rig;
        QCOMPARE(rig.window.geometry(), QRect(1200, 0, 80, 800));
        QVERIFY(rig.window.windowFlags().testFlag(Qt::FramelessWindowHint));
        rig.window.setDockedLeft(true);
        QCOMPARE(rig.window.geometry(), QRect(0, 0, 80, 800));
        // A panel at the top: the strip starts below it and is as tall as what is left.
        rig.area = QRect(0, 30, 1024, 738);
        rig.window.placeAtDockEdge();
        QCOMPARE(rig.window.geometry(), QRect(0, 30, 80, 738));
        rig.window.setDockedLeft(false);
        QCOMPARE(rig.window.geometry(), QRect(944, 30, 80, 738));
    }

    void slidesOffWhenThePointerLeavesAndComesBackOverTheEdge()
    {
        Rig rig;
        rig.cursor = QPoint(1230, 300); // over the strip
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1200);

        rig.cursor = QPoint(600, 300);
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1279); // one pixel column left on screen
        QVERIFY(rig.window.isSlidOff());
        QVERIFY(rig.window.staysOnTop());
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1279);

        // That column is the left edge strip; the pointer on it brings the window back.
        QCOMPARE(rig.window.ShowPanel->geometry(), QRect(0, 0, 1, 800));
        QMouseEvent move(QEvent::MouseMove, QPointF(0, 100), QPointF(1279, 100), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(rig.window.ShowPanel, &move);
        QCOMPARE(rig.window.x(), 1200);
        QVERIFY(!rig.window.staysOnTop());
        // Shown, a move over the strip changes nothing.
        QApplication::sendEvent(rig.window.Panel5, &move);
        QCOMPARE(rig.window.x(), 1200);
    }

    void meterPositionAndTimeWaitWhileTheStripIsOutOfSight()
    {
        Rig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.controller.meter()->setLeftPeak(120);
        rig.controller.meter()->setRightPeak(60);
        rig.controller.vuMeterTick();
        QCOMPARE(rig.window.PBarL1->Progress(), 120);

        rig.cursor = QPoint(600, 300);
        rig.window.HideTimerTimer();
        QVERIFY(rig.window.isSlidOff());
        // Out of sight the meters, the position and the time are not painted: they keep what they showed.
        const QString time = rig.window.PlayTime->text();
        rig.controller.meter()->setLeftPeak(150);
        rig.controller.meter()->setRightPeak(150);
        rig.controller.vuMeterTick();
        rig.controller.setTrackPosition(true);
        rig.position(300);
        rig.minutes(2);
        QCOMPARE(rig.window.PBarL1->Progress(), 120);
        QCOMPARE(rig.window.PBarR1->Progress(), 60);
        QCOMPARE(rig.window.RxSlider1->value(), 0);
        QCOMPARE(rig.window.PlayTime->text(), time);

        // Back on the screen they show the controller's levels at once.
        QMouseEvent move(QEvent::MouseMove, QPointF(0, 100), QPointF(1279, 100), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(rig.window.ShowPanel, &move);
        QVERIFY(!rig.window.isSlidOff());
        QCOMPARE(rig.window.PBarL1->Progress(), rig.controller.leftLevel());
        QCOMPARE(rig.window.PBarR1->Progress(), rig.controller.rightLevel());
        QCOMPARE(rig.controller.leftLevel(), 150);
        QCOMPARE(rig.window.RxSlider1->value(), 300);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("[02:00]"));

        // Hidden (the skinned window is the face), the same: nothing moves until the strip is shown again.
        rig.window.hide();
        rig.controller.meter()->setLeftPeak(170);
        rig.controller.vuMeterTick();
        rig.position(100);
        rig.minutes(3);
        QCOMPARE(rig.window.PBarL1->Progress(), 150);
        QCOMPARE(rig.window.RxSlider1->value(), 300);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("[02:00]"));
        rig.window.show();
        QCOMPARE(rig.window.PBarL1->Progress(), 170);
        QCOMPARE(rig.window.RxSlider1->value(), 100);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("[03:00]"));
    }

    void dockedLeftKeepsItsRightmostColumn()
    {
        Rig rig;
        rig.window.setDockedLeft(true);
        rig.cursor = QPoint(600, 300);
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), -79);
        QVERIFY(rig.window.isSlidOff());
        // The column left on screen (x = 79 in the window) belongs to the right edge strip.
        QCOMPARE(rig.window.Panel5->geometry(), QRect(77, 0, 3, 800));
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 100), QPointF(0, 100), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(rig.window.Panel5, &move);
        QCOMPARE(rig.window.x(), 0);
        QVERIFY(!rig.window.staysOnTop());
    }

    void slidOffTheStripStaysWithItsScreen()
    {
        // Two screens side by side; the offscreen platform makes them from a file given at start, so the
        // check runs in a second process of this program.
        if (QGuiApplication::screens().size() < 2) {
            QVERIFY2(qEnvironmentVariableIsEmpty("VORLAN_TWO_SCREENS"), "the platform made only one screen");
            const QString config = vorlantest::tempDir() + QStringLiteral("/screens.json");
            QFile file(config);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(R"({"screens": [{"name": "left", "x": 0, "y": 0, "width": 1280, "height": 800},
                                      {"name": "right", "x": 1280, "y": 0, "width": 1280, "height": 800}]})");
            file.close();
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
            env.insert(QStringLiteral("VORLAN_TWO_SCREENS"), QStringLiteral("1"));
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("slidOffTheStripStaysWithItsScreen")});
            QVERIFY(child.waitForFinished(60000));
            const QByteArray output = child.readAll();
            QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
            QVERIFY2(output.contains("PASS   : MainWindowTest::slidOffTheStripStaysWithItsScreen()"),
                     output.constData());
            return;
        }
        QScreen *left = QGuiApplication::screens().at(0);
        QCOMPARE(left->geometry(), QRect(0, 0, 1280, 800));
        vorlantest::FakeEngine engine;
        PlaylistModel playlist;
        PlaybackController controller(&engine, &playlist, nullptr);
        PlayerActions actions(&controller);
        MainWindow window(&controller, &actions);
        // Only the pointer is the test's; the screens are the platform's.
        window.setCursorProvider([] { return QPoint(640, 400); });
        window.setDockedLeft(false);
        window.show();
        // Shown and activated (activation docks it again) before the pointer leaves.
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.x(), 1200);
        for (int tick = 0; tick < 3; ++tick) {
            window.HideTimerTimer();
            QCoreApplication::processEvents();
            QCOMPARE(window.x(), 1279);
            QVERIFY(window.isSlidOff());
        }
        window.ShowPanelMouseMove();
        QCOMPARE(window.x(), 1200);
        // Hide All and Show All dock it to the same edge again.
        window.setTrayAvailable(true);
        window.HideTimerTimer();
        window.HideAll1Click();
        window.ShowAll1Click();
        QCOMPARE(window.geometry(), QRect(1200, 0, 80, 800));
    }

    void pinnedOrSkinnedNeverSlides()
    {
        Rig rig;
        QSignalSpy pins(&rig.window, &MainWindow::nailCaptionChanged);
        QCOMPARE(rig.window.NailBtn->text(), QStringLiteral(".."));
        QCOMPARE(rig.window.NailBtn->toolTip(), QStringLiteral("Auto Hide Button"));
        QTest::mouseClick(rig.window.NailBtn, Qt::LeftButton);
        QCOMPARE(rig.window.nailCaption(), QStringLiteral("T"));
        QCOMPARE(pins.count(), 1);
        QVERIFY(!rig.window.staysOnTop());
        rig.cursor = QPoint(10, 10);
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1200);

        QTest::mouseClick(rig.window.NailBtn, Qt::LeftButton);
        QCOMPARE(rig.window.nailCaption(), QStringLiteral(".."));
        QVERIFY(rig.window.staysOnTop());

        rig.window.setSkinnedInUse(true);
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1200);
        rig.window.setSkinnedInUse(false);
        rig.window.HideTimerTimer();
        QCOMPARE(rig.window.x(), 1279);

        // A stored caption other than ".." means pinned.
        rig.window.setNailCaption(QStringLiteral("x"));
        QCOMPARE(rig.window.nailCaption(), QStringLiteral("T"));
        QVERIFY(rig.window.hideTimerActive());
    }

    void activationDocksAndDropsStayOnTop()
    {
        Rig rig;
        rig.cursor = QPoint(0, 0);
        rig.window.HideTimerTimer();
        QVERIFY(rig.window.isSlidOff());
        rig.window.FormActivate();
        QCOMPARE(rig.window.x(), 1200);
        QVERIFY(!rig.window.staysOnTop());
    }

    void keysReachTheController()
    {
        Rig rig;
        // Play, Pause, Stop: the decoder answers each command it gets.
        rig.release(Qt::Key_X);
        QVERIFY(rig.engine.asked(QStringLiteral("play")));
        rig.release(Qt::Key_C);
        QVERIFY(rig.engine.asked(QStringLiteral("pause")));
        rig.engine.commands.clear();
        rig.release(Qt::Key_V);
        QVERIFY(rig.engine.asked(QStringLiteral("stop")));
        QVERIFY(rig.engine.commands.indexOf(QStringLiteral("output reset")) <
                rig.engine.commands.indexOf(QStringLiteral("stop")));

        // Next and Previous, by letter and by the numeric pad.
        rig.playlist.setCurrentIndex(0);
        rig.release(Qt::Key_B);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        rig.release(Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(rig.playlist.CurrentIndex(), 2);
        rig.release(Qt::Key_Z);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        rig.release(Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(rig.playlist.CurrentIndex(), 0);
        // The main keyboard's plus and minus are no keys of the player.
        rig.release(Qt::Key_Plus);
        rig.release(Qt::Key_Minus);
        QCOMPARE(rig.playlist.CurrentIndex(), 0);
        QCOMPARE(rig.controller.currentPath(), rig.songs[0]);

        // Ctrl+Q fades down to silence, Ctrl+W back up to full volume.
        rig.release(Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(rig.controller.fading());
        QTRY_COMPARE(rig.controller.volumePosition(), 100);
        QCOMPARE(rig.window.VolTrackBar->value(), 100);
        rig.release(Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(rig.controller.volumePosition(), 0);
        QCOMPARE(rig.window.VolTrackBar->value(), 0);
        // Without Ctrl, Q and W do nothing.
        rig.release(Qt::Key_Q);
        QVERIFY(!rig.controller.fading());
    }

    void keysAskForTheOtherWindows()
    {
        Rig rig;
        const QList<QPair<int, const char *>> keys{
            {Qt::Key_T, "playlist"},   {Qt::Key_E, "equalizer"},   {Qt::Key_I, "fileInfo"},
            {Qt::Key_S, "statistics"}, {Qt::Key_P, "preferences"}, {Qt::Key_N, "changeMask"},
            {Qt::Key_M, "masker"},     {Qt::Key_J, "find"},
        };
        const QHash<QString, QAction *> actions{
            {"playlist", rig.actions.playlist},       {"equalizer", rig.actions.equalizer},
            {"fileInfo", rig.actions.fileInfo},       {"statistics", rig.actions.statistics},
            {"preferences", rig.actions.preferences}, {"changeMask", rig.actions.changeMask},
            {"masker", rig.actions.masker},           {"find", rig.actions.find},
        };
        for (const auto &[key, name] : keys) {
            QSignalSpy spy(actions.value(QLatin1String(name)), &QAction::triggered);
            rig.release(key);
            QVERIFY2(spy.count() == 1, name);
            // Pressing alone does nothing: keys act when released.
            QTest::keyPress(&rig.window, Qt::Key(key));
            QVERIFY2(spy.count() == 1, name);
        }
    }

    void shiftMakesAPositionDragSeek()
    {
        Rig rig;
        rig.controller.setTrackPosition(false);
        QTest::keyPress(&rig.window, Qt::Key_Shift, Qt::ShiftModifier);
        rig.controller.positionValueChanged(200);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("[00:00]"));
        QVERIFY(rig.engine.commands.filter(QStringLiteral("seek ")).size() > 0);
        QTest::keyRelease(&rig.window, Qt::Key_Shift);
        rig.controller.positionValueChanged(100);
        QCOMPARE(rig.controller.timeText(), QStringLiteral("25 %"));
    }

    void openAsksForFilesInTheLastFolder()
    {
        Rig rig;
        rig.controller.setAutoPlay(false);
        rig.window.setOpenDirectory(QStringLiteral("/music"));
        QString askedIn;
        QStringList answer;
        rig.window.setFileChooser([&](QWidget *, const QString &dir) {
            askedIn = dir;
            return answer;
        });
        QSignalSpy folders(&rig.window, &MainWindow::openDirectoryChanged);
        // Cancel changes nothing.
        rig.release(Qt::Key_L);
        QCOMPARE(askedIn, QStringLiteral("/music"));
        QCOMPARE(rig.playlist.count(), 3);

        answer = QStringList{rig.songs[2], rig.songs[0]};
        QTest::mouseClick(rig.window.OpenBtn, Qt::LeftButton);
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.entryPath(0), rig.songs[2]);
        QCOMPARE(folders.count(), 1);
        QCOMPARE(rig.window.openDirectory(), rig.dir);
    }

    void buttonsReachTheController()
    {
        Rig rig;
        QTest::mouseClick(rig.window.PlayBtn, Qt::LeftButton);
        QVERIFY(rig.engine.asked(QStringLiteral("play")));

        rig.playlist.setCurrentIndex(0);
        QTest::mouseClick(rig.window.NextBtn, Qt::LeftButton);
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        QTest::mouseClick(rig.window.PrevBtn, Qt::LeftButton);
        QCOMPARE(rig.playlist.CurrentIndex(), 0);

        // The buttons the decoder's state allows.
        rig.state(PlayState::Playing);
        QVERIFY(rig.window.PlayBtn->isHidden());
        QVERIFY(!rig.window.PauseBtn->isHidden());
        QVERIFY(!rig.window.StopBtn->isHidden());
        QVERIFY(rig.window.RxSlider1->isEnabled());
        rig.engine.commands.clear();
        QTest::mouseClick(rig.window.PauseBtn, Qt::LeftButton);
        QVERIFY(rig.engine.asked(QStringLiteral("pause")));
        QTest::mouseClick(rig.window.StopBtn, Qt::LeftButton);
        QVERIFY(rig.engine.asked(QStringLiteral("stop")));
        rig.state(PlayState::Paused);
        QVERIFY(!rig.window.PlayBtn->isHidden());
        QVERIFY(rig.window.PauseBtn->isHidden());
        QVERIFY(!rig.window.StopBtn->isHidden());
        rig.state(PlayState::Stopped);
        QVERIFY(!rig.window.PlayBtn->isHidden());
        QVERIFY(rig.window.StopBtn->isHidden());
        QVERIFY(!rig.window.RxSlider1->isEnabled());

        // Loop and Random, with their hints.
        QVERIFY(!rig.window.LED1->isChecked());
        QCOMPARE(rig.window.LED1->toolTip(), QStringLiteral("Loop : Off"));
        QTest::mouseClick(rig.window.LED1, Qt::LeftButton);
        QVERIFY(rig.controller.loop());
        QVERIFY(rig.window.LED1->isChecked());
        QCOMPARE(rig.window.LED1->toolTip(), QStringLiteral("Loop : On"));
        QTest::mouseClick(rig.window.LED2, Qt::LeftButton);
        QVERIFY(rig.controller.random());
        QCOMPARE(rig.window.LED2->toolTip(), QStringLiteral("Random : On"));
        QTest::mouseClick(rig.window.LED2, Qt::LeftButton);
        QVERIFY(!rig.controller.random());
        QVERIFY(!rig.window.LED2->isChecked());
        QCOMPARE(rig.window.LED2->toolTip(), QStringLiteral("Random : Off"));

        QSignalSpy info(rig.actions.fileInfo, &QAction::triggered);
        QSignalSpy list(rig.actions.playlist, &QAction::triggered);
        QSignalSpy close(rig.actions.exit, &QAction::triggered);
        QTest::mouseClick(rig.window.InfoBtn, Qt::LeftButton);
        QTest::mouseClick(rig.window.ShowListBtn, Qt::LeftButton);
        QTest::mouseClick(rig.window.ExitBtn, Qt::LeftButton);
        QCOMPARE(info.count(), 1);
        QCOMPARE(list.count(), 1);
        QCOMPARE(close.count(), 1);
        QCOMPARE(rig.window.ShowListBtn->text(), QStringLiteral("T"));
        QCOMPARE(rig.window.ShowListBtn->toolTip(), QStringLiteral("Play List"));
        QCOMPARE(rig.window.ExitBtn->text(), QStringLiteral("X"));
        QCOMPARE(rig.window.ExitBtn->toolTip(), QStringLiteral("Close."));
    }

    void slidersAndTimeLabel()
    {
        Rig rig;
        rig.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QCOMPARE(rig.window.RxSlider1->maximum(), 400);
        QVERIFY(!rig.window.RxSlider1->isEnabled());
        QCOMPARE(rig.window.VolTrackBar->orientation(), Qt::Vertical);
        QVERIFY(rig.window.VolTrackBar->invertedAppearance()); // full volume at the top
        QCOMPARE(rig.window.PBarL1->MaxValue(), 180);

        rig.window.VolTrackBar->setValue(30);
        QCOMPARE(rig.controller.volumePosition(), 30);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("70% V"));
        rig.window.BalTrack->setValue(45);
        QCOMPARE(rig.window.BalTrack->value(), 50);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("Center"));
        rig.window.BalTrack->setValue(80);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("60% R"));
        // Dragged near the middle: the knob stays under the hand, and snaps to the middle once let go.
        QSlider *balance = rig.window.BalTrack;
        balance->setSliderDown(true);
        balance->setSliderPosition(45);
        QCOMPARE(rig.controller.balancePosition(), 50);
        QCOMPARE(balance->value(), 45);
        balance->setSliderDown(false);
        QCOMPARE(balance->value(), 50);
        QCOMPARE(rig.controller.balancePosition(), 50);

        // Dragging the position: a press fades down, a move shows the percentage, the release seeks.
        rig.state(PlayState::Playing);
        QSlider *position = rig.window.RxSlider1;
        position->setSliderDown(true);
        QVERIFY(rig.controller.fading());
        QVERIFY(!rig.controller.trackPosition());
        position->setSliderPosition(200);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("50 %"));
        // The song's position does not pull the slider away from the user.
        rig.position(10);
        QCOMPARE(position->value(), 200);
        rig.engine.commands.clear();
        position->setSliderDown(false);
        QVERIFY(rig.controller.trackPosition());
        QVERIFY(rig.engine.commands.filter(QStringLiteral("seek ")).size() > 0);
        rig.position(300);
        // While playing, the thumb moves with the meters' next beat.
        QTRY_COMPARE(position->value(), 300);

        // Time display, and a click on it flips elapsed and remaining.
        emit rig.engine.durationChanged(3903);
        QCOMPARE(rig.window.InfoBtn->toolTip(), QStringLiteral("Length: [05:03]"));
        rig.minutes(2);
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("[02:00]"));
        QTest::mouseClick(rig.window.PlayTime, Qt::LeftButton);
        QVERIFY(!rig.controller.timeElapsed());
        QCOMPARE(rig.window.PlayTime->text(), QStringLiteral("- 03:03"));
        QVERIFY(rig.window.remainingAction()->isChecked());
        QVERIFY(!rig.window.elapsedAction()->isChecked());

        // The meters follow the controller.
        rig.controller.meter()->setLeftPeak(120);
        rig.controller.meter()->setRightPeak(60);
        rig.controller.vuMeterTick();
        QCOMPARE(rig.window.PBarL1->Progress(), rig.controller.leftLevel());
        QCOMPARE(rig.window.PBarR1->Progress(), rig.controller.rightLevel());
    }

    void popupMenuItemsInOrder()
    {
        Rig rig;
        const MarginMenu *menu = rig.window.popupMenu();
        QCOMPARE(menu->marginWidth(), 22);
        QCOMPARE(menu->marginText(), QStringLiteral("Vorlan 1.8"));
        QCOMPARE(menu->marginFont().family(), QStringLiteral("Courier New"));
        QVERIFY(menu->marginFont().bold());
        QCOMPARE(menu->marginFont().pointSize(), 16);
        const QStringList top{
            QStringLiteral("&Vorlan"),
            QStringLiteral("-"),
            QStringLiteral("&Open File(s)...\tL"),
            QStringLiteral("&Playlist...\tT"),
            QStringLiteral("&Equalizer...\tE"),
            QStringLiteral("Show File &Info...\tI"),
            QStringLiteral("&Statistics...\tS"),
            QStringLiteral("-"),
            QStringLiteral("Playback"),
            QStringLiteral("Fade Out\tCtrl+W"),
            QStringLiteral("Fade In\tCtrl+Q"),
            QStringLiteral("-"),
            QStringLiteral("Hide All\tF11"),
            QStringLiteral("Show All\tF12"),
            QStringLiteral("-"),
            QStringLiteral("Options"),
            QStringLiteral("-"),
            QStringLiteral("E&xit"),
        };
        QCOMPARE(itemTexts(menu), top);
        const QMenu *playback = findItem(menu, QStringLiteral("Playback"))->menu();
        QCOMPARE(itemTexts(playback), (QStringList{QStringLiteral("P&revious\tZ"), QStringLiteral("P&lay\tX"),
                                                   QStringLiteral("P&ause\tC"), QStringLiteral("S&top\tV"),
                                                   QStringLiteral("&Next\tB")}));
        const QMenu *options = findItem(menu, QStringLiteral("Options"))->menu();
        QCOMPARE(itemTexts(options),
                 (QStringList{QStringLiteral("Pre&ference...\tP"), QStringLiteral("-"),
                              QStringLiteral("Show Time Elapsed"), QStringLiteral("Show Time Remaining"),
                              QStringLiteral("-"), QStringLiteral("Change &Mask...\tN"),
                              QStringLiteral("Vorlan Mas&ker ...\tM")}));
        QVERIFY(rig.window.showAllAction()->isChecked());
        QVERIFY(!rig.window.hideAllAction()->isChecked());
        QVERIFY(rig.window.elapsedAction()->isChecked());
        QVERIFY(!rig.window.remainingAction()->isChecked());

        // The README gives the fades the menu's keys.
        QFile readme(QStringLiteral(VORLAN_FIXTURES "/../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString guide = QString::fromUtf8(readme.readAll()).simplified();
        for (const QString &item : top) {
            if (!item.startsWith(QStringLiteral("Fade ")))
                continue;
            const QString key = item.section('\t', 1), name = item.section('\t', 0, 0);
            QVERIFY2(guide.contains(key + QStringLiteral(" \"") + name + '"'), qPrintable(item));
        }
    }

    void popupMenuItemsAct()
    {
        Rig rig;
        const MarginMenu *menu = rig.window.popupMenu();
        QSignalSpy about(rig.actions.about, &QAction::triggered);
        QSignalSpy close(rig.actions.exit, &QAction::triggered);
        QSignalSpy masker(rig.actions.masker, &QAction::triggered);
        findItem(menu, QStringLiteral("&Vorlan"))->trigger();
        findItem(menu, QStringLiteral("E&xit"))->trigger();
        findItem(menu, QStringLiteral("Vorlan Mas&ker ..."))->trigger();
        QCOMPARE(about.count(), 1);
        QCOMPARE(close.count(), 1);
        QCOMPARE(masker.count(), 1);

        rig.playlist.setCurrentIndex(0);
        findItem(menu, QStringLiteral("&Next"))->trigger();
        QCOMPARE(rig.playlist.CurrentIndex(), 1);
        findItem(menu, QStringLiteral("Fade In"))->trigger();
        QTRY_COMPARE(rig.controller.volumePosition(), 100);
        findItem(menu, QStringLiteral("Fade Out"))->trigger();
        QTRY_COMPARE(rig.controller.volumePosition(), 0);

        findItem(menu, QStringLiteral("Show Time Remaining"))->trigger();
        QVERIFY(!rig.controller.timeElapsed());
        QVERIFY(rig.window.remainingAction()->isChecked());
        QVERIFY(!rig.window.elapsedAction()->isChecked());
        findItem(menu, QStringLiteral("Show Time Elapsed"))->trigger();
        QVERIFY(rig.controller.timeElapsed());
        QVERIFY(rig.window.elapsedAction()->isChecked());

        // The menu follows a time display changed elsewhere when it opens.
        rig.controller.setTimeElapsed(false);
        emit rig.window.popupMenu()->aboutToShow();
        QVERIFY(rig.window.remainingAction()->isChecked());
    }

    void hideAllAndShowAll()
    {
        Rig rig;
        rig.window.setTrayAvailable(true);
        rig.window.show();
        QSignalSpy hidden(&rig.window, &MainWindow::hideAllRequested);
        QSignalSpy shown(&rig.window, &MainWindow::showAllRequested);
        rig.controller.setTrackPosition(true);
        rig.release(Qt::Key_F11);
        QVERIFY(!rig.window.isVisible());
        QCOMPARE(hidden.count(), 1);
        QVERIFY(rig.window.hideAllAction()->isChecked());
        QVERIFY(!rig.window.showAllAction()->isChecked());
        QVERIFY(!rig.controller.trackPosition());
        QVERIFY(!rig.window.hideTimerActive());

        rig.window.move(500, 0);
        rig.window.ShowAll1Click();
        QVERIFY(rig.window.isVisible());
        QCOMPARE(rig.window.x(), 1200);
        QCOMPARE(shown.count(), 1);
        QVERIFY(rig.window.showAllAction()->isChecked());
        QVERIFY(!rig.window.hideAllAction()->isChecked());
        QVERIFY(rig.controller.trackPosition());
        QVERIFY(rig.window.hideTimerActive());

        // The tray's double click toggles between the two.
        rig.window.TrayIconDblClick();
        QVERIFY(!rig.window.isVisible());
        rig.window.TrayIconDblClick();
        QVERIFY(rig.window.isVisible());

        // Without a tray nothing could bring a hidden player back: the strip slides off and stays reachable.
        rig.window.setTrayAvailable(false);
        rig.release(Qt::Key_F11);
        QVERIFY(rig.window.isVisible());
        QVERIFY(rig.window.isSlidOff());
        QVERIFY(rig.window.staysOnTop());
        QVERIFY(rig.window.hideAllAction()->isChecked());
        QVERIFY(!rig.controller.trackPosition());
        // The pointer at the edge brings back everything Hide All put away.
        rig.window.ShowPanelMouseMove();
        QVERIFY(!rig.window.isSlidOff());
        QCOMPARE(shown.count(), 3);
        QVERIFY(rig.window.showAllAction()->isChecked());
        QVERIFY(rig.controller.trackPosition());
        QVERIFY(rig.window.hideTimerActive());
    }

    void skinnedWindowTakesOver()
    {
        Rig rig;
        rig.window.show();
        QSignalSpy wanted(&rig.window, &MainWindow::skinnedWindowRequested);
        QTest::mouseDClick(rig.window.FountainFill1, Qt::LeftButton, {}, QPoint(40, 600));
        QCOMPARE(wanted.count(), 1);
        // Until the application has a skinned window to show, the strip stays.
        QVERIFY(rig.window.isVisible());
        rig.window.enterSkinnedMode();
        QVERIFY(!rig.window.isVisible());
        QVERIFY(!rig.window.hideTimerActive());
        QVERIFY(rig.window.skinnedInUse());
        // Show All then shows the skinned window, not the strip.
        rig.window.ShowAll1Click();
        QVERIFY(!rig.window.isVisible());
    }

    void closingIsTheApplicationsCall()
    {
        Rig rig;
        rig.window.show();
        QSignalSpy asked(&rig.window, &MainWindow::closeRequested);
        QVERIFY(!rig.window.close());
        QCOMPARE(asked.count(), 1);
        QVERIFY(rig.window.isVisible());
        rig.window.closeNow();
        QVERIFY(!rig.window.isVisible());
    }

    void droppedFilesReplaceThePlaylist()
    {
        Rig rig;
        const QString other = rig.dir + QStringLiteral("/dropped.mp3");
        QFile::copy(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3.mp3"), other);
        // A name longer than 253 characters is no reason to lose it.
        const QString deep = rig.dir + QLatin1Char('/') + QString(120, QLatin1Char('d')) + QLatin1Char('/') +
                             QString(120, QLatin1Char('e'));
        QDir().mkpath(deep);
        const QString longName = deep + QStringLiteral("/long.mp3");
        QFile::copy(QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3.mp3"), longName);
        QVERIFY(longName.size() > 253);

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(rig.dir + QStringLiteral("/notes.txt")),
                      QUrl::fromLocalFile(longName)});
        QDragEnterEvent enter(QPoint(40, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(40, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &drop);
        QCOMPARE(rig.playlist.count(), 2);
        QCOMPARE(rig.playlist.entryPath(1), longName);
        // Playback starts with the first entry.
        QCOMPARE(rig.playlist.CurrentIndex(), 0);
        QCOMPARE(rig.controller.currentPath(), other);

        // Something that is no file is refused.
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent refused(QPoint(40, 300), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&rig.window, &refused);
        QVERIFY(!refused.isAccepted());
    }

    void playlistEntriesDroppedPlayTheSelection()
    {
        Rig rig;
        rig.playlist.setFocusedEntry(2);
        QMimeData mime;
        mime.setData(MainWindow::PlaylistEntriesMimeType, QByteArray("2"));
        QDragEnterEvent enter(QPoint(40, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(40, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &drop);
        QCOMPARE(rig.playlist.CurrentIndex(), 2);
        QCOMPARE(rig.controller.currentPath(), rig.songs[2]);
    }

    void worksWithoutASystemTray()
    {
        Rig rig;
        // Under the test platform there is no tray; the icon is kept but never shown.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QVERIFY(!rig.window.trayIcon()->isVisible());
        QCOMPARE(rig.window.trayToolTip(), QStringLiteral("Vorlan Version 1.8"));
        QCOMPARE(rig.window.trayIcon()->contextMenu(), rig.window.popupMenu());
        rig.window.show();
        rig.window.TrayIconClick();
        QVERIFY(rig.window.isVisible());
        rig.window.removeTrayIcon();
        QVERIFY(!rig.window.trayIcon()->isVisible());
    }

    void trayIconBlinksWhilePlaying()
    {
        Rig rig;
        QVERIFY(TrayIcons::count() >= 21);
        rig.window.setTrayIcons(4, 7);
        QCOMPARE(rig.window.trayIconShown(), 4);
        rig.controller.setAnimatedTray(true);
        rig.state(PlayState::Playing);
        QVERIFY(rig.window.trayAnimating());
        QTRY_COMPARE_WITH_TIMEOUT(rig.window.trayIconShown(), 7, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.window.trayIconShown(), 4, 2000);
        rig.state(PlayState::Paused);
        QVERIFY(!rig.window.trayAnimating());
        QCOMPARE(rig.window.trayIconShown(), 4);

        // Stream info: the song's name becomes the hint of the tray and of the time.
        rig.controller.playFile(rig.songs[1]);
        emit rig.engine.streamInfoChanged(StreamInfo{1, 2, 0, 0, 0, QString(), QString(), 0, 0});
        QVERIFY(rig.window.trayToolTip().contains(QStringLiteral("song2")));
        QCOMPARE(rig.window.PlayTime->toolTip(), rig.window.trayToolTip());

        // Numbers outside the set fall back to the first icon.
        rig.window.setTrayIcons(0, 999);
        QCOMPARE(rig.window.trayIcon1(), 1);
        QCOMPARE(rig.window.trayIcon2(), 1);
    }

    void trayIconsAreDistinct()
    {
        QSet<QByteArray> pictures;
        for (int i = 1; i <= TrayIcons::count(); ++i) {
            const QImage image = TrayIcons::pixmap(i, 32).toImage();
            QVERIFY(!image.isNull());
            pictures << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
        }
        QCOMPARE(pictures.size(), TrayIcons::count());
    }

    void hintsCanBeSwitchedOff()
    {
        Rig rig;
        rig.window.show();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), rig.window.ExitBtn->mapToGlobal(QPoint(2, 2)));
        rig.window.setShowHints(false);
        QApplication::sendEvent(rig.window.ExitBtn, &help);
        QVERIFY(QToolTip::text().isEmpty());
        rig.window.setShowHints(true);
        QApplication::sendEvent(rig.window.ExitBtn, &help);
        QCOMPARE(QToolTip::text(), QStringLiteral("Close."));
        QToolTip::hideText();
    }

    void coloursPaintTheStripAndTheMenuMargin()
    {
        Rig rig;
        rig.window.setColors(QColor(200, 100, 40), QColor(10, 20, 30));
        QCOMPARE(rig.window.FountainFill1->FromColor(), QColor(200, 100, 40));
        QCOMPARE(rig.window.FountainFill1->ToColor(), QColor(10, 20, 30));
        QCOMPARE(rig.window.popupMenu()->marginFromColor(), QColor(200, 100, 40));
        QCOMPARE(rig.window.popupMenu()->marginToColor(), QColor(50, 25, 10));
        QCOMPARE(rig.window.popupMenu()->marginTextColor(), QColor(10, 20, 30));
        // Captions stay readable on a light gradient.
        rig.window.setColors(QColor(250, 250, 250), QColor(240, 240, 240));
        QVERIFY(qGray(rig.window.ExitBtn->textColor().rgb()) < 100);
    }
};

VORLAN_TEST_CLASS(MainWindowTest)
#include "MainWindowTest.moc"
