#pragma once
// The mask editor's main window: a banner, eight steps and a closing page that build a mask, with the
// placement window showing the background and the objects' markers, the save window and the test window.
// The mask is held in the controls; the writer reads them.
#include "masker/MaskerDialogs.h"
#include "masks/MaskFile.h"

#include <QColor>
#include <QMainWindow>
#include <array>

class AngleLabel;
class BlockGauge;
class ColorPicker;
class Gauge;
class GifAnimator;
class MaskerAboutWindow;
class PlacementWindow;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class RadioGroup;
class SaveMaskWindow;
class ScrollingText;
class TFountainFill;
class TestWindow;
class ThumbSlider;

class WizardWindow : public QMainWindow
{
    Q_OBJECT

public:
    static const QString Banner;
    static const QString ButtonSizeMessage;
    static const QString SaveNote;
    static constexpr int32_t Olive = 32896;
    static constexpr int32_t Navy = 8388608;

    explicit WizardWindow(const QString &masksDir, const MaskerDialogs &dialogs = MaskerDialogs::standard(),
                          QWidget *parent = nullptr);
    ~WizardWindow() override;

    QString masksDir() const { return m_masksDir; }

    // --- The menu ---
    void LoadMaskClick();
    void SaveMaskClick();
    void TestMaskClick();
    void ExitClick();
    void AboutClick();

    // Reads a mask into the wizard with the editor's defaults; a file that does not exist is ignored.
    bool LoadMask(const QString &fileName);
    // The mask the controls describe, as the writer saves it.
    MaskFile currentMask() const;
    // Writes currentMask() with the author into path, keeping foreign keys of an existing file.
    bool writeMask(const QString &path, const QString &author) const;

    // --- Picking images (the dialogs' results) ---
    void LoadBackImageClick();
    void LoadSliderThumbClick();
    void ButtonPickClick(MaskFile::Button button);
    void Button1Click();
    bool setBackgroundFile(const QString &path);
    bool setThumbFile(const QString &path);
    bool setButtonFile(MaskFile::Button button, const QString &path);
    bool setGifFile(const QString &path);

    // --- Placing objects ---
    MaskFile::Object selectedObject() const;
    void ObjectsChange();
    void SWChange(int value);
    void SHChange(int value);
    void SLChange(int value);
    void STChange(int value);

    // --- Picking a colour from the background ---
    void PickColorClick(bool down);
    void setPickedColor(const QColor &color);
    QColor pickedColor() const { return m_picked; }
    // G1..G4: the picked colour into CP1..CP4.
    void pickInto(ColorPicker *picker);

    void refreshPreviews();

    PlacementWindow *placement() const { return m_placement; }
    SaveMaskWindow *saveWindow() const { return m_save; }
    TestWindow *testWindow() const { return m_test; }

    // The controls, named as the mask's keys know them.
    QTabWidget *Pages = nullptr;
    QLabel *BannerLabel = nullptr;
    QPushButton *LoadBackImage = nullptr;
    QLineEdit *BackImage = nullptr;
    ColorPicker *CP1 = nullptr;
    QPushButton *G1 = nullptr;
    QPushButton *LoadSliderThumb = nullptr;
    QLineEdit *ThumbName = nullptr;
    ColorPicker *CP2 = nullptr;
    QPushButton *G2 = nullptr;
    RadioGroup *SliderWay = nullptr;
    ThumbSlider *SliderPreview = nullptr;
    QComboBox *Objects = nullptr;
    QSpinBox *SW = nullptr;
    QSpinBox *SH = nullptr;
    QSpinBox *SL = nullptr;
    QSpinBox *ST = nullptr;
    QComboBox *FontSize = nullptr;
    QComboBox *TitleFontSize = nullptr;
    ColorPicker *CP3 = nullptr;
    QPushButton *G3 = nullptr;
    QSpinBox *PlayTime_A = nullptr;
    QSpinBox *Shadow_S = nullptr;
    QSpinBox *Shadow_D = nullptr;
    ColorPicker *CP5 = nullptr;
    AngleLabel *TimePreview = nullptr;
    ScrollingText *TitlePreview = nullptr;
    QComboBox *VUKind = nullptr;
    ColorPicker *CP4 = nullptr;
    QPushButton *G4 = nullptr;
    ColorPicker *BCP1 = nullptr;
    ColorPicker *BCP2 = nullptr;
    Gauge *GaugePreview = nullptr;
    BlockGauge *GradGaugePreview = nullptr;
    TFountainFill *GradientPreview = nullptr;
    QListWidget *ListPreview = nullptr;
    std::array<QPushButton *, MaskFile::ButtonCount> ButtonPickers{};
    QPushButton *Button1 = nullptr;
    RadioGroup *ActiveGif = nullptr;
    GifAnimator *GifPreview = nullptr;
    QPushButton *SaveTheMask = nullptr;
    QPushButton *TestTheMask = nullptr;
    QPushButton *PickColor = nullptr;
    QLabel *PColor = nullptr;
    QAction *LoadMaskAction = nullptr;
    QAction *SaveMaskAction = nullptr;
    QAction *TestMaskAction = nullptr;
    QAction *ExitAction = nullptr;
    QAction *AboutAction = nullptr;

signals:
    // "Exit" or closing the wizard: the program ends.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    QWidget *buildStep1();
    QWidget *buildStep2();
    QWidget *buildStep3();
    QWidget *buildStep4();
    QWidget *buildStep5();
    QWidget *buildStep6();
    QWidget *buildStep7();
    QWidget *buildStep8();
    QWidget *buildClosingPage();
    QWidget *buildPickBar();
    ColorPicker *colorPicker(int32_t value);
    void showPlacement();
    void setObjectBounds(MaskFile::Object object, const QRect &bounds);
    // A new width or height (-1: unchanged) for the selected object.
    void resizeSelected(int width, int height);
    bool isGlyphButton(MaskFile::Object object) const;
    QString openImage(const QString &caption, const QString &filter);
    QRect testNeighbour() const;

    QString m_masksDir;
    QString m_imageDir;            // where the last picture was picked
    bool m_buttonSizeTold = false; // the button-size message was shown in this edit of a size field
    MaskerDialogs m_dialogs;
    PlacementWindow *m_placement;
    SaveMaskWindow *m_save;
    TestWindow *m_test;
    MaskerAboutWindow *m_about = nullptr;
    // The images as picked (full paths) or as a loaded mask names them (when not found beside it).
    QString m_backPath;
    QString m_thumbPath;
    std::array<QString, MaskFile::ButtonCount> m_buttonPaths;
    QString m_gifPath;
    QColor m_picked;
    bool m_placementShownOnce = false;
    bool m_exiting = false;
};
