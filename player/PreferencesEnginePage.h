#pragma once
// The preferences' "MP3 Engine" tab: the output channels, the output module, the decoder's priority and the
// ReplayGain level, which are heard at once, and the folder WAV files are written to, which waits for OK.
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class RadioGroup;
struct Settings;

class PreferencesEnginePage : public QWidget
{
    Q_OBJECT

public:
    // The folder dialog, replaceable so nothing waits for a person in tests.
    using FolderChooser = std::function<QString(QWidget *parent, const QString &startDir)>;

    explicit PreferencesEnginePage(QWidget *parent = nullptr);

    void setFolderChooser(FolderChooser chooser) { m_folderChooser = std::move(chooser); }
    void load(const Settings &s);
    void store(Settings &s) const;
    QString outputDirectory() const { return m_outputDir; }

    // --- Handlers ---
    void chooseOutputDirectory();

    RadioGroup *ChannelsRadioGroup = nullptr;
    RadioGroup *Module = nullptr;
    RadioGroup *XPriority = nullptr;
    QPushButton *TransparentButton1 = nullptr;
    QLabel *DirLabel = nullptr;
    QCheckBox *ReplayGain = nullptr; // the songs' ReplayGain level

signals:
    // The user's choices that act at once.
    void outputModuleChosen(int module);
    void outputChannelsChosen(int channels);
    void priorityChosen(int priority);
    void replayGainChosen(bool on);

private:
    void showDirectory();

    QString m_outputDir;
    FolderChooser m_folderChooser;
};
