#pragma once
// Where the strip stands on its screen: docked at the left or right edge of the available area, or slid off
// with one pixel column left on it, and whether the pointer is over it. The area and the pointer come from
// providers, so the rules can be checked without a real screen or mouse.
#include <QPoint>
#include <QRect>
#include <functional>

class StripDock
{
public:
    using AreaProvider = std::function<QRect()>;
    using CursorProvider = std::function<QPoint()>;

    void setAreaProvider(AreaProvider provider) { m_area = std::move(provider); }
    void setCursorProvider(CursorProvider provider) { m_cursor = std::move(provider); }
    void setDockedLeft(bool left) { m_left = left; }
    bool dockedLeft() const { return m_left; }

    QRect area() const { return m_area ? m_area() : QRect(0, 0, 1024, 768); }
    QPoint cursor() const { return m_cursor ? m_cursor() : QPoint(); }
    // At the dock edge, from the top of the area, as tall as the area.
    QRect dockedGeometry(int width) const;
    // The left edge while slid off.
    int hiddenLeft(int width) const;
    bool isSlidOff(int left, int width) const;
    // Flush with one edge of the area.
    bool atAnEdge(int left, int width) const;
    // The pointer is over the strip or below its top (a menu or a drag may hang below it).
    bool pointerOver(const QRect &geometry) const;

private:
    AreaProvider m_area;
    CursorProvider m_cursor;
    bool m_left = false;
};
