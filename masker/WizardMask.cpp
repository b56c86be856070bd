// The wizard's mask: images picked into it, objects placed, colours picked from the background, and the
// mask read from and written to the controls.
#include "masker/ColorPicker.h"
#include "masker/MarkerButton.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/SaveMaskWindow.h"
#include "masker/TestWindow.h"
#include "masker/WizardWindow.h"
#include "platform/ScreenFit.h"
#include "platform/SystemColors.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"
#include "widgets/ThumbSlider.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>

#include <utility>

namespace
{

const QString BitmapFilter = QStringLiteral("Piture (*.bmp)");
const QString MaskFilter = QStringLiteral("Vorlan Masks (*.msk)");
const QString GifFilter = QStringLiteral("Animated GIF (*.gif)");

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

const QStringList VUKinds = {QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Pie"),
                             QStringLiteral("Needle"), QStringLiteral("Grad Vertical")};

} // namespace

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
    m_backPath = path;
    BackImage->setText(fileName(path));
    // No object is larger than the background it is placed on, nor placed beyond it.
    SW->setMaximum(picture.width());
    SH->setMaximum(picture.height());
    SL->setMaximum(picture.width());
    ST->setMaximum(picture.height());
    m_placement->setBackground(picture, Olive);
    {
        // The new picture is cut with olive until the user picks its own mask colour.
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
    m_thumbPath = path;
    ThumbName->setText(fileName(path));
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
    m_buttonPaths[button] = path;
    ButtonPickers[button]->setToolTip(fileName(path));
    const auto object = MaskFile::Object(int(MaskFile::PlayButtom) + int(button));
    MarkerButton *marker = m_placement->marker(object);
    marker->setPicture(glyph, 4);
    marker->resize(glyph.width() / 4, glyph.height());
    if (selectedObject() == object)
        ObjectsChange();
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
    m_gifPath = path;
    const QImage first = MaskFile::readImage(path);
    MarkerButton *marker = m_placement->marker(MaskFile::AnimatedGif);
    marker->setPicture(first, 1);
    if (!first.isNull())
        marker->resize(first.size());
    if (selectedObject() == MaskFile::AnimatedGif)
        ObjectsChange();
    return true;
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

MaskFile::Object WizardWindow::selectedObject() const
{
    const int index = Objects->currentIndex();
    return index >= 0 && index < MaskFile::ObjectCount ? MaskFile::Object(index) : MaskFile::Slider;
}

bool WizardWindow::isGlyphButton(MaskFile::Object object) const
{
    return object >= MaskFile::PlayButtom && object <= MaskFile::RandButtom &&
           !m_placement->marker(object)->picture().isNull();
}

void WizardWindow::ObjectsChange()
{
    // The fields show the object chosen in the list, whichever marker was just let go.
    const QRect bounds = m_placement->marker(selectedObject())->geometry();
    const QSignalBlocker w(SW), h(SH), l(SL), t(ST);
    SW->setValue(bounds.width());
    SH->setValue(bounds.height());
    SL->setValue(bounds.left());
    ST->setValue(bounds.top());
}

void WizardWindow::setObjectBounds(MaskFile::Object object, const QRect &bounds)
{
    m_placement->marker(object)->setGeometry(bounds);
}

void WizardWindow::resizeSelected(int width, int height)
{
    const MaskFile::Object object = selectedObject();
    // Buttons keep the size of their glyphs: the fields go back and the user is told why.
    if (isGlyphButton(object)) {
        ObjectsChange();
        if (!std::exchange(m_buttonSizeTold, true))
            m_dialogs.information(this, QStringLiteral("VorlanMasker"), ButtonSizeMessage);
        return;
    }
    QRect bounds = m_placement->marker(object)->geometry();
    if (width >= 0)
        bounds.setWidth(width);
    if (height >= 0)
        bounds.setHeight(height);
    setObjectBounds(object, bounds);
}

void WizardWindow::SWChange(int value)
{
    resizeSelected(value, -1);
}

void WizardWindow::SHChange(int value)
{
    resizeSelected(-1, value);
}

void WizardWindow::SLChange(int value)
{
    MarkerButton *marker = m_placement->marker(selectedObject());
    marker->move(value, marker->y());
}

void WizardWindow::STChange(int value)
{
    MarkerButton *marker = m_placement->marker(selectedObject());
    marker->move(marker->x(), value);
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

void WizardWindow::setPickedColor(const QColor &color)
{
    m_picked = color;
    QPalette palette = PColor->palette();
    palette.setColor(QPalette::Window, color);
    PColor->setPalette(palette);
    PColor->setToolTip(QStringLiteral("%1").arg(SystemColors::toValue(color)));
}

void WizardWindow::pickInto(ColorPicker *picker)
{
    if (!m_picked.isValid())
        return;
    picker->setValue(SystemColors::toValue(m_picked));
    if (picker == CP1)
        m_placement->setMaskColor(CP1->value());
    refreshPreviews();
}

void WizardWindow::refreshPreviews()
{
    SliderPreview->setBackColor(CP2->color());
    SliderPreview->setHorizontal(SliderWay->itemIndex() == 1);
    SliderPreview->setFixedSize(SliderPreview->isHorizontal() ? QSize(200, 20) : QSize(20, 120));

    TimePreview->setPointSize(std::max(1, FontSize->currentText().toInt()));
    TimePreview->setAngle(PlayTime_A->value());
    TimePreview->setShadowSize(Shadow_S->value());
    TimePreview->setShadowDepth(Shadow_D->value());
    TimePreview->setShadowColor(CP5->color());
    TimePreview->setTextColor(BCP1->color());
    TitlePreview->setPointSize(std::max(1, TitleFontSize->currentText().toInt()));
    TitlePreview->setLines(
        {QStringLiteral("Vorlan - Song Title"), QStringLiteral("Mask Author: ") + m_save->Author->text()});
    TitlePreview->setBackColor(CP3->color());
    TitlePreview->setTextColor(BCP1->color());

    const int kind = VUKind->currentIndex();
    static const Gauge::Kind kinds[] = {Gauge::HorizontalBar, Gauge::VerticalBar, Gauge::Pie, Gauge::Needle};
    if (kind >= 0 && kind < 4)
        GaugePreview->setKind(kinds[kind]);
    GaugePreview->setBackColor(CP4->color());
    GaugePreview->setForeColor(BCP1->color());
    GradGaugePreview->setControlColor(CP4->color());
    GradGaugePreview->setBarColor(BCP1->color());
    GradGaugePreview->setLowColor(BCP2->color());
    GaugePreview->setVisible(kind != 4);
    GradGaugePreview->setVisible(kind == 4);
    GradientPreview->setColors(BCP1->color(), BCP2->color());
    QPalette list = ListPreview->palette();
    list.setColor(QPalette::Base, BCP2->color());
    list.setColor(QPalette::Text, BCP1->color());
    ListPreview->setPalette(list);
}

MaskFile WizardWindow::currentMask() const
{
    MaskFile m = MaskFile::defaults(MaskReader::EditorLoad);
    m.backImage = fileName(m_backPath);
    m.backColor = CP1->value();
    m.sliderThumb = fileName(m_thumbPath);
    m.sliderColor = CP2->value();
    m.sliderKind = SliderWay->itemIndex() == 0 ? QStringLiteral("Vertical") : QStringLiteral("Horizontal");
    m.timeFont = FontSize->currentText().toInt();
    m.timeAngle = PlayTime_A->value();
    m.timeShadowColor = CP5->value();
    m.timeShadowSize = Shadow_S->value();
    m.timeShadowDepth = Shadow_D->value();
    m.titleFont = TitleFontSize->currentText().toInt();
    m.titleColor = CP3->value();
    m.vuKind = VUKind->currentText();
    m.vuColor = CP4->value();
    for (int b = 0; b < MaskFile::ButtonCount; ++b)
        m.buttonImages[b] = fileName(m_buttonPaths[b]);
    m.animatedGif = fileName(m_gifPath);
    m.gifActive = std::max(0, ActiveGif->itemIndex());
    for (int o = 0; o < MaskFile::ObjectCount; ++o) {
        const QRect r = m_placement->marker(MaskFile::Object(o))->geometry();
        m.objects[o] = MaskGeometry{r.width(), r.height(), r.top(), r.left()};
    }
    m.volumeLeft = m_placement->Volume->x();
    m.volumeTop = m_placement->Volume->y();
    m.balanceLeft = m_placement->Balance->x();
    m.balanceTop = m_placement->Balance->y();
    m.bestColor1 = BCP1->value();
    m.bestColor2 = BCP2->value();
    m.author = m_save->Author->text();
    return m;
}

bool WizardWindow::writeMask(const QString &path, const QString &author) const
{
    MaskFile mask = currentMask();
    mask.author = author;
    return mask.save(path);
}

bool WizardWindow::LoadMask(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    const MaskFile m = MaskFile::load(fileName, MaskReader::EditorLoad);
    // An image not found beside the mask keeps its name, so saving again does not lose it.
    const auto resolved = [&m](const QString &name) {
        const QString path = m.imagePath(name);
        return path.isEmpty() ? name : path;
    };
    m_placement->hide();

    m_backPath = resolved(m.backImage);
    BackImage->setText(m.backImage);
    const QImage back = MaskFile::readImage(m.imagePath(m.backImage));
    if (!back.isNull())
        m_placement->setBackground(back, m.backColor);
    {
        const QSignalBlocker block(CP1);
        CP1->setValue(m.backColor);
    }
    m_placement->setMaskColor(m.backColor);

    m_thumbPath = resolved(m.sliderThumb);
    ThumbName->setText(m.sliderThumb);
    const QImage thumb = MaskFile::readImage(m.imagePath(m.sliderThumb));
    SliderPreview->setThumbImage(thumb);
    CP2->setValue(m.sliderColor);
    SliderWay->setItemIndex(m.sliderHorizontal() ? 1 : 0);
    FontSize->setCurrentText(QString::number(m.timeFont));
    TitleFontSize->setCurrentText(QString::number(m.titleFont));
    PlayTime_A->setValue(m.timeAngle);
    Shadow_S->setValue(m.timeShadowSize);
    Shadow_D->setValue(m.timeShadowDepth);
    CP5->setValue(m.timeShadowColor);
    CP3->setValue(m.titleColor);
    VUKind->setCurrentIndex(std::max(0, int(VUKinds.indexOf(m.vuKind))));
    CP4->setValue(m.vuColor);

    for (int b = 0; b < MaskFile::ButtonCount; ++b) {
        m_buttonPaths[b] = resolved(m.buttonImages[b]);
        ButtonPickers[b]->setToolTip(m.buttonImages[b]);
        const QImage glyph = MaskFile::readImage(m.buttonImagePath(MaskFile::Button(b)));
        m_placement->marker(MaskFile::Object(int(MaskFile::PlayButtom) + b))
            ->setPicture(glyph.width() >= 4 ? glyph : QImage(), 4);
    }
    m_gifPath = resolved(m.animatedGif);
    const QString gif = m.imagePath(m.animatedGif);
    if (gif.isEmpty() || !GifPreview->setFile(gif))
        GifPreview->clear();
    else
        GifPreview->setAnimating(true);
    m_placement->marker(MaskFile::AnimatedGif)->setPicture(MaskFile::readImage(gif), 1);
    ActiveGif->setItemIndex(m.gifActive >= 0 && m.gifActive <= 2 ? m.gifActive : 0);

    for (int o = 0; o < MaskFile::ObjectCount; ++o) {
        const MaskGeometry &g = m.objects[o];
        setObjectBounds(MaskFile::Object(o),
                        QRect(g.left, g.top, std::max(0, g.width), std::max(0, g.height)));
    }
    m_placement->Volume->move(m.volumeLeft, m.volumeTop);
    m_placement->Balance->move(m.balanceLeft, m.balanceTop);
    BCP1->setValue(m.bestColor1);
    BCP2->setValue(m.bestColor2);
    m_save->Author->setText(m.author);

    ObjectsChange();
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
