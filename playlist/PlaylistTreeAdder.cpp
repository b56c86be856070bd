#include "playlist/PlaylistTreeAdder.h"

#include <QCoreApplication>

PlaylistTreeAdder::PlaylistTreeAdder(PlaylistModel *playlist, QObject *parent)
    : QObject(parent), m_playlist(playlist)
{
    m_iterator.setOptions(TFileIterator::fiPath | TFileIterator::fiDetails | TFileIterator::fiRecurseFolders);
    m_iterator.OnActivate = [this](TFileIterator &) { IteratorActivate(); };
    m_iterator.OnAddFileQuery = [this](TFileIterator &sender, const QString &name,
                                       const TFileDetails &details, bool &accept) {
        if (m_cancel) {
            sender.Stop();
            accept = false;
            return;
        }
        IteratorAddFileQuery(sender, name, details, accept);
        // A long stretch of other files must not hold back what was found before it.
        if (!accept && !m_pending.isEmpty() && m_sinceFlush.elapsed() >= BatchMilliseconds)
            flush();
    };
    m_iterator.OnAddFile = [this](TFileIterator &, const QString &name, const TFileDetails &) {
        IteratorAddFile(name);
    };
    m_iterator.OnTerminate = [this](TFileIterator &) { IteratorTerminate(); };
    // A program that quits during a walk ends it before anything it uses is torn down.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            stop();
            // Asked again while waiting: a walk only just begun may not have seen the first request.
            while (m_thread && !m_thread->wait(10))
                m_iterator.Stop();
        });
}

PlaylistTreeAdder::~PlaylistTreeAdder()
{
    // The thread's destructor stops the walk and waits for it; batches still queued for us die with us.
    delete m_thread.data();
}

bool PlaylistTreeAdder::start(const QString &folder)
{
    if (m_running)
        return false;
    // finished() is sent just before the walk's thread returns: let it return.
    if (m_thread)
        m_thread->wait();
    try {
        m_iterator.setRootFolder(folder);
    } catch (const EFileIteratorError &) {
        return false;
    }
    m_running = true;
    m_added = 0;
    m_cancel = false;
    const int walk = ++m_walk;
    // The iterator is ours alone and idle here, so the thread cannot be refused.
    auto *thread = new TFileIteratorThread(&m_iterator);
    m_thread = thread;
    // The walk's end normally comes from OnTerminate; should that never be queued, the thread's end still
    // ends the walk, after every batch queued before it. A walk started since is not ended by it.
    connect(thread, &QThread::finished, this, [this, walk] {
        if (walk == m_walk)
            end();
    });
    return true;
}

void PlaylistTreeAdder::stop()
{
    if (!m_running)
        return;
    m_cancel = true;
    m_iterator.Stop();
}

void PlaylistTreeAdder::IteratorAddFileQuery(TFileIterator &, const QString &fileName, const TFileDetails &,
                                             bool &accept)
{
    // The extension first: most files of a tree are not audio, and the existence test costs a system call.
    accept = PlaylistModel::hasAudioExtension(fileName) && PlaylistModel::IsAudioFile(fileName);
}

void PlaylistTreeAdder::IteratorActivate()
{
    m_pending.clear();
    m_sinceFlush.start();
    // A stop() that came before the walk was running found nothing to stop; now it can. Without this a tree
    // of folders holding no files would be walked to its end.
    if (m_cancel)
        m_iterator.Stop();
    QMetaObject::invokeMethod(this, &PlaylistTreeAdder::activated, Qt::QueuedConnection);
}

void PlaylistTreeAdder::IteratorAddFile(const QString &fileName)
{
    m_pending << PlaylistModel::prepareEntry(fileName);
    if (m_pending.size() >= BatchFiles || m_sinceFlush.elapsed() >= BatchMilliseconds)
        flush();
}

void PlaylistTreeAdder::IteratorTerminate()
{
    flush();
    QMetaObject::invokeMethod(this, &PlaylistTreeAdder::end, Qt::QueuedConnection);
}

void PlaylistTreeAdder::flush()
{
    m_sinceFlush.restart();
    if (m_pending.isEmpty())
        return;
    QMetaObject::invokeMethod(
        this, [this, batch = std::move(m_pending)] { append(batch); }, Qt::QueuedConnection);
    m_pending = {};
}

void PlaylistTreeAdder::append(const QList<PlaylistModel::PreparedEntry> &batch)
{
    if (m_playlist)
        m_playlist->appendPrepared(batch);
    m_added += int(batch.size());
    emit filesAdded(m_added, batch.last().entry.path);
}

void PlaylistTreeAdder::end()
{
    if (!m_running)
        return;
    m_running = false;
    const int count = m_added;
    m_added = 0;
    emit finished(count);
}
