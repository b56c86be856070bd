#include "player/VorlanApp.h"

#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"
#include "engine/XaudioEngine.h"
#include "masks/ClassicSkinModule.h"
#include "masks/SampleMasks.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
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
#include "player/FileAssociations.h"
#include "player/MainWindow.h"
#include "player/MediaOpener.h"
#include "player/MprisService.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/PreferencesWindow.h"
#include "player/SettingsApplier.h"
#include "player/Statistics.h"
#include "player/StatisticsWindow.h"
#include "player/TimedShutdown.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/FindWindow.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistTreeAdder.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "widgets/FlatButton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QSlider>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace
{

const QString QueueSection = QStringLiteral("Queue");

const QString MultiInstanceKey = QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance");
const QString AllowValue = QStringLiteral("Allow");

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

VorlanApp::VorlanApp(const QStringList &arguments, QObject *parent) : QObject(parent)
{
    if (!arguments.isEmpty())
        m_arguments << MediaOpener::commandLinePath(arguments, QDir::currentPath());
}

VorlanApp::~VorlanApp()
{
    // Windows first: they hold the controller, which holds on to the decoder's signals.
    delete m_prefs;
    delete m_urlInput;
    delete m_equalizerWindow;
    delete m_statisticsWindow;
    delete m_addFiles;
    delete m_tagEditor;
    delete m_info;
    delete m_about;
    delete m_playlistWindow;
    delete m_skinned;
    delete m_main;
    delete m_mpris;
    delete m_controller;
    delete m_player;
}

MainWindow *VorlanApp::mainWindow() const
{
    return m_main;
}

SkinnedWindow *VorlanApp::skinnedWindow() const
{
    return m_skinned;
}

PreferencesWindow *VorlanApp::preferencesWindow() const
{
    return m_prefs;
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
                    m_actions->showAll->trigger();
                m_main->raise();
                m_main->activateWindow();
            }
            m_controller->opener()->handOver(param);
        });
        return true;
    }
    // Another player runs on these files: it took our command line, or it could not be reached.
    if (claim == SingleInstance::Claim::Refused) {
        const qint64 pid = m_instance->lockHolderPid();
        const QString lock = QDir::toNativeSeparators(ExePath() + QStringLiteral("Vorlan.lock"));
        QMessageBox::critical(
            nullptr, QStringLiteral("Vorlan"),
            QStringLiteral("Another Vorlan%1 runs on these files but does not answer, so a second one is "
                           "not started.\n\nIf no other Vorlan is running, delete the file \"%2\" and "
                           "start Vorlan again.")
                .arg(pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString(), lock));
    }
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
    if (m_guard->hasSavedForExit())
        return false;
    startMediaRemote();
    return true;
}

void VorlanApp::startMediaRemote()
{
    m_mpris = new MprisService(m_controller, m_playlist, this);
    connect(m_mpris, &MprisService::raiseRequested, this, [this] {
        if (!m_main->isVisible() && !m_skinned->isVisible())
            m_actions->showAll->trigger();
        QWidget *face = m_settings.backMask ? static_cast<QWidget *>(m_skinned) : m_main;
        face->showNormal();
        face->raise();
        face->activateWindow();
    });
    connect(m_mpris, &MprisService::quitRequested, this, &VorlanApp::closeSequence);
    m_mpris->start();
}

void VorlanApp::createWindows()
{
    // The decoder component knows no windows; in the player its complaints are message boxes.
    TXaudioPlayer::setMessageSink(
        [](const QString &text) { QMessageBox::critical(nullptr, QStringLiteral("Vorlan"), text); });
    m_player = new TXaudioPlayer;
    m_playlist = new PlaylistModel(this);
    m_statistics = new Statistics(this);
    m_controller = new PlaybackController(new XaudioEngine(m_player, m_player), m_playlist, m_statistics);
    m_actions = new PlayerActions(m_controller, this);
    m_shutdown = new TimedShutdown(this);
    m_powerOff = std::make_unique<TWinReboot>();

    // Statistics that cannot be read are the first thing the user hears of.
    QString error;
    m_statisticsLoaded = true;
    if (!m_statistics->load(statisticsPath(), &error)) {
        m_statisticsUnreadable = true;
        QMessageBox::warning(nullptr, QStringLiteral("Vorlan"), error);
    }
    // Then the mask loader comes up at once, and the other windows are built while it is on screen.
    m_skinned = new SkinnedWindow;
    if (!m_guard || !m_guard->hasSavedForExit())
        m_skinned->showLoader();
    m_main = new MainWindow(m_controller, m_actions);
    m_main->setWindowTitle(QStringLiteral("Vorlan"));
    m_equalizerWindow = new EqualizerWindow(m_player);
    EqualizerWindow::installPresets(ExePath() + EqualizerSettings::PresetDir);
    m_equalizerWindow->setPresetFolder(ExePath() + EqualizerSettings::PresetDir);
    m_equalizerWindow->setNamePrompt(
        [this](const QString &label, const QValidator *validator, int maxLength) {
            return urlInputWindow()->ask(label, QString(), validator, maxLength);
        });
    m_prefs = new PreferencesWindow(&m_settings);
    m_prefs->setColorListPath(ExePath() + ColorList::FileName);
    m_prefs->setMaskDirectory(ExePath() + QStringLiteral("Masks"));
}

