#include "widgets/GifAnimator.h"

#include "widgets/GifShape.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace
{
// Frames at least this long go by on the shared coarse beat.
constexpr int Beat = 100;
constexpr int QuickFrame = Beat * 4 / 5;

bool isOpaque(const QImage &image)
{
    if (image.isNull())
        return false; // nothing is painted for it
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb =
        image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied
            ? image
            : image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}
} // namespace

GifAnimator::GifAnimator(QWidget *parent) : QWidget(parent)
{
    connect(&m_frameTimer, &QTimer::timeout, this, &GifAnimator::frameTick);
}

GifAnimator::~GifAnimator()
{
    // The movie reads from the buffer: it goes first.
    m_movie.reset();
}

bool GifAnimator::setFile(const QString &path)
{
    clear();
    // Read the whole file first: only regular files of a sane size, so a FIFO or a device never blocks.
    if (!path.startsWith(QLatin1String(":/"))) {
        const QFileInfo info(path);
        if (!info.isFile() || info.size() > MaxFileSize)
            return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Sized by the file, not by the limit: reading up to the limit would reserve all of it.
    if (file.size() > MaxFileSize)
        return false;
    QByteArray data = file.read(file.size() + 1);
    if (data.isEmpty() || data.size() > MaxFileSize)
        return false;
    // Every frame is kept as a picture of the whole canvas: what that would take is known before any is made.
    GifShape shape = GifShape::scan(data);
    if (shape.valid && !shape.withinBounds()) {
        m_refusal = shape.refusal(path);
        return false;
    }

    m_data = std::move(data);
    m_buffer.setBuffer(&m_data);
    m_buffer.open(QIODevice::ReadOnly);
    auto movie = std::make_unique<QMovie>(&m_buffer);
    // The reader's own count of frames, which may see more than the walk of the blocks did.
    shape.frames = std::max(shape.frames, movie->frameCount());
    if (shape.valid && !shape.withinBounds()) {
        m_refusal = shape.refusal(path);
        movie.reset();
        m_buffer.close();
        m_data.clear();
        return false;
    }
    movie->setCacheMode(QMovie::CacheAll);
    if (!movie->isValid() || !movie->jumpToFrame(0) || movie->currentImage().isNull()) {
        movie.reset();
        m_buffer.close();
        m_data.clear();
        return false;
    }
    m_movie = std::move(movie);
    m_fileName = path;
    m_running = false;
    m_due = 0;
    m_loops = 0;
    m_frameOpaque.clear();
    frameShown();
    applyAnimating();
    updateGeometry();
    update();
    return true;
}

void GifAnimator::clear()
{
    m_refusal.clear();
    stopFrames();
    m_movie.reset();
    m_buffer.close();
    m_data.clear();
    m_fileName.clear();
    m_frameOpaque.clear();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    update();
}

void GifAnimator::setAnimating(bool on)
{
    m_animating = on;
    applyAnimating();
}

void GifAnimator::applyAnimating()
{
    if (!m_movie)
        return;
    if (!m_animating || m_hidden || m_outOfSight) {
        stopFrames();
        return;
    }
    if (m_movie->frameCount() == 1)
        return; // nothing to animate; a still picture keeps its frame
    startFrames();
}

int GifAnimator::frameDelay() const
{
    // A frame without a time of its own shows for a tenth of a second, as browsers do.
    const int delay = m_movie ? m_movie->nextFrameDelay() : Beat;
    return delay > 0 ? delay : Beat;
}

void GifAnimator::startFrames()
{
    if (m_running)
        return;
    m_running = true;
    // A picture paused halfway through a frame shows it for the rest of its time.
    if (m_due <= 0)
        m_due = frameDelay();
    m_clock.start();
    const bool quick = m_due < QuickFrame;
    m_frameTimer.setTimerType(quick ? Qt::PreciseTimer : Qt::CoarseTimer);
    m_frameTimer.start(quick ? int(m_due) : Beat);
}

void GifAnimator::stopFrames()
{
    // A paused animation goes on from where it was, with the rest of its frame's time.
    if (m_running && m_clock.isValid())
        m_due -= m_clock.elapsed();
    m_running = false;
    m_frameTimer.stop();
}

void GifAnimator::frameTick()
{
    if (!m_movie || !m_running)
        return;
    m_due -= m_clock.restart();
    // After a long stall it goes on from the frame it is on rather than racing through the ones missed.
    if (m_due < -2000)
        m_due = 0;
    bool changed = false;
    for (int n = 0; m_due <= 0 && n < m_movie->frameCount(); ++n) {
        if (m_movie->currentFrameNumber() + 1 >= m_movie->frameCount()) {
            // Round again, as often as the file says (-1: for ever).
            ++m_loops;
            const int loops = m_movie->loopCount();
            if (loops >= 0 && m_loops > loops) {
                m_running = false;
                m_frameTimer.stop();
                break;
            }
            m_movie->jumpToFrame(0);
        } else {
            m_movie->jumpToNextFrame();
        }
        m_due += frameDelay();
        changed = true;
    }
    if (m_running && m_due < QuickFrame && m_frameTimer.timerType() == Qt::PreciseTimer)
        m_frameTimer.start(int(std::max<qint64>(1, m_due)));
    if (changed) {
        frameShown();
        update();
    }
}

void GifAnimator::frameShown()
{
    // Whether a frame is opaque is looked at once, the first time it shows.
    const int frame = m_movie->currentFrameNumber();
    bool opaque = false;
    if (frame >= 0) {
        if (size_t(frame) >= m_frameOpaque.size())
            m_frameOpaque.resize(size_t(frame) + 1, -1);
        signed char &known = m_frameOpaque[size_t(frame)];
        if (known < 0)
            known = isOpaque(m_movie->currentImage()) ? 1 : 0;
        opaque = known == 1;
    }
    // Kept to its proportions it may leave part of the widget to what lies beneath.
    setAttribute(Qt::WA_OpaquePaintEvent, opaque && !m_keepAspect);
}

void GifAnimator::setOutOfSight(bool out)
{
    m_outOfSight = out;
    applyAnimating();
}

void GifAnimator::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_hidden = false;
    applyAnimating();
}

void GifAnimator::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_hidden = true;
    applyAnimating();
}

int GifAnimator::currentFrameNumber() const
{
    return m_movie ? m_movie->currentFrameNumber() : -1;
}

int GifAnimator::frameCount() const
{
    return m_movie ? m_movie->frameCount() : 0;
}

QSize GifAnimator::sizeHint() const
{
    if (m_movie)
        return m_movie->currentImage().size();
    return QSize(32, 32);
}

void GifAnimator::paintEvent(QPaintEvent *)
{
    if (!m_movie)
        return;
    const QImage frame = m_movie->currentImage();
    if (frame.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QRect target = rect();
    if (m_keepAspect) {
        target.setSize(frame.size().scaled(size(), Qt::KeepAspectRatio));
        target.moveCenter(rect().center());
    }
    painter.drawImage(target, frame);
}
