// A mask with every extra kind of art, worn by the skinned window: what the user sees and what it reports.
#include "masks/RegionFile.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "masks/TFormShaper.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/GlyphButton.h"
#include "widgets/GlyphTimeLabel.h"
#include "widgets/GlyphTitle.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include "widgets/SpriteBar.h"
#include "widgets/ThumbSlider.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace
{
const QRgb Lime = qRgb(0, 255, 0);
const QRgb Ground = qRgb(50, 50, 60);

QRgb shade(int i)
{
    return qRgb((i * 53) % 200 + 20, (i * 97) % 200 + 30, (i * 29) % 200 + 40);
}

// `count` frames side by side (or stacked), frame i filled with shade(i + first).
QImage strip(int count, QSize frame, bool stacked = false, int first = 0)
{
    QImage image(stacked ? frame.width() : frame.width() * count,
                 stacked ? frame.height() * count : frame.height(), QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < count; ++i)
        painter.fillRect(QRect(stacked ? QPoint(0, i * frame.height()) : QPoint(i * frame.width(), 0), frame),
                         shade(i + first));
    return image;
}

// 120 x 60, its top left corner cut away in lime.
QImage background()
{
    QImage image(120, 60, QImage::Format_RGB32);
    image.fill(Ground);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8 - y; ++x)
            image.setPixel(x, y, Lime);
    return image;
}

const QList<QPolygon> Outline = {
    QPolygon({QPoint(0, 0), QPoint(60, 0), QPoint(60, 60), QPoint(0, 60)}),
    QPolygon({QPoint(60, 10), QPoint(120, 10), QPoint(120, 50), QPoint(60, 50)})};

const QStringList Placed = {"BackImage=back.bmp", "BackColor=65280", "Play Time-L=5",    "Play Time-T=5",
                            "Play Time-W=40",     "Play Time-H=7",   "Song Title-L=50",  "Song Title-T=5",
                            "Song Title-W=60",    "Song Title-H=4",  "Loop Buttom-L=5",  "Loop Buttom-T=40",
                            "Loop Buttom-W=10",   "Loop Buttom-H=8", "Slider-L=5",       "Slider-T=48",
                            "Slider-W=100",       "Slider-H=7",      "LoopBtn=loop.bmp", "Volume-L=5",
                            "Volume-T=20",        "Balance-L=60",    "Balance-T=20",     "Author=Tester"};

const QStringList Extras = {
    "TimeDigits=digits.bmp",  "TitleChars=chars.bmp",  "SliderBack=groove.bmp", "VolumeBar=vol.bmp",
    "VolumeBarFrames=4",      "VolumeThumb=thumb.bmp", "BalanceBar=bal.bmp",    "BalanceBarFrames=3",
    "BalanceThumb=thumb.bmp", "LoopBtnOn=loopon.bmp",  "Shape=shape.txt",       "Volume Bar-L=5",
    "Volume Bar-T=20",        "Volume Bar-W=40",       "Volume Bar-H=9",        "Balance Bar-L=60",
    "Balance Bar-T=20",       "Balance Bar-W=30",      "Balance Bar-H=9"};

bool filled(const QImage &image, const QRect &rect, QRgb color)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF))
                return false;
    return true;
}

QImage seen(SkinnedWindow &window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Drags the bar's thumb from its centre by `dx` pixels.
void drag(SpriteBar *bar, const QList<int> &dxs)
{
    const QPoint from = bar->thumbRect().center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int dx : dxs)
        QTest::mouseMove(bar, from + QPoint(dx, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(dxs.last(), 0));
}
} // namespace

class MaskArtTest : public QObject
{
    Q_OBJECT

    QString m_dir;

