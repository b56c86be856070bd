#pragma once
// Drawing kit of the skin generator: a shaped background with a crisp rim against the lime key colour,
// sunken panels, marks, the four-frame button glyphs, the two-frame thumb and the frames of the animations.
// Everything is drawn from code, so the same source always gives the same pictures.
#include "masks/MaskFile.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>

namespace art
{

// The cut-away colour every background uses ("BackColor=65280").
inline const QColor Lime(0, 255, 0);

// A colour as masks store it: red in the low byte.
int32_t colorValue(const QColor &c);

struct Palette {
    QColor bodyTop, bodyBottom; // the metal of the body, top to bottom
    QColor outline;             // the outermost pixel, against the desktop
    QColor rimLight, rimShade;  // bevel of the rim, lit from the top left
    QColor panel;               // plain sunken fields behind texts
    QColor deck;                // behind the buttons; also the ground of the glyph frames
    QColor capTop, capBottom;   // button caps
    QColor symbol, accent;      // glyph symbols; highlights (hover, knobs, emblem)
    int brushSeed = 1;          // grain of the metal
};

// A background being drawn: the shape decides which pixels belong to the window.
class Canvas
{
public:
    Canvas(const QSize &size, const QPainterPath &shape, const Palette &palette);

    // Brushed metal over the whole shape.
    void paintBody();
    // A plain sunken field; its inside is exactly `fill`.
    void sunken(const QRectF &rect, qreal radius, const QColor &fill);
    // A sunken frame `margin` pixels around an object the window paints itself.
    void frameAround(const QRect &object, int margin, qreal radius, const QColor &fill);
    // A small screw head.
    void screw(const QPointF &centre);
    // Slots of a speaker grille.
    void grille(const QRect &area, int slotCount);
    // The mark of the about button: a ring with a "V".
    void emblem(const QRect &rect);
    // The mark of the hide button: a bar near the bottom of a small square.
    void minimizeMark(const QRect &rect);

    // True when the rectangle lies inside the shape at least `margin` pixels away from its edge.
    bool holds(const QRect &rect, int margin) const;
    // The rim, then the lime cut-away; done once, at the end.
    QImage finish();

    QImage &image() { return m_image; }

private:
    void grow(); // distances from the outside, for the rim and holds()

    QSize m_size;
    Palette m_palette;
    QImage m_image;
    QImage m_inside;           // 255 inside the shape, 0 outside; aliased
    QVector<int> m_depth;      // distance (steps) from the nearest outside pixel, capped
    QVector<QPointF> m_normal; // points outwards, for the light on the rim
};

// Four frames side by side, each `size` square: normal, mouse over, pressed, disabled.
QImage buttonStrip(MaskFile::Button button, int size, const Palette &palette);
// Two frames side by side: normal, pressed. Grip lines across the direction of travel.
QImage thumbStrip(const QSize &frame, bool vertical, const Palette &palette);

// Animations, opaque on `ground` (the background beneath them is a plain well of that colour).
QList<QImage> discFrames(int size, int count, const QColor &ground, const QColor &label, const QColor &shine);
QList<QImage> flameFrames(int size, int count, const QColor &ground);
QList<QImage> barFrames(int size, int count, const QColor &ground, const QColor &low, const QColor &high);
QList<QImage> waveFrames(const QSize &size, int count, const QColor &ground, const QColor &water,
                         const QColor &foam);

} // namespace art
