#include "platform/TextFile.h"
#include "platform/ExePath.h"
#include "platform/SystemColors.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTest>

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

    void writeIntoAFolderThatIsAFileFails()
    {
        const QString dir = vorlantest::tempDir();
        QVERIFY(TextFile::writeLines(dir + QStringLiteral("/plain"), {"x"}));
        QVERIFY(!TextFile::writeLines(dir + QStringLiteral("/plain/inner.txt"), {"y"}));
        QCOMPARE(TextFile::readLines(dir + QStringLiteral("/plain")), QStringList({"x"}));
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
