#include "masks/TFormShaper.h"
#include "tests/TestMain.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace
{

constexpr int32_t Lime = 0x00FF00;
constexpr int32_t Red = 0x0000FF; // red in the low byte

// An image from rows of characters: '.' is lime (cut away), anything else a dark grey pixel.
QImage picture(const QStringList &rows)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rows[y][x] == '.' ? qRgb(0, 255, 0) : qRgb(40, 40, 40));
    return image;
}

// Every pixel is in the region exactly when it is not the key colour.
void expectCoversNonKeyPixels(const QRegion &region, const QImage &image, QRgb key)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inside = (image.pixel(x, y) & 0xFFFFFF) != (key & 0xFFFFFF);
            if (region.contains(QPoint(x, y)) != inside)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 should be %3").arg(x).arg(y).arg(inside)));
        }
    QVERIFY(!region.contains(QPoint(image.width(), 0)));
    QVERIFY(!region.contains(QPoint(0, image.height())));
}

} // namespace

class FormShaperTest : public QObject
{
    Q_OBJECT
private slots:
    void regionCoversExactlyTheNonMaskPixels();
    void randomOutlinesMatchPixelByPixel();
    void systemColourCutsNothing();
    void sameValueTwiceRebuildsNothing();
    void emptyRegionLeavesTheWindowRectangularAndInactive();
    void pictureSizesTheWindowAndFillsTheBackground();
    void dragsByTheBackgroundButNotByAButton();
    void showCaptionStopsMoving();
};

void FormShaperTest::regionCoversExactlyTheNonMaskPixels()
{
    // No mask pixel: the whole bitmap.
    const QImage full = picture({"####", "####"});
    QCOMPARE(TFormShaper::regionFromImage(full, Lime), QRegion(0, 0, 4, 2));
    // All mask pixels: nothing.
    QVERIFY(TFormShaper::regionFromImage(picture({"...", "..."}), Lime).isEmpty());
    // The last pixel of a row belongs to the window; an isolated pixel is a 1x1 rectangle.
    const QImage edges = picture({"..##", "....", ".#..", "#..#"});
    const QRegion region = TFormShaper::regionFromImage(edges, Lime);
    expectCoversNonKeyPixels(region, edges, qRgb(0, 255, 0));
    QCOMPARE(region.intersected(QRect(0, 2, 4, 1)), QRegion(1, 2, 1, 1));
    QVERIFY(region.contains(QPoint(3, 0)) && region.contains(QPoint(3, 3)));
    // Only an exact match is cut: a nearly-lime pixel stays.
    QImage near = full;
    near.setPixel(1, 1, qRgb(0, 254, 0));
    near.setPixel(2, 1, qRgb(0, 255, 0));
    QCOMPARE(TFormShaper::regionFromImage(near, Lime), QRegion(0, 0, 4, 2).subtracted(QRegion(2, 1, 1, 1)));
}

void FormShaperTest::randomOutlinesMatchPixelByPixel()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        QImage image(1 + int(random.bounded(40)), 1 + int(random.bounded(30)), QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                // Runs of repeated rows, so the band merging is exercised too.
                image.setPixel(x, y,
                               (y % 3 && y > 0)    ? image.pixel(x, y - 1)
                               : random.bounded(3) ? qRgb(255, 0, 0)
                                                   : qRgb(10, 20, 30));
        expectCoversNonKeyPixels(TFormShaper::regionFromImage(image, Red), image, qRgb(255, 0, 0));
    }
}

void FormShaperTest::systemColourCutsNothing()
{
    const QImage image = picture({"..#", "#.."});
    // The button-shadow system colour, even on a bitmap whose pixels look like it.
    QCOMPARE(TFormShaper::regionFromImage(image, int32_t(0x80000010u)), QRegion(0, 0, 3, 2));
}