    QString writeMask(const QString &name, const QStringList &keys)
    {
        const QString path = m_dir + QLatin1Char('/') + name;
        TextFile::writeLines(path, QStringList{QStringLiteral("[Vorlan Mask]")} + keys);
        return path;
    }

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        const auto save = [this](const QImage &image, const char *name) {
            QVERIFY(image.save(m_dir + QLatin1Char('/') + QLatin1String(name), "BMP"));
        };
        save(background(), "back.bmp");
        save(strip(12, QSize(4, 7)), "digits.bmp");
        QImage grid(16 * 3, 6 * 4, QImage::Format_RGB32);
        QPainter painter(&grid);
        for (int c = 0; c < 96; ++c)
            painter.fillRect(QRect(c % 16 * 3, c / 16 * 4, 3, 4), shade(c + 100));
        painter.end();
        save(grid, "chars.bmp");
        save(strip(1, QSize(100, 7), false, 40), "groove.bmp");
        save(strip(4, QSize(40, 9), true, 50), "vol.bmp");
        save(strip(3, QSize(30, 9), true, 60), "bal.bmp");
        save(strip(2, QSize(8, 7), false, 70), "thumb.bmp");
        save(strip(4, QSize(10, 8), false, 80), "loop.bmp");
        save(strip(4, QSize(10, 8), false, 90), "loopon.bmp");
        QVERIFY(TextFile::writeAtomically(m_dir + QStringLiteral("/shape.txt"), RegionFile::text(Outline)));
    }

    void wearsEveryExtra()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QSignalSpy refused(&window, &SkinnedWindow::pictureRefused);
        QVERIFY(window.LoadMask(writeMask(QStringLiteral("art.msk"), Placed + Extras)));
        QCOMPARE(refused.count(), 0);
        SkinnedFace *face = window.face();

        // The outline is the polygons', not the colour's.
        const QRegion outline = RegionFile::region(Outline, QRect(0, 0, 120, 60));
        QCOMPARE(window.shaper()->region(), outline);
        QCOMPARE(window.QWidget::mask(), outline);
        QVERIFY(window.QWidget::mask().contains(QPoint(1, 1)));
        QVERIFY(!window.QWidget::mask().contains(QPoint(100, 5)));

        // The time in the digit font where "Play Time" stands: blank sign, 0 1, colon gap, 2 3.
        QVERIFY(face->PlayTime->isHidden());
        face->setTimeText(QStringLiteral("[01:23]"));
        QImage shown = seen(window);
        const QList<QPair<int, int>> cells = {{0, 10}, {7, 0}, {14, 1}, {27, 2}, {34, 3}};
        for (const auto &[x, glyph] : cells)
            QVERIFY2(filled(shown, QRect(5 + x, 5, 4, 7), shade(glyph)), qPrintable(QString::number(x)));
        QVERIFY(filled(shown, QRect(5 + 18, 5, 9, 7), Ground));
        QSignalSpy timeClicks(face, &SkinnedFace::playTimeClicked);
        QTest::mouseClick(face->PlayDigits, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(timeClicks.count(), 1);

        // The title in the character font, the author line after the song's.
        QVERIFY(face->Title->isHidden());
        face->setTitleLines({QStringLiteral("AB")});
        QVERIFY(face->TitleGlyphs->lines().contains(QStringLiteral("Mask Author: Tester")));
        shown = seen(window);
        QVERIFY(filled(shown, QRect(50 + 27, 5, 3, 4), shade('A' - 32 + 100)));
        QVERIFY(filled(shown, QRect(50 + 30, 5, 3, 4), shade('B' - 32 + 100)));
        // A click stops and starts it; the text panel behind it never rolls unseen.
        QVERIFY(face->TitleGlyphs->isScrolling() && !face->Title->isScrolling());
        QTest::mouseClick(face->TitleGlyphs, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(!face->TitleGlyphs->isScrolling());
        QTest::mouseClick(face->TitleGlyphs, Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(face->TitleGlyphs->isScrolling());

        // Sprite bars instead of the knobs: volume 0 (loud) is the last frame, 100 the first.
        QVERIFY(face->VolumeBar->isHidden() && face->BalanceBar->isHidden());
        face->setVolumePosition(0);
        QVERIFY(filled(seen(window), QRect(5, 20, 32, 9), shade(53)));
        face->setVolumePosition(100);
        shown = seen(window);
        QVERIFY(filled(shown, QRect(5 + 8, 20, 32, 9), shade(50)));
        QVERIFY(filled(shown, QRect(5, 21, 8, 7), shade(70))); // the thumb, at the left, centred
        QSignalSpy volume(face, &SkinnedFace::volumeTrackBarChanged);
        QSignalSpy balance(face, &SkinnedFace::balanceTrackBarChanged);
        drag(face->VolumeSprite, {16, 32});
        QCOMPARE(volume.count(), 2);
        QCOMPARE(volume.at(0).at(0).toInt(), 50);
        QCOMPARE(volume.at(1).at(0).toInt(), 0);
        QCOMPARE(balance.last().at(0).toInt(), face->BalanceSprite->position());

        // The balance snaps to the centre between 40 and 60.
        face->setBalancePosition(0);
        volume.clear();
        balance.clear();
        drag(face->BalanceSprite, {10}); // 45 %
        QCOMPARE(balance.count(), 1);
        QCOMPARE(balance.first().at(0).toInt(), 50);
        QCOMPARE(volume.first().at(0).toInt(), 0);
        QVERIFY(filled(seen(window), QRect(60, 20, 11, 9), shade(60)));

        // Loop shows its on glyph while on, the off glyph while off.
        face->setLoopRandom(true, false);
        QVERIFY(filled(seen(window), QRect(5, 40, 10, 8), shade(90)));
        face->setLoopRandom(false, false);
        QVERIFY(filled(seen(window), QRect(5, 40, 10, 8), shade(80)));
        // The slider's groove is the picture.
        QVERIFY(filled(seen(window), QRect(5 + 8, 48, 92, 7), shade(40)));
    }

    void badArtFallsBackAndAPlainMaskBringsTheDescribedControlsBack()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QSignalSpy refused(&window, &SkinnedWindow::pictureRefused);
        const QString art = writeMask(QStringLiteral("art.msk"), Placed + Extras);
        QVERIFY(window.LoadMask(art));
        QVERIFY(window.shaper()->hasRegionOverride());

        // A plain mask after the art: the standard controls and the colour's outline again.
        QVERIFY(window.LoadMask(writeMask(QStringLiteral("plain.msk"), Placed)));
        SkinnedFace *face = window.face();
        const QRegion cut = TFormShaper::regionFromImage(background(), 65280);
        QCOMPARE(window.QWidget::mask(), cut);
        QVERIFY(!face->PlayTime->isHidden() && face->PlayDigits->isHidden());
        QVERIFY(!face->Title->isHidden() && face->TitleGlyphs->isHidden());
        QVERIFY(!face->VolumeBar->isHidden() && face->VolumeSprite->isHidden());
        QVERIFY(!face->BalanceBar->isHidden() && face->BalanceSprite->isHidden());
        QVERIFY(face->Slider->backImage().isNull());
        face->setLoopRandom(true, false);
        QVERIFY(!face->LoopBtn->onGlyphShown());
        QVERIFY(filled(seen(window), QRect(5, 40, 10, 8), shade(82))); // the pressed frame, as before
        QCOMPARE(refused.count(), 0);

        // An outline file without polygons and a digit font that is not there: the colour's outline and
        // the text label, each with a message naming its file.
        QVERIFY(
            TextFile::writeAtomically(m_dir + QStringLiteral("/shape.txt"), "[Normal]\r\nNumPoints=x\r\n"));
        QVERIFY(QFile::remove(m_dir + QStringLiteral("/digits.bmp")));
        QVERIFY(window.LoadMask(art));
        QCOMPARE(window.QWidget::mask(), cut);
        QVERIFY(!face->PlayTime->isHidden() && face->PlayDigits->isHidden());
        QVERIFY(!face->TitleGlyphs->isHidden());
        QCOMPARE(refused.count(), 2);
        QStringList messages;
        for (const QList<QVariant> &args : refused)
            messages << args.first().toString();
        QVERIFY2(messages.filter(QStringLiteral("digits.bmp")).size() == 1, qPrintable(messages.join('\n')));
        QVERIFY2(messages.filter(QStringLiteral("shape.txt")).size() == 1, qPrintable(messages.join('\n')));

        // A volume bar picture without a place for it: the round knob stays, so there is a volume control.
        QStringList unplaced = Placed + Extras;
        unplaced.removeIf([](const QString &key) { return key.startsWith(QLatin1String("Volume Bar-")); });
        QVERIFY(window.LoadMask(writeMask(QStringLiteral("unplaced.msk"), unplaced)));
        QVERIFY(!face->VolumeBar->isHidden() && face->VolumeSprite->isHidden());
        QVERIFY(face->BalanceBar->isHidden() && !face->BalanceSprite->isHidden());
    }
};

VORLAN_TEST_CLASS(MaskArtTest)
#include "MaskArtTest.moc"
