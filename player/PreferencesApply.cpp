// Apply: the preferences reach the other windows, in a fixed order (docking, font, shutdown, tray, colours,
// mask mode, registry, hints).
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/RegistryStore.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/PreferencesWindow.h"
#include "player/Settings.h"
#include "player/TimedShutdown.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
#include "widgets/ScrollingText.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>

void PreferencesWindow::Apply()
{
    // The settings value follows the controls, so every step (and the application's hooks) reads the same.
    storeSettings();
    applyDocking();
    applyFont();
    applyShutdown();
    applyTray();
    applyColors();
    emit applyStep(QStringLiteral("colors"));
    applyMaskMode();
    applyRegistry();
    applyHints();
}

void PreferencesWindow::applyDocking()
{
    if (m_targets.main)
        m_targets.main->setDockedLeft(m_settings->dockSide);
    if (m_targets.dockPlaylist)
        m_targets.dockPlaylist();
    emit applyStep(QStringLiteral("docking"));
}

void PreferencesWindow::applyFont()
{
    const Settings &s = *m_settings;
    if (m_targets.playlist)
        m_targets.playlist->applyFont(s.listFontName, s.listFontSize, s.alignment);
    // The skinned window's title is written in the playlist's typeface.
    if (m_targets.skinned) {
        ScrollingText *title = m_targets.skinned->face()->Title;
        QFont f = title->font();
        f.setFamily(s.listFontName);
        title->setFont(f);
    }
    emit applyStep(QStringLiteral("font"));
}

void PreferencesWindow::applyShutdown()
{
    const int mode = ShutDownGroup->itemIndex() >= 0 ? ShutDownGroup->itemIndex() : TimedShutdown::Off;
    // The hints of the exit buttons follow the shutdown's own signal.
    if (m_targets.shutdown)
        m_targets.shutdown->apply(mode, STime->value(), NSongs->value());
    if (m_targets.model)
        m_targets.model->setPlayedCount(0);
    emit applyStep(QStringLiteral("shutdown"));
}

void PreferencesWindow::applyTray()
{
    if (m_targets.main)
        m_targets.main->setTrayIcons(m_settings->icon1, m_settings->icon2);
    if (m_targets.controller)
        m_targets.controller->applyAnimatedTray(m_settings->animatedTray);
    emit applyStep(QStringLiteral("tray"));
}

void PreferencesWindow::applyMaskMode()
{
    if (m_targets.showFace)
        m_targets.showFace(m_settings->backMask);
    emit applyStep(QStringLiteral("mask"));
}

void PreferencesWindow::applyRegistry()
{
    RegistryStore store(m_targets.registryPath.isEmpty() ? RegistryStore::defaultPath()
                                                         : m_targets.registryPath);
    store.writeBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"), QStringLiteral("Allow"),
                    Multi->isChecked());
    emit applyStep(QStringLiteral("registry"));
}

void PreferencesWindow::applyHints()
{
    const Settings &s = *m_settings;
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
    emit applyStep(QStringLiteral("hints"));
}