void VorlanApp::wire()
{
    // Kept for the info window, which may be made later.
    connect(m_controller, &PlaybackController::streamInfoChanged, this, [this](const StreamInfo &s) {
        m_streamInfo = std::make_unique<StreamInfo>(s);
        fillInfoWindow();
    });
    connect(m_controller, &PlaybackController::lengthTextChanged, this, [this](const QString &text) {
        m_lengthText = text;
        if (m_info)
            m_info->setLengthText(text);
    });
    connect(m_controller, &PlaybackController::errorMessage, this,
            [this](const QString &text) { QMessageBox::critical(m_main, QStringLiteral("Vorlan"), text); });
    connect(m_controller, &PlaybackController::songFinished, this, [this] {
        m_shutdown->songEnded(m_playlist->CurrentIndex(), m_playlist->count(), m_playlist->PlayedCount());
    });
    connect(m_controller, &PlaybackController::randomColorsWanted, m_prefs,
            &PreferencesWindow::pickRandomBestColor);
    wirePreferences();

    connect(m_main, &MainWindow::closeRequested, this, &VorlanApp::closeSequence);
    connect(m_main, &MainWindow::hideAllRequested, this, &VorlanApp::hideAll);
    connect(m_main, &MainWindow::showAllRequested, this, &VorlanApp::showAll);
    wireActions();
    connect(m_main, &MainWindow::skinnedWindowRequested, this, [this] {
        m_settings.backMask = true;
        m_prefs->setUseMask(true);
        m_main->enterSkinnedMode();
        showSkinnedWindow();
    });
    wireSkinnedWindow();

    // The playlist window and its companions.
    // Kept for the playlist window, which is made when first wanted.
    connect(m_controller, &PlaybackController::songTimeTextChanged, this,
            [this](const QString &text) { m_songTimeText = text; });
    connect(m_playlist, &PlaylistModel::selectedTimeChanged, this,
            [this](const QString &text) { m_songTimeText = text; });

    connect(m_shutdown, &TimedShutdown::hintChanged, this, [this](const QString &hint) {
        m_main->ExitBtn->setToolTip(hint.isEmpty() ? QStringLiteral("Close.") : hint);
        m_skinned->face()->setExitHint(hint.isEmpty() ? QStringLiteral("Close.") : hint);
    });
    // Decided: the song that just ended must not be followed by the next before the power-off.
    connect(m_shutdown, &TimedShutdown::shutdownRequested, m_controller, &PlaybackController::stopForGood);
    connect(m_shutdown, &TimedShutdown::shutdownRequested, this, &VorlanApp::shutdownWindows,
            Qt::QueuedConnection);
}

