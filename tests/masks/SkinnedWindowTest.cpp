#include "masks/SkinnedWindow.h"
#include "masks/MaskLoaderWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/TFormShaper.h"
#include "platform/TextFile.h"
#include "tests/HugeGif.h"
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/FlashLabel.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/GlyphButton.h"
#include "widgets/HoverWatcher.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include "widgets/ThumbSlider.h"

#include <QDir>
#include <QMimeData>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{

// A 200 x 100 background: dark grey with its corners cut away in lime.
QImage background()
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(qRgb(50, 50, 60));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10 - y; ++x) {
            image.setPixel(x, y, qRgb(0, 255, 0));
            image.setPixel(199 - x, 99 - y, qRgb(0, 255, 0));
        }
    return image;
}

QImage frames(int count, int width, int height)
{
    QImage image(width * count, height, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(i * width + x, y, qRgb(60 * i, 200, 255 - 60 * i));
    return image;
}

QString writeMask(const QString &dir, const QStringList &keys)
{
    const QString path = dir + QStringLiteral("/test.msk");
    TextFile::writeLines(path, QStringList{QStringLiteral("[Vorlan Mask]")} + keys);
    return path;
}

} // namespace

class SkinnedWindowTest : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        QVERIFY(background().save(m_dir + QStringLiteral("/back.bmp")));
        QVERIFY(frames(2, 8, 12).save(m_dir + QStringLiteral("/thumb.bmp")));
        QVERIFY(frames(4, 20, 20).save(m_dir + QStringLiteral("/play.bmp")));
        QVERIFY(QFile::copy(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif"),
                            m_dir + QStringLiteral("/a.gif")));
    }

    void loadsEveryPartOfAMask()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QSignalSpy colours(&window, &SkinnedWindow::bestColorsLoaded);
        const QString path = writeMask(
            m_dir,
            {"BackImage=back.bmp",    "BackColor=65280",   "SliderThumb=thumb.bmp", "SliderColor=255",
             "SliderKind=horizontal", "TimeFont=14",       "TimeAngle=90",          "VUKind=Grad Vertical",
             "VUColor=16711680",      "PlayBtn=play.bmp",  "PauseBtn=missing.bmp",  "Animated Gif=a.gif",
             "Play Buttom-L=30",      "Play Buttom-T=40",  "Play Buttom-W=20",      "Play Buttom-H=20",
             "Pause Buttom-L=60",     "Pause Buttom-T=40", "Pause Buttom-W=20",     "Pause Buttom-H=20",
             "VU-Meter R-L=150",      "VU-Meter R-T=20",   "VU-Meter R-W=8",        "VU-Meter R-H=60",
             "Slider-L=10",           "Slider-T=10",       "Slider-W=12",           "Slider-H=70",
             "Volume-L=20",           "Volume-T=70",       "Balance-L=100",         "Balance-T=70",
             "BestColor1=255",        "BestColor2=0",      "Author=Tester"});
        QVERIFY(window.LoadMask(path));
        SkinnedFace *face = window.face();

        // The background gives size and outline.
        QCOMPARE(window.size(), QSize(200, 100));
        QVERIFY(window.shaper()->Active());
        QVERIFY(!window.shaper()->region().contains(QPoint(0, 0)));
        QVERIFY(window.shaper()->region().contains(QPoint(100, 50)));
        // Slider: thumb, colour, and "horizontal" in lower case is not "Horizontal".
        QVERIFY(!face->Slider->isHorizontal());
        QCOMPARE(face->Slider->thumbImage().size(), QSize(16, 12));
        QCOMPARE(face->Slider->backColor(), QColor(255, 0, 0));
        QCOMPARE(face->Slider->geometry(), QRect(10, 10, 12, 70));
        // Buttons: a glyph where the file exists; none, but still placed and clickable, where it does not.
        QCOMPARE(face->PlayBtn->geometry(), QRect(30, 40, 20, 20));
        QVERIFY(face->PlayBtn->hasGlyph());
        QVERIFY(!face->PauseBtn->hasGlyph());
        QSignalSpy pause(face, &SkinnedFace::pauseClicked);
        QTest::mouseClick(face->PauseBtn, Qt::LeftButton);
        QCOMPARE(pause.count(), 1);
        // "Grad Vertical": the block gauges stand where the plain meters were placed.
        QVERIFY(face->blockGaugesShown());
        QVERIFY(!face->GVU_R->isHidden() && face->VU_R->isHidden());
        QCOMPARE(face->GVU_R->geometry(), QRect(150, 20, 8, 60));
        // Knobs: the bar's left and the knob's top.
        QCOMPARE(face->VolumeBar->pos(), QPoint(20, 70));
        QCOMPARE(face->BalanceBar->pos(), QPoint(100, 70));
        // An object the mask does not place lies outside the window.
        QVERIFY(face->StopBtn->geometry().right() < 0);
        QVERIFY(face->Title->geometry().bottom() < 0);
        // Best colours and the author line.
        QCOMPARE(colours.count(), 1);
        QCOMPARE(colours.first().at(0).toInt(), 255);
        QVERIFY(face->titleLines().contains(QStringLiteral("Mask Author: Tester")));
        face->setTitleLines({QStringLiteral("Song")});
        QCOMPARE(face->titleLines().first(), QStringLiteral("Song"));
        QVERIFY(face->titleLines().contains(QStringLiteral("Mask Author: Tester")));
        // The loader went away and its bar is back at 0.
        QVERIFY(!window.loader()->isVisible());
        QCOMPARE(window.loader()->ProgressBar()->value(), 0);
    }

    void aMaskWithoutObjectsHidesThemAndMissingFilesChangeNothing()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=back.bmp", "BackColor=65280"})));
        for (int i = 0; i < MaskFile::ObjectCount; ++i) {
            const QRect r = window.face()->objectWidget(MaskFile::Object(i))->geometry();
            QCOMPARE(r.topLeft(), QPoint(-50, -50));
            QVERIFY(!QRect(0, 0, 200, 100).intersects(r));
        }
        QCOMPARE(window.mask().titleFont, 8);
        QVERIFY(!window.LoadMask(m_dir + QStringLiteral("/nothing.msk")));
        QCOMPARE(window.size(), QSize(200, 100));
        // A mask whose background is missing keeps the old picture.
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=gone.bmp", "TitleFont=20"})));
        QCOMPARE(window.size(), QSize(200, 100));
        QCOMPARE(window.shaper()->MaskedPicture()->Picture().size(), QSize(200, 100));
    }

    void picturesThatAreNotFilesNeitherBlockNorLoad()
    {
        // A FIFO in a picture's place would block a plain read for good.
        QVERIFY(::mkfifo(QFile::encodeName(m_dir + QStringLiteral("/fifo.bmp")).constData(), 0600) == 0);
        QDir().mkdir(m_dir + QStringLiteral("/folder.bmp"));
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=back.bmp", "PlayBtn=fifo.bmp",
                                                  "SliderThumb=folder.bmp", "StopBtn=play.bmp"})));
        QVERIFY(!window.face()->PlayBtn->hasGlyph());
        QVERIFY(window.face()->StopBtn->hasGlyph());
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=fifo.bmp"})));
        QCOMPARE(window.size(), QSize(200, 100));

        // Absurd sizes from a file stay within what the window can draw in good time.
        QVERIFY(window.LoadMask(writeMask(
            m_dir, {"TimeFont=100000", "TitleFont=-7", "TimeShodowSize=5000", "TimeShodowDepth=-3"})));
        QVERIFY(window.face()->PlayTime->font().pointSize() <= 144);
        QVERIFY(window.face()->Title->font().pointSize() >= 1);
        QVERIFY(window.face()->PlayTime->shadowSize() <= 20);
        QCOMPARE(window.face()->PlayTime->shadowDepth(), 0);

        // An object the size of a number from the file is no larger than the background: no picture of
        // gigabytes is made for it.
        rusage before;
        ::getrusage(RUSAGE_SELF, &before);
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=back.bmp", "Play Time-W=2000000000",
                                                  "Play Time-H=9999", "Play Time-L=0", "Play Time-T=0"})));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.face()->PlayTime->repaint();
        rusage after;
        ::getrusage(RUSAGE_SELF, &after);
        QCOMPARE(window.face()->PlayTime->size(), QSize(200, 100));
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 100 * 1024,
                 qPrintable(QString::number(after.ru_maxrss)));
    }

    void anAnimationThatWouldTakeGigabytesIsLeftOutAndTheMaskLoads()
    {
        // 2.8 KB that would be 120 frames of 3000 x 3000 pixels: 4 GB kept.
        const QByteArray gif = vorlantest::hugeCanvasGif(3000, 3000, 120);
        QVERIFY(gif.size() < 4096);
        QFile file(m_dir + QStringLiteral("/huge.gif"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size());
        file.close();
        rusage before;
        ::getrusage(RUSAGE_SELF, &before);
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QSignalSpy refused(&window, &SkinnedWindow::pictureRefused);
        QVERIFY(window.LoadMask(writeMask(m_dir, {"BackImage=back.bmp", "Animated Gif=huge.gif",
                                                  "Animated Gif-L=5", "Animated Gif-T=5", "Animated Gif-W=30",
                                                  "Animated Gif-H=30", "StopBtn=play.bmp"})));
        rusage after;
        ::getrusage(RUSAGE_SELF, &after);
        QCOMPARE(refused.count(), 1);
        QVERIFY2(refused.first().at(0).toString().contains(QStringLiteral("huge.gif")),
                 qPrintable(refused.first().at(0).toString()));
        QVERIFY(!window.face()->AniGif->hasPicture());
        QCOMPARE(window.size(), QSize(200, 100));
        QVERIFY(window.face()->StopBtn->hasGlyph());
        // Kilobytes in ru_maxrss: the peak grew by less than 100 MiB, not by gigabytes.
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 100 * 1024,
                 qPrintable(QString::number(after.ru_maxrss)));

        // The same canvas with a single frame, and a small animation of many frames, are within bounds.
        GifAnimator still;
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(vorlantest::hugeCanvasGif(64, 64, 1200));
        file.close();
        QVERIFY(still.setFile(file.fileName()));
        QCOMPARE(still.frameCount(), 1200);
        QVERIFY(still.refusal().isEmpty());
    }

    void aBackgroundThatCannotBeReadWholeGivesWayToTheBuiltInSkin()
    {
        const QString good = m_dir + QStringLiteral("/good.msk");
        QVERIFY(TextFile::writeLines(good, {"[Vorlan Mask]", "BackImage=back.bmp", "StopBtn=play.bmp"}));
        // The background cut in the middle of its rows.
        QFile back(m_dir + QStringLiteral("/back.bmp"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        const QByteArray whole = back.readAll();
        QFile cut(m_dir + QStringLiteral("/cut.bmp"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(whole.left(whole.size() / 2));
        cut.close();
        QVERIFY(MaskFile::readImage(cut.fileName()).isNull());
        QVERIFY(!MaskFile::readImage(back.fileName()).isNull());
        const QString broken = m_dir + QStringLiteral("/broken.msk");
        QVERIFY(TextFile::writeLines(broken, {"[Vorlan Mask]", "BackImage=cut.bmp", "PlayBtn=play.bmp"}));

        SkinnedWindow window;
        window.setFlyOffDelay(0);
        window.setFallbackMask(good);
        QSignalSpy refused(&window, &SkinnedWindow::pictureRefused);
        QVERIFY(window.LoadMask(broken));
        QCOMPARE(refused.count(), 1);
        QVERIFY2(refused.first().at(0).toString().contains(QStringLiteral("cut.bmp")),
                 qPrintable(refused.first().at(0).toString()));
        QCOMPARE(window.maskPath(), good);
        QCOMPARE(window.size(), QSize(200, 100));
        QVERIFY(window.face()->StopBtn->hasGlyph());

        // A mask of random bytes, the first one shown: no grey box, the fallback and a word why.
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise += char((i * 131 + 7) % 256);
        const QString random = m_dir + QStringLiteral("/random.msk");
        QVERIFY(TextFile::writeAtomically(random, noise));
        SkinnedWindow fresh;
        fresh.setFallbackMask(good);
        QSignalSpy told(&fresh, &SkinnedWindow::pictureRefused);
        QVERIFY(fresh.LoadMask(random));
        QCOMPARE(told.count(), 1);
        QCOMPARE(fresh.maskPath(), good);
        QCOMPARE(fresh.size(), QSize(200, 100));
    }

    void theAnimatedPictureFollowsItsHoverMode()
    {
        for (int mode : {1, 2}) {
            SkinnedWindow window;
            window.setFlyOffDelay(0);
            QVERIFY(window.LoadMask(
                writeMask(m_dir, {"BackImage=back.bmp", QStringLiteral("Gif Active=%1").arg(mode),
                                  "Animated Gif=a.gif", "Animated Gif-L=50", "Animated Gif-T=20",
                                  "Animated Gif-W=30", "Animated Gif-H=30"})));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            SkinnedFace *face = window.face();
            QPoint cursor(-1000, -1000);
            face->gifHotspot()->setCursorProvider([&cursor] { return cursor; });
            QVERIFY(face->gifHotspot()->isActive());
            face->gifHotspot()->poll();
            QCOMPARE(face->AniGif->isAnimating(), mode == 1); // mode 2 moves only under the mouse
            cursor = face->mapToGlobal(QPoint(60, 30));
            face->gifHotspot()->poll();
            if (mode == 1) {
                QVERIFY(face->AniGif->isHidden());
            } else {
                QVERIFY(!face->AniGif->isHidden());
                QVERIFY(face->AniGif->isAnimating());
            }
            cursor = QPoint(-1000, -1000);
            face->gifHotspot()->poll();
            QVERIFY(!face->AniGif->isHidden());
            QCOMPARE(face->AniGif->isAnimating(), mode == 1);
        }
    }

    void minimisedTheFaceWaitsAndCatchesUp()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QVERIFY(window.LoadMask(
            writeMask(m_dir, {"BackImage=back.bmp", "Gif Active=1", "Animated Gif=a.gif", "Animated Gif-L=50",
                              "Animated Gif-T=20", "Animated Gif-W=30", "Animated Gif-H=30"})));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SkinnedFace *face = window.face();
        face->setLevels(100, 50);
        QCOMPARE(face->VU_L->Progress(), 100);
        QVERIFY(face->AniGif->isRunning());

        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        face->setLevels(20, 30);
        QCOMPARE(face->VU_L->Progress(), 100);
        QVERIFY(!face->AniGif->isRunning());

        window.showNormal();
        QTRY_VERIFY(!window.isMinimized());
        QCOMPARE(face->VU_L->Progress(), 20);
        QCOMPARE(face->VU_R->Progress(), 30);
        QVERIFY(face->AniGif->isRunning());
    }

    void stayOnTopAndTheWayBackToTheStrip()
    {
        SkinnedWindow window;
        window.setFlyOffDelay(0);
        QVERIFY(window.LoadMask(
            writeMask(m_dir, {"BackImage=back.bmp", "On Top-L=5", "On Top-T=40", "On Top-W=12", "On Top-H=14",
                              "Close-L=180", "Close-T=10", "Close-W=12", "Close-H=12"})));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.onTopCaption(), QStringLiteral(".."));
        QVERIFY(!window.staysOnTop());
        QTest::mouseClick(window.face()->OnTop, Qt::LeftButton);
        QCOMPARE(window.onTopCaption(), QStringLiteral("T"));
        QVERIFY(window.staysOnTop());

        QSignalSpy back(&window, &SkinnedWindow::backToStripRequested);
        QTest::mouseDClick(window.face()->OnTop, Qt::LeftButton);
        QCOMPARE(back.count(), 0); // a double click on a control is not one on the background
        QTest::mouseDClick(window.face(), Qt::LeftButton, {}, QPoint(100, 20));
        QCOMPARE(back.count(), 1);
        QVERIFY(!window.isVisible());

        // Closing flies off, puts the window back where it was, and asks the player to close.
        window.show();
        const QPoint home = window.pos();
        QSignalSpy closing(&window, &SkinnedWindow::closeRequested);
        QTest::mouseClick(window.face()->ExitBtn, Qt::LeftButton);
        QCOMPARE(closing.count(), 1);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.pos(), home);
    }

    void dropsReportTheFilesInOrder()
    {
        SkinnedWindow window;
        QSignalSpy dropped(&window, &SkinnedWindow::filesDropped);
        QSignalSpy entries(&window, &SkinnedWindow::playlistEntryDropped);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/a.mp3")),
                       QUrl::fromLocalFile(QStringLiteral("/music/b.m3u"))});
        QDragEnterEvent dropEnter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &dropEnter);
        QVERIFY(dropEnter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.first().first().toStringList(),
                 QStringList({QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.m3u")}));
        QMimeData entry;
        entry.setData(SkinnedWindow::PlaylistEntriesMimeType, "1");
        QDragEnterEvent dropEntryEnter(QPoint(5, 5), Qt::CopyAction, &entry, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &dropEntryEnter);
        QVERIFY(dropEntryEnter.isAccepted());
        QDropEvent dropEntry(QPointF(5, 5), Qt::CopyAction, &entry, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &dropEntry);
        QCOMPARE(entries.count(), 1);
    }
};

VORLAN_TEST_CLASS(SkinnedWindowTest)
#include "SkinnedWindowTest.moc"
