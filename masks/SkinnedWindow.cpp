#include "masks/SkinnedWindow.h"
#include "platform/FileName.h"

#include "masks/FlyOff.h"
#include "masks/MaskLoaderWindow.h"
#include "masks/RegionFile.h"
#include "masks/SkinnedFace.h"
#include "masks/TFormShaper.h"
#include "widgets/TKTop.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

const QString SkinnedWindow::PlaylistEntriesMimeType =
    QStringLiteral("application/x-vorlan-playlist-entries");

SkinnedWindow::SkinnedWindow(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vorlan"));
    setAcceptDrops(true);
    m_backImage = new QLabel(this);
    m_backImage->setObjectName(QStringLiteral("BackImage"));
    m_shaper = TFormShaper::forSkin(this, m_backImage);
    m_kTop = new TKTop(this);
    m_face = new SkinnedFace(this);
    m_face->setGeometry(rect());
    m_face->setOnTopCaption(SkinnedFace::OnTopOff);
    m_loader = new MaskLoaderWindow;
    m_mask = MaskFile::defaults(MaskReader::Player);
    resize(300, 120);

    connect(m_face, &SkinnedFace::onTopClicked, this, &SkinnedWindow::OnTopClick);
    connect(m_face, &SkinnedFace::exitClicked, this, &SkinnedWindow::ExitBtnClick);
    connect(m_face, &SkinnedFace::pictureRefused, this, &SkinnedWindow::pictureRefused);
}

SkinnedWindow::~SkinnedWindow()
{
    delete m_loader;
}

void SkinnedWindow::showLoader()
{
    m_loader->start();
}

bool SkinnedWindow::LoadMask(const QString &fileName)
{
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile())
        return false;
    bool ok = false;
    const MaskFile mask = MaskFile::load(fileName, MaskReader::Player, &ok);
    // A background that is there but cannot be read whole would be painted as garbage; none at all, with no
    // mask shown before, would leave a grey box without controls.
    const QString backPath = mask.imagePath(mask.backImage);
    const QImage background = MaskFile::readImage(backPath);
    const bool noPicture = m_shaper->MaskedPicture()->Picture().isNull();
    if (background.isNull() && (!backPath.isEmpty() || noPicture) && !m_fallback.isEmpty() &&
        QFileInfo(fileName) != QFileInfo(m_fallback)) {
        const QString why = backPath.isEmpty() ? QStringLiteral("it names no background picture that exists")
                                               : QStringLiteral("its background \"%1\" cannot be read whole")
                                                     .arg(QDir::toNativeSeparators(backPath));
        emit pictureRefused(QStringLiteral("The mask \"%1\" cannot be shown: %2. The built-in skin is shown "
                                           "instead.")
                                .arg(QDir::toNativeSeparators(fileName), why));
        return LoadMask(m_fallback);
    }
    hide();
    m_loader->start();
    const auto step = [this] { m_loader->step(); };

    m_shaper->setActive(false);
    step();

    // A mask whose background is missing keeps the old picture and outline.
    if (!background.isNull()) {
        resize(background.size());
        step();
        m_shaper->MaskedPicture()->setPicture(background);
        m_shaper->MaskedPicture()->setMaskColor(mask.backColor);
        applyShape(mask, background.size());
        step();
        m_shaper->setActive(true);
    }
    m_face->setGeometry(rect());
    m_face->applyMask(mask, background, step);

    m_mask = mask;
    emit bestColorsLoaded(mask.bestColor1, mask.bestColor2);
    m_loader->finish();
    return true;
}

void SkinnedWindow::applyShape(const MaskFile &mask, const QSize &size)
{
    if (mask.shape.isEmpty()) {
        m_shaper->clearRegionOverride();
        return;
    }
    const QString path = mask.imagePath(mask.shape);
    QString problem;
    const QList<QPolygon> polygons =
        path.isEmpty() ? QList<QPolygon>() : RegionFile::read(path, QStringLiteral("Normal"), &problem);
    const QRegion region = RegionFile::region(polygons, QRect(QPoint(), size));
    if (!region.isEmpty()) {
        m_shaper->setRegionOverride(region);
        return;
    }
    m_shaper->clearRegionOverride();
    const QString why = path.isEmpty()       ? QStringLiteral("there is no such file beside the mask")
                        : !problem.isEmpty() ? problem
                        : polygons.isEmpty() ? QStringLiteral("it holds no outline")
                                             : QStringLiteral("its outline lies outside the window");
    emit pictureRefused(
        QStringLiteral("The outline \"%1\" of the mask cannot be used (%2); the window is cut "
                       "from its background colour instead.")
            .arg(QDir::toNativeSeparators(path.isEmpty() ? mask.shape : path), why));
}

