#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

class ProfileFileTest : public QObject
{
    Q_OBJECT

    static QString write(const QByteArray &bytes)
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/p.ini");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    static QByteArray readBytes(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void sectionsAndKeysIgnoreCase()
    {
        ProfileFile p(write("[Setting]\r\nLoop=1\r\nListFontName = Arial \r\n"));
        QVERIFY(p.existed());
        QCOMPARE(p.readBool(QStringLiteral("SETTING"), QStringLiteral("loop"), false), true);
        QCOMPARE(p.readString(QStringLiteral("setting"), QStringLiteral("LISTFONTNAME")),
                 QStringLiteral("Arial"));
        QCOMPARE(p.readString(QStringLiteral("Other"), QStringLiteral("Loop"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void integersAcceptDecimalAndHex()
    {
        ProfileFile p(
            write("[S]\nA=-2147483632\nB=$FF0000\nC=0xff0000\nD=12abc\nE=\nF=$80000010\nG=99999999999\n"));
        QCOMPARE(p.readInteger("S", "A", 7), -2147483632);
        QCOMPARE(p.readInteger("S", "B", 7), 16711680);
        QCOMPARE(p.readInteger("S", "C", 7), 16711680);
        QCOMPARE(p.readInteger("S", "D", 7), 7);
        QCOMPARE(p.readInteger("S", "E", 7), 7);
        QCOMPARE(p.readInteger("S", "F", 7), -2147483632);
        QCOMPARE(p.readInteger("S", "G", 7), 7);
        QCOMPARE(p.readInteger("S", "missing", 7), 7);
    }

    void aProfileMadeFromNothingTakesWrites()
    {
        // Found by fuzzing: the first write into an empty profile (a new mask) must not crash.
        ProfileFile p;
        p.writeString(QStringLiteral("Vorlan Mask"), QStringLiteral("Author"), QStringLiteral("me"));
        p.writeInteger(QStringLiteral("Vorlan Mask"), QStringLiteral("PlayLeft"), 10);
        QCOMPARE(p.toLines(), QStringList({"[Vorlan Mask]", "Author=me", "PlayLeft=10"}));
        QCOMPARE(p.readString(QStringLiteral("vorlan mask"), QStringLiteral("author")), QStringLiteral("me"));
    }

    void valuesAreCutAt1023Characters()
    {
        ProfileFile p(write("[S]\nLong=" + QByteArray(2000, 'x') + "\n"));
        QCOMPARE(p.readString("S", "Long").size(), 1023);
    }

    void writeKeepsOrderCommentsAndForeignKeys()
    {
        const QString path = write("; made by hand\r\n[Setting]\r\nZeta=1\r\nForeign=keep me\r\n\r\n"
                                   "[Other]\r\nX=2\r\n");
        ProfileFile p(path);
        p.writeInteger("setting", "zeta", 5);    // existing key keeps its place and spelling
        p.writeString("Setting", "NewKey", "v"); // new key after the section's last key
        p.writeBool("Fresh", "On", true);        // new section at the end
        QVERIFY(p.save());
        QCOMPARE(readBytes(path), QByteArray("; made by hand\r\n[Setting]\r\nZeta=5\r\nForeign=keep me\r\n"
                                             "NewKey=v\r\n\r\n[Other]\r\nX=2\r\n\r\n[Fresh]\r\nOn=1\r\n"));
        ProfileFile again(path);
        QCOMPARE(again.keys("setting"), QStringList({"Zeta", "Foreign", "NewKey"}));
        QCOMPARE(again.sections(), QStringList({"Setting", "Other", "Fresh"}));
    }

    void missingFileIsEmptyAndSaveCreatesIt()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/new.cfg");
        ProfileFile p(path);
        QVERIFY(!p.existed());
        p.writeString("Setting", "BackMask", "1");
        QVERIFY(p.save());
        QCOMPARE(readBytes(path), QByteArray("[Setting]\r\nBackMask=1\r\n"));
    }

    void saveIntoMissingFolderFailsAndKeepsNothingHalfWritten()
    {
        const QString dir = vorlantest::tempDir();
        ProfileFile p(dir + QStringLiteral("/missing/Vorlan.cfg"));
        p.writeString("S", "K", "V");
        QVERIFY(!p.save());
        // No folder made, no temporary file left behind.
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

        // A name taken by a folder: the save fails, the folder and what it holds stay, nothing is left
        // beside.
        const QString taken = dir + QStringLiteral("/Vorlan.cfg");
        QVERIFY(QDir().mkpath(taken + QStringLiteral("/inside")));
        ProfileFile q(taken);
        q.writeString("S", "K", "V");
        QVERIFY(!q.save());
        QVERIFY(QFileInfo(taken).isDir());
        QCOMPARE(QDir(taken).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"inside"}));
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"Vorlan.cfg"}));
    }

    void lineBreaksInValuesDoNotMakeNewKeys()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/n.cfg");
        ProfileFile p(path);
        p.writeString("S", "K", "a\r\nEvil=1");
        QVERIFY(p.save());
        // One section line and one key line: the break did not start a line of its own.
        QCOMPARE(readBytes(path).count("\r\n"), 2);
        ProfileFile again(path);
        QVERIFY(again.hasKey("S", "K"));
        QVERIFY(!again.hasKey("S", "Evil"));
    }

    void randomInputNeverBreaksTheReader()
    {
        QRandomGenerator rng(42);
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(rng.bounded(1, 4000), '\0');
            for (auto &b : bytes)
                b = char(rng.bounded(256));
            if (round % 3 == 0)
                bytes.replace(char(rng.bounded(256)), '[');
            if (round % 5 == 0)
                bytes.replace(char(rng.bounded(256)), '=');
            ProfileFile p(write(bytes));
            for (const QString &s : p.sections())
                for (const QString &k : p.keys(s)) {
                    QVERIFY(p.readString(s, k).size() <= ProfileFile::MaxValueLength);
                    p.readInteger(s, k, 0);
                }
            p.writeString("Setting", "Loop", "1");
            QCOMPARE(p.readString("Setting", "Loop"), QStringLiteral("1"));
        }
    }

    void registryStoreKeepsValuesBetweenInstances()
    {
        const QString path = vorlantest::tempDir() + QStringLiteral("/cfg/Vorlan/registry.ini");
        RegistryStore store(path);
        QVERIFY(!store.hasValue("\\SOFTWARE\\Vorlan\\Multi Instance", "Allow"));
        QVERIFY(store.writeBool("\\SOFTWARE\\Vorlan\\Multi Instance", "Allow", false));
        RegistryStore other(path);
        QVERIFY(other.hasValue("SOFTWARE\\Vorlan\\Multi Instance", "Allow"));
        QCOMPARE(other.readBool("SOFTWARE\\Vorlan\\Multi Instance", "Allow", true), false);
        other.writeString("SOFTWARE\\Vorlan", "Other", "x");
        QCOMPARE(store.readBool("SOFTWARE\\Vorlan\\Multi Instance", "Allow", true), false);
    }
};

VORLAN_TEST_CLASS(ProfileFileTest)
#include "ProfileFileTest.moc"
