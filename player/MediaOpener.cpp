#include "player/MediaOpener.h"

#include "player/PlaybackController.h"
#include "playlist/FolderWalkQueue.h"
#include "playlist/PlaylistFiles.h"
#include "playlist/PlaylistModel.h"

#include <QDir>
#include <utility>

MediaOpener::MediaOpener(PlaybackController *controller, PlaylistModel *playlist, QObject *parent)
    : QObject(parent), m_controller(controller), m_playlist(playlist),
      m_folderWalk(new FolderWalkQueue(playlist, this))
{
    connect(m_folderWalk, &FolderWalkQueue::filesAdded, this, [this] {
        if (std::exchange(m_playWhenFilled, false))
            m_controller->next();
    });
}

void MediaOpener::openFiles(const QStringList &files)
{
    if (files.isEmpty())
        return;
    m_playlist->clear();
    const QString first = files.first();
    if (PlaylistFiles::isListFile(first))
        PlaylistFiles::readByExtension(*m_playlist, first);
    if (PlaylistModel::IsAudioFile(first)) {
        m_playlist->addFiles(files);
        m_playlist->setCurrentIndex(0);
        m_playlist->setPlayedCount(0);
        m_playlist->selectEntry(0);
        if (m_controller->autoPlay())
            m_controller->playFile(first);
    }
}

void MediaOpener::dropFiles(const QStringList &dropped)
{
    // A skin dropped with songs is worn, and the songs play; a skin alone leaves the list as it is.
    QStringList names;
    for (const QString &name : dropped) {
        if (m_isSkin && m_isSkin(name))
            emit skinGiven(name);
        else
            names << name;
    }
    if (names.isEmpty())
        return;
    m_playlist->clear();
    QStringList audio;
    for (const QString &name : names)
        if (PlaylistModel::IsAudioFile(name))
            audio << name;
    m_playlist->addFiles(audio);
    if (PlaylistFiles::isListFile(names.last())) {
        PlaylistFiles::readByExtension(*m_playlist, names.last());
        return;
    }
    m_playlist->setCurrentIndex(-1);
    m_playlist->setPlayedCount(0);
    // Folders add their trees on the walk's thread; when they are all the drop held, the first song found
    // plays.
    const QStringList folders = FolderWalkQueue::foldersAmong(names);
    m_folderWalk->stop();
    m_playWhenFilled = m_playlist->count() == 0 && !folders.isEmpty();
    m_folderWalk->add(folders);
    m_controller->next();
}

void MediaOpener::addFolders(const QStringList &folders)
{
    m_folderWalk->add(folders);
}

void MediaOpener::stopFolderWalk()
{
    m_playWhenFilled = false;
    m_folderWalk->stop();
}

void MediaOpener::playOne(const QString &path, bool replaceList)
{
    if (replaceList) {
        m_playlist->clear();
        m_playlist->PlaylistAddFile(path);
        m_playlist->setCurrentIndex(0);
        m_playlist->setPlayedCount(0);
        m_playlist->selectEntry(0);
    } else {
        m_playlist->PlaylistAddFile(path);
        const int last = m_playlist->count() - 1;
        m_playlist->setCurrentIndex(last);
        m_playlist->unselectAll();
        m_playlist->selectEntry(last);
    }
    m_controller->playFile(path);
}

void MediaOpener::handOver(const QString &param)
{
    if (param.isEmpty())
        return;
    if (m_isSkin && m_isSkin(param)) {
        emit skinGiven(param);
        return;
    }
    // A stream address is added and played as a URL entry of the list.
    if (PlaylistModel::IsAudioFile(param) || PlaylistModel::IsStreamUrl(param))
        playOne(param, false);
    if (PlaylistFiles::isListFile(param))
        PlaylistFiles::readByExtension(*m_playlist, param);
}

void MediaOpener::startWith(const QStringList &arguments, const QString &lastPlaylistPath,
                            TextFile::ReadStatus *lastListStatus)
{
    if (arguments.isEmpty()) {
        PlaylistFiles::readVLN(*m_playlist, lastPlaylistPath, lastListStatus);
        return;
    }
    // An unquoted path with blanks arrives in pieces; put it together again.
    const QString path = arguments.join(QLatin1Char(' '));
    if (PlaylistModel::IsAudioFile(path) || PlaylistModel::IsStreamUrl(path))
        playOne(path, true);
    if (PlaylistFiles::isListFile(path))
        PlaylistFiles::readByExtension(*m_playlist, path);
}

QString MediaOpener::commandLinePath(const QStringList &arguments, const QString &workingFolder)
{
    const QString path = arguments.join(QLatin1Char(' '));
    if (path.isEmpty() || PlaylistModel::IsStreamUrl(path) || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}
