#include "masks/ClassicArchive.h"
#include "masks/ClassicLayout.h"
#include "masks/ClassicSkinImporter.h"
#include "masks/ClassicSkinModule.h"
#include "masks/MaskFile.h"
#include "masks/RegionFile.h"
#include "masks/SkinnedFace.h"
#include "masks/SkinnedWindow.h"
#include "platform/SystemColors.h"
#include "tests/TestMain.h"
#include "tests/masks/ClassicSkinDrawer.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace L = ClassicLayout;
using Skin = ClassicSkin;
using Drawer = ClassicSkinDrawer;

namespace
{

// Every file and folder under `root`, relative to it, sorted.
QStringList tree(const QString &root)
{
    QStringList paths;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(QDir(root).relativeFilePath(it.next()));
    paths.sort();
    return paths;
}

QImage picture(const MaskFile &mask, const QString &name)
{
    return MaskFile::readImage(mask.imagePath(name));
}

// The pixel's colour without alpha.
QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb drawn(Skin::Sprite sprite, int frame, int scheme = 0)
{
    return Drawer::color(sprite, frame, scheme) & 0xFFFFFF;
}

const QString ShadeNote = QStringLiteral("titlebar: the shaded window's bar has no place in a mask");

} // namespace

class ClassicImportTest : public QObject
{
    Q_OBJECT
private slots:
    void drawnSkinBecomesAWholeMask();
    void folderSkinImportsTheSame();
    void digitsWithoutBlankAndMinusAreMadeUp();
    void theFontsInkBecomesThePlayersFirstColour();
    void reimportReplacesTheOldFolder();
    void foldersTheImportDidNotMakeAreKept();
    void hostileEntryNamesWriteNothingOutside();
    void zipBombIsRefusedAtTheCap();
    void damagedAndHugePicturesAreLeftOut();
    void missingSheetsAreSummed();
    void unplaceableArtIsListed();
    void nonsenseRegionGivesTheRectangle();
    void notASkinSaysWhy();
    void skinNamesAreMadeSafe();
    void maskerImportsFromTheCommandLine();
    void theWornSkinsControlsActAtTheirClassicPlaces();
};

