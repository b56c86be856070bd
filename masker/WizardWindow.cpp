#include "masker/WizardWindow.h"

#include "masker/ColorPicker.h"
#include "masker/MaskerAboutWindow.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/SaveMaskWindow.h"
#include "masker/TestWindow.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"
#include "widgets/ThumbSlider.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

const QString WizardWindow::Banner =
    QStringLiteral("Hi, please follow the eight steps to make a great mask, it will be easy. ");
const QString WizardWindow::ButtonSizeMessage = QStringLiteral(
    "You can't change the width or the height for any button. They take the default image width and height.");
const QString WizardWindow::SaveNote =
    QStringLiteral("The last thing is saving your mask, but make sure that all the images are in the same "
                   "directory where you saved the mask.");

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

QComboBox *fontSizeBox(const QString &preselected, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    // Editable, so a mask with a size the list lacks keeps it; but only sizes can be typed.
    box->setEditable(true);
    box->setValidator(new QIntValidator(1, 144, box));
    box->addItems(fontSizes());
    box->setCurrentText(preselected);
    return box;
}

QSpinBox *spin(int min, int max, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(min, max);
    box->setValue(value);
    return box;
}

} // namespace

WizardWindow::WizardWindow(const QString &masksDir, const MaskerDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_masksDir(masksDir), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("VorlanMasker"));
    m_placement = new PlacementWindow;
    m_save = new SaveMaskWindow(this);
    m_save->setDialogs(m_dialogs);
    m_save->setMasksDir(m_masksDir);
    m_save->setWriter([this](const QString &path, const QString &author) { return writeMask(path, author); });
    m_test = new TestWindow;

    buildMenu();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    BannerLabel = new QLabel(Banner, central);
    BannerLabel->setStyleSheet(
        QStringLiteral("QLabel { background: #000080; color: white; font-weight: bold; padding: 6px; }"));
    layout->addWidget(BannerLabel);
    Pages = new QTabWidget(central);
    Pages->addTab(buildStep1(), QStringLiteral("Step 1"));
    Pages->addTab(buildStep2(), QStringLiteral("Step 2"));
    Pages->addTab(buildStep3(), QStringLiteral("Step 3"));
    Pages->addTab(buildStep4(), QStringLiteral("Step 4"));
    Pages->addTab(buildStep5(), QStringLiteral(" Step 5"));
    Pages->addTab(buildStep6(), QStringLiteral("Step 6"));
    Pages->addTab(buildStep7(), QStringLiteral("Step 7"));
    Pages->addTab(buildStep8(), QStringLiteral("Step 8"));
    Pages->addTab(buildClosingPage(), QStringLiteral("Finish"));
    layout->addWidget(Pages, 1);
    layout->addWidget(buildPickBar());

    auto *nav = new QHBoxLayout;
    auto *back = new QPushButton(QStringLiteral("< Back"), central);
    auto *next = new QPushButton(QStringLiteral("Next >"), central);
    nav->addStretch();
    nav->addWidget(back);
    nav->addWidget(next);
    layout->addLayout(nav);
    connect(back, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(Pages->currentIndex() - 1); });
    connect(next, &QPushButton::clicked, this, [this] { Pages->setCurrentIndex(Pages->currentIndex() + 1); });
    const auto navState = [this, back, next](int index) {
        back->setEnabled(index > 0);
        next->setEnabled(index < Pages->count() - 1);
    };
    connect(Pages, &QTabWidget::currentChanged, this, navState);
    navState(0);
    setCentralWidget(central);

    connect(m_placement, &PlacementWindow::markerReleased, this, &WizardWindow::ObjectsChange);
    connect(m_placement, &PlacementWindow::colorUnderMouse, this, &WizardWindow::setPickedColor);
    connect(m_placement, &PlacementWindow::pickClicked, this, [this] { PickColor->setChecked(false); });
    connect(m_save, &SaveMaskWindow::testRequested, this, [this](const QString &path) {
        m_test->setNeighbour(testNeighbour());
        m_test->TestMask(path);
    });

    // The block meter preview shows only for the kind that uses it.
    GradGaugePreview->hide();
    ObjectsChange();
    refreshPreviews();
    resize(660, 540);
}

WizardWindow::~WizardWindow()
{
    delete m_placement;
    delete m_test;
}

void WizardWindow::buildMenu()
{
    QMenu *files = menuBar()->addMenu(QStringLiteral("Files"));
    LoadMaskAction = files->addAction(QStringLiteral("Load Mask"), this, &WizardWindow::LoadMaskClick);
    SaveMaskAction = files->addAction(QStringLiteral("Save Mask"), this, &WizardWindow::SaveMaskClick);
    files->addSeparator();
    TestMaskAction = files->addAction(QStringLiteral("Test Mask"), this, &WizardWindow::TestMaskClick);
    files->addSeparator();
    ExitAction = files->addAction(QStringLiteral("Exit"), this, &WizardWindow::ExitClick);
    QMenu *vorlan = menuBar()->addMenu(QStringLiteral("Vorlan"));
    AboutAction = vorlan->addAction(QStringLiteral("About"), this, &WizardWindow::AboutClick);
}

