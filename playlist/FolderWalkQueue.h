#pragma once
// Folders dropped on the player: their trees are added to the playlist one after another by the folder walk
// of "Add", on its own thread, so a drop of a whole library never holds the window.
#include "playlist/PlaylistTreeAdder.h"

#include <QObject>
#include <QStringList>

class PlaylistModel;

class FolderWalkQueue : public QObject
{
    Q_OBJECT

public:
    explicit FolderWalkQueue(PlaylistModel *playlist, QObject *parent = nullptr);

    // The folders among names (dropped files, in their order).
    static QStringList foldersAmong(const QStringList &names);
    // Walks these after the ones already waiting.
    void add(const QStringList &folders);
    // Drops the waiting folders and ends the running walk (what it found so far stays).
    void stop();
    bool isRunning() const { return m_adder.isRunning() || !m_folders.isEmpty(); }

signals:
    // Files were appended to the playlist by a walk.
    void filesAdded();
    // Every folder has been walked.
    void finished();

private:
    void next();

    PlaylistTreeAdder m_adder;
    QStringList m_folders;
};
