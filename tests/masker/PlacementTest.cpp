#include "MaskerTestKit.h"
#include "masker/ColorPicker.h"
#include "masker/MarkerButton.h"
#include "masker/PlacementWindow.h"
#include "masker/SaveMaskWindow.h"
#include "masker/WizardWindow.h"
#include "masks/TFormShaper.h"
#include "tests/TestMain.h"
#include "widgets/ScrollingText.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace maskertest;

class PlacementTest : public QObject
{
    Q_OBJECT

    QString m_dir;

    static void mouse(QWidget *widget, QEvent::Type type, const QPoint &pos)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

private slots:
    void init()
    {
        m_dir = vorlantest::tempDir();
        writeImages(m_dir);
    }

    void hasAMarkerForEveryObject()
    {
        PlacementWindow p;
        QCOMPARE(p.marker(MaskFile::Slider)->caption(), QStringLiteral("Slider"));
        QCOMPARE(p.marker(MaskFile::VUMeterR)->caption(), QStringLiteral("VU-Meter  R"));
        QCOMPARE(p.marker(MaskFile::OpenButtom)->caption(), QStringLiteral("^"));
        QCOMPARE(p.marker(MaskFile::AnimatedGif)->caption(), QStringLiteral("Ani Gif"));
        QCOMPARE(p.Volume->size(), QSize(62, 23));
        QCOMPARE(p.Balance->size(), QSize(45, 23));
        QVERIFY(p.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(p.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(p.extraMarker(MaskFile::VolumeBarObject)->caption(), QStringLiteral("Volume Bar"));
        QCOMPARE(p.extraMarker(MaskFile::BalanceBarObject)->objectName(), QStringLiteral("Balance Bar"));
        // A new mask has every object inside the window, none on another: the bars and knobs too.
        QList<MarkerButton *> markers;
        for (int o = 0; o < MaskFile::ObjectCount; ++o)
            markers << p.marker(MaskFile::Object(o));
        markers << p.extraMarker(MaskFile::VolumeBarObject) << p.extraMarker(MaskFile::BalanceBarObject)
                << p.Volume << p.Balance;
        for (int a = 0; a < markers.size(); ++a) {
            const QRect ra = markers[a]->geometry();
            QVERIFY(p.rect().contains(ra));
            for (int b = a + 1; b < markers.size(); ++b)
                QVERIFY2(!ra.intersects(markers[b]->geometry()),
                         qPrintable(markers[a]->caption() + " / " + markers[b]->caption()));
        }
    }

    void aBackgroundShapesTheWindowAndResetsTheMaskColour()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        w.CP1->setValue(255);
        answers.openFiles << m_dir + "/back.bmp";
        w.LoadBackImage->click();
        PlacementWindow *p = w.placement();
        QCOMPARE(w.BackImage->text(), QStringLiteral("back.bmp"));
        QVERIFY(p->isVisible());
        QCOMPARE(p->size(), QSize(240, 120));
        QCOMPARE(w.CP1->value(), WizardWindow::Olive);
        QCOMPARE(p->maskColor(), WizardWindow::Olive);
        // Olive cuts nothing from this picture; lime, typed into CP1, cuts the outline away.
        QCOMPARE(p->FormShaper1->region(), QRegion(0, 0, 240, 120));
        w.CP1->setValue(65280);
        QVERIFY(!p->FormShaper1->region().contains(QPoint(0, 60)));
        QVERIFY(!p->FormShaper1->region().contains(QPoint(3, 3)));
        QVERIFY(p->FormShaper1->region().contains(QPoint(20, 20)));
        QVERIFY(p->FormShaper1->Active());
        // The background shows the picture.
        QCOMPARE(p->BackImage->pixmap().size(), QSize(240, 120));
        // A file that is not a picture changes nothing and is said so.
        QFile junk(m_dir + "/junk.bmp");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a bitmap");
        junk.close();
        answers.openFiles << m_dir + "/junk.bmp";
        w.LoadBackImage->click();
        QCOMPARE(w.BackImage->text(), QStringLiteral("back.bmp"));
        QCOMPARE(answers.messages.size(), 1);
    }

    void aColourIsPickedFromTheBackground()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        answers.openFiles << m_dir + "/back.bmp";
        w.LoadBackImage->click();
        PlacementWindow *p = w.placement();
        const QPoint start = p->pos();
        w.PickColor->click();
        QVERIFY(w.PickColor->isChecked());
        QVERIFY(p->picking());
        QCOMPARE(p->BackImage->cursor().shape(), Qt::CrossCursor);
        mouse(p->BackImage, QEvent::MouseMove, QPoint(1, 60));
        QCOMPARE(w.pickedColor(), QColor(0, 255, 0));
        mouse(p->BackImage, QEvent::MouseMove, QPoint(100, 60));
        QCOMPARE(w.pickedColor(), QColor(40, 44, 60));
        mouse(p->BackImage, QEvent::MouseMove, QPoint(0, 0));
        // The click ends picking, and does not drag the window.
        mouse(p->BackImage, QEvent::MouseButtonPress, QPoint(0, 0));
        mouse(p->BackImage, QEvent::MouseMove, QPoint(5, 1));
        mouse(p->BackImage, QEvent::MouseButtonRelease, QPoint(0, 0));
        QVERIFY(!w.PickColor->isChecked());
        QVERIFY(!p->picking());
        QCOMPARE(p->pos(), start);
        QCOMPARE(p->BackImage->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w.PColor->palette().color(QPalette::Window), QColor(0, 255, 0));
        // "Pick" of step 1 makes it the mask colour and cuts the outline.
        w.G1->click();
        QCOMPARE(w.CP1->value(), 65280);
        QVERIFY(!p->FormShaper1->region().contains(QPoint(0, 60)));
        // The other steps' "Pick" buttons take it too.
        w.G4->click();
        QCOMPARE(w.CP4->value(), 65280);
        // Moving over the background while not picking reports nothing.
        mouse(p->BackImage, QEvent::MouseMove, QPoint(100, 60));
        QCOMPARE(w.pickedColor(), QColor(0, 255, 0));

        // Over a marker, picking picks the picture under it, and a click there ends it without moving it.
        MarkerButton *marker = p->marker(MaskFile::Slider);
        marker->move(90, 50);
        const QRect placed = marker->geometry();
        w.PickColor->click();
        QVERIFY(p->picking());
        const QPoint inside = QPoint(100, 60) - marker->pos();
        mouse(marker, QEvent::MouseMove, inside);
        QCOMPARE(w.pickedColor(), QColor(40, 44, 60));
        mouse(marker, QEvent::MouseButtonPress, inside);
        mouse(marker, QEvent::MouseButtonRelease, inside);
        QVERIFY(!p->picking());
        QVERIFY(!w.PickColor->isChecked());
        QCOMPARE(marker->geometry(), placed);
    }

