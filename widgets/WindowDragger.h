#pragma once
// Moves a borderless window while the left button drags one of the strips attached to it. The window manager
// moves it where it can; elsewhere (no window system move, or offscreen) the window follows the pointer.
#include <QObject>
#include <QPoint>

class QWidget;
class TFountainFill;

class WindowDragger : public QObject
{
    Q_OBJECT

public:
    // The dragger belongs to the window it moves.
    explicit WindowDragger(QWidget *window);

    // Pressing and dragging the strip moves the window.
    void attach(TFountainFill *strip);

    // A disabled dragger ignores presses and stops a move under way (a docked window stays put).
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    void press(Qt::MouseButton button, const QPoint &globalPos);
    void drag(Qt::MouseButtons buttons, const QPoint &globalPos);
    void release();

private:
    QWidget *m_window;
    QPoint m_offset;
    bool m_manual = false;
    bool m_enabled = true;
};