ColorPicker *WizardWindow::colorPicker(int32_t value)
{
    auto *picker = new ColorPicker(value, this);
    picker->setChooser(m_dialogs.chooseColor);
    connect(picker, &ColorPicker::colorChanged, this, &WizardWindow::refreshPreviews);
    return picker;
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
    CP1 = colorPicker(Olive);
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
    CP2 = colorPicker(MaskFile::White);
    G2 = new QPushButton(QStringLiteral("Pick"), page);
    colourRow->addWidget(new QLabel(QStringLiteral("Slider colour:"), page));
    colourRow->addWidget(CP2);
    colourRow->addWidget(G2);
    colourRow->addStretch();
    layout->addLayout(colourRow);
    SliderWay = new RadioGroup(QStringLiteral("Slider"),
                               {QStringLiteral("Vertical"), QStringLiteral("Horizontal")}, page);
    SliderWay->setItemIndex(1);
    layout->addWidget(SliderWay);
    SliderPreview = new ThumbSlider(page);
    SliderPreview->setFixedSize(200, 20);
    SliderPreview->setValue(120);
    layout->addWidget(SliderPreview);
    layout->addStretch();
    connect(LoadSliderThumb, &QPushButton::clicked, this, &WizardWindow::LoadSliderThumbClick);
    connect(G2, &QPushButton::clicked, this, [this] { pickInto(CP2); });
    connect(SliderWay, &RadioGroup::itemIndexChanged, this, &WizardWindow::refreshPreviews);
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
                            "controls; only their place counts."),
             page));
    layout->addStretch();
    connect(Objects, &QComboBox::currentIndexChanged, this, &WizardWindow::ObjectsChange);
    // The button-size message is told once for an edit of the field, not at each keystroke.
    for (QSpinBox *box : {SW, SH})
        connect(box, &QSpinBox::editingFinished, this, [this] { m_buttonSizeTold = false; });
    connect(SW, &QSpinBox::valueChanged, this, &WizardWindow::SWChange);
    connect(SH, &QSpinBox::valueChanged, this, &WizardWindow::SHChange);
    connect(SL, &QSpinBox::valueChanged, this, &WizardWindow::SLChange);
    connect(ST, &QSpinBox::valueChanged, this, &WizardWindow::STChange);
    return page;
}

QWidget *WizardWindow::buildStep4()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    FontSize = fontSizeBox(QStringLiteral("12"), page);
    TitleFontSize = fontSizeBox(QStringLiteral("10"), page);
    CP3 = colorPicker(MaskFile::White);
    G3 = new QPushButton(QStringLiteral("Pick"), page);
    auto *titleColour = new QHBoxLayout;
    titleColour->addWidget(CP3);
    titleColour->addWidget(G3);
    titleColour->addStretch();
    PlayTime_A = spin(-360, 360, 0, page);
    Shadow_S = spin(0, 20, 0, page);
    Shadow_D = spin(0, 20, 0, page);
    CP5 = colorPicker(MaskFile::ButtonShadow);
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
    for (QComboBox *box : {FontSize, TitleFontSize})
        connect(box, &QComboBox::currentTextChanged, this, &WizardWindow::refreshPreviews);
    // The title shows the author as it is typed in the save window.
    connect(m_save->Author, &QLineEdit::textChanged, this, &WizardWindow::refreshPreviews);
    for (QSpinBox *box : {PlayTime_A, Shadow_S, Shadow_D})
        connect(box, &QSpinBox::valueChanged, this, &WizardWindow::refreshPreviews);
    return page;
}

QWidget *WizardWindow::buildStep5()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    VUKind = new QComboBox(page);
    VUKind->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Pie"),
                      QStringLiteral("Needle"), QStringLiteral("Grad Vertical")});
    VUKind->setCurrentIndex(0);
    CP4 = colorPicker(MaskFile::White);
    G4 = new QPushButton(QStringLiteral("Pick"), page);
    auto *meterColour = new QHBoxLayout;
    meterColour->addWidget(CP4);
    meterColour->addWidget(G4);
    meterColour->addStretch();
    BCP1 = colorPicker(Navy);
    BCP2 = colorPicker(MaskFile::White);
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
    connect(VUKind, &QComboBox::currentIndexChanged, this, &WizardWindow::refreshPreviews);
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
    ActiveGif->setItemIndex(0);
    layout->addWidget(ActiveGif);
    layout->addStretch();
    connect(Button1, &QPushButton::clicked, this, &WizardWindow::Button1Click);
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

QWidget *WizardWindow::buildPickBar()
{
    auto *bar = new QWidget(this);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    PickColor = new QPushButton(QStringLiteral("Pick Color"), bar);
    PickColor->setCheckable(true);
    // Down while picking, plainly: the mouse over the placement window picks until a click.
    PickColor->setStyleSheet(
        QStringLiteral("QPushButton:checked { background: #2a82da; color: white; font-weight: bold; }"));
    PColor = new QLabel(bar);
    PColor->setFixedSize(40, 20);
    PColor->setFrameShape(QFrame::Box);
    PColor->setAutoFillBackground(true);
    row->addWidget(PickColor);
    row->addWidget(PColor);
    row->addWidget(note(QStringLiteral("Move over the background to pick a colour, click to keep it, then "
                                       "\"Pick\" puts it in a step."),
                        bar),
                   1);
    connect(PickColor, &QPushButton::toggled, this, &WizardWindow::PickColorClick);
    setPickedColor(Qt::black);
    return bar;
}

void WizardWindow::closeEvent(QCloseEvent *event)
{
    if (!m_exiting) {
        ExitClick();
    }
    event->accept();
}

void WizardWindow::ExitClick()
{
    m_exiting = true;
    m_placement->close();
    m_test->close();
    m_save->close();
    close();
    emit exitRequested();
}

void WizardWindow::AboutClick()
{
    if (!m_about)
        m_about = new MaskerAboutWindow(this);
    m_about->show();
    m_about->raise();
}
