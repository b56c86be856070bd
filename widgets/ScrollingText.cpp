#include "widgets/ScrollingText.h"

#include <QEvent>
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
    dropStrip();
}

void ScrollingText::appendLines(const QStringList &lines)
{
    m_lines += lines;
    updateTimer();
    dropStrip();
}

void ScrollingText::setBackColor(const QColor &color)
{
    m_back = color;
    dropStrip();
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
    dropStrip();
}

void ScrollingText::setPointSize(int points)
{
    QFont f = font();
    f.setPointSize(std::max(1, points));
    setFont(f);
    m_offset = 0;
    dropStrip();
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

void ScrollingText::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_strip = QPixmap();
    QWidget::changeEvent(event);
}

void ScrollingText::dropStrip()
{
    m_strip = QPixmap();
    update();
}

bool ScrollingText::stripFits() const
{
    // A list of lines too long for one picture is drawn line by line instead.
    return scrollPeriod() <= 4096 && width() > 0;
}

void ScrollingText::drawLines(QPainter &painter, int top, int bottom) const
{
    const int lh = lineHeight();
    for (int i = 0; i < m_lines.size(); ++i) {
        const int y = top + i * lh;
        if (y + lh <= 0 || y >= bottom)
            continue;
        painter.drawText(QRect(0, y, width(), lh), Qt::AlignHCenter | Qt::AlignTop, m_lines.at(i));
    }
}

void ScrollingText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_back);
    if (m_lines.isEmpty())
        return;
    const int period = scrollPeriod();
    if (!stripFits()) {
        painter.setPen(textColor());
        painter.setFont(font());
        painter.setClipRect(rect());
        for (int top = -m_offset; top < height(); top += period)
            drawLines(painter, top, height());
        return;
    }
    // A new size or screen gives a new picture.
    if (m_strip.isNull() || m_strip.deviceIndependentSize() != QSizeF(width(), period) ||
        m_strip.devicePixelRatio() != devicePixelRatioF()) {
        const qreal ratio = devicePixelRatioF();
        m_strip = QPixmap(QSize(width(), period) * ratio);
        m_strip.setDevicePixelRatio(ratio);
        m_strip.fill(m_back);
        QPainter strip(&m_strip);
        strip.setPen(textColor());
        strip.setFont(font());
        drawLines(strip, 0, period);
    }
    // The picture repeats every period pixels; draw each copy that reaches into the panel.
    for (int top = -m_offset; top < height(); top += period)
        painter.drawPixmap(0, top, m_strip);
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
