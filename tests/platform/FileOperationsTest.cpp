#include "platform/FileOperations.h"
#include "tests/TestMain.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

namespace
{

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString trashFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash";
}

} // namespace

class FileOperationsTest : public QObject
{
    Q_OBJECT

private slots:
    void copiesEveryFileKeepingTimeAndPermissions()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/src/a.mp3", "first song");
        writeFile(dir + "/src/b.mp3", QByteArray(3 * 1024 * 1024 + 17, 'x'));
        const QDateTime old = QDateTime::fromSecsSinceEpoch(1000000000);
        {
            QFile f(dir + "/src/a.mp3");
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QFile::setPermissions(dir + "/src/a.mp3", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QDir().mkpath(dir + "/dest");

        FileOperations ops;
        const FileOperations::Result r =
            ops.copyFiles({dir + "/src/a.mp3", dir + "/src/b.mp3"}, dir + "/dest");
        QCOMPARE(r.done, QStringList({dir + "/src/a.mp3", dir + "/src/b.mp3"}));
        QVERIFY(r.failed.isEmpty());
        QVERIFY(!r.cancelled);
        QCOMPARE(readFile(dir + "/dest/a.mp3"), QByteArray("first song"));
        QCOMPARE(readFile(dir + "/dest/b.mp3"), readFile(dir + "/src/b.mp3"));
        QCOMPARE(QFileInfo(dir + "/dest/a.mp3").lastModified(), old);
        QCOMPARE(QFileInfo(dir + "/dest/a.mp3").permissions() & 0x0FFF,
                 QFileInfo(dir + "/src/a.mp3").permissions() & 0x0FFF);
        // The sources are untouched and no temporary file is left behind.
        QCOMPARE(readFile(dir + "/src/a.mp3"), QByteArray("first song"));
        QCOMPARE(QDir(dir + "/dest").entryList(QDir::Files | QDir::Hidden), QStringList({"a.mp3", "b.mp3"}));
    }

    void overwritePromptAnswers()
    {
        const QString dir = vorlantest::tempDir();
        for (const char *name : {"a", "b", "c", "d"}) {
            writeFile(dir + "/src/" + name + ".mp3", QByteArray("new ") + name);
            writeFile(dir + "/dest/" + name + ".mp3", QByteArray("old ") + name);
        }
        const QStringList sources{dir + "/src/a.mp3", dir + "/src/b.mp3", dir + "/src/c.mp3",
                                  dir + "/src/d.mp3"};

        // No keeps the old file; Yes replaces it; Yes to all replaces the rest without asking.
        QList<FileOperations::Answer> answers{FileOperations::Answer::No, FileOperations::Answer::Yes,
                                              FileOperations::Answer::YesToAll};
        QStringList asked;
        FileOperations ops;
        ops.setOverwritePrompt([&](const QString &source, const QString &target) {
            asked << QFileInfo(source).fileName() + ">" + QFileInfo(target).absoluteFilePath();
            return answers.takeFirst();
        });
        const FileOperations::Result r = ops.copyFiles(sources, dir + "/dest");
        QCOMPARE(asked, QStringList({"a.mp3>" + dir + "/dest/a.mp3", "b.mp3>" + dir + "/dest/b.mp3",
                                     "c.mp3>" + dir + "/dest/c.mp3"}));
        QCOMPARE(r.skipped, QStringList({dir + "/src/a.mp3"}));
        QCOMPARE(r.done.size(), 3);
        QCOMPARE(readFile(dir + "/dest/a.mp3"), QByteArray("old a"));
        QCOMPARE(readFile(dir + "/dest/b.mp3"), QByteArray("new b"));
        QCOMPARE(readFile(dir + "/dest/d.mp3"), QByteArray("new d"));
    }

    void cancelStopsBeforeTheNextFile()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/src/a.mp3", "new a");
        writeFile(dir + "/src/b.mp3", "new b");
        writeFile(dir + "/dest/a.mp3", "old a");
        FileOperations ops;
        ops.setOverwritePrompt(
            [](const QString &, const QString &) { return FileOperations::Answer::Cancel; });
        const FileOperations::Result r =
            ops.moveFiles({dir + "/src/a.mp3", dir + "/src/b.mp3"}, dir + "/dest");
        QVERIFY(r.cancelled);
        QVERIFY(r.done.isEmpty());
        QCOMPARE(readFile(dir + "/dest/a.mp3"), QByteArray("old a"));
        QVERIFY(QFile::exists(dir + "/src/b.mp3"));
        QVERIFY(!QFile::exists(dir + "/dest/b.mp3"));
    }

