#include "player/PreferencesWindow.h"

#include "engine/EqualizerWindow.h"
#include "engine/TXaudioPlayer.h"
#include "masks/SkinnedWindow.h"
#include "platform/RegistryStore.h"
#include "player/ColorList.h"
#include "player/FileAssociations.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/Settings.h"
#include "player/TrayIcons.h"
#include "widgets/GradientFrame.h"
#include "widgets/TFountainFill.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
constexpr int StripWidth = 5;
constexpr int TopHeight = 22;
const QString MultiInstanceKey = QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance");
const QString AllowValue = QStringLiteral("Allow");

QCheckBox *checkBox(const char *name, const QString &caption, bool checked, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    box->setChecked(checked);
    return box;
}

QPushButton *pushButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

const QColor PreferencesWindow::FrameColor = GradientFrame::DesignedColor;

RadioGroup::RadioGroup(const QString &caption, const QStringList &items, QWidget *parent) : QWidget(parent)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *box = new QGroupBox(caption, this);
    outer->addWidget(box);
    auto *column = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items[i], box);
        column->addWidget(radio);
        m_items << radio;
        connect(radio, &QRadioButton::clicked, this, [this, i] { emit clicked(i); });
    }
    column->addStretch();
}

int RadioGroup::itemIndex() const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked())
            return i;
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    for (int i = 0; i < m_items.size(); ++i) {
        // Radio buttons of one box exclude each other; unchecking all needs the exclusion off for a moment.
        m_items[i]->setAutoExclusive(false);
        m_items[i]->setChecked(i == index);
        m_items[i]->setAutoExclusive(true);
    }
}

QRadioButton *RadioGroup::item(int index) const
{
    return m_items.value(index);
}

