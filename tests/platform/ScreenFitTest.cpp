#include "platform/ScreenFit.h"
#include "tests/TestMain.h"

#include <QTest>

class ScreenFitTest : public QObject
{
    Q_OBJECT

private slots:
    void placesOffEveryScreenMoveOntoTheNearest()
    {
        // Two monitors side by side, the right one lower and smaller.
        const QList<QRect> areas{QRect(0, 0, 1920, 1080), QRect(1920, 200, 1280, 800)};
        // Reachable places stay, even when most of the window hangs off the edge.
        const QRect halfOff(1900, 100, 400, 300);
        QCOMPARE(ScreenFit::ontoNearest(halfOff, areas), halfOff);
        QCOMPARE(ScreenFit::ontoNearest(QRect(-350, 500, 400, 300), areas), QRect(-350, 500, 400, 300));
        // A monitor that was unplugged on the left: onto the left one, as near as it gets.
        QCOMPARE(ScreenFit::ontoNearest(QRect(-99999, 500, 400, 300), areas), QRect(0, 500, 400, 300));
        // Far below the right monitor: onto that one, at its bottom.
        QCOMPARE(ScreenFit::ontoNearest(QRect(3000, 5000, 400, 300), areas), QRect(2800, 700, 400, 300));
        // Only a sliver showing (5 pixels) is not enough to grab it.
        QCOMPARE(ScreenFit::ontoNearest(QRect(1915 - 400, 1075, 400, 300), areas),
                 QRect(1515, 780, 400, 300));
        // Larger than the nearest screen: its top left corner on it.
        QCOMPARE(ScreenFit::ontoNearest(QRect(5000, 300, 2000, 900), areas), QRect(1920, 200, 2000, 900));
        // The extremes of an int do not overflow.
        const QRect extreme(INT_MIN / 2, INT_MAX / 2, 300, 200);
        QVERIFY(ScreenFit::isReachable(ScreenFit::ontoNearest(extreme, areas), areas));
        QCOMPARE(ScreenFit::ontoNearest(extreme, {}), extreme);
    }
};

VORLAN_TEST_CLASS(ScreenFitTest)
#include "ScreenFitTest.moc"
