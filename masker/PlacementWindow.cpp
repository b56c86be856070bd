#include "masker/PlacementWindow.h"

#include "masker/MarkerButton.h"
#include "masker/MaskDocument.h"
#include "masks/RegionFile.h"
#include "masks/TFormShaper.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

const std::array<QString, MaskFile::ObjectCount> PlacementWindow::MarkerCaptions = {
    QStringLiteral("Slider"),      QStringLiteral("Song Title"), QStringLiteral("About"),
    QStringLiteral("P"),           QStringLiteral("E"),          QStringLiteral("i"),
    QStringLiteral("C"),           QStringLiteral("T"),          QStringLiteral("-"),
    QStringLiteral("x"),           QStringLiteral("[00:00]"),    QStringLiteral("VU-Meter  R"),
    QStringLiteral("VU-Meter  L"), QStringLiteral("Play"),       QStringLiteral("Pause"),
    QStringLiteral("Stop"),        QStringLiteral("^"),          QStringLiteral("<-"),
    QStringLiteral("->"),          QStringLiteral("Loop"),       QStringLiteral("Rand"),
    QStringLiteral("Ani Gif"),
};

const std::array<QString, MaskFile::ExtraObjectCount> PlacementWindow::ExtraMarkerCaptions = {
    QStringLiteral("Volume Bar"), QStringLiteral("Balance Bar")};

PlacementWindow::PlacementWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("VorlanMasker - Placement"));
    BackImage = new QLabel(this);
    BackImage->setObjectName(QStringLiteral("BackImage"));
    BackImage->setMouseTracking(true);
    BackImage->installEventFilter(this);
    // It has no title bar to say so.
    BackImage->setToolTip(
        QStringLiteral("Drag this window by its background; drag a marker to place its object."));
    FormShaper1 = new TFormShaper(this);
    FormShaper1->setShowCaption(false);
    FormShaper1->MaskedPicture()->setMaskColor(0x000000);
    FormShaper1->setWindowMove(TFormShaper::FullMove);
    FormShaper1->setBackgrnd(BackImage);

    for (int i = 0; i < MaskFile::ObjectCount; ++i) {
        const auto object = MaskFile::Object(i);
        m_markers[i] = new MarkerButton(MarkerCaptions[i], MaskDocument::newObjectBounds(object), this);
        m_markers[i]->setObjectName(MaskFile::ObjectNames[i]);
        connect(m_markers[i], &MarkerButton::mouseReleased, this, &PlacementWindow::markerReleased);
        connect(m_markers[i], &MarkerButton::moved, this,
                [this, object](const QPoint &to) { emit objectMoved(object, to); });
        m_markers[i]->installEventFilter(this);
    }
    for (int i = 0; i < MaskFile::ExtraObjectCount; ++i) {
        const auto object = MaskFile::ExtraObject(i);
        m_extraMarkers[i] =
            new MarkerButton(ExtraMarkerCaptions[i], MaskDocument::newExtraObjectBounds(object), this);
        m_extraMarkers[i]->setObjectName(MaskFile::ExtraObjectNames[i]);
        connect(m_extraMarkers[i], &MarkerButton::mouseReleased, this, &PlacementWindow::markerReleased);
        connect(m_extraMarkers[i], &MarkerButton::moved, this,
                [this, object](const QPoint &to) { emit extraObjectMoved(object, to); });
        m_extraMarkers[i]->installEventFilter(this);
    }
    Volume =
        new MarkerButton(QStringLiteral("Volume"), QRect(MaskDocument::NewVolumePlace, QSize(62, 23)), this);
    Balance = new MarkerButton(QStringLiteral("Balance"), QRect(MaskDocument::NewBalancePlace, QSize(45, 23)),
                               this);
    connect(Volume, &MarkerButton::moved, this, &PlacementWindow::volumeMoved);
    connect(Balance, &MarkerButton::moved, this, &PlacementWindow::balanceMoved);
    Volume->installEventFilter(this);
    Balance->installEventFilter(this);
    resize(300, 140);
}

void PlacementWindow::setBackground(const QImage &picture, int32_t maskColor)
{
    FormShaper1->MaskedPicture()->setPicture(picture);
    FormShaper1->MaskedPicture()->setMaskColor(maskColor);
    applyOutline();
}

void PlacementWindow::setMaskColor(int32_t maskColor)
{
    FormShaper1->MaskedPicture()->setMaskColor(maskColor);
    applyOutline();
}

void PlacementWindow::setShape(const QList<QPolygon> &polygons)
{
    m_shape = polygons;
    applyOutline();
}

QRegion PlacementWindow::shapeRegion() const
{
    const QImage &picture = background();
    if (m_shape.isEmpty() || picture.isNull())
        return QRegion();
    return RegionFile::region(m_shape, picture.rect());
}

void PlacementWindow::applyOutline()
{
    const QRegion shape = shapeRegion();
    if (shape.isEmpty()) {
        FormShaper1->setActive(true);
        return;
    }
    // The shaper stays out of it, so that it does not put the colour's outline back.
    FormShaper1->setActive(false);
    setMask(shape);
}

void PlacementWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The shaper shapes the window by the colour when it is first shown; the shape goes over that.
    if (!m_shape.isEmpty())
        applyOutline();
}

QImage PlacementWindow::background() const
{
    return FormShaper1->MaskedPicture()->Picture();
}

int32_t PlacementWindow::maskColor() const
{
    return FormShaper1->MaskedPicture()->MaskColor();
}

void PlacementWindow::setPicking(bool on)
{
    m_picking = on;
    BackImage->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
    // The markers pick as the picture under them does: they follow the mouse without a button down.
    for (MarkerButton *marker : findChildren<MarkerButton *>(Qt::FindDirectChildrenOnly)) {
        marker->setMouseTracking(on);
        if (on)
            marker->setCursor(Qt::CrossCursor);
        else
            marker->unsetCursor();
    }
}

QColor PlacementWindow::colorAt(const QPoint &pos) const
{
    const QImage &picture = background();
    if (!picture.valid(pos))
        return QColor();
    return QColor(picture.pixel(pos));
}

void PlacementWindow::centerOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void PlacementWindow::BackImageMouseMove(const QPoint &pos)
{
    if (!m_picking)
        return;
    const QColor color = colorAt(pos);
    if (color.isValid())
        emit colorUnderMouse(color);
}

void PlacementWindow::BackImageClick()
{
    if (!m_picking)
        return;
    setPicking(false);
    emit pickClicked();
}

bool PlacementWindow::eventFilter(QObject *watched, QEvent *event)
{
    // While picking, a marker is part of the picture under it: it picks and ends the picking too.
    const bool marker =
        watched != BackImage && watched->parent() == this && qobject_cast<MarkerButton *>(watched);
    if ((watched == BackImage || marker) && m_picking) {
        const auto onBackground = [&] {
            const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
            return marker ? BackImage->mapFrom(this, static_cast<QWidget *>(watched)->mapTo(this, at)) : at;
        };
        switch (event->type()) {
        case QEvent::MouseMove:
            BackImageMouseMove(onBackground());
            return true;
        case QEvent::MouseButtonPress:
            // While picking, the background is a palette, not a handle to drag the window by.
            BackImageMouseMove(onBackground());
            return true;
        case QEvent::MouseButtonRelease:
            BackImageClick();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
