// The strip's place on the screen: docking at an edge, sliding off when the pointer leaves, staying on top.
#include "player/MainWindow.h"

#include "player/PlaybackController.h"
#include "player/PlayerActions.h"
#include "widgets/ClickLabel.h"
#include "widgets/FlatButton.h"
#include "widgets/Gauge.h"
#include "widgets/MarginMenu.h"
#include "widgets/TFountainFill.h"
#include "widgets/TKTop.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QSlider>

void MainWindow::setScreenAreaProvider(ScreenAreaProvider provider)
{
    m_screenArea = std::move(provider);
}

void MainWindow::setCursorProvider(CursorProvider provider)
{
    m_cursor = std::move(provider);
}

void MainWindow::setFileChooser(FileChooser chooser)
{
    m_fileChooser = std::move(chooser);
}

QRect MainWindow::screenArea() const
{
    return m_screenArea();
}

QPoint MainWindow::cursorPos() const
{
    return m_cursor();
}

QRect MainWindow::dockedGeometry() const
{
    const QRect area = screenArea();
    const int left = m_dockLeft ? area.left() : area.left() + area.width() - StripWidth;
    return QRect(left, area.top(), StripWidth, area.height());
}

int MainWindow::hiddenLeft() const
{
    const QRect area = screenArea();
    return m_dockLeft ? area.left() + 1 - width() : area.left() + area.width() - 1;
}

bool MainWindow::isSlidOff() const
{
    const QRect area = screenArea();
    return x() == area.left() + area.width() - 1 || x() == area.left() + 1 - width();
}

bool MainWindow::staysOnTop() const
{
    return m_kTop->KTop();
}

void MainWindow::placeAtDockEdge()
{
    setGeometry(dockedGeometry());
    // A hidden window gets its resize event only when shown; the edge strips must be right before that.
    layoutControls();
}

void MainWindow::slideTo(int left)
{
    move(left, y());
    if (!outOfSight())
        showSkipped();
}

void MainWindow::showLevels()
{
    PBarL1->setProgress(m_levelLeft);
    PBarR1->setProgress(m_levelRight);
}

void MainWindow::showPosition()
{
    if (RxSlider1->isSliderDown())
        return;
    const QSignalBlocker block(RxSlider1);
    RxSlider1->setValue(m_position);
}

void MainWindow::showSkipped()
{
    showLevels();
    if (m_positionWaits)
        showPosition();
    m_positionWaits = false;
    PlayTime->setText(m_timeText);
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Back on the screen, it shows what it skipped while out of sight.
    if (!outOfSight())
        showSkipped();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!outOfSight())
        showSkipped();
}

void MainWindow::setDockedLeft(bool left)
{
    m_dockLeft = left;
    placeAtDockEdge();
}

void MainWindow::setNailCaption(const QString &caption)
{
    NailBtn->setText(caption == AutoHideOn ? AutoHideOn : AutoHideOff);
}

QString MainWindow::nailCaption() const
{
    return NailBtn->text();
}

void MainWindow::setSkinnedInUse(bool inUse)
{
    m_skinnedInUse = inUse;
}

void MainWindow::FormActivate()
{
    slideTo(dockedGeometry().left());
    m_kTop->setKTop(false);
}

void MainWindow::HideTimerTimer()
{
    if (m_skinnedInUse || nailCaption() == AutoHideOff)
        return;
    // Not while the user is busy with the strip's menu or drags a slider out of it.
    if (m_menu->isVisible() || QApplication::mouseButtons() != Qt::NoButton)
        return;
    if (isSlidOff())
        return;
    const QPoint c = cursorPos();
    const bool over = c.y() <= y() + height() && c.x() >= x() && c.x() <= x() + width();
    if (over)
        return;
    slideTo(hiddenLeft());
    m_kTop->setKTop(true);
}

void MainWindow::ShowPanelMouseMove()
{
    if (!m_actions->allShown()) {
        ShowAll1Click();
        return;
    }
    const QRect docked = dockedGeometry();
    const QRect area = screenArea();
    if (x() == area.left() + area.width() - width() || x() == area.left())
        return;
    slideTo(docked.left());
    m_kTop->setKTop(false);
}

void MainWindow::NailBtnClick()
{
    if (nailCaption() != AutoHideOn) {
        NailBtn->setText(AutoHideOn);
        m_kTop->setKTop(true);
    } else {
        NailBtn->setText(AutoHideOff);
        m_kTop->setKTop(false);
    }
    emit nailCaptionChanged(nailCaption());
}

void MainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    // Shift released while another window had the keyboard never reaches us.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        m_controller->setShiftHeld(false);
}
