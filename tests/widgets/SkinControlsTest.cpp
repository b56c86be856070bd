// What the skinned window's controls look like in their states.
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/FlashLabel.h"
#include "widgets/Gauge.h"
#include "widgets/GlyphButton.h"
#include "widgets/ThumbSlider.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace
{
const QRgb Magenta = qRgb(255, 0, 255);

// A picture of `count` frames of `frameSize`, each filled with one of `colors`.
QImage framesOf(QSize frameSize, const QList<QColor> &colors)
{
    QImage image(frameSize.width() * colors.size(), frameSize.height(), QImage::Format_ARGB32);
    QPainter painter(&image);
    for (int i = 0; i < colors.size(); ++i)
        painter.fillRect(QRect(QPoint(i * frameSize.width(), 0), frameSize), colors.at(i));
    return image;
}

// The widget painted over a magenta backdrop without its own background: what it leaves alone stays magenta.
QImage over(QWidget &widget, QRgb backdrop = Magenta)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(backdrop);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return qAbs(qRed(a) - qRed(b)) < tolerance && qAbs(qGreen(a) - qGreen(b)) < tolerance &&
           qAbs(qBlue(a) - qBlue(b)) < tolerance;
}

// The bounding box of the pixels close to `color`.
QRect extentOf(const QImage &image, QRgb color)
{
    QRect extent;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (near(image.pixel(x, y), color))
                extent |= QRect(x, y, 1, 1);
    return extent;
}

// Every pixel of the image is `color`.
bool allOf(const QImage &image, QRgb color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != color)
                return false;
    return true;
}

void hover(QWidget &widget, bool in)
{
    if (in) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(&widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&widget, &leave);
    }
}
} // namespace

class SkinControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void glyphButtonShowsTheFrameOfItsState()
    {
        GlyphButton button;
        button.setGlyph(framesOf(QSize(10, 8), {Qt::red, Qt::green, Qt::blue, Qt::yellow}));
        QCOMPARE(button.frameSize(), QSize(10, 8));
        button.resize(20, 16); // frames are scaled to the button
        QSignalSpy clicks(&button, &GlyphButton::clicked);

        QCOMPARE(button.frameShown(), 0);
        QVERIFY(allOf(over(button), qRgb(255, 0, 0)));
        hover(button, true);
        QCOMPARE(button.frameShown(), 1);
        QVERIFY(allOf(over(button), qRgb(0, 255, 0)));
        button.setDown(true);
        QCOMPARE(button.frameShown(), 2);
        QVERIFY(allOf(over(button), qRgb(0, 0, 255)));
        button.setDown(false);
        hover(button, false);
        QVERIFY(allOf(over(button), qRgb(255, 0, 0)));
        button.setEnabled(false);
        QCOMPARE(button.frameShown(), 3);
        QVERIFY(allOf(over(button), qRgb(255, 255, 0)));
        button.setEnabled(true);

        // A loop or random button that is on stays pressed, with the mouse away.
        button.setCheckable(true);
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(button.isChecked());
        hover(button, false);
        QCOMPARE(button.frameShown(), 2);
        QVERIFY(allOf(over(button), qRgb(0, 0, 255)));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(button.frameShown(), 0);
        QCOMPARE(clicks.count(), 2);

        // Without a picture nothing is painted, yet the button still answers where it lies.
        button.setCheckable(false);
        button.clearGlyph();
        QVERIFY(!button.hasGlyph());
        QCOMPARE(button.frameShown(), -1);
        QVERIFY(allOf(over(button), Magenta));
        button.setDown(true);
        QVERIFY(allOf(over(button), Magenta));
        button.setDown(false);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(19, 15));
        QCOMPARE(clicks.count(), 3);
    }

    void thumbSliderShowsThePressedFrameWhilePressed()
    {
        ThumbSlider slider;
        QCOMPARE(slider.minimum(), 0);
        QCOMPARE(slider.maximum(), 400);
        slider.setBackColor(Qt::black);
        slider.setThumbImage(framesOf(QSize(6, 10), {Qt::red, Qt::blue}));
        slider.resize(106, 14);

        QImage image = slider.grab().toImage();
        QCOMPARE(image.pixel(3, 7), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(100, 1), qRgb(0, 0, 0)); // the back colour fills the slider
        QVERIFY(image.pixel(50, 6) != qRgb(0, 0, 0)); // the groove along the middle

        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(3, 7));
        QVERIFY(slider.isThumbPressed());
        QCOMPARE(slider.grab().toImage().pixel(3, 7), qRgb(0, 0, 255));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(3, 7));
        QVERIFY(!slider.isThumbPressed());
        QCOMPARE(slider.grab().toImage().pixel(3, 7), qRgb(255, 0, 0));

        // The thumb follows the value; disabled, it cannot be pressed.
        slider.setValue(400);
        image = slider.grab().toImage();
        QCOMPARE(image.pixel(102, 7), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(3, 1), qRgb(0, 0, 0));
        slider.setEnabled(false);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(102, 7));
        QVERIFY(!slider.isThumbPressed());
        QCOMPARE(slider.grab().toImage().pixel(102, 7), qRgb(255, 0, 0));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(102, 7));

        // Without a picture a plain thumb is drawn.
        slider.setEnabled(true);
        slider.setThumbImage(QImage());
        slider.setValue(0);
        image = slider.grab().toImage();
        QVERIFY(image.pixel(3, 2) != qRgb(0, 0, 0));
        QCOMPARE(image.pixel(60, 1), qRgb(0, 0, 0));
    }

    void pieAndNeedleGaugesShowTheValue()
    {
        Gauge pie(Gauge::Pie);
        pie.setForeColor(Qt::green);
        pie.setBackColor(Qt::black);
        pie.resize(41, 41);
        pie.setProgress(25); // a quarter: 12 to 3 o'clock
        QImage image = pie.grab().toImage();
        QCOMPARE(image.pixel(28, 12), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(28, 28), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(12, 12), qRgb(0, 0, 0));
        pie.setProgress(75); // three quarters: all but the upper left
        image = pie.grab().toImage();
        QCOMPARE(image.pixel(28, 28), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(12, 28), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(12, 12), qRgb(0, 0, 0));
        pie.setProgress(0);
        image = pie.grab().toImage();
        QCOMPARE(image.pixel(28, 12), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));

        Gauge needle(Gauge::Needle);
        needle.setForeColor(Qt::green);
        needle.setBackColor(Qt::black);
        needle.setRange(0, 180);
        needle.resize(61, 31);
        needle.setProgress(0); // lies to the left
        image = needle.grab().toImage();
        QVERIFY(near(image.pixel(15, 30), qRgb(0, 255, 0)));
        QCOMPARE(image.pixel(30, 12), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(45, 30), qRgb(0, 0, 0));
        needle.setProgress(90); // stands up
        image = needle.grab().toImage();
        QVERIFY(near(image.pixel(30, 12), qRgb(0, 255, 0)));
        QCOMPARE(image.pixel(15, 30), qRgb(0, 0, 0));
        needle.setProgress(180); // lies to the right
        image = needle.grab().toImage();
        QVERIFY(near(image.pixel(45, 30), qRgb(0, 255, 0)));
        QCOMPARE(image.pixel(30, 12), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(15, 30), qRgb(0, 0, 0));
    }

    void blockGaugeColoursByLevel()
    {
        BlockGauge gauge; // 0..180, blocks of 3 with a gap of 1, low 30, high 150
        gauge.resize(6, 120);
        QCOMPARE(gauge.blockCount(), 30); // 6 units a block
        const QRgb lime = qRgb(0, 255, 0), red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
        const QRgb between = gauge.barColor().rgb();
        const auto blockRow = [](int block) { return 119 - block * 4; }; // lowest row of a block

        gauge.setProgress(180);
        QCOMPARE(gauge.filledBlocks(), 30);
        QImage image = gauge.grab().toImage();
        QCOMPARE(image.pixel(2, blockRow(0)), lime);
        QCOMPARE(image.pixel(2, blockRow(0) - 2), lime);
        QCOMPARE(image.pixel(2, blockRow(0) - 3), black); // the gap
        QCOMPARE(image.pixel(2, blockRow(4)), lime);      // 24..29: below low
        QCOMPARE(image.pixel(2, blockRow(5)), between);   // 30..
        QCOMPARE(image.pixel(2, blockRow(24)), between);  // ..149
        QCOMPARE(image.pixel(2, blockRow(25)), red);      // 150..
        QCOMPARE(image.pixel(5, blockRow(29)), red);

        gauge.setProgress(90); // half
        QCOMPARE(gauge.filledBlocks(), 15);
        image = gauge.grab().toImage();
        QCOMPARE(image.pixel(2, blockRow(14)), between);
        QCOMPARE(image.pixel(2, blockRow(15)), black);
        QCOMPARE(image.pixel(2, blockRow(29)), black);

        gauge.setControlColor(Qt::darkBlue);
        gauge.setLowColor(Qt::white);
        gauge.setProgress(0);
        image = gauge.grab().toImage();
        QCOMPARE(image.pixel(2, blockRow(0)), QColor(Qt::darkBlue).rgb());
        gauge.setProgress(10);
        QCOMPARE(gauge.grab().toImage().pixel(2, blockRow(0)), qRgb(255, 255, 255));
    }

    void angleLabelTurnsItsTextAndCastsAShadow()
    {
        AngleLabel label(QStringLiteral("[00:00]"));
        label.setPointSize(14);
        label.setTextColor(Qt::white);
        label.setShadowColor(Qt::red);
        label.resize(120, 120);
        const QRgb white = qRgb(255, 255, 255), red = qRgb(255, 0, 0);

        QImage image = over(label, qRgb(0, 0, 0));
        const QRect flat = extentOf(image, white);
        QVERIFY(flat.width() > 2 * flat.height());
        QVERIFY(extentOf(image, red).isEmpty()); // shadow size 0: none
        QVERIFY(qAbs(flat.center().x() - 60) <= 3);

        label.setAngle(90);
        image = over(label, qRgb(0, 0, 0));
        const QRect upright = extentOf(image, white);
        QVERIFY2(upright.height() > 2 * upright.width(),
                 qPrintable(QStringLiteral("%1x%2").arg(upright.width()).arg(upright.height())));
        QVERIFY(qAbs(upright.center().y() - 60) <= 3);

        label.setAngle(0);
        label.setShadowSize(1);
        label.setShadowDepth(3);
        image = over(label, qRgb(0, 0, 0));
        const QRect shadow = extentOf(image, red);
        QVERIFY(!shadow.isEmpty());
        QVERIFY(shadow.bottom() > flat.bottom());
        QVERIFY(shadow.right() > flat.right());
        // The label's background is the skin's.
        QCOMPARE(over(label, Magenta).pixel(0, 0), Magenta);
        // A new text shows at once, however the label keeps its picture between paints.
        label.setText(QStringLiteral("[00:00:00]"));
        QVERIFY(extentOf(over(label, qRgb(0, 0, 0)), white).width() > flat.width() + 10);

        QSignalSpy clicks(&label, &AngleLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton);
        QTest::mouseClick(&label, Qt::RightButton);
        QCOMPARE(clicks.count(), 1);
    }

    void flashLabelLightsUp()
    {
        FlashLabel label(QStringLiteral("E"));
        label.setColors(QColor(255, 255, 0), QColor(0, 0, 160));
        label.resize(12, 14);
        const QRgb lit = qRgb(255, 255, 0), unlit = qRgb(0, 0, 160);

        QImage image = over(label, qRgb(0, 0, 0));
        QVERIFY(extentOf(image, lit).isEmpty());
        QVERIFY(!extentOf(image, unlit).isEmpty());
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0)); // nothing but the caption is painted

        label.setLit(true);
        image = over(label, qRgb(0, 0, 0));
        QVERIFY(!extentOf(image, lit).isEmpty());
        QVERIFY(extentOf(image, unlit).isEmpty());

        // Under the mouse it flashes brighter.
        label.setLit(false);
        hover(label, true);
        QVERIFY(label.currentColor().lightness() > QColor(unlit).lightness());
        hover(label, false);
        QCOMPARE(label.currentColor().rgb(), unlit);

        QSignalSpy clicks(&label, &FlashLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!label.isLit()); // the owner decides what a click lights
    }
};

VORLAN_TEST_CLASS(SkinControlsTest)
#include "SkinControlsTest.moc"
