#include "widgets/SpriteBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

SpriteBar::SpriteBar(Mode mode, QWidget *parent)
    : QWidget(parent), m_mode(mode), m_position(mode == Volume ? 100 : 50)
{
    setFocusPolicy(Qt::NoFocus);
}

void SpriteBar::setFrames(const QImage &stack, int count)
{
    m_count = stack.isNull() ? 0 : std::clamp(count, 1, stack.height());
    m_frames = m_count > 0 ? stack : QImage();
    updateGeometry();
    update();
}

QSize SpriteBar::frameSize() const
{
    return hasFrames() ? QSize(m_frames.width(), m_frames.height() / m_count) : QSize();
}

int SpriteBar::frameShown() const
{
    if (!hasFrames())
        return -1;
    const double along = m_mode == Volume ? (100 - m_position) / 100.0 : std::abs(m_position - 50) / 50.0;
    return std::clamp(int(std::lround(along * (m_count - 1))), 0, m_count - 1);
}

void SpriteBar::setThumb(const QImage &twoFrames)
{
    m_thumb = twoFrames.width() >= 2 ? twoFrames : QImage();
    m_thumbLeft = thumbLeftFor(m_position);
    update();
}

QSize SpriteBar::thumbSize() const
{
    return m_thumb.isNull() ? QSize(0, height()) : QSize(m_thumb.width() / 2, m_thumb.height());
}

QRect SpriteBar::thumbRect() const
{
    const QSize thumb = thumbSize();
    return QRect(QPoint(m_thumbLeft, (height() - thumb.height()) / 2), thumb);
}

int SpriteBar::range() const
{
    return std::max(0, width() - thumbSize().width());
}

int SpriteBar::thumbLeftFor(int position) const
{
    const int along = m_mode == Volume ? 100 - position : position;
    return int(std::lround(along * range() / 100.0));
}

void SpriteBar::showTrackBarPosition(int position)
{
    if (m_dragging)
        return;
    position = std::clamp(position, 0, 100);
    const int left = thumbLeftFor(position);
    if (position == m_position && left == m_thumbLeft)
        return;
    m_position = position;
    m_thumbLeft = left;
    update();
}

QSize SpriteBar::sizeHint() const
{
    return hasFrames() ? frameSize() : QSize(68, 13);
}

void SpriteBar::resizeEvent(QResizeEvent *event)
{
    if (!m_dragging)
        m_thumbLeft = thumbLeftFor(m_position);
    QWidget::resizeEvent(event);
}

void SpriteBar::dragTo(int thumbLeft)
{
    const int length = range();
    m_thumbLeft = std::clamp(thumbLeft, 0, length);
    const double p = length > 0 ? 100.0 * m_thumbLeft / length : 0;
    int position;
    if (m_mode == Volume) {
        position = 100 - int(std::lround(p));
    } else if (p > 40 && p < 60) {
        position = 50;
        m_thumbLeft = thumbLeftFor(50);
    } else {
        position = int(std::lround(p));
    }
    update();
    if (position == m_position)
        return;
    m_position = position;
    emit trackBarPositionChanged(position);
}

void SpriteBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    const int x = event->position().toPoint().x();
    const QRect thumb = thumbRect();
    m_dragging = true;
    emit pressed();
    if (thumb.left() <= x && x <= thumb.right()) {
        m_grab = x - thumb.left();
        update();
        return;
    }
    // Pressed beside the thumb: it jumps under the mouse.
    m_grab = thumb.width() / 2;
    dragTo(x - m_grab);
}

void SpriteBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        event->ignore();
        return;
    }
    event->accept();
    dragTo(event->position().toPoint().x() - m_grab);
}

void SpriteBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        event->ignore();
        return;
    }
    event->accept();
    m_dragging = false;
    // The thumb settles where the position puts it (the snapped centre, a rounded pixel).
    m_thumbLeft = thumbLeftFor(m_position);
    update();
    emit released();
}

void SpriteBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int frame = frameShown();
    if (frame >= 0) {
        const QSize size = frameSize();
        painter.drawImage(QPoint(0, 0), m_frames, QRect(QPoint(0, frame * size.height()), size));
    }
    if (!m_thumb.isNull()) {
        const QRect box = thumbRect();
        painter.drawImage(box.topLeft(), m_thumb, QRect(QPoint(m_dragging ? box.width() : 0, 0), box.size()));
    }
}
