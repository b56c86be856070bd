#include "widgets/HoverWatcher.h"

#include <QCursor>

HoverWatcher::HoverWatcher(QObject *parent) : QObject(parent)
{
    m_timer.setInterval(Interval);
    connect(&m_timer, &QTimer::timeout, this, &HoverWatcher::poll);
}

void HoverWatcher::setTarget(QWidget *reference, const QRect &rect)
{
    m_reference = reference;
    m_rect = rect;
}

void HoverWatcher::setActive(bool active)
{
    m_active = active;
    m_inside = false;
    if (active)
        m_timer.start();
    else
        m_timer.stop();
}

void HoverWatcher::setCursorProvider(std::function<QPoint()> provider)
{
    m_cursor = std::move(provider);
}

void HoverWatcher::poll()
{
    if (!m_active || !m_reference || !m_reference->isVisible())
        return;
    const QPoint global = m_cursor ? m_cursor() : QCursor::pos();
    const bool inside = m_rect.contains(m_reference->mapFromGlobal(global));
    if (inside == m_inside)
        return;
    m_inside = inside;
    if (inside)
        emit entered();
    else
        emit left();
}
