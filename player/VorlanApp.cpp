#include "player/VorlanApp.h"

#include "engine/TXaudioPlayer.h"
#include "platform/ExePath.h"
#include "platform/FileTypes.h"
#include "platform/Launcher.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "platform/ScreenFit.h"
#include "platform/SessionGuard.h"
#include "platform/SingleInstance.h"
#include "platform/SystemColors.h"
#include "platform/TWinReboot.h"
#include "platform/TextFile.h"
#include "player/AboutWindow.h"
#include "player/ColorList.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/Statistics.h"
#include "player/StatisticsWindow.h"
#include "player/TimedShutdown.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "widgets/FlatButton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace
{

const QString MultiInstanceKey = QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance");
const QString AllowValue = QStringLiteral("Allow");

QColor colour(int32_t value)
{
    return SystemColors::fromValue(value);
}

// The lines of the first-run question.
QString firstRunText()
{
    const QString nbsp = QString(QChar(0x00A0));
    return QStringList{QStringLiteral("Vorlan 1.8"),
                       QString(),
                       QStringLiteral("Now Vorlan has *Animated GIF* on the mask mode."),
                       QStringLiteral("Use VorlanMasker to make your animated mask."),
                       QString(),
                       nbsp,
                       QStringLiteral("* Please read ..... Hints and Tips ...... from the about box. *"),
                       QString(45, QLatin1Char('_')),
                       QString(),
                       nbsp,
                       QStringLiteral("Do you want to make Vorlan your original MP3 player?")}
        .join(QLatin1Char('\n'));
}

} // namespace

VorlanApp::VorlanApp(const QStringList &arguments, QObject *parent) : QObject(parent), m_arguments(arguments)
{
}

VorlanApp::~VorlanApp()
{
    // Windows first: they hold the controller, which holds on to the decoder's signals.
    delete m_urlInput;
    delete m_statisticsWindow;
    delete m_addFiles;
    delete m_tagEditor;
    delete m_info;
    delete m_about;
    delete m_playlistWindow;
    delete m_main;
    delete m_controller;
    delete m_player;
}

MainWindow *VorlanApp::mainWindow() const
{
    return m_main;
}

QString VorlanApp::configPath()
{
    return ExePath() + Settings::FileName;
}

QString VorlanApp::lastPlaylistPath()
{
    return ExePath() + QStringLiteral("Vorlan.vln");
}

QString VorlanApp::statisticsPath()
{
    return ExePath() + QStringLiteral("Statistics.lst");
}

QString VorlanApp::equalizerPath()
{
    return ExePath() + QStringLiteral("Equalizer.cfg");
}

bool VorlanApp::applySingleInstance()
{
    RegistryStore registry;
    if (!registry.hasValue(MultiInstanceKey, AllowValue))
        registry.writeBool(MultiInstanceKey, AllowValue, false);
    if (registry.readBool(MultiInstanceKey, AllowValue, false))
        return true;
    m_instance = std::make_unique<SingleInstance>();
    // The lock beside the files holds even when the socket is taken or flooded.
    const SingleInstance::Claim claim =
        m_instance->claim(ExePath() + QStringLiteral("Vorlan.lock"), m_arguments.join(QLatin1Char(' ')));
    if (claim == SingleInstance::Claim::Running) {
        connect(m_instance.get(), &SingleInstance::handOverReceived, this, [this](const QString &param) {
            if (m_main) {
                if (!m_main->isVisible())
                    m_main->ShowAll1Click();
                m_main->raise();
                m_main->activateWindow();
            }
            m_controller->handOver(param);
        });
        return true;
    }
    // Another player runs on these files: it took our command line, or it could not be reached.
    m_instance.reset();
    return false;
}

bool VorlanApp::startUp()
{
    if (!applySingleInstance())
        return false;
    // The only player on these files: what a save killed halfway left behind can go.
    if (m_instance)
        TextFile::removeUnfinishedSaves(
            ExePath(), {Settings::FileName, QStringLiteral("Vorlan.vln"), QStringLiteral("Statistics.lst"),
                        QStringLiteral("Equalizer.cfg"), QStringLiteral("VoColors.mnu")});
    // Guarded from the first moment: a signal during a start-up question saves what was read so far and ends.
    m_guard = std::make_unique<SessionGuard>([this] { SaveSettings(); });
    m_guard->setQuitAction([this] { endAfterSignal(); });
    m_guard->setExitDeadline(5);
    createWindows();
    if (m_guard->hasSavedForExit())
        return false;
    wire();
    m_player->OutputModuleRegister(QStringLiteral("dsound_output_module_register@xoutput.dll"));
    m_player->SetPlayerEnvironmentInteger(QStringLiteral("OUTPUT.DIRECTSOUND.WINDOW"), int(m_main->winId()));
    m_player->SetOutputName(QStringLiteral("/dev/dsound/0"));
    LoadSettings();
    m_started = true;
    return !m_guard->hasSavedForExit();
}

