#include "tests/playlist/PlaylistWindowFixture.h"

#include <QMoveEvent>

using namespace playlistwindowtest;
using playlisttest::readBytes;
using playlisttest::writeBytes;
using playlisttest::writeMpeg;

// The frame: resizing, colours, docking and sliding away, moving by the title strip, closing.
class PlaylistWindowFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void cornerSquareResizesNotBelowTheMinimum()
    {
        Fixture f;
        f.window->resize(400, 300);
        QWidget *square = f.window->M;
        QCOMPARE(square->pos(), QPoint(390, 290));
        const QPoint grab(2, 2);
        sendMouse(square, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
        QVERIFY(f.list()->isHidden());
        QVERIFY(f.window->FountainFill2->isHidden());
        // Far up and left: the window stops at 320 x 110.
        sendMouse(square, QEvent::MouseMove, grab - QPoint(500, 500), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.window->size(), QSize(320, 110));
        // Then outwards: the window ends 10 pixels past the square's corner.
        const QPoint target = f.window->mapToGlobal(QPoint(500, 400)) + grab;
        QMouseEvent move(QEvent::MouseMove, square->mapFromGlobal(target), target, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(square, &move);
        QCOMPARE(f.window->size(), QSize(510, 410));
        sendMouse(square, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
        QVERIFY(f.list()->isVisible());
        QVERIFY(f.window->FountainFill2->isVisible());
        QCOMPARE(square->pos(), QPoint(500, 400));
        QCOMPARE(f.window->ExitBtn->geometry().right(), f.window->Panel3->width() - 3);
        // The columns were laid out for the new width.
        QCOMPARE(f.list()->columnWidth(1), f.list()->width() - 8 * 8 - 40);

        f.window->resize(100, 50);
        QCOMPARE(f.window->size(), QSize(320, 110));
    }

    void colorsGoWhereTheyBelong()
    {
        Fixture f;
        const QColor one(200, 0, 0), two(0, 200, 0);
        f.window->applyColors(one, two);
        QCOMPARE(f.window->FountainFill2->FromColor(), two);
        QCOMPARE(f.window->FountainFill2->ToColor(), one);
        QCOMPARE(f.list()->palette().color(QPalette::Base), two);
        QCOMPARE(f.list()->palette().color(QPalette::Text), one);
        QCOMPARE(f.window->palette().color(QPalette::Window), one);
        for (FlatButton *b :
             {f.window->LOAD, f.window->SAVE, f.window->CLEAR, f.window->REMOVE, f.window->EditTag})
            QCOMPARE(b->textColor(), one);
        for (FlatButton *b : {f.window->ADD, f.window->ADDURL, f.window->SORT, f.window->RAND,
                              f.window->NailBtn, f.window->ExitBtn})
            QCOMPARE(b->textColor(), two);
        QCOMPARE(f.window->Label1->palette().color(QPalette::WindowText), one);
        QCOMPARE(f.window->SongTime->palette().color(QPalette::WindowText), two);
        QCOMPARE(f.window->TitleLabel->palette().color(QPalette::WindowText), two);
    }

    void dockingBesideTheMainWindow()
    {
        Fixture f;
        f.window->resize(360, 300);
        const QRect screen(0, 0, 1280, 800);
        QSignalSpy onTop(f.window.get(), &PlaylistWindow::mainWindowKeepOnTopWanted);

        f.window->applyDocking(true, true, QRect(0, 0, 80, 600), screen);
        QCOMPARE(f.window->geometry(), QRect(80, 0, 360, 600));
        QVERIFY(f.window->NailBtn->isVisible());
        QVERIFY(f.window->hideTimer()->isActive());
        QCOMPARE(f.window->hideTimer()->interval(), 1000);
        QCOMPARE(f.window->NailBtn->geometry().right() + 2, f.window->ExitBtn->geometry().left() - 1);

        // Pointer over the window: it stays; elsewhere it slides up, leaving 2 pixels.
        QPoint cursor(300, 100);
        f.window->setCursorSource([&] { return cursor; });
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 0);
        cursor = QPoint(300, 700);
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 2 - 600);
        QVERIFY(f.window->hiddenAtTop());
        QCOMPARE(onTop.count(), 1);
        QCOMPARE(onTop.at(0).at(0).toBool(), true);
        f.window->HideTimerTimer(); // already hidden
        QCOMPARE(onTop.count(), 1);

        // The pointer on the bottom panel brings it back.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(f.window->FountainFill2, &enter);
        QCOMPARE(f.window->y(), 0);

        // Pinned, it never slides.
        QTest::mouseClick(f.window->NailBtn, Qt::LeftButton);
        QCOMPARE(f.window->nailCaption(), QString("T"));
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 0);
        QTest::mouseClick(f.window->NailBtn, Qt::LeftButton);
        QCOMPARE(f.window->nailCaption(), QString(".."));

        // Right dock: left of the main window at the right screen edge.
        f.window->applyDocking(true, false, QRect(1200, 0, 80, 500), screen);
        QCOMPARE(f.window->geometry(), QRect(1280 - 360 - 80, 0, 360, 500));
        cursor = QPoint(900, 100); // right of the window's left edge, within its height
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 0);
        cursor = QPoint(700, 100);
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 2 - 500);

        // Undocked: the timer stops, the pin hides and the window comes back down.
        f.window->applyDocking(false, false, QRect(1200, 0, 80, 500), screen);
        QVERIFY(!f.window->hideTimer()->isActive());
        QVERIFY(f.window->NailBtn->isHidden());
        QCOMPARE(f.window->y(), 0);
        cursor = QPoint(0, 799);
        f.window->HideTimerTimer();
        QCOMPARE(f.window->y(), 0);
    }

    void doubleClicksAskForDocking()
    {
        Fixture f;
        QSignalSpy toggles(f.window.get(), &PlaylistWindow::dockingToggleRequested);
        QTest::mouseDClick(f.window->Panel3, Qt::LeftButton, Qt::NoModifier, QPoint(30, 5));
        QTest::mouseDClick(f.window->FountainFill2, Qt::LeftButton, Qt::NoModifier, QPoint(150, 10));
        QCOMPARE(toggles.count(), 2);
    }

    void titleStripMovesAnUndockedWindow()
    {
        Fixture f;
        const QPoint start = f.window->pos();
        TFountainFill *strip = f.window->Panel3;
        sendMouse(strip, QEvent::MouseButtonPress, QPoint(30, 5), Qt::LeftButton, Qt::LeftButton);
        sendMouse(strip, QEvent::MouseMove, QPoint(80, 25), Qt::NoButton, Qt::LeftButton);
        sendMouse(strip, QEvent::MouseButtonRelease, QPoint(80, 25), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.window->pos(), start + QPoint(50, 20));

        f.window->applyDocking(true, true, QRect(0, 0, 80, 600), QRect(0, 0, 1280, 800));
        const QPoint docked = f.window->pos();
        sendMouse(strip, QEvent::MouseButtonPress, QPoint(30, 5), Qt::LeftButton, Qt::LeftButton);
        sendMouse(strip, QEvent::MouseMove, QPoint(80, 25), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(f.window->pos(), docked);
    }

    void closeAnimatesThenHidesAtItsPlace()
    {
        Fixture f;
        QSignalSpy visibility(f.window.get(), &PlaylistWindow::visibilityChanged);
        QList<QPoint> positions;
        f.window->installEventFilter(this);
        m_moves = &positions;
        const QPoint start = f.window->pos();
        QTest::mouseClick(f.window->ExitBtn, Qt::LeftButton);
        QVERIFY(f.window->closing());
        QTRY_VERIFY(!f.window->isVisible());
        m_moves = nullptr;
        QCOMPARE(f.window->pos(), start);
        QCOMPARE(visibility.count(), 1);
        QCOMPARE(visibility.at(0).at(0).toBool(), false);
        // Three steps of 30 pixels in one direction, then back.
        QVERIFY(positions.size() >= 3);
        const QPoint step = positions.at(0) - start;
        QCOMPARE(step.manhattanLength(), 30);
        QCOMPARE(positions.at(2) - start, step * 3);
        f.window->show();
        QCOMPARE(visibility.count(), 2);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_moves && event->type() == QEvent::Move)
            *m_moves << static_cast<QWidget *>(watched)->pos();
        return QObject::eventFilter(watched, event);
    }

private:
    QList<QPoint> *m_moves = nullptr;
};

VORLAN_TEST_CLASS(PlaylistWindowFrameTest)
#include "PlaylistWindowFrameTest.moc"