void FormShaperTest::sameValueTwiceRebuildsNothing()
{
    QWidget window;
    TFormShaper shaper(&window);
    QSignalSpy changes(shaper.MaskedPicture(), &TMaskedPicture::OnChange);
    const QImage image = picture({".##.", "####"});
    shaper.MaskedPicture()->setPicture(image);
    shaper.MaskedPicture()->setPicture(image.copy());
    shaper.MaskedPicture()->setMaskColor(Lime);
    shaper.MaskedPicture()->setMaskColor(Lime);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(shaper.rebuildCount(), 1);
    shaper.MaskedPicture()->setMaskColor(Red);
    QCOMPARE(shaper.rebuildCount(), 2);
    QCOMPARE(shaper.region(), QRegion(0, 0, 4, 2));

    // Assigning from another picture copies the colour, then the bitmap.
    TMaskedPicture other;
    other.setMaskColor(Lime);
    other.setPicture(picture({"#..#"}));
    shaper.MaskedPicture()->assign(other);
    QCOMPARE(shaper.MaskedPicture()->MaskColor(), Lime);
    QCOMPARE(shaper.region(), QRegion(0, 0, 1, 1).united(QRegion(3, 0, 1, 1)));
}

void FormShaperTest::emptyRegionLeavesTheWindowRectangularAndInactive()
{
    QWidget window;
    TFormShaper shaper(&window);
    shaper.setShowCaption(false);
    shaper.MaskedPicture()->setPicture(picture({"##.", "#.."}));
    QVERIFY(!shaper.Active());
    shaper.setActive(true);
    QVERIFY(shaper.Active());
    QCOMPARE(window.mask(), QRegion(0, 0, 2, 1).united(QRegion(0, 1, 1, 1)));

    // A picture all of the mask colour: no outline at all, so the window stays a rectangle.
    shaper.MaskedPicture()->setPicture(picture({"...", "..."}));
    QVERIFY(!shaper.Active());
    QVERIFY(window.mask().isEmpty());
    shaper.setActive(true);
    QVERIFY(!shaper.Active());
}

void FormShaperTest::pictureSizesTheWindowAndFillsTheBackground()
{
    QWidget window;
    window.resize(10, 10);
    TFormShaper shaper(&window);
    shaper.setShowCaption(false);
    QLabel background(&window);
    shaper.setBackgrnd(&background);
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 30));
    shaper.MaskedPicture()->setPicture(image);
    QCOMPARE(window.size(), QSize(120, 80));
    QCOMPARE(background.geometry(), QRect(0, 0, 120, 80));
    QCOMPARE(background.pixmap().toImage().pixel(60, 40), qRgb(200, 30, 30));
}

void FormShaperTest::dragsByTheBackgroundButNotByAButton()
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    TFormShaper shaper(&window);
    shaper.setShowCaption(false);
    shaper.setWindowMove(TFormShaper::FullMove);
    QLabel background(&window);
    shaper.setBackgrnd(&background);
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(qRgb(90, 90, 90));
    shaper.MaskedPicture()->setPicture(image);
    QPushButton button(QStringLiteral("Play"), &window);
    button.setGeometry(150, 60, 40, 30);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    // A press on a button never drags the window.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent overButton(QEvent::MouseMove, QPointF(25, 15), button.mapToGlobal(QPointF(25, 15)),
                           Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&button, &overButton);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(25, 15));
    QCOMPARE(window.pos(), start);
    QVERIFY(!shaper.dragging());

    // A press on the background drags it: the grab point stays under the cursor.
    QTest::mousePress(&background, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(shaper.dragging());
    const QPoint target = window.mapToGlobal(QPoint(20, 20)) + QPoint(37, 23);
    QMouseEvent move(QEvent::MouseMove, QPointF(background.mapFromGlobal(target)), QPointF(target),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(&background, &move);
    QTRY_COMPARE(window.pos(), start + QPoint(37, 23));
    QTest::mouseRelease(&background, Qt::LeftButton, {}, QPoint(57, 43));
    QVERIFY(!shaper.dragging());
}

void FormShaperTest::showCaptionStopsMoving()
{
    QWidget window;
    TFormShaper shaper(&window);
    QVERIFY(shaper.ShowCaption());
    QCOMPARE(shaper.WindowMove(), TFormShaper::NoMove);
    shaper.setShowCaption(false);
    shaper.setWindowMove(TFormShaper::FullMove);
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    shaper.setShowCaption(true);
    QCOMPARE(shaper.WindowMove(), TFormShaper::NoMove);
    QVERIFY(!(window.windowFlags() & Qt::FramelessWindowHint));
}

VORLAN_TEST_CLASS(FormShaperTest)
#include "FormShaperTest.moc"
