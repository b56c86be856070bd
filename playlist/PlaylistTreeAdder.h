#pragma once
// Adds every audio file of a folder tree to a playlist: a TFileIterator walks the tree on a
// TFileIteratorThread, reads each accepted file's header and tag there, and hands the prepared entries to the
// UI thread in order, a batch at a time, where they are appended. The playlist ends exactly as if each file
// had been added with PlaylistAddFile in the order found, but the UI thread never waits for the disk.
#include "playlist/PlaylistModel.h"
#include "playlist/TFileIterator.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <atomic>

class PlaylistTreeAdder : public QObject
{
    Q_OBJECT
public:
    // A batch goes to the UI thread when it holds this many files or this much time has passed since the
    // last.
    static constexpr int BatchFiles = 256;
    static constexpr int BatchMilliseconds = 50;

    explicit PlaylistTreeAdder(PlaylistModel *playlist = nullptr, QObject *parent = nullptr);
    // Stops a running walk and waits for its thread; files not yet appended are dropped.
    ~PlaylistTreeAdder() override;

    void setPlaylist(PlaylistModel *playlist) { m_playlist = playlist; }
    PlaylistModel *playlist() const { return m_playlist; }
    const TFileIterator &iterator() const { return m_iterator; }

    // Starts adding the tree below folder. False when a walk is still running (nothing changes then).
    bool start(const QString &folder);
    // Ends the running walk at its next entry; what was found so far is still appended, then finished().
    void stop();
    // From start() until finished() was emitted.
    bool isRunning() const { return m_running; }

    // The walk's accept rule: audio files only (PlaylistModel::IsAudioFile), any case of the extension.
    static void IteratorAddFileQuery(TFileIterator &sender, const QString &fileName,
                                     const TFileDetails &details, bool &accept);

signals:
    // The walk has begun.
    void activated();
    // Files were appended: count is the number added by this walk so far, lastPath the last one's path.
    void filesAdded(int count, const QString &lastPath);
    // The walk has ended and all its files are in the playlist.
    void finished(int count);

private:
    // Worker side.
    void IteratorActivate();
    void IteratorAddFile(const QString &fileName);
    void IteratorTerminate();
    void flush();
    // UI side.
    void append(const QList<PlaylistModel::PreparedEntry> &batch);
    void end();

    TFileIterator m_iterator;
    QPointer<PlaylistModel> m_playlist;
    QPointer<TFileIteratorThread> m_thread;
    bool m_running = false;
    int m_added = 0;
    // Counts the walks started, so the end of an earlier walk's thread cannot end a later walk.
    int m_walk = 0;
    // Set by stop(): a walk whose thread had not begun yet stops as soon as it begins.
    std::atomic<bool> m_cancel{false};
    // Touched only by the walk's thread.
    QList<PlaylistModel::PreparedEntry> m_pending;
    QElapsedTimer m_sinceFlush;
};
