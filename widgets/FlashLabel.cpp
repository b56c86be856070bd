#include "widgets/FlashLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

FlashLabel::FlashLabel(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
    QFont f = font();
    f.setBold(true);
    f.setPointSize(7);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
}

FlashLabel::FlashLabel(QWidget *parent) : FlashLabel(QString(), parent) {}

void FlashLabel::setCaption(const QString &caption)
{
    m_caption = caption;
    updateGeometry();
    update();
}

void FlashLabel::setLit(bool lit)
{
    m_lit = lit;
    update();
}

void FlashLabel::setColors(const QColor &lit, const QColor &unlit)
{
    m_litColor = lit;
    m_unlitColor = unlit;
    update();
}

QColor FlashLabel::currentColor() const
{
    const QColor base = m_lit ? m_litColor : m_unlitColor;
    if (!m_hover)
        return base;
    // The flash: towards white, so that even black captions light up.
    const auto mix = [](int c) { return c + (255 - c) * 2 / 5; };
    return QColor(mix(base.red()), mix(base.green()), mix(base.blue()), base.alpha());
}

QSize FlashLabel::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(std::max(10, fm.horizontalAdvance(m_caption) + 4), fm.height());
}

void FlashLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(currentColor());
    painter.drawText(rect(), Qt::AlignCenter, m_caption);
}

void FlashLabel::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QWidget::enterEvent(event);
}

void FlashLabel::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QWidget::leaveEvent(event);
}

void FlashLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void FlashLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
