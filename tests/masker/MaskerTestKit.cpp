#include "MaskerTestKit.h"

#include "masker/ColorPicker.h"
#include "masker/MarkerButton.h"
#include "masker/PlacementWindow.h"
#include "masker/RadioGroup.h"
#include "masker/WizardWindow.h"
#include "masks/RegionFile.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace maskertest
{

MaskerDialogs dialogsFor(Answers &answers)
{
    MaskerDialogs d;
    d.openFile = [&answers](QWidget *, const QString &, const QString &dir, const QString &filter) {
        answers.openDirs << dir;
        answers.openFilters << filter;
        return answers.openFiles.isEmpty() ? QString() : answers.openFiles.takeFirst();
    };
    d.saveFile = [&answers](QWidget *, const QString &, const QString &, const QString &,
                            const QString &proposed) {
        answers.saveProposals << proposed;
        return answers.saveFiles.isEmpty() ? QString() : answers.saveFiles.takeFirst();
    };
    d.question = [&answers](QWidget *, const QString &, const QString &text) {
        answers.questions << text;
        return answers.testAfterSave;
    };
    d.information = [&answers](QWidget *, const QString &, const QString &text) { answers.messages << text; };
    d.warning = [&answers](QWidget *, const QString &, const QString &text) { answers.warnings << text; };
    d.chooseColor = [](QWidget *, const QColor &) { return QColor(); };
    return d;
}

QImage limeOutlinedBackground()
{
    QImage image(240, 120, QImage::Format_RGB32);
    image.fill(qRgb(40, 44, 60));
    const QRgb lime = qRgb(0, 255, 0);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 240; ++x) {
            const bool border = x < 2 || y < 2 || x >= 238 || y >= 118;
            const bool corner = x + y < 16 || (239 - x) + (119 - y) < 16;
            if (border || corner)
                image.setPixel(x, y, lime);
        }
    return image;
}

QRgb frameColor(int index)
{
    return qRgb(60 * index, 200 - 40 * index, 255 - 60 * index);
}

QImage frames(int count, int width, int height)
{
    QImage image(width * count, height, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(i * width + x, y, frameColor(i));
    return image;
}

void writeImages(const QString &dir)
{
    limeOutlinedBackground().save(dir + "/back.bmp");
    frames(2, 10, 14).save(dir + "/thumb.bmp");
    frames(4, 20, 24).save(dir + "/play.bmp");
    frames(4, 16, 16).save(dir + "/loop.bmp");
    QFile::copy(QStringLiteral(VORLAN_FIXTURES "/three-frames.gif"), dir + "/anim.gif");
}

QPolygon extrasOutline()
{
    return QPolygon({QPoint(0, 0), QPoint(240, 0), QPoint(240, 120), QPoint(20, 120), QPoint(0, 100)});
}

void writeExtras(const QString &dir)
{
    frames(12, 9, 13).save(dir + "/digits.bmp");
    frames(16, 5, 36).save(dir + "/chars.bmp");
    frames(1, 200, 10).save(dir + "/groove.bmp");
    QImage bar(68, 13 * 4, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i)
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 68; ++x)
                bar.setPixel(x, 13 * i + y, frameColor(i));
    bar.save(dir + "/vbar.bmp");
    frames(2, 14, 11).save(dir + "/vthumb.bmp");
    frames(4, 16, 16).save(dir + "/loopon.bmp");
    QFile shape(dir + "/shape.txt");
    if (shape.open(QIODevice::WriteOnly))
        shape.write(RegionFile::text({extrasOutline()}));
}

void fillWizard(WizardWindow &w, Answers &answers, const QString &dir)
{
    answers.openFiles << dir + "/back.bmp";
    w.LoadBackImage->click();
    w.CP1->setValue(65280);
    answers.openFiles << dir + "/thumb.bmp";
    w.LoadSliderThumb->click();
    w.CP2->setValue(0);
    w.SliderWay->setItemIndex(0);
    w.FontSize->setCurrentText("16");
    w.TitleFontSize->setCurrentText("14");
    w.CP3->setValue(4210752);
    w.PlayTime_A->setValue(15);
    w.Shadow_S->setValue(2);
    w.Shadow_D->setValue(3);
    w.CP5->setValue(0);
    w.VUKind->setCurrentIndex(4);
    w.CP4->setValue(16744448);
    w.BCP1->setValue(255);
    w.BCP2->setValue(65535);
    answers.openFiles << dir + "/play.bmp";
    w.ButtonPickers[MaskFile::PlayBtn]->click();
    answers.openFiles << dir + "/loop.bmp";
    w.ButtonPickers[MaskFile::LoopBtn]->click();
    answers.openFiles << dir + "/anim.gif";
    w.Button1->click();
    w.ActiveGif->setItemIndex(2);

    // Every object somewhere of its own, typed into the fields.
    for (int o = 0; o < MaskFile::ObjectCount; ++o) {
        w.Objects->setCurrentIndex(o);
        if (o < MaskFile::PlayButtom || o > MaskFile::RandButtom) {
            w.SW->setValue(10 + o);
            w.SH->setValue(5 + o);
        }
        w.SL->setValue(3 * o + 1);
        w.ST->setValue(2 * o + 4);
    }
    // The play button where a user puts it, and the knobs dragged into place.
    w.Objects->setCurrentIndex(MaskFile::PlayButtom);
    w.SL->setValue(120);
    w.ST->setValue(70);
    MarkerButton *volume = w.placement()->Volume;
    drag(volume, QPoint(5, 5), QPoint(20, 95) - volume->pos());
    MarkerButton *balance = w.placement()->Balance;
    drag(balance, QPoint(5, 5), QPoint(150, 95) - balance->pos());
}

void drag(QWidget *widget, const QPoint &from, const QPoint &by)
{
    const auto send = [widget](QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                               Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    // The widget moves under the mouse, so each move is given where the mouse now is on it.
    const QPoint globalFrom = widget->mapToGlobal(from);
    for (int step = 1; step <= 4; ++step) {
        const QPoint global = globalFrom + by * step / 4;
        send(QEvent::MouseMove, widget->mapFromGlobal(global), Qt::NoButton, Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, widget->mapFromGlobal(globalFrom + by), Qt::LeftButton, Qt::NoButton);
}

} // namespace maskertest
