// The skin's controls paint only when what they show changes, and an animation nobody sees waits.
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/KnobBar.h"
#include "widgets/ThumbSlider.h"

#include <QEvent>
#include <QScreen>
#include <QTest>

namespace
{

class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class RepaintTest : public QObject
{
    Q_OBJECT

private slots:
    void unchangedValuesAreNotPaintedAgain()
    {
        QWidget window;
        window.resize(320, 80);
        auto *time = new AngleLabel(QStringLiteral("[00:01]"), &window);
        time->setGeometry(0, 0, 100, 30);
        auto *slider = new ThumbSlider(&window);
        slider->setGeometry(0, 40, 150, 16);
        slider->setRange(0, 10000);
        auto *knob = new KnobBar(KnobBar::Volume, &window);
        knob->move(160, 0);
        // Level meters 46 pixels tall for 0..180: about four units a pixel.
        auto *meter = new Gauge(Gauge::VerticalBar, &window);
        meter->setGeometry(240, 0, 8, 46);
        meter->setBorderColor(Qt::gray);
        meter->setRange(0, 180);
        auto *blocks = new BlockGauge(&window);
        blocks->setGeometry(260, 0, 8, 46);
        blocks->setRange(0, 180);
        PaintCounter timePaints, sliderPaints, knobPaints, meterPaints, blockPaints;
        time->installEventFilter(&timePaints);
        slider->installEventFilter(&sliderPaints);
        knob->installEventFilter(&knobPaints);
        meter->installEventFilter(&meterPaints);
        blocks->installEventFilter(&blockPaints);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(timePaints.count > 0 && sliderPaints.count > 0 && knobPaints.count > 0 &&
                    meterPaints.count > 0 && blockPaints.count > 0);
        QCoreApplication::processEvents();
        timePaints.count = sliderPaints.count = knobPaints.count = meterPaints.count = blockPaints.count = 0;

        // The same time again, a position that leaves the thumb on its pixel, the same colours, levels that
        // fill the same pixels and light the same blocks: nothing to paint.
        time->setText(QStringLiteral("[00:01]"));
        time->setTextColor(time->textColor());
        slider->setValue(10);
        knob->setColors(knob->restColor(), knob->pressColor());
        meter->setProgress(2);
        blocks->setProgress(2);
        QTest::qWait(50);
        QCOMPARE(timePaints.count, 0);
        QCOMPARE(sliderPaints.count, 0);
        QCOMPARE(knobPaints.count, 0);
        QCOMPARE(meterPaints.count, 0);
        QCOMPARE(blockPaints.count, 0);
        QCOMPARE(slider->value(), 10);
        QCOMPARE(meter->Progress(), 2);
        QCOMPARE(blocks->Progress(), 2);

        // A new second, a thumb that moves and levels that reach further are painted, and the meter shows
        // the new level.
        time->setText(QStringLiteral("[00:02]"));
        slider->setValue(5000);
        meter->setProgress(90);
        blocks->setProgress(90);
        QTRY_VERIFY(timePaints.count > 0);
        QTRY_VERIFY(sliderPaints.count > 0);
        QTRY_VERIFY(meterPaints.count > 0);
        QTRY_VERIFY(blockPaints.count > 0);
        QCOMPARE(time->text(), QStringLiteral("[00:02]"));
        const QImage shown = meter->grab().toImage();
        QCOMPARE(shown.pixelColor(4, 44), meter->ForeColor());
        QCOMPARE(shown.pixelColor(4, 2), meter->BackColor());
        QCOMPARE(meter->filledLength(44), 22);
    }

    void anOpaqueFrameHidesWhatIsBeneathAndASeeThroughOneShowsIt()
    {
        QWidget window;
        window.resize(40, 20);
        auto *beneath = new QWidget(&window);
        beneath->setGeometry(window.rect());
        beneath->setAutoFillBackground(true);
        QPalette blue = beneath->palette();
        blue.setColor(QPalette::Window, Qt::blue);
        beneath->setPalette(blue);
        auto *gif = new GifAnimator(&window);
        gif->setGeometry(0, 0, 16, 16);
        QVERIFY(gif->setFile(QStringLiteral(VORLAN_FIXTURES "/see-through.gif")));
        PaintCounter beneathPaints, gifPaints;
        beneath->installEventFilter(&beneathPaints);
        gif->installEventFilter(&gifPaints);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Each frame as the user sees it when it is painted again on its own.
        QImage seen;
        auto showFrame = [&](int frame) {
            gif->setAnimating(true);
            QTRY_COMPARE(gif->currentFrameNumber(), frame);
            gif->setAnimating(false);
            QCoreApplication::processEvents();
            beneathPaints.count = gifPaints.count = 0;
            gif->update();
            QTRY_VERIFY(gifPaints.count > 0);
            seen = window.screen()->grabWindow(window.winId()).toImage();
        };
        // All red: nothing beneath is painted for it.
        showFrame(1);
        QVERIFY(!seen.isNull());
        QCOMPARE(beneathPaints.count, 0);
        QCOMPARE(seen.pixelColor(12, 4), QColor(Qt::red));
        QCOMPARE(seen.pixelColor(24, 4), QColor(Qt::blue));
        // Half see-through: what lies beneath shows through, not the red frame before it.
        showFrame(0);
        QVERIFY(beneathPaints.count > 0);
        QCOMPARE(seen.pixelColor(2, 4), QColor(Qt::green));
        QCOMPARE(seen.pixelColor(12, 4), QColor(Qt::blue));
        showFrame(1);
        QCOMPARE(gif->currentFrameNumber(), 1);
        QCOMPARE(seen.pixelColor(12, 4), QColor(Qt::red));
    }

    void animationWaitsWhileNotSeen()
    {
        QWidget window;
        window.resize(40, 40);
        auto *gif = new GifAnimator(&window);
        gif->resize(16, 16);
        QVERIFY(gif->setFile(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif")));
        gif->setAnimating(true);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(gif->isRunning());

        // Its window minimised or hidden, the picture stays on its frame; back, it moves on again.
        gif->setOutOfSight(true);
        QVERIFY(!gif->isRunning());
        const int frame = gif->currentFrameNumber();
        QTest::qWait(200);
        QCOMPARE(gif->currentFrameNumber(), frame);
        gif->setOutOfSight(false);
        QVERIFY(gif->isRunning());
        window.hide();
        QVERIFY(!gif->isRunning());
        window.show();
        QVERIFY(gif->isRunning());
        QTRY_VERIFY(gif->currentFrameNumber() != frame);
        QVERIFY(gif->isAnimating());
    }
};

VORLAN_TEST_CLASS(RepaintTest)
#include "RepaintTest.moc"
