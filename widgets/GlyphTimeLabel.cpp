#include "widgets/GlyphTimeLabel.h"

#include <QPainter>

GlyphTimeLabel::GlyphTimeLabel(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setText(QString());
}

void GlyphTimeLabel::setDigits(const QImage &twelveGlyphs)
{
    m_digits = twelveGlyphs.width() >= GlyphCount && twelveGlyphs.height() >= 1 ? twelveGlyphs : QImage();
    updateGeometry();
    update();
}

QSize GlyphTimeLabel::glyphSize() const
{
    return hasDigits() ? QSize(m_digits.width() / GlyphCount, m_digits.height()) : QSize();
}

void GlyphTimeLabel::setText(const QString &text)
{
    m_text = text;
    // The player writes a count-down as "- 01:23"; percentages and "Center" carry no minus.
    QList<int> glyphs{text.contains(QLatin1Char('-')) ? MinusGlyph : BlankGlyph};
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            glyphs << c.unicode() - '0';
    // A percentage ("100% V") is no time: its digits stand together, without the colon's gap.
    const bool colon = text.contains(QLatin1Char(':'));
    if (glyphs == m_glyphs && colon == m_colon)
        return;
    m_glyphs = glyphs;
    m_colon = colon;
    update();
}

QList<int> GlyphTimeLabel::glyphsShown() const
{
    return m_glyphs;
}

QRect GlyphTimeLabel::cellRect(int index) const
{
    const QSize glyph = glyphSize();
    const int x = index * (glyph.width() + Gap) + (index > 2 && m_colon ? ColonGap : 0);
    return QRect(QPoint(x, 0), glyph);
}

QSize GlyphTimeLabel::sizeHint() const
{
    if (!hasDigits())
        return QSize(63, 13);
    // Room for a time, whatever is shown now.
    const QSize glyph = glyphSize();
    return QSize(4 * (glyph.width() + Gap) + ColonGap + glyph.width(), glyph.height());
}

void GlyphTimeLabel::paintEvent(QPaintEvent *)
{
    if (!hasDigits())
        return;
    QPainter painter(this);
    const QSize glyph = glyphSize();
    for (int i = 0; i < m_glyphs.size(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.left() >= width())
            break;
        painter.drawImage(cell.topLeft(), m_digits, QRect(QPoint(m_glyphs.at(i) * glyph.width(), 0), glyph));
    }
}

void GlyphTimeLabel::mousePressEvent(QMouseEvent *event)
{
    m_click.press(event);
}

void GlyphTimeLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_click.release(event, rect()))
        emit clicked();
}