    void editorDetailsFontSizesTheGifPreviewAndTheAuthor()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        // A font size box takes sizes only.
        w.FontSize->setCurrentText(QString());
        QTest::keyClicks(w.FontSize->lineEdit(), "abc");
        QCOMPARE(w.FontSize->currentText(), QString());
        QTest::keyClicks(w.FontSize->lineEdit(), "18");
        QCOMPARE(w.document().mask().timeFont, 18);
        // The title preview shows the author as it is typed.
        w.saveWindow()->Author->setText(QStringLiteral("Ada"));
        QCOMPARE(w.TitlePreview->lines().value(1), QStringLiteral("Mask Author: Ada"));
        // A button's size cannot be typed; the message says so once for the edit, not at each key.
        QVERIFY(w.setButtonFile(MaskFile::PlayBtn, m_dir + "/play.bmp"));
        w.Objects->setCurrentIndex(MaskFile::PlayButtom);
        answers.messages.clear();
        w.SW->setFocus();
        QTest::keyClicks(w.SW, "123");
        QCOMPARE(answers.messages.size(), 1);
    }

    void typedValuesMoveTheMarkerAtOnce()
    {
        Answers answers;
        WizardWindow w(m_dir, dialogsFor(answers));
        w.Objects->setCurrentIndex(MaskFile::SongTitle);
        MarkerButton *title = w.placement()->marker(MaskFile::SongTitle);
        w.SW->setValue(111);
        QCOMPARE(title->width(), 111);
        w.SH->setValue(17);
        QCOMPARE(title->height(), 17);
        w.SL->setValue(40);
        QCOMPARE(title->x(), 40);
        w.ST->setValue(50);
        QCOMPARE(title->y(), 50);
        // A GIF sizes its marker to the picture.
        answers.openFiles << m_dir + "/anim.gif";
        w.Button1->click();
        const QImage gif(m_dir + "/anim.gif");
        QCOMPARE(w.placement()->marker(MaskFile::AnimatedGif)->size(), gif.size());
    }
};

VORLAN_TEST_CLASS(PlacementTest)
#include "PlacementTest.moc"
