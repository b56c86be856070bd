#include "widgets/Gauge.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

Gauge::Gauge(Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setKind(Kind kind)
{
    m_kind = kind;
    updateGeometry();
    update();
}

void Gauge::setMinValue(int value)
{
    setRange(value, std::max(value, m_max));
}

void Gauge::setMaxValue(int value)
{
    setRange(std::min(m_min, value), value);
}

void Gauge::setRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    setProgress(m_progress);
    update();
}

void Gauge::setProgress(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_progress)
        return;
    const int before = drawnLength();
    m_progress = value;
    // Meters move ten times a second: a bar that fills as many pixels as before is not painted again.
    if (before < 0 || drawnLength() != before)
        update();
    emit progressChanged(value);
}

void Gauge::setForeColor(const QColor &color)
{
    if (color == m_fore)
        return;
    m_fore = color;
    update();
}

void Gauge::setBackColor(const QColor &color)
{
    if (color == m_back)
        return;
    m_back = color;
    update();
}

void Gauge::setBorderColor(const QColor &color)
{
    if (color == m_border)
        return;
    m_border = color;
    update();
}

int Gauge::filledLength(int length) const
{
    if (m_max == m_min || length <= 0)
        return 0;
    return int(qint64(m_progress - m_min) * length / (m_max - m_min));
}

double Gauge::fraction() const
{
    return m_max == m_min ? 0.0 : double(m_progress - m_min) / (m_max - m_min);
}

QSize Gauge::sizeHint() const
{
    switch (m_kind) {
    case VerticalBar:
        return QSize(8, 60);
    case HorizontalBar:
        return QSize(60, 8);
    case Pie:
        return QSize(40, 40);
    case Needle:
        return QSize(60, 32);
    }
    return QSize(8, 60);
}

QRect Gauge::barRect() const
{
    return m_border.isValid() ? rect().adjusted(1, 1, -1, -1) : rect();
}

int Gauge::drawnLength() const
{
    if (m_kind == VerticalBar)
        return filledLength(barRect().height());
    if (m_kind == HorizontalBar)
        return filledLength(barRect().width());
    return -1;
}

void Gauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect bar = barRect();
    if (m_border.isValid())
        painter.fillRect(rect(), m_border);
    painter.fillRect(bar, m_back);
    if (m_kind == Pie) {
        paintPie(painter, bar);
    } else if (m_kind == Needle) {
        paintNeedle(painter, bar);
    } else if (m_kind == VerticalBar) {
        const int filled = filledLength(bar.height());
        painter.fillRect(QRect(bar.left(), bar.bottom() + 1 - filled, bar.width(), filled), m_fore);
    } else {
        const int filled = filledLength(bar.width());
        painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()), m_fore);
    }
}

void Gauge::paintPie(QPainter &painter, const QRect &box)
{
    if (box.width() < 2 || box.height() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(m_fore);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    // Angles in 1/16 degree, counter-clockwise from 3 o'clock: start at 12, run clockwise.
    const int span = int(std::lround(fraction() * 360 * 16));
    if (span > 0) {
        painter.setBrush(m_fore);
        if (span >= 360 * 16)
            painter.drawEllipse(circle);
        else
            painter.drawPie(circle, 90 * 16, -span);
    }
    painter.restore();
}

void Gauge::paintNeedle(QPainter &painter, const QRect &box)
{
    if (box.width() < 2 || box.height() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The dial is the upper half of an ellipse standing on the bottom edge.
    const QPointF hub(box.left() + box.width() / 2.0, box.bottom() + 0.5);
    const double rx = box.width() / 2.0 - 0.5, ry = box.height() - 0.5;
    painter.setPen(m_fore);
    painter.drawArc(QRectF(hub.x() - rx, hub.y() - ry, 2 * rx, 2 * ry), 0, 180 * 16);
    const double angle = std::numbers::pi * (1.0 - fraction());
    const QPointF tip(hub.x() + rx * std::cos(angle), hub.y() - ry * std::sin(angle));
    QPen needle(m_fore, 2);
    needle.setCapStyle(Qt::FlatCap);
    painter.setPen(needle);
    painter.drawLine(hub, tip);
    painter.restore();
}