void ClassicImportTest::drawnSkinBecomesAWholeMask()
{
    QTemporaryDir dir;
    Drawer::Options options;
    options.subfolder = QStringLiteral("Drawn Skin");
    const QString wsz = Drawer::writeWsz(dir.path(), options);
    QVERIFY(!wsz.isEmpty());
    const QString masks = dir.filePath(QStringLiteral("Masks"));
    const ClassicImport result = ClassicSkinModule::importSkin(wsz, masks);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.maskPath, masks + QStringLiteral("/Drawn/Drawn.msk"));
    QCOMPARE(result.leftOut, QStringList{ShadeNote});

    bool ok = false;
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player, &ok);
    QVERIFY(ok);
    QCOMPARE(mask.author, QStringLiteral("Drawn"));
    QCOMPARE(mask.objects[MaskFile::PlayButtom], (MaskGeometry{23, 18, 88, 39}));
    QCOMPARE(mask.objects[MaskFile::OpenButtom], (MaskGeometry{22, 16, 89, 136}));
    QCOMPARE(mask.objects[MaskFile::RandButtom], (MaskGeometry{47, 15, 89, 164}));
    QCOMPARE(mask.objects[MaskFile::PlayTime], (MaskGeometry{63, 13, 26, 36}));
    QCOMPARE(mask.objects[MaskFile::Close], (MaskGeometry{9, 9, 3, 264}));
    QCOMPARE(mask.objects[MaskFile::AnimatedGif].left, -50);
    QCOMPARE(mask.extraObjects[MaskFile::VolumeBarObject], (MaskGeometry{68, 13, 57, 107}));
    QCOMPARE(mask.extraObjects[MaskFile::BalanceBarObject], (MaskGeometry{38, 13, 57, 177}));
    QCOMPARE(mask.volumeLeft, -200);
    QCOMPARE(mask.balanceTop, -200);
    QCOMPARE(mask.volumeBarFrames, 28);
    QCOMPARE(mask.balanceBarFrames, 28);
    QCOMPARE(mask.vuKind, QStringLiteral("Horizontal"));
    QCOMPARE(mask.vuColor, SystemColors::toValue(Drawer::visColor(0)));
    QCOMPARE(mask.titleColor, SystemColors::toValue(QColor(drawn(Skin::Text, 30))));

    // The background: main, the active title bar over it, the cut-off corner in the back colour.
    const QImage back = picture(mask, mask.backImage);
    QCOMPARE(back.size(), QSize(275, 116));
    QCOMPARE(at(back, 40, 89), drawn(Skin::Main, 1 + L::Play));
    QCOMPARE(at(back, 150, 60), drawn(Skin::Main, 0));
    QCOMPARE(at(back, 100, 5), drawn(Skin::TitleBar, 0));
    const QRgb backColor = SystemColors::fromValue(mask.backColor).rgb() & 0xFFFFFF;
    QCOMPARE(at(back, 0, 0), backColor);
    QCOMPARE(at(back, 1, 1), backColor);
    QVERIFY(at(back, 3, 3) != backColor);
    QCOMPARE(RegionFile::read(mask.imagePath(mask.shape)), Drawer::region());

    // A button: normal, normal, pressed, normal.
    const QImage play = picture(mask, mask.buttonImages[MaskFile::PlayBtn]);
    QCOMPARE(play.size(), QSize(92, 18));
    for (int frame = 0; frame < 4; ++frame)
        QCOMPARE(at(play, 23 * frame + 11, 9),
                 drawn(Skin::ControlButtons, frame == 2 ? 6 + L::Play : L::Play));
    const QImage open = picture(mask, mask.buttonImages[MaskFile::OpenBtn]);
    QCOMPARE(at(open, 44 + 5, 8), drawn(Skin::ControlButtons, 6 + L::Eject));
    // Repeat off and on, shuffle on.
    const QImage loop = picture(mask, mask.buttonImages[MaskFile::LoopBtn]);
    const QImage loopOn = picture(mask, mask.toggleOnImages[MaskFile::LoopToggle]);
    const QImage randOn = picture(mask, mask.toggleOnImages[MaskFile::RandToggle]);
    QCOMPARE(at(loop, 5, 5), drawn(Skin::ShufRep, L::Off));
    QCOMPARE(at(loop, 56 + 5, 5), drawn(Skin::ShufRep, L::OffPressed));
    QCOMPARE(at(loopOn, 28 + 5, 5), drawn(Skin::ShufRep, L::On));
    QCOMPARE(at(randOn, 94 + 5, 5), drawn(Skin::ShufRep, 4 + L::OnPressed));

    // Digits 0-9, blank, minus.
    const QImage digits = picture(mask, mask.timeDigits);
    QCOMPARE(digits.size(), QSize(108, 13));
    for (int glyph = 0; glyph < 12; ++glyph)
        QCOMPARE(at(digits, 9 * glyph + 4, 3), drawn(Skin::NumsEx, glyph));

    // Characters 32-127 in a 16 x 6 grid: "A" and "a" the first cell, "0" the second row's, space the blank.
    const QImage chars = picture(mask, mask.titleChars);
    QCOMPARE(chars.size(), QSize(80, 36));
    const auto cell = [&](char16_t c) { return at(chars, 5 * ((c - 32) % 16) + 2, 6 * ((c - 32) / 16) + 2); };
    QCOMPARE(cell(u'A'), drawn(Skin::Text, 0));
    QCOMPARE(cell(u'a'), drawn(Skin::Text, 0));
    QCOMPARE(cell(u'Z'), drawn(Skin::Text, 25));
    QCOMPARE(cell(u'0'), drawn(Skin::Text, 31));
    QCOMPARE(cell(u'#'), drawn(Skin::Text, 31 + 30));
    QCOMPARE(cell(u' '), drawn(Skin::Text, 30));
    QCOMPARE(cell(u'|'), drawn(Skin::Text, 30));
    QCOMPARE(cell(u';'), drawn(Skin::Text, 31 + 12)); // as ":"

    // The bars: frames stacked 13 px apart, the thumbs side by side; balance without what lies beside it.
    const QImage volume = picture(mask, mask.volumeBar);
    QCOMPARE(volume.size(), QSize(68, 13 * 28));
    QCOMPARE(at(volume, 30, 13 * 5 + 6), drawn(Skin::Volume, 5));
    QCOMPARE(at(volume, 30, 13 * 27 + 12), drawn(Skin::Volume, 27));
    const QImage thumb = picture(mask, mask.volumeThumb);
    QCOMPARE(thumb.size(), QSize(28, 11));
    QCOMPARE(at(thumb, 3, 3), drawn(Skin::Volume, 28));
    QCOMPARE(at(thumb, 17, 3), drawn(Skin::Volume, 29));
    const QImage balance = picture(mask, mask.balanceBar);
    QCOMPARE(balance.size(), QSize(38, 13 * 28));
    QCOMPARE(at(balance, 0, 13 * 3), drawn(Skin::Balance, 3));
    QCOMPARE(at(balance, 37, 13 * 3 + 12), drawn(Skin::Balance, 3));
    const QImage groove = picture(mask, mask.sliderBack);
    const QImage sliderThumb = picture(mask, mask.sliderThumb);
    QCOMPARE(groove.size(), QSize(248, 10));
    QCOMPARE(sliderThumb.size(), QSize(58, 10));
    QCOMPARE(at(sliderThumb, 3, 3), drawn(Skin::PosBar, 1));
    QCOMPARE(at(sliderThumb, 29 + 3, 3), drawn(Skin::PosBar, 2));
}

