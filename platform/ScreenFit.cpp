#include "platform/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace ScreenFit
{

bool isReachable(const QRect &rect, const QList<QRect> &areas)
{
    const int needWidth = std::min(rect.width(), 40), needHeight = std::min(rect.height(), 20);
    return std::any_of(areas.begin(), areas.end(), [&](const QRect &area) {
        const QRect on = rect.intersected(area);
        return !on.isEmpty() && on.width() >= needWidth && on.height() >= needHeight;
    });
}

QRect ontoNearest(const QRect &rect, const QList<QRect> &areas)
{
    if (areas.isEmpty() || isReachable(rect, areas))
        return rect;
    // Distances in 64 bits: a saved place may be anywhere an int reaches.
    const auto distance = [&](const QRect &area) {
        const auto gap = [](qint64 lo, qint64 hi, qint64 from, qint64 to) {
            return from > hi ? from - hi : (to < lo ? lo - to : 0);
        };
        const qint64 dx = gap(area.left(), area.right(), rect.left(), qint64(rect.left()) + rect.width() - 1);
        const qint64 dy = gap(area.top(), area.bottom(), rect.top(), qint64(rect.top()) + rect.height() - 1);
        return dx * dx + dy * dy;
    };
    const QRect nearest = *std::min_element(areas.begin(), areas.end(), [&](const QRect &a, const QRect &b) {
        return distance(a) < distance(b);
    });
    const auto place = [](qint64 at, int size, int lo, int areaSize) {
        const qint64 hi = qint64(lo) + areaSize - size;
        return int(std::max<qint64>(lo, std::min<qint64>(at, hi)));
    };
    return QRect(place(rect.left(), rect.width(), nearest.left(), nearest.width()),
                 place(rect.top(), rect.height(), nearest.top(), nearest.height()), rect.width(),
                 rect.height());
}

QRect ontoScreens(const QRect &rect)
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return ontoNearest(rect, areas);
}

QRect wholly(const QRect &rect, const QRect &area)
{
    const int x = std::max(area.left(), std::min(rect.left(), area.left() + area.width() - rect.width()));
    const int y = std::max(area.top(), std::min(rect.top(), area.top() + area.height() - rect.height()));
    return QRect(QPoint(x, y), rect.size());
}

QRect beside(const QSize &size, const QRect &other, const QRect &area)
{
    const auto within = [&](QPoint at) { return wholly(QRect(at, size), area); };
    const QRect candidates[] = {
        within(QPoint(other.left() + other.width(), other.top())),
        within(QPoint(other.left() - size.width(), other.top())),
        within(QPoint(other.left(), other.top() + other.height())),
        within(QPoint(other.left(), other.top() - size.height())),
    };
    const auto covered = [&](const QRect &r) {
        const QRect both = r.intersected(other);
        return both.isEmpty() ? qint64(0) : qint64(both.width()) * both.height();
    };
    return *std::min_element(std::begin(candidates), std::end(candidates),
                             [&](const QRect &a, const QRect &b) { return covered(a) < covered(b); });
}

} // namespace ScreenFit
