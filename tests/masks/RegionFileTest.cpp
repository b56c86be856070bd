#include "masks/RegionFile.h"
#include "tests/TestMain.h"

#include <QTest>

namespace
{

int pixelsIn(const QRegion &region)
{
    int count = 0;
    for (const QRect &rect : region)
        count += rect.width() * rect.height();
    return count;
}

} // namespace

class RegionFileTest : public QObject
{
    Q_OBJECT

private slots:
    void theMainWindowsPolygonsGiveItsOutline()
    {
        // As skins write them: other sections, any case, commas and blanks, a notch cut at the top right.
        const QByteArray text = "[WindowShade]\r\nNumPoints=4\r\nPointList=0,0,275,0,275,14,0,14\r\n"
                                "[normal]\r\nnumpoints = 4, 6\r\n"
                                "POINTLIST = 0,0  100,0 100,116 0,116,   100,0 265,0 265,10 275,10 275,116 "
                                "100,116\r\n; a comment=1\r\n[Equalizer]\r\nNumPoints=3\r\n";
        QString problem;
        const QList<QPolygon> polygons = RegionFile::parse(text, QStringLiteral("Normal"), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(polygons.size(), 2);
        QCOMPARE(polygons[1].size(), 6);
        const QRegion region = RegionFile::region(polygons, QRect(0, 0, 275, 116));
        // Points are corners: the whole window but the 10 x 10 notch.
        QCOMPARE(pixelsIn(region), 275 * 116 - 10 * 10);
        QVERIFY(region.contains(QPoint(0, 0)));
        QVERIFY(region.contains(QPoint(274, 115)));
        QVERIFY(!region.contains(QPoint(270, 5)));
        QVERIFY(region.contains(QPoint(264, 5)));
        // Written and read again, the same outline.
        QCOMPARE(RegionFile::parse(RegionFile::text(polygons)), polygons);
    }

    void nonsenseGivesWhatCanBeRead()
    {
        QString problem;
        // More points counted than listed: the polygons that are whole stay.
        QList<QPolygon> polygons = RegionFile::parse(
            "[Normal]\nNumPoints=3,5\nPointList=0,0,10,0,10,10,4,4\n", QStringLiteral("Normal"), &problem);
        QCOMPARE(polygons.size(), 1);
        QVERIFY(!problem.isEmpty());
        // Coordinates far outside any window are brought to its range; a two-point polygon is no polygon.
        polygons = RegionFile::parse("[Normal]\nNumPoints=2,3\nPointList=1,1,2,2,-99999,5,99999999999999,5,7,"
                                     "-3\n");
        QCOMPARE(polygons.size(), 1);
        QCOMPARE(polygons[0], QPolygon({QPoint(0, 5), QPoint(RegionFile::MaxCoordinate, 5), QPoint(7, 0)}));
        // No section, no counts, garbage: nothing, and a reason.
        for (const QByteArray &text :
             {QByteArray(), QByteArray("\xff\xfe[Normal"), QByteArray("[Normal]\nx=1"),
              QByteArray("[Other]\nNumPoints=3\nPointList=0,0,1,0,1,1")}) {
            problem.clear();
            QVERIFY(RegionFile::parse(text, QStringLiteral("Normal"), &problem).isEmpty());
            QVERIFY(!problem.isEmpty());
        }
        // A count of billions asks for nothing it does not list.
        QVERIFY(RegionFile::parse("[Normal]\nNumPoints=2000000000\nPointList=0,0,5,0,5,5\n").isEmpty());
        // Numbers beyond what an outline holds stop the reading there.
        QByteArray many =
            "[Normal]\nNumPoints=" + QByteArray::number(RegionFile::MaxPoints + 10) + "\nPointList=";
        for (int i = 0; i < RegionFile::MaxPoints + 10; ++i)
            many += "1,2,";
        problem.clear();
        QVERIFY(RegionFile::parse(many, QStringLiteral("Normal"), &problem).isEmpty());
        QVERIFY(!problem.isEmpty());
    }

    void anOutlineFarLargerThanTheWindowCostsNoMoreThanTheWindow()
    {
        // A zigzag of every point an outline may have, as tall as coordinates go: as a region of its own it
        // would hold hundreds of millions of spans; within the window it is the window's rows.
        QByteArray zigzag =
            "[Normal]\nNumPoints=" + QByteArray::number(RegionFile::MaxPoints) + "\nPointList=";
        for (int i = 0; i < RegionFile::MaxPoints / 2; ++i)
            zigzag += QByteArray::number(i % 275) + ",0," + QByteArray::number(i % 275 + 1) + ",16384,";
        const QList<QPolygon> polygons = RegionFile::parse(zigzag);
        QCOMPARE(polygons.size(), 1);
        QCOMPARE(polygons[0].size(), RegionFile::MaxPoints);
        const QRegion region = RegionFile::region(polygons, QRect(0, 0, 275, 116));
        QVERIFY(region.boundingRect().height() <= 116);
        QVERIFY(pixelsIn(region) <= 275 * 116);
        // Bounds elsewhere than the origin keep the window's own coordinates.
        const QList<QPolygon> square = {
            QPolygon({QPoint(10, 10), QPoint(30, 10), QPoint(30, 30), QPoint(10, 30)})};
        QCOMPARE(RegionFile::region(square, QRect(15, 15, 100, 100)), QRegion(15, 15, 15, 15));
    }
};

VORLAN_TEST_CLASS(RegionFileTest)
#include "RegionFileTest.moc"
