// The whole player in this process on a private session bus, driven as the desktop's media keys and remotes
// drive it: through Debian's playerctl and dbus-send, never by calling the player's own objects. It plays
// through a private sound server's null sink, in real time, so pause and seek meet a playing song.
#include "engine/TXaudioPlayer.h"
#include "engine/xaudio/xaudio.h"
#include "platform/RegistryStore.h"
#include "player/MainWindow.h"
#include "player/PlaybackController.h"
#include "player/VorlanApp.h"
#include "playlist/PlaylistModel.h"
#include "tests/TestMain.h"
#include "tests/player/PlayerHome.h"
#include "widgets/ClickLabel.h"
#include "widgets/FlatButton.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <csignal>

namespace
{

QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// Silent MPEG-1 Layer III frames (32 kbit/s, 44.1 kHz, mono): an empty side info decodes to silence.
QByteArray silentMp3(double seconds)
{
    const int frames = int(seconds * 44100 / 1152) + 1;
    QByteArray frame(104, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x10);
    frame[3] = char(0xC0);
    return frame.repeated(frames);
}

// Runs a client program to its end while this process keeps answering on the bus.
QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return QStringLiteral("<not started>");
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 15000)
        QTest::qWait(5);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString playerctl(const QStringList &args, const QString &player = QStringLiteral("vorlan"))
{
    return run(QStringLiteral("playerctl"), QStringList{QStringLiteral("-p"), player} + args);
}

QString rootProperty(const QString &service, const QString &name)
{
    return run(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                QStringLiteral("--dest=") + service, QStringLiteral("/org/mpris/MediaPlayer2"),
                QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                QStringLiteral("string:org.mpris.MediaPlayer2"), QStringLiteral("string:") + name});
}

} // namespace

class MprisTest : public QObject
{
    Q_OBJECT

    QString m_dir = vorlantest::tempDir();
    QString m_home = m_dir + QStringLiteral("/home");
    QString m_long = m_dir + QStringLiteral("/long-silence.mp3");
    QString m_tagged = m_dir + QStringLiteral("/tagged.mp3");
    QProcess m_sound;
    VorlanApp *m_app = nullptr;