void ClassicImportTest::folderSkinImportsTheSame()
{
    QTemporaryDir dir;
    const QString wsz = Drawer::writeWsz(dir.path());
    const QString folder = Drawer::writeFolder(dir.filePath(QStringLiteral("unpacked")));
    const ClassicImport fromZip = ClassicSkinModule::importSkin(wsz, dir.filePath(QStringLiteral("A")));
    const ClassicImport fromFolder =
        ClassicSkinModule::importSkin(folder + u'/', dir.filePath(QStringLiteral("B")));
    QVERIFY2(fromFolder.ok(), qPrintable(fromFolder.error));
    QCOMPARE(QFileInfo(fromFolder.maskPath).fileName(), QStringLiteral("Drawn.msk"));
    QCOMPARE(fromFolder.leftOut, fromZip.leftOut);
    MaskFile a = MaskFile::load(fromZip.maskPath, MaskReader::Player);
    MaskFile b = MaskFile::load(fromFolder.maskPath, MaskReader::Player);
    a.path = b.path = QString();
    QCOMPARE(a, b);
    const QStringList files = tree(QFileInfo(fromZip.maskPath).path());
    QCOMPARE(tree(QFileInfo(fromFolder.maskPath).path()), files);
    for (const QString &file : files) {
        if (file == ClassicSkinImporter::OriginFile) // it names where each came from
            continue;
        QFile x(QFileInfo(fromZip.maskPath).path() + u'/' + file),
            y(QFileInfo(fromFolder.maskPath).path() + u'/' + file);
        QVERIFY(x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly));
        QVERIFY2(x.readAll() == y.readAll(), qPrintable(file));
    }
}

void ClassicImportTest::digitsWithoutBlankAndMinusAreMadeUp()
{
    QTemporaryDir dir;
    Drawer::Options options;
    options.numsEx = false;
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    const QImage digits = picture(mask, mask.timeDigits);
    QCOMPARE(digits.size(), QSize(108, 13));
    QCOMPARE(at(digits, 9 * 7 + 4, 3), drawn(Skin::Numbers, 7));
    // The blank is what main shows under the sign cell; the minus is that with the "2"'s middle row.
    QCOMPARE(at(digits, 90 + 4, 3), drawn(Skin::Main, 0));
    QCOMPARE(at(digits, 99 + 4, 3), drawn(Skin::Main, 0));
    QCOMPARE(at(digits, 99 + 4, 6), drawn(Skin::Numbers, 2));
    QCOMPARE(at(digits, 99 + 4, 7), drawn(Skin::Main, 0));
}

void ClassicImportTest::theFontsInkBecomesThePlayersFirstColour()
{
    // Letters in one ink on a dark ground: the captions the player draws over the skin take that ink.
    QImage text(155, 18, QImage::Format_RGB32);
    text.fill(qRgb(10, 20, 30));
    for (int column = 0; column < 26; ++column)
        for (int y = 0; y < 5; ++y)
            text.setPixel(column * 5 + 1, y, qRgb(90, 255, 150));
    QTemporaryDir dir;
    Drawer::Options options;
    options.extra = {{QStringLiteral("text.bmp"), Drawer::bitmap(text)}};
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    QCOMPARE(mask.bestColor1, 90 | (255 << 8) | (150 << 16));
    QCOMPARE(mask.titleColor, 10 | (20 << 8) | (30 << 16));
}

