#include "masks/FlyOff.h"

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
            // Painting flushes the move to the screen; no events are handled meanwhile, so a signal or a
            // hand-over waits for the event loop, where the program is in a whole state.
            window->repaint();
            QThread::msleep(delayMs);
        }
    }
}
