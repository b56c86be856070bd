#include "masks/MaskFile.h"
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

namespace
{

QString writeMask(const QString &dir, const QStringList &lines, const QString &name = QStringLiteral("m.msk"))
{
    const QString path = dir + '/' + name;
    TextFile::writeLines(path, lines);
    return path;
}

void touch(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
}

} // namespace

class MaskFileTest : public QObject
{
    Q_OBJECT
private slots:
    void missingKeysTakeEachReadersDefaults();
    void titleFontAndTimeColorDependOnReader();
    void sliderKindIsHorizontalOnlyWhenSpelledExactly();
    void vuKindNamesAndUnknownText();
    void gifActiveOutsideRangeDoesNothing();
    void integersAcceptHexAndFallBackWhenUnreadable();
    void keysMatchWithoutCaseAndLongValuesAreCut();
    void writerKeepsTheMaskersOrderLineForLine();
    void savingKeepsForeignKeysAndSections();
    void roundTripKeepsEveryValue();
    void extrasFollowTheOtherKeysAndAreEmptiedWhenDropped();
    void writerStoresBareImageNames();
    void imagesResolveBesideTheMask();
    void missingFileGivesDefaults();
    void damagedFilesNeverCrash();
};

void MaskFileTest::missingKeysTakeEachReadersDefaults()
{
    const QString path = writeMask(vorlantest::tempDir(),
                                   {QStringLiteral("[Vorlan Mask]"), QStringLiteral("BackImage=back.bmp"),
                                    QStringLiteral("BackColor=65280")});
    const MaskFile player = MaskFile::load(path, MaskReader::Player);
    const MaskFile editor = MaskFile::load(path, MaskReader::EditorLoad);
    const MaskFile test = MaskFile::load(path, MaskReader::TestWindow);
    for (const MaskFile *m : {&player, &editor, &test}) {
        QCOMPARE(m->backImage, QStringLiteral("back.bmp"));
        QCOMPARE(m->backColor, 65280);
        QCOMPARE(m->sliderColor, 16777215);
        QCOMPARE(m->timeShadowColor, -2147483632);
        QCOMPARE(m->bestColor1, 16711680);
        QCOMPARE(m->author, QStringLiteral("Nuri Calvat"));
        QCOMPARE(m->timeFont, 12);
    }
    for (int o = 0; o < MaskFile::ObjectCount; ++o) {
        QCOMPARE(player.objects[o], (MaskGeometry{-50, -50, -50, -50}));
        QCOMPARE(test.objects[o], (MaskGeometry{-50, -50, -50, -50}));
        QCOMPARE(editor.objects[o], (MaskGeometry{0, 0, 0, 0}));
    }
    QCOMPARE(player.volumeLeft, -50);
    QCOMPARE(player.balanceTop, -50);
    QCOMPARE(editor.volumeTop, 0);
    QCOMPARE(editor.balanceLeft, 0);

    // A mask without its own back colour keeps the olive key colour.
    const QString bare = writeMask(vorlantest::tempDir(), {QStringLiteral("[Vorlan Mask]")});
    QCOMPARE(MaskFile::load(bare, MaskReader::Player).backColor, 32896);
}

void MaskFileTest::titleFontAndTimeColorDependOnReader()
{
    const QString dir = vorlantest::tempDir();
    const QString path = writeMask(dir, {QStringLiteral("[Vorlan Mask]"), QStringLiteral("TimeColor=255")});
    QCOMPARE(MaskFile::load(path, MaskReader::Player).titleFont, 8);
    QCOMPARE(MaskFile::load(path, MaskReader::EditorLoad).titleFont, 12);
    QCOMPARE(MaskFile::load(path, MaskReader::TestWindow).titleFont, 12);
    // Only the test window reads the time colour.
    QCOMPARE(MaskFile::load(path, MaskReader::TestWindow).timeColor, 255);
    QCOMPARE(MaskFile::load(path, MaskReader::Player).timeColor, 16777215);

    const QString set = writeMask(dir, {QStringLiteral("[Vorlan Mask]"), QStringLiteral("TitleFont=20")},
                                  QStringLiteral("n.msk"));
    QCOMPARE(MaskFile::load(set, MaskReader::Player).titleFont, 20);
}

