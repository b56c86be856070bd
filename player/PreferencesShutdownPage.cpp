#include "player/PreferencesShutdownPage.h"

#include "player/RadioGroup.h"
#include "player/Settings.h"
#include "player/TimedShutdown.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

PreferencesShutdownPage::PreferencesShutdownPage(QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    ShutDownGroup =
        new RadioGroup(QStringLiteral("Shutdown after..."),
                       {QStringLiteral("Time."), QStringLiteral("PlayList ends."),
                        QStringLiteral("Number of songs."), QStringLiteral("Windows Shutdown :)")},
                       this);
    ShutDownGroup->setObjectName(QStringLiteral("ShutDownGroup"));
    ShutDownGroup->setItemIndex(TimedShutdown::Off);
    auto spin = [this](const char *name) {
        auto *s = new QSpinBox(this);
        s->setObjectName(QLatin1String(name));
        s->setRange(1, MaxMinutes);
        s->setValue(5);
        return s;
    };
    STime = spin("STime");
    NSongs = spin("NSongs");
    grid->addWidget(ShutDownGroup, 0, 0, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Minutes"), this), 0, 1);
    grid->addWidget(STime, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Songs"), this), 1, 1);
    grid->addWidget(NSongs, 1, 2);
    grid->setRowStretch(2, 1);
}

void PreferencesShutdownPage::load(const Settings &s)
{
    ShutDownGroup->setItemIndex(s.shutMode);
    STime->setValue(s.shutTime);
    NSongs->setValue(s.shutNumSong);
}

void PreferencesShutdownPage::store(Settings &s) const
{
    // Nothing chosen is no shutdown.
    s.shutMode = ShutDownGroup->itemIndex() >= 0 ? ShutDownGroup->itemIndex() : int(TimedShutdown::Off);
    s.shutTime = STime->value();
    s.shutNumSong = NSongs->value();
}
