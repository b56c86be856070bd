// The player's two faces: the skinned window and the strip, the switches between them, and Hide All and
// Show All, which hide and bring back the windows whose labels on the skin are lit.
#include "player/VorlanApp.h"

#include "engine/EqualizerWindow.h"
#include "masks/ClassicSkinModule.h"
#include "masks/SampleMasks.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/ExePath.h"
#include "platform/Launcher.h"
#include "platform/ProfileFile.h"
#include "player/AboutWindow.h"
#include "player/MainWindow.h"
#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/PreferencesWindow.h"
#include "player/StatisticsWindow.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/FindWindow.h"
#include "playlist/PlaylistWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "widgets/FlatButton.h"
#include "widgets/MarginMenu.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSlider>
#include <algorithm>

void VorlanApp::wireActions()
{
    PlayerActions *a = m_actions;
    connect(a->exit, &QAction::triggered, this, &VorlanApp::closeSequence);
    connect(a->fileInfo, &QAction::triggered, this, [this] {
        infoWindow()->show();
        m_info->raise();
    });
    connect(a->about, &QAction::triggered, this, [this] {
        aboutWindow()->show();
        m_about->raise();
    });
    connect(a->masker, &QAction::triggered, this, [] { Launcher::startMasker(); });
    connect(a->equalizer, &QAction::triggered, this, [this] {
        m_equalizerWindow->show();
        m_equalizerWindow->raise();
    });
    connect(a->find, &QAction::triggered, this, [this] { findWindow()->open(); });
    connect(a->statistics, &QAction::triggered, this, [this] {
        statisticsWindow()->show();
        m_statisticsWindow->raise();
    });
    connect(a->playlist, &QAction::triggered, this, [this] {
        if (!playlistWindow()->isVisible()) {
            applyPlaylistDocking();
            m_playlistWindow->show();
        } else if (m_settings.playListDock) {
            m_playlistWindow->toggleDockedSlide(m_main->height());
        }
        m_playlistWindow->raise();
    });
    connect(a->changeMask, &QAction::triggered, this, &VorlanApp::changeMask);
}

