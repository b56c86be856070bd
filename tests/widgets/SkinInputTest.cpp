// How the skinned window's controls answer the mouse and time: knob and slider drags, the rolling title,
// the hover watcher and the animated picture.
#include "tests/TestMain.h"
#include "widgets/GifAnimator.h"
#include "widgets/HoverWatcher.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include "widgets/ThumbSlider.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

namespace
{
// Drags the knob from its centre to the x positions given, one move each; returns the positions emitted.
QList<int> dragKnob(KnobBar &bar, const QList<int> &xs)
{
    QSignalSpy positions(&bar, &KnobBar::trackBarPositionChanged);
    QTest::mousePress(&bar, Qt::LeftButton, {}, bar.knobRect().center());
    for (int x : xs)
        QTest::mouseMove(&bar, QPoint(x, 5));
    QList<int> result;
    for (const QList<QVariant> &args : positions)
        result << args.at(0).toInt();
    return result;
}

// A knob moved to offset `offset` (the drag holds the knob at its centre).
int knobCentreAt(int offset)
{
    return offset + KnobBar::KnobWidth / 2;
}

QImage thumbFrames(QSize frame)
{
    QImage image(frame.width() * 2, frame.height(), QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), frame), Qt::red);
    painter.fillRect(QRect(QPoint(frame.width(), 0), frame), Qt::blue);
    return image;
}

// The bounding box of the light pixels in the upper `rows` rows.
QRect lightPixels(const QImage &image, int rows)
{
    QRect extent;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 160)
                extent |= QRect(x, y, 1, 1);
    return extent;
}