PreferencesWindow::PreferencesWindow(Settings *settings, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_settings(settings)
{
    setObjectName(QStringLiteral("PreferencesWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    // Modal for the player without a local event loop: shown with show(), it reports with finished().
    setWindowModality(Qt::ApplicationModal);
    m_colors = std::make_unique<ColorList>(QString());
    m_colorChooser = [](QWidget *parent, const QColor &initial) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(initial, parent);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    m_fontChooser = [](QWidget *parent, const QFont &initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    m_folderChooser = [](QWidget *parent, const QString &start) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose Directory"), start);
    };
    m_maskChooser = [](QWidget *parent, const QString &start) {
        QFileDialog dialog(parent, QStringLiteral("Select Vorlan mask file."), start,
                           QStringLiteral("Vorlan mask files. (*.msk)"));
        dialog.setDefaultSuffix(QStringLiteral("msk"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };

    auto *content = new QWidget(this);
    auto *column = new QVBoxLayout(content);
    Tabs = new QTabWidget(content);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    column->addWidget(Tabs);
    buildInterfaceTab();
    buildEngineTab();
    buildPlayListTab();
    buildVorlanTab();
    buildShutdownTab();
    buildMasksTab();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    OkBtn = pushButton("OkBtn", QStringLiteral("OK"), content);
    OkBtn->setDefault(true);
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), content);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    column->addLayout(buttons);
    connect(OkBtn, &QPushButton::clicked, this, &PreferencesWindow::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &PreferencesWindow::CancelBtnClick);

    buildFrame(content);
    showPickerColors();
    applyFrameColors(QColor(0x00, 0x80, 0xC0), Qt::white);
    // Every tab's name in view: no scroll arrows hiding "Timer Shutdown" and the mask tab.
    setMinimumWidth(Tabs->tabBar()->sizeHint().width() + 2 * StripWidth + 40);
    resize(std::max(580, minimumWidth()), 420);
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::buildFrame(QWidget *content)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto strip = [this](const char *name, TFountainFill::TFillStyle style) {
        auto *fill = new TFountainFill(this);
        fill->setObjectName(QLatin1String(name));
        fill->setStyle(style);
        fill->setSteps(40);
        return fill;
    };
    TopFill = strip("TopFill", TFountainFill::fsHorizontal);
    TopFill->setFixedHeight(TopHeight);
    Label8 = new QLabel(QStringLiteral("Vorlan Preferences"), TopFill);
    Label8->setObjectName(QStringLiteral("Label8"));
    QFont bold = Label8->font();
    bold.setBold(true);
    Label8->setFont(bold);
    auto *top = new QHBoxLayout(TopFill);
    top->setContentsMargins(8, 0, 8, 0);
    top->addWidget(Label8);
    LeftFill = strip("LeftFill", TFountainFill::fsVertical);
    LeftFill->setFixedWidth(StripWidth);
    RightFill = strip("RightFill", TFountainFill::fsVertical);
    RightFill->setFixedWidth(StripWidth);
    BottomFill = strip("BottomFill", TFountainFill::fsHorizontal);
    BottomFill->setFixedHeight(StripWidth);
    grid->addWidget(TopFill, 0, 0, 1, 3);
    grid->addWidget(LeftFill, 1, 0);
    grid->addWidget(content, 1, 1);
    grid->addWidget(RightFill, 1, 2);
    grid->addWidget(BottomFill, 2, 0, 1, 3);
}

void PreferencesWindow::buildEngineTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    ChannelsRadioGroup = new RadioGroup(QStringLiteral("Output Control"),
                                        {QStringLiteral("Stereo"), QStringLiteral("Mono Left"),
                                         QStringLiteral("Mono Right"), QStringLiteral("Mono Mix")},
                                        page);
    ChannelsRadioGroup->setObjectName(QStringLiteral("ChannelsRadioGroup"));
    Module = new RadioGroup(QStringLiteral("Output Module"),
                            {QStringLiteral("Use DirectSound"), QStringLiteral("Use Wave Driver"),
                             QStringLiteral("Save to Wave File")},
                            page);
    Module->setObjectName(QStringLiteral("Module"));
    XPriority = new RadioGroup(QStringLiteral("XAudio Priority :"),
                               {QStringLiteral("LOWEST"), QStringLiteral("LOW"), QStringLiteral("NORMAL"),
                                QStringLiteral("HIGH"), QStringLiteral("HIGHEST")},
                               page);
    XPriority->setObjectName(QStringLiteral("XPriority"));
    TransparentButton1 = pushButton("TransparentButton1", QStringLiteral("Choose Directory"), page);
    DirLabel = new QLabel(page);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));
    DirLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(ChannelsRadioGroup, 0, 0);
    grid->addWidget(Module, 0, 1);
    grid->addWidget(XPriority, 0, 2, 2, 1);
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(TransparentButton1);
    dirRow->addWidget(DirLabel, 1);
    grid->addLayout(dirRow, 2, 0, 1, 3);
    ReplayGain = new QCheckBox(QStringLiteral("Play songs at their ReplayGain level"), page);
    ReplayGain->setObjectName(QStringLiteral("ReplayGain"));
    grid->addWidget(ReplayGain, 3, 0, 1, 3);
    Module->setItemIndex(1);
    ChannelsRadioGroup->setItemIndex(0);
    XPriority->setItemIndex(3);
    connect(Module, &RadioGroup::clicked, this, &PreferencesWindow::ModuleClick);
    connect(ChannelsRadioGroup, &RadioGroup::clicked, this, &PreferencesWindow::ChannelsClick);
    connect(XPriority, &RadioGroup::clicked, this, &PreferencesWindow::PriorityClick);
    connect(TransparentButton1, &QPushButton::clicked, this, &PreferencesWindow::chooseOutputDirectory);
    // Like the output choices, heard at once.
    connect(ReplayGain, &QCheckBox::toggled, this, [this](bool on) {
        if (m_targets.controller)
            m_targets.controller->setReplayGain(on);
        m_settings->replayGain = on;
    });
    Tabs->addTab(page, QStringLiteral("MP3 Engine"));
}

