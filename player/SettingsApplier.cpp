#include "player/SettingsApplier.h"

#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/RegistryStore.h"
#include "platform/SystemColors.h"
#include "player/AboutWindow.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/PreferencesWindow.h"
#include "player/Settings.h"
#include "player/StatisticsWindow.h"
#include "player/TimedShutdown.h"
#include "playlist/AddFilesWindow.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
#include "playlist/UrlInputWindow.h"
#include "tags/FileInfoWindow.h"
#include "tags/TagEditorWindow.h"
#include "widgets/ScrollingText.h"

SettingsApplier::SettingsApplier(QObject *parent) : QObject(parent) {}

void SettingsApplier::follow(PreferencesWindow *preferences)
{
    connect(preferences, &PreferencesWindow::applied, this, &SettingsApplier::apply);
    connect(preferences, &PreferencesWindow::colorsApplied, this, &SettingsApplier::applyColors);
    connect(preferences, &PreferencesWindow::outputModuleChosen, this, &SettingsApplier::applyOutputModule);
    connect(preferences, &PreferencesWindow::outputChannelsChosen, this,
            &SettingsApplier::applyOutputChannels);
    connect(preferences, &PreferencesWindow::priorityChosen, this, &SettingsApplier::applyPriority);
    connect(preferences, &PreferencesWindow::replayGainChosen, this, &SettingsApplier::applyReplayGain);
    connect(preferences, &PreferencesWindow::maskChosen, this, &SettingsApplier::loadMask);
    connect(preferences, &PreferencesWindow::maskLoaded, this, [this] {
        if (m_targets.main)
            m_targets.main->ShowAll1Click();
    });
}

void SettingsApplier::apply(const Settings &s)
{
    applyDocking(s);
    applyFont(s);
    applyShutdown(s);
    applyTray(s);
    applyColors(s);
    emit stepApplied(QStringLiteral("colors"));
    applyMaskMode(s);
    applyRegistry(s);
    applyHints(s);
}

void SettingsApplier::applyDocking(const Settings &s)
{
    if (m_targets.main)
        m_targets.main->setDockedLeft(s.dockSide);
    if (m_targets.dockPlaylist)
        m_targets.dockPlaylist();
    emit stepApplied(QStringLiteral("docking"));
}

void SettingsApplier::applyFont(const Settings &s)
{
    if (m_targets.playlist)
        m_targets.playlist->applyFont(s.listFontName, s.listFontSize, s.alignment);
    // The skinned window's title is written in the playlist's typeface.
    if (m_targets.skinned) {
        ScrollingText *title = m_targets.skinned->face()->Title;
        QFont f = title->font();
        f.setFamily(s.listFontName);
        title->setFont(f);
    }
    emit stepApplied(QStringLiteral("font"));
}

void SettingsApplier::applyShutdown(const Settings &s)
{
    // The hints of the exit buttons follow the shutdown's own signal.
    if (m_targets.shutdown)
        m_targets.shutdown->apply(s.shutMode, s.shutTime, s.shutNumSong);
    if (m_targets.model)
        m_targets.model->setPlayedCount(0);
    emit stepApplied(QStringLiteral("shutdown"));
}

void SettingsApplier::applyTray(const Settings &s)
{
    if (m_targets.main)
        m_targets.main->setTrayIcons(s.icon1, s.icon2);
    if (m_targets.controller)
        m_targets.controller->applyAnimatedTray(s.animatedTray);
    emit stepApplied(QStringLiteral("tray"));
}

void SettingsApplier::applyColors(const Settings &s)
{
    const QColor c1 = SystemColors::fromValue(s.color1), c2 = SystemColors::fromValue(s.color2);
    const Targets &t = m_targets;
    if (t.main)
        t.main->setColors(c1, c2);
    if (t.playlist)
        t.playlist->applyColors(c1, c2);
    if (t.skinned) {
        t.skinned->face()->setTextColors(c1, c2);
        t.skinned->face()->setKnobColors(c1, c2);
    }
    if (t.about)
        t.about->setColors(c1, c2);
    if (t.info)
        t.info->setColors(c1, c2);
    if (t.tagEditor)
        t.tagEditor->setColors(c1, c2);
    if (t.addFiles)
        t.addFiles->setColors(c1, c2);
    if (t.statistics)
        t.statistics->setColors(c1, c2);
    if (t.equalizer)
        t.equalizer->setColors(c1, c2);
    if (t.urlInput)
        t.urlInput->applyColors(c1, c2);
}

void SettingsApplier::applyMaskMode(const Settings &s)
{
    if (m_targets.showFace)
        m_targets.showFace(s.backMask);
    emit stepApplied(QStringLiteral("mask"));
}

void SettingsApplier::applyRegistry(const Settings &s)
{
    RegistryStore().writeBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"), QStringLiteral("Allow"),
                              s.multiInstance);
    emit stepApplied(QStringLiteral("registry"));
}

void SettingsApplier::applyHints(const Settings &s)
{
    if (m_targets.skinned) {
        m_targets.skinned->face()->setShowHints(s.showHints);
        m_targets.skinned->face()->setGifAnimationAllowed(s.animatedGif);
    }
    if (m_targets.main)
        m_targets.main->setShowHints(s.showHints);
    if (m_targets.controller) {
        m_targets.controller->setAutoPlay(s.autoPlay);
        m_targets.controller->setRandomColors(s.randomColors);
        m_targets.controller->setOutputDir(s.outPutDir);
    }
    emit stepApplied(QStringLiteral("hints"));
}

void SettingsApplier::applyOutputModule(int module)
{
    if (m_targets.controller)
        m_targets.controller->setOutputModule(module);
    // Only the sound server takes the pitch.
    if (m_targets.equalizer)
        m_targets.equalizer->setPitchEnabled(module == 0);
}

void SettingsApplier::applyOutputChannels(int channels)
{
    if (m_targets.player)
        m_targets.player->SetOutputChannels(channels);
}

void SettingsApplier::applyPriority(int priority)
{
    if (m_targets.player)
        m_targets.player->setPriority(priority);
}

void SettingsApplier::applyReplayGain(bool on)
{
    if (m_targets.controller)
        m_targets.controller->setReplayGain(on);
}

void SettingsApplier::loadMask(const QString &path)
{
    if (m_targets.skinned)
        m_targets.skinned->LoadMask(path);
}