void VorlanApp::createWindows()
{
    m_player = new TXaudioPlayer;
    m_playlist = new PlaylistModel(this);
    m_statistics = new Statistics(this);
    m_controller = new PlaybackController(m_player, m_playlist, m_statistics);
    m_shutdown = new TimedShutdown(this);
    m_powerOff = std::make_unique<TWinReboot>();

    // In their fixed order.
    m_main = new MainWindow(m_controller);
    m_main->setWindowTitle(QStringLiteral("Vorlan"));
    m_playlistWindow = new PlaylistWindow(m_playlist);
    m_about = new AboutWindow;
    m_info = new FileInfoWindow;
    m_tagEditor = new TagEditorWindow;
    m_addFiles = new AddFilesWindow(m_playlist);
    QString error;
    m_statisticsLoaded = true;
    if (!m_statistics->load(statisticsPath(), &error)) {
        m_statisticsUnreadable = true;
        QMessageBox::warning(nullptr, QStringLiteral("Vorlan"), error);
    }
    m_statisticsWindow = new StatisticsWindow(m_statistics, m_playlist);
    m_statisticsWindow->setStatisticsFile(statisticsPath());
    m_urlInput = new UrlInputWindow;
    m_playlistWindow->setUrlInputWindow(m_urlInput);
}

void VorlanApp::wire()
{
    connect(m_controller, &PlaybackController::streamInfoChanged, m_info, [this](const StreamInfo &s) {
        m_info->fill(s.level, s.layer, s.bitrate, s.frequency, s.mode, s.path);
    });
    connect(m_controller, &PlaybackController::lengthTextChanged, m_info, &FileInfoWindow::setLengthText);
    connect(m_controller, &PlaybackController::errorMessage, this,
            [this](const QString &text) { QMessageBox::critical(m_main, QStringLiteral("Vorlan"), text); });
    connect(m_controller, &PlaybackController::songFinished, this, [this] {
        m_shutdown->songEnded(m_playlist->CurrentIndex(), m_playlist->count(), m_playlist->PlayedCount());
    });
    connect(m_controller, &PlaybackController::randomColorsWanted, this, [this] {
        ColorList colours(ExePath() + QStringLiteral("VoColors.mnu"));
        if (colours.count() <= 1)
            return;
        int32_t c1 = 0, c2 = 0;
        if (colours.pick(int(QRandomGenerator::global()->bounded(colours.count())), &c1, &c2)) {
            m_settings.color1 = c1;
            m_settings.color2 = c2;
            applyColours();
        }
    });

    connect(m_main, &MainWindow::closeRequested, this, &VorlanApp::closeSequence);
    connect(m_main, &MainWindow::hideAllRequested, this, &VorlanApp::hideAll);
    connect(m_main, &MainWindow::showAllRequested, this, &VorlanApp::showAll);
    connect(m_main, &MainWindow::fileInfoRequested, this, [this] {
        m_info->show();
        m_info->raise();
    });
    connect(m_main, &MainWindow::aboutRequested, this, [this] {
        m_about->show();
        m_about->raise();
    });
    connect(m_main, &MainWindow::maskerRequested, this, [] { Launcher::startMasker(); });
    connect(m_main, &MainWindow::statisticsRequested, this, [this] {
        m_statisticsWindow->show();
        m_statisticsWindow->raise();
    });
    connect(m_main, &MainWindow::playlistRequested, this, [this] {
        if (!m_playlistWindow->isVisible()) {
            applyPlaylistDocking();
            m_playlistWindow->show();
        }
        m_playlistWindow->raise();
    });

    // The playlist window and its companions.
    connect(m_playlistWindow, &PlaylistWindow::playSelectedRequested, m_controller,
            &PlaybackController::playSelected);
    connect(m_playlistWindow, &PlaylistWindow::addFilesRequested, m_addFiles,
            &AddFilesWindow::showAndRefresh);
    connect(m_playlistWindow, &PlaylistWindow::entryClicked, m_tagEditor, &TagEditorWindow::load);
    connect(m_playlistWindow, &PlaylistWindow::editTagRequested, this, [this](const QString &path) {
        m_tagEditor->load(path);
        m_tagEditor->show();
        m_tagEditor->raise();
    });
    connect(m_tagEditor, &TagEditorWindow::tagChanged, m_playlist,
            [this] { m_playlist->refreshFocusedEntry(); });
    connect(m_playlistWindow, &PlaylistWindow::dockingToggleRequested, this, [this] {
        m_settings.playListDock = !m_settings.playListDock;
        applyPlaylistDocking();
    });
    connect(m_playlistWindow, &PlaylistWindow::mainWindowKeepOnTopWanted, m_main, &MainWindow::setKeepOnTop);
    connect(m_controller, &PlaybackController::songTimeTextChanged, m_playlistWindow,
            &PlaylistWindow::setSongTime);

    connect(m_shutdown, &TimedShutdown::hintChanged, this, [this](const QString &hint) {
        m_main->ExitBtn->setToolTip(hint.isEmpty() ? QStringLiteral("Close.") : hint);
    });
    connect(m_shutdown, &TimedShutdown::shutdownRequested, this, &VorlanApp::shutdownWindows,
            Qt::QueuedConnection);
}

