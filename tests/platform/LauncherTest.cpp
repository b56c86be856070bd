#include "platform/Launcher.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace
{

// A program that leaves a mark with its arguments and the folder it came from.
QString makeScript(const QString &dir, const QString &name, const QString &mark)
{
    const QString path = dir + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write("#!/bin/sh\necho \"" + QFile::encodeName(dir) + " $*\" > \"" + QFile::encodeName(mark) +
               ".tmp\"\n" + "/bin/mv \"" + QFile::encodeName(mark) + ".tmp\" \"" + QFile::encodeName(mark) +
               "\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray waitForMark(const QString &mark)
{
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(mark) && clock.elapsed() < 10000)
        QTest::qWait(20);
    QFile file(mark);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

} // namespace

class LauncherTest : public QObject
{
    Q_OBJECT

    QByteArray savedPath;

private slots:
    void init() { savedPath = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", savedPath); }

    void ownFolderComesBeforePath()
    {
        const QString own = vorlantest::tempDir();
        const QString onPath = vorlantest::tempDir();
        const QString mark = vorlantest::tempDir() + "/mark";
        makeScript(own, "vorlanmasker", mark);
        makeScript(onPath, "vorlanmasker", mark);
        qputenv("PATH", QFile::encodeName(onPath) + ':' + savedPath);

        qint64 pid = 0;
        QVERIFY(Launcher::startDetached("vorlanmasker", {"a b"}, own, &pid));
        QVERIFY(pid > 0);
        QCOMPARE(waitForMark(mark), QFile::encodeName(own) + " a b");
    }

    void pathWhenTheOwnFolderHasNone()
    {
        const QString own = vorlantest::tempDir();
        const QString onPath = vorlantest::tempDir();
        const QString mark = vorlantest::tempDir() + "/mark";
        makeScript(onPath, "vorlanmasker", mark);
        // A file of that name that cannot run is passed over.
        QFile plain(own + "/vorlanmasker");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        qputenv("PATH", QFile::encodeName(onPath));

        QCOMPARE(Launcher::findProgram("vorlanmasker", own), onPath + "/vorlanmasker");
        QVERIFY(Launcher::startDetached("vorlanmasker", {}, own));
        QCOMPARE(waitForMark(mark), QFile::encodeName(onPath));
    }

    void theBuildTreesMaskerFolderComesBeforePath()
    {
        const QString tree = vorlantest::tempDir();
        const QString onPath = vorlantest::tempDir();
        const QString mark = vorlantest::tempDir() + "/mark";
        QVERIFY(QDir().mkpath(tree + "/player"));
        QVERIFY(QDir().mkpath(tree + "/masker"));
        makeScript(tree + "/masker", "vorlanmasker", mark);
        makeScript(onPath, "vorlanmasker", mark);
        qputenv("PATH", QFile::encodeName(onPath));

        QCOMPARE(Launcher::findProgram("vorlanmasker", tree + "/player"), tree + "/masker/vorlanmasker");
        QVERIFY(Launcher::startDetached("vorlanmasker", {}, tree + "/player"));
        QCOMPARE(waitForMark(mark), QFile::encodeName(tree + "/masker"));
    }

    void nothingToStartIsFalse()
    {
        const QString empty = vorlantest::tempDir();
        qputenv("PATH", QFile::encodeName(empty));
        QCOMPARE(Launcher::findProgram("vorlanmasker", empty), QString());
        QVERIFY(!Launcher::startDetached("vorlanmasker", {}, empty));
        QVERIFY(!Launcher::startDetached(QString(), {}, empty));
        QVERIFY(!Launcher::startDetached("/nonexistent/vorlanmasker", {}, empty));
        QVERIFY(!Launcher::startMasker());
    }
};

VORLAN_TEST_CLASS(LauncherTest)
#include "LauncherTest.moc"
