#include "player/MainWindow.h"
#include "platform/FileName.h"

#include "player/MediaOpener.h"
#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "playlist/PlaylistModel.h"
#include "widgets/ClickLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/Gauge.h"
#include "widgets/MarginMenu.h"
#include "widgets/ReadableText.h"
#include "widgets/TFountainFill.h"
#include "widgets/TKTop.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QUrl>

const QString MainWindow::AutoHideOn = QStringLiteral("..");
const QString MainWindow::AutoHideOff = QStringLiteral("T");
const QString MainWindow::PlaylistEntriesMimeType = QStringLiteral("application/x-vorlan-playlist-entries");

namespace
{
constexpr int FillSteps = 50;

// Steps of the strip from the top; everything below the meters is free gradient to drag or double-click.
struct Slot {
    int x, y, w, h;
};
constexpr Slot NailSlot{3, 3, 18, 16}, ListSlot{22, 3, 18, 16}, ExitSlot{59, 3, 18, 16};
constexpr Slot TimeSlot{2, 23, 76, 18};
constexpr Slot PositionSlot{4, 44, 72, 18};
constexpr Slot PrevSlot{3, 66, 24, 20}, PlaySlot{28, 66, 24, 20}, NextSlot{53, 66, 24, 20};
constexpr Slot StopSlot{3, 88, 24, 20}, OpenSlot{28, 88, 24, 20}, InfoSlot{53, 88, 24, 20};
constexpr Slot LoopSlot{10, 112, 22, 17}, RandomSlot{48, 112, 22, 17};
constexpr Slot BalanceSlot{4, 133, 72, 18};
constexpr Slot VolumeSlot{6, 156, 24, 130}, LeftGaugeSlot{40, 158, 12, 126}, RightGaugeSlot{56, 158, 12, 126};

QRect rectOf(const Slot &s)
{
    return QRect(s.x, s.y, s.w, s.h);
}

QString fileFilter()
{
    // The formats beside MPEG audio, as PlaylistModel::AudioExtensions has them.
    QStringList others;
    for (const QString &ext : PlaylistModel::AudioExtensions())
        if (!ext.startsWith(QLatin1String("MP")) || ext == QLatin1String("MP4"))
            others << QStringLiteral("*.") + ext;
    for (qsizetype i = 0, n = others.size(); i < n; ++i)
        others << others.at(i).toLower();
    const QString other = others.join(QLatin1Char(' '));
    return QStringLiteral(
               "All supported files (*.MP2 *.MP3 *.MPG *.M3U *.PLS *.VLN *.XSPF *.mp2 *.mp3 *.mpg *.m3u "
               "*.pls *.vln *.xspf ") +
           other +
           QStringLiteral(
               ");;PlayList files (*.M3U *.PLS *.VLN *.XSPF *.m3u *.pls *.vln *.xspf);;MPEG files (*.MP2 "
               "*.MP3 *.MPG *.mp2 *.mp3 *.mpg);;Other audio files (") +
           other + QStringLiteral(")");
}
} // namespace

