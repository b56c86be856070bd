// The save at exit killed (SIGKILL) at random moments: every file is afterwards the old or the new complete
// version, and a temporary file that a killed save left is gone after the next start.
#include "tests/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <ctime>

namespace
{

const QStringList Files{QStringLiteral("Statistics.lst"), QStringLiteral("Vorlan.vln"),
                        QStringLiteral("Equalizer.cfg"), QStringLiteral("Vorlan.cfg")};

QString helper()
{
    return QStringLiteral(VORLAN_BUILD_DIR "/tests/player/vorlan-save-helper");
}

QHash<QString, QByteArray> snapshot(const QString &home)
{
    QHash<QString, QByteArray> files;
    for (const QString &name : QDir(home).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(home + QLatin1Char('/') + name);
        if (f.open(QIODevice::ReadOnly))
            files.insert(name, f.readAll());
    }
    return files;
}

void restore(const QString &home, const QHash<QString, QByteArray> &files)
{
    for (const QString &name : QDir(home).entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(home + QLatin1Char('/') + name);
    for (auto it = files.begin(); it != files.end(); ++it) {
        QFile f(home + QLatin1Char('/') + it.key());
        if (f.open(QIODevice::WriteOnly))
            f.write(it.value());
    }
}

// Runs the helper to its end; its standard output.
QByteArray runHelper(const QStringList &args)
{
    QProcess p;
    p.start(helper(), args);
    if (!p.waitForFinished(20000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return p.readAllStandardOutput();
}

} // namespace

class KillDuringSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFileIsWholeWhereverTheSaveIsKilled()
    {
        const QString oldHome = vorlantest::tempDir(), newHome = vorlantest::tempDir(),
                      home = vorlantest::tempDir();
        QVERIFY(
            runHelper({QStringLiteral("save"), oldHome, QStringLiteral("old")}).startsWith("saving\nsaved "));
        const QByteArray newRun = runHelper({QStringLiteral("save"), newHome, QStringLiteral("new")});
        QVERIFY(newRun.startsWith("saving\nsaved "));
        const qint64 span = qMax<qint64>(1, newRun.mid(13).trimmed().toLongLong());
        const QHash<QString, QByteArray> before = snapshot(oldHome), after = snapshot(newHome);
        QCOMPARE(before.size(), Files.size());
        QCOMPARE(after.size(), Files.size());
        for (const QString &name : Files)
            QVERIFY(before.value(name) != after.value(name));

        // Kills spread over the save and a little after it.
        QRandomGenerator rng(20261208);
        int cutShort = 0, leftovers = 0;
        for (int round = 0; round < 200; ++round) {
            restore(home, before);
            QProcess p;
            p.start(helper(), {QStringLiteral("save"), home, QStringLiteral("new")});
            QVERIFY(p.waitForStarted());
            QVERIFY(p.waitForReadyRead(10000));
            const qint64 delayUs = qint64(rng.bounded(quint64(span + span / 5)));
            const timespec pause{time_t(delayUs / 1000000), long(delayUs % 1000000) * 1000};
            ::nanosleep(&pause, nullptr);
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            if (p.exitStatus() == QProcess::CrashExit)
                ++cutShort;

            const QHash<QString, QByteArray> now = snapshot(home);
            for (const QString &name : Files)
                QVERIFY2(now.value(name) == before.value(name) || now.value(name) == after.value(name),
                         qPrintable(QStringLiteral("round %1: %2 is neither version").arg(round).arg(name)));
            leftovers += int(now.size() - Files.size());
            // The next start clears what the killed save left.
            QCOMPARE(runHelper({QStringLiteral("start"), home}), QByteArray());
            QCOMPARE(snapshot(home).size(), Files.size());
        }
        // Most kills landed while the helper was still saving.
        QVERIFY2(cutShort > 50, qPrintable(QString::number(cutShort)));
        qInfo("%d of 200 kills cut the save short; %d temporary files were left and cleared", cutShort,
              leftovers);

        // Where the system has no unnamed temporary files, a killed save leaves a named one: the next start
        // removes it, and nothing else.
        QHash<QString, QByteArray> withLeftovers = after;
        withLeftovers.insert(QStringLiteral("Vorlan.vln.a1B2c3"), "half a list");
        withLeftovers.insert(QStringLiteral("Vorlan.cfg.Zz9Yy8"), "[Setting]");
        withLeftovers.insert(QStringLiteral("Vorlan.vln.bak"), "kept");
        withLeftovers.insert(QStringLiteral("Statistics.lst.mine"), "kept");
        restore(home, withLeftovers);
        QCOMPARE(runHelper({QStringLiteral("start"), home}), QByteArray());
        QHash<QString, QByteArray> expected = after;
        expected.insert(QStringLiteral("Vorlan.vln.bak"), "kept");
        expected.insert(QStringLiteral("Statistics.lst.mine"), "kept");
        QCOMPARE(snapshot(home), expected);
    }
};

VORLAN_TEST_CLASS(KillDuringSaveTest)
#include "KillDuringSaveTest.moc"
