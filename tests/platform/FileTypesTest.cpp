#include "platform/FileTypes.h"
#include "platform/XdgKeyFile.h"
#include "tests/TestMain.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

XdgKeyFile keyFile(const QString &path)
{
    XdgKeyFile file;
    file.load(path);
    return file;
}

struct MimePackage {
    QString type, comment, icon;
    QStringList globs;
};

MimePackage readPackage(const QString &path)
{
    MimePackage package;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return package;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("mime-type"))
            package.type = xml.attributes().value("type").toString();
        else if (xml.name() == QLatin1String("comment"))
            package.comment = xml.readElementText();
        else if (xml.name() == QLatin1String("icon"))
            package.icon = xml.attributes().value("name").toString();
        else if (xml.name() == QLatin1String("glob"))
            package.globs << xml.attributes().value("pattern").toString();
    }
    return package;
}

const QString Desktop = QStringLiteral("Desktop Entry");
const QString Defaults = QStringLiteral("Default Applications");

} // namespace

class FileTypesTest : public QObject
{
    Q_OBJECT

    FileTypes freshTypes()
    {
        const QString root = vorlantest::tempDir();
        FileTypes types(root + QStringLiteral("/data"), root + QStringLiteral("/config"));
        types.setRunDatabaseTools(false);
        return types;
    }

private slots:
    void playerTypesOpenWithThePlayer()
    {
        FileTypes types = freshTypes();
        QVERIFY(types.registerPlayerTypes(QStringLiteral("/opt/Vorlan Player/vorlan"),
                                          QStringLiteral("vorlan-song"), QStringLiteral("vorlan-list")));

        const XdgKeyFile sound = keyFile(types.desktopFilePath(QStringLiteral("Vorlan Sound File")));
        QVERIFY(types.desktopFilePath(QStringLiteral("Vorlan Sound File"))
                    .endsWith("/applications/vorlan-sound-file.desktop"));
        QCOMPARE(sound.value(Desktop, "Type"), QStringLiteral("Application"));
        QCOMPARE(sound.value(Desktop, "Name"), QStringLiteral("Vorlan Sound File"));
        QCOMPARE(sound.value(Desktop, "Comment"), QStringLiteral("MPEG Sound File"));
        QCOMPARE(sound.value(Desktop, "Exec"), QStringLiteral("\"/opt/Vorlan Player/vorlan\" %f"));
        QCOMPARE(sound.value(Desktop, "Icon"), QStringLiteral("vorlan-song"));
        QCOMPARE(sound.list(Desktop, "MimeType"), QStringList({"video/mpeg", "audio/mp2", "audio/mpeg"}));
        // The other formats it plays open with it too, under a handler of their own.
        const XdgKeyFile audio = keyFile(types.desktopFilePath(QStringLiteral("Vorlan Audio File")));
        QCOMPARE(audio.value(Desktop, "Exec"), QStringLiteral("\"/opt/Vorlan Player/vorlan\" %f"));
        for (const char *mime : {"audio/flac", "audio/ogg", "audio/x-opus+ogg", "audio/mp4", "audio/aac",
                                 "audio/x-wav", "audio/x-aiff", "audio/x-wavpack"})
            QVERIFY2(audio.list(Desktop, "MimeType").contains(QLatin1String(mime)), mime);
        QVERIFY(!audio.list(Desktop, "MimeType").contains(QStringLiteral("video/mp4")));

        // The three list types share one handler, whose description ends as the last one written.
        const XdgKeyFile lists = keyFile(types.desktopFilePath(QStringLiteral("Vorlan PlayList File")));
        QCOMPARE(lists.value(Desktop, "Comment"), QStringLiteral("Vorlan Album List"));
        QCOMPARE(lists.value(Desktop, "Icon"), QStringLiteral("vorlan-list"));
        QCOMPARE(lists.list(Desktop, "MimeType"),
                 QStringList({"audio/x-mpegurl", "application/vnd.apple.mpegurl", "audio/x-scpls",
                              "application/xspf+xml", "application/x-vorlan-playlist-file"}));

        // Only ".vln" needs a type of its own.
        const MimePackage vln = readPackage(types.mimePackagePath("application/x-vorlan-playlist-file"));
        QCOMPARE(vln.type, QStringLiteral("application/x-vorlan-playlist-file"));
        QCOMPARE(vln.comment, QStringLiteral("Vorlan Album List"));
        QCOMPARE(vln.globs, QStringList({"*.vln"}));
        QCOMPARE(vln.icon, QStringLiteral("vorlan-list"));
        QCOMPARE(QDir(types.dataHome() + "/mime/packages").entryList(QDir::Files),
                 QStringList({"x-vorlan-playlist-file.xml"}));

        const XdgKeyFile apps = keyFile(types.mimeAppsPath());
        QVERIFY(types.mimeAppsPath().startsWith(types.configHome()));
        for (const char *mime : {"audio/mpeg", "audio/mp2"})
            QCOMPARE(apps.list(Defaults, mime), QStringList({"vorlan-sound-file.desktop"}));
        // MPEG video is a type the player opens (listed above), never one it becomes the default for.
        QCOMPARE(apps.list(Defaults, "video/mpeg"), QStringList());
        for (const char *mime : {"audio/x-mpegurl", "audio/x-scpls", "application/xspf+xml",
                                 "application/x-vorlan-playlist-file"})
            QCOMPARE(apps.list(Defaults, mime), QStringList({"vorlan-playlist-file.desktop"}));
    }

