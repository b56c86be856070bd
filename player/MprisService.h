#pragma once
// The player on the session bus as an MPRIS2 media player (org.mpris.MediaPlayer2.vorlan): desktop media
// keys, the desktop's media controls and remotes such as playerctl drive it. Every command goes through the
// playback controller the buttons use, so statistics, fades and refusals stay the same. Without a session bus
// the player runs as before and this object stays idle.
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

class PlaybackController;
class PlaylistModel;

class MprisService : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *ObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char *ServiceBase = "org.mpris.MediaPlayer2.vorlan";

    MprisService(PlaybackController *controller, PlaylistModel *playlist, QObject *parent = nullptr);
    ~MprisService() override;

    // Takes the player's name on the session bus (a second player takes "...vorlan.instance<pid>"). False,
    // silently, when there is no session bus.
    bool start();
    QString serviceName() const { return m_serviceName; }

    // The values the Player interface shows.
    QString playbackStatus() const;
    QString loopStatus() const;
    void setLoopStatus(const QString &status);
    bool shuffle() const;
    void setShuffle(bool on);
    QVariantMap metadata() const;
    double volume() const;
    void setVolume(double volume);
    qint64 position() const; // microseconds
    bool canGoNext() const;
    bool canGoPrevious() const;
    bool canPlay() const;
    bool canPause() const;
    bool canSeek() const;

    // The Player interface's methods.
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void seek(qint64 offset);
    void setPosition(const QDBusObjectPath &track, qint64 position);
    void openUri(const QString &uri);

signals:
    // Root interface: the app shows its windows or ends with its normal saving.
    void raiseRequested();
    void quitRequested();
    // For the Player adaptor.
    void seeked(qint64 position);

private:
    void scheduleUpdate();
    void sendChanges();
    QDBusObjectPath trackId() const;
    void seekToMicroseconds(qint64 target);
    // The playing song's cover as a file in the runtime folder, for mpris:artUrl; the last one's is removed.
    void updateCover();
    void removeCover();

    PlaybackController *m_controller;
    PlaylistModel *m_playlist;
    QString m_serviceName;
    QTimer m_updateTimer;
    QVariantMap m_sent;
    // A new number for each song started, so clients see a track change even when a song plays again.
    int m_track = 0;
    QString m_trackPath;
    QString m_coverFile;
    int m_coverCount = 0;
};
