#include "player/PreferencesEnginePage.h"

#include "player/PreferencesControls.h"
#include "player/RadioGroup.h"
#include "player/Settings.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

PreferencesEnginePage::PreferencesEnginePage(QWidget *parent) : QWidget(parent)
{
    m_folderChooser = [](QWidget *parent, const QString &start) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("Choose Directory"), start);
    };

    auto *grid = new QGridLayout(this);
    ChannelsRadioGroup = new RadioGroup(QStringLiteral("Output Control"),
                                        {QStringLiteral("Stereo"), QStringLiteral("Mono Left"),
                                         QStringLiteral("Mono Right"), QStringLiteral("Mono Mix")},
                                        this);
    ChannelsRadioGroup->setObjectName(QStringLiteral("ChannelsRadioGroup"));
    Module = new RadioGroup(QStringLiteral("Output Module"),
                            {QStringLiteral("Use DirectSound"), QStringLiteral("Use Wave Driver"),
                             QStringLiteral("Save to Wave File")},
                            this);
    Module->setObjectName(QStringLiteral("Module"));
    XPriority = new RadioGroup(QStringLiteral("XAudio Priority :"),
                               {QStringLiteral("LOWEST"), QStringLiteral("LOW"), QStringLiteral("NORMAL"),
                                QStringLiteral("HIGH"), QStringLiteral("HIGHEST")},
                               this);
    XPriority->setObjectName(QStringLiteral("XPriority"));
    TransparentButton1 =
        PreferencesControls::pushButton("TransparentButton1", QStringLiteral("Choose Directory"), this);
    DirLabel = new QLabel(this);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));
    DirLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(ChannelsRadioGroup, 0, 0);
    grid->addWidget(Module, 0, 1);
    grid->addWidget(XPriority, 0, 2, 2, 1);
    auto *dirRow = new QHBoxLayout;
    dirRow->addWidget(TransparentButton1);
    dirRow->addWidget(DirLabel, 1);
    grid->addLayout(dirRow, 2, 0, 1, 3);
    ReplayGain = new QCheckBox(QStringLiteral("Play songs at their ReplayGain level"), this);
    ReplayGain->setObjectName(QStringLiteral("ReplayGain"));
    grid->addWidget(ReplayGain, 3, 0, 1, 3);
    Module->setItemIndex(1);
    ChannelsRadioGroup->setItemIndex(0);
    XPriority->setItemIndex(3);
    connect(Module, &RadioGroup::clicked, this, &PreferencesEnginePage::outputModuleChosen);
    connect(ChannelsRadioGroup, &RadioGroup::clicked, this, &PreferencesEnginePage::outputChannelsChosen);
    connect(XPriority, &RadioGroup::clicked, this, &PreferencesEnginePage::priorityChosen);
    connect(TransparentButton1, &QPushButton::clicked, this, &PreferencesEnginePage::chooseOutputDirectory);
    // Like the output choices, heard at once.
    connect(ReplayGain, &QCheckBox::toggled, this, &PreferencesEnginePage::replayGainChosen);
}

void PreferencesEnginePage::load(const Settings &s)
{
    ChannelsRadioGroup->setItemIndex(s.outputControl);
    Module->setItemIndex(s.outputModule);
    XPriority->setItemIndex(s.xPriority);
    {
        const QSignalBlocker quiet(ReplayGain);
        ReplayGain->setChecked(s.replayGain);
    }
    m_outputDir = s.outPutDir;
    showDirectory();
}

void PreferencesEnginePage::store(Settings &s) const
{
    // A group with nothing chosen keeps what the settings had.
    auto index = [](const RadioGroup *group, int old) {
        return group->itemIndex() >= 0 ? group->itemIndex() : old;
    };
    s.outputControl = index(ChannelsRadioGroup, s.outputControl);
    s.outputModule = index(Module, s.outputModule);
    s.xPriority = index(XPriority, s.xPriority);
    s.outPutDir = m_outputDir;
}

void PreferencesEnginePage::showDirectory()
{
    DirLabel->setText(m_outputDir);
}

void PreferencesEnginePage::chooseOutputDirectory()
{
    const QString dir = m_folderChooser(window(), m_outputDir);
    if (dir.isEmpty())
        return;
    m_outputDir = dir;
    showDirectory();
}
