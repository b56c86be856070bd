#pragma once
// The equalizer window: twelve sliders per channel, "Use Equalizer", "Right = Left", "Reset", presets kept as
// files in the "Equalizer" folder, and the pitch bar. Every change goes to the decoder at once. A borderless
// window dragged by its gradient borders or its body.
#include "engine/EqualizerFile.h"

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class FlatButton;
class GradientFrame;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QValidator;
class TXaudioPlayer;
class WindowDragger;

class EqualizerWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks for a line of text (the label above the field, the characters the field accepts and how many);
    // nothing when the user cancels. The application lends its URL prompt.
    using NamePrompt = std::function<std::optional<QString>(const QString &label, const QValidator *validator,
                                                            int maxLength)>;
    static constexpr int MaxNameLength = 34;

    // The decoder gets every change; a null player is allowed (nothing is sent).
    explicit EqualizerWindow(TXaudioPlayer *player, QWidget *parent = nullptr);

    // The folder of the presets, normally ExePath + "Equalizer"; refreshes the list.
    void setPresetFolder(const QString &folder);
    QString presetFolder() const { return m_folder; }
    void setNamePrompt(NamePrompt prompt) { m_prompt = std::move(prompt); }

    // Reads a settings or preset file into the sliders and sends them; a missing file changes nothing and
    // only refreshes the preset list. False when nothing was read.
    bool Load(const QString &path);
    // Writes the 24 slider values; false when the file could not be written.
    bool Save(const QString &path) const;

    EqualizerSettings sliders() const;
    void setSliders(const EqualizerSettings &settings);

    // "Use Equalizer" (the "Equalizer" setting); sends the record or the switch-off.
    void setEqualizerOn(bool on);
    bool equalizerOn() const;

    // The pitch only acts on the sound-server output; elsewhere the bar is off and reads "Pitch".
    void setPitchEnabled(bool enabled);

    // The gradient of the borders and the colour of the title.
    void setColors(const QColor &from, const QColor &to);

    // Writes the bundled presets into a folder that does not exist yet (a first use); a folder that exists is
    // the user's and is left alone.
    static void installPresets(const QString &folder);
    static const QStringList &bandLabels();

    // The controls, by their names, for the application and tests.
    std::array<QSlider *, EqualizerSettings::SliderCount> LSlider{};
    std::array<QSlider *, EqualizerSettings::SliderCount> RSlider{};
    QCheckBox *EnableCheckBox = nullptr;
    QPushButton *LeftRight = nullptr;
    QPushButton *ResetBtn = nullptr;
    QPushButton *SaveBtn = nullptr;
    QComboBox *EQList = nullptr;
    QSlider *PitchBar = nullptr;
    QLabel *PitchLabel = nullptr;
    FlatButton *ExitBtn = nullptr;
    QLabel *TitleLabel = nullptr;

    // The handlers, as the buttons and the list call them.
    void LeftRightClick();
    void ResetBtnClick();
    void SaveBtnClick();
    void EQListChange(int index);
    void RefreshEQList();

signals:
    // Shown or hidden (also by "X"), so the player can light its "E".
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Send();
    void PitchBarChange(int value);
    void PitchBarStopTracking();

    TXaudioPlayer *m_player;
    GradientFrame *m_frame = nullptr;
    WindowDragger *m_bodyDragger = nullptr;
    QValidator *m_nameValidator = nullptr;
    QTimer *m_pitchRest = nullptr;
    QString m_folder;
    NamePrompt m_prompt;
    bool m_loading = false;
};