void ClassicImportTest::reimportReplacesTheOldFolder()
{
    QTemporaryDir dir;
    const QString masks = dir.filePath(QStringLiteral("Masks"));
    const ClassicImport first = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path()), masks);
    QVERIFY(first.ok());
    QFile stale(QFileInfo(first.maskPath).path() + QStringLiteral("/stale.bmp"));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    Drawer::Options second;
    second.scheme = 1;
    const ClassicImport again = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), second), masks);
    QVERIFY2(again.ok(), qPrintable(again.error));
    QCOMPARE(again.maskPath, first.maskPath);
    QVERIFY(!stale.exists());
    // Nothing of the swap is left beside it.
    QCOMPARE(QDir(masks).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"Drawn"});
    const MaskFile mask = MaskFile::load(again.maskPath, MaskReader::Player);
    QCOMPARE(at(picture(mask, mask.backImage), 150, 60), drawn(Skin::Main, 0, 1));

    // A failed import leaves the old mask as it was.
    QFile junk(dir.filePath(QStringLiteral("Drawn.wsz")));
    QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a zip at all");
    junk.close();
    QVERIFY(!ClassicSkinModule::importSkin(junk.fileName(), masks).ok());
    QCOMPARE(MaskFile::load(again.maskPath, MaskReader::Player), mask);

    // Imported again unchanged, the skin's mask is worn as the editor left it, with the same summary.
    const QString skin = Drawer::writeWsz(dir.path(), second);
    const ClassicImport fresh = ClassicSkinModule::importSkin(skin, masks);
    QVERIFY(fresh.ok());
    MaskFile edited = MaskFile::load(fresh.maskPath, MaskReader::Player);
    edited.objects[MaskFile::PlayButtom].left = 3;
    QVERIFY(edited.save(fresh.maskPath));
    const ClassicImport reused = ClassicSkinModule::importSkin(skin, masks);
    QCOMPARE(reused.maskPath, fresh.maskPath);
    QCOMPARE(reused.leftOut, fresh.leftOut);
    QCOMPARE(MaskFile::load(reused.maskPath, MaskReader::Player).objects[MaskFile::PlayButtom].left, 3);
}

void ClassicImportTest::foldersTheImportDidNotMakeAreKept()
{
    QTemporaryDir dir;
    const QString masks = dir.filePath(QStringLiteral("Masks"));
    // A mask of the user's own by the skin's name: kept, and the skin gets the next name.
    QVERIFY(QDir().mkpath(masks + QStringLiteral("/Drawn")));
    QFile own(masks + QStringLiteral("/Drawn/Drawn.msk"));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.write("[Vorlan Mask]\r\nAuthor=me\r\n");
    own.close();
    const ClassicImport imported = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path()), masks);
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    QCOMPARE(imported.maskPath, masks + QStringLiteral("/Drawn (2)/Drawn (2).msk"));
    QCOMPARE(tree(masks + QStringLiteral("/Drawn")), QStringList{"Drawn.msk"});

    // An unpacked skin lying in the masks folder, worn from there: its files stay.
    const QString unpacked = Drawer::writeFolder(masks, [] {
        Drawer::Options o;
        o.name = QStringLiteral("Loose");
        return o;
    }());
    const QStringList sheets = tree(unpacked);
    const ClassicImport loose = ClassicSkinModule::importSkin(unpacked, masks);
    QVERIFY2(loose.ok(), qPrintable(loose.error));
    QCOMPARE(loose.maskPath, masks + QStringLiteral("/Loose (2)/Loose (2).msk"));
    QCOMPARE(tree(unpacked), sheets);

    // A link in a mask folder's place is left as it is; what it points to is not touched.
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    QFile kept(elsewhere + QStringLiteral("/kept.txt"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    QVERIFY(QFile::link(elsewhere, masks + QStringLiteral("/Linked")));
    Drawer::Options linked;
    linked.name = QStringLiteral("Linked");
    const ClassicImport beside = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), linked), masks);
    QVERIFY2(beside.ok(), qPrintable(beside.error));
    QCOMPARE(beside.maskPath, masks + QStringLiteral("/Linked (2)/Linked (2).msk"));
    QVERIFY(QFileInfo(masks + QStringLiteral("/Linked")).isSymLink());
    QCOMPARE(tree(elsewhere), QStringList{"kept.txt"});
}

