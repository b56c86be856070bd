#include "player/StripDock.h"

QRect StripDock::dockedGeometry(int width) const
{
    const QRect a = area();
    const int left = m_left ? a.left() : a.left() + a.width() - width;
    return QRect(left, a.top(), width, a.height());
}

int StripDock::hiddenLeft(int width) const
{
    const QRect a = area();
    return m_left ? a.left() + 1 - width : a.left() + a.width() - 1;
}

bool StripDock::isSlidOff(int left, int width) const
{
    const QRect a = area();
    return left == a.left() + a.width() - 1 || left == a.left() + 1 - width;
}

bool StripDock::atAnEdge(int left, int width) const
{
    const QRect a = area();
    return left == a.left() + a.width() - width || left == a.left();
}

bool StripDock::pointerOver(const QRect &geometry) const
{
    const QPoint c = cursor();
    return c.y() <= geometry.y() + geometry.height() && c.x() >= geometry.x() &&
           c.x() <= geometry.x() + geometry.width();
}