    PlaybackController *controller() const { return m_app->controller(); }
    MainWindow *strip() const { return m_app->mainWindow(); }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"),
                 "run this test on a private bus: dbus-run-session -- test_mpris");
        for (const char *tool : {"playerctl", "dbus-send", "pulseaudio"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        // A private sound server with a null sink plays in real time.
        m_sound.start(QStringLiteral("pulseaudio"),
                      {QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
                       QStringLiteral("--disallow-exit"), QStringLiteral("--load=module-null-sink"),
                       QStringLiteral("--load=module-native-protocol-unix")});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pulse/native")), 10000);

        QDir().mkpath(m_home);
        write(m_long, silentMp3(40));
        QVERIFY(QFile::copy(fixture("mpeg1-layer3-tagged.mp3"), m_tagged));
        write(m_home + QStringLiteral("/Vorlan.vln"), "1\tlong-silence\t00:00\t" + m_long.toUtf8() +
                                                          "\r\n2\tSong\t00:00\t" + m_tagged.toUtf8() +
                                                          "\r\n");
        write(m_home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=0\r\nLoop=1\r\nAutoPlay=0\r\n");
        RegistryStore().writeBool(QStringLiteral("SOFTWARE\\Vorlan\\Multi Instance"), QStringLiteral("Allow"),
                                  true);
        auto *boxes = new QTimer(this);
        connect(boxes, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                if (auto *box = qobject_cast<QMessageBox *>(modal))
                    qWarning("modal box: %s", qPrintable(box->text()));
                modal->close();
            }
        });
        boxes->start(100);
        qputenv("VORLAN_HOME", m_home.toUtf8());
        m_app = new VorlanApp({});
        QVERIFY(m_app->startUp());
        QTRY_VERIFY(strip()->isVisible());
    }

    void cleanupTestCase()
    {
        if (m_app)
            controller()->stop();
        delete m_app;
        if (m_sound.state() != QProcess::NotRunning) {
            m_sound.terminate();
            m_sound.waitForFinished(5000);
        }
    }

    void theDesktopFindsThePlayerByName()
    {
        QVERIFY(run(QStringLiteral("playerctl"), {QStringLiteral("-l")})
                    .split('\n')
                    .contains(QStringLiteral("vorlan")));
        QVERIFY(rootProperty(QStringLiteral("org.mpris.MediaPlayer2.vorlan"), QStringLiteral("Identity"))
                    .contains(QStringLiteral("\"Vorlan\"")));
        QVERIFY(rootProperty(QStringLiteral("org.mpris.MediaPlayer2.vorlan"), QStringLiteral("DesktopEntry"))
                    .contains(QStringLiteral("\"vorlan\"")));
        const QString schemes = rootProperty(QStringLiteral("org.mpris.MediaPlayer2.vorlan"),
                                             QStringLiteral("SupportedUriSchemes"));
        for (const char *s : {"\"file\"", "\"http\"", "\"https\"", "\"ftp\"", "\"udp\""})
            QVERIFY2(schemes.contains(QLatin1String(s)), s);
        QCOMPARE(playerctl({QStringLiteral("status")}), QStringLiteral("Stopped"));
    }

    void mediaKeysPlayPauseSeekAndSetTheVolumeOnTheStrip()
    {
        // A client that follows the player's change signals, as a desktop panel does.
        QProcess follower;
        QString followed;
        connect(&follower, &QProcess::readyReadStandardOutput, this,
                [&] { followed += QString::fromUtf8(follower.readAllStandardOutput()); });
        follower.start(QStringLiteral("playerctl"), {QStringLiteral("-p"), QStringLiteral("vorlan"),
                                                     QStringLiteral("--follow"), QStringLiteral("status")});
        QVERIFY(follower.waitForStarted());
        // It prints the status it finds once it follows the player.
        QTRY_VERIFY(followed.contains(QStringLiteral("Stopped\n")));

        playerctl({QStringLiteral("play-pause")});
        QTRY_COMPARE_WITH_TIMEOUT(controller()->state(), PlayState::Playing, 10000);
        QVERIFY(strip()->PauseBtn->isVisibleTo(strip()) && !strip()->PlayBtn->isVisibleTo(strip()));
        QCOMPARE(playerctl({QStringLiteral("status")}), QStringLiteral("Playing"));
        QCOMPARE(controller()->currentPath(), m_long);

        QString meta = playerctl({QStringLiteral("metadata")});
        QVERIFY2(meta.contains(QStringLiteral("xesam:title")) &&
                     meta.contains(QStringLiteral("long-silence")),
                 qPrintable(meta));
        QVERIFY2(meta.contains(QStringLiteral("mpris:length")) && meta.contains(QStringLiteral("40000000")),
                 qPrintable(meta));
        QVERIFY2(meta.contains(QUrl::fromLocalFile(m_long).toString()), qPrintable(meta));

        playerctl({QStringLiteral("play-pause")});
        QTRY_COMPARE(controller()->state(), PlayState::Paused);
        QVERIFY(strip()->PlayBtn->isVisibleTo(strip()) && !strip()->PauseBtn->isVisibleTo(strip()));
        QCOMPARE(playerctl({QStringLiteral("status")}), QStringLiteral("Paused"));
        playerctl({QStringLiteral("play")});
        QTRY_COMPARE(controller()->state(), PlayState::Playing);

        // To the 30th second: the decoder goes there and the strip's time follows.
        playerctl({QStringLiteral("position"), QStringLiteral("30")});
        QTRY_VERIFY_WITH_TIMEOUT(controller()->elapsedSeconds() >= 30, 5000);
        QVERIFY(controller()->elapsedSeconds() <= 32);
        QTRY_VERIFY(strip()->PlayTime->text().startsWith(QStringLiteral("[00:3")));
        const double reported = playerctl({QStringLiteral("position")}).toDouble();
        QVERIFY2(reported >= 29.9 && reported < 33, qPrintable(QString::number(reported)));
        QTRY_VERIFY2(controller()->positionValue() >= 290,
                     qPrintable(QString::number(controller()->positionValue())));

        // A jump made on the strip's own slider is announced as well, with where the song went: a panel
        // that is not told keeps counting on from the old place.
        QProcess monitor;
        QString announced;
        connect(&monitor, &QProcess::readyReadStandardOutput, this,
                [&] { announced += QString::fromUtf8(monitor.readAllStandardOutput()); });
        monitor.start(
            QStringLiteral("dbus-monitor"),
            {QStringLiteral("--session"),
             QStringLiteral("type='signal',interface='org.mpris.MediaPlayer2.Player',member='Seeked'")});
        QVERIFY(monitor.waitForStarted());
        // The monitor is listening once the bus has greeted it.
        QTRY_VERIFY(announced.contains(QStringLiteral("NameAcquired")));
        QSlider *position = strip()->RxSlider1;
        const int volume = controller()->volumePosition();
        position->setSliderDown(true);
        position->setValue(100); // a quarter of 40 s
        position->setSliderDown(false);
        QTRY_VERIFY2(announced.contains(QStringLiteral("int64 10000000")), qPrintable(announced));
        double reportedNow = 0;
        QTRY_VERIFY2_WITH_TIMEOUT((reportedNow = playerctl({QStringLiteral("position")}).toDouble()) >= 9.9 &&
                                      reportedNow < 12,
                                  qPrintable(QString::number(reportedNow)), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(controller()->elapsedSeconds() >= 10 && controller()->elapsedSeconds() <= 12,
                                 5000);
        // The press faded the sound down; the release brings it back.
        QTRY_VERIFY_WITH_TIMEOUT(!controller()->fading(), 5000);
        // The decoder's answers to the fade's last steps come a beat later and set the sliders again: they
        // are all in once the decoder answers a ping sent after them.
        QSignalSpy pong(m_app->player(), &TXaudioPlayer::OnNotifyPong);
        m_app->player()->Ping(7);
        QVERIFY(pong.wait(5000));
        QCOMPARE(controller()->volumePosition(), volume);
        // Once: a panel told twice would jump twice. A signal this process sends now reaches the monitor
        // after every Seeked the player sent before it.
        QDBusConnection::sessionBus().send(
            QDBusMessage::createSignal(QStringLiteral("/vorlan/test/marker"),
                                       QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                       QStringLiteral("Seeked"))
            << qint64(-7));
        QTRY_VERIFY2(announced.contains(QStringLiteral("int64 -7")), qPrintable(announced));
        QCOMPARE(announced.count(QStringLiteral("path=/org/mpris/MediaPlayer2;")), 1);
        monitor.terminate();
        monitor.waitForFinished(3000);

        playerctl({QStringLiteral("volume"), QStringLiteral("0.5")});
        QTRY_COMPARE(strip()->VolTrackBar->value(), 50);
        QCOMPARE(controller()->volumePosition(), 50);
        QCOMPARE(playerctl({QStringLiteral("volume")}).toDouble(), 0.5);
        // Both ways: the slider's moves are what the remote reads.
        strip()->VolTrackBar->setValue(20);
        // The remote reads the volume the decoder has taken, once it has.
        QTRY_COMPARE_WITH_TIMEOUT(playerctl({QStringLiteral("volume")}).toDouble(), 0.8, 10000);
        // Not a number is no volume: the player is not muted by it.
        for (const char *bad : {"nan", "inf", "-inf"})
            run(QStringLiteral("dbus-send"),
                {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                 QStringLiteral("--dest=org.mpris.MediaPlayer2.vorlan"),
                 QStringLiteral("/org/mpris/MediaPlayer2"),
                 QStringLiteral("org.freedesktop.DBus.Properties.Set"),
                 QStringLiteral("string:org.mpris.MediaPlayer2.Player"), QStringLiteral("string:Volume"),
                 QStringLiteral("variant:double:") + QLatin1String(bad)});
        QCOMPARE(controller()->volumePosition(), 20);
        QCOMPARE(playerctl({QStringLiteral("volume")}).toDouble(), 0.8);

        // The next song is a new track with its tag's names.
        playerctl({QStringLiteral("next")});
        QTRY_COMPARE(controller()->currentPath(), m_tagged);
        QTRY_VERIFY(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}) ==
                    QStringLiteral("Fixture Title"));
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("artist")}),
                 QStringLiteral("Fixture Artist"));
        QCOMPARE(m_app->playlist()->CurrentIndex(), 1);

        // "L" and "R" are the loop status and shuffle, both ways.
        QCOMPARE(playerctl({QStringLiteral("loop")}), QStringLiteral("Playlist"));
        playerctl({QStringLiteral("loop"), QStringLiteral("None")});
        QTRY_VERIFY(!controller()->loop());
        QVERIFY(!strip()->LED1->isChecked());
        playerctl({QStringLiteral("shuffle"), QStringLiteral("On")});
        QTRY_VERIFY(controller()->random());
        QVERIFY(strip()->LED2->isChecked());
        strip()->LED1Click(false);
        QCOMPARE(playerctl({QStringLiteral("loop")}), QStringLiteral("Playlist"));
        strip()->LED1Click(true);
        QCOMPARE(playerctl({QStringLiteral("shuffle")}), QStringLiteral("Off"));

        playerctl({QStringLiteral("stop")});
        QTRY_COMPARE(controller()->state(), PlayState::Stopped);
        QVERIFY(strip()->PlayBtn->isVisibleTo(strip()) && !strip()->StopBtn->isVisibleTo(strip()));

        // The follower saw every change as it happened, without asking: the stop comes after the pause.
        QTRY_VERIFY_WITH_TIMEOUT(followed.mid(followed.lastIndexOf(QStringLiteral("Paused")))
                                     .contains(QStringLiteral("Stopped\n")),
                                 10000);
        follower.terminate();
        follower.waitForFinished(3000);
        const QStringList seen = followed.split('\n', Qt::SkipEmptyParts);
        const qsizetype playing = seen.indexOf(QStringLiteral("Playing"));
        const qsizetype paused = seen.indexOf(QStringLiteral("Paused"));
        QVERIFY2(playing >= 0 && paused > playing && seen.lastIndexOf(QStringLiteral("Stopped")) > paused,
                 qPrintable(seen.join(',')));
    }

    void aSongSentByUriIsAddedAndPlayed()
    {
        const QString song = m_dir + QStringLiteral("/sent.mp3");
        QVERIFY(QFile::copy(fixture("mpeg2-layer3.mp3"), song));
        const int before = m_app->playlist()->count();
        playerctl({QStringLiteral("open"), QUrl::fromLocalFile(song).toString()});
        QTRY_COMPARE(m_app->playlist()->count(), before + 1);
        QTRY_COMPARE(controller()->currentPath(), song);
        QCOMPARE(m_app->playlist()->entryPath(before), song);
        controller()->stop();
        QTRY_COMPARE_WITH_TIMEOUT(controller()->state(), PlayState::Stopped, 15000);
    }

    void aSecondPlayerTakesItsOwnNameAndQuitsWithItsSaving()
    {
        // Another player, allowed beside this one (the registry store is shared), with its own home.
        const QString home = m_dir + QStringLiteral("/second");
        QDir().mkpath(home);
        write(home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=0\r\nAutoPlay=0\r\n");
        write(home + QStringLiteral("/Vorlan.vln"), "1\tSong\t00:00\t" + m_tagged.toUtf8() + "\r\n");
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORLAN_HOME"), home);
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan"), {});
        QVERIFY(second.waitForStarted());
        const QString name = QStringLiteral("vorlan.instance%1").arg(second.processId());
        QTRY_VERIFY_WITH_TIMEOUT(
            run(QStringLiteral("playerctl"), {QStringLiteral("-l")}).split('\n').contains(name), 15000);
        // This player keeps the plain name.
        QVERIFY(run(QStringLiteral("playerctl"), {QStringLiteral("-l")})
                    .split('\n')
                    .contains(QStringLiteral("vorlan")));
        QFile::remove(home + QStringLiteral("/Vorlan.cfg"));
        run(QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--print-reply"),
             QStringLiteral("--dest=org.mpris.MediaPlayer2.") + name,
             QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.mpris.MediaPlayer2.Quit")});
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 15000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QVERIFY(readAll(home + QStringLiteral("/Vorlan.cfg")).contains(QStringLiteral("OutputModule=0")));
        QVERIFY(readAll(home + QStringLiteral("/Vorlan.vln")).contains(m_tagged));
    }

    void theSongsCoverReachesPanelsAsAFileRemovedAtExit()
    {
        for (const char *tool : {"ffmpeg", "flac", "metaflac"})
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        const QString folder = m_dir + QStringLiteral("/covered");
        QVERIFY(QDir().mkpath(folder));
        QImage cover(40, 30, QImage::Format_RGB32);
        cover.fill(QColor(250, 140, 0));
        QPainter(&cover).fillRect(0, 15, 40, 15, QColor(0, 90, 160));
        const QString picture = folder + QStringLiteral("/drawn.png");
        QVERIFY(cover.save(picture));
        const QString wav = folder + QStringLiteral("/tone.wav");
        const QString song = folder + QStringLiteral("/song.flac");
        int code = -1;
        run(QStringLiteral("ffmpeg"),
            {"-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=30", wav}, &code);
        QCOMPARE(code, 0);
        run(QStringLiteral("flac"), {"-s", "-f", wav, "-o", song}, &code);
        QCOMPARE(code, 0);
        run(QStringLiteral("metaflac"),
            {"--set-tag=TITLE=Flac Title", "--set-tag=ARTIST=Flac Artist", "--import-picture-from=" + picture,
             song},
            &code);
        QCOMPARE(code, 0);
        QImage other(24, 24, QImage::Format_RGB32);
        other.fill(QColor(120, 0, 200));
        const QString picture2 = folder + QStringLiteral("/other.png");
        QVERIFY(other.save(picture2));
        const QString mp3 = folder + QStringLiteral("/covered.mp3");
        run(QStringLiteral("ffmpeg"),
            {"-v",
             "error",
             "-y",
             "-i",
             m_long,
             "-i",
             picture2,
             "-map",
             "0:a",
             "-map",
             "1",
             "-c",
             "copy",
             "-id3v2_version",
             "3",
             "-metadata",
             "title=Covered Title",
             "-metadata",
             "artist=Covered Artist",
             "-metadata:s:v",
             "comment=Cover (front)",
             mp3},
            &code);
        QCOMPARE(code, 0);

        // The whole program, ended as a desktop ends it.
        const QString home = m_dir + QStringLiteral("/cover-home");
        QDir().mkpath(home);
        write(home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=0\r\nAutoPlay=0\r\nLoop=1\r\n");
        write(home + QStringLiteral("/Vorlan.vln"),
              "1\tSong\t00:00\t" + song.toUtf8() + "\r\n2\tCovered\t00:00\t" + mp3.toUtf8() +
                  "\r\n3\tlong-silence\t00:00\t" + m_long.toUtf8() + "\r\n");
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORLAN_HOME"), home);
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan"), {});
        QVERIFY(player.waitForStarted());
        const QString name = QStringLiteral("vorlan.instance%1").arg(player.processId());
        QTRY_VERIFY_WITH_TIMEOUT(
            run(QStringLiteral("playerctl"), {QStringLiteral("-l")}).split('\n').contains(name), 15000);
        playerctl({QStringLiteral("play")}, name);
        QTRY_VERIFY_WITH_TIMEOUT(playerctl({QStringLiteral("status")}, name) == QStringLiteral("Playing"),
                                 10000);

        QTRY_VERIFY(playerctl({QStringLiteral("metadata")}, name).contains(QStringLiteral("artUrl")));
        const QUrl art(playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:artUrl")}, name));
        QVERIFY2(art.isLocalFile(), qPrintable(art.toString()));
        const QString artFile = art.toLocalFile();
        QCOMPARE(QFileInfo(artFile).absolutePath(),
                 QDir(qEnvironmentVariable("XDG_RUNTIME_DIR")).absolutePath());
        QCOMPARE(QImage(artFile).convertToFormat(QImage::Format_RGB32), cover);
        // The FLAC's own names, from its Vorbis comments.
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}, name),
                 QStringLiteral("Flac Title"));
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("artist")}, name),
                 QStringLiteral("Flac Artist"));

        // An MP3's ID3v2 picture, with the tag's names: the last song's picture is gone.
        playerctl({QStringLiteral("next")}, name);
        QTRY_COMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}, name),
                     QStringLiteral("Covered Title"));
        QCOMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("artist")}, name),
                 QStringLiteral("Covered Artist"));
        // The picture follows with the song's stream information, a moment after its names.
        const auto artNow = [&] {
            return QUrl(playerctl({QStringLiteral("metadata"), QStringLiteral("mpris:artUrl")}, name))
                .toLocalFile();
        };
        QTRY_VERIFY(!artNow().isEmpty() && artNow() != artFile);
        const QString mp3Art = artNow();
        QCOMPARE(QImage(mp3Art).convertToFormat(QImage::Format_RGB32), other);
        QVERIFY(!QFile::exists(artFile));

        // A song without a cover: no address, and no picture left behind.
        playerctl({QStringLiteral("next")}, name);
        QTRY_COMPARE(playerctl({QStringLiteral("metadata"), QStringLiteral("title")}, name),
                     QStringLiteral("long-silence"));
        QTRY_VERIFY(!playerctl({QStringLiteral("metadata")}, name).contains(QStringLiteral("artUrl")));
        QVERIFY(!QFile::exists(mp3Art));
        // Back to a covered song: a new file under a new name.
        playerctl({QStringLiteral("previous")}, name);
        QTRY_VERIFY(!artNow().isEmpty());
        const QString again = artNow();
        QVERIFY(again != mp3Art && QFile::exists(again));

        run(QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--print-reply"),
             QStringLiteral("--dest=org.mpris.MediaPlayer2.") + name,
             QStringLiteral("/org/mpris/MediaPlayer2"), QStringLiteral("org.mpris.MediaPlayer2.Quit")});
        QTRY_VERIFY_WITH_TIMEOUT(player.state() == QProcess::NotRunning, 15000);
        QVERIFY(!QFile::exists(again));
    }

    void withoutASessionBusThePlayerRunsSilently()
    {
        const QString home = m_dir + QStringLiteral("/nobus");
        QDir().mkpath(home);
        write(home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=0\r\nAutoPlay=0\r\n");
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORLAN_HOME"), home);
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=") + m_dir + "/no-bus");
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan"), {QString(m_tagged)});
        QVERIFY(player.waitForStarted());
        // Started, with the bus tried, once it waits in its event loop.
        QTRY_VERIFY_WITH_TIMEOUT(vorlantest::sleepsInEventLoop(player.processId()), 15000);
        QCOMPARE(player.state(), QProcess::Running);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(15000));
        QVERIFY(readAll(home + QStringLiteral("/Vorlan.vln")).contains(m_tagged));
        const QString errors = QString::fromUtf8(player.readAllStandardError());
        QVERIFY2(!errors.contains(QStringLiteral("bus"), Qt::CaseInsensitive), qPrintable(errors));
    }
};

VORLAN_TEST_CLASS(MprisTest)
#include "MprisTest.moc"
