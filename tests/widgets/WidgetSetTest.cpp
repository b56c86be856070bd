#include "tests/TestMain.h"
#include "widgets/ClickLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/Gauge.h"
#include "widgets/MarginMenu.h"
#include "widgets/TKTop.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace
{
// The rows and columns of an image that hold a colour close to `color`.
QRect extentOf(const QImage &image, QRgb color, const QRect &within)
{
    QRect extent;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAbs(qRed(p) - qRed(color)) < 40 && qAbs(qGreen(p) - qGreen(color)) < 40 &&
                qAbs(qBlue(p) - qBlue(color)) < 40)
                extent |= QRect(x, y, 1, 1);
        }
    return extent;
}
} // namespace

class WidgetSetTest : public QObject
{
    Q_OBJECT

private slots:
    void gaugeClampsAndFillsFromTheBottom()
    {
        Gauge gauge(Gauge::VerticalBar);
        gauge.setRange(0, 180);
        QSignalSpy changes(&gauge, &Gauge::progressChanged);
        gauge.setProgress(90);
        QCOMPARE(gauge.Progress(), 90);
        gauge.setProgress(500);
        QCOMPARE(gauge.Progress(), 180);
        gauge.setProgress(-3);
        QCOMPARE(gauge.Progress(), 0);
        QCOMPARE(changes.count(), 3);
        gauge.setProgress(0);
        QCOMPARE(changes.count(), 3);

        gauge.setForeColor(Qt::green);
        gauge.setBackColor(Qt::black);
        gauge.resize(6, 100);
        gauge.setProgress(45); // a quarter
        QCOMPARE(gauge.filledLength(100), 25);
        const QImage image = gauge.grab().toImage();
        QCOMPARE(image.pixel(3, 99), QColor(Qt::green).rgb());
        QCOMPARE(image.pixel(3, 75), QColor(Qt::green).rgb());
        QCOMPARE(image.pixel(3, 74), QColor(Qt::black).rgb());
        QCOMPARE(image.pixel(3, 0), QColor(Qt::black).rgb());

        // A narrowed range pulls the value in.
        gauge.setMaxValue(20);
        QCOMPARE(gauge.Progress(), 20);
    }

    void flatButtonsClickAndToggle()
    {
        FlatButton button(QStringLiteral("L"));
        button.resize(20, 16);
        QSignalSpy clicks(&button, &FlatButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(button.focusPolicy(), Qt::NoFocus);

        // Pressed and checked faces differ from the plain one, so a toggle shows its state.
        button.setCheckable(true);
        const QImage plain = button.grab().toImage();
        button.setChecked(true);
        QVERIFY(button.grab().toImage() != plain);

        FlatButton play(FlatButton::PlayGlyph);
        play.resize(22, 18);
        play.setTextColor(Qt::white);
        QImage face(22, 18, QImage::Format_RGB32);
        face.fill(Qt::black);
        play.render(&face);
        QVERIFY(!extentOf(face, qRgb(255, 255, 255), face.rect()).isEmpty());
    }

    void clickLabelReportsClicksInside()
    {
        ClickLabel label(QStringLiteral("[00:00]"));
        label.resize(60, 16);
        QSignalSpy clicks(&label, &ClickLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        // Pressed inside, released outside: no click.
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(200, 5));
        QCOMPARE(clicks.count(), 1);
    }

    void stayOnTopKeepsTheWindowInPlace()
    {
        QWidget window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.setGeometry(100, 50, 80, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TKTop top(&window);
        QVERIFY(!top.KTop());
        top.setKTop(true);
        QVERIFY(top.KTop());
        QVERIFY(top.ownerStaysOnTop());
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), QRect(100, 50, 80, 300));
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        top.setKTop(false);
        QVERIFY(!top.ownerStaysOnTop());
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());

        // A window not shown yet takes the flag for when it appears.
        QWidget later;
        TKTop laterTop(&later);
        laterTop.setKTop(true);
        QVERIFY(later.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!later.isVisible());

        // Only windows are changed.
        QWidget child(&window);
        TKTop childTop(&child);
        childTop.setKTop(true);
        QVERIFY(childTop.KTop());
        QVERIFY(!child.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!child.isWindow());
    }

    void menuItemsKeepClearOfTheMargin()
    {
        MarginMenu menu;
        menu.setMarginWidth(22);
        QAction *first = menu.addAction(QStringLiteral("&Vorlan"));
        menu.addSeparator();
        menu.addAction(QStringLiteral("E&xit"));
        menu.ensurePolished();
        menu.adjustSize();
        QVERIFY(menu.actionGeometry(first).left() >= menu.marginRect().right());
        QCOMPARE(menu.marginRect().width(), 22);
    }

    void marginShowsGradientAndUpwardText()
    {
        const QColor from(0x00, 0x80, 0xC0);
        const QColor to(0x00, 0x80 / 4, 0xC0 / 4);
        const QRect margin(0, 0, 22, 300);
        QFont font(QStringLiteral("Courier New"));
        font.setPixelSize(20);
        font.setBold(true);

        QImage image(margin.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        {
            QPainter painter(&image);
            MarginMenu::paintMargin(painter, margin, from, to, QStringLiteral("Vorlan 1.8"), font,
                                    Qt::yellow);
        }
        // Gradient from top to bottom.
        QCOMPARE(image.pixel(21, 0), from.rgb());
        QCOMPARE(image.pixel(21, 299), to.rgb());
        // No pixel left unpainted.
        QVERIFY(extentOf(image, qRgb(255, 0, 255), image.rect()).isEmpty());

        // The text runs upwards from 5 pixels above the bottom, along the left edge.
        const QRect text = extentOf(image, qRgb(255, 255, 0), image.rect());
        QVERIFY(!text.isEmpty());
        QVERIFY2(text.bottom() <= 299 - MarginMenu::TextBottomGap,
                 qPrintable(QString::number(text.bottom())));
        QVERIFY(text.bottom() >= 299 - MarginMenu::TextBottomGap - 4);
        QVERIFY(text.height() > 3 * text.width());
        QVERIFY(text.left() < 6);
        const int textLength = QFontMetrics(font).horizontalAdvance(QStringLiteral("Vorlan 1.8"));
        QVERIFY(qAbs(text.height() - textLength) < 8);

        // Drawn into a narrow band, the text is clipped to it.
        QImage wide(60, 300, QImage::Format_RGB32);
        wide.fill(Qt::black);
        {
            QPainter painter(&wide);
            MarginMenu::paintMargin(painter, QRect(0, 0, 8, 300), from, to, QStringLiteral("Vorlan 1.8"),
                                    font, Qt::yellow);
        }
        QVERIFY(extentOf(wide, qRgb(255, 255, 0), QRect(8, 0, 52, 300)).isEmpty());
    }

    void menuPaintsItsMargin()
    {
        MarginMenu menu;
        menu.setMarginColors(QColor(200, 0, 0), QColor(50, 0, 0));
        menu.setMarginText(QStringLiteral("Vorlan 1.8"));
        menu.setMarginTextColor(Qt::white);
        for (int i = 0; i < 12; ++i)
            menu.addAction(QStringLiteral("Item %1").arg(i));
        menu.adjustSize();
        const QImage image = menu.grab().toImage();
        const QRect margin = menu.marginRect();
        QCOMPARE(image.pixel(margin.right(), margin.top()), qRgb(200, 0, 0));
        QVERIFY(qRed(image.pixel(margin.right(), margin.bottom())) < 70);
    }
};

VORLAN_TEST_CLASS(WidgetSetTest)
#include "WidgetSetTest.moc"