    void maskerTypeThroughTheGenericRoutine()
    {
        FileTypes types = freshTypes();
        QVERIFY(types.registerFileType(QStringLiteral("MSK"), QStringLiteral("Vorlan Mask"),
                                       QStringLiteral("Vorlan Mask File"),
                                       FileTypes::openCommand(QStringLiteral("/usr/bin/vorlanmasker")),
                                       QStringLiteral("/usr/share/pixmaps/vorlanmasker.png")));
        const MimePackage msk = readPackage(types.mimePackagePath("application/x-vorlan-mask"));
        QCOMPARE(msk.type, QStringLiteral("application/x-vorlan-mask"));
        QCOMPARE(msk.comment, QStringLiteral("Vorlan Mask File"));
        QCOMPARE(msk.globs, QStringList({"*.msk"}));
        // The MIME database takes icon names only; the image path stays the handler's.
        QCOMPARE(msk.icon, QString());
        const XdgKeyFile handler = keyFile(types.desktopFilePath(QStringLiteral("Vorlan Mask")));
        QCOMPARE(handler.value(Desktop, "Icon"), QStringLiteral("/usr/share/pixmaps/vorlanmasker.png"));
        QCOMPARE(handler.value(Desktop, "Exec"), QStringLiteral("\"/usr/bin/vorlanmasker\" %f"));
        QCOMPARE(keyFile(types.mimeAppsPath()).list(Defaults, "application/x-vorlan-mask"),
                 QStringList({"vorlan-mask.desktop"}));
    }

    void extensionRules()
    {
        QCOMPARE(FileTypes::normalizeExtension(QStringLiteral("..mp3")), QStringLiteral("mp3"));
        QCOMPARE(FileTypes::normalizeExtension(QStringLiteral(".V.L.N")), QStringLiteral("vln"));
        QCOMPARE(FileTypes::normalizeExtension(QStringLiteral("...")), QString());
        // Characters that would be a pattern or a path in the database are refused.
        QCOMPARE(FileTypes::normalizeExtension(QStringLiteral("m*3")), QString());
        QCOMPARE(FileTypes::normalizeExtension(QStringLiteral("../x")), QString());

        FileTypes types = freshTypes();
        QVERIFY(types.registerFileType(QStringLiteral("..mp3"), QStringLiteral("Vorlan Sound File"),
                                       QStringLiteral("MPEG Sound File"), QStringLiteral("/bin/true %f"),
                                       QString()));
        QCOMPARE(keyFile(types.mimeAppsPath()).list(Defaults, "audio/mpeg"),
                 QStringList({"vorlan-sound-file.desktop"}));
        // No icon given: none written.
        QVERIFY(!keyFile(types.desktopFilePath("Vorlan Sound File")).contains(Desktop, "Icon"));
    }

