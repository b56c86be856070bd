#include "player/MprisService.h"
#include "platform/FileName.h"

#include "player/MediaOpener.h"
#include "player/MprisAdaptors.h"
#include "player/PlaybackController.h"
#include "playlist/PlaylistModel.h"
#include "tags/CoverArt.h"
#include "tags/ExtendedTags.h"
#include "tags/TMPEGAudio.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace
{

const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

MprisService::MprisService(PlaybackController *controller, PlaylistModel *playlist, QObject *parent)
    : QObject(parent), m_controller(controller), m_playlist(playlist)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
    // Changes come in bursts (a song start sends state, length, title): one signal for each burst.
    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &MprisService::sendChanges);
    connect(controller, &PlaybackController::stateChanged, this, &MprisService::scheduleUpdate);
    connect(controller, &PlaybackController::volumePositionChanged, this, &MprisService::scheduleUpdate);
    connect(controller, &PlaybackController::loopRandomChanged, this, &MprisService::scheduleUpdate);
    // Every jump, from the player's own sliders too: clients assume the time runs on smoothly otherwise.
    connect(controller, &PlaybackController::seeked, this, [this](qint64 ms) {
        if (canSeek())
            emit seeked(ms * 1000);
    });
    connect(controller, &PlaybackController::titleChanged, this, &MprisService::scheduleUpdate);
    connect(controller, &PlaybackController::lengthTextChanged, this, &MprisService::scheduleUpdate);
    connect(controller, &PlaybackController::streamInfoChanged, this, [this] {
        // Each opened song is a new track, even the same file again.
        ++m_track;
        m_trackPath = m_controller->currentPath();
        updateCover();
        scheduleUpdate();
    });
    // Also when the program ends without unwinding this object.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MprisService::removeCover);
    connect(playlist, &PlaylistModel::countChanged, this, &MprisService::scheduleUpdate);
}

MprisService::~MprisService()
{
    removeCover();
    if (m_serviceName.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QLatin1String(ObjectPath));
    bus.unregisterService(m_serviceName);
}

bool MprisService::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QLatin1String(ObjectPath), this, QDBusConnection::ExportAdaptors))
        return false;
    const QString base = QLatin1String(ServiceBase);
    const QString own =
        base + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    for (const QString &name : {base, own}) {
        if (bus.registerService(name)) {
            m_serviceName = name;
            break;
        }
    }
    if (m_serviceName.isEmpty()) {
        bus.unregisterObject(QLatin1String(ObjectPath));
        return false;
    }
    // What the first PropertiesChanged compares against.
    m_sent.clear();
    sendChanges();
    return true;
}

void MprisService::removeCover()
{
    if (!m_coverFile.isEmpty())
        QFile::remove(m_coverFile);
    m_coverFile.clear();
}

void MprisService::updateCover()
{
    removeCover();
    // Without a client nobody shows it: the tag module and picture decoders stay unloaded.
    if (m_serviceName.isEmpty())
        return;
    const QByteArray bytes = CoverArt::find(m_trackPath);
    QByteArray format = CoverArt::pictureFormat(bytes);
    if (format.isEmpty())
        return;
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder) || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return;
    if (format == "jpeg")
        format = "jpg";
    // A new name for each song: clients keep pictures by their address.
    const QString path = QStringLiteral("%1/vorlan-cover-%2-%3.%4")
                             .arg(folder)
                             .arg(QCoreApplication::applicationPid())
                             .arg(++m_coverCount)
                             .arg(QString::fromLatin1(format));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return;
    m_coverFile = path;
}

