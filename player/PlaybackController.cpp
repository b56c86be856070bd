#include "player/PlaybackController.h"

#include "engine/TVumeter.h"
#include "player/MediaOpener.h"
#include "player/Statistics.h"
#include "playlist/PlaylistModel.h"
#include "tags/TMPEGAudio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <climits>
#include <utility>

namespace
{

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// The "00" pattern: at least two digits.
QString percentText(int value, const QString &suffix)
{
    return twoDigits(value) + suffix;
}

} // namespace

PlaybackController::PlaybackController(AudioEngine *engine, PlaylistModel *playlist, Statistics *statistics,
                                       QObject *parent)
    : QObject(parent), m_engine(engine), m_playlist(playlist), m_statistics(statistics),
      m_meter(new TVumeter(engine, this))
{
    qRegisterMetaType<StreamInfo>();
    qRegisterMetaType<PlayState>();
    m_vuMeterTimer.setInterval(100);
    m_fadeDown.setInterval(100);
    m_fadeUp.setInterval(100);
    connect(&m_vuMeterTimer, &QTimer::timeout, this, &PlaybackController::vuMeterTick);
    connect(&m_fadeDown, &QTimer::timeout, this, &PlaybackController::fadeDownTick);
    connect(&m_fadeUp, &QTimer::timeout, this, &PlaybackController::fadeUpTick);
    m_nextAfterEnd.setSingleShot(true);
    connect(&m_nextAfterEnd, &QTimer::timeout, this, &PlaybackController::next);
    m_opener = new MediaOpener(this, m_playlist, this);

    connect(m_engine, &AudioEngine::opened, this, &PlaybackController::onOpened);
    connect(m_engine, &AudioEngine::stateChanged, this, &PlaybackController::onState);
    connect(m_engine, &AudioEngine::refused, this, &PlaybackController::onRefused);
    connect(m_engine, &AudioEngine::connectionDropped, this, &PlaybackController::onConnectionDropped);
    connect(m_engine, &AudioEngine::durationChanged, this, &PlaybackController::onDuration);
    connect(m_engine, &AudioEngine::timeChanged, this, &PlaybackController::onTime);
    connect(m_engine, &AudioEngine::positionChanged, this, &PlaybackController::onPosition);
    connect(m_engine, &AudioEngine::streamInfoChanged, this, &PlaybackController::onStreamInfo);
    connect(m_engine, &AudioEngine::volumeChanged, this,
            [this](int, int pcm, int balance) { onVolume(pcm, balance); });
    connect(m_engine, &AudioEngine::streamTitleChanged, this, &PlaybackController::onStreamTitle);
    connect(m_engine, &AudioEngine::followed, this, &PlaybackController::onFollowed);
    // What follows a playing song depends on the list and its order.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_playlist, signal, this, &PlaybackController::queueNext, Qt::QueuedConnection);
    connect(m_playlist, &QAbstractItemModel::modelReset, this, &PlaybackController::queueNext,
            Qt::QueuedConnection);
    connect(m_playlist, &PlaylistModel::queueChanged, this, &PlaybackController::queueNext,
            Qt::QueuedConnection);
    connect(m_playlist, &QAbstractItemModel::layoutChanged, this, &PlaybackController::queueNext,
            Qt::QueuedConnection);
    connect(m_playlist, &QAbstractItemModel::rowsMoved, this, &PlaybackController::queueNext,
            Qt::QueuedConnection);
    // A reported PCM level of 99 is full volume.
    connect(m_engine, &AudioEngine::pcmLevelChanged, this,
            [this](int pcm) { onVolume(pcm == 99 ? 100 : pcm, m_balancePosition); });
    connect(m_engine, &AudioEngine::balanceChanged, this,
            [this](int balance) { onVolume(100 - m_volumePosition, balance); });

    // A list loaded from a file starts playing when the user wants it so.
    connect(m_playlist, &PlaylistModel::listLoaded, this, [this] {
        if (m_autoPlay)
            next();
    });
}

PlaybackController::~PlaybackController() = default;

