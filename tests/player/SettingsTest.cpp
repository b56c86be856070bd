#include "player/Settings.h"
#include "platform/ProfileFile.h"
#include "platform/TextFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

namespace
{

const ScreenMetrics Screen{1920, 300, 360};

QString cfgIn(const QString &dir)
{
    return dir + QStringLiteral("/Vorlan.cfg");
}

QString writeCfg(const QStringList &lines)
{
    const QString path = cfgIn(vorlantest::tempDir());
    TextFile::writeLines(path, lines);
    return path;
}

// Every value different from its default.
Settings changedSettings()
{
    Settings s = Settings::defaults(Screen);
    s.backMask = false;
    s.maskUsed = QStringLiteral("/masks/blue.msk");
    s.maskLeft = 11;
    s.maskTop = 12;
    s.color1 = 255;
    s.color2 = -2147483632;
    s.alignment = 0;
    s.listWidth = 400;
    s.listHeight = 500;
    s.listFontName = QStringLiteral("Courier New");
    s.listFontSize = 10;
    s.nail1 = QStringLiteral("T");
    s.nail2 = QStringLiteral("T");
    s.nail3 = QStringLiteral("T");
    s.shutTime = 30;
    s.shutNumSong = 7;
    s.loop = false;
    s.random = true;
    s.timeElapsed = false;
    s.animatedTray = false;
    s.randomColors = true;
    s.dockSide = true;
    s.autoPlay = false;
    s.showHints = false;
    s.animatedGif = false;
    s.icon1 = 5;
    s.icon2 = 6;
    s.playListDock = false;
    s.equalizer = true;
    s.outputControl = 3;
    s.outputModule = 2;
    s.xPriority = 4;
    s.outPutDir = QStringLiteral("/tmp/wave out");
    s.playListLeft = -20;
    s.playListTop = 40;
    s.path1 = QStringLiteral("/music/a");
    s.path2 = QStringLiteral("/music/b");
    s.path3 = QStringLiteral("/music/lists");
    s.path4 = QDir::tempPath();
    s.replayGain = true;
    return s;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void missingFileGivesDefaultsAndFirstRun();
    void everyKeyRoundTrips();
    void keysAreWrittenInTheirOrder();
    void dockedPlaylistPositionIsNeitherReadNorWritten();
    void dialogFoldersAreWrittenOnlyWhenChosen();
    void addFolderIsTakenOnlyWhenItExists();
    void valuesFollowProfileRules();
    void savingKeepsForeignKeysAndSections();
    void damagedFileGivesSaneSettings();

    void placementRestoresWhereTheWindowWas();
    void placementScalesWithTheScreensDots();
    void damagedPlacementIsIgnored();
    void placementStoreKeepsTheSettings();
};

void SettingsTest::missingFileGivesDefaultsAndFirstRun()
{
    bool existed = true;
    const Settings s = Settings::load(cfgIn(vorlantest::tempDir()), Screen, &existed);
    QVERIFY(!existed);
    QCOMPARE(s.outputModule, 1);
    QVERIFY(s.backMask);
    QVERIFY(s.maskUsed.isEmpty());
    QCOMPARE(s.maskLeft, 1920 - 300);
    QCOMPARE(s.playListLeft, 1920 - 360 - 300);
    QCOMPARE(s.color1, 12615680);
    QCOMPARE(s.color2, 16777215);
    QCOMPARE(s.alignment, 2);
    QCOMPARE(s.listWidth, 360);
    QCOMPARE(s.listHeight, 300);
    QCOMPARE(s.listFontName, QStringLiteral("MS Sans Serif"));
    QCOMPARE(s.listFontSize, 8);
    QCOMPARE(s.nail1, QStringLiteral(".."));
    QCOMPARE(s.shutTime, 5);
    QCOMPARE(s.shutNumSong, 5);
    QVERIFY(s.loop);
    QVERIFY(!s.random);
    QVERIFY(s.timeElapsed);
    QVERIFY(s.animatedTray);
    QVERIFY(!s.dockSide);
    QVERIFY(s.autoPlay);
    QCOMPARE(s.icon1, 1);
    QCOMPARE(s.icon2, 2);
    QVERIFY(!s.playListDock);
    QVERIFY(!s.equalizer);
    QCOMPARE(s.xPriority, 3);
    QCOMPARE(s.outPutDir, QDir::homePath());
    QCOMPARE(s.path3, QStringLiteral("MyPlayList"));
    QVERIFY(s.path4.isEmpty());

    // Keys missing from an existing file take the same defaults.
    bool partial = false;
    const QString path = writeCfg({QStringLiteral("[Setting]"), QStringLiteral("Loop=0")});
    Settings expected = Settings::defaults(Screen);
    expected.loop = false;
    QCOMPARE(Settings::load(path, Screen, &partial), expected);
    QVERIFY(partial);
}

void SettingsTest::everyKeyRoundTrips()
{
    const QString path = cfgIn(vorlantest::tempDir());
    const Settings s = changedSettings();
    QVERIFY(s.save(path));
    const Settings back = Settings::load(path, ScreenMetrics{800, 10, 10});
    QCOMPARE(back, s);
}

void SettingsTest::keysAreWrittenInTheirOrder()
{
    const QString path = cfgIn(vorlantest::tempDir());
    QVERIFY(changedSettings().save(path));
    const QStringList expectedKeys = {
        "BackMask",     "MaskUsed",     "MaskLeft",     "MaskTop",      "Color1",       "Color2",
        "Alignment",    "ListWidth",    "ListHeight",   "ListFontName", "ListFontSize", "Nail1",
        "Nail2",        "Nail3",        "ShutTime",     "ShutNumSong",  "Loop",         "Random",
        "TimeElapsed",  "AnimatedTray", "RandomColors", "DockSide",     "AutoPlay",     "ShowHints",
        "AnimatedGif",  "Icon1",        "Icon2",        "PlayListDock", "Equalizer",    "OutputControl",
        "OutputModule", "XPriority",    "OutPutDir",    "PlayListLeft", "PlayListTop",  "Path1",
        "Path2",        "Path3",        "Path4",        "ReplayGain"};
    const ProfileFile saved(path);
    QCOMPARE(saved.sections(), (QStringList{"Setting", "This Program"}));
    QCOMPARE(saved.keys(QStringLiteral("Setting")), expectedKeys);
    QCOMPARE(saved.keys(QStringLiteral("This Program")), (QStringList{"Name", "Version"}));
    QCOMPARE(saved.readString(QStringLiteral("This Program"), QStringLiteral("Name")),
             QStringLiteral("Vorlan"));
    QCOMPARE(saved.readString(QStringLiteral("This Program"), QStringLiteral("Version")),
             QStringLiteral("1.8"));

    const QStringList lines = TextFile::readLines(path);
    QCOMPARE(lines.at(0), QStringLiteral("[Setting]"));
    QCOMPARE(lines.at(1), QStringLiteral("BackMask=0"));
    QCOMPARE(lines.at(6), QStringLiteral("Color2=-2147483632"));
    QVERIFY(lines.contains(QStringLiteral("Random=1")));
}

void SettingsTest::dockedPlaylistPositionIsNeitherReadNorWritten()
{
    const QString path = writeCfg({QStringLiteral("[Setting]"), QStringLiteral("PlayListDock=1"),
                                   QStringLiteral("PlayListLeft=5"), QStringLiteral("PlayListTop=6")});
    Settings s = Settings::load(path, Screen);
    QVERIFY(s.playListDock);
    QCOMPARE(s.playListLeft, 1920 - 360 - 300);
    QCOMPARE(s.playListTop, 0);

    s.playListLeft = 100;
    s.playListTop = 200;
    QVERIFY(s.save(path));
    const ProfileFile saved(path);
    QCOMPARE(saved.readInteger(QStringLiteral("Setting"), QStringLiteral("PlayListLeft"), 0), 5);
    QCOMPARE(saved.readInteger(QStringLiteral("Setting"), QStringLiteral("PlayListTop"), 0), 6);

    const QString fresh = cfgIn(vorlantest::tempDir());
    QVERIFY(s.save(fresh));
    QVERIFY(!ProfileFile(fresh).hasKey(QStringLiteral("Setting"), QStringLiteral("PlayListLeft")));
    QVERIFY(!ProfileFile(fresh).hasKey(QStringLiteral("Setting"), QStringLiteral("PlayListTop")));

    // Undocked, the position is written and read back.
    s.playListDock = false;
    QVERIFY(s.save(path));
    const Settings undocked = Settings::load(path, Screen);
    QCOMPARE(undocked.playListLeft, 100);
    QCOMPARE(undocked.playListTop, 200);
}

void SettingsTest::dialogFoldersAreWrittenOnlyWhenChosen()
{
    const QString path = cfgIn(vorlantest::tempDir());
    Settings s = Settings::defaults(Screen);
    QVERIFY(s.save(path));
    ProfileFile saved(path);
    QVERIFY(!saved.hasKey(QStringLiteral("Setting"), QStringLiteral("Path1")));
    QVERIFY(!saved.hasKey(QStringLiteral("Setting"), QStringLiteral("Path3")));
    QCOMPARE(Settings::load(path, Screen).path3, QStringLiteral("MyPlayList"));

    s.path1 = QStringLiteral("/music");
    s.path3 = QStringLiteral("/lists");
    QVERIFY(s.save(path));
    saved = ProfileFile(path);
    QCOMPARE(saved.readString(QStringLiteral("Setting"), QStringLiteral("Path1")), QStringLiteral("/music"));
    QCOMPARE(saved.readString(QStringLiteral("Setting"), QStringLiteral("Path3")), QStringLiteral("/lists"));
}

void SettingsTest::addFolderIsTakenOnlyWhenItExists()
{
    const QString dir = vorlantest::tempDir();
    const QString there = writeCfg({QStringLiteral("[Setting]"), QStringLiteral("Path4=") + dir});
    QCOMPARE(Settings::load(there, Screen).path4, dir);
    const QString gone =
        writeCfg({QStringLiteral("[Setting]"), QStringLiteral("Path4=") + dir + QStringLiteral("/gone")});
    QVERIFY(Settings::load(gone, Screen).path4.isEmpty());
    const QString file = writeCfg({QStringLiteral("[Setting]"), QStringLiteral("Path4=") + gone});
    QVERIFY(Settings::load(file, Screen).path4.isEmpty());
}

void SettingsTest::valuesFollowProfileRules()
{
    const QString path = writeCfg({
        QStringLiteral("[SETTING]"),
        QStringLiteral("loop=0"),
        QStringLiteral("Random=2"),
        QStringLiteral("AutoPlay=-1"),
        QStringLiteral("ShowHints=yes"),
        QStringLiteral("Color1=$FF0000"),
        QStringLiteral("Color2=0x0000FF"),
        QStringLiteral("ListWidth=wide"),
        QStringLiteral("ListFontName=") + QString(400, QLatin1Char('F')),
        QStringLiteral("MaskUsed=") + QString(2000, QLatin1Char('m')),
    });
    const Settings s = Settings::load(path, Screen);
    QVERIFY(!s.loop);
    QVERIFY(s.random);
    QVERIFY(s.autoPlay);
    QVERIFY(s.showHints);
    QCOMPARE(s.color1, 16711680);
    QCOMPARE(s.color2, 255);
    QCOMPARE(s.listWidth, 360);
    QCOMPARE(s.listFontName, QString(255, QLatin1Char('F')));
    QCOMPARE(s.maskUsed.size(), 1023);
}

void SettingsTest::savingKeepsForeignKeysAndSections()
{
    const QString path = writeCfg({
        QStringLiteral("[Setting]"),
        QStringLiteral("Theme=dark"),
        QStringLiteral("Loop=0"),
        QStringLiteral("[Config Position]"),
        QStringLiteral("NormPos=1,2,301,402"),
        QStringLiteral("[Plugins]"),
        QStringLiteral("Visual=on"),
    });
    Settings s = Settings::load(path, Screen);
    s.loop = true;
    QVERIFY(s.save(path));
    const ProfileFile saved(path);
    QCOMPARE(saved.readString(QStringLiteral("Setting"), QStringLiteral("Theme")), QStringLiteral("dark"));
    QCOMPARE(saved.readString(QStringLiteral("Plugins"), QStringLiteral("Visual")), QStringLiteral("on"));
    QCOMPARE(saved.readString(QStringLiteral("Config Position"), QStringLiteral("NormPos")),
             QStringLiteral("1,2,301,402"));
    QVERIFY(saved.readBool(QStringLiteral("Setting"), QStringLiteral("Loop"), false));
    QCOMPARE(saved.sections(), (QStringList{"Setting", "Config Position", "Plugins", "This Program"}));
}

void SettingsTest::damagedFileGivesSaneSettings()
{
    const QString path = cfgIn(vorlantest::tempDir());
    QRandomGenerator rng(99);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(int(rng.bounded(4096)), Qt::Uninitialized);
        for (char &c : bytes)
            c = char(rng.bounded(256));
        if (round % 2)
            bytes.prepend("[Setting]\nOutputModule=");
        QVERIFY(TextFile::writeAtomically(path, bytes));
        const Settings s = Settings::load(path, Screen);
        QVERIFY(s.listFontName.size() <= 255);
        QVERIFY(s.maskUsed.size() <= 1023);
        WindowPlacement w;
        WindowPlacement::load(path, WindowPlacement::ConfigSection, &w);
    }
    QVERIFY(TextFile::writeAtomically(path, "[Setting]\r\nOutputModule=0\r\nLoop=0\r\nShutT"));
    const Settings cut = Settings::load(path, Screen);
    QCOMPARE(cut.outputModule, 0);
    QVERIFY(!cut.loop);
    QCOMPARE(cut.shutTime, 5);
    QVERIFY(TextFile::writeAtomically(path, QByteArray("[Setting]\r\nMaskUsed=") + QByteArray(300'000, 'x')));
    QCOMPARE(Settings::load(path, Screen).maskUsed.size(), 1023);
    // A save over a damaged file still gives a file that reads back as saved.
    const Settings s = changedSettings();
    QVERIFY(s.save(path));
    QCOMPARE(Settings::load(path, Screen), s);
    // A settings file of megabytes is no settings file: it is not read, and not replaced either.
    const QByteArray absurd = QByteArray("[Setting]\r\nLoop=0\r\nMaskUsed=") + QByteArray(3'000'000, 'x');
    QVERIFY(TextFile::writeAtomically(path, absurd));
    bool existed = true;
    const Settings defaults = Settings::load(path, Screen, &existed);
    QVERIFY(defaults.maskUsed.isEmpty());
    QVERIFY(defaults.loop);
    QVERIFY(!existed);
    QVERIFY(!s.save(path));
    QCOMPARE(QFileInfo(path).size(), absurd.size());
}

void SettingsTest::placementRestoresWhereTheWindowWas()
{
    const QString path = cfgIn(vorlantest::tempDir());
    const QRect frame(120, 80, 400, 300);
    const WindowPlacement stored = WindowPlacement::fromGeometry(frame, false, false, 96);
    QVERIFY(stored.store(path, WindowPlacement::StatisticsSection));

    const ProfileFile saved(path);
    QCOMPARE(saved.readString(QStringLiteral("Statistics Position"), QStringLiteral("NormPos")),
             QStringLiteral("120,80,520,380"));
    QCOMPARE(saved.keys(QStringLiteral("Statistics Position")),
             (QStringList{"Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos", "NormPos"}));

    WindowPlacement back;
    QVERIFY(WindowPlacement::load(path, WindowPlacement::StatisticsSection, &back));
    QCOMPARE(back, stored);
    QCOMPARE(back.restoredGeometry(96), frame);
    QVERIFY(!back.maximized());

    const WindowPlacement max = WindowPlacement::fromGeometry(frame, true, false, 96);
    QVERIFY(max.store(path, WindowPlacement::EqualizerSection));
    QVERIFY(WindowPlacement::load(path, WindowPlacement::EqualizerSection, &back));
    QVERIFY(back.maximized());
    QCOMPARE(back.restoredGeometry(96), frame);

    const WindowPlacement min = WindowPlacement::fromGeometry(frame, true, true, 96);
    QVERIFY(min.minimized());
    QCOMPARE(min.flags, WindowPlacement::WasMinimized | WindowPlacement::RestoreToMaximized);
}

void SettingsTest::placementScalesWithTheScreensDots()
{
    const WindowPlacement w = WindowPlacement::fromGeometry(QRect(10, 20, 300, 200), false, false, 96);
    QCOMPARE(w.restoredGeometry(192), QRect(10, 20, 600, 400));
    QCOMPARE(w.restoredGeometry(0), QRect(10, 20, 300, 200));
}

void SettingsTest::damagedPlacementIsIgnored()
{
    const QStringList bad = {QStringLiteral("1,2,3"),
                             QStringLiteral("a,b,c,d"),
                             QStringLiteral("10,10,5,50"),
                             QStringLiteral("10,10,10,50"),
                             QString(),
                             QStringLiteral("1,2,3,4,5"),
                             QStringLiteral("-2147483648,0,2147483647,10")};
    for (const QString &norm : bad) {
        const QString path = writeCfg({QStringLiteral("[Info Position]"), QStringLiteral("NormPos=") + norm});
        WindowPlacement w;
        w.normPos = QRect(1, 1, 1, 1);
        QVERIFY2(!WindowPlacement::load(path, WindowPlacement::InfoSection, &w), qPrintable(norm));
        QCOMPARE(w.normPos, QRect(1, 1, 1, 1));
    }
    const QString odd = writeCfg({QStringLiteral("[Add Position]"), QStringLiteral("NormPos=0,0,100,100"),
                                  QStringLiteral("ShowCmd=9"), QStringLiteral("PixelsPerInch=0"),
                                  QStringLiteral("MinMaxPos=x"), QStringLiteral("Flags=255")});
    WindowPlacement w;
    QVERIFY(WindowPlacement::load(odd, WindowPlacement::AddSection, &w));
    QCOMPARE(w.showCmd, int(WindowPlacement::ShowNormal));
    QCOMPARE(w.pixelsPerInch, 96);
    QCOMPARE(w.minPos, QPoint(-1, -1));
    QCOMPARE(w.flags, 3);
    QCOMPARE(w.restoredGeometry(96), QRect(0, 0, 100, 100));
    QVERIFY(!WindowPlacement::load(odd, WindowPlacement::EditTagSection, &w));
}

void SettingsTest::placementStoreKeepsTheSettings()
{
    const QString path = cfgIn(vorlantest::tempDir());
    const Settings s = changedSettings();
    QVERIFY(s.save(path));
    QVERIFY(WindowPlacement::fromGeometry(QRect(1, 2, 3, 4), false, false, 96)
                .store(path, WindowPlacement::ConfigSection));
    QCOMPARE(Settings::load(path, Screen), s);
    QVERIFY(s.save(path));
    WindowPlacement w;
    QVERIFY(WindowPlacement::load(path, WindowPlacement::ConfigSection, &w));
    QCOMPARE(w.normPos, QRect(1, 2, 3, 4));
}

VORLAN_TEST_CLASS(SettingsTest)
#include "SettingsTest.moc"
