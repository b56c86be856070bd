#include "engine/EqualizerFile.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace
{

QString fileIn(const QString &dir)
{
    return dir + QStringLiteral("/Equalizer.cfg");
}

EqualizerSettings counting()
{
    EqualizerSettings eq;
    for (int i = 0; i < 12; ++i) {
        eq.left[i] = i * 5 - 30;
        eq.right[i] = 30 - i * 5;
    }
    return eq;
}

} // namespace

class EqualizerFileTest : public QObject
{
    Q_OBJECT
private slots:
    void sliderEightFillsBandsTenToFourteen();
    void slidersCoverEveryBandOnce();
    void recordStaysWithinRange();
    void rightEqualsLeftThenSaveRepeatsTheLines();
    void savedFileReadsBack();
    void valuesAreClampedOnRead();
    void missingOrShortFilesLeaveTheRest();
    void damagedFilesNeverCrash();
};

void EqualizerFileTest::sliderEightFillsBandsTenToFourteen()
{
    EqualizerSettings eq;
    eq.left[7] = 40;
    eq.right[7] = 40;
    const XA_EqualizerInfo info = eq.toEqualizerInfo();
    for (int band = 0; band < 32; ++band) {
        const int expected = band >= 10 && band <= 14 ? 40 : 0;
        QCOMPARE(int(info.left[band]), expected);
        QCOMPARE(int(info.right[band]), expected);
    }
    // The record is the decoder's 64 bytes: left bands, then right bands.
    QCOMPARE(sizeof(XA_EqualizerInfo), size_t(64));
    const auto *bytes = reinterpret_cast<const int8_t *>(&info);
    QCOMPARE(int(bytes[10]), 40);
    QCOMPARE(int(bytes[32 + 14]), 40);
    QCOMPARE(int(bytes[32 + 15]), 0);
}

void EqualizerFileTest::slidersCoverEveryBandOnce()
{
    // Slider (1-based) to its bands: 1-6 one band each, then 4, 5, 4, 4, 4, 5.
    const int firstBandOfSlider[13] = {0, 1, 2, 3, 4, 5, 6, 10, 15, 19, 23, 27, 32};
    for (int slider = 0; slider < 12; ++slider)
        for (int band = firstBandOfSlider[slider]; band < firstBandOfSlider[slider + 1]; ++band)
            QCOMPARE(EqualizerSettings::sliderForBand(band), slider);

    EqualizerSettings eq;
    for (int i = 0; i < 12; ++i) {
        eq.left[i] = i + 1;
        eq.right[i] = -(i + 1);
    }
    const XA_EqualizerInfo info = eq.toEqualizerInfo();
    const int expectedLeft[32] = {1, 2, 3, 4,  5,  6,  7,  7,  7,  7,  8,  8,  8,  8,  8,  9,
                                  9, 9, 9, 10, 10, 10, 10, 11, 11, 11, 11, 12, 12, 12, 12, 12};
    for (int band = 0; band < 32; ++band) {
        QCOMPARE(int(info.left[band]), expectedLeft[band]);
        QCOMPARE(int(info.right[band]), -expectedLeft[band]);
    }
}

void EqualizerFileTest::recordStaysWithinRange()
{
    EqualizerSettings eq;
    eq.left[0] = 500;
    eq.right[11] = -1000;
    const XA_EqualizerInfo info = eq.toEqualizerInfo();
    QCOMPARE(int(info.left[0]), 80);
    QCOMPARE(int(info.right[31]), -80);
}

void EqualizerFileTest::rightEqualsLeftThenSaveRepeatsTheLines()
{
    const QString path = fileIn(vorlantest::tempDir());
    EqualizerSettings eq = counting();
    eq.rightEqualsLeft();
    QVERIFY(eq.save(path));
    const QStringList lines = TextFile::readLines(path);
    QCOMPARE(lines.size(), 24);
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(lines[12 + i], lines[i]);
        QCOMPARE(lines[i], QString::number(i * 5 - 30));
    }
    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("-30\r\n-25\r\n-20\r\n"));

    eq.reset();
    QCOMPARE(eq, EqualizerSettings());
}