void VorlanApp::LoadSettings()
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    ScreenMetrics metrics;
    metrics.screenWidth = screen.width();
    metrics.playListWidth = 360;
    // Until masks arrive the strip is the window beside which the playlist opens.
    metrics.maskWidth = MainWindow::StripWidth;
    bool existed = false;
    m_settings = Settings::load(configPath(), metrics, &existed);
    // A file that is there but could not be read is not a first start.
    m_firstRun = !existed && !QFileInfo::exists(configPath());
    const Settings &s = m_settings;

    applyColours();
    m_main->setNailCaption(s.nail1);
    m_shutdown->apply(TimedShutdown::Off, s.shutTime, s.shutNumSong);
    m_controller->setAnimatedTray(s.animatedTray);
    m_controller->setRandomColors(s.randomColors);
    m_main->setDockedLeft(s.dockSide);

    m_controller->setOutputModule(s.outputModule);
    m_player->SetOutputChannels(s.outputControl);
    m_player->setPriority(s.xPriority);
    m_controller->setOutputDir(s.outPutDir);

    m_main->setTrayIcons(s.icon1, s.icon2);
    m_main->setShowHints(s.showHints);
    m_controller->setAutoPlay(s.autoPlay);
    m_controller->setLoop(s.loop);
    m_controller->setRandom(s.random);
    m_controller->setTimeElapsed(s.timeElapsed);
    m_main->setOpenDirectory(s.path1);

    m_playlistWindow->resize(s.listWidth, s.listHeight);
    if (!s.playListDock)
        m_playlistWindow->move(
            ScreenFit::ontoScreens(QRect(QPoint(s.playListLeft, s.playListTop), m_playlistWindow->size()))
                .topLeft());
    m_playlistWindow->applyFont(s.listFontName, s.listFontSize, s.alignment);
    m_playlistWindow->setNailCaption(s.nail2);
    m_playlistWindow->setPath2(s.path2);
    m_playlistWindow->setPath3(s.path3);
    m_addFiles->setPath4(s.path4);
    m_playlistWindow->setAddFilesDirectory(m_addFiles->Path4());
    restorePlacement(m_info, WindowPlacement::InfoSection);
    restorePlacement(m_tagEditor, WindowPlacement::EditTagSection);
    restorePlacement(m_addFiles, WindowPlacement::AddSection);
    restorePlacement(m_statisticsWindow,
                     m_statistics->fileLoaded() ? WindowPlacement::StatisticsSection : QString());
    restorePlacement(m_about, QString());

    applyPreferences();

    m_equalizerLoaded = m_equalizer.load(equalizerPath());
    if (s.equalizer) {
        const XA_EqualizerInfo info = m_equalizer.toEqualizerInfo();
        m_player->SetCodecEqualizer(&info);
    } else {
        m_player->SetCodecEqualizer(nullptr);
    }

    m_settingsLoaded = true;
    m_equalizerUnreadable = QFileInfo::exists(equalizerPath()) && !m_equalizerLoaded;

    if (m_firstRun)
        firstRunPrompt();
    if (m_guard && m_guard->hasSavedForExit())
        return;

    m_playlistLoaded = true;
    if (m_arguments.isEmpty() && !QFile::exists(lastPlaylistPath())) {
        installDemoSongs();
        return;
    }
    m_controller->startWith(m_arguments, lastPlaylistPath());
    // A parameter that named nothing playable leaves the list empty; the saved list then stays as it was
    // until the user puts something in.
    if (!m_arguments.isEmpty() && m_playlist->count() == 0 && QFile::exists(lastPlaylistPath())) {
        m_keepLastPlaylist = true;
        connect(m_playlist, &PlaylistModel::countChanged, this, [this] { m_keepLastPlaylist = false; });
    }
}

