#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace
{

QString script()
{
    return QDir::cleanPath(QStringLiteral(VORLAN_FIXTURES "/../../scripts/install-deps.sh"));
}

bool writeProgram(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

// scripts/install-deps.sh run against stand-ins for dpkg-query and apt-get.
class InstallDepsTest : public QObject
{
    Q_OBJECT

private slots:
    void waitsWhileAnotherPackageManagerHoldsTheLock()
    {
        const QString bin = vorlantest::tempDir();
        const QString log = bin + QStringLiteral("/apt.log");
        // Every package is missing; apt-get finds the lock held the first three times, as while a background
        // update runs, then works.
        QVERIFY(writeProgram(bin + QStringLiteral("/dpkg-query"), "#!/bin/sh\necho 'not-installed'\n"));
        // As root, so no sudo is asked for.
        QVERIFY(writeProgram(bin + QStringLiteral("/id"), "#!/bin/sh\necho 0\n"));
        QVERIFY(writeProgram(bin + QStringLiteral("/apt-get"), "#!/bin/sh\n"
                                                               "n=$(cat \"$0.count\" 2>/dev/null || echo 0)\n"
                                                               "echo $((n + 1)) > \"$0.count\"\n"
                                                               "if [ \"$n\" -lt 3 ]; then\n"
                                                               "  echo 'E: Could not get lock "
                                                               "/var/lib/dpkg/lock-frontend. It is held by "
                                                               "process 4242 (unattended-upgr)' >&2\n"
                                                               "  exit 100\n"
                                                               "fi\n"
                                                               "echo \"$*\" >> \"$0.log\"\n"));
        auto run = [&](const QString &wait) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PATH"), bin + ':' + env.value(QStringLiteral("PATH")));
            env.insert(QStringLiteral("VORLAN_APT_LOCK_POLL"), QStringLiteral("0"));
            env.insert(QStringLiteral("VORLAN_APT_LOCK_WAIT"), wait);
            p.setProcessEnvironment(env);
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QStringLiteral("sh"), {script()});
            if (!p.waitForFinished(60000))
                return QStringLiteral("timed out");
            return QString::fromUtf8(p.readAll()) + QStringLiteral("exit %1").arg(p.exitCode());
        };
        const QString output = run(QStringLiteral("600"));
        QVERIFY2(output.endsWith(QStringLiteral("install-deps: done\nexit 0")), qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("waiting")), qPrintable(output));
        QFile calls(bin + QStringLiteral("/apt-get.log"));
        QVERIFY(calls.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = calls.readAll().split('\n');
        QVERIFY2(lines.size() >= 2 && lines[0].contains("update") && lines[1].contains("install") &&
                     lines[1].contains("qt6-base-dev"),
                 calls.fileName().toUtf8().constData());

        // A lock that stays held ends the wait with the error after the time allowed.
        QFile::remove(bin + QStringLiteral("/apt-get.count"));
        const QString gaveUp = run(QStringLiteral("1"));
        QVERIFY2(gaveUp.contains(QStringLiteral("Could not get lock")), qPrintable(gaveUp));
        QVERIFY2(!gaveUp.endsWith(QStringLiteral("exit 0")), qPrintable(gaveUp));
    }
};

VORLAN_TEST_CLASS(InstallDepsTest)
#include "InstallDepsTest.moc"
