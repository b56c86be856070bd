// `make install` into a staging folder (DESTDIR): the programs, desktop entries that the desktop's own
// checker accepts, icons in every usual size, the MIME types of ".vln" and ".msk", AppStream metainfo that
// appstreamcli accepts, man pages; and the installed player runs from there, keeping its files in
// $XDG_DATA_HOME/Vorlan.
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <csignal>

namespace
{

struct Run {
    int code = -1;
    QString output;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted() || !p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

class InstallTest : public QObject
{
    Q_OBJECT

    QString m_stage = vorlantest::tempDir() + QStringLiteral("/stage");
    QString m_prefix;

private slots:
    void initTestCase()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), m_stage);
        const Run install = run(QStringLiteral("cmake"),
                                {QStringLiteral("--install"), QStringLiteral(VORLAN_BUILD_DIR),
                                 QStringLiteral("--prefix"), QStringLiteral("/usr/local")},
                                env);
        QVERIFY2(install.code == 0, qPrintable(install.output));
        m_prefix = m_stage + QStringLiteral("/usr/local");
        // Nothing outside the prefix.
        QCOMPARE(QDir(m_stage).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"usr"});
    }

    void theProgramsAreInBin()
    {
        QStringList programs{QStringLiteral("vorlan"), QStringLiteral("vorlaninfo")};
        if (QFile::exists(QStringLiteral(VORLAN_BUILD_DIR "/masker/vorlanmasker")))
            programs << QStringLiteral("vorlanmasker");
        for (const QString &name : programs) {
            const QFileInfo info(m_prefix + QStringLiteral("/bin/") + name);
            QVERIFY2(info.isFile() && info.isExecutable(), qPrintable(name));
        }
        const Run info = run(m_prefix + QStringLiteral("/bin/vorlaninfo"),
                             {QStringLiteral(VORLAN_FIXTURES "/mpeg1-layer3-tagged.mp3")});
        QVERIFY2(info.code == 0 && info.output.contains(QStringLiteral("\tIII\t")), qPrintable(info.output));
    }

    void desktopEntriesIconsAndTypesAreWhereTheDesktopLooks()
    {
        const QString share = m_prefix + QStringLiteral("/share");
        for (const char *name : {"vorlan", "vorlanmasker"}) {
            const QString entry =
                share + QStringLiteral("/applications/") + QLatin1String(name) + QStringLiteral(".desktop");
            QVERIFY2(QFile::exists(entry), name);
            if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
                const Run check = run(QStringLiteral("desktop-file-validate"), {entry});
                QVERIFY2(check.code == 0 && !check.output.contains(QStringLiteral("error")),
                         qPrintable(check.output));
            }
            for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
                const QString icon = share + QStringLiteral("/icons/hicolor/%1x%1/apps/").arg(size) +
                                     QLatin1String(name) + QStringLiteral(".png");
                QImage image(icon);
                QVERIFY2(image.size() == QSize(size, size), qPrintable(icon));
                // Drawn, not empty: the middle is opaque.
                QCOMPARE(qAlpha(image.pixel(size / 2, size / 4)), 255);
            }
        }
        QFile entry(share + QStringLiteral("/applications/vorlan.desktop"));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        QVERIFY(text.contains(QStringLiteral("Exec=vorlan ")));
        QVERIFY(text.contains(QStringLiteral("audio/mpeg;")));
        QVERIFY(text.contains(QStringLiteral("application/x-vorlan-playlist-file;")));

        // The MIME package gives ".vln" and ".msk" the types the player registers itself.
        const QString mime = share + QStringLiteral("/mime");
        QVERIFY(QFile::exists(mime + QStringLiteral("/packages/vorlan.xml")));
        if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
            const Run update = run(QStringLiteral("update-mime-database"), {mime});
            QVERIFY2(update.code == 0, qPrintable(update.output));
            QFile globs(mime + QStringLiteral("/globs2"));
            QVERIFY(globs.open(QIODevice::ReadOnly));
            const QString g = QString::fromUtf8(globs.readAll());
            QVERIFY(g.contains(QStringLiteral("application/x-vorlan-playlist-file:*.vln")));
            QVERIFY(g.contains(QStringLiteral("application/x-vorlan-mask:*.msk")));
        }
    }

    void metainfoAndManPages()
    {
        const QString share = m_prefix + QStringLiteral("/share");
        const QString metainfo = share + QStringLiteral("/metainfo/org.vorlan.Vorlan.metainfo.xml");
        QVERIFY(QFile::exists(metainfo));
        if (!QStandardPaths::findExecutable(QStringLiteral("appstreamcli")).isEmpty()) {
            const Run check = run(QStringLiteral("appstreamcli"),
                                  {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
            QVERIFY2(check.code == 0, qPrintable(check.output));
        }
        for (const char *page : {"vorlan.1", "vorlanmasker.1", "vorlaninfo.1"}) {
            QFile f(share + QStringLiteral("/man/man1/") + QLatin1String(page));
            QVERIFY2(f.open(QIODevice::ReadOnly), page);
            QVERIFY(f.readLine().startsWith(".TH "));
        }
    }

    void theInstalledPlayerKeepsItsFilesInTheUsersDataFolder()
    {
        const QString data = vorlantest::tempDir() + QStringLiteral("/data");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("VORLAN_HOME"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), vorlantest::tempDir());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // A socket folder of its own: no other player of the tests is reached.
        const QString runtime = vorlantest::tempDir() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        // No session bus: the player must not wait for one.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        // Not a first start (its question would wait for an answer): the player's folder has settings.
        QDir().mkpath(data + QStringLiteral("/Vorlan"));
        QFile cfg(data + QStringLiteral("/Vorlan/Vorlan.cfg"));
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write("[Setting]\r\nBackMask=0\r\nAutoPlay=0\r\n");
        cfg.close();
        QProcess player;
        player.setProcessEnvironment(env);
        player.start(m_prefix + QStringLiteral("/bin/vorlan"), {});
        QVERIFY(player.waitForStarted());
        // It offers its demo songs and keeps them as its playlist at the end.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(data + QStringLiteral("/Vorlan/Demo/demo-1.mp3")), 10000);
        QTest::qWait(500);
        // A second start hands over to it at once, through the installed hand-over module (a second start
        // that cannot reach it waits ten seconds before it gives up).
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(m_prefix + QStringLiteral("/bin/vorlan"), {});
        QVERIFY(second.waitForFinished(8000));
        const QByteArray said = second.readAllStandardError();
        QVERIFY2(second.exitCode() == 0 && !said.contains("module"), said.constData());
        QCOMPARE(player.state(), QProcess::Running);
        ::kill(pid_t(player.processId()), SIGTERM);
        QVERIFY(player.waitForFinished(15000));
        QVERIFY(QFile::exists(data + QStringLiteral("/Vorlan/Vorlan.vln")));
        QVERIFY(QFile::exists(data + QStringLiteral("/Vorlan/Equalizer.cfg")));
        QCOMPARE(
            QDir(m_prefix + QStringLiteral("/bin")).entryList(QDir::Files).filter(QStringLiteral(".cfg")),
            QStringList());
    }
};

VORLAN_TEST_CLASS(InstallTest)
#include "InstallTest.moc"