void PreferencesWindow::buildPlayListTab()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    AlignmentBox = new RadioGroup(
        QStringLiteral("Play List Alignment"),
        {QStringLiteral("Right Justify"), QStringLiteral("Center"), QStringLiteral("Left Justify")}, page);
    AlignmentBox->setObjectName(QStringLiteral("AlignmentBox"));
    AlignmentBox->setItemIndex(2);
    PlayListFont = pushButton("PlayListFont", QString(), page);
    DockPlayList = checkBox("DockPlayList", QStringLiteral("Dock Form Play List"), true, page);
    column->addWidget(AlignmentBox);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(new QLabel(QStringLiteral("Play List Font"), page));
    fontRow->addWidget(PlayListFont, 1);
    column->addLayout(fontRow);
    column->addWidget(DockPlayList);
    column->addStretch();
    m_listFont = QFont(QStringLiteral("MS Sans Serif"), 8);
    showFontCaption();
    connect(PlayListFont, &QPushButton::clicked, this, &PreferencesWindow::PlayListFontClick);
    Tabs->addTab(page, QStringLiteral("Play List"));
}

void PreferencesWindow::buildVorlanTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    Registre = pushButton("Registre", QStringLiteral("Associate Vorlan"), page);
    auto iconRow = [&](const char *name, const char *imageName, const QString &caption, QSpinBox *&spin,
                       QLabel *&image, int row) {
        spin = new QSpinBox(page);
        spin->setObjectName(QLatin1String(name));
        spin->setRange(1, IconCount);
        spin->setValue(1);
        image = new QLabel(page);
        image->setObjectName(QLatin1String(imageName));
        image->setFixedSize(34, 34);
        image->setAlignment(Qt::AlignCenter);
        grid->addWidget(new QLabel(caption, page), row, 0);
        grid->addWidget(spin, row, 1);
        grid->addWidget(image, row, 2);
        connect(spin, &QSpinBox::valueChanged, this, [this, image](int n) { showIcon(image, n); });
        showIcon(image, 1);
    };
    grid->addWidget(Registre, 0, 0, 1, 3);
    iconRow("Icon1", "IconImage1", QStringLiteral("File Icon"), Icon1, IconImage1, 1);
    iconRow("Icon2", "IconImage2", QStringLiteral("PlayList Icon"), Icon2, IconImage2, 2);

    auto *dock = new QGroupBox(QStringLiteral("Dock Mode Postion."), page);
    auto *dockRow = new QHBoxLayout(dock);
    LeftDock = new QRadioButton(QStringLiteral("Left"), dock);
    LeftDock->setObjectName(QStringLiteral("LeftDock"));
    RightDock = new QRadioButton(QStringLiteral("Right"), dock);
    RightDock->setObjectName(QStringLiteral("RightDock"));
    LeftDock->setChecked(true);
    dockRow->addWidget(LeftDock);
    dockRow->addWidget(RightDock);
    grid->addWidget(dock, 3, 0, 1, 3);

    AniTray = checkBox("AniTray", QStringLiteral("Show animated tray icon"), true, page);
    Multi = checkBox("Multi", QStringLiteral("Allow multiple instances"), false, page);
    AutoPlay = checkBox("AutoPlay", QStringLiteral("Auto play songs after load"), true, page);
    ShowHints = checkBox("ShowHints", QStringLiteral("Show hints on mask mode"), true, page);
    ActiveGif = checkBox("ActiveGif", QStringLiteral("Active Animated GIF"), true, page);
    int row = 0;
    for (QCheckBox *box : {AniTray, Multi, AutoPlay, ShowHints, ActiveGif})
        grid->addWidget(box, row++, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    connect(Registre, &QPushButton::clicked, this, &PreferencesWindow::RegistreClick);
    Tabs->addTab(page, QStringLiteral("Vorlan"));
}

