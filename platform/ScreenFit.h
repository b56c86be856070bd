#pragma once
// Saved window places come from another set of monitors: a place that lies off every screen is moved onto
// the nearest one, as desktop programs do after a monitor was unplugged.
#include <QList>
#include <QRect>

namespace ScreenFit
{

// True when enough of rect lies on one of the areas to be grabbed (40 x 20 pixels, or all of a smaller
// window).
bool isReachable(const QRect &rect, const QList<QRect> &areas);
// rect itself when reachable; else rect moved into the area nearest to it (its top left corner on the area
// when it is larger than the area). rect when there are no areas.
QRect ontoNearest(const QRect &rect, const QList<QRect> &areas);
// The same against the available areas of the screens the application has now.
QRect ontoScreens(const QRect &rect);
// rect moved wholly onto the area (its top left corner on the area when it is larger).
QRect wholly(const QRect &rect, const QRect &area);
// A place for a window of the given size, wholly on the area (its top left corner on the area when larger),
// beside other: to its right when there is room, else to its left, else below, else above, else where it
// covers the least of it.
QRect beside(const QSize &size, const QRect &other, const QRect &area);

} // namespace ScreenFit
