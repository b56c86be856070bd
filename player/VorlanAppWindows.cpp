// The windows nobody sees at start (playlist, about, file info, tag editor, add files, statistics, URL input)
// are made when first wanted, so the player starts sooner and smaller. Made later, each still comes up where
// and how it would have: its saved place, or the cascade slot it had in the order the windows were always
// placed in, the colours, and what it shows.
#include "player/VorlanApp.h"

#include "engine/EqualizerWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/ExePath.h"
#include "platform/ProfileFile.h"
#include "platform/ScreenFit.h"
#include "platform/SystemColors.h"
#include "player/AboutWindow.h"
#include "player/MainWindow.h"
#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/PreferencesWindow.h"
#include "player/SettingsApplier.h"
#include "player/Statistics.h"
#include "player/StatisticsWindow.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/FindWindow.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{

// A saved place, brought onto a screen; false when the section holds none.
bool fittedPlacement(const QString &config, const QString &section, int dpi, QRect *geometry)
{
    WindowPlacement placement;
    if (section.isEmpty() || !WindowPlacement::load(config, section, &placement))
        return false;
    *geometry = ScreenFit::ontoScreens(placement.restoredGeometry(dpi));
    return true;
}

int screenDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? int(screen->logicalDotsPerInchX()) : 96;
}

} // namespace

void VorlanApp::reserveCascadeSlots()
{
    // A window never placed yet goes to the middle of the screen, each a little lower and to the right of
    // the one before; the order is the one they were always placed in, whenever each is made.
    m_statisticsSection = m_statistics->fileLoaded() ? WindowPlacement::StatisticsSection : QString();
    const QStringList order{
        WindowPlacement::InfoSection, WindowPlacement::EditTagSection,   WindowPlacement::AddSection,
        QStringLiteral("statistics"), WindowPlacement::EqualizerSection, WindowPlacement::ConfigSection,
        QStringLiteral("about")};
    int cascade = 0;
    QRect unused;
    m_cascadeSlots.clear();
    for (const QString &key : order) {
        const QString section = key == QLatin1String("statistics") ? m_statisticsSection
                                : key == QLatin1String("about")    ? QString()
                                                                   : key;
        if (fittedPlacement(configPath(), section, screenDpi(), &unused))
            continue;
        m_cascadeSlots.insert(key, cascade);
        cascade = (cascade + 1) % 6;
    }
}

void VorlanApp::restorePlacement(QWidget *window, const QString &section, int cascadeSlot) const
{
    if (!window)
        return;
    QRect geometry;
    if (fittedPlacement(configPath(), section, window->logicalDpiX(), &geometry)) {
        window->setGeometry(geometry);
        window->setProperty("vorlanPlaced", true);
        return;
    }
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen || cascadeSlot < 0)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->sizeHint().expandedTo(window->size());
    const QPoint offset(cascadeSlot * 24, cascadeSlot * 24);
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2) - QPoint(60, 60) + offset);
}

void VorlanApp::storePlacement(ProfileFile &profile, QWidget *window, const QString &section) const
{
    // A window never made keeps the place it had, brought onto a screen as it would have been.
    if (!window) {
        QRect geometry;
        if (fittedPlacement(configPath(), section, screenDpi(), &geometry))
            WindowPlacement::fromGeometry(geometry, false, false, screenDpi()).write(profile, section);
        return;
    }
    // Only a window that was on screen, or had a place before, has a place worth keeping.
    if (!(window->isVisible() || window->property("vorlanPlaced").toBool()))
        return;
    WindowPlacement::fromGeometry(window->geometry(), false, false, window->logicalDpiX())
        .write(profile, section);
}

