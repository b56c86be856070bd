#include "masks/SampleMasks.h"
#include "masks/MaskFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>

namespace
{

const QColor Lime(0, 255, 0);

QString shipped(const QString &name)
{
    return QStringLiteral(":/masks/") + name;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every pixel of the rectangle lies in the picture and is not cut away.
bool onTheBody(const QImage &back, const QRect &r)
{
    if (r.isEmpty() || !back.rect().contains(r))
        return false;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (back.pixelColor(x, y) == Lime)
                return false;
    return true;
}

} // namespace

class SampleMasksTest : public QObject
{
    Q_OBJECT
private slots:
    void everyShippedMaskLoadsWithItsImages();
    void builtInSkinIsShapedAndHoldsEveryObject();
    void samplesCoverTheMetersSliderAndGifModes();
    void installLeavesTheUsersFilesAlone();
};

void SampleMasksTest::everyShippedMaskLoadsWithItsImages()
{
    const QStringList names = SampleMasks::maskNames();
    QCOMPARE(names.value(0), QStringLiteral("Vorlan.msk"));
    QVERIFY2(names.size() >= 4, qPrintable(names.join(',')));
    QCOMPARE(SampleMasks::builtInMaskPath(), shipped(QStringLiteral("Vorlan.msk")));

    for (const QString &name : names) {
        bool ok = false;
        const MaskFile m = MaskFile::load(shipped(name), MaskReader::Player, &ok);
        QVERIFY2(ok, qPrintable(name));
        QCOMPARE(m.backColor, 65280);
        QCOMPARE(m.author, QStringLiteral("Vorlan"));

        const QImage back(m.imagePath(m.backImage));
        QVERIFY2(!back.isNull(), qPrintable(name + ": " + m.backImage));
        const QImage thumb(m.imagePath(m.sliderThumb));
        QVERIFY2(!thumb.isNull() && thumb.width() % 2 == 0, qPrintable(name + ": " + m.sliderThumb));
        for (int b = 0; b < MaskFile::ButtonCount; ++b) {
            const QImage glyph(m.buttonImagePath(MaskFile::Button(b)));
            QVERIFY2(!glyph.isNull(), qPrintable(name + ": " + m.buttonImages[b]));
            QCOMPARE(glyph.width() % 4, 0);
            // Four square frames, each the size the mask gives the button.
            const MaskGeometry &g = m.objects[MaskFile::PlayButtom + b];
            QCOMPARE(glyph.width() / 4, g.width);
            QCOMPARE(glyph.height(), g.height);
        }
        QImageReader gif(m.imagePath(m.animatedGif));
        QVERIFY2(gif.canRead() && gif.format() == "gif", qPrintable(name + ": " + m.animatedGif));
        QVERIFY(gif.imageCount() >= 6);

        // Nothing sits in the cut-away, not even the knob rows of volume and balance.
        for (int o = 0; o < MaskFile::ObjectCount; ++o) {
            const MaskGeometry &g = m.objects[o];
            QVERIFY2(onTheBody(back, QRect(g.left, g.top, g.width, g.height)),
                     qPrintable(name + ": " + MaskFile::ObjectNames[o]));
        }
        QVERIFY2(onTheBody(back, QRect(m.volumeLeft, m.volumeTop, 62, 22)), qPrintable(name));
        QVERIFY2(onTheBody(back, QRect(m.balanceLeft, m.balanceTop, 45, 22)), qPrintable(name));
    }
}

void SampleMasksTest::builtInSkinIsShapedAndHoldsEveryObject()
{
    const MaskFile m = MaskFile::load(SampleMasks::builtInMaskPath(), MaskReader::Player);
    const QImage back(m.imagePath(m.backImage));
    QVERIFY(back.width() >= 300 && back.width() <= 380);
    QVERIFY(back.height() >= 120 && back.height() <= 170);

    // The outline is not the rectangle: the border is partly cut away, and the body is most of the picture.
    int limeOnBorder = 0, border = 0, body = 0;
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x) {
            const bool lime = back.pixelColor(x, y) == Lime;
            body += !lime;
            if (x == 0 || y == 0 || x == back.width() - 1 || y == back.height() - 1) {
                ++border;
                limeOnBorder += lime;
            }
        }
    QVERIFY2(limeOnBorder > border / 4 && limeOnBorder < border, qPrintable(QString::number(limeOnBorder)));
    QVERIFY(body > back.width() * back.height() * 3 / 4);

