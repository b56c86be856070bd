// The skin's controls paint only when what they show changes, and an animation nobody sees waits.
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/GifAnimator.h"
#include "widgets/KnobBar.h"
#include "widgets/ThumbSlider.h"

#include <QEvent>
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
        PaintCounter timePaints, sliderPaints, knobPaints;
        time->installEventFilter(&timePaints);
        slider->installEventFilter(&sliderPaints);
        knob->installEventFilter(&knobPaints);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(timePaints.count > 0 && sliderPaints.count > 0 && knobPaints.count > 0);
        QCoreApplication::processEvents();
        timePaints.count = sliderPaints.count = knobPaints.count = 0;

        // The same time again, a position that leaves the thumb on its pixel, the same colours: nothing to
        // paint.
        time->setText(QStringLiteral("[00:01]"));
        time->setTextColor(time->textColor());
        slider->setValue(10);
        knob->setColors(knob->restColor(), knob->pressColor());
        QTest::qWait(50);
        QCOMPARE(timePaints.count, 0);
        QCOMPARE(sliderPaints.count, 0);
        QCOMPARE(knobPaints.count, 0);
        QCOMPARE(slider->value(), 10);

        // A new second and a thumb that moves are painted.
        time->setText(QStringLiteral("[00:02]"));
        slider->setValue(5000);
        QTRY_VERIFY(timePaints.count > 0);
        QTRY_VERIFY(sliderPaints.count > 0);
        QCOMPARE(time->text(), QStringLiteral("[00:02]"));
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
