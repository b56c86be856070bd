// The controls that draw a mask's own art: digit and character fonts, sprite bars, toggle glyphs, a groove.
#include "tests/TestMain.h"
#include "widgets/GlyphButton.h"
#include "widgets/GlyphTimeLabel.h"
#include "widgets/GlyphTitle.h"
#include "widgets/SpriteBar.h"
#include "widgets/ThumbSlider.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace
{
const QRgb Magenta = qRgb(255, 0, 255);

// A distinct colour for every frame or glyph index.
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

// What the user sees of the widget over a magenta backdrop.
QImage over(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Magenta);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// Every pixel of `rect` in `image` is `color`.
bool filled(const QImage &image, const QRect &rect, QRgb color)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF))
                return false;
    return true;
}
} // namespace

class SkinArtTest : public QObject
{
    Q_OBJECT

private slots:
    void timeDigitsFollowTheLayoutRule()
    {
        GlyphTimeLabel label;
        label.setDigits(strip(12, QSize(9, 13)));
        label.resize(label.sizeHint());
        QCOMPARE(label.size(), QSize(63, 13));
        label.setText(QStringLiteral("[01:23]"));
        QImage shown = over(label);
        // Sign cell blank, then 0 1 : 2 3 at 12 px steps with 6 px more for the colon.
        const QList<QPair<int, int>> cells = {{0, 10}, {12, 0}, {24, 1}, {42, 2}, {54, 3}};
        for (const auto &[x, glyph] : cells)
            QVERIFY2(filled(shown, QRect(x, 0, 9, 13), shade(glyph)), qPrintable(QString::number(x)));
        // Between the cells the skin shows through.
        QVERIFY(filled(shown, QRect(9, 0, 3, 13), Magenta));
        QVERIFY(filled(shown, QRect(33, 0, 9, 13), Magenta));

        label.setText(QStringLiteral("- 04:59"));
        shown = over(label);
        QVERIFY(filled(shown, QRect(0, 0, 9, 13), shade(11)));
        QVERIFY(filled(shown, QRect(54, 0, 9, 13), shade(9)));
        // A percentage's digits stand together: no gap where a time has its colon.
        label.setText(QStringLiteral("100% V"));
        shown = over(label);
        for (const auto &[x, glyph] : QList<QPair<int, int>>{{0, 10}, {12, 1}, {24, 0}, {36, 0}})
            QVERIFY2(filled(shown, QRect(x, 0, 9, 13), shade(glyph)), qPrintable(QString::number(x)));
        QVERIFY(filled(shown, QRect(45, 0, 18, 13), Magenta));
        // Text without digits keeps only the blank sign.
        label.setText(QStringLiteral("Center"));
        QCOMPARE(label.glyphsShown(), QList<int>{GlyphTimeLabel::BlankGlyph});
        QVERIFY(filled(over(label), QRect(12, 0, 51, 13), Magenta));

        QSignalSpy clicked(&label, &GlyphTimeLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(20, 5));
        QCOMPARE(clicked.count(), 1);
    }