    // The edge is hard: next to the cut-away there is no half-lime pixel.
    for (int y = 1; y < back.height() - 1; ++y)
        for (int x = 1; x < back.width() - 1; ++x) {
            const QColor c = back.pixelColor(x, y);
            if (c == Lime)
                continue;
            const bool nearLime = back.pixelColor(x - 1, y) == Lime || back.pixelColor(x + 1, y) == Lime ||
                                  back.pixelColor(x, y - 1) == Lime || back.pixelColor(x, y + 1) == Lime;
            if (nearLime)
                QVERIFY2(c.green() < c.red() + c.blue() + 40,
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    QVERIFY(m.vuKindValue() == VUKind::Vertical || m.vuKindValue() == VUKind::Horizontal);
    QVERIFY(m.sliderHorizontal());
}

void SampleMasksTest::samplesCoverTheMetersSliderAndGifModes()
{
    QSet<QString> kinds;
    bool verticalSlider = false, gifUnderMouse = false;
    for (const QString &name : SampleMasks::maskNames().mid(1)) {
        const MaskFile m = MaskFile::load(shipped(name), MaskReader::Player);
        kinds << m.vuKind;
        verticalSlider |= !m.sliderHorizontal();
        gifUnderMouse |=
            m.gifActivity() == GifActivity::AnimateUnderMouse && !m.imagePath(m.animatedGif).isEmpty();
    }
    QVERIFY(kinds.contains(QStringLiteral("Grad Vertical")));
    QVERIFY(kinds.contains(QStringLiteral("Pie")) || kinds.contains(QStringLiteral("Needle")));
    QVERIFY(verticalSlider);
    QVERIFY(gifUnderMouse);
}

void SampleMasksTest::installLeavesTheUsersFilesAlone()
{
    const QStringList files = QDir(QStringLiteral(":/masks")).entryList(QDir::Files);
    QVERIFY(files.contains(QStringLiteral("Ember.msk")) && files.contains(QStringLiteral("tide-back.bmp")));

    const QString dir = vorlantest::tempDir() + QStringLiteral("/Masks");
    QVERIFY(QDir().mkpath(dir));
    {
        QFile mine(dir + QStringLiteral("/Ember.msk"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("[Vorlan Mask]\r\nAuthor=me\r\n");
    }
    QVERIFY(QFile::link(dir + QStringLiteral("/nowhere"), dir + QStringLiteral("/tide-back.bmp")));

    QCOMPARE(SampleMasks::install(dir), int(files.size()) - 2);
    QCOMPARE(bytesOf(dir + QStringLiteral("/Ember.msk")), QByteArray("[Vorlan Mask]\r\nAuthor=me\r\n"));
    QVERIFY(QFileInfo(dir + QStringLiteral("/tide-back.bmp")).isSymLink());
    QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/nowhere")));
    for (const QString &f : files) {
        if (f == QLatin1String("Ember.msk") || f == QLatin1String("tide-back.bmp"))
            continue;
        QCOMPARE(bytesOf(dir + '/' + f), bytesOf(shipped(f)));
        QVERIFY2(QFileInfo(dir + '/' + f).permissions() & QFile::WriteOwner, qPrintable(f));
    }
    // The installed masks find their images beside them.
    const MaskFile vorlan = MaskFile::load(dir + QStringLiteral("/Vorlan.msk"), MaskReader::Player);
    QCOMPARE(vorlan.imagePath(vorlan.backImage), QDir(dir).absoluteFilePath(vorlan.backImage));

    // Again: nothing left to write. Into a folder that is not there yet: everything, folder made.
    QCOMPARE(SampleMasks::install(dir), 0);
    const QString fresh = vorlantest::tempDir() + QStringLiteral("/a/Masks");
    QCOMPARE(SampleMasks::install(fresh), int(files.size()));
}

VORLAN_TEST_CLASS(SampleMasksTest)
#include "SampleMasksTest.moc"
