#pragma once
// The gradient that fills the player's small list windows (statistics, add files) and drags them: it runs
// from the user's first colour down to a dark end of its own, so their white texts stay readable.
#include <QColor>

class QWidget;
class TFountainFill;

class WindowBackground
{
public:
    // The first colour the windows show until the user's colours are applied.
    static const QColor DefaultColor;
    // The gradient's own dark end.
    static const QColor DarkEnd;

    // Fills the window, which must not have a layout yet, and makes the window draggable by it.
    static TFountainFill *install(QWidget *window);
    static void setColor(TFountainFill *background, const QColor &from);
};
