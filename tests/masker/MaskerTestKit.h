#pragma once
// Pictures, answered dialogs and a wizard filled through its controls, shared by the masker's tests.
#include "masker/MaskerDialogs.h"
#include "masks/MaskFile.h"

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QStringList>

class QWidget;
class WizardWindow;

namespace maskertest
{

// Dialogs that answer from queues and remember what they were asked; nothing ever waits on a user.
struct Answers {
    QStringList openFiles; // returned in order by the open dialog, then ""
    QStringList saveFiles; // returned in order by the save dialog, then ""
    bool testAfterSave = false;
    QStringList questions; // texts asked
    QStringList messages;  // texts shown
    QStringList warnings;  // texts shown as warnings
    QStringList openDirs;  // start folder of each open dialog
    QStringList openFilters;
    QStringList saveProposals;
};
MaskerDialogs dialogsFor(Answers &answers);

// A 240 x 120 dark background whose corners and a 2 px border are lime (cut away by a lime mask colour).
QImage limeOutlinedBackground();
// `count` frames of width x height side by side, frame i filled with frameColor(i).
QImage frames(int count, int width, int height);
QRgb frameColor(int index);

// Writes back.bmp, thumb.bmp, play.bmp (80 x 24: four 20 px frames), loop.bmp and anim.gif into dir.
void writeImages(const QString &dir);

// Writes the extras' pictures into dir: digits.bmp (12 glyphs 9 x 13), chars.bmp (80 x 36), groove.bmp,
// vbar.bmp (four 68 x 13 frames stacked, frame i filled with frameColor(i)), vthumb.bmp (two 14 x 11
// frames), loopon.bmp (four 16 x 16 frames) and shape.txt, the outline of a 240 x 120 window without its
// lower left corner (the triangle (0,100) (20,120) (0,120)).
void writeExtras(const QString &dir);
QPolygon extrasOutline();

// Fills a wizard through its controls with the images of writeImages(dir); every field gets a value other
// than its preselection.
void fillWizard(WizardWindow &wizard, Answers &answers, const QString &dir);

// Sends a press, moves and a release to a widget, as a user's drag by `by` pixels.
void drag(QWidget *widget, const QPoint &from, const QPoint &by);

} // namespace maskertest
