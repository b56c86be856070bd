#include "masker/TestWindow.h"
#include "MaskerTestKit.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/SaveMaskWindow.h"
#include "masker/WizardWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/TFormShaper.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GifAnimator.h"
#include "widgets/GlyphButton.h"
#include "widgets/HoverWatcher.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include <QGuiApplication>
#include <QLineEdit>

#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace maskertest;

class TestWindowTest : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        writeImages(m_dir);
    }

    void showsTheSavedMaskWithItsExtras()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        // A large wizard at the top left: the placement window goes beside it, the test window beside both.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        w.resize(area.width() / 2, area.height() * 2 / 3);
        w.move(area.topLeft());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fillWizard(w, answers, m_dir);
        const QString path = m_dir + "/t.msk";
        answers.saveFiles << path;
        answers.testAfterSave = true;
        w.saveWindow()->Author->setText("Tester");
        QVERIFY(w.saveWindow()->SaveBtnClick());

        // Yes to the question opens the saved mask in the test window.
        TestWindow *t = w.testWindow();
        QVERIFY(t->isVisible());
        // Beside the wizard and the placement window, over neither.
        QVERIFY(w.placement()->isVisible());
        QVERIFY(!t->frameGeometry().intersects(w.placement()->frameGeometry()));
        QVERIFY(!t->frameGeometry().intersects(w.frameGeometry()));
        QCOMPARE(t->mask().path, path);
        QCOMPARE(t->size(), QSize(240, 120));
        QVERIFY(!t->shaper()->region().contains(QPoint(1, 1)));
        SkinnedFace *face = t->face();
        QCOMPARE(face->titleLines(), QStringList({"VorlanMasker Test", "Author: Tester"}));
        QCOMPARE(face->PlayBtn->geometry(), QRect(120, 70, 20, 24));
        // "Grad Vertical" shows the block meters, in the meter colour (the player keeps them black).
        QVERIFY(face->blockGaugesShown());
        QCOMPARE(face->GVU_R->controlColor(), QColor(0, 128, 255)); // 16744448
        QCOMPARE(face->GVU_L->controlColor(), QColor(0, 128, 255));
        // The best colours: red and yellow.
        QCOMPARE(t->bestColor1(), QColor(255, 0, 0));
        QCOMPARE(t->bestColor2(), QColor(255, 255, 0));
        QCOMPARE(face->VU_R->ForeColor(), QColor(255, 0, 0));
        QCOMPARE(face->GVU_L->barColor(), QColor(255, 0, 0));
        QCOMPARE(face->GVU_L->lowColor(), QColor(255, 255, 0));
        QCOMPARE(face->Title->textColor(), QColor(255, 0, 0));
        QCOMPARE(face->PlayTime->textColor(), QColor(255, 0, 0));
        QCOMPARE(face->VolumeBar->restColor(), QColor(255, 0, 0));

        // Its buttons play nothing: only the close button does something, it closes the window.
        QSignalSpy played(face, &SkinnedFace::playClicked);
        QTest::mouseClick(face->PlayBtn, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(played.size(), 1); // the face reports it; nobody in the editor listens
        QVERIFY(t->isVisible());
        face->ExitBtn->click();
        QVERIFY(!t->isVisible());
    }

    void comesUpWhollyOnScreenBesideTheWizardForEveryMask()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // The wizard on the left half; a wide mask, then a tall one.
        const QRect wizard(area.left(), area.top(), area.width() / 2, area.height() / 2);
        QImage wide(area.width() / 3, 60, QImage::Format_RGB32),
            tall(120, area.height() * 4 / 5, QImage::Format_RGB32);
        wide.fill(Qt::darkBlue);
        tall.fill(Qt::darkRed);
        QVERIFY(wide.save(m_dir + "/wide.bmp") && tall.save(m_dir + "/tall.bmp"));
        TestWindow t;
        t.setNeighbour(wizard);
        for (const char *back : {"wide.bmp", "tall.bmp", "wide.bmp"}) {
            const QString mask = m_dir + "/shape.msk";
            QVERIFY(TextFile::writeLines(mask, {"[Vorlan Mask]", QStringLiteral("BackImage=") + back}));
            QVERIFY(t.TestMask(mask));
            QVERIFY2(area.contains(t.geometry()), back);
            QVERIFY2(!t.geometry().intersects(wizard), back);
        }
    }

    void usesTheTestWindowsDefaultsAndTimeColor()
    {
        const QString path = m_dir + "/sparse.msk";
        TextFile::writeLines(path, {"[Vorlan Mask]", "BackImage=back.bmp", "BackColor=65280",
                                    "TimeColor=65535", "Play Buttom-L=30"});
        TestWindow t;
        QVERIFY(!t.TestMask(m_dir + "/none.msk"));
        QVERIFY(!t.isVisible());
        QVERIFY(t.TestMask(path));
        // Missing keys: objects outside the window, the title in 12 points, the author's default.
        QCOMPARE(t.face()->PlayBtn->pos(), QPoint(30, -50));
        QCOMPARE(t.face()->StopBtn->pos(), QPoint(-50, -50));
        QCOMPARE(t.mask().titleFont, 12);
        QCOMPARE(t.face()->titleLines(), QStringList({"VorlanMasker Test", "Author: Nuri Calvat"}));
        // "TimeColor", which no other reader takes, colours the time label.
        QCOMPARE(t.face()->PlayTime->textColor(), QColor(255, 255, 0));
        QCOMPARE(t.bestColor1(), QColor(0, 0, 255));
    }

    void aMaskWithAShapeIsCutByIt()
    {
        writeExtras(m_dir);
        const QString path = m_dir + "/shaped.msk";
        TextFile::writeLines(path,
                             {"[Vorlan Mask]", "BackImage=back.bmp", "BackColor=65280", "Shape=shape.txt"});
        TestWindow t;
        QVERIFY(t.TestMask(path));
        QVERIFY(t.isVisible());
        // The shape, not the lime border, is the outline: the lower left corner is cut, the border kept.
        const QRegion outline = t.QWidget::mask();
        QVERIFY(outline.contains(QPoint(120, 60)));
        QVERIFY(outline.contains(QPoint(1, 60)));
        QVERIFY(!outline.contains(QPoint(2, 117)));
        // The next mask without one is cut by its colour again.
        TextFile::writeLines(path, {"[Vorlan Mask]", "BackImage=back.bmp", "BackColor=65280"});
        QVERIFY(t.TestMask(path));
        QVERIFY(!t.QWidget::mask().contains(QPoint(1, 60)));
        QVERIFY(t.QWidget::mask().contains(QPoint(120, 60)));
    }

    void theGifUnderTheMouse()
    {
        for (int mode : {0, 1, 2}) {
            const QString path = m_dir + QStringLiteral("/gif%1.msk").arg(mode);
            TextFile::writeLines(path, {"[Vorlan Mask]", "BackImage=back.bmp", "Animated Gif=anim.gif",
                                        QStringLiteral("Gif Active=%1").arg(mode), "Animated Gif-L=50",
                                        "Animated Gif-T=20", "Animated Gif-W=30", "Animated Gif-H=30"});
            TestWindow t;
            QVERIFY(t.TestMask(path));
            QVERIFY(QTest::qWaitForWindowExposed(&t));
            SkinnedFace *face = t.face();
            QPoint cursor(-1000, -1000);
            face->gifHotspot()->setCursorProvider([&cursor] { return cursor; });
            QCOMPARE(face->gifHotspot()->isActive(), mode != 0);
            face->gifHotspot()->poll();
            QVERIFY(face->AniGif->isVisible());
            QCOMPARE(face->AniGif->isAnimating(), mode != 2);
            cursor = face->mapToGlobal(QPoint(60, 30));
            face->gifHotspot()->poll();
            // 1: hidden under the mouse; 2: moves only there; 0: the watcher is off.
            QCOMPARE(face->AniGif->isVisible(), mode != 1);
            QCOMPARE(face->AniGif->isAnimating(), true);
            cursor = QPoint(-1000, -1000);
            face->gifHotspot()->poll();
            QVERIFY(face->AniGif->isVisible());
            QCOMPARE(face->AniGif->isAnimating(), mode != 2);
        }
    }
};

VORLAN_TEST_CLASS(TestWindowTest)
#include "TestWindowTest.moc"
