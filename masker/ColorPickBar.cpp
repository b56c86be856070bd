#include "masker/ColorPickBar.h"

#include "platform/SystemColors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ColorPickBar::ColorPickBar(QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    PickColor = new QPushButton(QStringLiteral("Pick Color"), this);
    PickColor->setCheckable(true);
    // Down while picking, plainly: the mouse over the placement window picks until a click.
    PickColor->setStyleSheet(
        QStringLiteral("QPushButton:checked { background: #2a82da; color: white; font-weight: bold; }"));
    PColor = new QLabel(this);
    PColor->setFixedSize(40, 20);
    PColor->setFrameShape(QFrame::Box);
    PColor->setAutoFillBackground(true);
    auto *hint =
        new QLabel(QStringLiteral("Move over the background to pick a colour, click to keep it, then "
                                  "\"Pick\" puts it in a step."),
                   this);
    hint->setWordWrap(true);
    row->addWidget(PickColor);
    row->addWidget(PColor);
    row->addWidget(hint, 1);
    setPickedColor(Qt::black);
}

void ColorPickBar::setPickedColor(const QColor &color)
{
    m_picked = color;
    QPalette palette = PColor->palette();
    palette.setColor(QPalette::Window, color);
    PColor->setPalette(palette);
    PColor->setToolTip(QStringLiteral("%1").arg(SystemColors::toValue(color)));
}
