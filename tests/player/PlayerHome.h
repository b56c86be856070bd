#pragma once
// The rig of the tests that start the whole player as a user would: a player home of its own with a list of
// fixtures, the environment it runs in, and the ways it is ended.
#include "platform/SingleInstance.h"
#include "tests/TestMain.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>
#include <csignal>

namespace vorlantest
{

inline QString fixture(const char *name)
{
    return QStringLiteral(VORLAN_FIXTURES "/") + QLatin1String(name);
}

inline QString vorlanProgram()
{
    return QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan");
}

inline QString readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

// A WAV file the writer has closed: its RIFF size counts every byte after the first eight.
inline bool wavClosed(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() <= 44)
        return false;
    const QByteArray head = f.read(8);
    return head.startsWith("RIFF") &&
           qFromLittleEndian<quint32>(head.constData() + 4) == quint32(f.size() - 8);
}

// A player home with settings that write every song to a WAV file, and a playlist of fixtures.
struct Home {
    QString dir = vorlantest::tempDir();
    QString home = dir + QStringLiteral("/home");
    QString out = dir + QStringLiteral("/out");
    QString music = dir + QStringLiteral("/music");
    // A runtime folder of its own: a player left over from another test never takes this one's command line.
    QString runtime = dir + QStringLiteral("/runtime");
    QStringList songs;

    explicit Home(bool loop = true)
    {
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir().mkpath(home);
        QDir().mkpath(out);
        QDir().mkpath(music);
        const char *sources[] = {"mpeg1-layer2.mp2", "mpeg1-layer3-tagged.mp3", "mpeg2-layer3.mp3"};
        QByteArray vln;
        for (int i = 0; i < 3; ++i) {
            const QString path = music + QStringLiteral("/track%1.mp3").arg(i + 1);
            QFile::copy(fixture(sources[i]), path);
            songs << path;
            vln += QByteArray::number(i + 1) + "\tTrack " + QByteArray::number(i + 1) + "\t00:00\t" +
                   path.toUtf8() + "\r\n";
        }
        write(home + QStringLiteral("/Vorlan.vln"), vln);
        write(home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nBackMask=0\r\nOutputModule=2\r\nOutPutDir=" + out.toUtf8() +
                  "\r\nLoop=" + QByteArray(loop ? "1" : "0") + "\r\nAutoPlay=1\r\nForeign=kept\r\n");
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORLAN_HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VORLAN_POWEROFF_LOG"), dir + QStringLiteral("/poweroff.log"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
        return env;
    }

    // True once the player of this home answers a hand-over, which it reads only when its start is done.
    bool playerAnswers() const
    {
        if (!QFile::exists(runtime + QStringLiteral("/vorlan.socket")))
            return false;
        SingleInstance probe(runtime + QStringLiteral("/vorlan.socket"));
        return probe.sendToRunning(QString(), 1000);
    }

    void start(QProcess &player, const QStringList &arguments = {}, const QString &folder = {}) const
    {
        player.setProcessEnvironment(environment());
        if (!folder.isEmpty())
            player.setWorkingDirectory(folder);
        player.start(vorlanProgram(), arguments);
    }

    // Starts the player, waits until it answers its socket (it has read its files and started), then sends
    // the signal of a logout. True when it ended within the time it is given.
    bool runUntilStartedThenSignal(QProcess &player) const
    {
        start(player);
        if (!player.waitForStarted())
            return false;
        QDeadlineTimer deadline(20000);
        while (!playerAnswers()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(50);
        }
        ::kill(pid_t(player.processId()), SIGTERM);
        return player.waitForFinished(8000);
    }
};

// True once the player's guard catches SIGTERM and its main thread sleeps in an event loop: the first one
// a start-up runs is that of a question it asks, or the main loop once it has started.
inline bool sleepsInEventLoop(qint64 pid)
{
    const QString status = readAll(QStringLiteral("/proc/%1/status").arg(pid));
    const qsizetype at = status.indexOf(QStringLiteral("SigCgt:"));
    if (at < 0)
        return false;
    const quint64 caught = status.mid(at + 7).section('\n', 0, 0).trimmed().toULongLong(nullptr, 16);
    return (caught >> (SIGTERM - 1)) & 1 &&
           readAll(QStringLiteral("/proc/%1/wchan").arg(pid)).contains(QStringLiteral("poll"));
}

// Ends a player as a logout would, and checks it saved and ended of its own accord.
inline bool endPlayer(QProcess &player)
{
    ::kill(pid_t(player.processId()), SIGTERM);
    return player.waitForFinished(15000) && player.exitStatus() == QProcess::NormalExit &&
           player.exitCode() == 0;
}

} // namespace vorlantest