MainWindow::MainWindow(PlaybackController *controller, PlayerActions *actions, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_controller(controller), m_actions(actions)
{
    setObjectName(QStringLiteral("Vorlan"));
    setWindowTitle(QStringLiteral("Vorlan"));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    m_kTop = new TKTop(this);

    // The screen the strip docks to is the one it started on. Slid off, it lies mostly on the neighbouring
    // screen of a side-by-side pair, and would be taken for a window of that screen.
    m_dock.setAreaProvider([this] {
        if (!m_dockScreen)
            m_dockScreen = screen() ? screen() : QGuiApplication::primaryScreen();
        return m_dockScreen ? m_dockScreen->availableGeometry() : QRect(0, 0, 1024, 768);
    });
    m_dock.setCursorProvider([] { return QCursor::pos(); });
    m_fileChooser = [](QWidget *parent, const QString &startDir) {
        return QFileDialog::getOpenFileNames(parent, QStringLiteral("Open file(s)"), startDir, fileFilter());
    };

    buildControls();
    buildMenu();
    buildTray();
    connectController();
    setColors(QColor(0x00, 0x80, 0xC0), Qt::white);

    m_hideTimer.setInterval(HideInterval);
    connect(&m_hideTimer, &QTimer::timeout, this, &MainWindow::HideTimerTimer);
    m_hideTimer.start();
    m_trayTimer.setInterval(TrayFrameInterval);
    connect(&m_trayTimer, &QTimer::timeout, this, &MainWindow::nextTrayFrame);

    placeAtDockEdge();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    FountainFill1 = new TFountainFill(this);
    FountainFill1->setObjectName(QStringLiteral("FountainFill1"));
    FountainFill1->setStyle(TFountainFill::fsVertical);
    FountainFill1->setSteps(FillSteps);
    connect(FountainFill1, &TFountainFill::doubleClicked, this, &MainWindow::FountainFill1DblClick);

    QFont small = font();
    small.setPixelSize(11);
    QFont bold = small;
    bold.setBold(true);

    auto button = [&](const char *name, const QString &caption, const QString &hint, const Slot &slot) {
        auto *b = new FlatButton(caption, FountainFill1);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setFont(bold);
        b->setGeometry(rectOf(slot));
        return b;
    };
    auto glyphButton = [&](const char *name, FlatButton::Glyph glyph, const QString &hint, const Slot &slot) {
        auto *b = button(name, QString(), hint, slot);
        b->setGlyph(glyph);
        return b;
    };
    NailBtn = button("NailBtn", AutoHideOn, QStringLiteral("Auto Hide Button"), NailSlot);
    ShowListBtn = button("ShowListBtn", QStringLiteral("T"), QStringLiteral("Play List"), ListSlot);
    ExitBtn = button("ExitBtn", QStringLiteral("X"), QStringLiteral("Close."), ExitSlot);
    PrevBtn = glyphButton("PrevBtn", FlatButton::PreviousGlyph, QStringLiteral("Previous"), PrevSlot);
    PlayBtn = glyphButton("PlayBtn", FlatButton::PlayGlyph, QStringLiteral("Play"), PlaySlot);
    PauseBtn = glyphButton("PauseBtn", FlatButton::PauseGlyph, QStringLiteral("Pause"), PlaySlot);
    NextBtn = glyphButton("NextBtn", FlatButton::NextGlyph, QStringLiteral("Next"), NextSlot);
    StopBtn = glyphButton("StopBtn", FlatButton::StopGlyph, QStringLiteral("Stop"), StopSlot);
    OpenBtn = glyphButton("OpenBtn", FlatButton::OpenGlyph, QStringLiteral("Open file(s)"), OpenSlot);
    InfoBtn = glyphButton("InfoBtn", FlatButton::InfoGlyph, QStringLiteral("File Info"), InfoSlot);
    LED1 = button("LED1", QStringLiteral("L"), QString(), LoopSlot);
    LED2 = button("LED2", QStringLiteral("R"), QString(), RandomSlot);
    LED1->setCheckable(true);
    LED2->setCheckable(true);

    PlayTime = new ClickLabel(QStringLiteral("[00:00]"), FountainFill1);
    PlayTime->setObjectName(QStringLiteral("PlayTime"));
    PlayTime->setAlignment(Qt::AlignCenter);
    QFont timeFont = bold;
    timeFont.setPixelSize(13);
    PlayTime->setFont(timeFont);
    PlayTime->setGeometry(rectOf(TimeSlot));

    auto slider = [&](const char *name, Qt::Orientation orientation, int max, const Slot &slot) {
        auto *s = new QSlider(orientation, FountainFill1);
        s->setObjectName(QLatin1String(name));
        s->setRange(0, max);
        s->setFocusPolicy(Qt::NoFocus);
        s->setGeometry(rectOf(slot));
        s->installEventFilter(this);
        return s;
    };
    RxSlider1 = slider("RxSlider1", Qt::Horizontal, PlaybackController::PositionMax, PositionSlot);
    RxSlider1->setEnabled(false);
    RxSlider1->setPageStep(PlaybackController::PositionMax / 10);
    BalTrack = slider("BalTrack", Qt::Horizontal, 100, BalanceSlot);
    BalTrack->setValue(50);
    BalTrack->setToolTip(QStringLiteral("Balance"));
    VolTrackBar = slider("VolTrackBar", Qt::Vertical, 100, VolumeSlot);
    // Position 0 is full volume and sits at the top.
    VolTrackBar->setInvertedAppearance(true);
    VolTrackBar->setInvertedControls(true);
    VolTrackBar->setToolTip(QStringLiteral("Volume"));

    auto gauge = [&](const char *name, const Slot &slot) {
        auto *g = new Gauge(Gauge::VerticalBar, FountainFill1);
        g->setObjectName(QLatin1String(name));
        g->setRange(0, PlaybackController::LevelMax);
        g->setGeometry(rectOf(slot));
        return g;
    };
    PBarL1 = gauge("PBarL1", LeftGaugeSlot);
    PBarR1 = gauge("PBarR1", RightGaugeSlot);

    // The edge strips bring a slid-off window back; they lie over everything else.
    auto strip = [&](const char *name) {
        auto *w = new QWidget(this);
        w->setObjectName(QLatin1String(name));
        w->setMouseTracking(true);
        w->installEventFilter(this);
        return w;
    };
    ShowPanel = strip("ShowPanel");
    Panel5 = strip("Panel5");

    connect(NailBtn, &FlatButton::clicked, this, &MainWindow::NailBtnClick);
    connect(ShowListBtn, &FlatButton::clicked, this, &MainWindow::ShowListBtnClick);
    connect(ExitBtn, &FlatButton::clicked, this, &MainWindow::ExitBtnClick);
    connect(OpenBtn, &FlatButton::clicked, this, &MainWindow::OpenBtnClick);
    connect(InfoBtn, &FlatButton::clicked, this, &MainWindow::InfoBtnClick);
    connect(LED1, &FlatButton::clicked, this, [this] { LED1Click(false); });
    connect(LED2, &FlatButton::clicked, this, [this] { LED1Click(true); });
    connect(PlayTime, &ClickLabel::clicked, m_actions->timeElapsed, &QAction::trigger);

    for (QWidget *w : findChildren<QWidget *>())
        if (w != ShowPanel && w != Panel5 && !qobject_cast<QSlider *>(w))
            w->installEventFilter(this);
}

void MainWindow::connectController()
{
    PlaybackController *c = m_controller;
    connect(PlayBtn, &FlatButton::clicked, m_actions->play, &QAction::trigger);
    connect(PauseBtn, &FlatButton::clicked, m_actions->pause, &QAction::trigger);
    connect(StopBtn, &FlatButton::clicked, m_actions->stop, &QAction::trigger);
    connect(NextBtn, &FlatButton::clicked, m_actions->next, &QAction::trigger);
    connect(PrevBtn, &FlatButton::clicked, m_actions->previous, &QAction::trigger);
    connect(m_actions->open, &QAction::triggered, this, &MainWindow::chooseFilesToOpen);
    connect(m_actions->hideAll, &QAction::triggered, this, &MainWindow::putAway);
    connect(m_actions->showAll, &QAction::triggered, this, &MainWindow::bringBack);

    // Position: a press fades down and a drag stops the slider following the song; the release seeks and
    // fades back up.
    connect(RxSlider1, &QSlider::sliderPressed, c, [c] {
        c->positionPressed();
        c->positionDragStarted();
    });
    connect(RxSlider1, &QSlider::sliderReleased, c, [this, c] {
        c->positionDragEnded(RxSlider1->value());
        c->positionReleased();
    });
    connect(RxSlider1, &QSlider::valueChanged, c, &PlaybackController::positionValueChanged);
    // A click on the groove (not on the handle) jumps there.
    connect(RxSlider1, &QSlider::actionTriggered, c, [this, c](int action) {
        if (RxSlider1->isSliderDown() ||
            (action != QAbstractSlider::SliderPageStepAdd && action != QAbstractSlider::SliderPageStepSub))
            return;
        QTimer::singleShot(0, c, [this, c] { c->positionDragEnded(RxSlider1->value()); });
    });
    connect(VolTrackBar, &QSlider::valueChanged, c, &PlaybackController::setVolume);
    connect(BalTrack, &QSlider::valueChanged, c, &PlaybackController::setBalance);

    // Hidden or slid off the screen the strip would paint the time, the position and the meters for nobody:
    // they wait and catch up when it is seen again.
    connect(c, &PlaybackController::timeTextChanged, this, [this](const QString &text) {
        m_timeText = text;
        if (!outOfSight())
            PlayTime->setText(text);
    });
    connect(c, &PlaybackController::positionChanged, this, [this](int value) {
        m_position = value;
        m_positionWaits = outOfSight();
        if (!m_positionWaits)
            showPosition();
    });
    // The decoder's reports of older levels must not pull a slider from under the user's hand.
    connect(c, &PlaybackController::volumePositionChanged, this, [this](int position) {
        if (VolTrackBar->isSliderDown())
            return;
        const QSignalBlocker block(VolTrackBar);
        VolTrackBar->setValue(position);
    });
    connect(c, &PlaybackController::balancePositionChanged, this, [this](int position) {
        if (BalTrack->isSliderDown())
            return;
        const QSignalBlocker block(BalTrack);
        BalTrack->setValue(position);
    });
    // Let go near the middle, the knob shows the snap to it that the controller made meanwhile.
    connect(BalTrack, &QSlider::sliderReleased, this, [this, c] {
        const QSignalBlocker block(BalTrack);
        BalTrack->setValue(c->balancePosition());
    });
    connect(c, &PlaybackController::availabilityChanged, this, &MainWindow::followAvailability);
    connect(c, &PlaybackController::levelsChanged, this, [this](int left, int right) {
        m_levelLeft = left;
        m_levelRight = right;
        if (!outOfSight())
            showLevels();
    });
    connect(c, &PlaybackController::loopRandomChanged, this, &MainWindow::setLoopRandom);
    connect(c, &PlaybackController::trayAnimationChanged, this, &MainWindow::setTrayAnimation);
    connect(c, &PlaybackController::titleChanged, this, [this](const QString &name) {
        PlayTime->setToolTip(name);
        setTrayToolTip(name);
    });
    connect(c, &PlaybackController::lengthTextChanged, InfoBtn, &QWidget::setToolTip);

    {
        const QSignalBlocker blockVolume(VolTrackBar);
        const QSignalBlocker blockBalance(BalTrack);
        VolTrackBar->setValue(c->volumePosition());
        BalTrack->setValue(c->balancePosition());
    }
    m_timeText = c->timeText();
    PlayTime->setText(m_timeText);
    setLoopRandom(c->loop(), c->random());
    followAvailability();
}

void MainWindow::followAvailability()
{
    // The strip offers only what can be done now.
    PlayBtn->setVisible(m_controller->canPlay());
    PauseBtn->setVisible(m_controller->canPause());
    StopBtn->setVisible(m_controller->canStop());
    RxSlider1->setEnabled(m_controller->canSeek());
}

void MainWindow::setLoopRandom(bool loop, bool random)
{
    LED1->setChecked(loop);
    LED2->setChecked(random);
    LED1->setToolTip(loop ? QStringLiteral("Loop : On") : QStringLiteral("Loop : Off"));
    LED2->setToolTip(random ? QStringLiteral("Random : On") : QStringLiteral("Random : Off"));
}

void MainWindow::LED1Click(bool random)
{
    (random ? m_actions->random : m_actions->loop)->trigger();
    // The controller's answer sets the checks; a click must not leave a button out of step with it.
    setLoopRandom(m_controller->loop(), m_controller->random());
}

void MainWindow::setColors(const QColor &color1, const QColor &color2)
{
    m_color1 = color1;
    m_color2 = color2;
    FountainFill1->setColors(color1, color2);
    m_menu->setMarginColors(color1, QColor(color1.red() / 4, color1.green() / 4, color1.blue() / 4));
    m_menu->setMarginTextColor(color2);
    for (Gauge *g : {PBarL1, PBarR1}) {
        g->setForeColor(color2);
        g->setBackColor(QColor(color1.red() / 4, color1.green() / 4, color1.blue() / 4));
        g->setBorderColor(color1.darker(160));
    }
    applyTextColors();
}

void MainWindow::applyTextColors()
{
    // Captions take Color2 where it reads well on the gradient behind them, else black or white.
    const auto bands = TFountainFill::bands(m_color1, m_color2, FountainFill1->Steps(), height());
    auto background = [&](const QWidget *w) {
        const int y = w->geometry().center().y();
        for (const auto &b : bands)
            if (y >= b.from && y < b.to)
                return QColor(b.color);
        return m_color1;
    };
    for (FlatButton *b : FountainFill1->findChildren<FlatButton *>())
        b->setTextColor(ReadableText::on(background(b), m_color2));
    QPalette pal = PlayTime->palette();
    pal.setColor(QPalette::WindowText, ReadableText::on(background(PlayTime), m_color2));
    PlayTime->setPalette(pal);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void MainWindow::layoutControls()
{
    FountainFill1->setGeometry(rect());
    ShowPanel->setGeometry(0, 0, 1, height());
    Panel5->setGeometry(width() - 3, 0, 3, height());
    ShowPanel->raise();
    Panel5->raise();
    applyTextColors();
}

// --- Commands ---

void MainWindow::OpenBtnClick()
{
    m_actions->open->trigger();
}

void MainWindow::chooseFilesToOpen()
{
    const QStringList files = m_fileChooser(this, m_openDir);
    if (files.isEmpty())
        return;
    const QString dir = QFileInfo(files.first()).absolutePath();
    if (dir != m_openDir) {
        m_openDir = dir;
        emit openDirectoryChanged(dir);
    }
    m_controller->opener()->openFiles(files);
}

void MainWindow::InfoBtnClick()
{
    m_actions->fileInfo->trigger();
}

void MainWindow::ShowListBtnClick()
{
    m_actions->playlist->trigger();
}

void MainWindow::ExitBtnClick()
{
    m_actions->exit->trigger();
}

void MainWindow::FountainFill1DblClick()
{
    emit skinnedWindowRequested();
}

void MainWindow::setTrayAvailable(bool available)
{
    m_trayAvailable = available;
}

void MainWindow::setKeepOnTop(bool on)
{
    m_kTop->setKTop(on);
}

void MainWindow::enterSkinnedMode()
{
    m_skinnedInUse = true;
    hide();
    m_hideTimer.stop();
}

void MainWindow::HideAll1Click()
{
    m_actions->hideAll->trigger();
}

void MainWindow::ShowAll1Click()
{
    m_actions->showAll->trigger();
}

void MainWindow::putAway()
{
    // Without a tray icon nothing could bring a hidden player back: the strip slides off instead, and the
    // pointer at its edge brings everything back.
    if (m_trayAvailable || m_skinnedInUse) {
        hide();
    } else {
        slideTo(hiddenLeft());
        m_kTop->setKTop(true);
    }
    m_hideTimer.stop();
    emit hideAllRequested();
}

void MainWindow::bringBack()
{
    if (!m_skinnedInUse) {
        placeAtDockEdge();
        show();
    }
    m_hideTimer.start();
    emit showAllRequested();
    if (isVisible()) {
        raise();
        activateWindow();
    }
}

void MainWindow::closeNow()
{
    m_closing = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // The window manager's close goes the same way as "X": the application decides.
    event->ignore();
    emit closeRequested();
}

// --- Keys ---

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift) {
        m_controller->setShiftHeld(true);
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    if (!m_actions->keyReleased(event->key(), event->modifiers()))
        QWidget::keyReleaseEvent(event);
}

// --- Drops ---

bool MainWindow::acceptsDrop(const QMimeData *mime, QObject *source) const
{
    if (mime->hasFormat(PlaylistEntriesMimeType))
        return source != this;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrop(event->mimeData(), event->source()))
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event->mimeData(), event->source()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (!acceptsDrop(mime, event->source()))
        return;
    event->acceptProposedAction();
    if (mime->hasFormat(PlaylistEntriesMimeType)) {
        m_controller->playSelected();
        return;
    }
    QStringList names;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            names << FileName::fromLocalUrl(url);
    m_controller->opener()->dropFiles(names);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (watched == ShowPanel || watched == Panel5)
            ShowPanelMouseMove();
        break;
    case QEvent::ToolTip:
        if (!m_showHints)
            return true;
        break;
    case QEvent::Wheel:
        // The wheel would move the position slider without seeking.
        if (watched == RxSlider1)
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// --- Place on the screen: docked at an edge (StripDock's rules), sliding off when the pointer leaves ---

void MainWindow::setScreenAreaProvider(ScreenAreaProvider provider)
{
    m_dock.setAreaProvider(std::move(provider));
}

void MainWindow::setCursorProvider(CursorProvider provider)
{
    m_dock.setCursorProvider(std::move(provider));
}

void MainWindow::setFileChooser(FileChooser chooser)
{
    m_fileChooser = std::move(chooser);
}

QRect MainWindow::screenArea() const
{
    return m_dock.area();
}

QRect MainWindow::dockedGeometry() const
{
    return m_dock.dockedGeometry(StripWidth);
}

int MainWindow::hiddenLeft() const
{
    return m_dock.hiddenLeft(width());
}

bool MainWindow::isSlidOff() const
{
    return m_dock.isSlidOff(x(), width());
}

bool MainWindow::staysOnTop() const
{
    return m_kTop->KTop();
}

void MainWindow::placeAtDockEdge()
{
    setGeometry(dockedGeometry());
    // A hidden window gets its resize event only when shown; the edge strips must be right before that.
    layoutControls();
}

void MainWindow::slideTo(int left)
{
    move(left, y());
    if (!outOfSight())
        showSkipped();
}

void MainWindow::showLevels()
{
    PBarL1->setProgress(m_levelLeft);
    PBarR1->setProgress(m_levelRight);
}

void MainWindow::showPosition()
{
    if (RxSlider1->isSliderDown())
        return;
    const QSignalBlocker block(RxSlider1);
    RxSlider1->setValue(m_position);
}

void MainWindow::showSkipped()
{
    showLevels();
    if (m_positionWaits)
        showPosition();
    m_positionWaits = false;
    PlayTime->setText(m_timeText);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Back on the screen, it shows what it skipped while out of sight.
    if (!outOfSight())
        showSkipped();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!outOfSight())
        showSkipped();
}