    void withoutPromptExistingTargetsAreKept()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/src/a.mp3", "new");
        writeFile(dir + "/dest/a.mp3", "old");
        FileOperations ops;
        const FileOperations::Result r = ops.copyFiles({dir + "/src/a.mp3"}, dir + "/dest");
        QCOMPARE(r.skipped.size(), 1);
        QCOMPARE(readFile(dir + "/dest/a.mp3"), QByteArray("old"));
    }

    void neverOntoItself()
    {
        // Copying or moving a file into its own folder must not lose it, whatever the prompt answers.
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/a.mp3", "song");
        FileOperations ops;
        int prompts = 0;
        ops.setOverwritePrompt([&](const QString &, const QString &) {
            ++prompts;
            return FileOperations::Answer::YesToAll;
        });
        FileOperations::Result r = ops.copyFiles({dir + "/a.mp3"}, dir);
        QCOMPARE(r.skipped, QStringList({dir + "/a.mp3"}));
        r = ops.moveFiles({dir + "/a.mp3"}, dir + "/.");
        QCOMPARE(r.skipped, QStringList({dir + "/a.mp3"}));
        QCOMPARE(prompts, 0);
        QCOMPARE(readFile(dir + "/a.mp3"), QByteArray("song"));
    }

    void moveTakesTheFilesAlong()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/src/a.mp3", "song a");
        writeFile(dir + "/src/b.mp3", "song b");
        writeFile(dir + "/dest/b.mp3", "old b");
        FileOperations ops;
        ops.setOverwritePrompt([](const QString &, const QString &) { return FileOperations::Answer::Yes; });
        const FileOperations::Result r =
            ops.moveFiles({dir + "/src/a.mp3", dir + "/src/b.mp3"}, dir + "/dest");
        QCOMPARE(r.done.size(), 2);
        QVERIFY(!QFile::exists(dir + "/src/a.mp3"));
        QVERIFY(!QFile::exists(dir + "/src/b.mp3"));
        QCOMPARE(readFile(dir + "/dest/a.mp3"), QByteArray("song a"));
        QCOMPARE(readFile(dir + "/dest/b.mp3"), QByteArray("song b"));
    }

    void missingSourcesAndFoldersFail()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/a.mp3", "song");
        FileOperations ops;
        FileOperations::Result r = ops.copyFiles({dir + "/gone.mp3", dir}, dir + "/dest");
        QCOMPARE(r.failed, QStringList({dir + "/gone.mp3", dir}));
        QCOMPARE(r.errors.size(), 2);
        r = ops.copyFiles({dir + "/a.mp3"}, dir + "/no/such/folder");
        QCOMPARE(r.failed, QStringList({dir + "/a.mp3"}));
        r = ops.moveFiles({dir + "/a.mp3"}, dir + "/no/such/folder");
        QCOMPARE(r.failed, QStringList({dir + "/a.mp3"}));
        QCOMPARE(readFile(dir + "/a.mp3"), QByteArray("song"));
        QVERIFY(!FileOperations::copyFile(dir + "/a.mp3", dir + "/no/such/folder/a.mp3"));
    }

    void progressCountsAndCanStop()
    {
        const QString dir = vorlantest::tempDir();
        QStringList sources;
        for (int i = 0; i < 5; ++i) {
            sources << dir + QString("/src/%1.mp3").arg(i);
            writeFile(sources.last(), "x");
        }
        QDir().mkpath(dir + "/dest");
        QList<int> seen;
        FileOperations ops;
        ops.setProgress([&](int done, int total, const QString &) {
            seen << done;
            return total == 5;
        });
        FileOperations::Result r = ops.copyFiles(sources, dir + "/dest");
        QCOMPARE(seen, QList<int>({0, 1, 2, 3, 4, 5}));
        QCOMPARE(r.done.size(), 5);

        seen.clear();
        ops.setProgress([&](int done, int, const QString &) {
            seen << done;
            return done < 2;
        });
        r = ops.trashFiles(sources);
        QVERIFY(r.cancelled);
        QCOMPARE(r.done.size(), 2);
        QVERIFY(QFile::exists(sources.at(2)));
    }

    void deleteGoesToTheTrash()
    {
        const QString dir = vorlantest::tempDir();
        writeFile(dir + "/doomed song.mp3", "bye");
        writeFile(dir + "/kept.mp3", "stay");
        FileOperations ops;
        const FileOperations::Result r = ops.trashFiles({dir + "/doomed song.mp3", dir + "/gone.mp3"});
        QCOMPARE(r.done, QStringList({dir + "/doomed song.mp3"}));
        QCOMPARE(r.failed, QStringList({dir + "/gone.mp3"}));
        QVERIFY(!QFile::exists(dir + "/doomed song.mp3"));
        QVERIFY(QFile::exists(dir + "/kept.mp3"));
        // Restorable from the trash of the test's own data folder.
        const QStringList trashed = QDir(trashFolder() + "/files").entryList({"doomed song*"}, QDir::Files);
        QCOMPARE(trashed.size(), 1);
        QCOMPARE(readFile(trashFolder() + "/files/" + trashed.first()), QByteArray("bye"));
        QVERIFY(QFile::exists(trashFolder() + "/info/" + trashed.first() + ".trashinfo"));
    }
};

VORLAN_TEST_CLASS(FileOperationsTest)
#include "FileOperationsTest.moc"