void MaskFileTest::sliderKindIsHorizontalOnlyWhenSpelledExactly()
{
    MaskFile m = MaskFile::defaults(MaskReader::Player);
    QVERIFY(m.sliderHorizontal());
    m.sliderKind = QStringLiteral("horizontal");
    QVERIFY(!m.sliderHorizontal());
    m.sliderKind = QStringLiteral("Vertical");
    QVERIFY(!m.sliderHorizontal());
    m.sliderKind = QString();
    QVERIFY(!m.sliderHorizontal());

    const QString path = writeMask(
        vorlantest::tempDir(), {QStringLiteral("[Vorlan Mask]"), QStringLiteral("SliderKind=horizontal")});
    QVERIFY(!MaskFile::load(path, MaskReader::Player).sliderHorizontal());
}

void MaskFileTest::vuKindNamesAndUnknownText()
{
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Horizontal")), VUKind::Horizontal);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Vertical")), VUKind::Vertical);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Pie")), VUKind::Pie);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Needle")), VUKind::Needle);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Grad Vertical")), VUKind::GradVertical);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("grad vertical")), VUKind::Unchanged);
    QCOMPARE(MaskFile::vuKindFromText(QStringLiteral("Bars")), VUKind::Unchanged);
    QCOMPARE(MaskFile::vuKindFromText(QString()), VUKind::Unchanged);
    QCOMPARE(MaskFile::defaults(MaskReader::Player).vuKindValue(), VUKind::Horizontal);
}

void MaskFileTest::gifActiveOutsideRangeDoesNothing()
{
    MaskFile m;
    QCOMPARE(m.gifActivity(), GifActivity::DoNothing);
    m.gifActive = 1;
    QCOMPARE(m.gifActivity(), GifActivity::Hide);
    m.gifActive = 2;
    QCOMPARE(m.gifActivity(), GifActivity::AnimateUnderMouse);
    m.gifActive = 7;
    QCOMPARE(m.gifActivity(), GifActivity::DoNothing);
    m.gifActive = -1;
    QCOMPARE(m.gifActivity(), GifActivity::DoNothing);
}

void MaskFileTest::integersAcceptHexAndFallBackWhenUnreadable()
{
    const QString path = writeMask(vorlantest::tempDir(), {
                                                              QStringLiteral("[Vorlan Mask]"),
                                                              QStringLiteral("BackColor=$FF0000"),
                                                              QStringLiteral("SliderColor=0xFF0000"),
                                                              QStringLiteral("TitleColor=0XFF0000"),
                                                              QStringLiteral("VUColor=-2147483632"),
                                                              QStringLiteral("BestColor1=blue"),
                                                              QStringLiteral("BestColor2=12abc"),
                                                              QStringLiteral("TimeFont="),
                                                              QStringLiteral("Slider-W=99999999999"),
                                                              QStringLiteral("Slider-H= 19 "),
                                                              QStringLiteral("Slider-T=-20"),
                                                          });
    const MaskFile m = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(m.backColor, 16711680);
    QCOMPARE(m.sliderColor, 16711680);
    QCOMPARE(m.titleColor, 16711680);
    QCOMPARE(m.vuColor, -2147483632);
    QCOMPARE(m.bestColor1, 16711680);
    QCOMPARE(m.bestColor2, 16777215);
    QCOMPARE(m.timeFont, 12);
    QCOMPARE(m.objects[MaskFile::Slider], (MaskGeometry{-50, 19, -20, -50}));
}

void MaskFileTest::keysMatchWithoutCaseAndLongValuesAreCut()
{
    const QString longName(2000, QLatin1Char('a'));
    const QString path = writeMask(vorlantest::tempDir(), {
                                                              QStringLiteral("[vorlan mask]"),
                                                              QStringLiteral("backcolor=65280"),
                                                              QStringLiteral("PLAY BUTTOM-W=33"),
                                                              QStringLiteral("Author=") + longName,
                                                          });
    const MaskFile m = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(m.backColor, 65280);
    QCOMPARE(m.objects[MaskFile::PlayButtom].width, 33);
    QCOMPARE(m.author.size(), 1023);
    QCOMPARE(m.author, longName.left(1023));
}