QRgb frameColor(int frame)
{
    static const QRgb colors[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    return colors[frame];
}

QRgb centrePixel(GifAnimator &gif)
{
    QImage image(gif.size(), QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    gif.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.pixel(gif.width() / 2, gif.height() / 2);
}
} // namespace

class SkinInputTest : public QObject
{
    Q_OBJECT

private slots:
    void volumeKnobMovesInStepsOfTwo()
    {
        KnobBar bar(KnobBar::Volume);
        QCOMPARE(bar.barWidth(), 62);
        QCOMPARE(bar.size(), QSize(62, 20));
        QCOMPARE(bar.caption(), QStringLiteral("Volume"));
        bar.setColors(Qt::blue, Qt::white);
        QSignalSpy pressed(&bar, &KnobBar::pressed);
        QSignalSpy released(&bar, &KnobBar::released);

        // Across the whole bar, one pixel at a time: 100 (silent) at the left down to 0 at the right.
        QList<int> xs;
        for (int x = knobCentreAt(0); x <= knobCentreAt(50) + 10; ++x)
            xs << x;
        const QList<int> positions = dragKnob(bar, xs);
        QCOMPARE(pressed.count(), 1);
        QVERIFY(bar.isDragging());
        QCOMPARE(positions.size(), xs.size());
        for (int i = 0; i <= 50; ++i)
            QCOMPARE(positions.at(i), 100 - 2 * i);
        QCOMPARE(positions.last(), 0);
        QCOMPARE(bar.knobOffset(), 50);
        QCOMPARE(bar.caption(), QStringLiteral("100% V"));
        // While dragged the knob wears the press colour.
        QCOMPARE(bar.grab().toImage().pixel(bar.knobRect().center()), qRgb(255, 255, 255));

        QTest::mouseMove(&bar, QPoint(knobCentreAt(3), 5));
        QCOMPARE(bar.caption(), QStringLiteral("06% V"));
        QTest::mouseMove(&bar, QPoint(-40, 5));
        QCOMPARE(bar.knobOffset(), 0);
        QCOMPARE(bar.caption(), QStringLiteral("00% V"));

        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-40, 5));
        QCOMPARE(released.count(), 1);
        QVERIFY(!bar.isDragging());
        QCOMPARE(bar.caption(), QStringLiteral("Volume"));
        QCOMPARE(bar.grab().toImage().pixel(bar.knobRect().center()), qRgb(0, 0, 255));

        // A press beside the knob drags nothing.
        QSignalSpy moves(&bar, &KnobBar::trackBarPositionChanged);
        QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(40, 5));
        QTest::mouseMove(&bar, QPoint(50, 5));
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(50, 5));
        QCOMPARE(moves.count(), 0);
        QCOMPARE(pressed.count(), 1);
        QCOMPARE(bar.knobOffset(), 0);

        // The player's volume places the knob, silently.
        bar.showTrackBarPosition(0);
        QCOMPARE(bar.knobOffset(), 50);
        bar.showTrackBarPosition(37); // 63 % of 50 px
        QCOMPARE(bar.knobOffset(), 32);
        bar.showTrackBarPosition(100);
        QCOMPARE(bar.knobOffset(), 0);
        QCOMPARE(moves.count(), 0);
    }

    void balanceKnobSnapsToTheCentre()
    {
        KnobBar bar(KnobBar::Balance);
        QCOMPARE(bar.barWidth(), 45);
        QCOMPARE(bar.caption(), QStringLiteral("Balance"));
        bar.showTrackBarPosition(50);
        QCOMPARE(bar.knobOffset(), 16); // the middle of 33 px

        // Far right, middle, far left.
        QList<int> positions = dragKnob(bar, {300, knobCentreAt(16)});
        QCOMPARE(positions.at(0), 99);
        QCOMPARE(positions.at(1), 50);
        QCOMPARE(bar.caption(), QStringLiteral("Center"));
        QTest::mouseMove(&bar, QPoint(300, 5));
        QCOMPARE(bar.caption(), QStringLiteral("100% R"));
        QTest::mouseMove(&bar, QPoint(-300, 5));
        QCOMPARE(bar.caption(), QStringLiteral("100% L"));
        QCOMPARE(bar.knobOffset(), 0);
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-300, 5));
        QCOMPARE(bar.caption(), QStringLiteral("Balance"));

        // Steps of 3 up to where the centre takes over: above 40 % and below 60 % the knob snaps to the
        // middle and the balance is exactly 50.
        QList<int> xs;
        for (int offset = 0; offset <= 13; ++offset)
            xs << knobCentreAt(offset);
        positions = dragKnob(bar, xs);
        for (int offset = 0; offset <= 13; ++offset)
            QCOMPARE(positions.at(offset), 3 * offset);
        QCOMPARE(bar.caption(), QStringLiteral("21% L"));    // 39.4 %
        QTest::mouseMove(&bar, QPoint(knobCentreAt(14), 5)); // 42.4 %
        QCOMPARE(bar.caption(), QStringLiteral("Center"));
        QCOMPARE(bar.knobOffset(), 16);
        QTest::mouseMove(&bar, QPoint(knobCentreAt(19), 5)); // 57.6 %
        QCOMPARE(bar.knobOffset(), 16);
        QCOMPARE(bar.caption(), QStringLiteral("Center"));
        QSignalSpy moves(&bar, &KnobBar::trackBarPositionChanged);
        QTest::mouseMove(&bar, QPoint(knobCentreAt(20), 5)); // 60.6 %
        QCOMPARE(bar.knobOffset(), 20);
        QCOMPARE(bar.caption(), QStringLiteral("21% R"));
        QCOMPARE(moves.takeFirst().at(0).toInt(), 60);

        // The player's balance does not move a knob in the user's hand.
        bar.showTrackBarPosition(0);
        QCOMPARE(bar.knobOffset(), 20);
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(knobCentreAt(20), 5));
        bar.showTrackBarPosition(0);
        QCOMPARE(bar.knobOffset(), 0);
        bar.showTrackBarPosition(99);
        QCOMPARE(bar.knobOffset(), 33);
        QCOMPARE(moves.count(), 0);
    }

    void thumbSliderReportsADragInOrder()
    {
        ThumbSlider slider;
        slider.setThumbImage(thumbFrames(QSize(6, 10)));
        slider.resize(106, 14); // 100 px of track for 0..400
        QStringList events;
        connect(&slider, &ThumbSlider::pressed, this, [&] { events << QStringLiteral("pressed"); });
        connect(&slider, &ThumbSlider::released, this, [&] { events << QStringLiteral("released"); });
        connect(&slider, &ThumbSlider::trackingStarted, this, [&] { events << QStringLiteral("started"); });
        connect(&slider, &ThumbSlider::valueChanged, this,
                [&](int v) { events << QStringLiteral("value %1").arg(v); });
        connect(&slider, &ThumbSlider::trackingStopped, this,
                [&](int v) { events << QStringLiteral("stopped %1").arg(v); });

        // Held on the thumb, moved along the track.
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(3, 7));
        QCOMPARE(events, QStringList{QStringLiteral("pressed")});
        QVERIFY(!slider.isTracking());
        QTest::mouseMove(&slider, QPoint(53, 7));
        QVERIFY(slider.isTracking());
        slider.setValue(20); // the player's position waits while the user drags
        QCOMPARE(slider.value(), 200);
        QTest::mouseMove(&slider, QPoint(78, 7));
        QTest::mouseMove(&slider, QPoint(500, 7));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(500, 7));
        QCOMPARE(events, (QStringList{"pressed", "started", "value 200", "value 300", "value 400",
                                      "stopped 400", "released"}));
        QVERIFY(!slider.isTracking());

        // Pressed on the track: the thumb jumps under the mouse (its centre at x 28: value 100).
        events.clear();
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(28, 7));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(28, 7));
        QCOMPARE(events, (QStringList{"pressed", "started", "value 100", "stopped 100", "released"}));

        // The program's values are clamped and silent.
        events.clear();
        slider.setValue(999);
        QCOMPARE(slider.value(), 400);
        slider.setRange(0, 200);
        QCOMPARE(slider.value(), 200);
        slider.setRange(0, 400);
        QVERIFY(events.isEmpty());

        // Vertical: the minimum at the top.
        slider.setHorizontal(false);
        slider.resize(14, 110); // 100 px of track under a 10 px high thumb
        slider.setValue(0);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(7, 5));
        QTest::mouseMove(&slider, QPoint(7, 55));
        QCOMPARE(slider.value(), 200);
        QTest::mouseMove(&slider, QPoint(7, 300));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(7, 300));
        QCOMPARE(slider.value(), 400);
        QCOMPARE(events.at(events.size() - 2), QStringLiteral("stopped 400"));
        QCOMPARE(slider.grab().toImage().pixel(7, 105), qRgb(255, 0, 0));

        // Disabled during a drag (the song ended): the drag ends there, as if released.
        events.clear();
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(7, 105));
        QTest::mouseMove(&slider, QPoint(7, 80));
        slider.setEnabled(false);
        QCOMPARE(events, (QStringList{"pressed", "started", "value 300", "stopped 300", "released"}));
        QVERIFY(!slider.isThumbPressed());
        slider.setEnabled(true);
        slider.setValue(400);
        QCOMPARE(slider.value(), 400);

        // Disabled: the mouse does nothing.
        events.clear();
        slider.setEnabled(false);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(7, 30));
        QTest::mouseMove(&slider, QPoint(7, 40));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(7, 40));
        QVERIFY(events.isEmpty());
        QCOMPARE(slider.value(), 400);
    }

    void titleRollsUpAndComesRound()
    {
        ScrollingText title;
        title.resize(80, 60);
        title.setBackColor(Qt::black);
        QCOMPARE(title.textColor(), QColor(Qt::white));
        title.setLines({QStringLiteral("Title"), QStringLiteral("Artist")});
        QCOMPARE(title.scrollOffset(), 0);
        QVERIFY(title.isScrolling());

        // The timer rolls it.
        QTRY_VERIFY_WITH_TIMEOUT(title.scrollOffset() > 0, 5 * ScrollingText::ScrollInterval);
        title.setScrolling(false);
        title.setLines(title.lines()); // back to the top
        QCOMPARE(title.scrollOffset(), 0);

        const QImage start = title.grab().toImage();
        const QRect text = lightPixels(start, 40);
        QVERIFY(!text.isEmpty());
        for (int i = 0; i < 3; ++i)
            title.advance();
        const QRect moved = lightPixels(title.grab().toImage(), 40);
        QCOMPARE(moved.bottom(), text.bottom() - 3 * ScrollingText::ScrollStep);

        // After a whole period the first picture is back.
        const int period = title.scrollPeriod();
        QCOMPARE(period, 60); // two short lines in a taller panel: the panel's height
        int steps = 3;
        while (title.scrollOffset() != 0 && steps < 1000) {
            title.advance();
            ++steps;
        }
        QCOMPARE(steps, period / ScrollingText::ScrollStep);
        QCOMPARE(title.grab().toImage(), start);

        // Appended lines keep the position; a click only reports itself.
        title.advance();
        title.appendLines({QString(), QStringLiteral("Mask Author: Someone"), QString()});
        QCOMPARE(title.scrollOffset(), ScrollingText::ScrollStep);
        QSignalSpy clicks(&title, &ScrollingText::clicked);
        QTest::mouseClick(&title, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!title.isScrolling());

        title.setBackColor(Qt::white);
        QCOMPARE(title.textColor(), QColor(Qt::black));

        // What it shows follows every change at once, however it keeps its picture between steps.
        title.show();
        QVERIFY(QTest::qWaitForWindowExposed(&title));
        title.setLines({QStringLiteral("Title")});
        title.grab();
        title.setTextColor(Qt::red);
        QCOMPARE(title.textColor(), QColor(Qt::red));
        const QImage red = title.grab().toImage();
        int reddish = 0;
        for (int y = 0; y < red.height(); ++y)
            for (int x = 0; x < red.width(); ++x) {
                const QColor c = red.pixelColor(x, y);
                reddish += c.red() > 200 && c.green() < 120 && c.blue() < 120;
            }
        QVERIFY(reddish > 5);
        title.setBackColor(Qt::black);
        title.setTextColor(Qt::white);
        const int small = lightPixels(title.grab().toImage(), 40).height();
        title.setPointSize(24);
        QVERIFY(lightPixels(title.grab().toImage(), 40).height() > small);
    }

    void hoverWatcherReportsCrossings()
    {
        QWidget window;
        window.resize(200, 200);
        window.show();
        QPoint cursor(-1000, -1000);
        HoverWatcher watcher;
        watcher.setCursorProvider([&] { return cursor; });
        watcher.setTarget(&window, QRect(50, 50, 20, 20));
        QSignalSpy entered(&watcher, &HoverWatcher::entered);
        QSignalSpy left(&watcher, &HoverWatcher::left);
        const QPoint inside = window.mapToGlobal(QPoint(60, 60));
        const QPoint outside = window.mapToGlobal(QPoint(75, 60));

        // Inactive: silent.
        cursor = inside;
        watcher.poll();
        QCOMPARE(entered.count(), 0);

        watcher.setActive(true);
        watcher.poll();
        QCOMPARE(entered.count(), 1);
        watcher.poll();
        QCOMPARE(entered.count(), 1);
        cursor = outside;
        watcher.poll();
        QCOMPARE(left.count(), 1);

        // The timer does the looking.
        cursor = inside;
        QTRY_COMPARE_WITH_TIMEOUT(entered.count(), 2, 10 * HoverWatcher::Interval);

        // Switched off inside: no leave, nothing afterwards.
        watcher.setActive(false);
        cursor = outside;
        watcher.poll();
        QCOMPARE(left.count(), 1);

        // A hidden window has nothing under the mouse.
        watcher.setActive(true);
        window.hide();
        cursor = inside;
        watcher.poll();
        QCOMPARE(entered.count(), 2);
        window.show();
        watcher.poll();
        QCOMPARE(entered.count(), 3);
        QCOMPARE(left.count(), 1);
    }

    void animatedPictureRunsOnlyWhenAsked()
    {
        GifAnimator gif;
        gif.resize(16, 16); // twice the picture
        QVERIFY(gif.setFile(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif")));
        QCOMPARE(gif.frameCount(), 3);
        QCOMPARE(gif.currentFrameNumber(), 0);
        QCOMPARE(centrePixel(gif), frameColor(0));

        // Stopped, it stays on its frame (each frame lasts 50 ms).
        QTest::qWait(200);
        QCOMPARE(gif.currentFrameNumber(), 0);

        gif.setAnimating(true);
        QTRY_VERIFY(gif.currentFrameNumber() > 0);
        QCOMPARE(centrePixel(gif), frameColor(gif.currentFrameNumber()));
        QTRY_COMPARE(gif.currentFrameNumber(), 0); // round again
        gif.setAnimating(false);
        const int frame = gif.currentFrameNumber();
        QTest::qWait(200);
        QCOMPARE(gif.currentFrameNumber(), frame);
        QCOMPARE(centrePixel(gif), frameColor(frame));

        // Stretched to a wide widget by default; a preview keeps the picture square, the sides left free.
        GifAnimator wide;
        wide.resize(64, 32);
        QVERIFY(wide.setFile(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif")));
        const auto pixelAt = [&wide](int x) {
            QImage image(wide.size(), QImage::Format_RGB32);
            image.fill(qRgb(255, 0, 255));
            wide.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            return image.pixel(x, 16);
        };
        QCOMPARE(pixelAt(4), frameColor(0));
        wide.setKeepAspect(true);
        QCOMPARE(pixelAt(4), qRgb(255, 0, 255));
        QCOMPARE(pixelAt(32), frameColor(0));

        // Switched on before the picture comes, it animates once loaded.
        GifAnimator early;
        early.resize(8, 8);
        early.setAnimating(true);
        QVERIFY(early.setFile(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif")));
        QTRY_VERIFY(early.currentFrameNumber() > 0);

        // What cannot be read shows nothing: a text, a folder, a FIFO (which must not block), nothing.
        const QString dir = vorlantest::tempDir();
        QFile text(dir + QStringLiteral("/not.gif"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("GIF89a but not really");
        text.close();
        const QString fifo = dir + QStringLiteral("/fifo.gif");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &bad : {text.fileName(), dir, fifo, dir + QStringLiteral("/missing.gif")}) {
            QVERIFY2(!gif.setFile(bad), qPrintable(bad));
            QVERIFY(!gif.hasPicture());
            QCOMPARE(gif.currentFrameNumber(), -1);
            QCOMPARE(centrePixel(gif), qRgb(255, 0, 255));
        }
    }
};

VORLAN_TEST_CLASS(SkinInputTest)
#include "SkinInputTest.moc"
