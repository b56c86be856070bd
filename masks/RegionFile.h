#pragma once
// A window outline as polygons, in the text form classic skins ship as "region.txt" and masks name with
// "Shape": sections in square brackets ("[Normal]" is the main window), "NumPoints=" the number of points of
// each polygon, and "PointList=" every point as x,y pairs, numbers split by commas or spaces. Points lie on
// the pixel grid's corners: "0,0, 275,0, 275,116, 0,116" is the whole of a 275 x 116 window.
#include <QByteArray>
#include <QList>
#include <QPolygon>
#include <QRegion>
#include <QString>

class RegionFile
{
public:
    // What a file of outlines may hold; more is nonsense, and what lies beyond is not read.
    static constexpr qint64 MaxBytes = 256 * 1024;
    static constexpr int MaxPolygons = 1024;
    static constexpr int MaxPoints = 32768;
    static constexpr int MaxCoordinate = 16384;

    // The polygons of `section` (matched without case) in region text. Polygons of fewer than three points
    // are dropped, coordinates are kept within 0..MaxCoordinate, and counts beyond the points listed end the
    // list. `problem`, when given, says what was wrong with the text (empty when nothing was).
    static QList<QPolygon> parse(const QByteArray &text, const QString &section = QStringLiteral("Normal"),
                                 QString *problem = nullptr);
    // The same from a file: only a regular file up to MaxBytes. Empty when it cannot be read.
    static QList<QPolygon> read(const QString &path, const QString &section = QStringLiteral("Normal"),
                                QString *problem = nullptr);
    // The polygons as region text of one section, CR LF line ends.
    static QByteArray text(const QList<QPolygon> &polygons,
                           const QString &section = QStringLiteral("Normal"));

    // The area the polygons cover (even-odd rule within each, united), clipped to `bounds`.
    static QRegion region(const QList<QPolygon> &polygons, const QRect &bounds);
};
