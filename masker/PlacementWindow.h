#pragma once
// The background shaped like the finished player, with one movable marker per object of the mask and two
// for the volume and balance controls. A marker the user drags says where it went.
#include "masks/MaskFile.h"

#include <QColor>
#include <QImage>
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
    MarkerButton *Volume = nullptr;
    MarkerButton *Balance = nullptr;
    QLabel *BackImage = nullptr;
    TFormShaper *FormShaper1 = nullptr;

    // The markers' captions as the designer wrote them, in object order.
    static const std::array<QString, MaskFile::ObjectCount> MarkerCaptions;

    // Shows the bitmap, sizes the window to it and cuts the mask colour away.
    void setBackground(const QImage &picture, int32_t maskColor);
    // Hands colour and bitmap to the shaper again, so the outline is rebuilt for the new colour.
    void setMaskColor(int32_t maskColor);
    QImage background() const;
    int32_t maskColor() const;

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
    void volumeMoved(const QPoint &to);
    void balanceMoved(const QPoint &to);
    void colorUnderMouse(const QColor &color);
    void pickClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BackImageMouseMove(const QPoint &pos);
    void BackImageClick();

    std::array<MarkerButton *, MaskFile::ObjectCount> m_markers{};
    bool m_picking = false;
};