void VorlanApp::wireSkinnedWindow()
{
    SkinnedFace *face = m_skinned->face();
    PlaybackController *c = m_controller;
    PlayerActions *a = m_actions;
    // The skin draws every button at all times; each acts only when the controller offers it.
    connect(face, &SkinnedFace::playClicked, c, [this] {
        if (m_controller->canPlay())
            m_actions->play->trigger();
    });
    connect(face, &SkinnedFace::pauseClicked, c, [this] {
        if (m_controller->canPause())
            m_actions->pause->trigger();
    });
    connect(face, &SkinnedFace::stopClicked, c, [this] {
        if (m_controller->canStop())
            m_actions->stop->trigger();
    });
    connect(face, &SkinnedFace::openClicked, a->open, &QAction::trigger);
    connect(face, &SkinnedFace::nextClicked, a->next, &QAction::trigger);
    connect(face, &SkinnedFace::prevClicked, a->previous, &QAction::trigger);
    connect(face, &SkinnedFace::loopClicked, a->loop, &QAction::trigger);
    connect(face, &SkinnedFace::randomClicked, a->random, &QAction::trigger);
    connect(face, &SkinnedFace::aboutClicked, a->about, &QAction::trigger);
    connect(face, &SkinnedFace::configClicked, a->preferences, &QAction::trigger);
    connect(face, &SkinnedFace::hideAllClicked, a->hideAll, &QAction::trigger);
    connect(face, &SkinnedFace::playTimeClicked, a->timeElapsed, &QAction::trigger);
    connect(face, &SkinnedFace::playlistClicked, this, &VorlanApp::togglePlaylist);
    connect(face, &SkinnedFace::infoClicked, this, &VorlanApp::toggleInfo);
    connect(face, &SkinnedFace::equalizerClicked, this, [this] {
        if (m_skinned->face()->equalizerLit()) {
            m_equalizerWindow->close();
            m_skinned->face()->setEqualizerLit(false);
            return;
        }
        m_equalizerWindow->show();
        m_equalizerWindow->raise();
    });
    connect(face, &SkinnedFace::sliderPressed, c, &PlaybackController::positionPressed);
    connect(face, &SkinnedFace::sliderReleased, c, &PlaybackController::positionReleased);
    connect(face, &SkinnedFace::sliderTrackingStarted, c, &PlaybackController::positionDragStarted);
    connect(face, &SkinnedFace::sliderValueChanged, c, &PlaybackController::positionValueChanged);
    connect(face, &SkinnedFace::sliderTrackingStopped, c, &PlaybackController::positionDragEnded);
    // The knobs tell both values at every step; as with a slider, only a value that changed acts, so moving
    // the volume shows the volume, not the balance.
    connect(face, &SkinnedFace::volumeTrackBarChanged, c, [c](int position) {
        if (std::clamp(position, 0, 100) != c->volumePosition())
            c->setVolume(position);
    });
    connect(face, &SkinnedFace::balanceTrackBarChanged, c, [c](int position) {
        if (std::clamp(position, 0, 100) != c->balancePosition())
            c->setBalance(position);
    });

    connect(c, &PlaybackController::timeTextChanged, face, &SkinnedFace::setTimeText);
    connect(c, &PlaybackController::positionChanged, face, &SkinnedFace::setPosition);
    connect(c, &PlaybackController::availabilityChanged, face,
            [face, c] { face->setPositionEnabled(c->canSeek()); });
    connect(c, &PlaybackController::volumePositionChanged, face, &SkinnedFace::setVolumePosition);
    connect(c, &PlaybackController::balancePositionChanged, face, &SkinnedFace::setBalancePosition);
    connect(c, &PlaybackController::levelsChanged, face, &SkinnedFace::setLevels);
    connect(c, &PlaybackController::loopRandomChanged, face, &SkinnedFace::setLoopRandom);
    connect(c, &PlaybackController::titleLinesChanged, face, &SkinnedFace::setTitleLines);

    connect(m_skinned, &SkinnedWindow::backToStripRequested, this, [this] {
        m_settings.backMask = false;
        m_prefs->setUseMask(false);
        showStrip();
    });
    connect(m_skinned, &SkinnedWindow::closeRequested, this, &VorlanApp::closeSequence);
    connect(m_skinned, &SkinnedWindow::filesDropped, c->opener(), &MediaOpener::dropFiles);
    // After the drop's songs are in the list: the import's box, if any, must not hold them up.
    c->opener()->setSkinTest(&ClassicSkinModule::isClassicSkin);
    connect(c->opener(), &MediaOpener::skinGiven, this, &VorlanApp::wearMask, Qt::QueuedConnection);
    connect(m_skinned, &SkinnedWindow::playlistEntryDropped, c, &PlaybackController::playSelected);
    connect(m_skinned, &SkinnedWindow::shiftPressed, c, [this] { m_controller->setShiftHeld(true); });
    connect(m_skinned, &SkinnedWindow::keyReleased, a, &PlayerActions::keyReleased);
    connect(m_skinned, &SkinnedWindow::onTopChanged, m_main, [this] { m_main->setKeepOnTop(true); });
    // The strip's menu, which the tray offers too, on the skin's background.
    connect(m_skinned, &SkinnedWindow::menuRequested, m_main,
            [this](const QPoint &at) { m_main->popupMenu()->popup(at); });
    // Brought back from the task bar after Hide All: everything comes back as with Show All, meters too.
    connect(m_skinned, &SkinnedWindow::restored, this, [this] {
        if (m_allHidden)
            m_actions->showAll->trigger();
    });
    // A mask's best colours go through the preferences' colour pickers.
    // Told once the skin is up: a box during the load would hold the load behind it.
    connect(
        m_skinned, &SkinnedWindow::pictureRefused, this,
        [this](const QString &message) {
            QMessageBox::warning(m_skinned, QStringLiteral("Vorlan"), message);
        },
        Qt::QueuedConnection);
    connect(m_skinned, &SkinnedWindow::bestColorsLoaded, m_prefs, [this](int32_t color1, int32_t color2) {
        m_prefs->setPickerColors(color1, color2);
        m_prefs->applyColors();
    });
    m_equalizerWindow->installEventFilter(this);
}

bool VorlanApp::eventFilter(QObject *watched, QEvent *event)
{
    // The skinned window's labels follow their windows: lit when shown, out when the user closes them. Hide
    // All only hides them and keeps the labels lit, so Show All brings them back.
    // A window that was on screen keeps its last place at exit, even when closed before.
    if (event->type() == QEvent::Show)
        watched->setProperty("vorlanPlaced", true);
    if (event->type() == QEvent::Show || event->type() == QEvent::Close) {
        const bool lit = event->type() == QEvent::Show;
        if (watched == m_playlistWindow)
            m_skinned->face()->setPlaylistLit(lit);
        else if (watched == m_info)
            m_skinned->face()->setInfoLit(lit);
        else if (watched == m_equalizerWindow)
            m_skinned->face()->setEqualizerLit(lit);
    }
    return QObject::eventFilter(watched, event);
}

void VorlanApp::togglePlaylist()
{
    if (playlistWindow()->isVisible()) {
        m_playlistWindow->hide();
        m_skinned->face()->setPlaylistLit(false);
        return;
    }
    applyPlaylistDocking();
    m_playlistWindow->show();
    m_playlistWindow->raise();
}

void VorlanApp::toggleInfo()
{
    if (m_skinned->face()->infoLit()) {
        if (m_info)
            m_info->close();
        m_skinned->face()->setInfoLit(false);
        return;
    }
    infoWindow()->show();
    m_info->raise();
}

