#include "widgets/Gauge.h"

#include <QPainter>
#include <algorithm>

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
    m_progress = value;
    update();
    emit progressChanged(value);
}

void Gauge::setForeColor(const QColor &color)
{
    m_fore = color;
    update();
}

void Gauge::setBackColor(const QColor &color)
{
    m_back = color;
    update();
}

void Gauge::setBorderColor(const QColor &color)
{
    m_border = color;
    update();
}

int Gauge::filledLength(int length) const
{
    if (m_max == m_min || length <= 0)
        return 0;
    return int(qint64(m_progress - m_min) * length / (m_max - m_min));
}

QSize Gauge::sizeHint() const
{
    return m_kind == VerticalBar ? QSize(8, 60) : QSize(60, 8);
}

void Gauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect bar = rect();
    if (m_border.isValid()) {
        painter.fillRect(bar, m_border);
        bar.adjust(1, 1, -1, -1);
    }
    painter.fillRect(bar, m_back);
    if (m_kind == VerticalBar) {
        const int filled = filledLength(bar.height());
        painter.fillRect(QRect(bar.left(), bar.bottom() + 1 - filled, bar.width(), filled), m_fore);
    } else {
        const int filled = filledLength(bar.width());
        painter.fillRect(QRect(bar.left(), bar.top(), filled, bar.height()), m_fore);
    }
}
