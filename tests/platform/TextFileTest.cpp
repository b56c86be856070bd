#include "platform/TextFile.h"
#include "platform/ExePath.h"
#include "platform/FileName.h"
#include "platform/ProfileFile.h"
#include "platform/SystemColors.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

bool isFifo(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Reads path on a thread; a read that has not come back within 3 s is released by a writer that opens and
// closes the FIFO, and counts as hung.
bool readReturnsPromptly(const QString &path, const QString &fifo, TextFile::ReadStatus *status)
{
    std::atomic<bool> done = false;
    std::thread reader([&] {
        TextFile::readLines(path, nullptr, TextFile::SmallFileLimit, status);
        done = true;
    });
    for (int i = 0; i < 300 && !done; ++i)
        QTest::qSleep(10);
    const bool prompt = done;
    if (!prompt) {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
        if (fd >= 0)
            ::close(fd);
    }
    reader.join();
    return prompt;
}

} // namespace

class TextFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryLineEnd()
    {
        QCOMPARE(TextFile::splitLines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
        QCOMPARE(TextFile::splitLines("a\r\n\r\n"), QStringList({"a", ""}));
        QCOMPARE(TextFile::splitLines("a\n\r\nb"), QStringList({"a", "", "b"}));
        QCOMPARE(TextFile::splitLines(""), QStringList());
        QCOMPARE(TextFile::splitLines("\xEF\xBB\xBFx\r\n"), QStringList({"x"}));
    }

    void decodesUtf8PerLineWithLatin1Fallback()
    {
        // One file from an old 8-bit system next to a line written by us.
        const QStringList lines = TextFile::splitLines("Mot\xF6rhead\r\nMot\xC3\xB6rhead\r\n");
        QCOMPARE(lines.at(0), QString::fromUtf8("Mot\xC3\xB6rhead"));
        QCOMPARE(lines.at(1), QString::fromUtf8("Mot\xC3\xB6rhead"));
        // A UTF-8 title and folder beside a Latin-1 file name in one line: each part reads as itself.
        QCOMPARE(TextFile::decodeLine("Bj\xC3\xB6rk\t/M\xC3\xBCsik/caf\xE9.mp3"),
                 QString::fromUtf8("Bj\xC3\xB6rk\t/M\xC3\xBCsik/caf\xC3\xA9.mp3"));
        // Cut or overlong sequences are bytes, not characters.
        QCOMPARE(TextFile::decodeLine("\xC3x\xC0\xAF\xE2\x82"), QString::fromLatin1("\xC3x\xC0\xAF\xE2\x82"));
    }

    void writesUtf8WithCrLfAndReadsItBack()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/list.vln");
        const QStringList lines{QString::fromUtf8("1\tSigur R\xC3\xB3s\t03:10\t/m/a.mp3"), QString(), "x"};
        QVERIFY(TextFile::writeLines(path, lines));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("1\tSigur R\xC3\xB3s\t03:10\t/m/a.mp3\r\n\r\nx\r\n"));
        bool ok = false;
        QCOMPARE(TextFile::readLines(path, &ok), lines);
        QVERIFY(ok);
    }

    void unfinishedSavesAreClearedAndNothingElse()
    {
        const QString dir = vorlantest::tempDir();
        const auto touch = [&](const QString &name) {
            QFile f(dir + QLatin1Char('/') + name);
            return f.open(QIODevice::WriteOnly);
        };
        for (const char *name : {"Vorlan.cfg.ab12CD", "Vorlan.vln.Zz9yX0", "Vorlan.cfg.bak",
                                 "Vorlan.cfg.ab12C", "Other.cfg.ab12CD", "Vorlan.cfg", "xVorlan.cfg.ab12CD"})
            QVERIFY(touch(QLatin1String(name)));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/Vorlan.vln.FOLDER")));
        QCOMPARE(TextFile::removeUnfinishedSaves(
                     dir, {QStringLiteral("Vorlan.cfg"), QStringLiteral("Vorlan.vln")}),
                 2);
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 (QStringList{"Other.cfg.ab12CD", "Vorlan.cfg", "Vorlan.cfg.ab12C", "Vorlan.cfg.bak",
                              "Vorlan.vln.FOLDER", "xVorlan.cfg.ab12CD"}));
    }

    void writeIntoAFolderThatIsAFileFails()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(TextFile::writeLines(dir + QStringLiteral("/plain"), {"x"}));
        QVERIFY(!TextFile::writeLines(dir + QStringLiteral("/plain/inner.txt"), {"y"}));
        QCOMPARE(TextFile::readLines(dir + QStringLiteral("/plain")), QStringList({"x"}));
    }

    void onlyRegularFilesOfAFittingSizeAreRead()
    {
        const QString dir = vorlantest::tempDir();
        const QString fifo = dir + QStringLiteral("/Vorlan.cfg");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QFile::link(fifo, dir + QStringLiteral("/VoColors.mnu")));
        for (const QString &path : {fifo, dir + QStringLiteral("/VoColors.mnu")}) {
            TextFile::ReadStatus status = TextFile::ReadStatus::Ok;
            QVERIFY2(readReturnsPromptly(path, fifo, &status), qPrintable(path));
            QCOMPARE(status, TextFile::ReadStatus::NotRegular);
        }
        // A device never ends; it is refused before a byte is read.
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir + QStringLiteral("/zero.cfg")));
        QByteArray bytes;
        QCOMPARE(TextFile::readBytes(dir + QStringLiteral("/zero.cfg"), TextFile::SmallFileLimit, &bytes),
                 TextFile::ReadStatus::NotRegular);
        QCOMPARE(TextFile::readBytes(dir, TextFile::SmallFileLimit, &bytes),
                 TextFile::ReadStatus::NotRegular);

        // The size limit of the kind: one byte more is too much, and a profile read from it keeps its hands
        // off the file.
        const QString big = dir + QStringLiteral("/big.cfg");
        const QByteArray content = "[Setting]\r\nLoop=1\r\n" + QByteArray(TextFile::SmallFileLimit, ';');
        QVERIFY(TextFile::writeAtomically(big, content.left(TextFile::SmallFileLimit)));
        QCOMPARE(TextFile::readBytes(big, TextFile::SmallFileLimit, &bytes), TextFile::ReadStatus::Ok);
        QCOMPARE(bytes.size(), TextFile::SmallFileLimit);
        QVERIFY(TextFile::writeAtomically(big, content));
        QCOMPARE(TextFile::readBytes(big, TextFile::SmallFileLimit, &bytes), TextFile::ReadStatus::TooLarge);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(TextFile::readBytes(big, TextFile::ListFileLimit, &bytes), TextFile::ReadStatus::Ok);
        ProfileFile profile(big);
        QVERIFY(profile.unreadable());
        QVERIFY(!profile.existed());
        profile.writeBool(QStringLiteral("Setting"), QStringLiteral("Loop"), false);
        QVERIFY(!profile.save());
        QVERIFY(profile.saveAs(dir + QStringLiteral("/other.cfg")));
        QCOMPARE(QFileInfo(big).size(), content.size());

        // The built-in files of the program are read as well.
        const QString resource = QStringLiteral(":/qt-project.org/qmessagebox/images/qtlogo-64.png");
        QCOMPARE(TextFile::readBytes(resource, TextFile::SmallFileLimit, &bytes), TextFile::ReadStatus::Ok);
        QVERIFY(bytes.startsWith("\x89PNG"));
        QCOMPARE(TextFile::readBytes(resource, 16, &bytes), TextFile::ReadStatus::TooLarge);
        QCOMPARE(TextFile::readBytes(QStringLiteral(":/no/such"), 16, &bytes), TextFile::ReadStatus::Missing);
    }

    void writesFollowALinkOnlyToARegularFile()
    {
        const QString dir = vorlantest::tempDir();
        const QString fifo = dir + QStringLiteral("/fifo");
        const QString folder = dir + QStringLiteral("/folder");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::link(fifo, dir + QStringLiteral("/Equalizer.cfg")));
        QVERIFY(QFile::link(folder, dir + QStringLiteral("/Vorlan.vln")));
        QVERIFY(QFile::link(dir + QStringLiteral("/nothing"), dir + QStringLiteral("/dangling.cfg")));
        for (const char *name : {"/Equalizer.cfg", "/Vorlan.vln", "/fifo", "/folder", "/dangling.cfg"})
            QVERIFY2(!TextFile::writeLines(dir + QLatin1String(name), {"x"}), name);
        QVERIFY(isFifo(fifo));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QFileInfo(dir + QStringLiteral("/Equalizer.cfg")).symLinkTarget(), fifo);
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/nothing")));
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 5);

        // A link into a dotfiles folder keeps working: the file it names is replaced, the link stays.
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/dotfiles")));
        QVERIFY(TextFile::writeLines(dir + QStringLiteral("/dotfiles/Vorlan.cfg"), {"old"}));
        QVERIFY(
            QFile::link(dir + QStringLiteral("/dotfiles/Vorlan.cfg"), dir + QStringLiteral("/Vorlan.cfg")));
        QVERIFY(TextFile::writeLines(dir + QStringLiteral("/Vorlan.cfg"), {"new"}));
        QVERIFY(QFileInfo(dir + QStringLiteral("/Vorlan.cfg")).isSymLink());
        QCOMPARE(TextFile::readLines(dir + QStringLiteral("/dotfiles/Vorlan.cfg")), QStringList{"new"});
        QCOMPARE(QDir(dir + QStringLiteral("/dotfiles")).entryList(QDir::Files).size(), 1);
    }

    void fileNamesThatAreNotUtf8KeepTheirBytes()
    {
        // A UTF-8 folder holding a Latin-1 file, and a Latin-1 folder holding a UTF-8 file.
        const QByteArray base = QFile::encodeName(vorlantest::tempDir());
        const QByteArray mixed1 = base + "/M\xC3\xBAsica/caf\xE9.mp3";
        const QByteArray mixed2 = base + "/M\xFAsica/caf\xC3\xA9.mp3";
        for (const QByteArray &native : {mixed1, mixed2}) {
            QVERIFY(::mkdir(native.left(native.lastIndexOf('/')).constData(), 0700) == 0);
            const int fd = ::open(native.constData(), O_WRONLY | O_CREAT, 0600);
            QVERIFY(fd >= 0);
            ::close(fd);
            const QString shown = FileName::decode(native);
            QCOMPARE(shown, QString::fromLatin1(base) + QString::fromUtf8("/M\xC3\xBAsica/caf\xC3\xA9.mp3"));
            QCOMPARE(FileName::encode(shown), native);
            ::unlink(native.constData());
            ::rmdir(native.left(native.lastIndexOf('/')).constData());
        }
        // What names nothing (yet) is UTF-8, and valid UTF-8 stays as it is.
        QCOMPARE(FileName::encode(QString::fromUtf8("/nowhere/caf\xC3\xA9")),
                 QByteArray("/nowhere/caf\xC3\xA9"));
        QCOMPARE(FileName::decode("/a/caf\xC3\xA9"), QString::fromUtf8("/a/caf\xC3\xA9"));
    }

    void missingFileReadsEmpty()
    {
        bool ok = true;
        QCOMPARE(TextFile::readLines(QStringLiteral("/nonexistent/file"), &ok), QStringList());
        QVERIFY(!ok);
    }

    void exePathFollowsTheRule()
    {
        const QString base = vorlantest::tempDir();
        QCOMPARE(resolveExePath(base + "/home", base + "/bin", base + "/data", base), base + "/home/");
        // No configuration beside the program: the data folder.
        QDir().mkpath(base + "/bin");
        QCOMPARE(resolveExePath(QString(), base + "/bin", base + "/data", base), base + "/data/Vorlan/");
        QCOMPARE(resolveExePath(QString(), base + "/bin", QString(), base), base + "/.local/share/Vorlan/");
        // A portable install keeps its files beside the program.
        QFile cfg(base + "/bin/Vorlan.cfg");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.close();
        QCOMPARE(resolveExePath(QString(), base + "/bin", base + "/data", base), base + "/bin/");
        // The running test has VORLAN_HOME set, and the folder is made.
        QVERIFY(ExePath().endsWith('/'));
        QVERIFY(QDir(ExePath()).exists());
        QCOMPARE(ExePath(), QDir(qEnvironmentVariable("VORLAN_HOME")).absolutePath() + '/');
    }

    void colourValuesAreBgrOrSystemIndices()
    {
        QCOMPARE(SystemColors::fromValue(255), QColor(255, 0, 0));
        QCOMPARE(SystemColors::fromValue(16711680), QColor(0, 0, 255));
        QCOMPARE(SystemColors::fromValue(12615680), QColor(0, 128, 192));
        QCOMPARE(SystemColors::toValue(QColor(0, 128, 192)), 12615680);
        QCOMPARE(SystemColors::fromValue(-2147483632), SystemColors::systemColor(SystemColors::ButtonShadow));
        QCOMPARE(SystemColors::fromValue(int32_t(0x80000000u | 10)),
                 QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
        QCOMPARE(SystemColors::htmlHex(QColor(0, 128, 192)), QStringLiteral("0080C0"));
        QCOMPARE(SystemColors::systemColor(99), QColor(0, 0, 0));
    }
};

VORLAN_TEST_CLASS(TextFileTest)
#include "TextFileTest.moc"