    void titleDrawsItsCharactersAndSlidesWideLines()
    {
        // 96 cells of 2 x 3, each its own colour.
        QImage grid(2 * 16, 3 * 6, QImage::Format_RGB32);
        QPainter painter(&grid);
        for (int c = 0; c < 96; ++c)
            painter.fillRect(QRect(c % 16 * 2, c / 16 * 3, 2, 3), shade(c));
        painter.end();
        const auto cellColour = [](char c) { return shade(c - 32); };

        GlyphTitle title;
        title.setCharacters(grid);
        title.setBackColor(QColor(Magenta));
        title.resize(10, 3);
        title.setScrolling(false);
        // "Éa€" is drawn as "Ea?", centred.
        title.setLines({QStringLiteral("\u00c9a\u20ac"), QStringLiteral("B")});
        QImage shown = over(title);
        QVERIFY(filled(shown, QRect(0, 0, 2, 3), Magenta));
        QVERIFY(filled(shown, QRect(2, 0, 2, 3), cellColour('E')));
        QVERIFY(filled(shown, QRect(4, 0, 2, 3), cellColour('a')));
        QVERIFY(filled(shown, QRect(6, 0, 2, 3), cellColour('?')));

        // A panel one line high lets each line rest before it rolls up as the text panel's lines do.
        for (int i = 0; i < GlyphTitle::ReadSteps; ++i)
            title.advance();
        QCOMPARE(title.scrollOffset(), 0);
        title.advance();
        QCOMPARE(title.scrollOffset(), 2);
        title.advance();
        QCOMPARE(title.scrollOffset(), 3); // comes to rest on the next line
        shown = over(title);
        QVERIFY(filled(shown, QRect(4, 0, 2, 3), cellColour('B')));

        // A line wider than the panel rests, slides left to its end, rests, then rolls on.
        title.setLines({QStringLiteral("ABCDEFGH"), QStringLiteral("Z")}); // 16 px in 10
        for (int i = 0; i < GlyphTitle::HoldSteps; ++i)
            title.advance();
        QCOMPARE(title.sideOffset(), 0);
        title.advance();
        QCOMPARE(title.sideOffset(), 2);
        QVERIFY(filled(over(title), QRect(0, 0, 2, 3), cellColour('B')));
        title.advance();
        title.advance();
        QCOMPARE(title.sideOffset(), 6);
        QVERIFY(filled(over(title), QRect(8, 0, 2, 3), cellColour('H')));
        for (int i = 0; i < GlyphTitle::HoldSteps; ++i)
            title.advance();
        QCOMPARE(title.scrollOffset(), 0);
        title.advance();
        QCOMPARE(title.scrollOffset(), 2);
        QCOMPARE(title.sideOffset(), 0);

        // Scrolling on: the timer rolls it.
        title.setLines({QStringLiteral("A"), QStringLiteral("B")});
        title.setScrolling(true);
        QTRY_VERIFY(title.scrollOffset() > 0);
    }