void SkinnedWindow::OnTopClick()
{
    setOnTopCaption(onTopCaption() == SkinnedFace::OnTopOff ? SkinnedFace::OnTopOn : SkinnedFace::OnTopOff);
}

void SkinnedWindow::setOnTopCaption(const QString &caption)
{
    m_face->setOnTopCaption(caption == SkinnedFace::OnTopOn ? SkinnedFace::OnTopOn : SkinnedFace::OnTopOff);
    applyOnTop();
}

QString SkinnedWindow::onTopCaption() const
{
    return m_face->onTopCaption();
}

bool SkinnedWindow::staysOnTop() const
{
    return windowFlags() & Qt::WindowStaysOnTopHint;
}

void SkinnedWindow::applyOnTop()
{
    const bool on = onTopCaption() == SkinnedFace::OnTopOn;
    if (on != staysOnTop())
        m_kTop->setKTop(on);
    emit onTopChanged(on);
}

void SkinnedWindow::BackImageDblClick()
{
    hide();
    emit backToStripRequested();
}

void SkinnedWindow::setFlyOffDelay(int ms)
{
    m_flyDelay = ms;
    m_loader->setFlyOffDelay(ms);
}

void SkinnedWindow::ExitBtnClick()
{
    close();
}

void SkinnedWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeAllowed || m_flying) {
        event->accept();
        return;
    }
    // The window flies off the screen, comes back to its place hidden, and the player closes.
    m_flying = true;
    const QPoint home = pos();
    if (isVisible())
        FlyOff::run(this, FlyOff::randomDirection(), 201, 10, 10, m_flyDelay);
    hide();
    move(home);
    m_flying = false;
    event->accept();
    emit closeRequested();
}

bool SkinnedWindow::isBackground(const QPoint &pos) const
{
    QWidget *child = childAt(pos);
    return !child || child == m_backImage || child->property("skinBackground").toBool();
}

void SkinnedWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isBackground(event->position().toPoint())) {
        BackImageDblClick();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void SkinnedWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // Without a tray (most desktops today) this is the only way to the player's commands but their keys.
    if (!isBackground(event->pos())) {
        event->ignore();
        return;
    }
    emit menuRequested(event->globalPos());
}

void SkinnedWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift)
        emit shiftPressed();
    emit keyPressed(event->key(), event->modifiers());
}

void SkinnedWindow::keyReleaseEvent(QKeyEvent *event)
{
    emit keyReleased(event->key(), event->modifiers());
}

void SkinnedWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    applyOnTop();
}

void SkinnedWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        applyOnTop();
    if (event->type() == QEvent::WindowStateChange) {
        m_face->setOutOfSight(isMinimized());
        if (m_wasMinimized && !isMinimized())
            emit restored();
        m_wasMinimized = isMinimized();
    }
    QWidget::changeEvent(event);
}

bool SkinnedWindow::acceptsDrop(const QDropEvent *event) const
{
    const QMimeData *mime = event->mimeData();
    if (mime->hasFormat(PlaylistEntriesMimeType))
        return event->source() != m_backImage && event->source() != this;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

void SkinnedWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrop(event))
        event->acceptProposedAction();
}

void SkinnedWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event))
        event->acceptProposedAction();
}

void SkinnedWindow::dropEvent(QDropEvent *event)
{
    if (!acceptsDrop(event))
        return;
    event->acceptProposedAction();
    const QMimeData *mime = event->mimeData();
    if (mime->hasFormat(PlaylistEntriesMimeType)) {
        emit playlistEntryDropped();
        return;
    }
    QStringList files;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            files << FileName::fromLocalUrl(url);
    if (!files.isEmpty())
        emit filesDropped(files);
}