void VorlanApp::colorWindow(QWidget *window) const
{
    const QColor c1 = SystemColors::fromValue(m_settings.color1),
                 c2 = SystemColors::fromValue(m_settings.color2);
    if (auto *w = qobject_cast<PlaylistWindow *>(window))
        w->applyColors(c1, c2);
    else if (auto *w = qobject_cast<AboutWindow *>(window))
        w->setColors(c1, c2);
    else if (auto *w = qobject_cast<FileInfoWindow *>(window))
        w->setColors(c1, c2);
    else if (auto *w = qobject_cast<TagEditorWindow *>(window))
        w->setColors(c1, c2);
    else if (auto *w = qobject_cast<AddFilesWindow *>(window))
        w->setColors(c1, c2);
    else if (auto *w = qobject_cast<StatisticsWindow *>(window))
        w->setColors(c1, c2);
    else if (auto *w = qobject_cast<UrlInputWindow *>(window))
        w->applyColors(c1, c2);
}

void VorlanApp::updateApplierTargets()
{
    // A window made before the preferences are wired gets its settings when they are.
    if (!m_applier)
        return;
    SettingsApplier::Targets t;
    t.main = m_main;
    t.playlist = m_playlistWindow;
    t.skinned = m_skinned;
    t.equalizer = m_equalizerWindow;
    t.about = m_about;
    t.info = m_info;
    t.tagEditor = m_tagEditor;
    t.addFiles = m_addFiles;
    t.statistics = m_statisticsWindow;
    t.urlInput = m_urlInput;
    t.controller = m_controller;
    t.player = m_player;
    t.model = m_playlist;
    t.shutdown = m_shutdown;
    t.dockPlaylist = [this] { applyPlaylistDocking(); };
    t.showFace = [this](bool useMask) {
        if (useMask) {
            m_main->enterSkinnedMode();
            showSkinnedWindow();
        } else {
            showStrip();
        }
    };
    m_applier->setTargets(t);
}

PlaylistWindow *VorlanApp::playlistWindow()
{
    if (m_playlistWindow)
        return m_playlistWindow;
    m_playlistWindow = new PlaylistWindow(m_playlist);
    m_playlistWindow->setUrlInputProvider([this] { return urlInputWindow(); });
    connect(m_playlistWindow, &PlaylistWindow::foldersDropped, m_controller->opener(),
            &MediaOpener::addFolders);
    connect(m_playlistWindow, &PlaylistWindow::findRequested, this, [this] { findWindow()->open(); });
    connect(m_playlistWindow, &PlaylistWindow::playSelectedRequested, m_controller,
            &PlaybackController::playSelected);
    connect(m_playlistWindow, &PlaylistWindow::addFilesRequested, this,
            [this] { addFilesWindow()->showAndRefresh(); });
    connect(m_playlistWindow, &PlaylistWindow::entryClicked, this, [this](const QString &path) {
        m_tagPath = path;
        if (m_tagEditor)
            m_tagEditor->load(path);
    });
    connect(m_playlistWindow, &PlaylistWindow::editTagRequested, this, [this](const QString &path) {
        // No focused entry: the editor shows what it had.
        if (!path.isEmpty()) {
            m_tagPath = path;
            tagEditor()->load(path);
        }
        tagEditor()->show();
        m_tagEditor->raise();
    });
    connect(m_playlistWindow, &PlaylistWindow::dockingToggleRequested, this, [this] {
        m_settings.playListDock = !m_settings.playListDock;
        m_prefs->setDockPlayList(m_settings.playListDock);
        applyPlaylistDocking();
    });
    connect(m_playlistWindow, &PlaylistWindow::mainWindowKeepOnTopWanted, m_main, &MainWindow::setKeepOnTop);
    connect(m_controller, &PlaybackController::songTimeTextChanged, m_playlistWindow,
            &PlaylistWindow::setSongTime);
    if (!m_songTimeText.isEmpty())
        m_playlistWindow->setSongTime(m_songTimeText);

    m_playlistWindow->resize(m_settings.listWidth, m_settings.listHeight);
    if (!m_settings.playListDock)
        m_playlistWindow->move(
            ScreenFit::ontoScreens(
                QRect(QPoint(m_settings.playListLeft, m_settings.playListTop), m_playlistWindow->size()))
                .topLeft());
    m_playlistWindow->applyFont(m_settings.listFontName, m_settings.listFontSize, m_settings.alignment);
    m_playlistWindow->setNailCaption(m_settings.nail2);
    m_playlistWindow->setPath2(m_settings.path2);
    m_playlistWindow->setPath3(m_settings.path3);
    m_playlistWindow->setAddFilesDirectorySource([this] { return addFilesWindow()->Path4(); });
    colorWindow(m_playlistWindow);
    m_playlistWindow->installEventFilter(this);
    updateApplierTargets();
    return m_playlistWindow;
}