void ClassicImportTest::hostileEntryNamesWriteNothingOutside()
{
    QTemporaryDir dir;
    const QString outside =
        QStringLiteral("/tmp/vorlan-classic-%1.bmp").arg(QCoreApplication::applicationPid());
    const QByteArray main = Drawer::bitmap(Drawer::sheet(Skin::Main));
    const QByteArray buttons = Drawer::bitmap(Drawer::sheet(Skin::ControlButtons));
    const Drawer::Entries entries = {
        {QStringLiteral("../../main.bmp"), main},
        {QStringLiteral("../x.bmp"), buttons},
        {outside, buttons},
        {QStringLiteral("skin/../../../cbuttons.bmp"), buttons},
        {QStringLiteral("C:\\Windows\\volume.bmp"), Drawer::bitmap(Drawer::sheet(Skin::Volume))},
    };
    const QString root = dir.filePath(QStringLiteral("home"));
    const QString wsz = dir.filePath(QStringLiteral("evil.wsz"));
    QVERIFY(Drawer::writeZip(wsz, entries));
    const ClassicImport result = ClassicSkinModule::importSkin(wsz, root + QStringLiteral("/Masks"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(!QFileInfo::exists(outside));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("x.bmp"))));
    // Only the mask folder's own files, under the masks folder.
    const QStringList files = tree(root);
    for (const QString &file : files)
        QVERIFY2(file == QStringLiteral("Masks") || file.startsWith(QStringLiteral("Masks/evil")),
                 qPrintable(file));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"evil.wsz", "home"}));
    // The base names still count: the buttons and the volume were found.
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    QVERIFY(!mask.buttonImages[MaskFile::PlayBtn].isEmpty());
    QVERIFY(!mask.volumeBar.isEmpty());
}

void ClassicImportTest::zipBombIsRefusedAtTheCap()
{
    QTemporaryDir dir;
    const QByteArray zeros(60 * 1024 * 1024, '\0');
    const QString bomb = dir.filePath(QStringLiteral("bomb.wsz"));
    QVERIFY(Drawer::writeZip(bomb, {{QStringLiteral("main.bmp"), QByteArray("BM") + zeros}}));
    QVERIFY(QFileInfo(bomb).size() < 1024 * 1024);

    // The archive stops reading one byte past the cap and keeps nothing.
    QFile file(bomb);
    QVERIFY(file.open(QIODevice::ReadOnly));
    ClassicArchive archive = ClassicArchive::fromBytes(file.readAll());
    QVERIFY(archive.isValid());
    QByteArray bytes;
    QCOMPARE(archive.read(QStringLiteral("MAIN.BMP"), ClassicArchive::MaxPictureBytes, &bytes),
             ClassicArchive::Read::TooLarge);
    QVERIFY(bytes.isEmpty());
    QCOMPARE(archive.bytesRead(), ClassicArchive::MaxPictureBytes + 1);

    const ClassicImport result = ClassicSkinModule::importSkin(bomb, dir.filePath(QStringLiteral("Masks")));
    QCOMPARE(result.error,
             QStringLiteral(
                 "The skin's main window picture cannot be used: main.bmp unpacks to more than 8 MiB."));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("Masks/bomb"))));

    // A bomb beside a good main costs only its sheet.
    Drawer::Options options;
    options.name = QStringLiteral("volumebomb");
    options.extra = {{QStringLiteral("volume.bmp"), zeros}};
    const ClassicImport partial =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(partial.ok(), qPrintable(partial.error));
    QVERIFY(
        partial.leftOut.contains(QStringLiteral("volume: volume.bmp unpacks to more than 8 MiB, left out")));
    QVERIFY(MaskFile::load(partial.maskPath, MaskReader::Player).volumeBar.isEmpty());
}