void MainWindow::setDockedLeft(bool left)
{
    m_dock.setDockedLeft(left);
    placeAtDockEdge();
}

void MainWindow::setNailCaption(const QString &caption)
{
    NailBtn->setText(caption == AutoHideOn ? AutoHideOn : AutoHideOff);
}

QString MainWindow::nailCaption() const
{
    return NailBtn->text();
}

void MainWindow::setSkinnedInUse(bool inUse)
{
    m_skinnedInUse = inUse;
}

void MainWindow::FormActivate()
{
    slideTo(dockedGeometry().left());
    m_kTop->setKTop(false);
}

void MainWindow::HideTimerTimer()
{
    if (m_skinnedInUse || nailCaption() == AutoHideOff)
        return;
    // Not while the user is busy with the strip's menu or drags a slider out of it.
    if (m_menu->isVisible() || QApplication::mouseButtons() != Qt::NoButton)
        return;
    if (isSlidOff())
        return;
    if (m_dock.pointerOver(geometry()))
        return;
    slideTo(hiddenLeft());
    m_kTop->setKTop(true);
}

void MainWindow::ShowPanelMouseMove()
{
    if (!m_actions->allShown()) {
        ShowAll1Click();
        return;
    }
    if (m_dock.atAnEdge(x(), width()))
        return;
    slideTo(dockedGeometry().left());
    m_kTop->setKTop(false);
}

void MainWindow::NailBtnClick()
{
    if (nailCaption() != AutoHideOn) {
        NailBtn->setText(AutoHideOn);
        m_kTop->setKTop(true);
    } else {
        NailBtn->setText(AutoHideOff);
        m_kTop->setKTop(false);
    }
    emit nailCaptionChanged(nailCaption());
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    // Shift released while another window had the keyboard never reaches us.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        m_controller->setShiftHeld(false);
}