void MaskFileTest::writerKeepsTheMaskersOrderLineForLine()
{
    MaskFile m = MaskFile::defaults(MaskReader::EditorLoad);
    m.backImage = QStringLiteral("back.bmp");
    m.backColor = 65280;
    m.buttonImages[MaskFile::PlayBtn] = QStringLiteral("play.bmp");
    m.objects[MaskFile::Slider] = MaskGeometry{198, 19, 70, 15};
    m.volumeLeft = 10;
    m.volumeTop = 138;
    m.balanceLeft = 81;
    m.balanceTop = 138;
    m.timeColor = 255;
    const QString path = vorlantest::tempDir() + QStringLiteral("/new.msk");
    QVERIFY(m.save(path));

    QStringList expected = {
        QStringLiteral("[Vorlan Mask]"),
        QStringLiteral("BackImage=back.bmp"),
        QStringLiteral("BackColor=65280"),
        QStringLiteral("SliderThumb="),
        QStringLiteral("SliderColor=16777215"),
        QStringLiteral("SliderKind=Horizontal"),
        QStringLiteral("TimeFont=12"),
        QStringLiteral("TimeAngle=0"),
        QStringLiteral("TimeShadowColor=-2147483632"),
        QStringLiteral("TimeShodowSize=0"),
        QStringLiteral("TimeShodowDepth=0"),
        QStringLiteral("TitleFont=12"),
        QStringLiteral("TitleColor=16777215"),
        QStringLiteral("VUKind=Horizontal"),
        QStringLiteral("VUColor=16777215"),
        QStringLiteral("PlayBtn=play.bmp"),
        QStringLiteral("PauseBtn="),
        QStringLiteral("StopBtn="),
        QStringLiteral("OpenBtn="),
        QStringLiteral("PrevBtn="),
        QStringLiteral("NextBtn="),
        QStringLiteral("LoopBtn="),
        QStringLiteral("RandBtn="),
        QStringLiteral("Animated Gif="),
        QStringLiteral("Gif Active=0"),
    };
    const char *objects[] = {"Slider",      "Song Title",   "About",       "Play List",   "Equalizer",
                             "Information", "Configration", "On Top",      "Minimize",    "Close",
                             "Play Time",   "VU-Meter R",   "VU-Meter L",  "Play Buttom", "Pause Buttom",
                             "Stop Buttom", "Open Buttom",  "Prev Buttom", "Next Buttom", "Loop Buttom",
                             "Rand Buttom", "Animated Gif"};
    for (const char *o : objects) {
        const bool slider = QLatin1String(o) == QLatin1String("Slider");
        expected << QStringLiteral("%1-W=%2").arg(QLatin1String(o)).arg(slider ? 198 : 0)
                 << QStringLiteral("%1-H=%2").arg(QLatin1String(o)).arg(slider ? 19 : 0)
                 << QStringLiteral("%1-T=%2").arg(QLatin1String(o)).arg(slider ? 70 : 0)
                 << QStringLiteral("%1-L=%2").arg(QLatin1String(o)).arg(slider ? 15 : 0);
    }
    expected << QStringLiteral("Volume-L=10") << QStringLiteral("Volume-T=138")
             << QStringLiteral("Balance-L=81") << QStringLiteral("Balance-T=138")
             << QStringLiteral("BestColor1=16711680") << QStringLiteral("BestColor2=16777215")
             << QStringLiteral("Author=Nuri Calvat");

    QCOMPARE(TextFile::readLines(path), expected);
    QCOMPARE(MaskFile::objectNameList().size(), 22);
    QCOMPARE(MaskFile::objectNameList().last(), QStringLiteral("Animated Gif"));

    QFile raw(path);
    QVERIFY(raw.open(QIODevice::ReadOnly));
    QVERIFY(raw.readAll().startsWith("[Vorlan Mask]\r\nBackImage=back.bmp\r\n"));
}

void MaskFileTest::savingKeepsForeignKeysAndSections()
{
    const QString path = writeMask(vorlantest::tempDir(), {
                                                              QStringLiteral("; made by hand"),
                                                              QStringLiteral("[Notes]"),
                                                              QStringLiteral("Text=keep me"),
                                                              QStringLiteral("[Vorlan Mask]"),
                                                              QStringLiteral("Comment=mine"),
                                                              QStringLiteral("TimeColor=255"),
                                                              QStringLiteral("backcolor=1"),
                                                          });
    MaskFile m = MaskFile::load(path, MaskReader::EditorLoad);
    m.backColor = 65280;
    QVERIFY(m.save(path));

    const ProfileFile saved(path);
    QCOMPARE(saved.readString(QStringLiteral("Notes"), QStringLiteral("Text")), QStringLiteral("keep me"));
    QCOMPARE(saved.readString(QStringLiteral("Vorlan Mask"), QStringLiteral("Comment")),
             QStringLiteral("mine"));
    QCOMPARE(saved.readInteger(QStringLiteral("Vorlan Mask"), QStringLiteral("TimeColor"), 0), 255);
    QCOMPARE(saved.readInteger(QStringLiteral("Vorlan Mask"), QStringLiteral("BackColor"), 0), 65280);
    // The key that was there keeps its place: one BackColor line, right after the foreign keys.
    const QStringList lines = TextFile::readLines(path);
    QCOMPARE(lines.first(), QStringLiteral("; made by hand"));
    const int comment = lines.indexOf(QStringLiteral("Comment=mine"));
    QCOMPARE(lines.at(comment + 2), QStringLiteral("backcolor=65280"));
    QCOMPARE(lines.filter(QStringLiteral("BackColor="), Qt::CaseInsensitive).size(), 1);
    QCOMPARE(saved.sections().filter(QStringLiteral("Vorlan Mask")).size(), 1);
}

