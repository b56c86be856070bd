#include "widgets/TKTop.h"

#include <QWidget>
#include <QWindow>

TKTop::TKTop(QWidget *owner) : QObject(owner), m_owner(owner) {}

void TKTop::setKTop(bool on)
{
    m_on = on;
    if (!m_owner || !m_owner->isWindow())
        return;
    Qt::WindowFlags flags = m_owner->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    if (flags == m_owner->windowFlags())
        return;
    // QWidget::setWindowFlags would hide a shown window and create it anew; telling the existing native
    // window keeps it where it is and leaves the focus alone.
    if (QWindow *handle = m_owner->windowHandle()) {
        m_owner->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        m_owner->setWindowFlags(flags);
    }
}

bool TKTop::ownerStaysOnTop() const
{
    return m_owner && m_owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}
