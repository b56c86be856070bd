#pragma once
// A classic skin's sprite sheets decoded, its outline and its meter colours: what the importer places into a
// mask. A sheet that is missing, damaged, cut short or absurdly large is a null image, and notes says so.
#include <QColor>
#include <QImage>
#include <QList>
#include <QPolygon>
#include <QSize>
#include <QStringList>
#include <array>

class ClassicArchive;

class ClassicSkin
{
public:
    // Classic sheets are a few hundred pixels; a larger picture is refused before it is decoded.
    static constexpr QSize MaxPictureSize{2048, 2048};

    enum Sprite {
        Main,
        TitleBar,
        ControlButtons,
        PosBar,
        Volume,
        Balance,
        Numbers,
        NumsEx,
        Text,
        ShufRep,
        SpriteCount
    };
    // The sheet's base name without extension ("cbuttons").
    static QString spriteName(Sprite sprite);

    // Every sheet as RGB32, or null.
    std::array<QImage, SpriteCount> sprites;
    // The [Normal] outline of region.txt; empty: the window is the rectangle.
    QList<QPolygon> region;
    // viscolor.txt's colours in order (24 in a whole file).
    QList<QColor> visColors;
    // Why main could not be read when it is there (empty when it is simply missing or was read).
    QString mainProblem;
    // One line for each part of the skin that is missing, could not be read, or has no place in a mask.
    QStringList notes;

    const QImage &sprite(Sprite s) const { return sprites[s]; }
    bool has(Sprite s) const { return !sprites[s].isNull(); }

    static ClassicSkin read(ClassicArchive &archive);
};
