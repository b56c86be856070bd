#include "widgets/GifAnimator.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

GifAnimator::GifAnimator(QWidget *parent) : QWidget(parent) {}

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
    QByteArray data = file.read(MaxFileSize + 1);
    if (data.isEmpty() || data.size() > MaxFileSize)
        return false;

    m_data = std::move(data);
    m_buffer.setBuffer(&m_data);
    m_buffer.open(QIODevice::ReadOnly);
    auto movie = std::make_unique<QMovie>(&m_buffer);
    movie->setCacheMode(QMovie::CacheAll);
    if (!movie->isValid() || !movie->jumpToFrame(0) || movie->currentImage().isNull()) {
        movie.reset();
        m_buffer.close();
        m_data.clear();
        return false;
    }
    m_movie = std::move(movie);
    m_fileName = path;
    connect(m_movie.get(), &QMovie::frameChanged, this, qOverload<>(&QWidget::update));
    applyAnimating();
    updateGeometry();
    update();
    return true;
}

void GifAnimator::clear()
{
    m_movie.reset();
    m_buffer.close();
    m_data.clear();
    m_fileName.clear();
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
        if (m_movie->state() == QMovie::Running)
            m_movie->setPaused(true);
        return;
    }
    if (m_movie->frameCount() == 1)
        return; // nothing to animate; a still picture keeps its frame
    if (m_movie->state() == QMovie::Paused)
        m_movie->setPaused(false);
    else if (m_movie->state() == QMovie::NotRunning)
        m_movie->start();
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
    painter.drawImage(rect(), frame);
}