void VorlanApp::settleNewWindow(QWidget *window, const QString &section, const QString &cascadeKey)
{
    restorePlacement(window, section, m_cascadeSlots.value(cascadeKey, -1));
    colorWindow(window);
    window->installEventFilter(this);
    updateApplierTargets();
}

AboutWindow *VorlanApp::aboutWindow()
{
    if (!m_about) {
        m_about = new AboutWindow;
        settleNewWindow(m_about, QString(), QStringLiteral("about"));
    }
    return m_about;
}

FileInfoWindow *VorlanApp::infoWindow()
{
    if (!m_info) {
        m_info = new FileInfoWindow;
        fillInfoWindow();
        if (!m_lengthText.isEmpty())
            m_info->setLengthText(m_lengthText);
        m_info->installEventFilter(this);
        settleNewWindow(m_info, WindowPlacement::InfoSection, WindowPlacement::InfoSection);
    }
    return m_info;
}

void VorlanApp::fillInfoWindow()
{
    if (!m_info || !m_streamInfo)
        return;
    const StreamInfo &s = *m_streamInfo;
    if (s.codec.isEmpty())
        m_info->fill(s.level, s.layer, s.bitrate, s.frequency, s.mode, s.path);
    else
        m_info->fillCodec(s.codec, s.bits, s.bitrate, s.frequency, s.mode, s.path);
}

TagEditorWindow *VorlanApp::tagEditor()
{
    if (!m_tagEditor) {
        m_tagEditor = new TagEditorWindow;
        if (!m_tagPath.isEmpty())
            m_tagEditor->load(m_tagPath);
        connect(m_tagEditor, &TagEditorWindow::tagChanged, m_playlist,
                [this] { m_playlist->refreshFocusedEntry(); });
        settleNewWindow(m_tagEditor, WindowPlacement::EditTagSection, WindowPlacement::EditTagSection);
    }
    return m_tagEditor;
}

AddFilesWindow *VorlanApp::addFilesWindow()
{
    if (!m_addFiles) {
        m_addFiles = new AddFilesWindow(m_playlist);
        m_addFiles->setPath4(m_settings.path4);
        settleNewWindow(m_addFiles, WindowPlacement::AddSection, WindowPlacement::AddSection);
    }
    return m_addFiles;
}

StatisticsWindow *VorlanApp::statisticsWindow()
{
    if (!m_statisticsWindow) {
        m_statisticsWindow = new StatisticsWindow(m_statistics, m_playlist);
        m_statisticsWindow->setStatisticsFile(statisticsPath());
        settleNewWindow(m_statisticsWindow, m_statisticsSection, QStringLiteral("statistics"));
    }
    return m_statisticsWindow;
}

FindWindow *VorlanApp::findWindow()
{
    if (!m_find) {
        m_find = new FindWindow(m_playlist);
        settleNewWindow(m_find, QString(), QStringLiteral("find"));
        // The chosen entry plays, as a double click on it would.
        connect(m_find, &FindWindow::entryChosen, this, [this](int row) {
            m_playlist->unselectAll();
            m_playlist->selectEntry(row);
            m_controller->playSelected();
        });
    }
    return m_find;
}

UrlInputWindow *VorlanApp::urlInputWindow()
{
    if (!m_urlInput) {
        m_urlInput = new UrlInputWindow;
        colorWindow(m_urlInput);
        updateApplierTargets();
    }
    return m_urlInput;
}
