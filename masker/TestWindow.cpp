#include "masker/TestWindow.h"

#include "masks/RegionFile.h"
#include "masks/SkinnedFace.h"
#include "masks/TFormShaper.h"
#include "platform/ProfileFile.h"
#include "platform/ScreenFit.h"
#include "platform/SystemColors.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/FlashLabel.h"
#include "widgets/Gauge.h"
#include "widgets/GlyphTitle.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QScreen>

TestWindow::TestWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("VorlanMasker Test"));
    m_backImage = new QLabel(this);
    m_backImage->setObjectName(QStringLiteral("BackImage"));
    m_shaper = TFormShaper::forSkin(this, m_backImage);
    m_face = new SkinnedFace(this);
    m_face->setGeometry(rect());
    m_mask = MaskFile::defaults(MaskReader::TestWindow);
    resize(300, 120);
    // Only closing does something here: a test of a mask plays nothing.
    connect(m_face, &SkinnedFace::exitClicked, this, &TestWindow::ExitBtnClick);
}

bool TestWindow::TestMask(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    const ProfileFile profile(fileName);
    const MaskFile mask = MaskFile::fromProfile(profile, MaskReader::TestWindow, fileName);
    hide();

    m_shaper->setActive(false);
    const QImage background = MaskFile::readImage(mask.imagePath(mask.backImage));
    if (!background.isNull()) {
        resize(background.size());
        m_shaper->MaskedPicture()->setPicture(background);
        m_shaper->MaskedPicture()->setMaskColor(mask.backColor);
        m_shaper->setActive(true);
    }
    // A mask with a shape of its own is cut by it, as the player cuts it, instead of by the colour.
    m_shape = QRegion();
    const QString shapeFile = mask.imagePath(mask.shape);
    if (!background.isNull() && !shapeFile.isEmpty())
        m_shape = RegionFile::region(RegionFile::read(shapeFile), QRect(QPoint(0, 0), background.size()));
    if (!m_shape.isEmpty()) {
        m_shaper->setActive(false);
        setMask(m_shape);
    }
    m_face->setGeometry(rect());
    m_face->applyMask(mask, background);
    m_mask = mask;

    // The meter colour reaches the block gauges too, unlike in the player.
    m_face->setBlockGaugeColor(SystemColors::fromValue(mask.vuColor));
    m_best1 = SystemColors::fromValue(mask.bestColor1);
    m_best2 = SystemColors::fromValue(mask.bestColor2);
    applyBestColors();
    // A hand-written "TimeColor" is what its author wants to see on the time label.
    if (profile.hasKey(MaskFile::SectionName, QStringLiteral("TimeColor")))
        m_face->setTimeColor(SystemColors::fromValue(mask.timeColor));

    const QStringList lines = {QStringLiteral("VorlanMasker Test"), QStringLiteral("Author: ") + mask.author};
    // The lines go to whichever title the mask wears: its character font, or the text one.
    m_face->Title->setLines(lines);
    m_face->TitleGlyphs->setLines(lines);
    // Wholly on screen, beside the wizard, each time: a tall mask tested after a wide one comes up whole too.
    // Without the wizard, below the middle of the screen.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QRect below(area.center().x() - width() / 2, area.center().y() + area.height() / 8, width(),
                          height());
        move((m_neighbour.isNull() ? ScreenFit::wholly(below, area)
                                   : ScreenFit::beside(size(), m_neighbour, area))
                 .topLeft());
    }
    show();
    raise();
    return true;
}

void TestWindow::applyBestColors()
{
    for (Gauge *g : {m_face->VU_R, m_face->VU_L})
        g->setForeColor(m_best1);
    m_face->Title->setTextColor(m_best1);
    m_face->setTimeColor(m_best1);
    m_face->setKnobColors(m_best1, m_best2);
    m_face->VolumeBar->setTextColor(m_best1);
    m_face->BalanceBar->setTextColor(m_best1);
    for (BlockGauge *g : {m_face->GVU_R, m_face->GVU_L}) {
        g->setBarColor(m_best1);
        g->setLowColor(m_best2);
    }
    for (FlashLabel *label :
         {m_face->PlayList, m_face->Equalizer, m_face->Information, m_face->Configration, m_face->OnTop})
        label->setColors(m_best1, m_best1.darker(160));
}

void TestWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The shaper cuts by the colour when the window is first shown; the shape goes over that.
    if (!m_shape.isEmpty()) {
        m_shaper->setActive(false);
        setMask(m_shape);
    }
}

void TestWindow::ExitBtnClick()
{
    close();
}
