#include "widgets/KnobBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{
// "00" style: at least two digits, rounded.
QString twoDigits(double value)
{
    return QStringLiteral("%1").arg(std::lround(value), 2, 10, QLatin1Char('0'));
}
} // namespace

KnobBar::KnobBar(Mode mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    m_caption = restCaption();
    QFont f = font();
    f.setPixelSize(9);
    setFont(f);
    setFixedSize(barWidth(), WidgetHeight);
    setFocusPolicy(Qt::NoFocus);
}

QString KnobBar::restCaption() const
{
    return m_mode == Volume ? QStringLiteral("Volume") : QStringLiteral("Balance");
}

QSize KnobBar::sizeHint() const
{
    return QSize(barWidth(), WidgetHeight);
}

void KnobBar::setKnobOffset(int offset)
{
    offset = std::clamp(offset, 0, range());
    if (offset == m_offset)
        return;
    m_offset = offset;
    update();
}

void KnobBar::showTrackBarPosition(int position)
{
    if (m_dragging)
        return;
    position = std::clamp(position, 0, 100);
    if (m_mode == Volume)
        setKnobOffset(int(std::lround((100 - position) * range() / 100.0)));
    else if (position == 50)
        setKnobOffset(range() / 2);
    else
        setKnobOffset(int(std::lround(position * range() / 100.0)));
}

void KnobBar::setColors(const QColor &rest, const QColor &press)
{
    if (rest == m_rest && press == m_press)
        return;
    m_rest = rest;
    m_press = press;
    update();
}

void KnobBar::setTextColor(const QColor &color)
{
    if (color == m_text)
        return;
    m_text = color;
    update();
}

void KnobBar::dragBy(int x)
{
    m_offset = std::clamp(m_offset + x - KnobWidth / 2, 0, range());
    const double p = 100.0 / range() * m_offset;
    int position;
    if (m_mode == Volume) {
        m_caption = twoDigits(p) + QStringLiteral("% V");
        position = 100 - (100 / range()) * m_offset;
    } else {
        // Near the middle the knob snaps to it; exactly 40 or 60 leaves the caption as it was.
        if (p > 40 && p < 60) {
            m_offset = range() / 2;
            m_caption = QStringLiteral("Center");
        } else if (p > 60) {
            m_caption = twoDigits((p - 50) * 0.02 * 100) + QStringLiteral("% R");
        } else if (p < 40) {
            m_caption = twoDigits((50 - p) * 0.02 * 100) + QStringLiteral("% L");
        }
        position = m_caption == QLatin1String("Center") ? 50 : (100 / range()) * m_offset;
    }
    update();
    emit trackBarPositionChanged(position);
}

void KnobBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !knobRect().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    event->accept();
    m_dragging = true;
    update();
    emit pressed();
}

void KnobBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        event->ignore();
        return;
    }
    event->accept();
    dragBy(event->position().toPoint().x() - m_offset);
}

void KnobBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging) {
        event->ignore();
        return;
    }
    event->accept();
    m_dragging = false;
    m_caption = restCaption();
    update();
    emit released();
}

void KnobBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The groove: a sunken line as wide as the bar.
    painter.fillRect(QRect(0, BarTop, barWidth(), BarHeight), QColor(0, 0, 0));
    painter.fillRect(QRect(0, BarTop, barWidth(), 1), QColor(128, 128, 128));
    painter.fillRect(QRect(0, BarTop + BarHeight - 1, barWidth(), 1), QColor(255, 255, 255));

    painter.setFont(font());
    painter.setPen(m_text);
    painter.drawText(QRect(0, LabelTop, barWidth(), LabelHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     m_caption);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 0));
    painter.setBrush(knobColor());
    painter.drawEllipse(QRectF(knobRect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
