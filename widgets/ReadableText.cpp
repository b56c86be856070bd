#include "widgets/ReadableText.h"

#include <QtGlobal>

QColor ReadableText::on(const QColor &background)
{
    return isLight(background) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor ReadableText::on(const QColor &background, const QColor &wanted)
{
    if (qAbs(qGray(wanted.rgb()) - qGray(background.rgb())) >= MinContrast)
        return wanted;
    return on(background);
}
