#include "widgets/BlockGauge.h"

#include <QPainter>
#include <algorithm>

BlockGauge::BlockGauge(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BlockGauge::setRange(int min, int max)
{
    m_min = min;
    m_max = std::max(min, max);
    m_progress = std::clamp(m_progress, m_min, m_max);
    update();
}

void BlockGauge::setProgress(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_progress)
        return;
    const int before = filledBlocks();
    m_progress = value;
    // As many lit blocks as before look the same.
    if (filledBlocks() != before)
        update();
}

void BlockGauge::setBlockSize(int pixels)
{
    m_blockSize = std::max(1, pixels);
    update();
}

void BlockGauge::setLowLimit(int value)
{
    if (value == m_low)
        return;
    m_low = value;
    update();
}

void BlockGauge::setHighLimit(int value)
{
    if (value == m_high)
        return;
    m_high = value;
    update();
}

void BlockGauge::setLowColor(const QColor &color)
{
    if (color == m_lowColor)
        return;
    m_lowColor = color;
    update();
}

void BlockGauge::setBarColor(const QColor &color)
{
    if (color == m_barColor)
        return;
    m_barColor = color;
    update();
}

void BlockGauge::setHighColor(const QColor &color)
{
    if (color == m_highColor)
        return;
    m_highColor = color;
    update();
}

void BlockGauge::setControlColor(const QColor &color)
{
    if (color == m_controlColor)
        return;
    m_controlColor = color;
    update();
}

int BlockGauge::blockCount() const
{
    return std::max(0, (height() + BlockGap) / (m_blockSize + BlockGap));
}

int BlockGauge::filledBlocks() const
{
    if (m_max == m_min)
        return 0;
    return int(qint64(m_progress - m_min) * blockCount() / (m_max - m_min));
}

QColor BlockGauge::blockColor(int index) const
{
    const int count = blockCount();
    if (count <= 0)
        return m_lowColor;
    // A block stands for the value at its lower edge.
    const qint64 value = m_min + qint64(index) * (m_max - m_min) / count;
    if (value < m_low)
        return m_lowColor;
    if (value < m_high)
        return m_barColor;
    return m_highColor;
}

QSize BlockGauge::sizeHint() const
{
    return QSize(8, 60);
}

void BlockGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_controlColor);
    const int filled = filledBlocks();
    for (int i = 0; i < filled; ++i) {
        const int bottom = height() - i * (m_blockSize + BlockGap);
        painter.fillRect(QRect(0, bottom - m_blockSize, width(), m_blockSize), blockColor(i));
    }
}
