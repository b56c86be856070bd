#pragma once
// The player's own icon set for the tray and its animation: numbered pictures drawn in code, chosen by the
// settings "Icon1" and "Icon2". Neighbouring numbers share a picture in other colours, so the default pair
// (1 and 2) blinks a note between two colours.
#include <QIcon>
#include <QPixmap>

namespace TrayIcons
{
// Icons are numbered 1..count().
int count();
// A number outside 1..count() gives icon 1.
int valid(int number);
QPixmap pixmap(int number, int size = 32);
QIcon icon(int number);
} // namespace TrayIcons
