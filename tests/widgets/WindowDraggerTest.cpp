#include "widgets/WindowDragger.h"
#include "tests/TestMain.h"
#include "widgets/TFountainFill.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

namespace
{
// A borderless window with a title strip and a bottom strip; only the ones a test attaches drag it.
struct Rig {
    QWidget window{nullptr, Qt::Window | Qt::FramelessWindowHint};
    TFountainFill *title = new TFountainFill(&window);
    TFountainFill *bottom = new TFountainFill(&window);
    WindowDragger *dragger = new WindowDragger(&window);

    Rig()
    {
        auto *column = new QVBoxLayout(&window);
        column->addWidget(title);
        column->addWidget(bottom);
        window.resize(200, 120);
        window.move(100, 100);
        window.show();
    }
};

void send(QWidget *strip, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
          Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(strip->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(strip, &event);
}

// Press at `from`, drag to `to` with `button` held, release there.
void dragStrip(QWidget *strip, const QPoint &from, const QPoint &to, Qt::MouseButton button = Qt::LeftButton)
{
    send(strip, QEvent::MouseButtonPress, from, button, button);
    send(strip, QEvent::MouseMove, to, Qt::NoButton, button);
    send(strip, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}
} // namespace

class WindowDraggerTest : public QObject
{
    Q_OBJECT

private slots:
    void leftDragOnAnAttachedStripMovesTheWindow()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("this window system moves windows itself");
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.dragger->attach(rig.title);
        rig.dragger->attach(rig.bottom);
        const QPoint start = rig.window.pos();

        dragStrip(rig.title, QPoint(10, 5), QPoint(40, 25));
        // Offscreen the window follows the pointer itself: a window left in place is a broken drag.
        QVERIFY2(rig.window.pos() != start, "the drag did not move the window");
        QCOMPARE(rig.window.pos(), start + QPoint(30, 20));

        // Every attached strip drags it, by the pointer's travel.
        dragStrip(rig.bottom, QPoint(50, 5), QPoint(20, 15));
        QCOMPARE(rig.window.pos(), start + QPoint(0, 30));

        // After the release a move with the button held (pressed elsewhere) leaves the window where it is.
        send(rig.title, QEvent::MouseMove, QPoint(90, 90), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(rig.window.pos(), start + QPoint(0, 30));
    }

    void otherButtonsAndStripsLeaveTheWindowInPlace()
    {
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.dragger->attach(rig.title);
        const QPoint start = rig.window.pos();

        dragStrip(rig.title, QPoint(10, 5), QPoint(60, 45), Qt::RightButton);
        QCOMPARE(rig.window.pos(), start);
        // A strip that was never attached does not drag.
        dragStrip(rig.bottom, QPoint(10, 5), QPoint(60, 45));
        QCOMPARE(rig.window.pos(), start);

        // A right press during a left drag ends it.
        send(rig.title, QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton, Qt::LeftButton);
        send(rig.title, QEvent::MouseButtonPress, QPoint(10, 5), Qt::RightButton,
             Qt::LeftButton | Qt::RightButton);
        send(rig.title, QEvent::MouseMove, QPoint(60, 45), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
        QCOMPARE(rig.window.pos(), start);
    }

    void aDisabledDraggerStopsAndIgnoresDrags()
    {
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("this window system moves windows itself");
        Rig rig;
        QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
        rig.dragger->attach(rig.title);
        const QPoint start = rig.window.pos();

        send(rig.title, QEvent::MouseButtonPress, QPoint(10, 5), Qt::LeftButton, Qt::LeftButton);
        send(rig.title, QEvent::MouseMove, QPoint(20, 5), Qt::NoButton, Qt::LeftButton);
        // Offscreen the window follows the pointer itself: a window left in place is a broken drag.
        QVERIFY2(rig.window.pos() != start, "the drag did not move the window");
        const QPoint moved = rig.window.pos();
        rig.dragger->setEnabled(false);
        QVERIFY(!rig.dragger->isEnabled());
        send(rig.title, QEvent::MouseMove, QPoint(80, 40), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(rig.window.pos(), moved);
        send(rig.title, QEvent::MouseButtonRelease, QPoint(80, 40), Qt::LeftButton, Qt::NoButton);

        dragStrip(rig.title, QPoint(10, 5), QPoint(60, 45));
        QCOMPARE(rig.window.pos(), moved);

        rig.dragger->setEnabled(true);
        dragStrip(rig.title, QPoint(10, 5), QPoint(60, 45));
        QCOMPARE(rig.window.pos(), moved + QPoint(50, 40));
    }
};

VORLAN_TEST_CLASS(WindowDraggerTest)
#include "WindowDraggerTest.moc"
