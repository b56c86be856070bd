#pragma once
// The background shaped like the finished player, with one movable marker per object of the mask (the
// standard ones, then the extras' bars) and two for the volume and balance controls. A marker the user drags
// says where it went.
#include "masks/MaskFile.h"

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRegion>
#include <QWidget>
#include <array>

class MarkerButton;
class QLabel;
class TFormShaper;

class PlacementWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PlacementWindow(QWidget *parent = nullptr);

    // The marker of an object, in the mask's object order.
    MarkerButton *marker(MaskFile::Object object) const { return m_markers[object]; }
    MarkerButton *extraMarker(MaskFile::ExtraObject object) const { return m_extraMarkers[object]; }
    MarkerButton *Volume = nullptr;
    MarkerButton *Balance = nullptr;
    QLabel *BackImage = nullptr;
    TFormShaper *FormShaper1 = nullptr;

    // The markers' captions as the designer wrote them, in object order.
    static const std::array<QString, MaskFile::ObjectCount> MarkerCaptions;
    static const std::array<QString, MaskFile::ExtraObjectCount> ExtraMarkerCaptions;

    // Shows the bitmap, sizes the window to it and cuts the mask colour away.
    void setBackground(const QImage &picture, int32_t maskColor);
    // Hands colour and bitmap to the shaper again, so the outline is rebuilt for the new colour.
    void setMaskColor(int32_t maskColor);
    QImage background() const;
    int32_t maskColor() const;
    // The mask's own outline (its "Shape"), which then shapes the window instead of the mask colour; no
    // polygons: the colour again.
    void setShape(const QList<QPolygon> &polygons);
    // The outline the shape gives the background; empty without a shape.
    QRegion shapeRegion() const;

    // Colour picking: while on, the background shows a cross and reports the colour under the mouse; a click
    // on it ends picking.
    void setPicking(bool on);
    bool picking() const { return m_picking; }
    // The colour of the background at a point of the window; invalid outside the picture.
    QColor colorAt(const QPoint &pos) const;

    // Places the window in the middle of the screen.
    void centerOnScreen();

signals:
    // The mouse was released over one of the object markers (not the volume or balance ones).
    void markerReleased();
    // A marker dragged by the user, to `to` in the window.
    void objectMoved(MaskFile::Object object, const QPoint &to);
    void extraObjectMoved(MaskFile::ExtraObject object, const QPoint &to);
    void volumeMoved(const QPoint &to);
    void balanceMoved(const QPoint &to);
    void colorUnderMouse(const QColor &color);
    void pickClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The shaper cuts the colour; a shape, when there is one, is laid over it.
    void applyOutline();
    void BackImageMouseMove(const QPoint &pos);
    void BackImageClick();

    std::array<MarkerButton *, MaskFile::ObjectCount> m_markers{};
    std::array<MarkerButton *, MaskFile::ExtraObjectCount> m_extraMarkers{};
    QList<QPolygon> m_shape;
    bool m_picking = false;
};
