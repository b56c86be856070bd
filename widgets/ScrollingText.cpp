#include "widgets/ScrollingText.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

ScrollingText::ScrollingText(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(ScrollInterval);
    connect(&m_timer, &QTimer::timeout, this, &ScrollingText::advance);
}

void ScrollingText::setLines(const QStringList &lines)
{
    m_lines = lines;
    m_offset = 0;
    updateTimer();
    update();
}

void ScrollingText::appendLines(const QStringList &lines)
{
    m_lines += lines;
    updateTimer();
    update();
}

void ScrollingText::setBackColor(const QColor &color)
{
    m_back = color;
    update();
}

QColor ScrollingText::textColor() const
{
    if (m_text.isValid())
        return m_text;
    return qGray(m_back.rgb()) < 128 ? QColor(Qt::white) : QColor(Qt::black);
}

void ScrollingText::setTextColor(const QColor &color)
{
    m_text = color;
    update();
}

void ScrollingText::setPointSize(int points)
{
    QFont f = font();
    f.setPointSize(std::max(1, points));
    setFont(f);
    m_offset = 0;
    update();
}

void ScrollingText::setScrolling(bool on)
{
    m_scrolling = on;
    updateTimer();
}

void ScrollingText::updateTimer()
{
    if (m_scrolling && !m_lines.isEmpty())
        m_timer.start();
    else
        m_timer.stop();
}

int ScrollingText::lineHeight() const
{
    return std::max(1, fontMetrics().height());
}

int ScrollingText::scrollPeriod() const
{
    return std::max({1, int(m_lines.size()) * lineHeight(), height()});
}

void ScrollingText::advance()
{
    m_offset = (m_offset + ScrollStep) % scrollPeriod();
    update();
}

void ScrollingText::resizeEvent(QResizeEvent *event)
{
    m_offset %= scrollPeriod();
    QWidget::resizeEvent(event);
}

void ScrollingText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    if (m_lines.isEmpty())
        return;
    painter.setPen(textColor());
    painter.setFont(font());
    const int lh = lineHeight();
    const int period = scrollPeriod();
    // The picture repeats every period pixels; draw each copy that reaches into the panel.
    for (int top = -m_offset; top < height(); top += period) {
        for (int i = 0; i < m_lines.size(); ++i) {
            const int y = top + i * lh;
            if (y + lh <= 0 || y >= height())
                continue;
            painter.drawText(QRect(0, y, width(), lh), Qt::AlignHCenter | Qt::AlignTop, m_lines.at(i));
        }
    }
}

void ScrollingText::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void ScrollingText::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
