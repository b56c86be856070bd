// The playlist window's frame: resizing it by the corner square, docking beside the main window with sliding
// away at the top edge, and the close animation.
#include "playlist/PlaylistListView.h"
#include "playlist/PlaylistWindow.h"
#include "widgets/FlatButton.h"
#include "widgets/TFountainFill.h"
#include "widgets/TKTop.h"
#include "widgets/WindowDragger.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRandomGenerator>

// --- Resizing by the corner square
// ----------------------------------------------------------------------------

void PlaylistWindow::setControlsVisible(bool visible)
{
    // Only the frame follows the mouse while the square is dragged.
    for (QWidget *w : std::initializer_list<QWidget *>{FnpListBox1, FountainFill2, TitleLabel, ExitBtn})
        w->setVisible(visible);
    NailBtn->setVisible(visible && m_docked);
}

void PlaylistWindow::MMouseDown(const QPoint &globalPos)
{
    m_resizing = true;
    m_resizeOffset = globalPos - M->mapToGlobal(QPoint(0, 0));
    setControlsVisible(false);
}

void PlaylistWindow::MMouseMove(const QPoint &globalPos)
{
    if (!m_resizing)
        return;
    // The square's top-left corner in window coordinates; the window ends 10 pixels past it.
    const QPoint corner = globalPos - m_resizeOffset - mapToGlobal(QPoint(0, 0));
    const int left = std::max(corner.x(), MinWidth - 10);
    const int top = std::max(corner.y(), MinHeight - 10);
    resize(left + 10, top + 10);
}

void PlaylistWindow::MMouseUp()
{
    if (!m_resizing)
        return;
    m_resizing = false;
    setControlsVisible(true);
    layoutControls();
    layoutColumns();
}

bool PlaylistWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == M) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->button() == Qt::LeftButton)
                MMouseDown(e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseMove: {
            auto *e = static_cast<QMouseEvent *>(event);
            if (e->buttons() & Qt::LeftButton)
                MMouseMove(e->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
                MMouseUp();
            return true;
        default:
            break;
        }
    } else if (watched == Panel2 || watched == FountainFill2) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
            bottomPanelHovered();
    }
    return QWidget::eventFilter(watched, event);
}

// --- Docking and sliding away
// ---------------------------------------------------------------------------------

void PlaylistWindow::applyDocking(bool docked, bool leftDock, const QRect &mainWindowGeometry,
                                  const QRect &screen)
{
    m_docked = docked;
    // The title strip moves only a free window.
    m_dragger->setEnabled(!docked);
    m_leftDock = leftDock;
    m_mainGeometry = mainWindowGeometry;
    m_screen = screen;
    if (docked) {
        const int h = std::max(mainWindowGeometry.height(), MinHeight);
        const int left = leftDock ? screen.left() + mainWindowGeometry.width()
                                  : screen.left() + screen.width() - width() - mainWindowGeometry.width();
        setGeometry(left, screen.top(), width(), h);
        NailBtn->show();
        HideTimer.start();
    } else {
        HideTimer.stop();
        NailBtn->hide();
        if (y() < screen.top())
            move(x(), screen.top());
        m_kTop->setKTop(false);
    }
    layoutControls();
    FnpListBox1->setItemHeight(m_fontSize + 6);
    layoutColumns();
}

bool PlaylistWindow::hiddenAtTop() const
{
    return y() == m_screen.top() + 2 - height();
}

void PlaylistWindow::HideTimerTimer()
{
    if (!m_docked || NailBtn->text() != NailAutoHide || hiddenAtTop() || !isVisible())
        return;
    const QPoint cursor = m_cursorSource() - m_screen.topLeft();
    const int left = x() - m_screen.left();
    if (m_leftDock) {
        if (cursor.y() < height() && m_mainGeometry.width() + width() > cursor.x())
            return;
    } else {
        if (cursor.y() < height() && cursor.x() > left)
            return;
    }
    // Only the bottom 2 pixels stay on the screen, above every other window.
    move(x(), m_screen.top() + 2 - height());
    m_kTop->setKTop(true);
    emit mainWindowKeepOnTopWanted(true);
}

void PlaylistWindow::bottomPanelHovered()
{
    if (!m_docked || y() == m_screen.top())
        return;
    move(x(), m_screen.top());
    m_kTop->setKTop(false);
}

void PlaylistWindow::toggleDockedSlide(int mainWindowHeight)
{
    if (!m_docked)
        return;
    if (y() == m_screen.top()) {
        move(x(), m_screen.top() + 3 - mainWindowHeight);
        m_kTop->setKTop(true);
        emit mainWindowKeepOnTopWanted(true);
    } else {
        move(x(), m_screen.top());
        m_kTop->setKTop(false);
    }
}

void PlaylistWindow::NailBtnClick()
{
    NailBtn->setText(NailBtn->text() == NailAutoHide ? NailPinned : NailAutoHide);
}

// --- Closing
// --------------------------------------------------------------------------------------------------

void PlaylistWindow::setCloseAnimation(int steps, int stepPixels, int intervalMs)
{
    m_closeSteps = std::max(0, steps);
    m_closeStepPixels = stepPixels;
    m_closeTimer.setInterval(std::max(0, intervalMs));
}

void PlaylistWindow::ExitBtnClick()
{
    close();
}

void PlaylistWindow::closeEvent(QCloseEvent *event)
{
    // The window flies off in a random direction, hides, and waits at its old place for the next show.
    event->ignore();
    if (m_closeTimer.isActive() || !isVisible())
        return;
    static const QPoint directions[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    m_closeOrigin = pos();
    m_closeDelta = directions[QRandomGenerator::global()->bounded(4)] * m_closeStepPixels;
    m_closeStep = 0;
    if (m_closeSteps == 0)
        closeAnimationStep();
    else
        m_closeTimer.start();
}

void PlaylistWindow::closeAnimationStep()
{
    if (m_closeStep < m_closeSteps) {
        ++m_closeStep;
        move(m_closeOrigin + m_closeDelta * m_closeStep);
        if (m_closeStep < m_closeSteps)
            return;
    }
    m_closeTimer.stop();
    hide();
    m_restorePending = true;
    move(m_closeOrigin);
}

void PlaylistWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The window system may report a step of the flight after the window was put back; a move by anyone
    // else lands elsewhere and stays.
    if (!m_restorePending || isVisible() || m_closeDelta.isNull())
        return;
    const QPoint d = pos() - m_closeOrigin;
    const int along = m_closeDelta.x() != 0 ? d.x() : d.y();
    const int across = m_closeDelta.x() != 0 ? d.y() : d.x();
    const int step = m_closeDelta.x() != 0 ? m_closeDelta.x() : m_closeDelta.y();
    if (across == 0 && along % step == 0 && along / step >= 1 && along / step <= m_closeSteps)
        move(m_closeOrigin);
}