void VorlanApp::loadStartMask()
{
    // A first start puts the sample masks where "Change Mask" looks, so there is something to choose.
    const QString masks = ExePath() + QStringLiteral("Masks");
    if (!QFileInfo::exists(masks))
        SampleMasks::install(masks);
    // The configured mask first; a mask that is gone gives way to the built-in one.
    m_skinned->setFallbackMask(SampleMasks::builtInMaskPath());
    const ProfileFile profile(configPath());
    const QString used = profile.readString(Settings::SectionName, QStringLiteral("MaskUsed"));
    if (used.isEmpty() || !m_skinned->LoadMask(used))
        m_skinned->LoadMask(SampleMasks::builtInMaskPath());
}

void VorlanApp::showSkinnedWindow()
{
    m_skinned->show();
    m_skinned->raise();
    m_skinned->activateWindow();
}

void VorlanApp::showStrip()
{
    m_skinned->hide();
    m_main->setSkinnedInUse(false);
    m_main->placeAtDockEdge();
    m_main->show();
    m_main->startHideTimer();
}

void VorlanApp::changeMask()
{
    const QString dir = ExePath() + QStringLiteral("Masks");
    QWidget *parent =
        m_skinned->isVisible() ? static_cast<QWidget *>(m_skinned) : static_cast<QWidget *>(m_main);
    const QString file =
        m_maskChooser
            ? m_maskChooser(parent, dir)
            : QFileDialog::getOpenFileName(parent, QStringLiteral("Change Mask"), dir,
                                           QStringLiteral("Vorlan Masks and Classic Skins (*.msk *.wsz);;"
                                                          "Vorlan Masks (*.msk);;"
                                                          "Classic Skins (*.wsz *.zip)"));
    if (!file.isEmpty())
        wearMask(file);
}

void VorlanApp::wearMask(const QString &file)
{
    QString mask = file;
    const bool classic = ClassicSkinModule::isClassicSkin(file);
    if (classic) {
        const ClassicImport imported =
            ClassicSkinModule::importSkin(file, ExePath() + QStringLiteral("Masks"));
        if (!imported.ok()) {
            QWidget *parent =
                m_skinned->isVisible() ? static_cast<QWidget *>(m_skinned) : static_cast<QWidget *>(m_main);
            QMessageBox::warning(parent, QStringLiteral("Vorlan"), imported.error);
            return;
        }
        mask = imported.maskPath;
    }
    m_settings.maskUsed = mask;
    m_prefs->setMaskUsed(mask);
    m_skinned->LoadMask(mask);
    // A skin given to be worn is shown, also when the strip was in use.
    if (classic && !m_settings.backMask) {
        m_settings.backMask = true;
        m_prefs->setUseMask(true);
        m_main->enterSkinnedMode();
    }
    m_actions->showAll->trigger();
}

void VorlanApp::hideAll()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_info, m_tagEditor, m_addFiles, m_statisticsWindow,
                                                       m_equalizerWindow})
        if (w && w->isVisible())
            w->setProperty("vorlanPlaced", true);
    // The strip saw to itself: without a tray it stays at the screen edge, where the pointer finds it; the
    // skinned window then goes to the task bar instead of out of reach.
    const bool hideForGood = m_closing || m_main->trayAvailable();
    if (m_closing)
        m_main->hide();
    if (m_playlistWindow && m_playlistWindow->isVisible()) {
        m_playlistWasVisible = true;
        m_skinned->face()->setPlaylistLit(true);
    }
    if (m_playlistWindow)
        m_playlistWindow->hide();
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_about, m_info, m_tagEditor, m_addFiles, m_statisticsWindow})
        if (w)
            w->hide();
    if (hideForGood)
        m_skinned->hide();
    else if (m_skinned->isVisible())
        m_skinned->showMinimized();
    if (m_equalizerWindow->isVisible())
        m_equalizerWasVisible = true;
    m_equalizerWindow->hide();
    m_allHidden = true;
}

void VorlanApp::showAll()
{
    m_allHidden = false;
    // The strip places and shows itself when it is the player's face.
    if (m_settings.backMask) {
        m_skinned->showNormal();
        showSkinnedWindow();
    }
    if (m_playlistWasVisible || m_skinned->face()->playlistLit()) {
        playlistWindow();
        applyPlaylistDocking();
        m_playlistWindow->show();
        m_playlistWasVisible = false;
    }
    if (m_skinned->face()->infoLit())
        infoWindow()->show();
    if (m_equalizerWasVisible || m_skinned->face()->equalizerLit()) {
        m_equalizerWindow->show();
        m_equalizerWasVisible = false;
    }
    m_skinned->setOnTopCaption(m_skinned->onTopCaption());
    if (m_settings.backMask)
        m_skinned->raise();
    else
        m_main->raise();
}
