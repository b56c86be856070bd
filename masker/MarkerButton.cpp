#include "masker/MarkerButton.h"

#include <QMouseEvent>
#include <QPainter>

MarkerButton::MarkerButton(const QString &caption, const QRect &geometry, QWidget *parent)
    : QWidget(parent), m_caption(caption)
{
    setGeometry(geometry);
    setCursor(Qt::SizeAllCursor);
    setToolTip(caption);
    QFont f = font();
    f.setPixelSize(10);
    setFont(f);
}

void MarkerButton::setPicture(const QImage &picture, int frames)
{
    m_frames = std::max(1, frames);
    m_picture = picture.width() >= m_frames ? picture : QImage();
    update();
}

QSize MarkerButton::frameSize() const
{
    return m_picture.isNull() ? QSize() : QSize(m_picture.width() / m_frames, m_picture.height());
}

void MarkerButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect box = rect().adjusted(0, 0, -1, -1);
    if (!m_picture.isNull()) {
        painter.drawImage(rect(), m_picture, QRect(QPoint(0, 0), frameSize()));
    } else {
        painter.fillRect(rect(), QColor(212, 208, 200, 200));
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, m_caption);
    }
    // The frame says where the object ends even when its picture melts into the background.
    painter.setPen(QPen(m_dragging ? QColor(255, 0, 0) : QColor(0, 0, 0), 1, Qt::DotLine));
    painter.drawRect(box);
}

void MarkerButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_grab = event->position().toPoint();
    raise();
    update();
}

void MarkerButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint to = pos() + event->position().toPoint() - m_grab;
    if (to != pos()) {
        move(to);
        emit moved(to);
    }
}

void MarkerButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    update();
    emit mouseReleased();
}
