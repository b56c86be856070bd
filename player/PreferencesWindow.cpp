#include "player/PreferencesWindow.h"

#include "platform/SystemColors.h"
#include "player/PreferencesControls.h"
#include "player/PreferencesEnginePage.h"
#include "player/PreferencesInterfacePage.h"
#include "player/PreferencesMasksPage.h"
#include "player/PreferencesPlayListPage.h"
#include "player/PreferencesShutdownPage.h"
#include "player/PreferencesVorlanPage.h"
#include "player/Settings.h"
#include "widgets/GradientFrame.h"
#include "widgets/TFountainFill.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace
{
constexpr int StripWidth = 5;
constexpr int TopHeight = 22;
} // namespace

const QColor PreferencesWindow::FrameColor = GradientFrame::DesignedColor;

PreferencesWindow::PreferencesWindow(Settings *settings, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_settings(settings)
{
    setObjectName(QStringLiteral("PreferencesWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    // Modal for the player without a local event loop: shown with show(), it reports with finished().
    setWindowModality(Qt::ApplicationModal);

    auto *content = new QWidget(this);
    auto *column = new QVBoxLayout(content);
    Tabs = new QTabWidget(content);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    column->addWidget(Tabs);
    Tabs->addTab(m_interface = new PreferencesInterfacePage, QStringLiteral("Interface"));
    Tabs->addTab(m_engine = new PreferencesEnginePage, QStringLiteral("MP3 Engine"));
    Tabs->addTab(m_playList = new PreferencesPlayListPage, QStringLiteral("Play List"));
    Tabs->addTab(m_vorlan = new PreferencesVorlanPage, QStringLiteral("Vorlan"));
    Tabs->addTab(m_shutdown = new PreferencesShutdownPage, QStringLiteral("Timer Shutdown"));
    Tabs->addTab(m_masks = new PreferencesMasksPage, QStringLiteral("Masks"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    OkBtn = PreferencesControls::pushButton("OkBtn", QStringLiteral("OK"), content);
    OkBtn->setDefault(true);
    CancelBtn = PreferencesControls::pushButton("CancelBtn", QStringLiteral("Cancel"), content);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    column->addLayout(buttons);
    connect(OkBtn, &QPushButton::clicked, this, &PreferencesWindow::OkBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &PreferencesWindow::CancelBtnClick);
    wirePages();

    buildFrame(content);
    applyFrameColors(QColor(0x00, 0x80, 0xC0), Qt::white);
    // Every tab's name in view: no scroll arrows hiding "Timer Shutdown" and the mask tab.
    setMinimumWidth(Tabs->tabBar()->sizeHint().width() + 2 * StripWidth + 40);
    resize(std::max(580, minimumWidth()), 420);
}

void PreferencesWindow::wirePages()
{
    // What is heard at once acts first (the player is told), then the value keeps it.
    connect(m_engine, &PreferencesEnginePage::outputModuleChosen, this, [this](int module) {
        emit outputModuleChosen(module);
        m_settings->outputModule = module;
    });
    connect(m_engine, &PreferencesEnginePage::outputChannelsChosen, this, [this](int channels) {
        emit outputChannelsChosen(channels);
        m_settings->outputControl = channels;
    });
    connect(m_engine, &PreferencesEnginePage::priorityChosen, this, [this](int priority) {
        emit priorityChosen(priority);
        m_settings->xPriority = priority;
    });
    connect(m_engine, &PreferencesEnginePage::replayGainChosen, this, [this](bool on) {
        emit replayGainChosen(on);
        m_settings->replayGain = on;
    });
    connect(m_masks, &PreferencesMasksPage::maskChosen, this, [this](const QString &path) {
        m_settings->maskUsed = path;
        emit maskChosen(path);
        done(QDialog::Rejected);
        emit maskLoaded(path);
    });
    connect(m_masks, &PreferencesMasksPage::maskCleared, this, [this] { m_settings->maskUsed.clear(); });
    connect(m_masks, &PreferencesMasksPage::maskerRequested, this, &PreferencesWindow::maskerRequested);
}

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

void PreferencesWindow::setColorListPath(const QString &path)
{
    m_interface->setColorListPath(path);
}

void PreferencesWindow::setMaskDirectory(const QString &dir)
{
    m_masks->setMaskDirectory(dir);
}

void PreferencesWindow::loadSettings()
{
    const Settings &s = *m_settings;
    m_interface->load(s);
    m_engine->load(s);
    m_playList->load(s);
    m_vorlan->load(s);
    m_shutdown->load(s);
    m_masks->load(s);
    // The window's own frame wears the colours from the start.
    applyFrameColors(SystemColors::fromValue(s.color1), SystemColors::fromValue(s.color2));
}

void PreferencesWindow::storeSettings() const
{
    Settings &s = *m_settings;
    m_interface->store(s);
    m_engine->store(s);
    m_playList->store(s);
    m_vorlan->store(s);
    m_shutdown->store(s);
    m_masks->store(s);
}

void PreferencesWindow::setUseMask(bool on)
{
    m_masks->setUseMask(on);
}

void PreferencesWindow::setDockPlayList(bool on)
{
    m_playList->setDockPlayList(on);
}

void PreferencesWindow::setMaskUsed(const QString &path)
{
    m_masks->setMaskUsed(path);
}

int PreferencesWindow::icon1() const
{
    return m_vorlan->Icon1->value();
}

int PreferencesWindow::icon2() const
{
    return m_vorlan->Icon2->value();
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

void PreferencesWindow::Apply()
{
    // The value follows the controls, so every window (and the application's own steps) reads the same.
    storeSettings();
    applyFrameColors(SystemColors::fromValue(m_settings->color1),
                     SystemColors::fromValue(m_settings->color2));
    emit applied(*m_settings);
}

void PreferencesWindow::setPickerColors(int32_t color1, int32_t color2)
{
    m_interface->setPickerColors(color1, color2);
}

void PreferencesWindow::applyColors()
{
    m_settings->color1 = m_interface->color1();
    m_settings->color2 = m_interface->color2();
    applyFrameColors(SystemColors::fromValue(m_settings->color1),
                     SystemColors::fromValue(m_settings->color2));
    emit colorsApplied(*m_settings);
}

bool PreferencesWindow::pickRandomBestColor()
{
    if (!m_interface->pickRandomBestColor())
        return false;
    applyColors();
    return true;
}

void PreferencesWindow::applyFrameColors(const QColor &c1, const QColor &c2)
{
    // Top and left start in the first colour, bottom and right end in it; the other ends keep the frame's
    // own.
    TopFill->setColors(c1, FrameColor);
    LeftFill->setColors(c1, FrameColor);
    BottomFill->setColors(FrameColor, c1);
    RightFill->setColors(FrameColor, c1);
    QPalette pal = Label8->palette();
    pal.setColor(QPalette::WindowText, GradientFrame::captionColor(c1, c2));
    Label8->setPalette(pal);
}