void MaskFileTest::roundTripKeepsEveryValue()
{
    MaskFile m = MaskFile::defaults(MaskReader::EditorLoad);
    m.backImage = QStringLiteral("back.bmp");
    m.backColor = 1;
    m.sliderThumb = QStringLiteral("thumb.bmp");
    m.sliderColor = 2;
    m.sliderKind = QStringLiteral("Vertical");
    m.timeFont = 14;
    m.timeAngle = 90;
    m.timeShadowColor = 3;
    m.timeShadowSize = 4;
    m.timeShadowDepth = 5;
    m.titleFont = 16;
    m.titleColor = 6;
    m.vuKind = QStringLiteral("Grad Vertical");
    m.vuColor = 7;
    for (int b = 0; b < MaskFile::ButtonCount; ++b)
        m.buttonImages[b] = QStringLiteral("button%1.bmp").arg(b);
    m.animatedGif = QStringLiteral("logo.gif");
    m.gifActive = 2;
    for (int o = 0; o < MaskFile::ObjectCount; ++o)
        m.objects[o] = MaskGeometry{o + 100, o + 200, o - 50, o + 300};
    m.volumeLeft = 1;
    m.volumeTop = 2;
    m.balanceLeft = 3;
    m.balanceTop = 4;
    m.bestColor1 = -2147483632;
    m.bestColor2 = 8;
    m.author = QStringLiteral("Jürgen, = the author");
    const QString path = vorlantest::tempDir() + QStringLiteral("/round.msk");
    QVERIFY(m.save(path));

    bool ok = false;
    MaskFile back = MaskFile::load(path, MaskReader::EditorLoad, &ok);
    QVERIFY(ok);
    QCOMPARE(back.path, path);
    back.path = m.path;
    QVERIFY(back == m);
}

void MaskFileTest::extrasFollowTheOtherKeysAndAreEmptiedWhenDropped()
{
    MaskFile m = MaskFile::defaults(MaskReader::Player);
    m.backImage = QStringLiteral("back.bmp");
    m.timeDigits = QStringLiteral("digits.bmp");
    m.titleChars = QStringLiteral("chars.bmp");
    m.sliderBack = QStringLiteral("groove.bmp");
    m.volumeBar = QStringLiteral("/elsewhere/volume.bmp");
    m.volumeBarFrames = 28;
    m.volumeThumb = QStringLiteral("vthumb.bmp");
    m.balanceBar = QStringLiteral("balance.bmp");
    m.balanceBarFrames = 27;
    m.balanceThumb = QStringLiteral("bthumb.bmp");
    m.toggleOnImages = {QStringLiteral("loop-on.bmp"), QStringLiteral("rand-on.bmp")};
    m.shape = QStringLiteral("shape.txt");
    m.extraObjects[MaskFile::VolumeBarObject] = MaskGeometry{68, 13, 57, 107};
    m.extraObjects[MaskFile::BalanceBarObject] = MaskGeometry{38, 13, 57, 177};
    QVERIFY(m.hasExtras());
    const QString path = vorlantest::tempDir() + QStringLiteral("/extras.msk");
    QVERIFY(m.save(path));

    MaskFile back = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(back.volumeBar, QStringLiteral("volume.bmp")); // a bare name, as every picture
    back.volumeBar = m.volumeBar;
    back.path = m.path;
    QVERIFY(back == m);
    // Readers that know only the standard keys find them where they always were; the extras come after.
    const QStringList lines = TextFile::readLines(path);
    const int author = lines.indexOf(QStringLiteral("Author=Nuri Calvat"));
    QVERIFY(author > 0);
    QCOMPARE(lines.mid(author + 1, 3),
             QStringList({QStringLiteral("TimeDigits=digits.bmp"), QStringLiteral("TitleChars=chars.bmp"),
                          QStringLiteral("SliderBack=groove.bmp")}));
    QVERIFY(lines.contains(QStringLiteral("Volume Bar-L=107")));
    QVERIFY(lines.contains(QStringLiteral("Balance Bar-W=38")));

    // Saved again without its extras, the mask no longer names their pictures.
    MaskFile plain = back;
    plain.timeDigits.clear();
    plain.volumeBar.clear();
    plain.shape.clear();
    QVERIFY(plain.save(path));
    const MaskFile again = MaskFile::load(path, MaskReader::Player);
    QVERIFY(again.timeDigits.isEmpty());
    QVERIFY(again.volumeBar.isEmpty());
    QVERIFY(again.shape.isEmpty());
    QCOMPARE(again.titleChars, QStringLiteral("chars.bmp"));
}