void ClassicImportTest::damagedAndHugePicturesAreLeftOut()
{
    QTemporaryDir dir;
    Drawer::Options options;
    const QByteArray buttons = Drawer::bitmap(Drawer::sheet(Skin::ControlButtons));
    QImage huge(2049, 4, QImage::Format_RGB32);
    huge.fill(Qt::red);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        huge.save(&buffer, "PNG");
    }
    options.extra = {{QStringLiteral("cbuttons.bmp"), buttons.left(buttons.size() / 2)},
                     {QStringLiteral("text.bmp"), png},
                     {QStringLiteral("posbar.bmp"), QByteArray("BM") + QByteArray(100, '\xff')}};
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.leftOut,
             (QStringList{QStringLiteral("cbuttons: cbuttons.bmp is not a whole picture, left out"),
                          QStringLiteral("posbar: posbar.bmp is not a whole picture, left out"),
                          QStringLiteral("text: text.bmp is 2049 x 4 pixels, more than 2048 x "
                                         "2048, left out"),
                          ShadeNote}));
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    QVERIFY(mask.buttonImages[MaskFile::PlayBtn].isEmpty());
    QVERIFY(mask.titleChars.isEmpty());
    QVERIFY(mask.sliderThumb.isEmpty());
    QVERIFY(!mask.timeDigits.isEmpty());
    QVERIFY(!QFileInfo::exists(QFileInfo(result.maskPath).path() + QStringLiteral("/play.bmp")));

    // A main cut short is no main.
    const QByteArray main = Drawer::bitmap(Drawer::sheet(Skin::Main));
    options.name = QStringLiteral("cutmain");
    options.extra = {{QStringLiteral("main.bmp"), main.left(main.size() - 100)}};
    QCOMPARE(
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path()).error,
        QStringLiteral("The skin's main window picture cannot be used: main.bmp is not a whole picture."));
}

void ClassicImportTest::missingSheetsAreSummed()
{
    QTemporaryDir dir;
    Drawer::Options options;
    options.missing =
        QStringList{"titlebar.bmp", "cbuttons.bmp", "posbar.bmp",  "volume.bmp",   "balance.bmp",
                    "nums_ex.bmp",  "text.bmp",     "shufrep.bmp", "viscolor.txt", "region.txt"};
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.leftOut, (QStringList{
                                 "titlebar: missing, the title bar is main's own",
                                 "cbuttons: missing, the buttons have no pictures",
                                 "posbar: missing, the position slider is drawn plain",
                                 "volume: missing, the window has no volume bar",
                                 "balance: missing, the window has no balance bar",
                                 "text: missing, the title is written in the mask's font",
                                 "shufrep: missing, shuffle and repeat have no pictures",
                                 "numbers: missing, the time is written in the mask's font",
                                 "viscolor.txt: missing, the level meters are white",
                             }));
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    QVERIFY(!mask.hasExtras());
    QCOMPARE(mask.backImage, QStringLiteral("back.bmp"));
    for (const QString &image : mask.buttonImages)
        QVERIFY(image.isEmpty());
    // The buttons are still where main paints them.
    QCOMPARE(mask.objects[MaskFile::StopButtom], (MaskGeometry{23, 18, 88, 85}));
    QCOMPARE(tree(QFileInfo(result.maskPath).path()),
             (QStringList{ClassicSkinImporter::OriginFile, "Drawn.msk", "back.bmp"}));

    options.missing = QStringList{"main.bmp"};
    options.name = QStringLiteral("nomain");
    const ClassicImport none =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QCOMPARE(none.error, QStringLiteral("The skin has no main window picture (main.bmp)."));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nomain"))));
}

void ClassicImportTest::unplaceableArtIsListed()
{
    QTemporaryDir dir;
    Drawer::Options options;
    options.extra = {{QStringLiteral("EQMAIN.BMP"), Drawer::bitmap(Drawer::sheet(Skin::Main))},
                     {QStringLiteral("pledit.txt"), "[Text]\r\nNormal=#00FF00\r\n"},
                     {QStringLiteral("playpaus.bmp"), Drawer::bitmap(Drawer::sheet(Skin::Main))},
                     {QStringLiteral("normal.cur"), QByteArray(100, 'c')},
                     {QStringLiteral("close.cur"), QByteArray(100, 'c')},
                     {QStringLiteral("readme.txt"), "hello"}};
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.leftOut,
             (QStringList{ShadeNote, "playpaus: the play and pause indicator has no place in a mask",
                          "eqmain: the equalizer window has no place in a mask",
                          "pledit.txt: the playlist's colours and font has no place in a mask",
                          "cursors: 2 mouse pointers have no place in a mask"}));
}

