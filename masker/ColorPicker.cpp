#include "masker/ColorPicker.h"

#include "platform/SystemColors.h"

#include <QPainter>
#include <QPixmap>

ColorPicker::ColorPicker(int32_t value, QWidget *parent) : QToolButton(parent), m_value(value)
{
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setIconSize(QSize(56, 16));
    paintSwatch();
    connect(this, &QToolButton::clicked, this, &ColorPicker::choose);
}

QColor ColorPicker::color() const
{
    return SystemColors::fromValue(m_value);
}

void ColorPicker::setValue(int32_t value)
{
    if (value == m_value)
        return;
    m_value = value;
    paintSwatch();
    emit colorChanged(value);
}

void ColorPicker::choose()
{
    if (!m_chooser)
        return;
    const QColor chosen = m_chooser(this, color());
    if (chosen.isValid())
        setValue(SystemColors::toValue(chosen));
}

void ColorPicker::paintSwatch()
{
    QPixmap swatch(iconSize());
    swatch.fill(color());
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setToolTip(QStringLiteral("%1 (%2)").arg(SystemColors::htmlHex(color())).arg(m_value));
}