void VorlanApp::LoadSettings()
{
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    // The mask comes first: the skinned window's size gives the default places of it and the playlist.
    loadStartMask();
    ScreenMetrics metrics;
    metrics.screenWidth = screen.width();
    metrics.playListWidth =
        ProfileFile(configPath()).readInteger(Settings::SectionName, QStringLiteral("ListWidth"), 360);
    metrics.maskWidth = m_skinned->width();
    bool existed = false;
    m_settings = Settings::load(configPath(), metrics, &existed);
    m_settings.multiInstance = RegistryStore().readBool(MultiInstanceKey, AllowValue, false);
    // A file that is there but could not be read is not a first start.
    m_firstRun = !existed && !QFileInfo::exists(configPath());
    const Settings &s = m_settings;

    m_prefs->loadSettings();
    m_main->setNailCaption(s.nail1);
    m_skinned->move(s.maskLeft, s.maskTop);
    m_shutdown->apply(TimedShutdown::Off, s.shutTime, s.shutNumSong);
    m_controller->setAnimatedTray(s.animatedTray);
    m_controller->setRandomColors(s.randomColors);
    m_main->setDockedLeft(s.dockSide);

    m_controller->setOutputModule(s.outputModule);
    m_player->SetOutputChannels(s.outputControl);
    m_player->setPriority(s.xPriority);
    m_controller->setOutputDir(s.outPutDir);
    m_controller->setReplayGain(s.replayGain);

    m_main->setTrayIcons(s.icon1, s.icon2);
    m_main->setShowHints(s.showHints);
    m_skinned->face()->setShowHints(s.showHints);
    m_skinned->face()->setGifAnimationAllowed(s.animatedGif);
    m_skinned->setOnTopCaption(s.nail3);
    m_controller->setAutoPlay(s.autoPlay);
    m_controller->setLoop(s.loop);
    m_controller->setRandom(s.random);
    m_controller->setTimeElapsed(s.timeElapsed);
    m_main->setOpenDirectory(s.path1);
    // The skin shows what the strip shows from the first moment.
    SkinnedFace *face = m_skinned->face();
    face->setVolumePosition(m_controller->volumePosition());
    face->setBalancePosition(m_controller->balancePosition());
    face->setLoopRandom(m_controller->loop(), m_controller->random());
    face->setTimeText(m_controller->timeText());

    reserveCascadeSlots();
    restorePlacement(m_equalizerWindow, WindowPlacement::EqualizerSection,
                     m_cascadeSlots.value(WindowPlacement::EqualizerSection, -1));
    restorePlacement(m_prefs, WindowPlacement::ConfigSection,
                     m_cascadeSlots.value(WindowPlacement::ConfigSection, -1));
    m_equalizerWindow->setEqualizerOn(s.equalizer);
    m_equalizerWindow->setPitchEnabled(s.outputModule == 0);

    applyPreferences();

    m_equalizerLoaded = m_equalizerWindow->Load(equalizerPath());

    m_settingsLoaded = true;
    m_equalizerUnreadable = QFileInfo::exists(equalizerPath()) && !m_equalizerLoaded;

    if (m_firstRun)
        firstRunPrompt();
    if (m_guard && m_guard->hasSavedForExit())
        return;

    m_playlistLoaded = true;
    // A classic skin named at start is worn; the list is then what a start without parameters gets.
    if (m_arguments.size() == 1 && ClassicSkinModule::isClassicSkin(m_arguments.first()))
        wearMask(m_arguments.takeFirst());
    if (m_arguments.isEmpty() && !QFile::exists(lastPlaylistPath())) {
        installDemoSongs();
        return;
    }
    TextFile::ReadStatus listStatus = TextFile::ReadStatus::Missing;
    m_controller->opener()->startWith(m_arguments, lastPlaylistPath(), &listStatus);
    // The play queue of the last session, for the list it was made in.
    if (m_arguments.isEmpty()) {
        const ProfileFile profile(configPath());
        QStringList queue;
        const int queued =
            std::clamp(profile.readInteger(QueueSection, QStringLiteral("Count"), 0), 0, 10000);
        for (int i = 1; i <= queued; ++i)
            queue << profile.readString(QueueSection, QString::number(i));
        queue.removeAll(QString());
        m_playlist->setQueue(queue);
    }
    if (m_arguments.isEmpty() && TextFile::isUnreadable(listStatus) &&
        listStatus != TextFile::ReadStatus::NotRegular) {
        // What could not be read stays exactly as it is, for the user to look at.
        m_lastPlaylistUnreadable = true;
        const QString why =
            listStatus == TextFile::ReadStatus::TooLarge
                ? QStringLiteral("it is larger than %1 MiB").arg(TextFile::ListFileLimit >> 20)
                : QStringLiteral("it cannot be opened");
        QMessageBox::warning(m_main, QStringLiteral("Vorlan"),
                             QStringLiteral("The playlist \"%1\" cannot be read: %2.\nIt is left as it is; "
                                            "this session's playlist will not be saved over it.")
                                 .arg(QDir::toNativeSeparators(lastPlaylistPath()), why));
    }
    // A parameter that named nothing playable leaves the list empty; the saved list then stays as it was
    // until the user puts something in.
    if (!m_arguments.isEmpty() && m_playlist->count() == 0 && QFile::exists(lastPlaylistPath())) {
        m_keepLastPlaylist = true;
        connect(m_playlist, &PlaylistModel::countChanged, this, [this] { m_keepLastPlaylist = false; });
    }
}