    void emptyExtensionOrCommandWritesNothing()
    {
        FileTypes types = freshTypes();
        QVERIFY(!types.registerFileType(QString(), "T", "D", "/bin/x %f", "i"));
        QVERIFY(!types.registerFileType(QStringLiteral(".."), "T", "D", "/bin/x %f", "i"));
        QVERIFY(!types.registerFileType(QStringLiteral("mp3"), "T", "D", QString(), "i"));
        QVERIFY(!types.registerFileType(QStringLiteral("mp3"), "T", "D", QStringLiteral("  "), "i"));
        QVERIFY(!QFileInfo::exists(types.dataHome()));
        QVERIFY(!QFileInfo::exists(types.configHome()));
    }

    void emptyTypeNameBecomesAutoFile()
    {
        FileTypes types = freshTypes();
        QVERIFY(types.registerFileType(QStringLiteral("xyz"), QString(), QStringLiteral("Some File"),
                                       QStringLiteral("/bin/x %f"), QString()));
        const XdgKeyFile handler = keyFile(types.desktopFilePath(QStringLiteral("xyz_auto_file")));
        QCOMPARE(handler.value(Desktop, "Name"), QStringLiteral("xyz_auto_file"));
        QCOMPARE(readPackage(types.mimePackagePath("application/x-xyz-auto-file")).globs,
                 QStringList({"*.xyz"}));
        QCOMPARE(keyFile(types.mimeAppsPath()).list(Defaults, "application/x-xyz-auto-file"),
                 QStringList({"xyz-auto-file.desktop"}));
    }

    void twoExtensionsOfOneTypeShareIt()
    {
        FileTypes types = freshTypes();
        QVERIFY(types.registerFileType("abc", "Test List", "First", "/bin/x %f", QString()));
        QVERIFY(types.registerFileType("abd", "Test List", "Second", "/bin/x %f", QString()));
        const MimePackage package = readPackage(types.mimePackagePath("application/x-test-list"));
        QCOMPARE(package.globs, QStringList({"*.abc", "*.abd"}));
        QCOMPARE(package.comment, QStringLiteral("Second"));
    }

    void commandsBecomeExecLines()
    {
        QCOMPARE(FileTypes::openCommand(QStringLiteral("/usr/bin/vorlan")),
                 QStringLiteral("\"/usr/bin/vorlan\" %f"));
        // Quoting of the desktop's Exec key: ", `, $ and \ escaped inside the quotes, % doubled.
        QCOMPARE(FileTypes::openCommand(QStringLiteral("/a b/1$\"`\\%/vorlan")),
                 QStringLiteral("\"/a b/1\\$\\\"\\`\\\\%%/vorlan\" %f"));

        FileTypes types = freshTypes();
        // A command in the older form names the file "%1".
        QVERIFY(types.registerFileType("mp3", "Old Form", "D", QStringLiteral("\"/usr/bin/vorlan\" \"%1\""),
                                       QString()));
        QCOMPARE(keyFile(types.desktopFilePath("Old Form")).value(Desktop, "Exec"),
                 QStringLiteral("\"/usr/bin/vorlan\" %f"));
        QVERIFY(
            types.registerFileType("mp3", "Bare Form", "D", QStringLiteral("/usr/bin/vorlan %1"), QString()));
        QCOMPARE(keyFile(types.desktopFilePath("Bare Form")).value(Desktop, "Exec"),
                 QStringLiteral("/usr/bin/vorlan %f"));
        // A literal percent sign followed by 1 stays what it is.
        const QString literal = FileTypes::openCommand(QStringLiteral("/opt/%1/vorlan"));
        QVERIFY(types.registerFileType("mp3", "Literal", "D", literal, QString()));
        QCOMPARE(keyFile(types.desktopFilePath("Literal")).value(Desktop, "Exec"), literal);
        // The backslash is escaped once more by the key file: four in the file for one in the path.
        QVERIFY(types.registerFileType("mp3", "Slash", "D", FileTypes::openCommand("/a\\b"), QString()));
        QVERIFY(readAll(types.desktopFilePath("Slash")).contains("Exec=\"/a\\\\\\\\b\" %f\n"));
    }

