#include "masks/FlyOff.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <QWidget>

FlyOff::Direction FlyOff::randomDirection()
{
    return Direction(QRandomGenerator::global()->bounded(4));
}

QPoint FlyOff::stepOffset(Direction direction, int horizontal, int vertical)
{
    switch (direction) {
    case Left:
        return {-horizontal, 0};
    case Right:
        return {horizontal, 0};
    case Up:
        return {0, -vertical};
    case Down:
        return {0, vertical};
    }
    return {};
}

void FlyOff::run(QWidget *window, Direction direction, int moves, int horizontal, int vertical, int delayMs)
{
    const QPoint step = stepOffset(direction, horizontal, vertical);
    for (int i = 0; i < moves; ++i) {
        window->move(window->pos() + step);
        if (delayMs > 0) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QThread::msleep(delayMs);
        }
    }
}
