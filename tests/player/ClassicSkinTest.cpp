// A classic skin worn by the whole player on a real X server: started as `vorlan skin.wsz`, the window is
// the skin's size and outline, its buttons sit at their classic places and act, the time is drawn in the
// skin's digits, the volume bar shows the frame of the volume, and shuffle shows its state. Seen on
// screenshots, clicked with xdotool.
#include "masks/ClassicLayout.h"
#include "tests/TestMain.h"
#include "tests/masks/ClassicSkinDrawer.h"
#include "tests/player/PlayerHome.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace
{

namespace L = ClassicLayout;
using Drawer = ClassicSkinDrawer;
using Skin = ClassicSkin;

const QRgb Desktop = qRgb(255, 0, 255);

bool haveTools()
{
    for (const char *tool : {"xvfb-run", "xdotool", "import", "display"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}

QRgb drawn(Skin::Sprite sprite, int frame, int scheme = 0)
{
    return Drawer::color(sprite, frame, scheme) & 0xFFFFFF;
}

// An X server of its own for as long as the object lives (xvfb-run keeps it while its command runs).
class XServer
{
public:
    explicit XServer(const QString &dir) : m_info(dir + QStringLiteral("/display"))
    {
        // The shell becomes the sleep that keeps the server; ending it lets xvfb-run take its server and
        // files away.
        m_server.start(
            QStringLiteral("xvfb-run"),
            {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x800x24 -noreset"),
             QStringLiteral("sh"), QStringLiteral("-c"),
             QStringLiteral("echo \"$DISPLAY $XAUTHORITY $$\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0\"; "
                            "exec sleep 600"),
             m_info});
    }
    ~XServer()
    {
        if (m_keeper == 0)
            ready();
        if (m_keeper > 0)
            ::kill(m_keeper, SIGTERM);
        if (!m_server.waitForFinished(10000)) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
    bool ready()
    {
        if (!m_display.isEmpty())
            return true;
        if (!QFile::exists(m_info))
            return false;
        const QStringList words = vorlantest::readAll(m_info).trimmed().split(' ');
        if (words.size() != 3)
            return false;
        m_display = words[0];
        m_authority = words[1];
        m_keeper = words[2].toInt();
        return true;
    }
    void addTo(QProcessEnvironment &env) const
    {
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("XAUTHORITY"), m_authority);
    }
    // A command's standard output; empty when it failed.
    QByteArray run(const QString &program, const QStringList &arguments) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        addTo(env);
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        if (!p.waitForFinished(20000) || p.exitCode() != 0)
            return {};
        return p.readAllStandardOutput();
    }
    QImage screenshot() const
    {
        QImage image;
        image.loadFromData(run(QStringLiteral("import"),
                               {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")}),
                           "PNG");
        return image.convertToFormat(QImage::Format_RGB32);
    }
    void click(const QPoint &at) const
    {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
             QStringLiteral("click"), QStringLiteral("1")});
    }

private:
    QString m_info;
    QProcess m_server;
    QString m_display, m_authority;
    pid_t m_keeper = 0;
};

} // namespace

class ClassicSkinTest : public QObject
{
    Q_OBJECT

private slots:
    void aClassicSkinNamedAtStartIsWornAndActs()
    {
        if (!haveTools())
            QSKIP("needs xvfb-run, xdotool and ImageMagick's import and display");
        vorlantest::Home home(false);
        // The skinned window is what this player shows, at its place for a new user: the top right.
        vorlantest::write(home.home + QStringLiteral("/Vorlan.cfg"),
                          "[Setting]\r\nBackMask=0\r\nOutputModule=2\r\nOutPutDir=" + home.out.toUtf8() +
                              "\r\nLoop=0\r\nRandom=0\r\nAutoPlay=0\r\n");
        const QString skin = Drawer::writeWsz(home.dir, {});
        QVERIFY(!skin.isEmpty());

        XServer x(home.dir);
        QTRY_VERIFY_WITH_TIMEOUT(x.ready(), 20000);
        QImage wallpaper(1280, 800, QImage::Format_RGB32);
        wallpaper.fill(Desktop);
        const QString wallpaperPath = home.dir + QStringLiteral("/desktop.png");
        QVERIFY(wallpaper.save(wallpaperPath));
        QProcess display;
        QProcessEnvironment displayEnv = QProcessEnvironment::systemEnvironment();
        x.addTo(displayEnv);
        display.setProcessEnvironment(displayEnv);
        display.start(QStringLiteral("display"),
                      {QStringLiteral("-window"), QStringLiteral("root"), wallpaperPath});
        QVERIFY(display.waitForFinished(20000));

        QProcess player;
        QProcessEnvironment env = home.environment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        x.addTo(env);
        player.setProcessEnvironment(env);
        player.start(vorlantest::vorlanProgram(), {skin});
        QVERIFY(player.waitForStarted());
        const auto cleanup = qScopeGuard([&] {
            player.kill();
            player.waitForFinished(5000);
        });

        // The window: the skin's size, on the screen (the strip it started with
        // gives way to it).
        const auto skinnedGeometry = [&] {
            const QByteArray windows =
                x.run(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                       QStringLiteral("--pid"), QString::number(player.processId()), QStringLiteral("--name"),
                       QStringLiteral("^Vorlan$")});
            for (const QByteArray &window : windows.split('\n')) {
                if (window.trimmed().isEmpty())
                    continue;
                const QByteArray geometry =
                    x.run(QStringLiteral("xdotool"),
                          {QStringLiteral("getwindowgeometry"), QString::fromLatin1(window.trimmed())});
                if (geometry.contains("Geometry: 275x116"))
                    return geometry;
            }
            return QByteArray();
        };
        QByteArray geometry;
        QTRY_VERIFY_WITH_TIMEOUT(!(geometry = skinnedGeometry()).isEmpty(), 20000);
        const QRegularExpressionMatch place = QRegularExpression(QStringLiteral("Position: (\\d+),(\\d+)"))
                                                  .match(QString::fromLatin1(geometry));
        QVERIFY2(place.hasMatch(), geometry.constData());
        const QPoint origin(place.captured(1).toInt(), place.captured(2).toInt());
        const auto pixel = [&](const QImage &screen, const QPoint &at) {
            return screen.pixel(origin + at) & 0xFFFFFF;
        };

        // Drawn as the skin is: the outline's cut corner shows the desktop, the buttons sit at their places
        // in their normal frames, the time reads 00:00 in the skin's digits with a blank sign, and shuffle is
        // off. The title bar lies over main.
        QImage screen;
        const QPoint play = L::ControlButtonPlace[L::Play] + QPoint(11, 9);
        QTRY_VERIFY_WITH_TIMEOUT(
            (screen = x.screenshot(), pixel(screen, play) == drawn(Skin::ControlButtons, L::Play)), 20000);
        QCOMPARE(pixel(screen, QPoint(1, 1)), Desktop & 0xFFFFFF);
        QCOMPARE(pixel(screen, QPoint(274, 115)), drawn(Skin::Main, 0));
        QCOMPARE(pixel(screen, QPoint(140, 7)), drawn(Skin::TitleBar, 0));
        for (int b : {L::Prev, L::Pause, L::Stop, L::Next, L::Eject})
            QCOMPARE(pixel(screen, L::ControlButtonPlace[b] + QPoint(8, 6)), drawn(Skin::ControlButtons, b));
        for (const QPoint &digit : L::TimeDigitPlace)
            QCOMPARE(pixel(screen, digit + QPoint(4, 6)), drawn(Skin::NumsEx, 0));
        QCOMPARE(pixel(screen, L::TimeSignPlace + QPoint(4, 6)), drawn(Skin::NumsEx, L::DigitBlank));
        QCOMPARE(pixel(screen, L::ShufflePlace + QPoint(30, 7)), drawn(Skin::ShufRep, 4 + L::Off));
        QCOMPARE(pixel(screen, L::RepeatPlace + QPoint(20, 7)), drawn(Skin::ShufRep, L::Off));
        // A new player plays at full volume: the last frame of the bar.
        const QPoint volumeRow = L::VolumePlace.topLeft() + QPoint(4, 0);
        QCOMPARE(pixel(screen, volumeRow), drawn(Skin::Volume, L::BarFrames - 1));

        // Shuffle clicked: it shows its on frame.
        x.click(origin + L::ShufflePlace + QPoint(20, 7));
        QTRY_VERIFY_WITH_TIMEOUT((screen = x.screenshot(), pixel(screen, L::ShufflePlace + QPoint(30, 7)) ==
                                                               drawn(Skin::ShufRep, 4 + L::On)),
                                 10000);
        // The volume bar pulled to its silent end: the first frame.
        x.click(origin + L::VolumePlace.topLeft() + QPoint(2, 6));
        QTRY_VERIFY_WITH_TIMEOUT(
            (screen = x.screenshot(), pixel(screen, volumeRow + QPoint(40, 0)) == drawn(Skin::Volume, 0)),
            10000);

        // Play: the list's song is written to the WAV output.
        x.click(origin + play);
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(home.out).entryList({QStringLiteral("*.wav")}).isEmpty(), 20000);

        // A second start with another skin hands it to the running player, which wears it.
        Drawer::Options second;
        second.name = QStringLiteral("Second");
        second.scheme = 1;
        QProcess again;
        again.setProcessEnvironment(env);
        again.start(vorlantest::vorlanProgram(), {Drawer::writeWsz(home.dir, second)});
        QVERIFY(again.waitForFinished(20000));
        QTRY_VERIFY_WITH_TIMEOUT((screen = x.screenshot(), pixel(screen, play + QPoint(4, 0)) ==
                                                               drawn(Skin::ControlButtons, L::Play, 1)),
                                 20000);

        // Ended as at a logout: the skin stays the mask in use, and shuffle stays on.
        player.terminate();
        QVERIFY(player.waitForFinished(20000));
        const QString cfg = vorlantest::readAll(home.home + QStringLiteral("/Vorlan.cfg"));
        QVERIFY2(cfg.contains(QStringLiteral("Random=1")), qPrintable(cfg));
        QVERIFY2(cfg.contains(QStringLiteral("BackMask=1")), qPrintable(cfg));
        QVERIFY2(cfg.contains(QStringLiteral("MaskUsed=") + home.home +
                              QStringLiteral("/Masks/Second/Second.msk")),
                 qPrintable(cfg));
    }
};

VORLAN_TEST_CLASS(ClassicSkinTest)
#include "ClassicSkinTest.moc"
