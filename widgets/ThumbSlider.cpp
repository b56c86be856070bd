#include "widgets/ThumbSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

ThumbSlider::ThumbSlider(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ThumbSlider::setRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    m_value = std::clamp(m_value, m_min, m_max);
    update();
}

void ThumbSlider::setValue(int value)
{
    if (m_pressed)
        return;
    value = std::clamp(value, m_min, m_max);
    if (value == m_value)
        return;
    // A song's position moves the thumb by a pixel only every few reports: paint only when it moves.
    const QRect before = thumbRect();
    m_value = value;
    const QRect after = thumbRect();
    if (after != before)
        update(before.united(after));
}

void ThumbSlider::setHorizontal(bool horizontal)
{
    m_horizontal = horizontal;
    updateGeometry();
    update();
}

void ThumbSlider::setThumbImage(const QImage &twoFrames)
{
    m_thumb = twoFrames;
    updateGeometry();
    update();
}

QSize ThumbSlider::thumbSize() const
{
    if (m_thumb.width() >= 2 && m_thumb.height() >= 1)
        return QSize(m_thumb.width() / 2, m_thumb.height());
    return m_horizontal ? QSize(8, 14) : QSize(14, 8);
}

void ThumbSlider::setBackColor(const QColor &color)
{
    if (color == m_back)
        return;
    m_back = color;
    update();
}

void ThumbSlider::setBackImage(const QImage &groove)
{
    m_backImage = groove;
    update();
}

QSize ThumbSlider::sizeHint() const
{
    const QSize thumb = thumbSize();
    return m_horizontal ? QSize(150, thumb.height() + 2) : QSize(thumb.width() + 2, 150);
}

int ThumbSlider::trackLength() const
{
    const QSize thumb = thumbSize();
    return std::max(0, m_horizontal ? width() - thumb.width() : height() - thumb.height());
}

QRect ThumbSlider::thumbRect() const
{
    const QSize thumb = thumbSize();
    const int span = m_max - m_min;
    const int along = span > 0 ? int(qint64(m_value - m_min) * trackLength() / span) : 0;
    if (m_horizontal)
        return QRect(QPoint(along, (height() - thumb.height()) / 2), thumb);
    return QRect(QPoint((width() - thumb.width()) / 2, along), thumb);
}

int ThumbSlider::valueAt(int thumbStart) const
{
    const int length = trackLength();
    if (length <= 0)
        return m_min;
    thumbStart = std::clamp(thumbStart, 0, length);
    return m_min + int(std::lround(double(thumbStart) * (m_max - m_min) / length));
}

void ThumbSlider::dragTo(const QPoint &pos)
{
    const int along = (m_horizontal ? pos.x() : pos.y()) - m_grab;
    const int value = valueAt(along);
    if (value == m_value)
        return;
    m_value = value;
    update();
    emit valueChanged(value);
}

void ThumbSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint pos = event->position().toPoint();
    const QRect thumb = thumbRect();
    m_pressed = true;
    update();
    emit pressed();
    if (thumb.contains(pos)) {
        m_grab = m_horizontal ? pos.x() - thumb.left() : pos.y() - thumb.top();
        return;
    }
    // Pressed on the track: the thumb jumps under the mouse and the drag has begun.
    m_grab = (m_horizontal ? thumb.width() : thumb.height()) / 2;
    m_tracking = true;
    emit trackingStarted();
    dragTo(pos);
}

void ThumbSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed) {
        event->ignore();
        return;
    }
    event->accept();
    if (!m_tracking) {
        m_tracking = true;
        emit trackingStarted();
    }
    dragTo(event->position().toPoint());
}

void ThumbSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        event->ignore();
        return;
    }
    event->accept();
    endDrag();
}

void ThumbSlider::endDrag()
{
    const bool tracked = m_tracking;
    m_pressed = false;
    m_tracking = false;
    update();
    if (tracked)
        emit trackingStopped(m_value);
    emit released();
}

void ThumbSlider::changeEvent(QEvent *event)
{
    // Disabled in the middle of a drag (the song ended), no release will come: end the drag here, so the
    // owner never stays in a drag.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_pressed)
        endDrag();
    QWidget::changeEvent(event);
}

void ThumbSlider::paintGroove(QPainter &painter) const
{
    painter.fillRect(rect(), m_back);
    // The groove runs between the centres of the thumb at both ends, sunk: a dark line over a light one,
    // in shades that show on any back colour.
    const QSize thumb = thumbSize();
    const QColor shadow(96, 96, 96), light(224, 224, 224);
    if (m_horizontal) {
        const int y = height() / 2 - 1;
        const int x0 = thumb.width() / 2, x1 = width() - 1 - thumb.width() / 2;
        painter.setPen(shadow);
        painter.drawLine(x0, y, x1, y);
        painter.setPen(light);
        painter.drawLine(x0, y + 1, x1, y + 1);
    } else {
        const int x = width() / 2 - 1;
        const int y0 = thumb.height() / 2, y1 = height() - 1 - thumb.height() / 2;
        painter.setPen(shadow);
        painter.drawLine(x, y0, x, y1);
        painter.setPen(light);
        painter.drawLine(x + 1, y0, x + 1, y1);
    }
}

void ThumbSlider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_backImage.isNull())
        painter.drawImage(rect(), m_backImage);
    else
        paintGroove(painter);

    const QRect box = thumbRect();
    const bool down = m_pressed && isEnabled();
    if (m_thumb.width() >= 2 && m_thumb.height() >= 1) {
        const QRect frame(down ? box.width() : 0, 0, box.width(), box.height());
        painter.drawImage(box.topLeft(), m_thumb, frame);
        return;
    }
    const QColor face = isEnabled() ? QColor(192, 192, 192) : QColor(160, 160, 160);
    const QRect r = box.adjusted(0, 0, -1, -1);
    painter.fillRect(box, down ? face.darker(115) : face);
    painter.setPen(down ? QColor(64, 64, 64) : QColor(255, 255, 255));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(down ? QColor(255, 255, 255) : QColor(64, 64, 64));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}
