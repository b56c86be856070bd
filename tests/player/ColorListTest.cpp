#include "player/ColorList.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

namespace
{

QString listIn(const QString &dir)
{
    return dir + QStringLiteral("/VoColors.mnu");
}

} // namespace

class ColorListTest : public QObject
{
    Q_OBJECT
private slots:
    void addWritesThreeLinesPerEntry();
    void emptyNameIsNumberedAfterTheEntries();
    void longNamesAreCut();
    void pickReadsThePairWithFallbacks();
    void removeDropsOneEntryAndTheLastDeletesTheFile();
    void truncatedFileStaysInStep();
    void damagedFilesNeverCrash();
};

void ColorListTest::addWritesThreeLinesPerEntry()
{
    const QString path = listIn(vorlantest::tempDir());
    ColorList list(path);
    QCOMPARE(list.count(), 0);
    QCOMPARE(list.add(QStringLiteral("Sea"), 12615680, -2147483632), QStringLiteral("Sea"));
    QCOMPARE(list.add(QStringLiteral("Sun"), 255, 65535), QStringLiteral("Sun"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("Sea\r\n12615680\r\n-2147483632\r\nSun\r\n255\r\n65535\r\n"));
    QCOMPARE(ColorList(path).names(), (QStringList{"Sea", "Sun"}));
}

void ColorListTest::emptyNameIsNumberedAfterTheEntries()
{
    const QString path = listIn(vorlantest::tempDir());
    ColorList list(path);
    for (int i = 0; i < 4; ++i)
        list.add(QStringLiteral("C%1").arg(i), i, i);
    QCOMPARE(list.add(QString(), 1, 2), QStringLiteral("Vorlan Color 5"));
    QCOMPARE(list.names().last(), QStringLiteral("Vorlan Color 5"));
    QCOMPARE(ColorList(listIn(vorlantest::tempDir())).add(QString(), 1, 2), QStringLiteral("Vorlan Color 1"));
}

void ColorListTest::longNamesAreCut()
{
    const QString path = listIn(vorlantest::tempDir());
    ColorList list(path);
    const QString stored = list.add(QString(40, QLatin1Char('n')), 1, 2);
    QCOMPARE(stored, QString(30, QLatin1Char('n')));
    // A line break in a name would shift every later entry.
    QCOMPARE(list.add(QStringLiteral("two\r\nlines"), 3, 4), QStringLiteral("two  lines"));
    int32_t a = 0, b = 0;
    QVERIFY(list.pick(1, &a, &b));
    QCOMPARE(a, 3);
    QCOMPARE(b, 4);
}

void ColorListTest::pickReadsThePairWithFallbacks()
{
    const QString path = listIn(vorlantest::tempDir());
    QVERIFY(TextFile::writeLines(
        path, {"Good", "255", "-2147483632", "Bad", "red", "", "Hex", "$FF0000", "0x00FF00", "Cut"}));
    ColorList list(path);
    QCOMPARE(list.names(), (QStringList{"Good", "Bad", "Hex", "Cut"}));
    int32_t a = 1, b = 1;
    QVERIFY(list.pick(0, &a, &b));
    QCOMPARE(a, 255);
    QCOMPARE(b, -2147483632);
    QVERIFY(list.pick(1, &a, &b));
    QCOMPARE(a, 0xFFFFFF);
    QCOMPARE(b, 0);
    QVERIFY(list.pick(2, &a, &b));
    QCOMPARE(a, 16711680);
    QCOMPARE(b, 65280);
    QVERIFY(list.pick(3, &a, &b));
    QCOMPARE(a, 0xFFFFFF);
    QCOMPARE(b, 0);
    a = b = 7;
    QVERIFY(!list.pick(4, &a, &b));
    QVERIFY(!list.pick(-1, &a, &b));
    QCOMPARE(a, 7);
}

void ColorListTest::removeDropsOneEntryAndTheLastDeletesTheFile()
{
    const QString path = listIn(vorlantest::tempDir());
    ColorList list(path);
    list.add(QStringLiteral("A"), 1, 2);
    list.add(QStringLiteral("B"), 3, 4);
    list.add(QStringLiteral("C"), 5, 6);
    QVERIFY(list.remove(1));
    QCOMPARE(list.names(), (QStringList{"A", "C"}));
    QCOMPARE(TextFile::readLines(path), (QStringList{"A", "1", "2", "C", "5", "6"}));
    QVERIFY(!list.remove(2));
    QVERIFY(list.remove(0));
    QVERIFY(list.remove(0));
    QCOMPARE(list.count(), 0);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!list.remove(0));

    // The only entry of a file written elsewhere.
    QVERIFY(TextFile::writeLines(path, {"Only", "1", "2"}));
    ColorList only(path);
    QVERIFY(only.remove(0));
    QVERIFY(!QFile::exists(path));
}

void ColorListTest::truncatedFileStaysInStep()
{
    const QString path = listIn(vorlantest::tempDir());
    QVERIFY(TextFile::writeLines(path, {"A", "1", "2", "B", "3"}));
    ColorList list(path);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.add(QString(), 7, 8), QStringLiteral("Vorlan Color 3"));
    QCOMPARE(list.names(), (QStringList{"A", "B", "Vorlan Color 3"}));
    int32_t a = 0, b = 0;
    QVERIFY(list.pick(2, &a, &b));
    QCOMPARE(a, 7);
    QCOMPARE(b, 8);
    QVERIFY(list.pick(1, &a, &b));
    QCOMPARE(a, 3);
    QCOMPARE(b, 0);
}

void ColorListTest::damagedFilesNeverCrash()
{
    const QString path = listIn(vorlantest::tempDir());
    QRandomGenerator rng(5);
    for (int round = 0; round < 40; ++round) {
        QByteArray bytes(int(rng.bounded(2048)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(rng.bounded(256));
        QVERIFY(TextFile::writeAtomically(path, bytes));
        ColorList list(path);
        int32_t a, b;
        for (int i = 0; i < list.count(); ++i)
            QVERIFY(list.pick(i, &a, &b));
        const int before = list.count();
        QVERIFY(!list.add(QStringLiteral("New"), 1, 2).isEmpty());
        QCOMPARE(list.count(), before + 1);
        QVERIFY(list.pick(before, &a, &b));
        QCOMPARE(a, 1);
        QCOMPARE(b, 2);
    }
    QVERIFY(TextFile::writeAtomically(path, QByteArray(300'000, '7')));
    ColorList long1(path);
    QCOMPARE(long1.count(), 1);
    int32_t a, b;
    QVERIFY(long1.pick(0, &a, &b));
    QCOMPARE(b, 0);
    // Megabytes are no colour list: nothing is read from it, and nothing replaces it.
    const QByteArray absurd = "Mine\r\n1\r\n2\r\n" + QByteArray(3'000'000, '7');
    QVERIFY(TextFile::writeAtomically(path, absurd));
    ColorList huge(path);
    QCOMPARE(huge.count(), 0);
    QVERIFY(huge.add(QStringLiteral("New"), 1, 2).isEmpty());
    QVERIFY(!huge.remove(0));
    QCOMPARE(QFileInfo(path).size(), absurd.size());
}

VORLAN_TEST_CLASS(ColorListTest)
#include "ColorListTest.moc"