void PreferencesWindow::buildShutdownTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    ShutDownGroup =
        new RadioGroup(QStringLiteral("Shutdown after..."),
                       {QStringLiteral("Time."), QStringLiteral("PlayList ends."),
                        QStringLiteral("Number of songs."), QStringLiteral("Windows Shutdown :)")},
                       page);
    ShutDownGroup->setObjectName(QStringLiteral("ShutDownGroup"));
    ShutDownGroup->setItemIndex(3);
    auto spin = [page](const char *name) {
        auto *s = new QSpinBox(page);
        s->setObjectName(QLatin1String(name));
        s->setRange(1, MaxMinutes);
        s->setValue(5);
        return s;
    };
    STime = spin("STime");
    NSongs = spin("NSongs");
    grid->addWidget(ShutDownGroup, 0, 0, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Minutes"), page), 0, 1);
    grid->addWidget(STime, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Songs"), page), 1, 1);
    grid->addWidget(NSongs, 1, 2);
    grid->setRowStretch(2, 1);
    Tabs->addTab(page, QStringLiteral("Timer Shutdown"));
}

void PreferencesWindow::buildMasksTab()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    UseMask = checkBox("UseMask", QStringLiteral("Active Mask Mode"), true, page);
    LoadBtn = pushButton("LoadBtn", QStringLiteral("Load Mask"), page);
    ClearMask = pushButton("ClearMask", QStringLiteral("Clear mask, and use the orginal"), page);
    auto *note =
        new QLabel(QStringLiteral("you must close Vorlan and restart it, to use the orginal mask."), page);
    note->setWordWrap(true);
    Masker = pushButton("Masker", QStringLiteral("Run VorlanMasker"), page);
    column->addWidget(UseMask);
    column->addWidget(LoadBtn);
    column->addWidget(ClearMask);
    column->addWidget(note);
    column->addWidget(Masker);
    column->addStretch();
    connect(LoadBtn, &QPushButton::clicked, this, &PreferencesWindow::LoadBtnClick);
    connect(ClearMask, &QPushButton::clicked, this, &PreferencesWindow::ClearMaskClick);
    connect(Masker, &QPushButton::clicked, this, &PreferencesWindow::maskerRequested);
    Tabs->addTab(page, QStringLiteral("Masks"));
}

void PreferencesWindow::setTargets(const Targets &targets)
{
    m_targets = targets;
}

void PreferencesWindow::loadSettings()
{
    const Settings &s = *m_settings;
    setPickerColors(s.color1, s.color2);
    RandColor->setChecked(s.randomColors);
    ChannelsRadioGroup->setItemIndex(s.outputControl);
    Module->setItemIndex(s.outputModule);
    XPriority->setItemIndex(s.xPriority);
    {
        const QSignalBlocker quiet(ReplayGain);
        ReplayGain->setChecked(s.replayGain);
    }
    m_outputDir = s.outPutDir;
    showDirectory();
    AlignmentBox->setItemIndex(s.alignment);
    m_listFont = QFont(s.listFontName);
    m_listFont.setPointSize(s.listFontSize > 0 ? s.listFontSize : 8);
    showFontCaption();
    DockPlayList->setChecked(s.playListDock);
    Icon1->setValue(s.icon1);
    Icon2->setValue(s.icon2);
    LeftDock->setChecked(s.dockSide);
    RightDock->setChecked(!s.dockSide);
    AniTray->setChecked(s.animatedTray);
    Multi->setChecked(RegistryStore(m_targets.registryPath.isEmpty() ? RegistryStore::defaultPath()
                                                                     : m_targets.registryPath)
                          .readBool(MultiInstanceKey, AllowValue, false));
    AutoPlay->setChecked(s.autoPlay);
    ShowHints->setChecked(s.showHints);
    ActiveGif->setChecked(s.animatedGif);
    STime->setValue(s.shutTime);
    NSongs->setValue(s.shutNumSong);
    UseMask->setChecked(s.backMask);
    m_maskUsed = s.maskUsed;
}

