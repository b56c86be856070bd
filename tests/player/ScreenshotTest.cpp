// The skinned player on a real X server: where its mask colour is, the desktop shows through; everywhere
// else the skin is drawn. Checked pixel by pixel on a screenshot, at normal size and at twice the size.
#include "masks/MaskFile.h"
#include "masks/SampleMasks.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace
{

const QRgb Desktop = qRgb(255, 0, 255);

bool haveTools()
{
    for (const char *tool : {"xvfb-run", "xdotool", "import", "display"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A desktop of one colour no skin uses, for xvfb-run's root window; its path.
QString writeWallpaper(const QString &dir)
{
    const QString wallpaper = dir + QStringLiteral("/desktop.png");
    QImage desktop(1280, 800, QImage::Format_RGB32);
    desktop.fill(Desktop);
    desktop.save(wallpaper);
    return wallpaper;
}

// The player's environment on the X server xvfb-run starts: a home and folders of its own.
QProcessEnvironment xEnvironment(const QString &dir, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORLAN_HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir + QStringLiteral("/data"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    return env;
}

} // namespace

class ScreenshotTest : public QObject
{
    Q_OBJECT

private slots:
    void theDesktopShowsThroughTheMaskColour_data()
    {
        QTest::addColumn<int>("scale");
        QTest::newRow("normal size") << 1;
        QTest::newRow("twice the size") << 2;
    }

    void theDesktopShowsThroughTheMaskColour()
    {
        QFETCH(int, scale);
        if (!haveTools())
            QSKIP("needs xvfb-run, xdotool and ImageMagick's import and display");
        const QString dir = vorlantest::tempDir();
        const QString home = dir + QStringLiteral("/home");
        QDir().mkpath(home);
        write(home + QStringLiteral("/Vorlan.cfg"),
              "[Setting]\r\nOutputModule=2\r\nOutPutDir=" + dir.toUtf8() + "\r\nAutoPlay=0\r\n");
        write(home + QStringLiteral("/Vorlan.vln"), "");
        const QString shot = dir + QStringLiteral("/shot.png");
        const QString wallpaper = writeWallpaper(dir);
        QProcessEnvironment env = xEnvironment(dir, home);
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        const QString script =
            QStringLiteral("display -window root \"$3\"; \"$1\" & p=$!; "
                           "xdotool search --sync --onlyvisible --name '^Vorlan$' >/dev/null; sleep 1.5; "
                           "import -window root \"$2\"; kill $p; wait $p");
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24"),
                   QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
                   QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan"), shot, wallpaper});
        QVERIFY(run.waitForFinished(60000));
        const QImage screen(shot);
        QVERIFY2(!screen.isNull(), run.readAllStandardError().constData());

        const MaskFile mask = MaskFile::load(SampleMasks::builtInMaskPath(), MaskReader::Player);
        const QImage skin = QImage(mask.imagePath(mask.backImage)).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!skin.isNull());
        // A new user's skinned window sits at the top right corner of the screen.
        const QPoint origin(screen.width() - skin.width() * scale, 0);
        const QRgb key = qRgb(0, 255, 0);
        int cut = 0, wrong = 0;
        for (int y = 0; y < skin.height() * scale; ++y)
            for (int x = 0; x < skin.width() * scale; ++x) {
                const bool transparent = (skin.pixel(x / scale, y / scale) & 0xFFFFFF) == (key & 0xFFFFFF);
                const bool desktop = (screen.pixel(origin + QPoint(x, y)) & 0xFFFFFF) == (Desktop & 0xFFFFFF);
                cut += transparent;
                wrong += transparent != desktop;
            }
        QVERIFY(cut > 100);
        if (wrong)
            screen.save(QDir::tempPath() + QStringLiteral("/vorlan-screenshot-test.png"));
        QCOMPARE(wrong, 0);
        // Left of the window the desktop is untouched.
        QCOMPARE(screen.pixel(origin - QPoint(1, -10)) & 0xFFFFFF, Desktop & 0xFFFFFF);
    }

    void theMaskLoaderIsSeenWhileAMaskLoads()
    {
        if (!haveTools())
            QSKIP("needs xvfb-run, xdotool and ImageMagick's import and display");
        // A mask large enough to take a while: the loader must be on screen, drawn, while it loads.
        const QString dir = vorlantest::tempDir();
        const QString home = dir + QStringLiteral("/home");
        QDir().mkpath(home + QStringLiteral("/Masks/Big"));
        QImage back(2800, 2800, QImage::Format_RGB32);
        back.fill(qRgb(0, 0, 128));
        QVERIFY(back.save(home + QStringLiteral("/Masks/Big/back.bmp"), "BMP"));
        write(home + QStringLiteral("/Masks/Big/big.msk"), "[Vorlan Mask]\r\nBackImage=back.bmp\r\n");
        write(home + QStringLiteral("/Vorlan.cfg"), "[Setting]\r\nBackMask=1\r\nAutoPlay=0\r\nMaskUsed=" +
                                                        home.toUtf8() + "/Masks/Big/big.msk\r\n");
        write(home + QStringLiteral("/Vorlan.vln"), "");
        const QString wallpaper = writeWallpaper(dir);
        const QProcessEnvironment env = xEnvironment(dir, home);
        // Shots while the loader is up, a few at most.
        const QString script = QStringLiteral(
            "display -window root \"$3\"; \"$1\" & p=$!; n=0; i=0; "
            "while [ $i -lt 400 ] && [ $n -lt 4 ]; do i=$((i+1)); "
            "if xdotool search --onlyvisible --name 'Vorlan Mask Loader' >/dev/null 2>&1; then "
            "n=$((n+1)); import -window root \"$2/loader-$n.png\"; else sleep 0.02; fi; done; kill $p; wait "
            "$p");
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24"),
                   QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
                   QStringLiteral(VORLAN_BUILD_DIR "/player/vorlan"), dir, wallpaper});
        QVERIFY(run.waitForFinished(60000));
        // The loader's plate, 260 x 58 in the middle of the screen: its left margin is the plate's grey blue,
        // neither the desktop nor an unpainted window.
        const QStringList shots = QDir(dir).entryList({QStringLiteral("loader-*.png")});
        QVERIFY2(!shots.isEmpty(), run.readAllStandardError().constData());
        QStringList seen;
        bool drawn = false;
        for (const QString &name : shots) {
            const QImage screen(dir + QLatin1Char('/') + name);
            const QRgb plate = screen.pixel(640 - 129 + 5, 400 - 28 + 29);
            drawn = drawn || (qBlue(plate) > qRed(plate) && qRed(plate) >= 20 && qRed(plate) <= 80 &&
                              qBlue(plate) >= 30 && qBlue(plate) <= 110);
            seen << QStringLiteral("%1,%2,%3").arg(qRed(plate)).arg(qGreen(plate)).arg(qBlue(plate));
        }
        QVERIFY2(drawn, qPrintable(seen.join(' ')));
    }
};

VORLAN_TEST_CLASS(ScreenshotTest)
#include "ScreenshotTest.moc"