void VorlanApp::applyColours()
{
    const QColor c1 = colour(m_settings.color1), c2 = colour(m_settings.color2);
    m_main->setColors(c1, c2);
    m_playlistWindow->applyColors(c1, c2);
    m_about->setColors(c1, c2);
    m_info->setColors(c1, c2);
    m_tagEditor->setColors(c1, c2);
    m_addFiles->setColors(c1, c2);
    m_statisticsWindow->setColors(c1, c2);
    m_urlInput->applyColors(c1, c2);
}

void VorlanApp::applyPlaylistDocking()
{
    const QScreen *screen = m_main->screen() ? m_main->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (m_settings.playListDock)
        m_main->placeAtDockEdge();
    m_playlistWindow->applyDocking(m_settings.playListDock, m_main->dockedLeft(), m_main->geometry(), area);
}

void VorlanApp::restorePlacement(QWidget *window, const QString &section) const
{
    WindowPlacement placement;
    if (!window)
        return;
    if (WindowPlacement::load(configPath(), section, &placement)) {
        window->setGeometry(ScreenFit::ontoScreens(placement.restoredGeometry(window->logicalDpiX())));
        window->setProperty("vorlanPlaced", true);
        return;
    }
    // Never placed yet: the middle of the screen, each window a little lower and to the right of the one
    // before, so they do not all pile up in a corner.
    static int cascade = 0;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->sizeHint().expandedTo(window->size());
    const QPoint offset(cascade * 24, cascade * 24);
    cascade = (cascade + 1) % 6;
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2) - QPoint(60, 60) + offset);
}

void VorlanApp::storePlacement(ProfileFile &profile, QWidget *window, const QString &section) const
{
    // Only a window that was on screen, or had a place before, has a place worth keeping.
    if (!window || !(window->isVisible() || window->property("vorlanPlaced").toBool()))
        return;
    WindowPlacement::fromGeometry(window->geometry(), false, false, window->logicalDpiX())
        .write(profile, section);
}

void VorlanApp::applyPreferences()
{
    applyPlaylistDocking();
    m_shutdown->apply(m_shutdown->shutMode(), m_settings.shutTime, m_settings.shutNumSong);
    m_playlist->setPlayedCount(0);
    // The skinned window comes with masks; until then the strip is the player's face.
    m_main->setSkinnedInUse(false);
    m_main->placeAtDockEdge();
    m_main->show();
}

