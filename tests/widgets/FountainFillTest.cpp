#include "tests/TestMain.h"
#include "widgets/TFountainFill.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace
{
using Band = TFountainFill::Band;

// Every pixel of the strip belongs to exactly one band, in order.
void checkContiguous(const std::vector<Band> &bands, int size)
{
    QVERIFY(!bands.empty());
    QCOMPARE(bands.front().from, 0);
    QCOMPARE(bands.back().to, size);
    for (size_t i = 1; i < bands.size(); ++i)
        QCOMPARE(bands[i].from, bands[i - 1].to);
}
} // namespace

class FountainFillTest : public QObject
{
    Q_OBJECT

private slots:
    void mulDivRoundsHalvesAwayFromZero_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("expected");
        QTest::newRow("exact") << 6 << 4 << 3 << 8;
        QTest::newRow("two thirds up") << 1 << 2 << 3 << 1;
        QTest::newRow("one third down") << 1 << 1 << 3 << 0;
        QTest::newRow("half up") << 1 << 1 << 2 << 1;
        QTest::newRow("negative half away from zero") << -1 << 1 << 2 << -1;
        QTest::newRow("negative product") << 5 << -3 << 2 << -8;
        QTest::newRow("two negatives") << -3 << -3 << 2 << 5;
        QTest::newRow("negative divisor") << 7 << 1 << -2 << -4;
        QTest::newRow("all negative") << -7 << -1 << -2 << -4;
        QTest::newRow("colour step") << 20 << -255 << 39 << -131;
        QTest::newRow("product beyond 32 bits") << 2000000000 << 3 << 4 << 1500000000;
        QTest::newRow("zero divisor") << 7 << 3 << 0 << -1;
        QTest::newRow("result beyond 32 bits") << 2000000000 << 4 << 2 << -1;
    }
    void mulDivRoundsHalvesAwayFromZero()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(int, expected);
        QCOMPARE(TFountainFill::MulDiv(a, b, c), expected);
    }

    void fortyBandsOfEqualWidth()
    {
        const auto bands = TFountainFill::bands(Qt::white, Qt::black, 40, 80);
        QCOMPARE(bands.size(), size_t(40));
        checkContiguous(bands, 80);
        for (int i = 0; i < 40; ++i) {
            QCOMPARE(bands[i].from, 2 * i);
            QCOMPARE(bands[i].to, 2 * i + 2);
        }
        // White to black over 39 steps: each component falls by 255/39, rounded per band.
        QCOMPARE(bands[0].color, qRgb(255, 255, 255));
        QCOMPARE(bands[1].color, qRgb(248, 248, 248));
        QCOMPARE(bands[20].color, qRgb(124, 124, 124));
        QCOMPARE(bands[39].color, qRgb(0, 0, 0));
    }

    void fiftyBandsOverAnUnevenLength()
    {
        const QColor from(0x00, 0x80, 0xC0);
        const QColor to(0xFF, 0xFF, 0xFF);
        const auto bands = TFountainFill::bands(from, to, 50, 801);
        QCOMPARE(bands.size(), size_t(50));
        checkContiguous(bands, 801);
        for (const Band &b : bands)
            QVERIFY2(b.to - b.from == 16 || b.to - b.from == 17, qPrintable(QString::number(b.to - b.from)));
        // Band 25 of 0x80 -> 0xFF: 128 + MulDiv(25, 127, 49) = 128 + 65.
        QCOMPARE(bands[25].from, 401);
        QCOMPARE(bands[25].color, qRgb(0 + 130, 128 + 65, 192 + 32));
        QCOMPARE(bands.front().color, from.rgb());
        QCOMPARE(bands.back().color, to.rgb());
    }

    void colourRisesAndFallsPerComponent()
    {
        // Red rises while blue falls: each component goes its own way.
        const auto bands = TFountainFill::bands(QColor(0, 100, 255), QColor(255, 100, 0), 3, 30);
        QCOMPARE(bands.size(), size_t(3));
        QCOMPARE(bands[1].color, qRgb(128, 100, 127));
    }

    void stepsAreClamped()
    {
        QCOMPARE(TFountainFill::bands(Qt::white, Qt::black, 0, 100).size(), size_t(1));
        QCOMPARE(TFountainFill::bands(Qt::white, Qt::black, -5, 100).size(), size_t(1));
        const auto many = TFountainFill::bands(Qt::white, Qt::black, 1000, 1000);
        QCOMPARE(many.size(), size_t(255));
        checkContiguous(many, 1000);
        QCOMPARE(many.back().color, qRgb(0, 0, 0));

        TFountainFill fill;
        fill.setSteps(0);
        QCOMPARE(fill.Steps(), 1);
        fill.setSteps(256);
        QCOMPARE(fill.Steps(), 255);
        fill.setSteps(50);
        QCOMPARE(fill.Steps(), 50);
    }

    void oneColourWhenColoursAreEqualOrOneBand()
    {
        const auto equal = TFountainFill::bands(QColor(10, 20, 30), QColor(10, 20, 30), 40, 200);
        QCOMPARE(equal.size(), size_t(1));
        QCOMPARE(equal[0], (Band{0, 200, qRgb(10, 20, 30)}));
        const auto one = TFountainFill::bands(QColor(10, 20, 30), Qt::white, 1, 200);
        QCOMPARE(one.size(), size_t(1));
        QCOMPARE(one[0], (Band{0, 200, qRgb(10, 20, 30)}));
    }

    void moreBandsThanPixelsLeaveEmptyBands()
    {
        const auto bands = TFountainFill::bands(Qt::white, Qt::black, 40, 10);
        QCOMPARE(bands.size(), size_t(40));
        checkContiguous(bands, 10);
        const auto none = TFountainFill::bands(Qt::white, Qt::black, 40, 0);
        checkContiguous(none, 0);
    }

    void paintsTheBandsInItsDirection()
    {
        TFountainFill fill;
        fill.resize(80, 40);
        fill.setColors(Qt::white, Qt::black);
        fill.setSteps(40);
        fill.setStyle(TFountainFill::fsHorizontal);
        QImage image = fill.grab().toImage();
        QCOMPARE(image.pixel(0, 20), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(3, 39), qRgb(248, 248, 248));
        QCOMPARE(image.pixel(79, 0), qRgb(0, 0, 0));

        fill.setStyle(TFountainFill::fsVertical);
        image = fill.grab().toImage();
        QCOMPARE(image.pixel(79, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(0, 39), qRgb(0, 0, 0));

        fill.resize(81, 81);
        fill.setStyle(TFountainFill::fsCircular);
        image = fill.grab().toImage();
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(qRed(image.pixel(40, 40)) < 20);
        // Rings: the same distance from the centre gives the same colour, give or take one band's edge.
        QVERIFY(qAbs(qRed(image.pixel(40, 10)) - qRed(image.pixel(10, 40))) <= 7);
        QVERIFY(qAbs(qRed(image.pixel(40, 10)) - qRed(image.pixel(40, 70))) <= 7);
        QVERIFY(qRed(image.pixel(40, 10)) < qRed(image.pixel(40, 2)));
    }

    void reportsDoubleClicksAndDrags()
    {
        TFountainFill fill;
        fill.resize(80, 200);
        QSignalSpy doubleClicks(&fill, &TFountainFill::doubleClicked);
        QSignalSpy presses(&fill, &TFountainFill::mousePressed);
        QSignalSpy drags(&fill, &TFountainFill::mouseDragged);

        QTest::mouseDClick(&fill, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(doubleClicks.count(), 1);

        presses.clear();
        QTest::mousePress(&fill, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(presses.count(), 1);
        QCOMPARE(presses.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
        QMouseEvent moveHeld(QEvent::MouseMove, QPointF(20, 30), QPointF(120, 130), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&fill, &moveHeld);
        QCOMPARE(drags.count(), 1);
        QCOMPARE(drags.at(0).at(1).toPoint(), QPoint(120, 130));
        QTest::mouseRelease(&fill, Qt::LeftButton, {}, QPoint(20, 30));

        // A plain move is no drag.
        QMouseEvent moveFree(QEvent::MouseMove, QPointF(25, 35), QPointF(125, 135), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&fill, &moveFree);
        QCOMPARE(drags.count(), 1);
    }
};

VORLAN_TEST_CLASS(FountainFillTest)
#include "FountainFillTest.moc"
