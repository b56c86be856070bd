#include "masks/TFormShaper.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>
#include <QWindow>
#include <vector>

TMaskedPicture::TMaskedPicture(QObject *parent) : QObject(parent) {}

void TMaskedPicture::setPicture(const QImage &picture)
{
    if (picture == m_picture)
        return;
    m_picture = picture;
    emit OnChange();
}

void TMaskedPicture::setMaskColor(int32_t color)
{
    if (color == m_maskColor)
        return;
    m_maskColor = color;
    emit OnChange();
}

void TMaskedPicture::assign(const TMaskedPicture &other)
{
    setMaskColor(other.MaskColor());
    setPicture(other.Picture());
}

TFormShaper::TFormShaper(QWidget *owner) : QObject(owner), m_owner(owner), m_picture(new TMaskedPicture(this))
{
    connect(m_picture, &TMaskedPicture::OnChange, this, &TFormShaper::pictureChanged);
    m_owner->installEventFilter(this);
}

TFormShaper *TFormShaper::forSkin(QWidget *owner, QLabel *background)
{
    auto *shaper = new TFormShaper(owner);
    shaper->setBackgrnd(background);
    shaper->setShowCaption(false);
    shaper->MaskedPicture()->setMaskColor(0x00FF00);
    shaper->setWindowMove(FullMove);
    shaper->setActive(true);
    return shaper;
}

TFormShaper::~TFormShaper()
{
    m_owner->removeEventFilter(this);
}

QRegion TFormShaper::regionFromImage(const QImage &image, int32_t maskColor)
{
    if (image.isNull())
        return QRegion();
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    // Masks store red in the low byte; a system colour has the high bit set and so matches no pixel.
    const uint32_t key = uint32_t(maskColor);
    const bool cutsSomething = (key & 0xFF000000u) == 0;
    const QRgb keyRgb = qRgb(int(key & 0xFF), int((key >> 8) & 0xFF), int((key >> 16) & 0xFF)) & 0xFFFFFF;

    const int width = rgb.width(), height = rgb.height();
    std::vector<QRect> rects;
    // Rows with the same runs as the row above extend its band instead of adding rectangles.
    std::vector<std::pair<int, int>> runs, previous;
    size_t bandStart = 0;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        runs.clear();
        int start = -1;
        for (int x = 0; x < width; ++x) {
            const bool cut = cutsSomething && (line[x] & 0xFFFFFF) == keyRgb;
            if (cut) {
                if (start >= 0) {
                    runs.emplace_back(start, x);
                    start = -1;
                }
            } else if (start < 0) {
                start = x;
            }
        }
        if (start >= 0)
            runs.emplace_back(start, width);
        if (y > 0 && runs == previous && !runs.empty()) {
            for (size_t i = bandStart; i < rects.size(); ++i)
                rects[i].setBottom(y);
            continue;
        }
        bandStart = rects.size();
        for (const auto &[from, to] : runs)
            rects.emplace_back(from, y, to - from, 1);
        previous = runs;
    }
    QRegion region;
    region.setRects(rects.data(), int(rects.size()));
    return region;
}

void TFormShaper::setBackgrnd(QLabel *label)
{
    if (m_backgrnd == label)
        return;
    if (m_backgrnd)
        disconnect(m_backgrnd, nullptr, this, nullptr);
    m_backgrnd = label;
    if (!label)
        return;
    // When the label goes, the window loses its shape with it.
    connect(label, &QObject::destroyed, this, [this] {
        setActive(false);
        m_backgrnd = nullptr;
    });
    label->setScaledContents(false);
    label->setGeometry(m_owner->rect());
    label->lower();
    copyToBackgrnd();
    resizeOwner();
}

void TFormShaper::pictureChanged()
{
    copyToBackgrnd();
    resizeOwner();
    rebuildRegion();
    const bool wanted = m_active;
    m_active = !wanted; // force the region to be applied again in its current state
    applyRegion(wanted);
}

void TFormShaper::copyToBackgrnd()
{
    if (m_backgrnd)
        m_backgrnd->setPixmap(QPixmap::fromImage(m_picture->Picture()));
}

void TFormShaper::resizeOwner()
{
    const QSize size = m_picture->Picture().size();
    if (size.isEmpty())
        return;
    if (m_showCaption) {
        if (m_owner->size() != size)
            m_owner->resize(size);
    } else if (m_owner->frameGeometry().size() != size || m_owner->size() != size) {
        m_owner->resize(size);
    }
    if (m_backgrnd)
        m_backgrnd->setGeometry(m_owner->rect());
}

void TFormShaper::rebuildRegion()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_region = regionFromImage(m_picture->Picture(), m_picture->MaskColor());
    QApplication::restoreOverrideCursor();
    m_regionChanged = true;
    ++m_rebuilds;
}

void TFormShaper::setRegionOverride(const QRegion &region)
{
    if (m_override == region)
        return;
    m_override = region;
    m_regionChanged = true;
    applyRegion(m_active);
}

void TFormShaper::clearRegionOverride()
{
    if (!m_override)
        return;
    m_override.reset();
    m_regionChanged = true;
    applyRegion(m_active);
}

void TFormShaper::setActive(bool on)
{
    applyRegion(on);
}

void TFormShaper::applyRegion(bool on)
{
    if (on == m_active && !m_regionChanged)
        return;
    m_active = false;
    if (on && !region().isEmpty() && !m_picture->Picture().isNull()) {
        m_owner->setMask(region());
        m_active = true;
    } else {
        m_owner->clearMask();
    }
    m_regionChanged = false;
}

void TFormShaper::setShowCaption(bool on)
{
    if (on)
        m_windowMove = NoMove;
    if (on == m_showCaption)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool wasActive = m_active;
    const bool wasVisible = m_owner->isVisible();
    applyRegion(false);
    m_showCaption = on;
    m_owner->setWindowFlag(Qt::FramelessWindowHint, !on);
    resizeOwner();
    // Changing the frame hides a top-level window; bring it back as it was.
    if (wasVisible)
        m_owner->show();
    applyRegion(wasActive);
    QApplication::restoreOverrideCursor();
}

bool TFormShaper::grabbedBackground(QObject *watched, const QPoint &ownerPos) const
{
    if (watched != m_owner)
        return false;
    QWidget *child = m_owner->childAt(ownerPos);
    return !child || child == m_backgrnd || child->property("skinBackground").toBool();
}

bool TFormShaper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_owner)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
        // A shaper made inactive still shapes its window the first time it is shown.
        if (!m_shownOnce || m_active) {
            m_shownOnce = true;
            m_regionChanged = true;
            applyRegion(true);
        }
        break;
    case QEvent::Resize:
        if (m_backgrnd)
            m_backgrnd->setGeometry(m_owner->rect());
        break;
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const QPoint pos = mouse->position().toPoint();
        if (!grabbedBackground(watched, pos))
            break;
        m_grab = pos;
        if (m_windowMove == SystemMove && m_owner->windowHandle()) {
            m_owner->windowHandle()->startSystemMove();
            return true;
        }
        m_dragging = true;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_dragging = false;
        break;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (m_windowMove == FullMove && m_dragging && mouse->buttons() == Qt::LeftButton) {
            m_owner->move(mouse->globalPosition().toPoint() - m_grab);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
