#include "widgets/GradientFrame.h"
#include "tests/TestMain.h"
#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

namespace
{
struct Rig {
    QWidget window{nullptr, Qt::Window | Qt::FramelessWindowHint};
    GradientFrame *frame = new GradientFrame(&window, QStringLiteral("Caption"));

    Rig()
    {
        window.resize(200, 150);
        window.move(100, 100);
        window.show();
    }
    TFountainFill *strip(const char *name) const
    {
        return window.findChild<TFountainFill *>(QLatin1String(name));
    }
};
} // namespace

class GradientFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void theBodySitsInsideTheTitleBarAndBorders()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        TFountainFill *title = rig.strip("TitleFill");
        TFountainFill *left = rig.strip("LeftFill");
        TFountainFill *right = rig.strip("RightFill");
        TFountainFill *bottom = rig.strip("BottomFill");
        QVERIFY(title && left && right && bottom);
        QCOMPARE(rig.frame->titleLabel()->text(), QStringLiteral("Caption"));
        QCOMPARE(rig.frame->titleLabel()->parentWidget(), title);
        QCOMPARE(rig.frame->exitButton()->text(), QStringLiteral("X"));

        const QRect body = rig.frame->body()->geometry();
        QCOMPARE(title->geometry(), QRect(0, 0, 200, body.top()));
        QCOMPARE(left->geometry(), QRect(0, body.top(), body.left(), body.height()));
        QCOMPARE(right->geometry().left(), body.right() + 1);
        QCOMPARE(right->geometry().right(), 199);
        QCOMPARE(bottom->geometry(), QRect(0, body.bottom() + 1, 200, 150 - body.bottom() - 1));
        QVERIFY(body.left() > 0 && bottom->height() > 0);
    }

    void colorsReachEveryStripAndXCloses()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        const QColor first(10, 20, 30), second(200, 210, 220);
        rig.frame->setColors(first, second);
        // Top and left start in the first colour, right and bottom end in it; the caption takes the second.
        for (const char *name : {"TitleFill", "LeftFill"}) {
            QCOMPARE(rig.strip(name)->FromColor(), first);
            QCOMPARE(rig.strip(name)->ToColor(), GradientFrame::DesignedColor);
        }
        for (const char *name : {"RightFill", "BottomFill"}) {
            QCOMPARE(rig.strip(name)->FromColor(), GradientFrame::DesignedColor);
            QCOMPARE(rig.strip(name)->ToColor(), first);
        }
        QCOMPARE(rig.frame->titleLabel()->palette().color(QPalette::WindowText), second);
        // Two colours too alike to read on each other: the caption falls back to black or white.
        rig.frame->setColors(first, QColor(20, 30, 40));
        QCOMPARE(rig.frame->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
        // The strip's rule: 80 grey levels apart is enough (the first colour's grey is 18), 70 is not.
        rig.frame->setColors(first, QColor(98, 98, 98));
        QCOMPARE(rig.frame->titleLabel()->palette().color(QPalette::WindowText), QColor(98, 98, 98));
        rig.frame->setColors(first, QColor(88, 88, 88));
        QCOMPARE(rig.frame->titleLabel()->palette().color(QPalette::WindowText), QColor(Qt::white));
        QTest::mouseClick(rig.frame->exitButton(), Qt::LeftButton);
        QVERIFY(!rig.window.isVisible());
    }

    void everyStripDragsTheWindow()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("this window system moves windows itself");
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        QPoint expected = rig.window.pos();
        for (const char *name : {"TitleFill", "LeftFill", "RightFill", "BottomFill"}) {
            TFountainFill *strip = rig.strip(name);
            auto send = [strip](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
                QMouseEvent event(type, QPointF(at), QPointF(strip->mapToGlobal(at)), button, held, {});
                QApplication::sendEvent(strip, &event);
            };
            send(QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
            send(QEvent::MouseMove, QPoint(12, 7), Qt::NoButton, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, QPoint(12, 7), Qt::LeftButton, Qt::NoButton);
            // Offscreen the window follows the pointer itself: a window left in place is a broken drag.
            QVERIFY2(rig.window.pos() != expected, "the drag did not move the window");
            expected += QPoint(10, 5);
            QCOMPARE(rig.window.pos(), expected);
        }
    }
};

VORLAN_TEST_CLASS(GradientFrameTest)
#include "GradientFrameTest.moc"