void MaskFileTest::writerStoresBareImageNames()
{
    MaskFile m;
    m.backImage = QStringLiteral("/home/user/art/back.bmp");
    m.animatedGif = QStringLiteral("C:\\Masks\\logo.gif");
    const QString path = vorlantest::tempDir() + QStringLiteral("/bare.msk");
    QVERIFY(m.save(path));
    const MaskFile back = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(back.backImage, QStringLiteral("back.bmp"));
    QCOMPARE(back.animatedGif, QStringLiteral("logo.gif"));
}

void MaskFileTest::imagesResolveBesideTheMask()
{
    const QString dir = vorlantest::tempDir();
    touch(dir + QStringLiteral("/back.bmp"));
    touch(dir + QStringLiteral("/Play.BMP"));
    QDir(dir).mkdir(QStringLiteral("folder.bmp"));
    const QString path = writeMask(
        dir, {QStringLiteral("[Vorlan Mask]"), QStringLiteral("BackImage=back.bmp"),
              QStringLiteral("PlayBtn=play.bmp"), QStringLiteral("StopBtn=stop.bmp"),
              QStringLiteral("SliderThumb=folder.bmp"), QStringLiteral("Animated Gif=C:\\Masks\\BACK.bmp")});
    const MaskFile m = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(m.imagePath(m.backImage), QDir(dir).absoluteFilePath(QStringLiteral("back.bmp")));
    // Masks from Windows: names match without case and lose a foreign folder.
    QCOMPARE(m.buttonImagePath(MaskFile::PlayBtn), QDir(dir).absoluteFilePath(QStringLiteral("Play.BMP")));
    QCOMPARE(m.imagePath(m.animatedGif), QDir(dir).absoluteFilePath(QStringLiteral("back.bmp")));
    QVERIFY(m.buttonImagePath(MaskFile::StopBtn).isEmpty());
    QVERIFY(m.buttonImagePath(MaskFile::PauseBtn).isEmpty());
    QVERIFY(m.imagePath(m.sliderThumb).isEmpty());
    QVERIFY(MaskFile::resolveImage(QString(), QStringLiteral("back.bmp")).isEmpty());
}

void MaskFileTest::missingFileGivesDefaults()
{
    bool ok = true;
    const QString path = vorlantest::tempDir() + QStringLiteral("/none.msk");
    const MaskFile m = MaskFile::load(path, MaskReader::Player, &ok);
    QVERIFY(!ok);
    MaskFile expected = MaskFile::defaults(MaskReader::Player);
    expected.path = path;
    QVERIFY(m == expected);
}

void MaskFileTest::damagedFilesNeverCrash()
{
    const QString dir = vorlantest::tempDir();
    const QString path = dir + QStringLiteral("/damaged.msk");
    auto check = [&](const QByteArray &bytes) {
        QVERIFY(TextFile::writeAtomically(path, bytes));
        const MaskFile m = MaskFile::load(path, MaskReader::Player);
        QVERIFY(m.author.size() <= 1023);
        QVERIFY(m.backImage.size() <= 1023);
        (void)m.imagePath(m.backImage);
        (void)m.vuKindValue();
    };

    QRandomGenerator rng(1234);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(int(rng.bounded(4096)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(rng.bounded(256));
        if (round % 2)
            bytes.prepend("[Vorlan Mask]\r\n");
        check(bytes);
    }
    check(QByteArray("[Vorlan Mask]\r\nBackImage=") + QByteArray(3'000'000, 'x'));
    check("[Vorlan Mask\r\nBackColor\r\n=5\r\nSlider-W\r\n[]\r\n=");
    check("[Vorlan Mask]\r\nBackColor=655");
    check("\0\0\0[Vorlan Mask]\0BackColor=1");

    QVERIFY(TextFile::writeAtomically(path, "[Vorlan Mask]\r\nBackColor=65280\r\nSlider-W=1\r\nSlider-"));
    const MaskFile cut = MaskFile::load(path, MaskReader::Player);
    QCOMPARE(cut.backColor, 65280);
    QCOMPARE(cut.objects[MaskFile::Slider].width, 1);
    QCOMPARE(cut.objects[MaskFile::Slider].height, -50);
}

VORLAN_TEST_CLASS(MaskFileTest)
#include "MaskFileTest.moc"
