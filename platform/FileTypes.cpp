#include "platform/FileTypes.h"

#include "platform/TextFile.h"
#include "platform/XdgKeyFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <utility>

namespace
{

const QString DesktopGroup = QStringLiteral("Desktop Entry");
const QString MimeNamespace = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

// Extensions the shared MIME database of every desktop already describes. A file of such a type may be
// detected as any of its types, so the handler becomes the default for each of them.
QStringList knownMimeTypes(const QString &extension)
{
    static const QHash<QString, QStringList> table{
        {QStringLiteral("mp3"), {QStringLiteral("audio/mpeg")}},
        {QStringLiteral("mp2"), {QStringLiteral("audio/mp2"), QStringLiteral("video/mpeg")}},
        {QStringLiteral("mpg"), {QStringLiteral("video/mpeg")}},
        {QStringLiteral("mpeg"), {QStringLiteral("video/mpeg")}},
        {QStringLiteral("mpga"), {QStringLiteral("audio/mpeg")}},
        {QStringLiteral("m3u"),
         {QStringLiteral("audio/x-mpegurl"), QStringLiteral("application/vnd.apple.mpegurl")}},
        {QStringLiteral("pls"), {QStringLiteral("audio/x-scpls")}},
        {QStringLiteral("xspf"), {QStringLiteral("application/xspf+xml")}},
        {QStringLiteral("wav"), {QStringLiteral("audio/x-wav"), QStringLiteral("audio/wav")}},
        {QStringLiteral("flac"), {QStringLiteral("audio/flac"), QStringLiteral("audio/x-flac")}},
        {QStringLiteral("ogg"), {QStringLiteral("audio/ogg"), QStringLiteral("audio/x-vorbis+ogg")}},
        {QStringLiteral("oga"), {QStringLiteral("audio/ogg")}},
        {QStringLiteral("opus"), {QStringLiteral("audio/x-opus+ogg"), QStringLiteral("audio/ogg")}},
        {QStringLiteral("m4a"), {QStringLiteral("audio/mp4"), QStringLiteral("audio/x-m4a")}},
        {QStringLiteral("aac"), {QStringLiteral("audio/aac")}},
        {QStringLiteral("aif"), {QStringLiteral("audio/x-aiff")}},
        {QStringLiteral("aiff"), {QStringLiteral("audio/x-aiff")}},
        {QStringLiteral("wv"), {QStringLiteral("audio/x-wavpack")}},
    };
    return table.value(extension);
}

QString xdgHome(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    // Relative values are invalid by the base directory rules and ignored.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + fallback;
}

// Quoting of one Exec argument: reserved characters need double quotes, inside which ", `, $ and \ are
// escaped; a literal % is always doubled.
QString quoteExecArgument(const QString &argument)
{
    QString inner;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            inner += u'\\';
        inner += c;
    }
    inner.replace(u'%', QStringLiteral("%%"));
    return u'"' + inner + u'"';
}

// Reads the glob patterns of a package file we wrote before; a damaged file gives what could be read.
QStringList existingGlobs(const QString &path)
{
    QByteArray bytes;
    QStringList globs;
    if (TextFile::readBytes(path, TextFile::SmallFileLimit, &bytes) != TextFile::ReadStatus::Ok)
        return globs;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && !xml.hasError()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("glob")) {
            const QString pattern = xml.attributes().value(QLatin1String("pattern")).toString();
            static const QRegularExpression simple(QStringLiteral("^\\*\\.[a-z0-9_+-]+$"));
            if (simple.match(pattern).hasMatch() && !globs.contains(pattern))
                globs << pattern;
        }
    }
    return globs;
}

