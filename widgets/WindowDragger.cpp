#include "widgets/WindowDragger.h"

#include "widgets/TFountainFill.h"

#include <QWidget>
#include <QWindow>

WindowDragger::WindowDragger(QWidget *window) : QObject(window), m_window(window) {}

void WindowDragger::attach(TFountainFill *strip)
{
    connect(strip, &TFountainFill::mousePressed, this, &WindowDragger::press);
    connect(strip, &TFountainFill::mouseDragged, this, &WindowDragger::drag);
    connect(strip, &TFountainFill::mouseReleased, this, &WindowDragger::release);
}

void WindowDragger::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_manual = false;
}

void WindowDragger::press(Qt::MouseButton button, const QPoint &globalPos)
{
    m_manual = false;
    if (button != Qt::LeftButton || !m_enabled)
        return;
    QWindow *handle = m_window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_manual = true;
    m_offset = globalPos - m_window->pos();
}

void WindowDragger::drag(Qt::MouseButtons buttons, const QPoint &globalPos)
{
    if (m_manual && (buttons & Qt::LeftButton))
        m_window->move(globalPos - m_offset);
}

void WindowDragger::release()
{
    m_manual = false;
}
