#include "player/PreferencesVorlanPage.h"

#include "player/FileAssociations.h"
#include "player/PreferencesControls.h"
#include "player/Settings.h"
#include "player/TrayIcons.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

PreferencesVorlanPage::PreferencesVorlanPage(QWidget *parent) : QWidget(parent)
{
    using PreferencesControls::checkBox;
    auto *grid = new QGridLayout(this);
    Registre = PreferencesControls::pushButton("Registre", QStringLiteral("Associate Vorlan"), this);
    auto iconRow = [&](const char *name, const char *imageName, const QString &caption, QSpinBox *&spin,
                       QLabel *&image, int row) {
        spin = new QSpinBox(this);
        spin->setObjectName(QLatin1String(name));
        spin->setRange(1, IconCount);
        spin->setValue(1);
        image = new QLabel(this);
        image->setObjectName(QLatin1String(imageName));
        image->setFixedSize(34, 34);
        image->setAlignment(Qt::AlignCenter);
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(spin, row, 1);
        grid->addWidget(image, row, 2);
        connect(spin, &QSpinBox::valueChanged, this, [this, image](int n) { showIcon(image, n); });
        showIcon(image, 1);
    };
    grid->addWidget(Registre, 0, 0, 1, 3);
    iconRow("Icon1", "IconImage1", QStringLiteral("File Icon"), Icon1, IconImage1, 1);
    iconRow("Icon2", "IconImage2", QStringLiteral("PlayList Icon"), Icon2, IconImage2, 2);

    auto *dock = new QGroupBox(QStringLiteral("Dock Mode Postion."), this);
    auto *dockRow = new QHBoxLayout(dock);
    LeftDock = new QRadioButton(QStringLiteral("Left"), dock);
    LeftDock->setObjectName(QStringLiteral("LeftDock"));
    RightDock = new QRadioButton(QStringLiteral("Right"), dock);
    RightDock->setObjectName(QStringLiteral("RightDock"));
    LeftDock->setChecked(true);
    dockRow->addWidget(LeftDock);
    dockRow->addWidget(RightDock);
    grid->addWidget(dock, 3, 0, 1, 3);

    AniTray = checkBox("AniTray", QStringLiteral("Show animated tray icon"), true, this);
    Multi = checkBox("Multi", QStringLiteral("Allow multiple instances"), false, this);
    AutoPlay = checkBox("AutoPlay", QStringLiteral("Auto play songs after load"), true, this);
    ShowHints = checkBox("ShowHints", QStringLiteral("Show hints on mask mode"), true, this);
    ActiveGif = checkBox("ActiveGif", QStringLiteral("Active Animated GIF"), true, this);
    int row = 0;
    for (QCheckBox *box : {AniTray, Multi, AutoPlay, ShowHints, ActiveGif})
        grid->addWidget(box, row++, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);
    connect(Registre, &QPushButton::clicked, this, &PreferencesVorlanPage::RegistreClick);
}

void PreferencesVorlanPage::load(const Settings &s)
{
    Icon1->setValue(s.icon1);
    Icon2->setValue(s.icon2);
    LeftDock->setChecked(s.dockSide);
    RightDock->setChecked(!s.dockSide);
    AniTray->setChecked(s.animatedTray);
    Multi->setChecked(s.multiInstance);
    AutoPlay->setChecked(s.autoPlay);
    ShowHints->setChecked(s.showHints);
    ActiveGif->setChecked(s.animatedGif);
}

void PreferencesVorlanPage::store(Settings &s) const
{
    s.icon1 = Icon1->value();
    s.icon2 = Icon2->value();
    s.dockSide = LeftDock->isChecked();
    s.animatedTray = AniTray->isChecked();
    s.multiInstance = Multi->isChecked();
    s.autoPlay = AutoPlay->isChecked();
    s.showHints = ShowHints->isChecked();
    s.animatedGif = ActiveGif->isChecked();
}

void PreferencesVorlanPage::showIcon(QLabel *image, int number)
{
    image->setPixmap(TrayIcons::pixmap(number, 32));
}

void PreferencesVorlanPage::RegistreClick()
{
    FileAssociations::registerPlayer(QCoreApplication::applicationFilePath(), Icon1->value(), Icon2->value());
}
