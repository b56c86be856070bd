#pragma once
// A window leaving the screen: moved a number of times by a fixed distance in one random direction of four.
#include <QPoint>
#include <functional>

class QWidget;

struct FlyOff {
    enum Direction { Left, Right, Up, Down };

    static Direction randomDirection();
    // The offset of one move in a direction.
    static QPoint stepOffset(Direction direction, int horizontal, int vertical);
    // Moves `window` `moves` times, pausing `delayMs` between moves while events go on. The window ends where
    // the last move put it; the caller puts it back.
    static void run(QWidget *window, Direction direction, int moves, int horizontal, int vertical,
                    int delayMs);
};
