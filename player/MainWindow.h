#pragma once
// The compact main window: an 80-pixel borderless strip docked to the left or right screen edge, holding the
// player's controls over a gradient. It slides off to one pixel column when the pointer leaves it (unless
// pinned) and comes back over its edge strips. Its buttons, menu and keys trigger the player's actions, its
// sliders reach the playback controller, and it shows what the controller says.
#include "player/StripDock.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class ClickLabel;
class FlatButton;
class Gauge;
class MarginMenu;
class PlaybackController;
class PlayerActions;
class QAction;
class QMenu;
class QMimeData;
class QScreen;
class QSlider;
class QSystemTrayIcon;
class TFountainFill;
class TKTop;

class MainWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int StripWidth = 80;
    static constexpr int HideInterval = 2500;     // HideTimer
    static constexpr int TrayFrameInterval = 500; // tray animation
    static constexpr int MenuMarginWidth = 22;
    // The pin caption: auto-hide on, and off.
    static const QString AutoHideOn;  // ".."
    static const QString AutoHideOff; // "T"
    // Dragged playlist entries carry this type; dropped here they play the playlist's selected entry.
    static const QString PlaylistEntriesMimeType;

    // Where the strip may go: the available area of its screen (left, top, width, height), and the pointer
    // in the same global coordinates. Replaceable so the docking rules can be checked without a real mouse.
    using ScreenAreaProvider = std::function<QRect()>;
    using CursorProvider = std::function<QPoint()>;
    // Asks for files to open: (parent, start folder) -> chosen files; empty on Cancel.
    using FileChooser = std::function<QStringList(QWidget *parent, const QString &startDir)>;

    MainWindow(PlaybackController *controller, PlayerActions *actions, QWidget *parent = nullptr);
    ~MainWindow() override;

    PlaybackController *controller() const { return m_controller; }
    PlayerActions *actions() const { return m_actions; }

    // --- What the application sets (from the settings and the preferences) ---
    // "Color1" and "Color2": the strip's gradient, the menu margin (Color1 to Color1 / 4, text in Color2).
    void setColors(const QColor &color1, const QColor &color2);
    QColor color1() const { return m_color1; }
    QColor color2() const { return m_color2; }
    // "DockSide": true docks to the left screen edge. Takes effect at once.
    void setDockedLeft(bool left);
    bool dockedLeft() const { return m_dock.dockedLeft(); }
    // "Nail1": ".." auto-hide on, "T" off. Anything else counts as "T".
    void setNailCaption(const QString &caption);
    QString nailCaption() const;
    // "BackMask": the skinned window is in use; the strip then never slides and Show All leaves it hidden.
    void setSkinnedInUse(bool inUse);
    bool skinnedInUse() const { return m_skinnedInUse; }
    // "Icon1", "Icon2": the tray icon and its second animation frame (TrayIcons numbers).
    void setTrayIcons(int icon1, int icon2);
    int trayIcon1() const { return m_icon1; }
    int trayIcon2() const { return m_icon2; }
    // "ShowHints": tooltips on the strip's controls.
    void setShowHints(bool on) { m_showHints = on; }
    bool showHints() const { return m_showHints; }
    // "Path1": the open dialog's folder; the dialog reports a new one with openDirectoryChanged.
    void setOpenDirectory(const QString &dir) { m_openDir = dir; }
    QString openDirectory() const { return m_openDir; }

    void setScreenAreaProvider(ScreenAreaProvider provider);
    void setCursorProvider(CursorProvider provider);
    void setFileChooser(FileChooser chooser);

    // --- Placement ---
    // The available area of the screen the strip docks to.
    QRect screenArea() const;
    // Left at the dock edge, top at the top of the area, as tall as the area.
    void placeAtDockEdge();
    QRect dockedGeometry() const;
    // The left edge while slid off: one pixel column stays on screen.
    int hiddenLeft() const;
    bool isSlidOff() const;
    // Hidden (the skinned window is the face) or slid off: what changes waits until it is seen again.
    bool outOfSight() const { return !isVisible() || isSlidOff(); }
    bool staysOnTop() const;
    bool hideTimerActive() const { return m_hideTimer.isActive(); }

    // --- Handlers of the strip's controls; the commands go through the actions ---
    void OpenBtnClick();
    void InfoBtnClick();
    void ShowListBtnClick();
    void NailBtnClick();
    void ExitBtnClick();
    void LED1Click(bool random);
    void HideAll1Click();
    void ShowAll1Click();
    void HideTimerTimer();
    void ShowPanelMouseMove();
    void FountainFill1DblClick();
    void FormActivate();
    void TrayIconClick();
    void TrayIconDblClick();
    // Whether a tray icon can bring the player back; without one, Hide All slides the strip off instead of
    // hiding it. Taken from the desktop at start.
    void setTrayAvailable(bool available);
    bool trayAvailable() const { return m_trayAvailable; }
    // Lets the strip slide away again (back from the skinned window).
    void startHideTimer() { m_hideTimer.start(); }
    // Keep on top without hiding or moving the strip (the docked playlist asks for it while it slides away).
    void setKeepOnTop(bool on);
    // The skinned window took over (the application calls this once it has shown it): hide, stop HideTimer.
    void enterSkinnedMode();
    // The close sequence is done: let the window close.
    void closeNow();
    // Takes the icon out of the tray (the close sequence).
    void removeTrayIcon();

    // --- Parts, for the application and tests ---
    MarginMenu *popupMenu() const { return m_menu; }
    QAction *hideAllAction() const;
    QAction *showAllAction() const;
    QAction *elapsedAction() const;
    QAction *remainingAction() const;
    QSystemTrayIcon *trayIcon() const { return m_tray; }
    QString trayToolTip() const;
    // The icon number the tray shows now.
    int trayIconShown() const { return m_iconShown; }
    bool trayAnimating() const { return m_trayTimer.isActive(); }

    FlatButton *PlayBtn = nullptr;
    FlatButton *PauseBtn = nullptr;
    FlatButton *StopBtn = nullptr;
    FlatButton *NextBtn = nullptr;
    FlatButton *PrevBtn = nullptr;
    FlatButton *OpenBtn = nullptr;
    FlatButton *InfoBtn = nullptr;
    FlatButton *LED1 = nullptr; // "L", Loop
    FlatButton *LED2 = nullptr; // "R", Random
    FlatButton *ShowListBtn = nullptr;
    FlatButton *NailBtn = nullptr;
    FlatButton *ExitBtn = nullptr;
    QSlider *RxSlider1 = nullptr;   // position, 0..400
    QSlider *VolTrackBar = nullptr; // 0 full volume .. 100 silence, full volume at the top
    QSlider *BalTrack = nullptr;    // 0 left .. 100 right
    Gauge *PBarL1 = nullptr;
    Gauge *PBarR1 = nullptr;
    ClickLabel *PlayTime = nullptr;
    TFountainFill *FountainFill1 = nullptr;
    QWidget *ShowPanel = nullptr; // 1 pixel at the left edge
    QWidget *Panel5 = nullptr;    // 3 pixels at the right edge