void ClassicImportTest::nonsenseRegionGivesTheRectangle()
{
    QTemporaryDir dir;
    Drawer::Options options;
    options.extra = {{QStringLiteral("region.txt"), "[Normal]\r\nNumPoints=abc\r\nPointList=zz,\xff\r\n"}};
    const ClassicImport result =
        ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options), dir.path());
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.leftOut.size(), 2);
    QVERIFY2(result.leftOut.first().startsWith(QStringLiteral("region.txt: ")) &&
                 result.leftOut.first().endsWith(QStringLiteral(", the window is a rectangle")),
             qPrintable(result.leftOut.first()));
    const MaskFile mask = MaskFile::load(result.maskPath, MaskReader::Player);
    QVERIFY(mask.shape.isEmpty());
    QVERIFY(!QFileInfo::exists(QFileInfo(result.maskPath).path() + QStringLiteral("/shape.txt")));
    const QImage back = picture(mask, mask.backImage);
    QCOMPARE(at(back, 0, 115), drawn(Skin::Main, 0));
    QCOMPARE(at(back, 0, 0), drawn(Skin::TitleBar, 0));
    QVERIFY(at(back, 0, 0) != (SystemColors::fromValue(mask.backColor).rgb() & 0xFFFFFF));
}

void ClassicImportTest::notASkinSaysWhy()
{
    QTemporaryDir dir;
    const QString masks = dir.filePath(QStringLiteral("Masks"));
    QFile junk(dir.filePath(QStringLiteral("junk.wsz")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(5000, 'j'));
    junk.close();
    QCOMPARE(ClassicSkinModule::importSkin(junk.fileName(), masks).error,
             QStringLiteral("\"junk.wsz\" is not a classic skin: not a zip archive."));
    // Cut in the middle: the zip's directory is gone.
    QFile::remove(junk.fileName());
    const QString whole = Drawer::writeWsz(dir.path());
    QFile cut(whole);
    QVERIFY(cut.open(QIODevice::ReadWrite));
    cut.resize(cut.size() / 2);
    cut.close();
    const ClassicImport result = ClassicSkinModule::importSkin(whole, masks);
    QVERIFY2(result.error.startsWith(QStringLiteral("\"Drawn.wsz\" is not a classic skin: ")),
             qPrintable(result.error));
    QCOMPARE(ClassicSkinModule::importSkin(dir.filePath(QStringLiteral("none.wsz")), masks).error,
             QStringLiteral("\"none.wsz\" is not a classic skin: there is no such file."));
    // More files than a skin has.
    ClassicSkinDrawer::Entries many;
    for (int i = 0; i <= ClassicArchive::MaxEntries; ++i)
        many.append({QStringLiteral("f%1.txt").arg(i), QByteArray("x")});
    QVERIFY(Drawer::writeZip(dir.filePath(QStringLiteral("many.wsz")), many));
    QCOMPARE(ClassicSkinModule::importSkin(dir.filePath(QStringLiteral("many.wsz")), masks).error,
             QStringLiteral("\"many.wsz\" is not a classic skin: it holds more than 1024 files."));
    QCOMPARE(tree(masks), QStringList());
}

void ClassicImportTest::skinNamesAreMadeSafe()
{
    QCOMPARE(ClassicSkinImporter::safeName(QStringLiteral("  My Skin  ")), QStringLiteral("My Skin"));
    QCOMPARE(ClassicSkinImporter::safeName(QStringLiteral("..")), QStringLiteral("Skin"));
    QCOMPARE(ClassicSkinImporter::safeName(QStringLiteral(".hidden")), QStringLiteral("hidden"));
    QCOMPARE(ClassicSkinImporter::safeName(QStringLiteral("a/b\\c\x01")), QStringLiteral("a_b_c_"));
    QCOMPARE(ClassicSkinImporter::safeName(QString()), QStringLiteral("Skin"));
    QCOMPARE(ClassicSkinImporter::safeName(QString(100, u'x')), QString(64, u'x'));
    // A name cut inside a character loses the whole character.
    QCOMPARE(ClassicSkinImporter::safeName(QString(63, u'x') + QString::fromUcs4(U"\U0001F3B5")),
             QString(63, u'x'));

    QTemporaryDir dir;
    Drawer::Options options;
    options.name = QStringLiteral(".. dotted.skin");
    const ClassicImport result = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path(), options),
                                                               dir.filePath(QStringLiteral("Masks")));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.maskPath, dir.filePath(QStringLiteral("Masks/dotted.skin/dotted.skin.msk")));
}