void PreferencesWindow::storeSettings() const
{
    Settings &s = *m_settings;
    s.color1 = m_cp1;
    s.color2 = m_cp2;
    s.randomColors = RandColor->isChecked();
    // A group with nothing chosen keeps what the settings had.
    auto index = [](const RadioGroup *group, int old) {
        return group->itemIndex() >= 0 ? group->itemIndex() : old;
    };
    s.outputControl = index(ChannelsRadioGroup, s.outputControl);
    s.outputModule = index(Module, s.outputModule);
    s.xPriority = index(XPriority, s.xPriority);
    s.outPutDir = m_outputDir;
    s.alignment = index(AlignmentBox, s.alignment);
    s.listFontName = m_listFont.family().left(Settings::MaxFontNameLength);
    s.listFontSize = m_listFont.pointSize() > 0 ? m_listFont.pointSize() : s.listFontSize;
    s.playListDock = DockPlayList->isChecked();
    s.icon1 = Icon1->value();
    s.icon2 = Icon2->value();
    s.dockSide = LeftDock->isChecked();
    s.animatedTray = AniTray->isChecked();
    s.autoPlay = AutoPlay->isChecked();
    s.showHints = ShowHints->isChecked();
    s.animatedGif = ActiveGif->isChecked();
    s.shutTime = STime->value();
    s.shutNumSong = NSongs->value();
    s.backMask = UseMask->isChecked();
    s.maskUsed = m_maskUsed;
}

void PreferencesWindow::setUseMask(bool on)
{
    UseMask->setChecked(on);
}

void PreferencesWindow::setDockPlayList(bool on)
{
    DockPlayList->setChecked(on);
}

int PreferencesWindow::icon1() const
{
    return Icon1->value();
}

int PreferencesWindow::icon2() const
{
    return Icon2->value();
}

void PreferencesWindow::showWithColors(int32_t color1, int32_t color2)
{
    setPickerColors(color1, color2);
    show();
    raise();
    activateWindow();
}

void PreferencesWindow::OkBtnClick()
{
    done(QDialog::Accepted);
    Apply();
}

void PreferencesWindow::CancelBtnClick()
{
    done(QDialog::Rejected);
}

void PreferencesWindow::ModuleClick(int index)
{
    if (m_targets.controller)
        m_targets.controller->setOutputModule(index);
    // Only the sound server takes the pitch.
    if (m_targets.equalizer)
        m_targets.equalizer->setPitchEnabled(index == 0);
    m_settings->outputModule = index;
}

void PreferencesWindow::ChannelsClick(int index)
{
    if (m_targets.player)
        m_targets.player->SetOutputChannels(index);
    m_settings->outputControl = index;
}

void PreferencesWindow::PriorityClick(int index)
{
    if (m_targets.player)
        m_targets.player->setPriority(index);
    m_settings->xPriority = index;
}

void PreferencesWindow::showDirectory()
{
    DirLabel->setText(m_outputDir);
}

void PreferencesWindow::chooseOutputDirectory()
{
    const QString dir = m_folderChooser(this, m_outputDir);
    if (dir.isEmpty())
        return;
    m_outputDir = dir;
    showDirectory();
}

void PreferencesWindow::showFontCaption()
{
    PlayListFont->setText(QStringLiteral("%1, %2").arg(m_listFont.family()).arg(m_listFont.pointSize()));
}

void PreferencesWindow::PlayListFontClick()
{
    const std::optional<QFont> font = m_fontChooser(this, m_listFont);
    if (!font)
        return;
    m_listFont = *font;
    showFontCaption();
}

void PreferencesWindow::showIcon(QLabel *image, int number)
{
    image->setPixmap(TrayIcons::pixmap(number, 32));
}

void PreferencesWindow::LoadBtnClick()
{
    const QString file = m_maskChooser(this, m_maskDir);
    if (file.isEmpty())
        return;
    m_maskUsed = file;
    m_settings->maskUsed = file;
    if (m_targets.skinned)
        m_targets.skinned->LoadMask(file);
    done(QDialog::Rejected);
    if (m_targets.main)
        m_targets.main->ShowAll1Click();
    emit maskLoaded(file);
}

void PreferencesWindow::ClearMaskClick()
{
    // The built-in face comes back at the next start.
    m_maskUsed.clear();
    m_settings->maskUsed.clear();
}

void PreferencesWindow::RegistreClick()
{
    FileAssociations::registerPlayer(QCoreApplication::applicationFilePath(), Icon1->value(), Icon2->value());
}
