#pragma once
// The preferences' "Timer Shutdown" tab: what the computer is shut down after, and the minutes or songs.
#include <QWidget>

class QSpinBox;
class RadioGroup;
struct Settings;

class PreferencesShutdownPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxMinutes = 999;

    explicit PreferencesShutdownPage(QWidget *parent = nullptr);

    void load(const Settings &s);
    void store(Settings &s) const;

    RadioGroup *ShutDownGroup = nullptr;
    QSpinBox *STime = nullptr;
    QSpinBox *NSongs = nullptr;
};
