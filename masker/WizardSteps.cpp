// WizardWindow's pages: the controls of each step, built with what they edit in the document.
#include "masker/WizardWindow.h"

#include "masker/ColorPicker.h"
#include "masker/ExtrasPage.h"
#include "masker/ObjectPlacer.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"
#include "widgets/ThumbSlider.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QStringList fontSizes()
{
    QStringList sizes;
    for (int size = 8; size <= 30; size += 2)
        sizes << QString::number(size);
    return sizes;
}

QSpinBox *spin(int min, int max, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

} // namespace

ColorPicker *WizardWindow::colorPicker(int32_t MaskFile::*field)
{
    auto *picker = new ColorPicker(m_document.mask().*field, this);
    picker->setChooser(m_dialogs.chooseColor);
    connect(picker, &ColorPicker::colorChanged, this, [this, field](int32_t value) {
        m_document.setColor(field, value);
        refreshPreviews();
    });
    return picker;
}

QSpinBox *WizardWindow::numberBox(int MaskFile::*field, int min, int max, QWidget *parent)
{
    QSpinBox *box = spin(min, max, m_document.mask().*field, parent);
    connect(box, &QSpinBox::valueChanged, this, [this, field](int value) {
        m_document.setNumber(field, value);
        refreshPreviews();
    });
    return box;
}

QComboBox *WizardWindow::fontSizeBox(int MaskFile::*field, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    // Editable, so a mask with a size the list lacks keeps it; but only sizes can be typed.
    box->setEditable(true);
    box->setValidator(new QIntValidator(1, 144, box));
    box->addItems(fontSizes());
    box->setCurrentText(QString::number(m_document.mask().*field));
    connect(box, &QComboBox::currentTextChanged, this, [this, field](const QString &text) {
        m_document.setNumber(field, text.toInt());
        refreshPreviews();
    });
    return box;
}

QWidget *WizardWindow::buildStep1()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(note(QStringLiteral("Load the background of your player: a bitmap whose size is the "
                                          "player's size. Every pixel of the mask colour is cut away, so the "
                                          "desktop shows through there."),
                           page));
    auto *row = new QHBoxLayout;
    LoadBackImage = new QPushButton(QStringLiteral("Load Back Image"), page);
    BackImage = new QLineEdit(page);
    BackImage->setReadOnly(true);
    row->addWidget(LoadBackImage);
    row->addWidget(BackImage, 1);
    layout->addLayout(row);
    auto *colourRow = new QHBoxLayout;
    CP1 = colorPicker(&MaskFile::backColor);
    G1 = new QPushButton(QStringLiteral("Pick"), page);
    colourRow->addWidget(new QLabel(QStringLiteral("Mask colour:"), page));
    colourRow->addWidget(CP1);
    colourRow->addWidget(G1);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    layout->addStretch();
    connect(LoadBackImage, &QPushButton::clicked, this, &WizardWindow::LoadBackImageClick);
    // A new mask colour rebuilds the placement window's outline.
    connect(CP1, &ColorPicker::colorChanged, this,
            [this](int32_t value) { m_placement->setMaskColor(value); });
    connect(G1, &QPushButton::clicked, this, [this] { pickInto(CP1); });
    return page;
}

QWidget *WizardWindow::buildStep2()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        note(QStringLiteral("Load the thumb of the position slider: one bitmap with two frames of "
                            "equal size side by side, normal and pressed."),
             page));
    auto *row = new QHBoxLayout;
    LoadSliderThumb = new QPushButton(QStringLiteral("Load Slider Thumb"), page);
    ThumbName = new QLineEdit(page);
    ThumbName->setReadOnly(true);
    row->addWidget(LoadSliderThumb);
    row->addWidget(ThumbName, 1);
    layout->addLayout(row);
    auto *colourRow = new QHBoxLayout;
    CP2 = colorPicker(&MaskFile::sliderColor);
    G2 = new QPushButton(QStringLiteral("Pick"), page);
    colourRow->addWidget(new QLabel(QStringLiteral("Slider colour:"), page));
    colourRow->addWidget(CP2);
    colourRow->addWidget(G2);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    SliderWay = new RadioGroup(QStringLiteral("Slider"),
                               {QStringLiteral("Vertical"), QStringLiteral("Horizontal")}, page);
    SliderWay->setItemIndex(m_document.mask().sliderHorizontal() ? 1 : 0);
    layout->addWidget(SliderWay);
    SliderPreview = new ThumbSlider(page);
    SliderPreview->setFixedSize(200, 20);
    SliderPreview->setValue(120);
    layout->addWidget(SliderPreview);
    layout->addStretch();
    connect(LoadSliderThumb, &QPushButton::clicked, this, &WizardWindow::LoadSliderThumbClick);
    connect(G2, &QPushButton::clicked, this, [this] { pickInto(CP2); });
    connect(SliderWay, &RadioGroup::itemIndexChanged, this, [this](int index) {
        m_document.setSliderHorizontal(index != 0);
        refreshPreviews();
    });
    return page;
}