void VorlanApp::applyPlaylistDocking()
{
    const QRect area = m_main->screenArea();
    if (m_settings.playListDock)
        m_main->placeAtDockEdge();
    // A playlist not made yet is docked when it is first shown.
    if (m_playlistWindow)
        m_playlistWindow->applyDocking(m_settings.playListDock, m_main->dockedLeft(), m_main->geometry(),
                                       area);
}

void VorlanApp::applyPreferences()
{
    // What the controls can hold is what is applied, as with OK.
    m_prefs->storeSettings();
    m_applier->apply(m_settings);
}

void VorlanApp::wirePreferences()
{
    m_applier = new SettingsApplier(this);
    updateApplierTargets();
    m_applier->follow(m_prefs);
    // The strip's "P", its menu and the skin's "C": the gradient's colours go into the pickers first.
    connect(m_actions->preferences, &QAction::triggered, m_prefs, [this] {
        m_prefs->showWithColors(m_settings.color1, m_settings.color2);
        // A window the user had open keeps its place.
        m_prefs->setProperty("vorlanPlaced", true);
    });
    connect(m_prefs, &PreferencesWindow::maskerRequested, this, [] { Launcher::startMasker(); });
}

void VorlanApp::firstRunPrompt()
{
    aboutWindow()->show();
    const auto answer = QMessageBox::question(nullptr, QStringLiteral("Vorlan"), firstRunText(),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        registerFileTypes();
}

void VorlanApp::registerFileTypes()
{
    FileAssociations::registerPlayer(QCoreApplication::applicationFilePath(), m_prefs->icon1(),
                                     m_prefs->icon2());
}

void VorlanApp::installDemoSongs()
{
    // A first start offers a few short tunes, so there is something to hear at once.
    if (!SampleMasks::loadSamples())
        return;
    const QString dir = ExePath() + QStringLiteral("Demo/");
    QDir().mkpath(dir);
    QStringList songs;
    for (const char *name : {"demo-1.mp3", "demo-2.mp3", "demo-3.mp3"}) {
        const QString target = dir + QLatin1String(name);
        QByteArray song;
        if (!QFile::exists(target) &&
            TextFile::readBytes(QStringLiteral(":/demo/") + QLatin1String(name), 16 * 1024 * 1024, &song) ==
                TextFile::ReadStatus::Ok)
            TextFile::writeAtomically(target, song);
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
    m_failedSaves.clear();
    const auto saved = [this](bool ok, const QString &path) {
        if (!ok)
            m_failedSaves << QDir::toNativeSeparators(path);
    };
    if (m_statisticsLoaded && !m_statisticsUnreadable)
        saved(m_statistics->save(statisticsPath()), statisticsPath());
    if (m_playlistLoaded && !m_keepLastPlaylist && !m_lastPlaylistUnreadable) {
        // A damaged list that cannot be kept aside is not replaced either.
        const bool aside =
            PlaylistFiles::setAsideDamagedVLN(lastPlaylistPath()) != PlaylistFiles::SetAside::Failed;
        saved(aside && PlaylistFiles::writeVLN(*m_playlist, lastPlaylistPath()), lastPlaylistPath());
    }
    if (!m_settingsLoaded) {
        reportFailedSaves();
        return;
    }
    if (!m_equalizerUnreadable)
        saved(m_equalizerWindow->Save(equalizerPath()), equalizerPath());

    Settings &s = m_settings;
    // What the preferences hold, applied or not, is kept; the windows then add what they changed themselves.
    m_prefs->storeSettings();
    s.loop = m_controller->loop();
    s.random = m_controller->random();
    s.timeElapsed = m_controller->timeElapsed();
    s.nail1 = m_main->nailCaption();
    s.nail3 = m_skinned->onTopCaption();
    s.maskLeft = m_skinned->x();
    s.maskTop = m_skinned->y();
    s.dockSide = m_main->dockedLeft();
    s.path1 = m_main->openDirectory();
    s.shutTime = m_shutdown->shutTime();
    s.shutNumSong = m_shutdown->shutNumSong();
    s.outputModule = m_controller->outputModuleSetting();
    s.autoPlay = m_controller->autoPlay();
    s.replayGain = m_controller->replayGain();
    // A playlist window never made changed nothing of its own; its place is kept as it would have come up:
    // on a screen.
    if (m_playlistWindow) {
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
    } else if (!s.playListDock) {
        const QPoint fitted =
            ScreenFit::ontoScreens(QRect(s.playListLeft, s.playListTop, s.listWidth, s.listHeight)).topLeft();
        s.playListLeft = fitted.x();
        s.playListTop = fitted.y();
    }
    if (m_addFiles)
        s.path4 = m_addFiles->Path4();
    s.equalizer = m_equalizerWindow->equalizerOn();

    ProfileFile profile(configPath());
    s.writeTo(profile);
    // A section of its own, which older players pass over.
    profile.eraseSection(QueueSection);
    const QStringList queue = m_playlist->queue();
    if (!queue.isEmpty()) {
        profile.writeInteger(QueueSection, QStringLiteral("Count"), int(queue.size()));
        for (int i = 0; i < queue.size(); ++i)
            profile.writeString(QueueSection, QString::number(i + 1), queue.at(i));
    }
    storePlacement(profile, m_info, WindowPlacement::InfoSection);
    storePlacement(profile, m_tagEditor, WindowPlacement::EditTagSection);
    storePlacement(profile, m_addFiles, WindowPlacement::AddSection);
    if (m_statistics->fileLoaded())
        storePlacement(profile, m_statisticsWindow, WindowPlacement::StatisticsSection);
    storePlacement(profile, m_equalizerWindow, WindowPlacement::EqualizerSection);
    storePlacement(profile, m_prefs, WindowPlacement::ConfigSection);
    saved(profile.save(), configPath());
    reportFailedSaves();
}

void VorlanApp::reportFailedSaves()
{
    if (m_failedSaves.isEmpty())
        return;
    const QString files = m_failedSaves.join(QStringLiteral(", "));
    std::fprintf(stderr, "vorlan: could not save %s; the old files are kept as they were\n",
                 files.toLocal8Bit().constData());
}

void VorlanApp::showFailedSaves()
{
    if (m_failedSaves.isEmpty())
        return;
    QMessageBox::warning(nullptr, QStringLiteral("Vorlan"),
                         QStringLiteral("These files could not be saved (is the disk full?):\n%1\n\n"
                                        "The versions saved before are kept as they were.")
                             .arg(m_failedSaves.join(QLatin1Char('\n'))));
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
    closeDown(false);
}

void VorlanApp::shutdownWindows()
{
    closeDown(true);
}

void VorlanApp::closeDown(bool switchOff)
{
    if (m_closing)
        return;
    m_closing = true;
    // A window still on screen would be asked to close when the program quits, and the skinned one answers
    // by flying off instead: the player would stay. Hidden, they let it end.
    hideAll();
    m_controller->setTrackPosition(false);
    m_controller->setMetersRunning(false);
    if (m_guard)
        m_guard->saveForExit();
    else
        SaveSettings();
    // A signal's end (a logout, a kill) or a machine going down has nobody to answer a box; a close by the
    // user does.
    if (!m_endedBySignal && !switchOff)
        showFailedSaves();
    if (m_addFiles && m_addFiles->treeAdder())
        m_addFiles->treeAdder()->stop();
    m_controller->opener()->stopFolderWalk();
    stopEverything();
    if (switchOff) {
        QCoreApplication::processEvents();
        if (!m_powerOff->powerOff())
            QMessageBox::warning(
                nullptr, QStringLiteral("Vorlan"),
                QStringLiteral("The computer could not be switched off: %1").arg(m_powerOff->lastError()));
    }
    m_main->closeNow();
    // exit(), not quit(): a window that does not close must not keep the player running. Only a running
    // event loop is told: an exit asked for outside one would end every loop started after it.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
    else if (switchOff)
        QCoreApplication::quit();
}

void VorlanApp::endAfterSignal()
{
    m_endedBySignal = true;
    if (m_started && m_main)
        closeSequence();
    else
        QCoreApplication::exit(0);
}
