#include "widgets/WindowBackground.h"

#include "widgets/TFountainFill.h"
#include "widgets/WindowDragger.h"

#include <QVBoxLayout>

const QColor WindowBackground::DefaultColor = QColor(0x00, 0x80, 0xC0);
const QColor WindowBackground::DarkEnd = QColor(0x00, 0x20, 0x40);

TFountainFill *WindowBackground::install(QWidget *window)
{
    auto *outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *background = new TFountainFill(window);
    background->setObjectName(QStringLiteral("FountainFill1"));
    background->setStyle(TFountainFill::fsVertical);
    background->setSteps(60);
    outer->addWidget(background);
    auto *dragger = new WindowDragger(window);
    dragger->attach(background);
    return background;
}

void WindowBackground::setColor(TFountainFill *background, const QColor &from)
{
    background->setColors(from, DarkEnd);
}