QWidget *WizardWindow::buildStep3()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        note(QStringLiteral("Choose an object and drag its marker on the background, or type its "
                            "place and size. If you don't want to show any of the itmes just set "
                            "the left and the top to any negative value."),
             page));
    auto *form = new QFormLayout;
    Objects = new QComboBox(page);
    Objects->addItems(MaskFile::objectNameList());
    for (const QString &extra : MaskFile::ExtraObjectNames)
        Objects->addItem(extra);
    Objects->setCurrentIndex(0);
    form->addRow(QStringLiteral("Object:"), Objects);
    // Bounded by the background once there is one (see setBackgroundFile).
    SW = spin(1, MaskFile::MaxObjectSide, 1, page);
    SH = spin(1, MaskFile::MaxObjectSide, 1, page);
    SL = spin(-50, MaskFile::MaxObjectSide, 0, page);
    ST = spin(-50, MaskFile::MaxObjectSide, 0, page);
    form->addRow(QStringLiteral("Width:"), SW);
    form->addRow(QStringLiteral("Height:"), SH);
    form->addRow(QStringLiteral("Left:"), SL);
    form->addRow(QStringLiteral("Top:"), ST);
    layout->addLayout(form);
    layout->addWidget(
        note(QStringLiteral("The \"Volume\" and \"Balance\" markers place the volume and balance "
                            "controls; only their place counts. \"Volume Bar\" and \"Balance Bar\" place "
                            "the bars of the extras' page."),
             page));
    layout->addStretch();
    m_placer = new ObjectPlacer(m_document, m_placement, {Objects, SW, SH, SL, ST}, this);
    connect(m_placer, &ObjectPlacer::buttonSizeRefused, this,
            [this] { m_dialogs.information(this, QStringLiteral("VorlanMasker"), ButtonSizeMessage); });
    return page;
}

QWidget *WizardWindow::buildStep4()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    FontSize = fontSizeBox(&MaskFile::timeFont, page);
    TitleFontSize = fontSizeBox(&MaskFile::titleFont, page);
    CP3 = colorPicker(&MaskFile::titleColor);
    G3 = new QPushButton(QStringLiteral("Pick"), page);
    auto *titleColour = new QHBoxLayout;
    titleColour->addWidget(CP3);
    titleColour->addWidget(G3);
    titleColour->addStretch();
    PlayTime_A =
        numberBox(&MaskFile::timeAngle, MaskDocument::MinTimeAngle, MaskDocument::MaxTimeAngle, page);
    Shadow_S = numberBox(&MaskFile::timeShadowSize, 0, MaskDocument::MaxShadow, page);
    Shadow_D = numberBox(&MaskFile::timeShadowDepth, 0, MaskDocument::MaxShadow, page);
    CP5 = colorPicker(&MaskFile::timeShadowColor);
    form->addRow(QStringLiteral("Play time font size:"), FontSize);
    form->addRow(QStringLiteral("Song title font size:"), TitleFontSize);
    form->addRow(QStringLiteral("Song title background:"), titleColour);
    form->addRow(QStringLiteral("Play time angle:"), PlayTime_A);
    form->addRow(QStringLiteral("Shadow size:"), Shadow_S);
    form->addRow(QStringLiteral("Shadow depth:"), Shadow_D);
    form->addRow(QStringLiteral("Shadow colour:"), CP5);
    layout->addLayout(form);
    auto *previews = new QHBoxLayout;
    TimePreview = new AngleLabel(QStringLiteral("[00:00]"), page);
    TimePreview->setFixedSize(110, 60);
    TitlePreview = new ScrollingText(page);
    TitlePreview->setFixedSize(200, 40);
    TitlePreview->setLines({QStringLiteral("Vorlan - Song Title"), QStringLiteral("Mask Author: ")});
    previews->addWidget(TimePreview);
    previews->addWidget(TitlePreview);
    previews->addStretch();
    layout->addLayout(previews);
    layout->addStretch();
    connect(G3, &QPushButton::clicked, this, [this] { pickInto(CP3); });
    return page;
}