void PlaybackController::setTickInterval(int ms)
{
    for (QTimer *t : {&m_vuMeterTimer, &m_fadeDown, &m_fadeUp})
        t->setInterval(ms);
}

void PlaybackController::setOutputModule(int module)
{
    m_outputModuleSetting = module;
    m_outputModule = module == 0   ? OutputModule::SoundServer
                     : module == 2 ? OutputModule::WavFile
                                   : OutputModule::WaveDevice;
    if (module == 0)
        m_engine->setOutputName(QStringLiteral("/dev/dsound/0"));
    else if (module == 1)
        m_engine->setOutputName(QStringLiteral("/dev/wave/0"));
    // A WAV file: every song opens a file of its own.
}

void PlaybackController::applyAnimatedTray(bool on)
{
    m_animatedTray = on;
    emit trayAnimationChanged(on && m_state == PlayState::Playing);
}

void PlaybackController::setReplayGain(bool on)
{
    m_replayGain = on;
    m_engine->setReplayGain(on);
}

QString PlaybackController::wavOutputName(const QString &path) const
{
    QString dir = m_outputDir.isEmpty() ? QDir::homePath() : m_outputDir;
    if (!dir.endsWith('/'))
        dir += '/';
    // A song name may hold characters a file name cannot.
    QString name = PlaylistModel::EntryDisplayText(path, true);
    name.replace('/', '-').replace(QChar(0), ' ');
    if (name.trimmed().isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        name = QStringLiteral("Vorlan");
    return QStringLiteral("wav:") + dir + name + QStringLiteral(".wav");
}

void PlaybackController::playFile(const QString &path)
{
    if (m_stoppedForGood)
        return;
    m_nextAfterEnd.stop();
    if (!PlaylistModel::IsAudioFile(path) && !PlaylistModel::IsStreamUrl(path)) {
        emit trayAnimationChanged(false);
        if (PlaylistModel::FolderIsMissing(path))
            skipUnreachable(path);
        else
            removeUnplayable(path);
        return;
    }
    if (m_randomColors)
        emit randomColorsWanted();
    m_playlist->setLiveName(QString(), QString());
    // Opening a song forgets what was queued to follow the last one.
    m_queuedIndex = -1;
    m_queuedPath.clear();
    m_currentPath = path;
    m_trackPosition = true;
    // The decoder reports a length only for files; a stream has none, and must not show the last file's.
    m_lengthSeconds = 0;
    emit lengthTextChanged(lengthText(0));
    emit songTimeTextChanged(songTimeText(0));
    if (m_outputModule == OutputModule::WavFile)
        m_engine->openOutput(wavOutputName(path));
    m_engine->open(path);
}

void PlaybackController::removeUnplayable(const QString &path)
{
    // Only the entry being played goes; the one that slides into its place is the next to play.
    const int current = m_playlist->CurrentIndex();
    if (current >= 0 && current < m_playlist->count() && m_playlist->entryPath(current) == path) {
        // With Loop on in list order, the unplayable entries right after it would go the same way one by one;
        // they go at once, so a long run of them costs one removal, not one each.
        int last = current;
        if (m_loop && !m_random)
            while (last + 1 < m_playlist->count() &&
                   PlaylistModel::IsUnplayable(m_playlist->entryPath(last + 1)))
                ++last;
        m_playlist->unselectAll();
        m_playlist->removeEntries(current, last);
        m_playlist->setCurrentIndex(current - 1);
    } else {
        m_playlist->removeSelected();
    }
    // Queued, so a list of many unplayable entries does not nest one call per entry.
    if (m_loop)
        QMetaObject::invokeMethod(this, &PlaybackController::next, Qt::QueuedConnection);
}

void PlaybackController::skipUnreachable(const QString &path)
{
    // Its whole folder is missing: a drive not plugged in. The entry stays for when the drive is back; after
    // a run of such entries the player stops instead of walking the whole list.
    ++m_unreachableRun;
    if (m_loop && m_unreachableRun < std::min(MaxUnreachableRun, m_playlist->count())) {
        QMetaObject::invokeMethod(this, &PlaybackController::next, Qt::QueuedConnection);
        return;
    }
    m_unreachableRun = 0;
    const QString folder = QDir::toNativeSeparators(path.left(path.lastIndexOf(QLatin1Char('/'))));
    emit errorMessage(QStringLiteral("Cannot find \"%1\": its folder \"%2\" is missing. Is its drive "
                                     "plugged in?")
                          .arg(QDir::toNativeSeparators(path), folder));
}

void PlaybackController::play()
{
    // Nothing opened yet (a list just loaded): Play starts the chosen entry instead of being refused.
    if (m_currentPath.isEmpty() && m_playlist->count() > 0) {
        playSelected();
        return;
    }
    // A stop closed the song's WAV file; playing it again writes it again rather than to a sound device.
    if (m_outputModule == OutputModule::WavFile && !m_currentPath.isEmpty() &&
        (m_state == PlayState::Stopped || m_state == PlayState::Ended))
        m_engine->openOutput(wavOutputName(m_currentPath));
    m_engine->play();
}

void PlaybackController::pause()
{
    m_engine->pause();
}

void PlaybackController::stop()
{
    m_nextAfterEnd.stop();
    m_songsThisRound = 0;
    m_engine->resetOutput();
    m_engine->stop();
}

void PlaybackController::playSelected()
{
    m_playlist->UpdateSelectedTime();
    if (m_playlist->count() == 0)
        return;
    const int focused = std::max(0, m_playlist->focusedEntry());
    m_playlist->setCurrentIndex(focused);
    playFile(m_playlist->entryPath(focused));
}

int PlaybackController::nextEntry() const
{
    const int n = m_playlist->count();
    // What the user queued comes before the list's own order.
    if (const int queued = m_playlist->queuedRow(); queued >= 0)
        return queued;
    if (m_random)
        return int(QRandomGenerator::global()->bounded(n));
    const int current = m_playlist->CurrentIndex();
    return current >= n - 1 ? 0 : current + 1;
}

void PlaybackController::next()
{
    if (m_playlist->count() == 0)
        return;
    m_playlist->unselectAll();
    const int index = nextEntry();
    if (m_playlist->queuedRow() == index)
        m_playlist->unqueue(m_playlist->entryPath(index));
    m_playlist->setCurrentIndex(index);
    m_playlist->selectEntry(index);
    playSelected();
}

void PlaybackController::previous()
{
    const int n = m_playlist->count();
    if (n == 0)
        return;
    m_playlist->unselectAll();
    int index = m_playlist->CurrentIndex();
    // Nothing chosen yet (right after a list load) counts as the first entry, so Previous goes to the last.
    if (index <= 0 || index > n)
        index = n;
    --index;
    if (m_random)
        index = int(QRandomGenerator::global()->bounded(n));
    m_playlist->setCurrentIndex(index);
    m_playlist->selectEntry(index);
    playSelected();
}

void PlaybackController::resetPlayback()
{
    emit trayAnimationChanged(false);
    setSeekable(false);
    m_trackPosition = false;
    setMetersRunning(false);
    m_position = 0;
    emit positionChanged(0);
    m_leftLevel = m_rightLevel = 0;
    emit levelsChanged(0, 0);
    m_engine->closeOutput();
    m_engine->seek(0, 1);
    m_elapsedSeconds = 0;
    m_elapsedCentis = 0;
    setTimeText(QStringLiteral("[00:00]"));
    // A stream's title is its name only while it plays.
    m_playlist->setLiveName(QString(), QString());
}

void PlaybackController::setLoop(bool on)
{
    m_loop = on;
    emit loopRandomChanged(m_loop, m_random);
    queueNext();
}

void PlaybackController::setRandom(bool on)
{
    m_random = on;
    emit loopRandomChanged(m_loop, m_random);
    queueNext();
}

void PlaybackController::toggleTimeShown()
{
    m_timeElapsed = !m_timeElapsed;
    if (m_timeText != QStringLiteral("[00:00]"))
        redrawTime();
}

void PlaybackController::setTimeElapsed(bool elapsed)
{
    m_timeElapsed = elapsed;
}

QString PlaybackController::timeOfDayText(int seconds, bool remaining)
{
    seconds = std::max(0, seconds);
    const int m = seconds % 3600 / 60, s = seconds % 60;
    return remaining ? QStringLiteral("- %1:%2").arg(twoDigits(m), twoDigits(s))
                     : QStringLiteral("[%1:%2]").arg(twoDigits(m), twoDigits(s));
}

QString PlaybackController::lengthText(int seconds)
{
    return QStringLiteral("Length: ") + timeOfDayText(seconds, false);
}

QString PlaybackController::songTimeText(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(twoDigits(seconds / 3600), twoDigits(seconds % 3600 / 60), twoDigits(seconds % 60));
}

void PlaybackController::setTimeText(const QString &text)
{
    m_timeText = text;
    m_timeShown = NoTimeShown;
    emit timeTextChanged(text);
}

void PlaybackController::redrawTime()
{
    // The decoder tells the time ten times a second; the text changes once.
    const int shown =
        m_timeElapsed ? std::max(0, m_elapsedSeconds) : -1 - std::max(0, m_lengthSeconds - m_elapsedSeconds);
    if (shown == m_timeShown)
        return;
    setTimeText(m_timeElapsed ? timeOfDayText(m_elapsedSeconds, false)
                              : timeOfDayText(m_lengthSeconds - m_elapsedSeconds, true));
    m_timeShown = shown;
}

void PlaybackController::fadeToSilence()
{
    if (!m_fadeUp.isActive())
        m_fadeVolume = m_volumePosition;
    m_fadeUp.stop();
    m_fadeDown.start();
}

void PlaybackController::fadeBack()
{
    m_fadeVolume = 0;
    m_fadeDown.stop();
    m_fadeUp.start();
}

void PlaybackController::fadeDownTick()
{
    if (m_volumePosition + 3 >= 98) {
        m_fadeDown.stop();
        setVolumePosition(100);
        return;
    }
    setVolumePosition(m_volumePosition + 3);
}

void PlaybackController::fadeUpTick()
{
    const int next = m_volumePosition - 3;
    if (next <= m_fadeVolume) {
        m_fadeUp.stop();
        setVolumePosition(m_fadeVolume);
        return;
    }
    setVolumePosition(next);
}

void PlaybackController::positionPressed()
{
    fadeToSilence();
}

void PlaybackController::positionReleased()
{
    m_fadeDown.stop();
    m_fadeUp.start();
}

void PlaybackController::positionDragStarted()
{
    m_trackPosition = false;
}

void PlaybackController::positionDragEnded(int value)
{
    m_position = value;
    m_engine->seek(value, PositionMax);
    m_trackPosition = true;
    // Announced once, where the drag ended; not when the slider was let go of because the song ended.
    if (m_lengthSeconds > 0 && (m_state == PlayState::Playing || m_state == PlayState::Paused)) {
        const qint64 ms =
            qint64(m_lengthSeconds) * 1000 * std::clamp(value, 0, int(PositionMax)) / PositionMax;
        // The new place holds until the decoder's next report, for whoever asks right after.
        m_elapsedCentis = ms / 10;
        m_elapsedSeconds = int(ms / 1000);
        emit seeked(ms);
    }
}

void PlaybackController::seekTo(qint64 ms)
{
    const qint64 length = qint64(m_lengthSeconds) * 1000;
    if (length <= 0)
        return;
    ms = std::clamp<qint64>(ms, 0, length);
    m_engine->seek(int(std::min<qint64>(ms, INT_MAX)), int(std::min<qint64>(length, INT_MAX)));
    // Shown at once; the decoder's next report confirms it.
    m_elapsedCentis = ms / 10;
    m_elapsedSeconds = int(ms / 1000);
    m_trackPosition = true;
    redrawTime();
    emit seeked(ms);
}

void PlaybackController::positionValueChanged(int value)
{
    m_position = value;
    if (m_trackPosition)
        return;
    if (m_shiftHeld) {
        m_engine->seek(value, PositionMax);
        return;
    }
    setTimeText(percentText(value * 100 / PositionMax, QStringLiteral(" %")));
}

void PlaybackController::sendVolume()
{
    m_engine->setVolume(m_balancePosition, 100 - m_volumePosition, 255);
}

void PlaybackController::setVolumePosition(int position)
{
    m_volumePosition = std::clamp(position, 0, 100);
    emit volumePositionChanged(m_volumePosition);
    sendVolume();
    setTimeText(percentText(100 - m_volumePosition, QStringLiteral("% V")));
}

void PlaybackController::setVolume(int position)
{
    setVolumePosition(position);
}

void PlaybackController::setBalance(int position)
{
    position = std::clamp(position, 0, 100);
    // Near the middle means the middle.
    if (position >= 41 && position <= 59)
        position = 50;
    m_balancePosition = position;
    emit balancePositionChanged(position);
    sendVolume();
    if (position > 50)
        setTimeText(percentText((position - 50) * 2, QStringLiteral("% R")));
    else if (position < 50)
        setTimeText(percentText((50 - position) * 2, QStringLiteral("% L")));
    else
        setTimeText(QStringLiteral("Center"));
}

void PlaybackController::setMetersRunning(bool on)
{
    // While the meters beat, the song's position and time are taken on the beat rather than waking the
    // player in between.
    m_engine->setQuietProgress(on);
    if (on) {
        m_vuMeterTimer.start();
        return;
    }
    m_vuMeterTimer.stop();
    // A position held for the next beat is shown now.
    if (std::exchange(m_positionPending, false) && m_trackPosition)
        emit positionChanged(m_position);
}

void PlaybackController::vuMeterTick()
{
    const bool running = m_vuMeterTimer.isActive();
    m_engine->takeMessages();
    // What they said may have stopped the meters (the song ended): then this beat is over.
    if (running && !m_vuMeterTimer.isActive())
        return;
    m_meter->Update();
    // Fast rise, falling by a tenth plus one each tick.
    auto follow = [](int current, int peak) {
        if (peak > current)
            return std::min(peak, int(LevelMax));
        return std::max(0, current - (current / 10 + 1));
    };
    m_leftLevel = follow(m_leftLevel, m_meter->LeftPeak());
    m_rightLevel = follow(m_rightLevel, m_meter->RightPeak());
    emit levelsChanged(m_leftLevel, m_rightLevel);
    if (std::exchange(m_positionPending, false) && m_trackPosition)
        emit positionChanged(m_position);
}

void PlaybackController::onOpened()
{
    m_engine->play();
}

void PlaybackController::setSeekable(bool on)
{
    m_seekable = on;
    emit availabilityChanged();
}

void PlaybackController::onState(PlayState state)
{
    m_state = state;
    switch (state) {
    case PlayState::Stopped:
        emit availabilityChanged();
        resetPlayback();
        break;
    case PlayState::Playing:
        m_unreachableRun = 0;
        m_endPacer.started();
        emit availabilityChanged();
        if (m_animatedTray)
            emit trayAnimationChanged(true);
        setSeekable(true);
        m_trackPosition = true;
        setMetersRunning(true);
        queueNext();
        break;
    case PlayState::Paused:
        emit availabilityChanged();
        emit trayAnimationChanged(false);
        m_trackPosition = false;
        setMetersRunning(false);
        break;
    case PlayState::Ended:
        emit availabilityChanged();
        endOfSong();
        break;
    }
    emit stateChanged(state);
}

void PlaybackController::countFinished(const QString &path)
{
    m_playlist->incrementPlayedCount();
    if (m_statistics)
        m_statistics->countSong(path, PlaylistModel::EntryDisplayText(path, true));
    emit playedCountChanged(m_playlist->PlayedCount());
}

void PlaybackController::endOfSong()
{
    resetPlayback();
    countFinished(m_currentPath);
    setTimeText(QStringLiteral("[00:00]"));
    emit songFinished(m_currentPath);
    // Writing WAV files converts the list once: round again, it would write the same files over and over as
    // fast as it decodes, and count every song each time.
    const bool queued = m_playlist->queuedRow() >= 0;
    const bool converted = !queued && m_outputModule == OutputModule::WavFile && listPlayedThrough();
    // Queued songs play next even without Loop.
    if ((m_loop || queued) && !m_stoppedForGood && !converted) {
        // A stream that ends as soon as it began (a server that answers and hangs up) is not fetched again
        // at once, over and over: the list goes on after a wait that grows while that goes on.
        const int wait = m_endPacer.waitAfterEnd(PlaylistModel::IsStreamUrl(m_currentPath));
        if (wait > 0)
            m_nextAfterEnd.start(wait);
        else
            next();
    } else {
        emit trayAnimationChanged(false);
    }
}

void PlaybackController::discardEmptyWav()
{
    // The WAV file was opened for the song before the song itself: one that could not be opened leaves no
    // empty file behind.
    if (m_outputModule != OutputModule::WavFile || m_currentPath.isEmpty())
        return;
    m_engine->closeOutput();
    const QString wav = wavOutputName(m_currentPath).mid(4);
    if (QFileInfo(wav).isFile() && QFileInfo(wav).size() <= 44)
        QFile::remove(wav);
}

bool PlaybackController::listPlayedThrough()
{
    const int n = m_playlist->count();
    if (m_random) {
        // In random order the list is through after as many songs as it holds.
        if (++m_songsThisRound < n)
            return false;
    } else if (m_playlist->CurrentIndex() < n - 1) {
        return false;
    }
    m_songsThisRound = 0;
    return true;
}

void PlaybackController::onRefused(AudioEngine::Command command, const QString &reason, bool aborted)
{
    // Stop, another entry or the close cut an open short: the user asked for that, nothing was refused.
    if (aborted)
        return;
    QString text;
    switch (command) {
    case AudioEngine::Command::Open:
        text = QStringLiteral("Cannot Open Input");
        discardEmptyWav();
        break;
    case AudioEngine::Command::Play:
        text = QStringLiteral("Cannot Play Stream");
        break;
    case AudioEngine::Command::RegisterOutput:
        text = QStringLiteral("Cannot Register Output Module");
        break;
    default:
        return;
    }
    emit errorMessage(text + QStringLiteral(" (") + reason + QStringLiteral(")"));
}

void PlaybackController::onConnectionDropped(const QString &reason)
{
    // A stream that played a while and then stalled or dropped ends; the user is told why, as when it
    // could not be opened. Failures to open come as a refusal of the open command and are told there.
    if (!PlaylistModel::IsStreamUrl(m_currentPath))
        return;
    emit errorMessage(QStringLiteral("Cannot Play Stream (") + reason + QStringLiteral(")"));
}

void PlaybackController::onDuration(quint32 seconds)
{
    m_lengthSeconds = int(std::min<quint32>(seconds, 0x7FFFFFFF));
    emit lengthTextChanged(lengthText(m_lengthSeconds));
    emit songTimeTextChanged(songTimeText(m_lengthSeconds));
}

void PlaybackController::onTime(int seconds, int hundredths)
{
    m_elapsedSeconds = seconds;
    m_elapsedCentis = qint64(m_elapsedSeconds) * 100 + hundredths;
    if (m_trackPosition || m_shiftHeld)
        redrawTime();
}

void PlaybackController::onPosition(quint32 offset, quint32)
{
    if (!m_trackPosition)
        return;
    m_position = int(std::min<quint32>(offset, PositionMax));
    // While the meters run, the thumb moves with them: one repaint of the window for both.
    if (m_vuMeterTimer.isActive()) {
        m_positionPending = true;
        return;
    }
    emit positionChanged(m_position);
}

void PlaybackController::onStreamInfo(const StreamInfo &reported)
{
    StreamInfo info = reported;
    info.path = m_currentPath;
    emit streamInfoChanged(info);

    const QString name = PlaylistModel::EntryDisplayText(m_currentPath, true);
    m_songTitle = name;
    emit titleChanged(name);

    QStringList lines{name};
    TMPEGAudio mpeg;
    mpeg.setFileName(m_currentPath);
    const TMPEGData &d = mpeg.data();
    if (d.Header == QStringLiteral("TAG")) {
        lines << QStringLiteral("ID3 Tag");
        auto add = [&lines](const QString &label, const QString &value) {
            if (!value.isEmpty())
                lines << label + value;
        };
        add(QStringLiteral("Title: "), d.Title);
        add(QStringLiteral("Artist: "), d.Artist);
        add(QStringLiteral("Album: "), d.Album);
        add(QStringLiteral("Genere: "), mpeg.genreStr());
        add(QStringLiteral("Comment: "), d.Comment);
        if (d.Year != QStringLiteral("    "))
            add(QStringLiteral("Year: "), d.Year);
        lines << QString();
    }
    emit titleLinesChanged(lines);
}

void PlaybackController::onVolume(int pcm, int balance)
{
    const int level = std::clamp(pcm, 0, 100);
    m_volumePosition = 100 - level;
    m_balancePosition = std::clamp(balance, 0, 100);
    emit volumePositionChanged(m_volumePosition);
    emit balancePositionChanged(m_balancePosition);
}

void PlaybackController::onStreamTitle(const QString &title)
{
    if (!PlaylistModel::IsStreamUrl(m_currentPath) || title.trimmed().isEmpty())
        return;
    m_songTitle = title.trimmed();
    emit titleChanged(m_songTitle);
    // The stream's address stays below its title.
    emit titleLinesChanged({m_songTitle, m_currentPath});
    m_playlist->setLiveName(m_currentPath, m_songTitle);
}

void PlaybackController::queueNext()
{
    const bool active = m_state == PlayState::Playing || m_state == PlayState::Paused;
    const int n = m_playlist->count();
    // Without Loop the player stops after the song, as it always did.
    const int queued = m_playlist->queuedRow();
    const bool wanted = active && (m_loop || queued >= 0) && m_outputModule != OutputModule::WavFile &&
                        n > 0 && !PlaylistModel::IsStreamUrl(m_currentPath);
    // A random choice is not made again at every change of the list while its entry stays.
    if (wanted && queued < 0 && m_random && m_queuedIndex >= 0 && m_queuedIndex < n &&
        m_playlist->entryPath(m_queuedIndex) == m_queuedPath)
        return;
    int index = -1;
    QString path;
    if (wanted) {
        index = nextEntry();
        path = m_playlist->entryPath(index);
        if (!PlaylistModel::IsAudioFile(path)) {
            index = -1;
            path.clear();
        }
    }
    if (path == m_queuedPath && index == m_queuedIndex)
        return;
    m_queuedIndex = index;
    m_queuedPath = path;
    m_engine->queue(path);
}

void PlaybackController::onFollowed(const QString &path)
{
    // The song that ended is counted as at its end, without the stop between.
    const QString ended = m_currentPath;
    countFinished(ended);
    emit songFinished(ended);

    const int index = m_queuedIndex >= 0 && m_queuedIndex < m_playlist->count() &&
                              m_playlist->entryPath(m_queuedIndex) == path
                          ? m_queuedIndex
                          : -1;
    m_queuedIndex = -1;
    m_queuedPath.clear();
    if (index >= 0) {
        m_playlist->unqueue(path);
        m_playlist->unselectAll();
        m_playlist->setCurrentIndex(index);
        m_playlist->selectEntry(index);
        m_playlist->UpdateSelectedTime();
    }
    if (m_randomColors)
        emit randomColorsWanted();
    m_playlist->setLiveName(QString(), QString());
    m_currentPath = path;
    m_elapsedSeconds = 0;
    m_elapsedCentis = 0;
    m_trackPosition = true;
    queueNext();
}