    void foreignContentIsKept()
    {
        FileTypes types = freshTypes();
        const QByteArray mimeapps = "# my associations\n"
                                    "[Added Associations]\n"
                                    "audio/mpeg=vlc.desktop;\n"
                                    "\n"
                                    "[Default Applications]\n"
                                    "text/html=firefox.desktop\n"
                                    "audio/mpeg=vlc.desktop;audacious.desktop;\n"
                                    "\n"
                                    "[Removed Associations]\n"
                                    "video/mpeg=totem.desktop;\n";
        QVERIFY(writeAll(types.mimeAppsPath(), mimeapps));
        QVERIFY(writeAll(types.desktopFilePath("Vorlan Sound File"),
                         "[Desktop Entry]\nName=Old\nName[de]=Alt\nMimeType=audio/x-wav;\nX-Other=1\n\n"
                         "[Desktop Action play]\nName=Play\nExec=vorlan --play\n"));

        QVERIFY(types.registerFileType("mp3", "Vorlan Sound File", "MPEG Sound File", "/bin/v %f", "icon"));

        const QByteArray after = readAll(types.mimeAppsPath());
        QCOMPARE(after, QByteArray("# my associations\n"
                                   "[Added Associations]\n"
                                   "audio/mpeg=vlc.desktop;\n"
                                   "\n"
                                   "[Default Applications]\n"
                                   "text/html=firefox.desktop\n"
                                   "audio/mpeg=vorlan-sound-file.desktop;vlc.desktop;audacious.desktop;\n"
                                   "\n"
                                   "[Removed Associations]\n"
                                   "video/mpeg=totem.desktop;\n"));
        const XdgKeyFile handler = keyFile(types.desktopFilePath("Vorlan Sound File"));
        QCOMPARE(handler.value(Desktop, "Name"), QStringLiteral("Vorlan Sound File"));
        QCOMPARE(handler.value(Desktop, "Name[de]"), QStringLiteral("Alt"));
        QCOMPARE(handler.value(Desktop, "X-Other"), QStringLiteral("1"));
        QCOMPARE(handler.list(Desktop, "MimeType"), QStringList({"audio/x-wav", "audio/mpeg"}));
        QCOMPARE(handler.value("Desktop Action play", "Exec"), QStringLiteral("vorlan --play"));
        QVERIFY(!handler.contains("Desktop Action play", "MimeType"));
    }

    void registeringAgainChangesNothing()
    {
        FileTypes types = freshTypes();
        QVERIFY(types.registerPlayerTypes("/usr/bin/vorlan", "a", "b"));
        const QByteArray apps = readAll(types.mimeAppsPath());
        const QByteArray sound = readAll(types.desktopFilePath("Vorlan Sound File"));
        const QByteArray vln = readAll(types.mimePackagePath("application/x-vorlan-playlist-file"));
        QVERIFY(types.registerPlayerTypes("/usr/bin/vorlan", "a", "b"));
        QCOMPARE(readAll(types.mimeAppsPath()), apps);
        QCOMPARE(readAll(types.desktopFilePath("Vorlan Sound File")), sound);
        QCOMPARE(readAll(types.mimePackagePath("application/x-vorlan-playlist-file")), vln);
    }

