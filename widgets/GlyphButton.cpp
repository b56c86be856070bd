#include "widgets/GlyphButton.h"

#include <QPainter>

GlyphButton::GlyphButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void GlyphButton::setGlyph(const QImage &fourFrames)
{
    m_glyph = fourFrames.width() >= 4 ? fourFrames : QImage();
    updateGeometry();
    update();
}

void GlyphButton::clearGlyph()
{
    m_glyph = QImage();
    updateGeometry();
    update();
}

void GlyphButton::setOnGlyph(const QImage &fourFrames)
{
    m_onGlyph = fourFrames.width() >= 4 ? fourFrames : QImage();
    update();
}

QSize GlyphButton::frameSize() const
{
    return hasGlyph() ? QSize(m_glyph.width() / 4, m_glyph.height()) : QSize();
}

int GlyphButton::frameShown() const
{
    if (onGlyphShown()) {
        if (!isEnabled())
            return DisabledFrame;
        if (isDown())
            return PressedFrame;
        return m_hover ? HoverFrame : NormalFrame;
    }
    if (!hasGlyph())
        return -1;
    if (!isEnabled())
        return DisabledFrame;
    if (isDown() || isChecked())
        return PressedFrame;
    if (m_hover)
        return HoverFrame;
    return NormalFrame;
}

QSize GlyphButton::sizeHint() const
{
    return hasGlyph() ? frameSize() : QSize(23, 23);
}

void GlyphButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GlyphButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void GlyphButton::paintEvent(QPaintEvent *)
{
    const int frame = frameShown();
    if (frame < 0)
        return;
    const QImage &picture = onGlyphShown() ? m_onGlyph : m_glyph;
    const QSize size(picture.width() / 4, picture.height());
    QPainter painter(this);
    painter.drawImage(rect(), picture, QRect(QPoint(frame * size.width(), 0), size));
}
