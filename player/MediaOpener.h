#pragma once
// Opening what the user hands the player: files chosen in the open dialog, files and folders dropped on a
// face, a second start's parameter, a media remote's address and the command line at start. Lists load by
// the playlist's file rules, audio files go into the list, folders add their trees on the folder walk's
// thread; what is to play then goes to the controller. Classic skins among them are passed on to be worn.
#include "platform/TextFile.h"

#include <QObject>
#include <QStringList>
#include <functional>

class FolderWalkQueue;
class PlaybackController;
class PlaylistModel;

class MediaOpener : public QObject
{
    Q_OBJECT

public:
    MediaOpener(PlaybackController *controller, PlaylistModel *playlist, QObject *parent = nullptr);

    // The open dialog's result: a list file loads; audio files replace the playlist and the first plays
    // (when the player plays what it is given).
    void openFiles(const QStringList &files);
    // Files dropped on a face: the audio files replace the list, a list dropped last loads instead, folders
    // add their trees.
    void dropFiles(const QStringList &names);
    // Folders dropped on the playlist: their trees are appended.
    void addFolders(const QStringList &folders);
    void stopFolderWalk();
    // A second start's parameter or a remote's address: a song or stream is added and plays, a list loads.
    void handOver(const QString &param);
    // The command line at start: no parameters load the last playlist from lastPlaylistPath; *lastListStatus,
    // when given, then says whether its bytes could be read.
    void startWith(const QStringList &arguments, const QString &lastPlaylistPath,
                   TextFile::ReadStatus *lastListStatus = nullptr);
    // The parameters joined into the one path they name (an unquoted path with blanks arrives in pieces),
    // made absolute against the folder the program was started in: a running player or a saved list must
    // not read it against a folder of their own. Empty for no parameters.
    static QString commandLinePath(const QStringList &arguments, const QString &workingFolder);
    // What names a skin to wear rather than something to play; without it nothing does.
    using SkinTest = std::function<bool(const QString &path)>;
    void setSkinTest(SkinTest test) { m_isSkin = std::move(test); }

signals:
    // A classic skin was dropped, handed over or named at start: the player is to wear it. It never goes
    // into the list.
    void skinGiven(const QString &path);

private:
    // The one song given: the list holds it alone or gains it, and it plays.
    void playOne(const QString &path, bool replaceList);

    PlaybackController *m_controller;
    PlaylistModel *m_playlist;
    FolderWalkQueue *m_folderWalk;
    bool m_playWhenFilled = false; // a drop of folders alone: the first song found plays
    SkinTest m_isSkin;
};