QString MprisService::playbackStatus() const
{
    switch (m_controller->state()) {
    case PlayState::Playing:
        return QStringLiteral("Playing");
    case PlayState::Paused:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QString MprisService::loopStatus() const
{
    return m_controller->loop() ? QStringLiteral("Playlist") : QStringLiteral("None");
}

void MprisService::setLoopStatus(const QString &status)
{
    // "L" loops the whole list; a single-song loop does not exist, so "Track" loops the list too.
    if (status == QLatin1String("None"))
        m_controller->setLoop(false);
    else if (status == QLatin1String("Playlist") || status == QLatin1String("Track"))
        m_controller->setLoop(true);
}

bool MprisService::shuffle() const
{
    return m_controller->random();
}

void MprisService::setShuffle(bool on)
{
    m_controller->setRandom(on);
}

QDBusObjectPath MprisService::trackId() const
{
    if (m_track == 0)
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    return QDBusObjectPath(QStringLiteral("/org/vorlan/track/%1").arg(m_track));
}

QVariantMap MprisService::metadata() const
{
    QVariantMap map;
    const QString path = m_controller->currentPath();
    if (path.isEmpty() || m_track == 0)
        return map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId()));
    if (m_controller->lengthSeconds() > 0 && !PlaylistModel::IsStreamUrl(path))
        map.insert(QStringLiteral("mpris:length"), qlonglong(m_controller->lengthSeconds()) * 1000000);
    const bool stream = PlaylistModel::IsStreamUrl(path);
    map.insert(QStringLiteral("xesam:url"), stream ? path : QUrl::fromLocalFile(path).toString());
    QString title = m_controller->songTitle();
    if (!stream) {
        TMPEGAudio mpeg;
        mpeg.setFileName(path);
        const TMPEGData &d = mpeg.data();
        if (d.Header == QStringLiteral("TAG")) {
            if (!d.Title.trimmed().isEmpty())
                title = d.Title.trimmed();
            if (!d.Artist.trimmed().isEmpty())
                map.insert(QStringLiteral("xesam:artist"), QStringList{d.Artist.trimmed()});
            if (!d.Album.trimmed().isEmpty())
                map.insert(QStringLiteral("xesam:album"), d.Album.trimmed());
        } else if (const ExtendedTags::Names names = ExtendedTags::read(path); !names.isEmpty()) {
            if (!names.title.isEmpty())
                title = names.title;
            if (!names.artist.isEmpty())
                map.insert(QStringLiteral("xesam:artist"), QStringList{names.artist});
            if (!names.album.isEmpty())
                map.insert(QStringLiteral("xesam:album"), names.album);
        }
    }
    map.insert(QStringLiteral("xesam:title"), title);
    if (!m_coverFile.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), QUrl::fromLocalFile(m_coverFile).toString());
    return map;
}

double MprisService::volume() const
{
    return (100 - m_controller->volumePosition()) / 100.0;
}

void MprisService::setVolume(double volume)
{
    // Not a number (NaN, an infinity) is no volume: ignored rather than taken for silence.
    if (!std::isfinite(volume))
        return;
    // The volume slider's path: the strip's slider, the skin's knob and the time label follow.
    const double v = std::clamp(volume, 0.0, 1.0);
    m_controller->setVolume(100 - int(std::lround(v * 100)));
}

qint64 MprisService::position() const
{
    return qint64(m_controller->elapsedMilliseconds()) * 1000;
}

bool MprisService::canGoNext() const
{
    return m_playlist->count() > 0;
}

bool MprisService::canGoPrevious() const
{
    return m_playlist->count() > 0;
}

bool MprisService::canPlay() const
{
    return m_playlist->count() > 0 || !m_controller->currentPath().isEmpty();
}

bool MprisService::canPause() const
{
    return canPlay();
}

bool MprisService::canSeek() const
{
    return m_controller->lengthSeconds() > 0 && !PlaylistModel::IsStreamUrl(m_controller->currentPath()) &&
           m_controller->state() != PlayState::Stopped;
}

// The commands act as the strip's buttons do: only what the controller offers now.
void MprisService::play()
{
    if (m_controller->canPlay())
        m_controller->play();
}

void MprisService::pause()
{
    if (m_controller->canPause())
        m_controller->pause();
}

void MprisService::playPause()
{
    if (m_controller->canPause())
        m_controller->pause();
    else
        m_controller->play();
}

void MprisService::stop()
{
    if (m_controller->canStop())
        m_controller->stop();
}

void MprisService::next()
{
    m_controller->next();
}

void MprisService::previous()
{
    m_controller->previous();
}

void MprisService::seekToMicroseconds(qint64 target)
{
    if (!canSeek())
        return;
    const qint64 length = qint64(m_controller->lengthSeconds()) * 1000000;
    if (target >= length) {
        // Past the end: as if the song had ended.
        m_controller->next();
        return;
    }
    target = std::max<qint64>(0, target);
    m_controller->seekTo(target / 1000);
}

void MprisService::seek(qint64 offset)
{
    seekToMicroseconds(position() + offset);
}

void MprisService::setPosition(const QDBusObjectPath &track, qint64 position)
{
    // A position meant for another song, or outside this one, is ignored.
    if (track != trackId() || position < 0 || position > qint64(m_controller->lengthSeconds()) * 1000000)
        return;
    seekToMicroseconds(position);
}

void MprisService::openUri(const QString &uri)
{
    const QUrl url(uri);
    if (url.isLocalFile())
        m_controller->opener()->handOver(FileName::fromLocalUrl(url));
    else if (PlaylistModel::IsStreamUrl(uri))
        m_controller->opener()->handOver(uri);
}

void MprisService::scheduleUpdate()
{
    if (!m_serviceName.isEmpty())
        m_updateTimer.start();
}

void MprisService::sendChanges()
{
    if (m_serviceName.isEmpty())
        return;
    const QVariantMap now{
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("LoopStatus"), loopStatus()},
        {QStringLiteral("Shuffle"), shuffle()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
    };
    QVariantMap changed;
    for (auto it = now.begin(); it != now.end(); ++it)
        if (!m_sent.contains(it.key()) || m_sent.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    const bool first = m_sent.isEmpty();
    m_sent = now;
    if (first || changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(ObjectPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