bool runTool(const QString &name, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        return false;
    QProcess process;
    // Their notes (such as a folder outside XDG_DATA_DIRS) mean nothing to a user of the player.
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return false;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

FileTypes::FileTypes()
    : FileTypes(xdgHome("XDG_DATA_HOME", QStringLiteral("/.local/share")),
                xdgHome("XDG_CONFIG_HOME", QStringLiteral("/.config")))
{
}

FileTypes::FileTypes(const QString &dataHome, const QString &configHome)
    : m_dataHome(dataHome), m_configHome(configHome)
{
}

QString FileTypes::normalizeExtension(const QString &extension)
{
    QString ext = extension;
    ext.remove(u'.');
    ext = ext.trimmed().toLower();
    // A glob pattern and a file name come from it: characters that would mean something else there are
    // refused rather than written.
    static const QRegularExpression allowed(QStringLiteral("^[a-z0-9_+-]+$"));
    if (!allowed.match(ext).hasMatch())
        return QString();
    return ext;
}

QString FileTypes::slug(const QString &name)
{
    QString out;
    bool dash = false;
    for (const QChar c : name.toLower()) {
        const bool ascii = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (!ascii && !c.isLetterOrNumber()) {
            dash = true;
            continue;
        }
        if (dash && !out.isEmpty())
            out += u'-';
        dash = false;
        // File names and MIME type names stay ASCII; other letters keep their code so names stay apart.
        if (ascii)
            out += c;
        else
            out += QStringLiteral("u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

bool FileTypes::isKnownExtension(const QString &extension)
{
    return !knownMimeTypes(normalizeExtension(extension)).isEmpty();
}

QStringList FileTypes::mimeTypesFor(const QString &extension, const QString &typeName)
{
    const QString ext = normalizeExtension(extension);
    if (ext.isEmpty())
        return {};
    const QStringList known = knownMimeTypes(ext);
    if (!known.isEmpty())
        return known;
    QString name = slug(typeName);
    if (name.isEmpty())
        name = slug(ext + QStringLiteral("_auto_file"));
    return {QStringLiteral("application/x-") + name};
}

QString FileTypes::openCommand(const QString &programPath)
{
    return quoteExecArgument(programPath) + QStringLiteral(" %f");
}

QString FileTypes::desktopFilePath(const QString &typeName) const
{
    return m_dataHome + QStringLiteral("/applications/") + slug(typeName) + QStringLiteral(".desktop");
}

QString FileTypes::mimePackagePath(const QString &mimeType) const
{
    return m_dataHome + QStringLiteral("/mime/packages/") + mimeType.section(u'/', 1) +
           QStringLiteral(".xml");
}

QString FileTypes::mimeAppsPath() const
{
    return m_configHome + QStringLiteral("/mimeapps.list");
}

bool FileTypes::registerFileType(const QString &extension, const QString &typeName,
                                 const QString &description, const QString &command, const QString &icon)
{
    const QString ext = normalizeExtension(extension);
    if (ext.isEmpty() || command.trimmed().isEmpty())
        return false;
    QString type = typeName.trimmed();
    if (type.isEmpty() || slug(type).isEmpty())
        type = ext + QStringLiteral("_auto_file");

    // Older command lines name the file "%1"; the desktop's is %f. A doubled %% is a literal percent sign.
    QString exec = command.trimmed();
    static const QRegularExpression quotedOne(QStringLiteral("(?<!%)\"%1\""));
    static const QRegularExpression bareOne(QStringLiteral("(?<![%\\S])%1(?!\\S)"));
    exec.replace(quotedOne, QStringLiteral("%f"));
    exec.replace(bareOne, QStringLiteral("%f"));

    const QStringList mimeTypes = mimeTypesFor(ext, type);
    const bool defined = !isKnownExtension(ext);
    bool ok = true;
    if (defined)
        ok = writeMimePackage(mimeTypes.first(), ext, description, icon) && ok;
    ok = writeDesktopFile(type, description, exec, icon, mimeTypes) && ok;
    // A video type is one the player can open, never one it takes over as the default: it shows no picture.
    QStringList defaults;
    for (const QString &mime : mimeTypes)
        if (!mime.startsWith(QLatin1String("video/")))
            defaults << mime;
    if (!defaults.isEmpty())
        ok = writeDefaults(defaults, slug(type) + QStringLiteral(".desktop")) && ok;
    if (m_runTools)
        runDatabaseTools(defined);
    return ok;
}

bool FileTypes::registerPlayerTypes(const QString &programPath, const QString &icon1, const QString &icon2)
{
    const QString command = openCommand(programPath);
    const QString sound = QStringLiteral("Vorlan Sound File");
    const QString soundText = QStringLiteral("MPEG Sound File");
    const QString list = QStringLiteral("Vorlan PlayList File");
    const QString listText = QStringLiteral("Music Album List");
    const bool tools = m_runTools;
    // The caches are refreshed once, after the last type.
    m_runTools = false;
    bool ok = registerFileType(QStringLiteral("MPG"), sound, soundText, command, icon1);
    ok = registerFileType(QStringLiteral("MP2"), sound, soundText, command, icon1) && ok;
    ok = registerFileType(QStringLiteral("MP3"), sound, soundText, command, icon1) && ok;
    // The other formats the player plays (".MP4" is left to video players: most such files are films).
    for (const char *other : {"FLAC", "OGG", "OGA", "OPUS", "M4A", "AAC", "WAV", "AIF", "AIFF", "WV"})
        ok = registerFileType(QLatin1String(other), QStringLiteral("Vorlan Audio File"),
                              QStringLiteral("Sound File"), command, icon1) &&
             ok;
    ok = registerFileType(QStringLiteral("M3U"), list, listText, command, icon2) && ok;
    ok = registerFileType(QStringLiteral("PLS"), list, listText, command, icon2) && ok;
    ok = registerFileType(QStringLiteral("XSPF"), list, listText, command, icon2) && ok;
    ok = registerFileType(QStringLiteral("VLN"), list, QStringLiteral("Vorlan Album List"), command, icon2) &&
         ok;
    m_runTools = tools;
    if (m_runTools)
        runDatabaseTools(true);
    return ok;
}

bool FileTypes::writeMimePackage(const QString &mimeType, const QString &extension,
                                 const QString &description, const QString &icon) const
{
    const QString path = mimePackagePath(mimeType);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    // A type named after a type name may stand for several extensions, as one type key did.
    QStringList globs = existingGlobs(path);
    const QString glob = QStringLiteral("*.") + extension;
    if (!globs.contains(glob))
        globs << glob;

    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(MimeNamespace);
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), mimeType);
    xml.writeTextElement(QStringLiteral("comment"), description);
    // The database takes icon names only; an image path is the handler's icon instead.
    if (!icon.isEmpty() && !icon.contains(u'/')) {
        xml.writeStartElement(QStringLiteral("icon"));
        xml.writeAttribute(QStringLiteral("name"), icon);
        xml.writeEndElement();
    }
    for (const QString &pattern : std::as_const(globs)) {
        xml.writeStartElement(QStringLiteral("glob"));
        xml.writeAttribute(QStringLiteral("pattern"), pattern);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return TextFile::writeAtomically(path, bytes);
}

bool FileTypes::writeDesktopFile(const QString &typeName, const QString &description, const QString &command,
                                 const QString &icon, const QStringList &mimeTypes) const
{
    const QString path = desktopFilePath(typeName);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    XdgKeyFile file;
    file.load(path);
    file.setValue(DesktopGroup, QStringLiteral("Type"), QStringLiteral("Application"));
    file.setValue(DesktopGroup, QStringLiteral("Name"), typeName);
    file.setValue(DesktopGroup, QStringLiteral("Comment"), description);
    file.setValue(DesktopGroup, QStringLiteral("Exec"), command);
    if (!icon.isEmpty())
        file.setValue(DesktopGroup, QStringLiteral("Icon"), icon);
    file.setValue(DesktopGroup, QStringLiteral("Terminal"), QStringLiteral("false"));
    // A handler for files, not a second entry of the program in the menus.
    file.setValue(DesktopGroup, QStringLiteral("NoDisplay"), QStringLiteral("true"));
    QStringList types = file.list(DesktopGroup, QStringLiteral("MimeType"));
    for (const QString &mime : mimeTypes) {
        if (!types.contains(mime))
            types << mime;
    }
    file.setList(DesktopGroup, QStringLiteral("MimeType"), types);
    return file.save(path);
}

bool FileTypes::writeDefaults(const QStringList &mimeTypes, const QString &desktopId) const
{
    const QString path = mimeAppsPath();
    if (!QDir().mkpath(m_configHome))
        return false;
    XdgKeyFile file;
    file.load(path);
    const QString group = QString::fromLatin1(DefaultGroup);
    for (const QString &mime : mimeTypes) {
        // Ours first; the handlers the user had stay behind it as the next choices.
        QStringList handlers = file.list(group, mime);
        handlers.removeAll(desktopId);
        handlers.prepend(desktopId);
        file.setList(group, mime, handlers);
    }
    return file.save(path);
}

void FileTypes::runDatabaseTools(bool mimeChanged) const
{
    const QString mimeDir = m_dataHome + QStringLiteral("/mime");
    const QString applications = m_dataHome + QStringLiteral("/applications");
    if (mimeChanged && QFileInfo(mimeDir + QStringLiteral("/packages")).isDir())
        runTool(QStringLiteral("update-mime-database"), {mimeDir});
    if (QFileInfo(applications).isDir())
        runTool(QStringLiteral("update-desktop-database"), {applications});
}
