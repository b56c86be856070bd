#pragma once
// A click of the left button: pressed on a widget and released inside it. Widgets that only report clicks
// keep one of these instead of their own pressed flag.
#include <QMouseEvent>
#include <QRect>

class ClickTracker
{
public:
    void press(QMouseEvent *event)
    {
        m_pressed = event->button() == Qt::LeftButton;
        event->accept();
    }

    // True when this release ends a click inside `rect`.
    bool release(QMouseEvent *event, const QRect &rect)
    {
        const bool click =
            m_pressed && event->button() == Qt::LeftButton && rect.contains(event->position().toPoint());
        m_pressed = false;
        event->accept();
        return click;
    }

private:
    bool m_pressed = false;
};
