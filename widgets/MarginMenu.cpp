#include "widgets/MarginMenu.h"

#include "widgets/TFountainFill.h"

#include <QPainter>
#include <QStyleOption>

namespace
{
constexpr int MarginSteps = 40;
}

MarginMenu::MarginMenu(QWidget *parent) : QMenu(parent)
{
    setMarginWidth(m_width);
}

MarginMenu::MarginMenu(const QString &title, QWidget *parent) : QMenu(title, parent)
{
    setMarginWidth(m_width);
}

void MarginMenu::setMarginWidth(int width)
{
    m_width = std::max(0, width);
    // The menu lays its items out inside the contents margins, so the band keeps them clear.
    setContentsMargins(m_width, 0, 0, 0);
    update();
}

void MarginMenu::setMarginColors(const QColor &from, const QColor &to)
{
    m_from = from;
    m_to = to;
    update();
}

void MarginMenu::setMarginText(const QString &text)
{
    m_text = text;
    update();
}

void MarginMenu::setMarginFont(const QFont &font)
{
    m_font = font;
    update();
}

void MarginMenu::setMarginTextColor(const QColor &color)
{
    m_textColor = color;
    update();
}

int MarginMenu::frameWidth() const
{
    QStyleOption opt;
    opt.initFrom(this);
    return style()->pixelMetric(QStyle::PM_MenuPanelWidth, &opt, this);
}

QRect MarginMenu::marginRect() const
{
    const int fw = frameWidth();
    return QRect(fw, fw, m_width, height() - 2 * fw);
}

void MarginMenu::paintMargin(QPainter &painter, const QRect &rect, const QColor &from, const QColor &to,
                             const QString &text, const QFont &font, const QColor &textColor)
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setClipRect(rect);
    TFountainFill::paintFill(painter, rect, from, to, MarginSteps, TFountainFill::fsVertical);
    if (!text.isEmpty()) {
        painter.setFont(font);
        painter.setPen(textColor);
        const QFontMetrics fm(font);
        // Turned a quarter to the left, the text's top faces the band's left edge and it reads upwards.
        painter.translate(rect.left(), rect.bottom() + 1 - TextBottomGap);
        painter.rotate(-90);
        painter.drawText(QPointF(0, fm.ascent()), text);
    }
    painter.restore();
}

void MarginMenu::paintEvent(QPaintEvent *event)
{
    QMenu::paintEvent(event);
    QPainter painter(this);
    paintMargin(painter, marginRect(), m_from, m_to, m_text, m_font, m_textColor);
}