signals:
    // The window manager closes the strip (its X button and Exit go through the exit action); the application
    // runs the close sequence and then calls closeNow() or quits.
    void closeRequested();
    // Hide All / Show All: the strip did its part; the application hides or shows the other windows.
    void hideAllRequested();
    void showAllRequested();
    void skinnedWindowRequested(); // double click on the gradient
    void openDirectoryChanged(const QString &dir);
    void nailCaptionChanged(const QString &caption);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenu();
    void buildTray();
    void connectController();
    void layoutControls();
    void applyTextColors();
    void followAvailability();
    void setLoopRandom(bool loop, bool random);
    void chooseFilesToOpen();
    void putAway();
    void bringBack();
    void setTrayAnimation(bool on);
    void nextTrayFrame();
    void setTrayToolTip(const QString &text);
    void slideTo(int left);
    void showLevels();
    void showPosition();
    void showSkipped();
    bool acceptsDrop(const QMimeData *mime, QObject *source) const;

    PlaybackController *m_controller;
    PlayerActions *m_actions;
    TKTop *m_kTop = nullptr;
    MarginMenu *m_menu = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    QTimer m_hideTimer;
    QTimer m_trayTimer;

    QColor m_color1;
    QColor m_color2;
    bool m_trayAvailable = false;
    bool m_skinnedInUse = false;
    bool m_showHints = true;
    bool m_closing = false;
    int m_icon1 = 1;
    int m_icon2 = 2;
    int m_iconShown = 1;
    int m_levelLeft = 0;
    int m_levelRight = 0;
    int m_position = 0;
    bool m_positionWaits = false;
    QString m_timeText;
    QString m_trayHint;
    QString m_openDir;
    QPointer<QScreen> m_dockScreen;
    StripDock m_dock;
    FileChooser m_fileChooser;
};
