#include "playlist/FolderWalkQueue.h"

#include "platform/FileName.h"

#include <sys/stat.h>

FolderWalkQueue::FolderWalkQueue(PlaylistModel *playlist, QObject *parent)
    : QObject(parent), m_adder(playlist)
{
    connect(&m_adder, &PlaylistTreeAdder::filesAdded, this, &FolderWalkQueue::filesAdded);
    connect(&m_adder, &PlaylistTreeAdder::finished, this, &FolderWalkQueue::next, Qt::QueuedConnection);
}

QStringList FolderWalkQueue::foldersAmong(const QStringList &names)
{
    QStringList folders;
    for (const QString &name : names) {
        struct stat st;
        if (!name.isEmpty() && !name.contains(QChar(0)) &&
            ::stat(FileName::encode(name).constData(), &st) == 0 && S_ISDIR(st.st_mode))
            folders << name;
    }
    return folders;
}

void FolderWalkQueue::add(const QStringList &folders)
{
    m_folders += folders;
    if (!m_adder.isRunning())
        next();
}

void FolderWalkQueue::stop()
{
    m_folders.clear();
    m_adder.stop();
}

void FolderWalkQueue::next()
{
    if (m_adder.isRunning())
        return;
    while (!m_folders.isEmpty())
        if (m_adder.start(m_folders.takeFirst()))
            return;
    emit finished();
}
