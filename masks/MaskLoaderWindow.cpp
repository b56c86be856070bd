#include "masks/MaskLoaderWindow.h"

#include "masks/FlyOff.h"
#include "masks/TFormShaper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QScreen>
#include <QWindow>

const QString MaskLoaderWindow::Caption = QStringLiteral("Vorlan Mask Loader .......");

namespace
{

// A dark plate with cut corners on lime, drawn without smoothing at the edge so the outline stays exact.
QImage plate(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(0, 255, 0));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width() - 1, size.height() - 1), 12, 12);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, QColor(70, 78, 92));
    fill.setColorAt(1, QColor(28, 32, 40));
    painter.fillPath(path, fill);
    painter.setPen(QColor(150, 160, 178));
    painter.drawPath(path);
    return image;
}

} // namespace

MaskLoaderWindow::MaskLoaderWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(Caption);
    m_shaper = new TFormShaper(this);
    auto *background = new QLabel(this);
    m_shaper->setBackgrnd(background);
    m_shaper->setShowCaption(false);
    m_shaper->setWindowMove(TFormShaper::NoMove);
    m_shaper->MaskedPicture()->setMaskColor(0x00FF00);
    m_shaper->MaskedPicture()->setPicture(plate(QSize(260, 58)));
    m_shaper->setActive(true);

    auto *caption = new QLabel(Caption, this);
    caption->setGeometry(14, 8, 232, 18);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, QColor(230, 234, 240));
    caption->setPalette(palette);
    QFont font = caption->font();
    font.setBold(true);
    caption->setFont(font);

    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(14, 32, 232, 12);
}

void MaskLoaderWindow::step()
{
    m_bar->setValue(std::min(m_bar->maximum(), m_bar->value() + 10));
    if (isVisible())
        m_bar->repaint();
}

void MaskLoaderWindow::start()
{
    m_bar->setValue(0);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    // A window asked to show is not yet on screen, and what is painted before is lost: the loader waits, a
    // moment at most, until the display has it, so its plate, caption and bar are seen while the mask loads.
    QElapsedTimer waited;
    waited.start();
    while (windowHandle() && !windowHandle()->isExposed() && waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    repaint();
}

void MaskLoaderWindow::finish()
{
    close();
    m_bar->setValue(0);
}

void MaskLoaderWindow::closeEvent(QCloseEvent *event)
{
    if (isVisible()) {
        const QPoint home = pos();
        FlyOff::run(this, FlyOff::randomDirection(), 16, 200, 100, m_flyDelay);
        hide();
        move(home);
    }
    event->accept();
}
