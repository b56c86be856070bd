// The main window's popup menu (shared with the tray icon) and the tray icon with its animation.
#include "player/MainWindow.h"

#include "player/PlaybackController.h"
#include "player/TrayIcons.h"
#include "widgets/MarginMenu.h"

#include <QContextMenuEvent>
#include <QSystemTrayIcon>

namespace
{
const QString TrayHint = QStringLiteral("Vorlan Version 1.8");
const QString MarginText = QStringLiteral("Vorlan 1.8");

// The key of an item is shown beside it; the keys themselves are handled by the window when released.
QAction *addItem(QMenu *menu, const QString &text, const QString &key = QString())
{
    return menu->addAction(key.isEmpty() ? text : text + QLatin1Char('\t') + key);
}
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

    PlaybackController *c = m_controller;
    connect(addItem(m_menu, QStringLiteral("&Vorlan")), &QAction::triggered, this,
            &MainWindow::aboutRequested);
    m_menu->addSeparator();
    connect(addItem(m_menu, QStringLiteral("&Open File(s)..."), QStringLiteral("L")), &QAction::triggered,
            this, &MainWindow::OpenBtnClick);
    connect(addItem(m_menu, QStringLiteral("&Playlist..."), QStringLiteral("T")), &QAction::triggered, this,
            &MainWindow::ShowListBtnClick);
    connect(addItem(m_menu, QStringLiteral("&Equalizer..."), QStringLiteral("E")), &QAction::triggered, this,
            &MainWindow::equalizerRequested);
    connect(addItem(m_menu, QStringLiteral("Show File &Info..."), QStringLiteral("I")), &QAction::triggered,
            this, &MainWindow::InfoBtnClick);
    connect(addItem(m_menu, QStringLiteral("&Statistics..."), QStringLiteral("S")), &QAction::triggered, this,
            &MainWindow::statisticsRequested);
    m_menu->addSeparator();

    QMenu *playback = m_menu->addMenu(QStringLiteral("Playback"));
    playback->setObjectName(QStringLiteral("Playback"));
    connect(addItem(playback, QStringLiteral("P&revious"), QStringLiteral("Z")), &QAction::triggered, c,
            &PlaybackController::PrevBtnClick);
    connect(addItem(playback, QStringLiteral("P&lay"), QStringLiteral("X")), &QAction::triggered, c,
            &PlaybackController::PlayBtnClick);
    connect(addItem(playback, QStringLiteral("P&ause"), QStringLiteral("C")), &QAction::triggered, c,
            &PlaybackController::PauseBtnClick);
    connect(addItem(playback, QStringLiteral("S&top"), QStringLiteral("V")), &QAction::triggered, c,
            &PlaybackController::StopBtnClick);
    connect(addItem(playback, QStringLiteral("&Next"), QStringLiteral("B")), &QAction::triggered, c,
            &PlaybackController::NextBtnClick);
    connect(addItem(m_menu, QStringLiteral("Fade Out"), QStringLiteral("Ctrl+W")), &QAction::triggered, c,
            &PlaybackController::FadeOut1Click);
    connect(addItem(m_menu, QStringLiteral("Fade In"), QStringLiteral("Ctrl+Q")), &QAction::triggered, c,
            &PlaybackController::FadeIn1Click);
    m_menu->addSeparator();

    m_hideAllAction = addItem(m_menu, QStringLiteral("Hide All"), QStringLiteral("F11"));
    m_hideAllAction->setCheckable(true);
    connect(m_hideAllAction, &QAction::triggered, this, &MainWindow::HideAll1Click);
    m_showAllAction = addItem(m_menu, QStringLiteral("Show All"), QStringLiteral("F12"));
    m_showAllAction->setCheckable(true);
    m_showAllAction->setChecked(true);
    connect(m_showAllAction, &QAction::triggered, this, &MainWindow::ShowAll1Click);
    m_menu->addSeparator();

    QMenu *options = m_menu->addMenu(QStringLiteral("Options"));
    options->setObjectName(QStringLiteral("Options"));
    connect(addItem(options, QStringLiteral("Pre&ference..."), QStringLiteral("P")), &QAction::triggered,
            this, &MainWindow::preferencesRequested);
    options->addSeparator();
    m_elapsedAction = addItem(options, QStringLiteral("Show Time Elapsed"));
    m_remainingAction = addItem(options, QStringLiteral("Show Time Remaining"));
    for (QAction *a : {m_elapsedAction, m_remainingAction}) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this] {
            m_controller->ElapsedClick();
            syncTimeChecks();
        });
    }
    options->addSeparator();
    connect(addItem(options, QStringLiteral("Change &Mask..."), QStringLiteral("N")), &QAction::triggered,
            this, &MainWindow::changeMaskRequested);
    connect(addItem(options, QStringLiteral("Vorlan Mas&ker ..."), QStringLiteral("M")), &QAction::triggered,
            this, &MainWindow::maskerRequested);
    m_menu->addSeparator();
    connect(addItem(m_menu, QStringLiteral("E&xit")), &QAction::triggered, this, &MainWindow::ExitBtnClick);

    // The settings may change the time display before the menu opens.
    connect(m_menu, &QMenu::aboutToShow, this, &MainWindow::syncTimeChecks);
    connect(options, &QMenu::aboutToShow, this, &MainWindow::syncTimeChecks);
    syncTimeChecks();
}

void MainWindow::syncTimeChecks()
{
    m_elapsedAction->setChecked(m_controller->timeElapsed());
    m_remainingAction->setChecked(!m_controller->timeElapsed());
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
    if (m_showAllAction->isChecked())
        HideAll1Click();
    else
        ShowAll1Click();
}

void MainWindow::removeTrayIcon()
{
    m_trayTimer.stop();
    m_tray->hide();
}