void EqualizerFileTest::savedFileReadsBack()
{
    const QString path = fileIn(vorlantest::tempDir());
    QVERIFY(counting().save(path));
    EqualizerSettings back;
    QVERIFY(back.load(path));
    QCOMPARE(back, counting());
    // Out-of-range values are not written.
    EqualizerSettings wild;
    wild.left[3] = 300;
    QVERIFY(wild.save(path));
    QCOMPARE(TextFile::readLines(path).at(3), QStringLiteral("80"));
}

void EqualizerFileTest::valuesAreClampedOnRead()
{
    const QString path = fileIn(vorlantest::tempDir());
    QStringList lines = {"200", "-81", "+12", " -7 ", "99999999999999999999999", "-99999999999999999999"};
    while (lines.size() < 24)
        lines << QStringLiteral("80");
    QVERIFY(TextFile::writeLines(path, lines));
    EqualizerSettings eq;
    QVERIFY(eq.load(path));
    QCOMPARE(eq.left[0], 80);
    QCOMPARE(eq.left[1], -80);
    QCOMPARE(eq.left[2], 12);
    QCOMPARE(eq.left[3], -7);
    QCOMPARE(eq.left[4], 80);
    QCOMPARE(eq.left[5], -80);
    QCOMPARE(eq.right[11], 80);
}

void EqualizerFileTest::missingOrShortFilesLeaveTheRest()
{
    const QString dir = vorlantest::tempDir();
    EqualizerSettings eq = counting();
    QVERIFY(!eq.load(fileIn(dir)));
    QVERIFY(!eq.load(dir));
    QCOMPARE(eq, counting());

    // Five numbers and a word: the first five left sliders change, the sixth and the rest stay.
    const QString shortFile = fileIn(dir);
    QVERIFY(TextFile::writeLines(shortFile, {"1", "2", "3", "4", "5", "loud"}));
    QVERIFY(eq.load(shortFile));
    QCOMPARE(eq.left[0], 1);
    QCOMPARE(eq.left[4], 5);
    QCOMPARE(eq.left[5], counting().left[5]);
    QCOMPARE(eq.right, counting().right);

    // Lines past the 24th are ignored.
    QStringList longer;
    for (int i = 0; i < 30; ++i)
        longer << QString::number(i);
    QVERIFY(TextFile::writeLines(shortFile, longer));
    QVERIFY(eq.load(shortFile));
    QCOMPARE(eq.right[11], 23);
}

void EqualizerFileTest::damagedFilesNeverCrash()
{
    const QString path = fileIn(vorlantest::tempDir());
    QRandomGenerator rng(3);
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes(int(rng.bounded(600)), Qt::Uninitialized);
        for (char &c : bytes)
            c = round % 2 ? "-+0123456789\r\n x"[rng.bounded(16)] : char(rng.bounded(256));
        QVERIFY(TextFile::writeAtomically(path, bytes));
        EqualizerSettings eq;
        QVERIFY(eq.load(path));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(eq.left[i] >= -80 && eq.left[i] <= 80);
            QVERIFY(eq.right[i] >= -80 && eq.right[i] <= 80);
        }
    }
    EqualizerSettings eq;
    // Megabytes are no equalizer file: not read at all.
    QVERIFY(TextFile::writeAtomically(path, QByteArray(3'000'000, '9')));
    QVERIFY(!eq.load(path));
    QCOMPARE(eq.left[0], 0);
    QVERIFY(TextFile::writeAtomically(path, QByteArray(300'000, '9')));
    QVERIFY(eq.load(path));
    QCOMPARE(eq.left[0], 80);
    QCOMPARE(eq.left[1], 0);
    QVERIFY(TextFile::writeAtomically(path, "10\r\n20\r\n3"));
    QVERIFY(eq.load(path));
    QCOMPARE(eq.left[2], 3);
}

VORLAN_TEST_CLASS(EqualizerFileTest)
#include "EqualizerFileTest.moc"