    void volumeSpritesFollowThePositionAndTheDrag()
    {
        // Classic proportions: frames 68 x 13, a 14 x 11 thumb centred on the bar.
        SpriteBar bar(SpriteBar::Volume);
        bar.setFrames(strip(5, QSize(68, 13), true), 5);
        bar.setThumb(strip(2, QSize(14, 11), false, 20));
        bar.resize(68, 13);
        bar.showTrackBarPosition(0); // loud: last frame, thumb at the right
        QImage shown = over(bar);
        QCOMPARE(bar.thumbRect(), QRect(54, 1, 14, 11));
        QVERIFY(filled(shown, QRect(0, 0, 54, 13), shade(4)));
        QVERIFY(filled(shown, QRect(54, 1, 14, 11), shade(20)));
        bar.showTrackBarPosition(100); // silent: first frame, thumb at the left
        shown = over(bar);
        QVERIFY(filled(shown, QRect(14, 0, 54, 13), shade(0)));
        QVERIFY(filled(shown, QRect(0, 1, 14, 11), shade(20)));

        QSignalSpy positions(&bar, &SpriteBar::trackBarPositionChanged);
        QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(7, 6));
        QTest::mouseMove(&bar, QPoint(7 + 27, 6));                   // half way
        QVERIFY(filled(over(bar), QRect(27, 1, 14, 11), shade(21))); // held: the pressed frame
        QTest::mouseMove(&bar, QPoint(200, 6));
        // The player's own position is not shown while the user holds the thumb.
        bar.showTrackBarPosition(100);
        QCOMPARE(bar.position(), 0);
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(200, 6));
        QCOMPARE(positions.count(), 2);
        QCOMPARE(positions.at(0).at(0).toInt(), 50);
        QCOMPARE(positions.at(1).at(0).toInt(), 0);
        shown = over(bar);
        QVERIFY(filled(shown, QRect(0, 0, 54, 13), shade(4)));
        QVERIFY(filled(shown, QRect(54, 1, 14, 11), shade(20)));
    }

    void balanceSpritesSnapToTheCentre()
    {
        SpriteBar bar(SpriteBar::Balance);
        bar.setFrames(strip(3, QSize(38, 13), true), 3);
        bar.setThumb(strip(2, QSize(14, 11), false, 20));
        bar.resize(38, 13); // the thumb moves 24 px
        bar.showTrackBarPosition(0);
        QCOMPARE(bar.frameShown(), 2);
        QSignalSpy positions(&bar, &SpriteBar::trackBarPositionChanged);
        QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(7, 6));
        QTest::mouseMove(&bar, QPoint(7 + 11, 6)); // 45.8 %: the centre
        QCOMPARE(bar.position(), 50);
        QCOMPARE(bar.thumbRect().left(), 12);
        QVERIFY(filled(over(bar), QRect(0, 0, 12, 13), shade(0)));
        QTest::mouseMove(&bar, QPoint(7 + 18, 6)); // 75 % to the right
        QTest::mouseMove(&bar, QPoint(7 + 24, 6));
        QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(7 + 24, 6));
        QCOMPARE(positions.count(), 3);
        QCOMPARE(positions.at(0).at(0).toInt(), 50);
        QCOMPARE(positions.at(1).at(0).toInt(), 75);
        QCOMPARE(positions.at(2).at(0).toInt(), 100);
        QCOMPARE(bar.frameShown(), 2);
    }

    void nonsenseFromAMaskIsKeptWithinThePicture()
    {
        // Frame counts a file may hold: never more frames than pixel rows, never fewer than one.
        SpriteBar bar(SpriteBar::Volume);
        bar.setFrames(strip(2, QSize(10, 4), true), 1000000);
        QCOMPARE(bar.frameCount(), 8);
        QCOMPARE(bar.frameSize(), QSize(10, 1));
        bar.setFrames(strip(2, QSize(10, 4), true), -3);
        QCOMPARE(bar.frameCount(), 1);
        // Pictures too small for their fonts draw nothing rather than garbage.
        GlyphTimeLabel label;
        label.setDigits(QImage(11, 13, QImage::Format_RGB32));
        QVERIFY(!label.hasDigits());
        GlyphTitle title;
        title.setCharacters(QImage(15, 6, QImage::Format_RGB32));
        QVERIFY(!title.hasCharacters());
        // A line of any length costs at most its cut.
        title.setCharacters(QImage(16, 6, QImage::Format_RGB32));
        title.setLines({QString(100000, QLatin1Char('x'))});
        QCOMPARE(title.lineWidth(0), GlyphTitle::MaxLineCharacters);
    }

    void togglesShowTheirOnGlyphAndSlidersTheirGroove()
    {
        GlyphButton loop;
        loop.setCheckable(true);
        loop.setGlyph(strip(4, QSize(6, 5)));
        loop.resize(6, 5);
        loop.setChecked(true);
        QVERIFY(filled(over(loop), loop.rect(), shade(2))); // no on glyph: the pressed frame
        loop.setOnGlyph(strip(4, QSize(6, 5), false, 10));
        QVERIFY(filled(over(loop), loop.rect(), shade(10)));
        loop.setChecked(false);
        QVERIFY(filled(over(loop), loop.rect(), shade(0)));

        ThumbSlider slider;
        slider.setThumbImage(strip(2, QSize(8, 10), false, 30));
        slider.resize(40, 10);
        QImage groove(40, 10, QImage::Format_RGB32);
        groove.fill(shade(40));
        slider.setBackImage(groove);
        QImage shown = over(slider);
        QVERIFY(filled(shown, QRect(0, 0, 8, 10), shade(30)));
        QVERIFY(filled(shown, QRect(8, 0, 32, 10), shade(40)));
        slider.setBackImage(QImage());
        QCOMPARE(over(slider).pixel(30, 0), slider.backColor().rgb());
    }
};

VORLAN_TEST_CLASS(SkinArtTest)
#include "SkinArtTest.moc"
