#include "masker/WizardWindow.h"
#include "MaskerTestKit.h"
#include "masker/ColorPicker.h"
#include "masker/MarkerButton.h"
#include "masker/MaskerStart.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/SaveMaskWindow.h"
#include "masker/TestWindow.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "masks/TFormShaper.h"
#include "platform/FileTypes.h"
#include "platform/TextFile.h"
#include "platform/XdgKeyFile.h"
#include "tests/TestMain.h"
#include "widgets/AngleLabel.h"
#include "widgets/BlockGauge.h"
#include "widgets/Gauge.h"
#include "widgets/GlyphButton.h"
#include "widgets/KnobBar.h"
#include "widgets/ScrollingText.h"
#include "widgets/TFountainFill.h"
#include "widgets/ThumbSlider.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <QGuiApplication>
#include <QScreen>

#include "tests/FullDisk.h"
#include "tests/HugeGif.h"
#include "widgets/GifAnimator.h"

using namespace maskertest;

namespace
{

// The keys of the mask's section in the order they lie in the file.
QStringList keysOf(const QString &path)
{
    QStringList keys;
    for (const QString &line : TextFile::readLines(path))
        if (line.contains('=') && !line.startsWith('['))
            keys << line.section('=', 0, 0);
    return keys;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString valueOf(const QString &path, const QString &key)
{
    for (const QString &line : TextFile::readLines(path))
        if (line.section('=', 0, 0) == key)
            return line.section('=', 1);
    return QStringLiteral("<missing>");
}

} // namespace

class WizardWindowTest : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        writeImages(m_dir);
    }

    void startsWithItsStepsMenuAndPreselections()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        QCOMPARE(w.BannerLabel->text(),
                 QStringLiteral("Hi, please follow the eight steps to make a great mask, it will be easy. "));
        QStringList tabs;
        for (int i = 0; i < w.Pages->count(); ++i)
            tabs << w.Pages->tabText(i);
        // The extras, optional, follow the buttons' step.
        QCOMPARE(tabs, QStringList({"Step 1", "Step 2", "Step 3", "Step 4", " Step 5", "Step 6", "Extras",
                                    "Step 7", "Step 8", "Finish"}));
        QCOMPARE(w.CP1->value(), 32896);
        QCOMPARE(w.SliderWay->itemIndex(), 1);
        QCOMPARE(w.Objects->count(), 22 + 2); // the standard objects, then the two bars
        QCOMPARE(w.Objects->currentText(), QStringLiteral("Slider"));
        QCOMPARE(w.FontSize->currentText(), QStringLiteral("12"));
        QCOMPARE(w.TitleFontSize->currentText(), QStringLiteral("10"));
        QCOMPARE(w.FontSize->count(), 12); // 8 .. 30 in steps of 2
        QCOMPARE(w.CP5->value(), int32_t(0x80000010u));
        QCOMPARE(w.VUKind->currentText(), QStringLiteral("Horizontal"));
        QCOMPARE(w.BCP1->value(), 8388608);
        QCOMPARE(w.ActiveGif->itemIndex(), 0);
        QCOMPARE(w.SL->minimum(), -50);
        QCOMPARE(w.SW->minimum(), 1);
        QCOMPARE(w.SW->maximum(), MaskFile::MaxObjectSide); // until a background bounds it
        QCOMPARE(w.Shadow_S->maximum(), 20);
        // The fields show the selected object's marker from the start.
        QCOMPARE(w.SW->value(), w.placement()->marker(MaskFile::Slider)->width());

        // The dialogs start in "Masks" with their filters.
        w.LoadBackImage->click();
        w.LoadMaskAction->trigger();
        w.Button1->click();
        QCOMPARE(answers.openDirs, QStringList({m_dir, m_dir, m_dir}));
        QCOMPARE(answers.openFilters,
                 QStringList({"Piture (*.bmp)", "Vorlan Masks (*.msk)", "Animated GIF (*.gif)"}));
        // Cancelled dialogs change nothing.
        QCOMPARE(w.BackImage->text(), QString());
        QVERIFY(!w.placement()->isVisible());
    }

    void aMaskMadeInTheWizardComesBackWhole()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        const MaskFile made = w.document().mask();
        // No object can be made larger than the 240 x 120 background it is placed on.
        QCOMPARE(w.SW->maximum(), 240);
        QCOMPARE(w.SH->maximum(), 120);

        // Saving: the author prompt, the proposed name, the question afterwards.
        w.SaveTheMask->click();
        QVERIFY(w.saveWindow()->isVisible());
        w.saveWindow()->Author->setText("Tester");
        const QString path = m_dir + "/mine.msk";
        answers.saveFiles << path;
        w.saveWindow()->SaveBtn->click();
        QCOMPARE(answers.saveProposals, QStringList{"VorlanMask.msk"});
        QCOMPARE(answers.questions, QStringList{"Do you want test your last saved mask?"});
        QVERIFY(!w.saveWindow()->isVisible());
        QVERIFY(!w.testWindow()->isVisible()); // answered No

        // The file: bare image names, the writer's key order, no "TimeColor".
        const QStringList keys = keysOf(path);
        QCOMPARE(keys.size(), 24 + 22 * 4 + 7);
        QCOMPARE(keys.mid(0, 4), QStringList({"BackImage", "BackColor", "SliderThumb", "SliderColor"}));
        QCOMPARE(keys.mid(24, 4), QStringList({"Slider-W", "Slider-H", "Slider-T", "Slider-L"}));
        QCOMPARE(keys.mid(keys.size() - 7), QStringList({"Volume-L", "Volume-T", "Balance-L", "Balance-T",
                                                         "BestColor1", "BestColor2", "Author"}));
        QCOMPARE(valueOf(path, "BackImage"), QStringLiteral("back.bmp"));
        QCOMPARE(valueOf(path, "PlayBtn"), QStringLiteral("play.bmp"));
        QCOMPARE(valueOf(path, "PauseBtn"), QString());
        QCOMPARE(valueOf(path, "Animated Gif"), QStringLiteral("anim.gif"));
        QCOMPARE(valueOf(path, "VUKind"), QStringLiteral("Grad Vertical"));
        QCOMPARE(valueOf(path, "SliderKind"), QStringLiteral("Vertical"));
        QCOMPARE(valueOf(path, "Gif Active"), QStringLiteral("2"));
        QCOMPARE(valueOf(path, "Author"), QStringLiteral("Tester"));
        QVERIFY(!keys.contains("TimeColor"));

        // A fresh wizard loads every field back.
        Answers answers2;
        WizardWindow fresh(m_dir, dialogsFor(answers2));
        answers2.openFiles << path;
        fresh.LoadMaskAction->trigger();
        MaskFile expected = made;
        expected.author = "Tester";
        expected.path = path;
        QCOMPARE(fresh.document().mask(), expected);
        QCOMPARE(fresh.BackImage->text(), QStringLiteral("back.bmp"));
        QCOMPARE(fresh.ThumbName->text(), QStringLiteral("thumb.bmp"));
        QCOMPARE(fresh.CP1->value(), 65280);
        QCOMPARE(fresh.SliderWay->itemIndex(), 0);
        QCOMPARE(fresh.FontSize->currentText(), QStringLiteral("16"));
        QCOMPARE(fresh.TitleFontSize->currentText(), QStringLiteral("14"));
        QCOMPARE(fresh.VUKind->currentIndex(), 4);
        QCOMPARE(fresh.ActiveGif->itemIndex(), 2);
        QCOMPARE(fresh.saveWindow()->Author->text(), QStringLiteral("Tester"));
        QCOMPARE(fresh.ButtonPickers[MaskFile::PlayBtn]->toolTip(), QStringLiteral("play.bmp"));
        // The placement window is shaped by the loaded background and colour, and shown.
        QVERIFY(fresh.placement()->isVisible());
        QCOMPARE(fresh.placement()->size(), QSize(240, 120));
        QCOMPARE(fresh.placement()->maskColor(), 65280);
        QVERIFY(!fresh.placement()->FormShaper1->region().contains(QPoint(0, 0)));
        QVERIFY(fresh.placement()->FormShaper1->region().contains(QPoint(120, 60)));
        for (int o = 0; o < MaskFile::ObjectCount; ++o)
            QCOMPARE(fresh.placement()->marker(MaskFile::Object(o))->geometry(),
                     w.placement()->marker(MaskFile::Object(o))->geometry());
        QVERIFY(!fresh.placement()->marker(MaskFile::PlayButtom)->picture().isNull());
        QCOMPARE(fresh.placement()->Balance->pos(), QPoint(150, 95));

        // Saving again into the same file keeps a key someone else put there.
        TextFile::writeLines(path, TextFile::readLines(path) << "Comment=by hand");
        answers2.saveFiles << path;
        fresh.SaveMaskAction->trigger();
        QVERIFY(fresh.saveWindow()->SaveBtnClick());
        QCOMPARE(valueOf(path, "Comment"), QStringLiteral("by hand"));
        QCOMPARE(MaskFile::load(path, MaskReader::EditorLoad).objects, made.objects);
    }

    void theSavedMaskDressesThePlayerWhereItWasPlaced()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        const QString path = m_dir + "/player.msk";
        QVERIFY(w.document().save(path));

        SkinnedWindow player;
        player.setFlyOffDelay(0);
        QVERIFY(player.LoadMask(path));
        SkinnedFace *face = player.face();
        for (int o = 0; o < MaskFile::ObjectCount; ++o)
            QCOMPARE(face->objectWidget(MaskFile::Object(o))->geometry(),
                     w.placement()->marker(MaskFile::Object(o))->geometry());
        QCOMPARE(face->PlayBtn->geometry(), QRect(120, 70, 20, 24));
        QCOMPARE(face->VolumeBar->pos(), QPoint(20, 95));
        QCOMPARE(face->BalanceBar->pos(), QPoint(150, 95));
        QCOMPARE(player.size(), QSize(240, 120));
        QVERIFY(!player.shaper()->region().contains(QPoint(1, 60))); // the lime border is cut away
        QVERIFY(player.shaper()->region().contains(QPoint(120, 60)));

        // What the user sees: the play button's first frame where it was placed.
        player.show();
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        const QImage shown = player.grab().toImage();
        QCOMPARE(shown.pixel(130, 82) & 0xFFFFFF, frameColor(0) & 0xFFFFFF);
    }

    void theSaveWritesTheDocumentTheControlsEdited()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        fillWizard(w, answers, m_dir);
        w.saveWindow()->Author->setText("Tester");
        // Each control has put its value into the document as it changed.
        const MaskFile &edited = w.document().mask();
        QCOMPARE(edited.backImage, QStringLiteral("back.bmp"));
        QCOMPARE(edited.backColor, 65280);
        QCOMPARE(edited.sliderKind, QStringLiteral("Vertical"));
        QCOMPARE(edited.timeFont, 16);
        QCOMPARE(edited.titleFont, 14);
        QCOMPARE(edited.vuKind, QStringLiteral("Grad Vertical"));
        QCOMPARE(edited.gifActive, 2);
        QCOMPARE(edited.buttonImages[MaskFile::LoopBtn], QStringLiteral("loop.bmp"));
        QCOMPARE(edited.objects[MaskFile::PlayButtom], (MaskGeometry{20, 24, 70, 120}));
        QCOMPARE(edited.objects[MaskFile::SongTitle], (MaskGeometry{11, 6, 6, 4}));
        QCOMPARE(QPoint(edited.volumeLeft, edited.volumeTop), QPoint(20, 95));
        QCOMPARE(QPoint(edited.balanceLeft, edited.balanceTop), QPoint(150, 95));
        QCOMPARE(edited.author, QStringLiteral("Tester"));

        // The save dialog writes exactly the document.
        const QString saved = m_dir + "/saved.msk", direct = m_dir + "/direct.msk";
        answers.saveFiles << saved;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        QVERIFY(w.document().save(direct));
        QVERIFY(!bytesOf(saved).isEmpty());
        QCOMPARE(bytesOf(saved), bytesOf(direct));

        // Loaded, the mask fills the controls; saved again unchanged, it writes the same keys and values.
        Answers answers2;
        WizardWindow fresh(m_dir, dialogsFor(answers2));
        QVERIFY(fresh.LoadMask(saved));
        QCOMPARE(fresh.PlayTime_A->value(), 15);
        QCOMPARE(fresh.Shadow_D->value(), 3);
        QCOMPARE(fresh.CP4->value(), 16744448);
        const QString again = m_dir + "/again.msk";
        answers2.saveFiles << again;
        QVERIFY(fresh.saveWindow()->SaveBtnClick());
        QCOMPARE(bytesOf(again), bytesOf(saved));

        // An edit after loading reaches the file, and only that key changes.
        fresh.CP2->setValue(123);
        MarkerButton *close = fresh.placement()->marker(MaskFile::Close);
        const QPoint closeFrom = close->pos();
        drag(close, QPoint(2, 2), QPoint(7, 5));
        const QString edits = m_dir + "/edits.msk";
        answers2.saveFiles << edits;
        QVERIFY(fresh.saveWindow()->SaveBtnClick());
        QCOMPARE(keysOf(edits), keysOf(saved));
        QStringList changed;
        for (const QString &key : keysOf(saved))
            if (valueOf(edits, key) != valueOf(saved, key))
                changed << key + "=" + valueOf(edits, key);
        QCOMPARE(changed, QStringList({"SliderColor=123", QStringLiteral("Close-T=%1").arg(closeFrom.y() + 5),
                                       QStringLiteral("Close-L=%1").arg(closeFrom.x() + 7)}));
    }

    void aLoadedValueTheControlsCannotHoldIsSavedAsTheyShowIt()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        const QString path = m_dir + "/odd.msk";
        TextFile::writeLines(path,
                             {"[Vorlan Mask]", "BackImage=BACK.BMP", "SliderKind=sideways", "TimeAngle=500",
                              "TimeShodowSize=-3", "VUKind=Spiral", "Gif Active=7", "Slider-W=-4"});
        QVERIFY(w.LoadMask(path));
        // The field shows the name as written; the picture found beside the mask is saved by its own name.
        QCOMPARE(w.BackImage->text(), QStringLiteral("BACK.BMP"));
        QCOMPARE(w.PlayTime_A->value(), 360);
        QCOMPARE(w.Shadow_S->value(), 0);
        QCOMPARE(w.VUKind->currentText(), QStringLiteral("Horizontal"));
        QCOMPARE(w.ActiveGif->itemIndex(), 0);
        QCOMPARE(w.SliderWay->itemIndex(), 0);
        const QString saved = m_dir + "/odd-saved.msk";
        answers.saveFiles << saved;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        QCOMPARE(valueOf(saved, "BackImage"), QStringLiteral("back.bmp"));
        QCOMPARE(valueOf(saved, "SliderKind"), QStringLiteral("Vertical"));
        QCOMPARE(valueOf(saved, "TimeAngle"), QStringLiteral("360"));
        QCOMPARE(valueOf(saved, "TimeShodowSize"), QStringLiteral("0"));
        QCOMPARE(valueOf(saved, "VUKind"), QStringLiteral("Horizontal"));
        QCOMPARE(valueOf(saved, "Gif Active"), QStringLiteral("0"));
        QCOMPARE(valueOf(saved, "Slider-W"), QStringLiteral("0"));
    }

    void noBackgroundWritesAnEmptyBackImage()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        const QString path = m_dir + "/bare.msk";
        answers.saveFiles << path;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        QCOMPARE(keysOf(path).first(), QStringLiteral("BackImage"));
        QCOMPARE(valueOf(path, "BackImage"), QString());
        QCOMPARE(valueOf(path, "SliderThumb"), QString());
        QCOMPARE(valueOf(path, "Author"), QStringLiteral("Nuri Calvat"));
        // A name without ".msk" gets it, as the dialog's default extension.
        answers.saveFiles << m_dir + "/noext";
        QVERIFY(w.saveWindow()->SaveBtnClick());
        QVERIFY(QFileInfo(m_dir + "/noext.msk").isFile());
        // A file that cannot be written is said so, and nothing is offered to test.
        answers.questions.clear();
        answers.saveFiles << m_dir + "/no-such-folder/x.msk";
        QVERIFY(!w.saveWindow()->SaveBtnClick());
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.questions.isEmpty());
        // Cancel writes nothing.
        answers.saveFiles.clear();
        QVERIFY(!w.saveWindow()->SaveBtnClick());
    }

    void aFullDiskKeepsTheSavedMaskAndAHugeAnimationIsRefused()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        // A picture whose frames would take gigabytes is refused when picked, with a message naming it.
        const QString huge = m_dir + QStringLiteral("/huge.gif");
        QFile gif(huge);
        QVERIFY(gif.open(QIODevice::WriteOnly));
        gif.write(vorlantest::hugeCanvasGif(3000, 3000, 120));
        gif.close();
        answers.openFiles << huge;
        w.Button1Click();
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY2(answers.messages.first().contains(QStringLiteral("huge.gif")),
                 qPrintable(answers.messages.first()));
        QVERIFY(!w.GifPreview->hasPicture());

        // A mask saved before stays whole when the disk is full at the next save, which says so.
        const QString full = m_dir + QStringLiteral("/full");
        QVERIFY(QDir().mkpath(full));
        vorlantest::FullDisk disk(full);
        const QString path = full + QStringLiteral("/mine.msk");
        answers.saveFiles << path;
        QVERIFY(w.saveWindow()->SaveBtnClick());
        const QByteArray saved = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        QVERIFY(saved.contains("BackImage"));
        disk.fill();
        answers.messages.clear();
        answers.saveFiles << path;
        {
            vorlantest::FileSizeLimit limit(!disk.mounted());
            QVERIFY(!w.saveWindow()->SaveBtnClick());
        }
        QCOMPARE(answers.messages.size(), 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), saved);
        QCOMPARE(QDir(full).entryList(QDir::Files).size(),
                 disk.mounted() ? 2 : 1); // the mask (and the filler)
    }

    void everyPictureDialogOpensWhereTheLastPictureWasPicked()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        const QString art = vorlantest::tempDir();
        writeImages(art);
        // The first in "Masks"; after a picture from another folder, there; a cancelled one changes nothing.
        answers.openFiles << art + "/back.bmp";
        w.LoadBackImage->click();
        answers.openFiles << QString();
        w.LoadSliderThumb->click();
        answers.openFiles << art + "/anim.gif";
        w.Button1->click();
        w.LoadBackImage->click();
        QCOMPARE(answers.openDirs, QStringList({m_dir, art, art, art}));
    }

    void thePlacementWindowComesUpBesideTheWizardAndSaysHowItMoves()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        // The wizard in the middle of the screen, where the placement window would be centred over it.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        w.resize(area.width() / 2, area.height() / 2);
        w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.setBackgroundFile(m_dir + "/back.bmp"));
        QVERIFY(w.placement()->isVisible());
        QVERIFY(!w.placement()->frameGeometry().intersects(w.frameGeometry()));
        QVERIFY(area.contains(w.placement()->geometry()));
        QVERIFY(w.placement()->BackImage->toolTip().contains(
            QStringLiteral("Drag this window by its background")));
    }

    void anEightyPixelGlyphGivesATwentyPixelButton()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        answers.openFiles << m_dir + "/play.bmp";
        w.ButtonPickers[MaskFile::PlayBtn]->click();
        MarkerButton *marker = w.placement()->marker(MaskFile::PlayButtom);
        QCOMPARE(marker->size(), QSize(20, 24));
        QCOMPARE(w.ButtonPickers[MaskFile::PlayBtn]->toolTip(), QStringLiteral("play.bmp"));
        w.Objects->setCurrentIndex(MaskFile::PlayButtom);
        QCOMPARE(w.SW->value(), 20);
        QCOMPARE(w.SH->value(), 24);
        // A button keeps its picture's size, and the user is told why.
        w.SW->setValue(50);
        QCOMPARE(marker->size(), QSize(20, 24));
        QCOMPARE(w.SW->value(), 20);
        QCOMPARE(answers.messages, QStringList{WizardWindow::ButtonSizeMessage});
        // Its place still follows the fields.
        w.SL->setValue(33);
        QCOMPARE(marker->pos().x(), 33);
        // A picture that is not four frames wide is refused.
        QImage(3, 10, QImage::Format_RGB32).save(m_dir + "/thin.bmp");
        answers.openFiles << m_dir + "/thin.bmp";
        w.ButtonPickers[MaskFile::PlayBtn]->click();
        QCOMPARE(marker->size(), QSize(20, 24));
        QCOMPARE(w.document().mask().buttonImages[MaskFile::PlayBtn], QStringLiteral("play.bmp"));
    }

    void releasingOnAMarkerShowsTheSelectedObject()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        w.Objects->setCurrentIndex(MaskFile::Slider);
        w.SW->setValue(150);
        w.SH->setValue(14);
        w.SL->setValue(7);
        w.ST->setValue(9);
        MarkerButton *play = w.placement()->marker(MaskFile::PlayButtom);
        const QRect playBefore = play->geometry();
        // The user drags "Play" while "Slider" is chosen: the fields show the slider, the play marker moved.
        drag(play, QPoint(5, 5), QPoint(30, 12));
        QCOMPARE(play->geometry(), playBefore.translated(30, 12));
        QCOMPARE(w.SW->value(), 150);
        QCOMPARE(w.SH->value(), 14);
        QCOMPARE(w.SL->value(), 7);
        QCOMPARE(w.ST->value(), 9);
        QCOMPARE(w.placement()->marker(MaskFile::Slider)->geometry(), QRect(7, 9, 150, 14));
        // Choosing "Play Buttom" then shows where it was dragged.
        w.Objects->setCurrentIndex(MaskFile::PlayButtom);
        QCOMPARE(w.SL->value(), playBefore.x() + 30);
        QCOMPARE(w.ST->value(), playBefore.y() + 12);
    }

    void negativePositionsAreSavedAndHideTheObject()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        w.Objects->setCurrentIndex(MaskFile::StopButtom);
        w.SL->setValue(-30);
        w.ST->setValue(-80); // the field stops at -50
        QCOMPARE(w.placement()->marker(MaskFile::StopButtom)->pos(), QPoint(-30, -50));
        // A marker dragged off the top left keeps its negative place too.
        MarkerButton *about = w.placement()->marker(MaskFile::About);
        const QPoint aboutFrom = about->pos();
        drag(about, QPoint(2, 2), QPoint(-aboutFrom.x() - 12, -aboutFrom.y() - 6));
        QCOMPARE(about->pos(), QPoint(-12, -6));
        const QString path = m_dir + "/hidden.msk";
        QVERIFY(w.document().save(path));
        QCOMPARE(valueOf(path, "Stop Buttom-L"), QStringLiteral("-30"));
        QCOMPARE(valueOf(path, "Stop Buttom-T"), QStringLiteral("-50"));
        QCOMPARE(valueOf(path, "About-L"), QStringLiteral("-12"));
        QCOMPARE(valueOf(path, "About-T"), QStringLiteral("-6"));
        SkinnedWindow player;
        player.setFlyOffDelay(0);
        QVERIFY(player.LoadMask(path));
        QCOMPARE(player.face()->StopBtn->pos(), QPoint(-30, -50));
        QVERIFY(!player.face()->rect().intersects(player.face()->StopBtn->geometry()));
    }

    void loadMaskUsesTheEditorsDefaults()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        QVERIFY(!w.LoadMask(m_dir + "/none.msk"));
        QCOMPARE(w.BackImage->text(), QString());
        const QString path = m_dir + "/sparse.msk";
        TextFile::writeLines(path, {"[Vorlan Mask]", "BackImage=back.bmp", "BackColor=65280"});
        QVERIFY(w.LoadMask(path));
        for (int o = 0; o < MaskFile::ObjectCount; ++o)
            QCOMPARE(w.placement()->marker(MaskFile::Object(o))->geometry(), QRect(0, 0, 0, 0));
        QCOMPARE(w.placement()->Volume->pos(), QPoint(0, 0));
        QCOMPARE(w.TitleFontSize->currentText(), QStringLiteral("12"));
        QCOMPARE(w.saveWindow()->Author->text(), QStringLiteral("Nuri Calvat"));
        QCOMPARE(w.BCP1->value(), 16711680);
        // A marker of size 0 still writes 0, not the field's least value.
        QCOMPARE(w.document().mask().objects[MaskFile::Slider], (MaskGeometry{0, 0, 0, 0}));
        // A picture the mask names but that is not beside it keeps its name.
        TextFile::writeLines(path, {"[Vorlan Mask]", "PlayBtn=gone.bmp", "SliderKind=horizontal"});
        QVERIFY(w.LoadMask(path));
        QCOMPARE(w.document().mask().buttonImages[MaskFile::PlayBtn], QStringLiteral("gone.bmp"));
        QCOMPARE(w.SliderWay->itemIndex(), 0); // only "Horizontal" exactly is horizontal
    }

    void previewsFollowTheFields()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        // At start the plain meter is previewed, the block meter hidden.
        QVERIFY(!w.GaugePreview->isHidden());
        QVERIFY(w.GradGaugePreview->isHidden());
        w.PlayTime_A->setValue(30);
        QCOMPARE(w.TimePreview->angle(), 30);
        w.Shadow_S->setValue(4);
        QCOMPARE(w.TimePreview->shadowSize(), 4);
        w.CP5->setValue(255);
        QCOMPARE(w.TimePreview->shadowColor(), QColor(255, 0, 0));
        w.CP3->setValue(65280);
        QCOMPARE(w.TitlePreview->backColor(), QColor(0, 255, 0));
        w.VUKind->setCurrentIndex(2);
        QCOMPARE(w.GaugePreview->kind(), Gauge::Pie);
        w.CP4->setValue(16711680);
        QCOMPARE(w.GaugePreview->BackColor(), QColor(0, 0, 255));
        QCOMPARE(w.GradGaugePreview->controlColor(), QColor(0, 0, 255));
        w.VUKind->setCurrentIndex(4);
        QVERIFY(w.GaugePreview->isHidden());
        QVERIFY(!w.GradGaugePreview->isHidden());
        w.BCP1->setValue(255);
        QCOMPARE(w.GradientPreview->FromColor(), QColor(255, 0, 0));
        QCOMPARE(w.TimePreview->textColor(), QColor(255, 0, 0));
        // The thumb picked in step 2 is the preview slider's, and the slider turns with "SliderWay".
        answers.openFiles << m_dir + "/thumb.bmp";
        w.LoadSliderThumb->click();
        QCOMPARE(w.SliderPreview->thumbImage().size(), QSize(20, 14));
        w.SliderWay->setItemIndex(0);
        QVERIFY(!w.SliderPreview->isHorizontal());
    }

    void theSamplesOpenInTheWizard()
    {
        const QString home = vorlantest::tempDir();
        const QString masks = MaskerStart::prepareMasksDir(home);
        QCOMPARE(masks, home + "/Masks");
        QVERIFY(QFileInfo(masks + "/Ember.msk").isFile());
        // Deleted by the user, a sample stays deleted.
        QVERIFY(QFile::remove(masks + "/Ember.msk"));
        MaskerStart::prepareMasksDir(home);
        QVERIFY(!QFileInfo(masks + "/Ember.msk").exists());

        Answers answers;
        WizardWindow w(masks, dialogsFor(answers));
        answers.openFiles << masks + "/Tower.msk";
        w.LoadMaskAction->trigger();
        QCOMPARE(w.BackImage->text(), QStringLiteral("tower-back.bmp"));
        QVERIFY(!w.placement()->background().isNull());
        QCOMPARE(w.placement()->size(), w.placement()->background().size());
    }

    void registersMasksForTheDesktop()
    {
        const QString data = vorlantest::tempDir(), config = vorlantest::tempDir();
        FileTypes types(data, config);
        types.setRunDatabaseTools(false);
        QVERIFY(MaskerStart::registerMaskType(types, "/opt/vorlan/vorlanmasker"));
        XdgKeyFile desktop;
        QVERIFY(desktop.load(data + "/applications/vorlan-mask.desktop"));
        QCOMPARE(desktop.value("Desktop Entry", "Exec"), QStringLiteral("\"/opt/vorlan/vorlanmasker\" %f"));
        QCOMPARE(desktop.list("Desktop Entry", "MimeType"), QStringList{"application/x-vorlan-mask"});
        QCOMPARE(desktop.value("Desktop Entry", "Comment"), QStringLiteral("Vorlan Mask File"));
        const QStringList package = TextFile::readLines(data + "/mime/packages/x-vorlan-mask.xml");
        QVERIFY(package.join('\n').contains("pattern=\"*.msk\""));
        XdgKeyFile defaults;
        QVERIFY(defaults.load(config + "/mimeapps.list"));
        QCOMPARE(defaults.list("Default Applications", "application/x-vorlan-mask").value(0),
                 QStringLiteral("vorlan-mask.desktop"));
        // Every start writes it again; a moved program is found at its new place.
        QVERIFY(MaskerStart::registerMaskType(types, "/usr/bin/vorlanmasker"));
        QVERIFY(desktop.load(data + "/applications/vorlan-mask.desktop"));
        QCOMPARE(desktop.value("Desktop Entry", "Exec"), QStringLiteral("\"/usr/bin/vorlanmasker\" %f"));
    }
};

VORLAN_TEST_CLASS(WizardWindowTest)
#include "WizardWindowTest.moc"
