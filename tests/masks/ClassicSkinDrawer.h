#pragma once
// Draws a whole classic skin in the classic layout: every sprite sheet, frame and text cell in a colour of
// its own (color()), so a test can tell by one pixel which frame of which sheet landed where. Written as a
// ".wsz" (through libzip) or as a folder, with or without any of its files, and with files added.
#include "masks/ClassicSkin.h"

#include <QByteArray>
#include <QList>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <utility>

// What the drawer draws (outside the class, so its defaults can serve as a default argument).
struct ClassicSkinOptions {
    using Entries = QList<std::pair<QString, QByteArray>>; // name (a path in a zip) -> bytes

    QString name = QStringLiteral("Drawn"); // the ".wsz"'s or folder's name, without extension
    int scheme = 0;                         // shifts every colour, so two drawn skins differ
    bool region = true;                     // region.txt with region()
    bool numsEx = true;                     // nums_ex.bmp (with blank and minus), else numbers.bmp
    bool visColor = true;                   // viscolor.txt
    QStringList missing;                    // file names left out ("cbuttons.bmp")
    Entries extra;                          // files added (or put in place of a drawn one of that name)
    QString subfolder;                      // in a zip, the folder the files lie in ("" for none)
};

class ClassicSkinDrawer
{
public:
    using Entries = ClassicSkinOptions::Entries;
    using Options = ClassicSkinOptions;

    // The colour of a sheet's frame. Frames: main 0 the face, 1 + n the spot of control button n; titlebar
    // 0 the active bar, 1 the rest; cbuttons n normal, 6 + n pressed; posbar 0 groove, 1 thumb, 2 pressed;
    // volume and balance 0-27 the frames, 28 the thumb, 29 pressed, 40 what lies beside balance's frames;
    // numbers and nums_ex the glyph's index; text row * 31 + column; shufrep the row (repeat) or 4 + row
    // (shuffle).
    static QRgb color(ClassicSkin::Sprite sprite, int frame, int scheme = 0);
    static QColor visColor(int index, int scheme = 0);
    // The outline written as region.txt: the window with its top-left corner cut off.
    static QList<QPolygon> region();

    static QImage sheet(ClassicSkin::Sprite sprite, int scheme = 0);
    static QByteArray bitmap(const QImage &image);
    static Entries files(const Options &options);
    // Writes "<dir>/<name>.wsz" or the folder "<dir>/<name>"; returns its path (empty when it failed).
    static QString writeWsz(const QString &dir, const Options &options = Options());
    static QString writeFolder(const QString &dir, const Options &options = Options());
    // A zip of exactly these entries, compressed; names are stored as given (also "../x" or "/tmp/x").
    static bool writeZip(const QString &path, const Entries &entries);
};
