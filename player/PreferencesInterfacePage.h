#pragma once
// The preferences' "Interface" tab: the two colour pickers with their preview, the list of favourite pairs,
// and whether a song start picks one of them at random.
#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class ColorList;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class TFountainFill;
struct Settings;

class PreferencesInterfacePage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PreviewSteps = 50;

    // The colour dialog, replaceable so nothing waits for a person in tests.
    using ColorChooser = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;

    explicit PreferencesInterfacePage(QWidget *parent = nullptr);
    ~PreferencesInterfacePage() override;

    void setColorChooser(ColorChooser chooser) { m_colorChooser = std::move(chooser); }
    // The colour list file ("VoColors.mnu" beside the player's other files).
    void setColorListPath(const QString &path);
    QString colorListPath() const;
    void loadColorList();

    void load(const Settings &s);
    void store(Settings &s) const;

    // CP1 and CP2 as the mask or the colour list give them, shown in the preview.
    void setPickerColors(int32_t color1, int32_t color2);
    int32_t color1() const { return m_cp1; }
    int32_t color2() const { return m_cp2; }
    // One pair of the list, chosen at random, into the pickers; false with fewer than two entries.
    bool pickRandomBestColor();

    // --- Handlers ---
    void CP1Click();
    void CP2Click();
    void BestColorChange(int index);
    void CAddBtnClick();
    void CRemoveBtnClick();

    QPushButton *CP1 = nullptr;
    QPushButton *CP2 = nullptr;
    TFountainFill *FountainFill1 = nullptr; // preview
    QComboBox *BestColor = nullptr;
    QLineEdit *ColorName = nullptr;
    QPushButton *CAddBtn = nullptr;
    QPushButton *CRemoveBtn = nullptr;
    QCheckBox *RandColor = nullptr;

private:
    void showPickerColors();

    std::unique_ptr<ColorList> m_colors;
    int32_t m_cp1 = 12615680;
    int32_t m_cp2 = 16777215;
    ColorChooser m_colorChooser;
};