    void unwritableFileIsReported()
    {
        FileTypes types = freshTypes();
        // A folder where mimeapps.list should be: the other files are still written, the failure reported.
        QVERIFY(QDir().mkpath(types.mimeAppsPath()));
        QVERIFY(
            !types.registerFileType("mp3", "Vorlan Sound File", "MPEG Sound File", "/bin/v %f", QString()));
        QVERIFY(QFileInfo(types.mimeAppsPath()).isDir());
        QVERIFY(QFileInfo::exists(types.desktopFilePath("Vorlan Sound File")));
    }

    void damagedFilesAreSurvived()
    {
        QRandomGenerator random(99);
        for (int round = 0; round < 30; ++round) {
            FileTypes types = freshTypes();
            QByteArray junk(int(random.bounded(4000)), '\0');
            for (char &c : junk)
                c = char(random.bounded(256));
            if (round % 3 == 1)
                junk = "[Default Applications\naudio/mpeg\n=x\n[]\n==\n" + QByteArray(100000, 'k') + junk;
            QVERIFY(writeAll(types.mimeAppsPath(), junk));
            QVERIFY(writeAll(types.desktopFilePath("Vorlan PlayList File"), junk));
            QVERIFY(
                writeAll(types.mimePackagePath("application/x-vorlan-playlist-file"),
                         round % 2 ? junk : "<mime-info><mime-type type='x'><glob pattern='*.[a'/><glob"));
            QVERIFY(
                types.registerFileType("vln", "Vorlan PlayList File", "Vorlan Album List", "/bin/v %f", "i"));
            QCOMPARE(
                keyFile(types.mimeAppsPath()).list(Defaults, "application/x-vorlan-playlist-file").value(0),
                QStringLiteral("vorlan-playlist-file.desktop"));
            QVERIFY(keyFile(types.desktopFilePath("Vorlan PlayList File"))
                        .list(Desktop, "MimeType")
                        .contains("application/x-vorlan-playlist-file"));
            const MimePackage package =
                readPackage(types.mimePackagePath("application/x-vorlan-playlist-file"));
            QCOMPARE(package.globs, QStringList({"*.vln"}));
            // What was there before our keys is still there, byte for byte.
            const QByteArray after = readAll(types.mimeAppsPath());
            const qsizetype cut = junk.lastIndexOf('\n');
            if (cut > 0 && !junk.contains("[Default Applications]"))
                QVERIFY(after.startsWith(junk.left(cut + 1)));
        }
    }

    void foldersComeFromTheEnvironment()
    {
        FileTypes types;
        QCOMPARE(types.dataHome(), QDir::cleanPath(qEnvironmentVariable("XDG_DATA_HOME")));
        QCOMPARE(types.configHome(), QDir::cleanPath(qEnvironmentVariable("XDG_CONFIG_HOME")));
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "relative/path");
        const QString fallback = FileTypes().dataHome();
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(fallback, QDir::homePath() + QStringLiteral("/.local/share"));
    }

    void desktopDatabasesSeeTheTypes()
    {
        if (QStandardPaths::findExecutable("update-mime-database").isEmpty() ||
            QStandardPaths::findExecutable("update-desktop-database").isEmpty())
            QSKIP("update-mime-database or update-desktop-database is not installed");
        const QString root = vorlantest::tempDir();
        FileTypes types(root + QStringLiteral("/data"), root + QStringLiteral("/config"));
        QVERIFY(types.registerPlayerTypes("/usr/bin/vorlan", "a", "b"));
        QVERIFY(readAll(root + "/data/mime/globs2").contains("application/x-vorlan-playlist-file:*.vln"));
        const QByteArray cache = readAll(root + "/data/applications/mimeinfo.cache");
        QVERIFY(cache.contains("audio/mpeg=vorlan-sound-file.desktop;"));
        QVERIFY(cache.contains("application/x-vorlan-playlist-file=vorlan-playlist-file.desktop;"));
    }
};

VORLAN_TEST_CLASS(FileTypesTest)
#include "FileTypesTest.moc"