QWidget *WizardWindow::buildStep5()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    VUKind = new QComboBox(page);
    VUKind->addItems(MaskDocument::VUKinds);
    VUKind->setCurrentIndex(MaskDocument::VUKinds.indexOf(m_document.mask().vuKind));
    CP4 = colorPicker(&MaskFile::vuColor);
    G4 = new QPushButton(QStringLiteral("Pick"), page);
    auto *meterColour = new QHBoxLayout;
    meterColour->addWidget(CP4);
    meterColour->addWidget(G4);
    meterColour->addStretch();
    BCP1 = colorPicker(&MaskFile::bestColor1);
    BCP2 = colorPicker(&MaskFile::bestColor2);
    form->addRow(QStringLiteral("Level meters:"), VUKind);
    form->addRow(QStringLiteral("Meter background:"), meterColour);
    form->addRow(QStringLiteral("Best colour 1:"), BCP1);
    form->addRow(QStringLiteral("Best colour 2:"), BCP2);
    layout->addLayout(form);
    auto *previews = new QHBoxLayout;
    GaugePreview = new Gauge(Gauge::HorizontalBar, page);
    GaugePreview->setRange(0, 180);
    GaugePreview->setProgress(120);
    GaugePreview->setFixedSize(90, 60);
    GradGaugePreview = new BlockGauge(page);
    GradGaugePreview->setRange(0, 180);
    GradGaugePreview->setProgress(160);
    GradGaugePreview->setFixedSize(14, 60);
    GradientPreview = new TFountainFill(page);
    GradientPreview->setFixedSize(120, 60);
    ListPreview = new QListWidget(page);
    ListPreview->addItems(
        {QStringLiteral("1  First song"), QStringLiteral("2  Second song"), QStringLiteral("3  Third song")});
    ListPreview->setFixedSize(140, 60);
    previews->addWidget(GaugePreview);
    previews->addWidget(GradGaugePreview);
    previews->addWidget(GradientPreview);
    previews->addWidget(ListPreview);
    previews->addStretch();
    layout->addLayout(previews);
    layout->addStretch();
    connect(VUKind, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_document.setVUKind(index);
        refreshPreviews();
    });
    connect(G4, &QPushButton::clicked, this, [this] { pickInto(CP4); });
    return page;
}

QWidget *WizardWindow::buildStep6()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        note(QStringLiteral("Load a picture for each button: one bitmap of four frames of equal "
                            "size side by side: normal, mouse over, pressed, disabled. The "
                            "button is a quarter of the bitmap wide."),
             page));
    auto *grid = new QGridLayout;
    const QStringList captions = {QStringLiteral("Play"), QStringLiteral("Pause"), QStringLiteral("Stop"),
                                  QStringLiteral("Open"), QStringLiteral("Prev"),  QStringLiteral("Next"),
                                  QStringLiteral("Loop"), QStringLiteral("Rand")};
    for (int i = 0; i < MaskFile::ButtonCount; ++i) {
        ButtonPickers[i] = new QPushButton(captions[i], page);
        grid->addWidget(ButtonPickers[i], i / 4, i % 4);
        connect(ButtonPickers[i], &QPushButton::clicked, this,
                [this, i] { ButtonPickClick(MaskFile::Button(i)); });
    }
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

ExtrasPage *WizardWindow::buildExtrasPage()
{
    Extras = new ExtrasPage(
        m_document,
        [this](const QString &caption, const QString &filter) { return openImage(caption, filter); },
        [this](const QString &text) { m_dialogs.information(this, QStringLiteral("VorlanMasker"), text); });
    connect(Extras, &ExtrasPage::barChanged, this, [this](MaskFile::ExtraObject bar) {
        showBar(bar);
        // A bar picked or cut into other frames takes a frame's size.
        const QImage frame = Extras->barFrame(bar);
        if (!frame.isNull())
            m_placer->resizeObject(bar, frame.size());
    });
    connect(Extras, &ExtrasPage::shapeChanged, this, [this] { m_placement->setShape(Extras->shape()); });
    return Extras;
}

QWidget *WizardWindow::buildStep7()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Load Animated Gif"), page);
    GifPreview = new GifAnimator(page);
    GifPreview->setFixedSize(64, 64);
    GifPreview->setKeepAspect(true);
    row->addWidget(Button1);
    row->addWidget(GifPreview);
    row->addStretch();
    layout->addLayout(row);
    ActiveGif = new RadioGroup(QStringLiteral("when the mouse moves over it."),
                               {QStringLiteral("Do nothing."), QStringLiteral("Hide the animated gif."),
                                QStringLiteral("Animat the animated gif.")},
                               page);
    ActiveGif->setItemIndex(m_document.mask().gifActive);
    layout->addWidget(ActiveGif);
    layout->addStretch();
    connect(Button1, &QPushButton::clicked, this, &WizardWindow::Button1Click);
    connect(ActiveGif, &RadioGroup::itemIndexChanged, this,
            [this](int index) { m_document.setGifActive(index); });
    return page;
}

QWidget *WizardWindow::buildStep8()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(note(SaveNote, page));
    SaveTheMask = new QPushButton(QStringLiteral("Save The Mask"), page);
    TestTheMask = new QPushButton(QStringLiteral("Test The Mask"), page);
    layout->addWidget(SaveTheMask);
    layout->addWidget(TestTheMask);
    layout->addStretch();
    connect(SaveTheMask, &QPushButton::clicked, this, &WizardWindow::SaveMaskClick);
    connect(TestTheMask, &QPushButton::clicked, this, &WizardWindow::TestMaskClick);
    return page;
}

QWidget *WizardWindow::buildClosingPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(
        note(QStringLiteral("That's all. To wear your mask, choose \"Change Mask\" in Vorlan's menu "
                            "and open the mask you saved. You can load it here again at any time "
                            "with \"Load Mask\" and change it."),
             page));
    auto *exit = new QPushButton(QStringLiteral("Exit"), page);
    layout->addWidget(exit, 0, Qt::AlignLeft);
    layout->addStretch();
    connect(exit, &QPushButton::clicked, this, &WizardWindow::ExitClick);
    return page;
}
