#pragma once
// The preferences' "Play List" tab: the playlist's alignment and font, and whether it docks to the strip.
#include <QFont>
#include <QWidget>
#include <functional>
#include <optional>

class QCheckBox;
class QPushButton;
class RadioGroup;
struct Settings;

class PreferencesPlayListPage : public QWidget
{
    Q_OBJECT

public:
    // The font dialog, replaceable so nothing waits for a person in tests.
    using FontChooser = std::function<std::optional<QFont>(QWidget *parent, const QFont &initial)>;

    explicit PreferencesPlayListPage(QWidget *parent = nullptr);

    void setFontChooser(FontChooser chooser) { m_fontChooser = std::move(chooser); }
    void load(const Settings &s);
    void store(Settings &s) const;
    // The playlist's pin docks it too.
    void setDockPlayList(bool on);
    QFont listFont() const { return m_listFont; }

    // --- Handlers ---
    void PlayListFontClick();

    RadioGroup *AlignmentBox = nullptr;
    QPushButton *PlayListFont = nullptr;
    QCheckBox *DockPlayList = nullptr;

private:
    void showFontCaption();

    QFont m_listFont;
    FontChooser m_fontChooser;
};