void ClassicImportTest::maskerImportsFromTheCommandLine()
{
    const QString masker = QStringLiteral(VORLAN_BUILD_DIR "/masker/vorlanmasker");
    QTemporaryDir home;
    const QString wsz = Drawer::writeWsz(home.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORLAN_HOME"), home.path());
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const auto run = [&](const QStringList &arguments, int *code, QByteArray *out, QByteArray *err) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(masker, arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        *code = process.exitCode();
        *out = process.readAllStandardOutput();
        *err = process.readAllStandardError();
    };
    int code = -1;
    QByteArray out, err;
    run({QStringLiteral("--import"), wsz}, &code, &out, &err);
    QCOMPARE(code, 0);
    const QString maskPath = home.path() + QStringLiteral("/Masks/Drawn/Drawn.msk");
    QCOMPARE(QString::fromUtf8(out), maskPath + u'\n');
    QVERIFY2(err.contains("note: " + ShadeNote.toUtf8()), err.constData());
    QCOMPARE(MaskFile::load(maskPath, MaskReader::Player).author, QStringLiteral("Drawn"));

    run({QStringLiteral("--import"), home.filePath(QStringLiteral("none.wsz"))}, &code, &out, &err);
    QCOMPARE(code, 1);
    QVERIFY(out.isEmpty());
    QVERIFY2(err.contains("\"none.wsz\" is not a classic skin: there is no such file."), err.constData());

    run({QStringLiteral("--help")}, &code, &out, &err);
    QCOMPARE(code, 0);
    QVERIFY(out.contains("--import SKIN"));
}

void ClassicImportTest::theWornSkinsControlsActAtTheirClassicPlaces()
{
    QTemporaryDir dir;
    const ClassicImport imported = ClassicSkinModule::importSkin(Drawer::writeWsz(dir.path()), dir.path());
    QVERIFY2(imported.ok(), qPrintable(imported.error));
    SkinnedWindow window;
    QVERIFY(window.LoadMask(imported.maskPath));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), L::WindowSize);
    SkinnedFace *face = window.face();
    face->setPositionEnabled(true);

    // A click at the middle of each button's classic place is that button's.
    const auto clickAt = [&](const QPoint &at) {
        QWidget *target = window.childAt(at);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, at));
    };
    const auto middle = [](int button) {
        return QRect(L::ControlButtonPlace[button], L::ControlButtonSprite[button].size()).center();
    };
    const std::pair<int, void (SkinnedFace::*)()> buttons[] = {
        {L::Prev, &SkinnedFace::prevClicked},   {L::Play, &SkinnedFace::playClicked},
        {L::Pause, &SkinnedFace::pauseClicked}, {L::Stop, &SkinnedFace::stopClicked},
        {L::Next, &SkinnedFace::nextClicked},   {L::Eject, &SkinnedFace::openClicked}};
    for (const auto &[button, signal] : buttons) {
        QSignalSpy clicked(face, signal);
        clickAt(middle(button));
        QVERIFY2(clicked.count() == 1, qPrintable(QString::number(button)));
    }
    QSignalSpy random(face, &SkinnedFace::randomClicked);
    clickAt(L::ShufflePlace + QPoint(20, 7));
    QCOMPARE(random.count(), 1);
    QCOMPARE(random.first().at(0).toBool(), true);
    QSignalSpy loop(face, &SkinnedFace::loopClicked);
    clickAt(L::RepeatPlace + QPoint(14, 7));
    QCOMPARE(loop.count(), 1);
    QSignalSpy closing(face, &SkinnedFace::exitClicked);
    clickAt(L::ClosePlace.center());
    QCOMPARE(closing.count(), 1);
    // The position bar is the skin's groove: a press on it starts a drag.
    QSignalSpy pressed(face, &SkinnedFace::sliderPressed);
    clickAt(L::PosBarPlace.topLeft() + QPoint(100, 5));
    QCOMPARE(pressed.count(), 1);
}

VORLAN_TEST_CLASS(ClassicImportTest)
#include "ClassicImportTest.moc"
