#include "masker/WizardWindow.h"

#include "masker/ClassicImporter.h"
#include "masker/ColorPickBar.h"
#include "masker/ColorPicker.h"
#include "masker/ExtrasPage.h"
#include "masker/MarkerButton.h"
#include "masker/MaskerAboutWindow.h"
#include "masker/ObjectPlacer.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/SaveMaskWindow.h"
#include "masker/TestWindow.h"
#include "platform/ScreenFit.h"
#include "platform/SystemColors.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"
#include "widgets/ThumbSlider.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
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

const QString BitmapFilter = QStringLiteral("Piture (*.bmp)");
const QString MaskFilter = QStringLiteral("Vorlan Masks (*.msk)");
const QString GifFilter = QStringLiteral("Animated GIF (*.gif)");

} // namespace

WizardWindow::WizardWindow(const QString &masksDir, const MaskerDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_masksDir(masksDir), m_dialogs(dialogs),
      m_importer(std::make_unique<ClassicImporter>(dialogs, masksDir))
{
    setWindowTitle(QStringLiteral("VorlanMasker"));
    m_placement = new PlacementWindow;
    m_save = new SaveMaskWindow(this);
    m_save->setDialogs(m_dialogs);
    m_save->setMasksDir(m_masksDir);
    m_save->setWriter([this](const QString &path) { return m_document.save(path); });
    m_save->Author->setText(m_document.mask().author);
    connect(m_save->Author, &QLineEdit::textChanged, this, [this](const QString &author) {
        m_document.setAuthor(author);
        // The title preview shows the author as it is typed.
        refreshPreviews();
    });
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
    Pages->addTab(buildExtrasPage(), QStringLiteral("Extras"));
    Pages->addTab(buildStep7(), QStringLiteral("Step 7"));
    Pages->addTab(buildStep8(), QStringLiteral("Step 8"));
    Pages->addTab(buildClosingPage(), QStringLiteral("Finish"));
    layout->addWidget(Pages, 1);
    m_pickBar = new ColorPickBar(central);
    PickColor = m_pickBar->PickColor;
    PColor = m_pickBar->PColor;
    connect(PickColor, &QPushButton::toggled, this, &WizardWindow::PickColorClick);
    layout->addWidget(m_pickBar);

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
    for (int o = 0; o < MaskFile::ExtraObjectCount; ++o)
        showBar(MaskFile::ExtraObject(o));

    connect(m_placement, &PlacementWindow::colorUnderMouse, m_pickBar, &ColorPickBar::setPickedColor);
    connect(m_placement, &PlacementWindow::pickClicked, this, [this] { PickColor->setChecked(false); });
    connect(m_save, &SaveMaskWindow::testRequested, this, [this](const QString &path) {
        m_test->setNeighbour(testNeighbour());
        m_test->TestMask(path);
    });

    // The block meter preview shows only for the kind that uses it.
    GradGaugePreview->hide();
    m_placer->ObjectsChange();
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
    ImportClassicSkinAction = files->addAction(QStringLiteral("Import Classic Skin..."), this,
                                               &WizardWindow::ImportClassicSkinClick);
    SaveMaskAction = files->addAction(QStringLiteral("Save Mask"), this, &WizardWindow::SaveMaskClick);
    files->addSeparator();
    TestMaskAction = files->addAction(QStringLiteral("Test Mask"), this, &WizardWindow::TestMaskClick);
    files->addSeparator();
    ExitAction = files->addAction(QStringLiteral("Exit"), this, &WizardWindow::ExitClick);
    QMenu *vorlan = menuBar()->addMenu(QStringLiteral("Vorlan"));
    AboutAction = vorlan->addAction(QStringLiteral("About"), this, &WizardWindow::AboutClick);
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

QString WizardWindow::openImage(const QString &caption, const QString &filter)
{
    // A mask's pictures usually lie together: the next one is looked for where the last one was.
    const QString path =
        m_dialogs.openFile(this, caption, m_imageDir.isEmpty() ? m_masksDir : m_imageDir, filter);
    if (!path.isEmpty())
        m_imageDir = QFileInfo(path).absolutePath();
    return path;
}

void WizardWindow::LoadBackImageClick()
{
    const QString path = openImage(QStringLiteral("Load Back Image"), BitmapFilter);
    if (!path.isEmpty())
        setBackgroundFile(path);
}

void WizardWindow::LoadSliderThumbClick()
{
    const QString path = openImage(QStringLiteral("Load Slider Thumb"), BitmapFilter);
    if (!path.isEmpty())
        setThumbFile(path);
}

void WizardWindow::ButtonPickClick(MaskFile::Button button)
{
    const QString path = openImage(ButtonPickers[button]->text(), BitmapFilter);
    if (!path.isEmpty())
        setButtonFile(button, path);
}

void WizardWindow::Button1Click()
{
    const QString path = openImage(QStringLiteral("Load Animated Gif"), GifFilter);
    if (!path.isEmpty())
        setGifFile(path);
}

bool WizardWindow::setBackgroundFile(const QString &path)
{
    const QImage picture = MaskFile::readImage(path);
    if (picture.isNull()) {
        m_dialogs.information(this, QStringLiteral("VorlanMasker"),
                              QStringLiteral("\"%1\" is not a picture VorlanMasker can read.").arg(path));
        return false;
    }
    m_placement->hide();
    m_document.setBackImage(path);
    BackImage->setText(m_document.mask().backImage);
    m_placer->boundBy(picture.size());
    // The new picture is cut with olive until the user picks its own mask colour.
    m_document.setColor(&MaskFile::backColor, Olive);
    m_placement->setBackground(picture, Olive);
    {
        const QSignalBlocker block(CP1);
        CP1->setValue(Olive);
    }
    showPlacement();
    return true;
}

bool WizardWindow::setThumbFile(const QString &path)
{
    const QImage thumb = MaskFile::readImage(path);
    if (thumb.isNull()) {
        m_dialogs.information(this, QStringLiteral("VorlanMasker"),
                              QStringLiteral("\"%1\" is not a picture VorlanMasker can read.").arg(path));
        return false;
    }
    m_document.setSliderThumb(path);
    ThumbName->setText(m_document.mask().sliderThumb);
    SliderPreview->setThumbImage(thumb);
    return true;
}

bool WizardWindow::setButtonFile(MaskFile::Button button, const QString &path)
{
    const QImage glyph = MaskFile::readImage(path);
    if (glyph.isNull() || glyph.width() < 4) {
        m_dialogs.information(this, QStringLiteral("VorlanMasker"),
                              QStringLiteral("\"%1\" is not a picture of four frames.").arg(path));
        return false;
    }
    m_document.setButtonImage(button, path);
    ButtonPickers[button]->setToolTip(m_document.mask().buttonImages[button]);
    const auto object = MaskFile::Object(int(MaskFile::PlayButtom) + int(button));
    m_placement->marker(object)->setPicture(glyph, 4);
    m_placer->setGlyph(button, true);
    m_placer->resizeObject(object, QSize(glyph.width() / 4, glyph.height()));
    return true;
}

bool WizardWindow::setGifFile(const QString &path)
{
    if (!GifPreview->setFile(path)) {
        const QString refusal = GifPreview->refusal();
        m_dialogs.information(
            this, QStringLiteral("VorlanMasker"),
            refusal.isEmpty() ? QStringLiteral("\"%1\" is not a GIF picture VorlanMasker can read.").arg(path)
                              : refusal);
        return false;
    }
    GifPreview->setAnimating(true);
    m_document.setAnimatedGif(path);
    const QImage first = MaskFile::readImage(path);
    m_placement->marker(MaskFile::AnimatedGif)->setPicture(first, 1);
    if (!first.isNull())
        m_placer->resizeObject(MaskFile::AnimatedGif, first.size());
    return true;
}

void WizardWindow::showBar(MaskFile::ExtraObject bar)
{
    // A bar's marker is there to place once the mask has the bar's picture; until then it would only stand
    // in the way of the standard objects.
    const QImage frame = Extras->barFrame(bar);
    m_placement->extraMarker(bar)->setPicture(frame, 1);
    m_placement->extraMarker(bar)->setVisible(!frame.isNull());
}

void WizardWindow::showPlacement()
{
    if (!m_placementShownOnce) {
        m_placement->centerOnScreen();
        // Centred, and on top as it stays, it would cover the wizard's fields: beside the wizard then.
        const QScreen *screen = QGuiApplication::primaryScreen();
        if (screen && isVisible() && m_placement->frameGeometry().intersects(frameGeometry()))
            m_placement->move(ScreenFit::beside(m_placement->frameGeometry().size(), frameGeometry(),
                                                screen->availableGeometry())
                                  .topLeft());
        m_placementShownOnce = true;
    }
    m_placement->show();
    m_placement->raise();
}

void WizardWindow::PickColorClick(bool down)
{
    if (PickColor->isChecked() != down) {
        PickColor->setChecked(down);
        return;
    }
    m_placement->setPicking(down);
    if (down)
        showPlacement();
}

QColor WizardWindow::pickedColor() const
{
    return m_pickBar->pickedColor();
}

void WizardWindow::pickInto(ColorPicker *picker)
{
    const QColor picked = pickedColor();
    if (!picked.isValid())
        return;
    picker->setValue(SystemColors::toValue(picked));
    if (picker == CP1)
        m_placement->setMaskColor(m_document.mask().backColor);
    refreshPreviews();
}

void WizardWindow::refreshPreviews()
{
    const MaskFile &m = m_document.mask();
    const auto color = [](int32_t value) { return SystemColors::fromValue(value); };
    SliderPreview->setBackColor(color(m.sliderColor));
    SliderPreview->setHorizontal(m.sliderHorizontal());
    SliderPreview->setFixedSize(SliderPreview->isHorizontal() ? QSize(200, 20) : QSize(20, 120));

    TimePreview->setPointSize(std::max(1, m.timeFont));
    TimePreview->setAngle(m.timeAngle);
    TimePreview->setShadowSize(m.timeShadowSize);
    TimePreview->setShadowDepth(m.timeShadowDepth);
    TimePreview->setShadowColor(color(m.timeShadowColor));
    TimePreview->setTextColor(color(m.bestColor1));
    TitlePreview->setPointSize(std::max(1, m.titleFont));
    TitlePreview->setLines(
        {QStringLiteral("Vorlan - Song Title"), QStringLiteral("Mask Author: ") + m.author});
    TitlePreview->setBackColor(color(m.titleColor));
    TitlePreview->setTextColor(color(m.bestColor1));

    const int kind = int(MaskDocument::VUKinds.indexOf(m.vuKind));
    static const Gauge::Kind kinds[] = {Gauge::HorizontalBar, Gauge::VerticalBar, Gauge::Pie, Gauge::Needle};
    if (kind >= 0 && kind < 4)
        GaugePreview->setKind(kinds[kind]);
    GaugePreview->setBackColor(color(m.vuColor));
    GaugePreview->setForeColor(color(m.bestColor1));
    GradGaugePreview->setControlColor(color(m.vuColor));
    GradGaugePreview->setBarColor(color(m.bestColor1));
    GradGaugePreview->setLowColor(color(m.bestColor2));
    GaugePreview->setVisible(kind != 4);
    GradGaugePreview->setVisible(kind == 4);
    GradientPreview->setColors(color(m.bestColor1), color(m.bestColor2));
    QPalette list = ListPreview->palette();
    list.setColor(QPalette::Base, color(m.bestColor2));
    list.setColor(QPalette::Text, color(m.bestColor1));
    ListPreview->setPalette(list);
}

bool WizardWindow::LoadMask(const QString &fileName)
{
    // The controls show the document; the file as read gives the names as written and finds the pictures.
    MaskFile read;
    if (!m_document.load(fileName, &read))
        return false;
    const MaskFile &m = m_document.mask();
    m_placement->hide();

    BackImage->setText(read.backImage);
    const QImage back = MaskFile::readImage(read.imagePath(read.backImage));
    if (!back.isNull())
        m_placement->setBackground(back, m.backColor);
    {
        const QSignalBlocker block(CP1);
        CP1->setValue(m.backColor);
    }
    m_placement->setMaskColor(m.backColor);

    ThumbName->setText(read.sliderThumb);
    SliderPreview->setThumbImage(MaskFile::readImage(read.imagePath(read.sliderThumb)));
    CP2->setValue(m.sliderColor);
    SliderWay->setItemIndex(m.sliderHorizontal() ? 1 : 0);
    FontSize->setCurrentText(QString::number(m.timeFont));
    TitleFontSize->setCurrentText(QString::number(m.titleFont));
    PlayTime_A->setValue(m.timeAngle);
    Shadow_S->setValue(m.timeShadowSize);
    Shadow_D->setValue(m.timeShadowDepth);
    CP5->setValue(m.timeShadowColor);
    CP3->setValue(m.titleColor);
    VUKind->setCurrentIndex(int(MaskDocument::VUKinds.indexOf(m.vuKind)));
    CP4->setValue(m.vuColor);

    for (int b = 0; b < MaskFile::ButtonCount; ++b) {
        ButtonPickers[b]->setToolTip(read.buttonImages[b]);
        const QImage glyph = MaskFile::readImage(read.buttonImagePath(MaskFile::Button(b)));
        const bool wearsGlyph = glyph.width() >= 4;
        m_placement->marker(MaskFile::Object(int(MaskFile::PlayButtom) + b))
            ->setPicture(wearsGlyph ? glyph : QImage(), 4);
        m_placer->setGlyph(MaskFile::Button(b), wearsGlyph);
    }
    const QString gif = read.imagePath(read.animatedGif);
    if (gif.isEmpty() || !GifPreview->setFile(gif))
        GifPreview->clear();
    else
        GifPreview->setAnimating(true);
    m_placement->marker(MaskFile::AnimatedGif)->setPicture(MaskFile::readImage(gif), 1);
    ActiveGif->setItemIndex(m.gifActive);
    BCP1->setValue(m.bestColor1);
    BCP2->setValue(m.bestColor2);
    m_save->Author->setText(m.author);
    Extras->showMask(read);
    for (int o = 0; o < MaskFile::ExtraObjectCount; ++o)
        showBar(MaskFile::ExtraObject(o));
    m_placement->setShape(Extras->shape());

    m_placer->placeAll();
    refreshPreviews();
    if (!back.isNull())
        showPlacement();
    return true;
}

void WizardWindow::LoadMaskClick()
{
    const QString path = m_dialogs.openFile(this, QStringLiteral("Load Mask"), m_masksDir, MaskFilter);
    if (!path.isEmpty())
        LoadMask(path);
}

void WizardWindow::ImportClassicSkinClick()
{
    const QString mask = m_importer->ask(this);
    if (!mask.isEmpty() && LoadMask(mask))
        m_importer->tellSummary(this);
}

void WizardWindow::SaveMaskClick()
{
    m_save->adjustSize();
    m_save->move(frameGeometry().center() - QPoint(m_save->width() / 2, m_save->height() / 2));
    m_save->show();
    m_save->raise();
    m_save->activateWindow();
}

QRect WizardWindow::testNeighbour() const
{
    // Beside the wizard and the placement window both, so the test covers neither.
    QRect around = frameGeometry();
    if (m_placement->isVisible())
        around |= m_placement->frameGeometry();
    return around;
}

void WizardWindow::TestMaskClick()
{
    const QString path = m_dialogs.openFile(this, QStringLiteral("Test Mask"), m_masksDir, MaskFilter);
    if (path.isEmpty())
        return;
    m_test->setNeighbour(testNeighbour());
    m_test->TestMask(path);
}
