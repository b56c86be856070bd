// The main window's popup menu (shared with the tray icon) and the tray icon with its animation.
#include "player/MainWindow.h"

#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "player/TrayIcons.h"
#include "widgets/MarginMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QSystemTrayIcon>

namespace
{
const QString TrayHint = QStringLiteral("Vorlan Version 1.8");
const QString MarginText = QStringLiteral("Vorlan 1.8");

} // namespace

void MainWindow::buildMenu()
{
    m_menu = new MarginMenu(this);
    m_menu->setObjectName(QStringLiteral("PopupMenu"));
    m_menu->setMarginWidth(MenuMarginWidth);
    m_menu->setMarginText(MarginText);
    QFont marginFont(QStringLiteral("Courier New"));
    marginFont.setPointSize(16);
    marginFont.setBold(true);
    m_menu->setMarginFont(marginFont);

    PlayerActions *a = m_actions;
    m_menu->addAction(a->about);
    m_menu->addSeparator();
    m_menu->addActions({a->open, a->playlist, a->equalizer, a->fileInfo, a->statistics});
    m_menu->addSeparator();
    QMenu *playback = m_menu->addMenu(QStringLiteral("Playback"));
    playback->setObjectName(QStringLiteral("Playback"));
    playback->addActions({a->previous, a->play, a->pause, a->stop, a->next});
    m_menu->addActions({a->fadeBack, a->fadeToSilence});
    m_menu->addSeparator();
    m_menu->addActions({a->hideAll, a->showAll});
    m_menu->addSeparator();
    QMenu *options = m_menu->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options"));
    options->addAction(a->preferences);
    options->addSeparator();
    options->addActions({a->timeElapsed, a->timeRemaining});
    options->addSeparator();
    options->addActions({a->changeMask, a->masker});
    m_menu->addSeparator();
    m_menu->addAction(a->exit);
    // The settings may change the time display before the menu opens.
    connect(m_menu, &QMenu::aboutToShow, a, &PlayerActions::followTimeShown);
    connect(options, &QMenu::aboutToShow, a, &PlayerActions::followTimeShown);
}

QAction *MainWindow::hideAllAction() const
{
    return m_actions->hideAll;
}

QAction *MainWindow::showAllAction() const
{
    return m_actions->showAll;
}

QAction *MainWindow::elapsedAction() const
{
    return m_actions->timeElapsed;
}

QAction *MainWindow::remainingAction() const
{
    return m_actions->timeRemaining;
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    m_menu->popup(event->globalPos());
}

// --- Tray icon ---

void MainWindow::buildTray()
{
    m_tray = new QSystemTrayIcon(this);
    m_tray->setIcon(TrayIcons::icon(m_icon1));
    m_tray->setContextMenu(m_menu);
    setTrayToolTip(TrayHint);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            TrayIconClick();
        else if (reason == QSystemTrayIcon::DoubleClick)
            TrayIconDblClick();
    });
    // Without a tray (a bare X server, some desktops) the player works all the same from its windows.
    m_trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    if (m_trayAvailable)
        m_tray->show();
}

void MainWindow::setTrayToolTip(const QString &text)
{
    m_trayHint = text;
    m_tray->setToolTip(text);
}

QString MainWindow::trayToolTip() const
{
    return m_trayHint;
}

void MainWindow::setTrayIcons(int icon1, int icon2)
{
    m_icon1 = TrayIcons::valid(icon1);
    m_icon2 = TrayIcons::valid(icon2);
    m_iconShown = m_icon1;
    m_tray->setIcon(TrayIcons::icon(m_icon1));
}

void MainWindow::setTrayAnimation(bool on)
{
    if (on) {
        if (!m_trayTimer.isActive())
            m_trayTimer.start();
        return;
    }
    m_trayTimer.stop();
    if (m_iconShown != m_icon1) {
        m_iconShown = m_icon1;
        m_tray->setIcon(TrayIcons::icon(m_icon1));
    }
}

void MainWindow::nextTrayFrame()
{
    m_iconShown = m_iconShown == m_icon1 ? m_icon2 : m_icon1;
    // Without a tray there is nothing to see blink.
    if (m_tray->isVisible())
        m_tray->setIcon(TrayIcons::icon(m_iconShown));
}

void MainWindow::TrayIconClick()
{
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void MainWindow::TrayIconDblClick()
{
    if (m_actions->allShown())
        HideAll1Click();
    else
        ShowAll1Click();
}

void MainWindow::removeTrayIcon()
{
    m_trayTimer.stop();
    m_tray->hide();
}