void VorlanApp::firstRunPrompt()
{
    m_about->show();
    const auto answer = QMessageBox::question(nullptr, QStringLiteral("Vorlan"), firstRunText(),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        registerFileTypes();
}

void VorlanApp::registerFileTypes()
{
    FileTypes types;
    types.registerPlayerTypes(QCoreApplication::applicationFilePath(), QStringLiteral("audio-x-generic"),
                              QStringLiteral("audio-x-mpegurl"));
}

void VorlanApp::installDemoSongs()
{
    // A first start offers a few short tunes, so there is something to hear at once.
    const QString dir = ExePath() + QStringLiteral("Demo/");
    QDir().mkpath(dir);
    QStringList songs;
    for (const char *name : {"demo-1.mp3", "demo-2.mp3", "demo-3.mp3"}) {
        const QString target = dir + QLatin1String(name);
        if (!QFile::exists(target))
            QFile::copy(QStringLiteral(":/demo/") + QLatin1String(name), target);
        QFile::setPermissions(target,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        if (QFile::exists(target))
            songs << target;
    }
    if (songs.isEmpty())
        return;
    m_playlist->addFiles(songs);
    m_playlist->markListLoaded();
}

void VorlanApp::SaveSettings()
{
    // Only what was read is written back: a signal during start-up must not replace a file not yet read
    // with an empty one. Statistics that could not be read at start are not replaced by this session's
    // counts alone.
    if (m_statisticsLoaded && !m_statisticsUnreadable)
        m_statistics->save(statisticsPath());
    if (m_playlistLoaded && !m_keepLastPlaylist) {
        PlaylistFiles::setAsideDamagedVLN(lastPlaylistPath());
        PlaylistFiles::writeVLN(*m_playlist, lastPlaylistPath());
    }
    if (!m_settingsLoaded)
        return;
    if (!m_equalizerUnreadable)
        m_equalizer.save(equalizerPath());

    Settings &s = m_settings;
    s.loop = m_controller->loop();
    s.random = m_controller->random();
    s.timeElapsed = m_controller->timeElapsed();
    s.nail1 = m_main->nailCaption();
    s.dockSide = m_main->dockedLeft();
    s.path1 = m_main->openDirectory();
    s.shutTime = m_shutdown->shutTime();
    s.shutNumSong = m_shutdown->shutNumSong();
    s.outputModule = m_controller->outputModule();
    s.autoPlay = m_controller->autoPlay();
    s.listWidth = m_playlistWindow->width();
    s.listHeight = m_playlistWindow->height();
    s.listFontName = m_playlistWindow->listFontName();
    s.listFontSize = m_playlistWindow->listFontSize();
    s.alignment = m_playlistWindow->alignment();
    s.nail2 = m_playlistWindow->nailCaption();
    if (!s.playListDock) {
        s.playListLeft = m_playlistWindow->x();
        s.playListTop = m_playlistWindow->y();
    }
    s.path2 = m_playlistWindow->path2();
    if (!m_playlistWindow->path3().isEmpty())
        s.path3 = m_playlistWindow->path3();
    s.path4 = m_addFiles->Path4();

    ProfileFile profile(configPath());
    s.writeTo(profile);
    storePlacement(profile, m_info, WindowPlacement::InfoSection);
    storePlacement(profile, m_tagEditor, WindowPlacement::EditTagSection);
    storePlacement(profile, m_addFiles, WindowPlacement::AddSection);
    if (m_statistics->fileLoaded())
        storePlacement(profile, m_statisticsWindow, WindowPlacement::StatisticsSection);
    if (!profile.save())
        std::fprintf(stderr, "vorlan: cannot write %s\n", qPrintable(configPath()));
}

void VorlanApp::hideAll()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_info, m_tagEditor, m_addFiles, m_statisticsWindow})
        if (w->isVisible())
            w->setProperty("vorlanPlaced", true);
    m_main->hide();
    if (m_playlistWindow->isVisible())
        m_playlistWasVisible = true;
    m_playlistWindow->hide();
    m_about->hide();
    m_info->hide();
    m_tagEditor->hide();
    m_addFiles->hide();
    m_statisticsWindow->hide();
    m_controller->setTrackPosition(false);
    m_controller->setMetersRunning(false);
}

void VorlanApp::showAll()
{
    m_main->placeAtDockEdge();
    m_main->show();
    if (m_playlistWasVisible) {
        applyPlaylistDocking();
        m_playlistWindow->show();
        m_playlistWasVisible = false;
    }
    m_controller->setTrackPosition(true);
    if (m_controller->playerState() == 1)
        m_controller->setMetersRunning(true);
    m_main->raise();
}

void VorlanApp::stopEverything()
{
    m_controller->setTrackPosition(false);
    m_controller->setMetersRunning(false);
    m_main->removeTrayIcon();
    // The output stops before the decoder ends.
    m_player->OutputReset();
    m_player->OutputClose();
    m_player->Exit();
}

void VorlanApp::closeSequence()
{
    if (m_closing)
        return;
    m_closing = true;
    hideAll();
    if (m_guard)
        m_guard->saveForExit();
    else
        SaveSettings();
    if (m_addFiles && m_addFiles->treeAdder())
        m_addFiles->treeAdder()->stop();
    stopEverything();
    m_main->closeNow();
    // exit(), not quit(): a window that does not close must not keep the player running.
    QCoreApplication::exit(0);
}

void VorlanApp::endAfterSignal()
{
    if (m_started && m_main)
        closeSequence();
    else
        QCoreApplication::exit(0);
}

void VorlanApp::shutdownWindows()
{
    if (m_closing)
        return;
    m_closing = true;
    if (m_guard)
        m_guard->saveForExit();
    else
        SaveSettings();
    stopEverything();
    QCoreApplication::processEvents();
    if (!m_powerOff->powerOff())
        QMessageBox::warning(
            nullptr, QStringLiteral("Vorlan"),
            QStringLiteral("The computer could not be switched off: %1").arg(m_powerOff->lastError()));
    m_main->closeNow();
    QCoreApplication::quit();
}
