#pragma once
// The mask editor's main window: a banner, eight steps, a page of extras and a closing page that build a
// mask, with the placement window showing the background and the objects' markers, the save window and the
// test window. The mask is a document: each control edits it as the user changes it, a loaded mask fills the
// controls from it, and the save writes it.
#include "masker/MaskDocument.h"
#include "masker/MaskerDialogs.h"
#include "masks/MaskFile.h"

#include <QColor>
#include <QMainWindow>
#include <array>
#include <memory>

class AngleLabel;
class BlockGauge;
class ClassicImporter;
class ColorPickBar;
class ColorPicker;
class ExtrasPage;
class Gauge;
class GifAnimator;
class MaskerAboutWindow;
class ObjectPlacer;
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
    static constexpr int32_t Olive = MaskDocument::Olive;
    static constexpr int32_t Navy = MaskDocument::Navy;

    explicit WizardWindow(const QString &masksDir, const MaskerDialogs &dialogs = MaskerDialogs::standard(),
                          QWidget *parent = nullptr);
    ~WizardWindow() override;

    QString masksDir() const { return m_masksDir; }

    // --- The menu ---
    void LoadMaskClick();
    // Imports a classic skin into the masks folder and loads the mask made of it.
    void ImportClassicSkinClick();
    ClassicImporter *classicImporter() const { return m_importer.get(); }
    void SaveMaskClick();
    void TestMaskClick();
    void ExitClick();
    void AboutClick();

    // Reads a mask into the document with the editor's defaults and shows it; a file that does not exist is
    // ignored.
    bool LoadMask(const QString &fileName);
    // The mask as the controls have edited it; the save writes it.
    const MaskDocument &document() const { return m_document; }

    // --- Picking images (the dialogs' results) ---
    void LoadBackImageClick();
    void LoadSliderThumbClick();
    void ButtonPickClick(MaskFile::Button button);
    void Button1Click();
    bool setBackgroundFile(const QString &path);
    bool setThumbFile(const QString &path);
    bool setButtonFile(MaskFile::Button button, const QString &path);
    bool setGifFile(const QString &path);

    // --- Picking a colour from the background ---
    void PickColorClick(bool down);
    QColor pickedColor() const;
    // G1..G4: the picked colour into CP1..CP4.
    void pickInto(ColorPicker *picker);

    // The previews of steps 2, 4 and 5 show the document.
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
    ExtrasPage *Extras = nullptr;
    QPushButton *SaveTheMask = nullptr;
    QPushButton *TestTheMask = nullptr;
    QPushButton *PickColor = nullptr;
    QLabel *PColor = nullptr;
    QAction *LoadMaskAction = nullptr;
    QAction *ImportClassicSkinAction = nullptr;
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
    ExtrasPage *buildExtrasPage();
    // The placement window shows the extras' bars and outline as the page has them.
    void showBar(MaskFile::ExtraObject bar);
    QWidget *buildClosingPage();
    // A colour field that edits the document's colour `field`.
    ColorPicker *colorPicker(int32_t MaskFile::*field);
    // A number field that edits the document's `field`.
    QSpinBox *numberBox(int MaskFile::*field, int min, int max, QWidget *parent);
    // A font size box that edits the document's `field`.
    QComboBox *fontSizeBox(int MaskFile::*field, QWidget *parent);
    void showPlacement();
    QString openImage(const QString &caption, const QString &filter);
    QRect testNeighbour() const;

    QString m_masksDir;
    QString m_imageDir; // where the last picture was picked
    MaskerDialogs m_dialogs;
    MaskDocument m_document;
    PlacementWindow *m_placement;
    SaveMaskWindow *m_save;
    TestWindow *m_test;
    MaskerAboutWindow *m_about = nullptr;
    ObjectPlacer *m_placer = nullptr;
    ColorPickBar *m_pickBar = nullptr;
    std::unique_ptr<ClassicImporter> m_importer;
    bool m_placementShownOnce = false;
    bool m_exiting = false;
};
