#include "playlist/PlaylistFiles.h"

#include "platform/FileName.h"
#include "platform/TextFile.h"
#include "playlist/PlaylistModel.h"
#include "playlist/TextPool.h"
#include "playlist/XspfList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

#include <sys/stat.h>

namespace PlaylistFiles
{

namespace
{

bool namesFile(const QString &path)
{
    // Qt warns about a NUL in a file name; such a line names nothing anyway.
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat st;
    return ::stat(FileName::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

bool hasDriveLetter(const QString &line)
{
    if (line.size() < 2 || line.at(1) != QLatin1Char(':'))
        return false;
    const char16_t c = line.at(0).unicode();
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

const QChar Tab = QLatin1Char('\t');

QStringList entryPaths(const PlaylistModel &model)
{
    QStringList paths;
    paths.reserve(model.count());
    for (const PlaylistEntry &e : model.entries())
        paths << e.path;
    return paths;
}

// Where the path of an own list's line starts: after the third TAB; a cut that finds no TAB cuts nothing, so
// a line without TABs is its path.
qsizetype pathStart(const QString &line)
{
    qsizetype start = 0;
    for (int field = 0; field < 3; ++field) {
        const qsizetype tab = line.indexOf(Tab, start);
        if (tab >= 0)
            start = tab + 1;
    }
    return start;
}

// Whether text is an int as the player writes one (no sign but "-", no leading zero), and which.
bool plainNumber(QStringView text, int *number)
{
    const qsizetype sign = text.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = text.size() - sign;
    if (digits < 1 || digits > 10 || (text.at(sign) == u'0' && (digits > 1 || sign)))
        return false;
    for (qsizetype i = sign; i < text.size(); ++i)
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    bool ok = false;
    *number = text.toInt(&ok);
    return ok;
}

// A list written on Windows: "Live\b.mp3", "C:\Songs\a.mp3", looked for with "/" and without the drive.
QString windowsPath(const QString &dir, const QString &line)
{
    const bool drive = hasDriveLetter(line);
    if (!drive && !line.contains(QLatin1Char('\\')))
        return {};
    QString alt = line;
    alt.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (drive)
        alt.remove(0, 2);
    if (alt.isEmpty())
        return {};
    const QString inDir = QDir::cleanPath(dir + alt);
    if (namesFile(inDir))
        return inDir;
    if (namesFile(alt))
        return QDir::cleanPath(alt);
    return {};
}

// No path or URL is longer: a longer line names nothing and is not even decoded.
constexpr qsizetype MaxListLine = 32 * 1024;

// Each line of bytes, decoded, in order; one line at a time, so a list costs little more memory than its
// bytes whatever its shape. Blank lines cost nothing: they name nothing.
template <typename Handle> void forEachLine(const QByteArray &bytes, qsizetype maxLine, Handle handle)
{
    TextFile::forEachRawLine(bytes, [&](const QByteArray &line) {
        if (!line.isEmpty() && line.size() <= maxLine)
            handle(TextFile::decodeLine(line));
    });
}

// The path a PLS line names, or an empty string.
QString plsLinePath(const QString &dir, const QString &line)
{
    // Keys are not interpreted: "Title1=..." or "NumberOfEntries=3" fall out because their values name
    // nothing.
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return resolveListLine(dir, eq < 0 ? line : line.mid(eq + 1));
}

// Empties the model and reads the file's bytes; false (model unchanged) when the file is missing.
bool startRead(PlaylistModel &model, const QString &path, QByteArray *bytes,
               TextFile::ReadStatus *status = nullptr)
{
    if (!namesFile(path)) {
        if (status)
            *status = TextFile::ReadStatus::Missing;
        return false;
    }
    model.clear();
    const TextFile::ReadStatus read = TextFile::readBytes(path, TextFile::ListFileLimit, bytes);
    if (status)
        *status = read;
    return true;
}

bool finishListRead(PlaylistModel &model, const QStringList &paths)
{
    model.addFiles(paths);
    if (!paths.isEmpty())
        model.markListLoaded();
    return true;
}

} // namespace

Format formatByExtension(const QString &fileName)
{
    const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return Format::None;
    const QString ext = name.mid(dot).toUpper();
    if (ext == QLatin1String(".M3U"))
        return Format::M3U;
    if (ext == QLatin1String(".PLS"))
        return Format::PLS;
    if (ext == QLatin1String(".VLN"))
        return Format::VLN;
    if (ext == QLatin1String(".XSPF"))
        return Format::XSPF;
    if (ext == QLatin1String(".HTML") || ext == QLatin1String(".HTM"))
        return Format::HTML;
    return Format::None;
}

Format formatByLastThree(const QString &fileName)
{
    const QString ext = fileName.right(3).toUpper();
    if (ext == QLatin1String("M3U"))
        return Format::M3U;
    if (ext == QLatin1String("PLS"))
        return Format::PLS;
    if (ext == QLatin1String("VLN"))
        return Format::VLN;
    if (ext == QLatin1String("SPF"))
        return Format::XSPF;
    return Format::None;
}

bool isListFile(const QString &fileName)
{
    const Format format = formatByExtension(fileName);
    return format != Format::None && format != Format::HTML;
}

QString listDirectory(const QString &listFile)
{
    QString dir = QFileInfo(listFile).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString resolveListLine(const QString &dir, const QString &line)
{
    if (line.isEmpty() || line.contains(QChar(0)))
        return {};
    if (namesFile(dir + line))
        return dir + line;
    if (namesFile(line))
        return line;
    if (PlaylistModel::IsStreamUrl(line))
        return line;
    return windowsPath(dir, line);
}

QStringList m3uPaths(const QStringList &fileLines, const QString &dir)
{
    QStringList paths;
    for (const QString &line : fileLines) {
        const QString path = resolveListLine(dir, line);
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

QStringList plsPaths(const QStringList &fileLines, const QString &dir)
{
    QStringList paths;
    // The first line is skipped whatever it holds.
    for (qsizetype i = 1; i < fileLines.size(); ++i) {
        const QString path = plsLinePath(dir, fileLines.at(i));
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

QStringList m3uLines(const QStringList &paths, const QString &dir)
{
    QStringList lines;
    lines.reserve(paths.size());
    for (const QString &path : paths) {
        if (hasLineBreak(path))
            continue;
        lines << (path.startsWith(dir, Qt::CaseSensitive) ? path.mid(dir.size()) : path);
    }
    return lines;
}

QStringList plsLines(const QStringList &paths)
{
    QStringList lines;
    lines.reserve(paths.size() + 2);
    lines << QStringLiteral("[playlist]");
    int n = 0;
    for (const QString &path : paths) {
        if (hasLineBreak(path))
            continue;
        lines << QLatin1String("file") + QString::number(++n) + QLatin1Char('=') + path;
    }
    lines << QLatin1String("NumberOfEntries=") + QString::number(n);
    return lines;
}

bool readM3U(PlaylistModel &model, const QString &path)
{
    QByteArray bytes;
    if (!startRead(model, path, &bytes))
        return false;
    const QString dir = listDirectory(path);
    QStringList paths;
    forEachLine(bytes, MaxListLine, [&](const QString &line) {
        const QString found = resolveListLine(dir, line);
        if (!found.isEmpty())
            paths << found;
    });
    bytes.clear();
    return finishListRead(model, paths);
}

bool readPLS(PlaylistModel &model, const QString &path)
{
    QByteArray bytes;
    if (!startRead(model, path, &bytes))
        return false;
    const QString dir = listDirectory(path);
    QStringList paths;
    bool first = true;
    forEachLine(bytes, MaxListLine, [&](const QString &line) {
        // The first line is skipped whatever it holds.
        if (std::exchange(first, false))
            return;
        const QString found = plsLinePath(dir, line);
        if (!found.isEmpty())
            paths << found;
    });
    bytes.clear();
    return finishListRead(model, paths);
}

bool readVLN(PlaylistModel &model, const QString &path, TextFile::ReadStatus *status)
{
    QByteArray bytes;
    if (!startRead(model, path, &bytes, status))
        return false;
    // Own lists keep every line as it is, however long: the entries are what the user had.
    QList<PlaylistEntry> entries;
    const QString dir = listDirectory(path);
    forEachLine(bytes, bytes.size(), [&](const QString &line) {
        PlaylistEntry entry = vlnEntry(line);
        // Entries stay as written, but a path written on Windows that names a file here with "/" is taken
        // so, as is one relative to the list; otherwise the entry would be thrown out as unplayable when its
        // turn comes. (resolveListLine, less the checks just made.)
        const QString &written = entry.path;
        if (!written.isEmpty() && !namesFile(written) && !PlaylistModel::IsStreamUrl(written) &&
            !written.contains(QChar(0))) {
            const QString found = namesFile(dir + written) ? dir + written : windowsPath(dir, written);
            if (!found.isEmpty() && found != written)
                entry = vlnEntry(line.left(line.size() - written.size()) + found);
        }
        entries << std::move(entry);
    });
    bytes.clear();
    model.appendEntries(entries);
    model.markListLoaded();
    return true;
}

bool readXSPF(PlaylistModel &model, const QString &path)
{
    QByteArray bytes;
    if (!startRead(model, path, &bytes))
        return false;
    const QStringList paths = XspfList::locations(bytes, listDirectory(path));
    bytes.clear();
    return finishListRead(model, paths);
}

bool readByExtension(PlaylistModel &model, const QString &path)
{
    switch (formatByExtension(path)) {
    case Format::XSPF:
        return readXSPF(model, path);
    case Format::M3U:
        return readM3U(model, path);
    case Format::PLS:
        return readPLS(model, path);
    case Format::VLN:
        return readVLN(model, path);
    default:
        return false;
    }
}

bool dropFiles(PlaylistModel &model, const QStringList &names)
{
    QStringList audio;
    for (const QString &name : names) {
        if (PlaylistModel::IsAudioFile(name))
            audio << name;
    }
    model.addFiles(audio);
    return !names.isEmpty() && readByExtension(model, names.last());
}

bool writeM3U(const PlaylistModel &model, const QString &path)
{
    const QString dir = listDirectory(path);
    const QByteArray nativeDir = FileName::encode(dir);
    QList<QByteArray> lines;
    for (const QString &line : m3uLines(entryPaths(model), dir)) {
        // Relative lines are cut from the bytes of the whole name, which begin with the folder's bytes.
        const bool relative = !line.startsWith(QLatin1Char('/')) && !PlaylistModel::IsStreamUrl(line);
        const QByteArray whole = relative ? FileName::encode(dir + line) : QByteArray();
        lines << (relative && whole.startsWith(nativeDir) ? whole.mid(nativeDir.size())
                                                          : TextFile::lineWithFileName(line, line));
    }
    return TextFile::writeByteLines(path, lines);
}

bool writePLS(const PlaylistModel &model, const QString &path)
{
    QList<QByteArray> lines;
    for (const QString &line : plsLines(entryPaths(model)))
        lines << TextFile::lineWithFileName(line, line.mid(line.indexOf(QLatin1Char('=')) + 1));
    return TextFile::writeByteLines(path, lines);
}

bool writeXSPF(const PlaylistModel &model, const QString &path)
{
    return TextFile::writeAtomically(path, XspfList::toXml(model));
}

bool isWellFormedVLN(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        // A file name may hold any byte but a line end; the fields before it are the player's own.
        const qsizetype start = pathStart(line);
        const bool bare = start == 0;
        for (qsizetype i = 0; i < (bare ? line.size() : start); ++i) {
            const QChar c = line.at(i);
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || c.unicode() == 0x7F)
                return false;
        }
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            continue;
        if (line.count(QLatin1Char('\t')) < 3)
            return false;
        bool number = false;
        line.left(tab).toInt(&number);
        if (!number)
            return false;
    }
    return true;
}

SetAside setAsideDamagedVLN(const QString &path)
{
    QByteArray bytes;
    const TextFile::ReadStatus status = TextFile::readBytes(path, TextFile::ListFileLimit, &bytes);
    // A folder or a device in the list's place is never written over anyway.
    if (status == TextFile::ReadStatus::Missing || status == TextFile::ReadStatus::NotRegular)
        return SetAside::NotNeeded;
    // What could not be read is not copied: a huge file would be copied whole, and it must stay anyway.
    if (status != TextFile::ReadStatus::Ok)
        return SetAside::Failed;
    bool wellFormed = true;
    TextFile::forEachRawLine(bytes, [&wellFormed](const QByteArray &line) {
        wellFormed = wellFormed && (line.isEmpty() || isWellFormedVLN({TextFile::decodeLine(line)}));
    });
    if (wellFormed)
        return SetAside::NotNeeded;
    // A copy, not a rename: a list that is a link into a dotfiles folder stays a link.
    return TextFile::writeAtomically(path + QStringLiteral(".bak"), bytes) ? SetAside::Done
                                                                           : SetAside::Failed;
}

namespace
{

// The bytes written for an entry's line, numbered number when it has to be cleaned; empty for junk.
QByteArray vlnBytes(const QString &line, int number)
{
    const QString path = line.mid(pathStart(line));
    if (isWellFormedVLN({line}))
        return TextFile::lineWithFileName(line, path);
    // A name or time holding a control character (from an old list or tag) is cleaned rather than the
    // entry lost; an entry without the numbered form keeps its path alone. A line that is neither is junk of
    // a damaged list, which was kept aside whole before this write.
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (tab < 0 || fields.size() < 4)
        return isWellFormedVLN({path}) ? TextFile::lineWithFileName(path, path) : QByteArray();
    const QString head = QString::number(number) + QLatin1Char('\t') +
                         PlaylistModel::cleanField(fields.at(1)) + QLatin1Char('\t') +
                         PlaylistModel::cleanField(fields.at(2)) + QLatin1Char('\t');
    return TextFile::lineWithFileName(head + path, path);
}

} // namespace

PlaylistEntry vlnEntry(const QString &line)
{
    PlaylistEntry e;
    const qsizetype tab1 = line.indexOf(Tab);
    if (tab1 < 0) {
        e.form = PlaylistEntry::Form::Bare;
        e.path = line;
        return e;
    }
    const QStringView number = QStringView(line).left(tab1);
    if (!plainNumber(number, &e.number)) {
        e.number = number.toInt();
        e.numberWritten = true;
        e.writtenNumber = number.toString();
    }
    const qsizetype tab2 = line.indexOf(Tab, tab1 + 1);
    if (tab2 < 0) {
        e.form = PlaylistEntry::Form::NameIsPath;
        e.path = line.mid(tab1 + 1);
        e.name = e.path;
        return e;
    }
    e.name = line.mid(tab1 + 1, tab2 - tab1 - 1);
    const qsizetype tab3 = line.indexOf(Tab, tab2 + 1);
    if (tab3 < 0) {
        e.form = PlaylistEntry::Form::TimeIsPath;
        e.path = line.mid(tab2 + 1);
        e.time = e.path;
        return e;
    }
    e.time = TextPool::shared(QStringView(line).mid(tab2 + 1, tab3 - tab2 - 1));
    e.path = line.mid(tab3 + 1);
    return e;
}

QString vlnLine(const PlaylistEntry &e)
{
    const QString number = e.numberText();
    switch (e.form) {
    case PlaylistEntry::Form::Bare:
        break;
    case PlaylistEntry::Form::NameIsPath:
        return number + Tab + e.path;
    case PlaylistEntry::Form::TimeIsPath:
        return number + Tab + e.name + Tab + e.path;
    case PlaylistEntry::Form::Full:
        return number + Tab + e.name + Tab + e.time + Tab + e.path;
    }
    return e.path;
}

QStringList vlnLines(const PlaylistModel &model)
{
    QStringList lines;
    lines.reserve(model.count());
    for (const PlaylistEntry &e : model.entries())
        lines << vlnLine(e);
    return lines;
}

void appendVlnLines(PlaylistModel &model, const QStringList &lines)
{
    QList<PlaylistEntry> entries;
    entries.reserve(lines.size());
    for (const QString &line : lines)
        entries << vlnEntry(line);
    model.appendEntries(entries);
}

bool writeVLN(const PlaylistModel &model, const QString &path, QString *error)
{
    QList<QByteArray> lines;
    lines.reserve(model.count());
    qint64 size = 0;
    for (const PlaylistEntry &e : model.entries()) {
        // A path with a line break cannot be one line; nothing else is left out.
        if (e.path.isEmpty() || hasLineBreak(e.path))
            continue;
        QByteArray written = vlnBytes(vlnLine(e), int(lines.size()) + 1);
        if (written.isEmpty())
            continue;
        size += written.size() + 2;
        lines << std::move(written);
    }
    // What is written must read back at the next start.
    if (size > TextFile::ListFileLimit) {
        if (error)
            *error = QStringLiteral("the list is larger than %1 MiB").arg(TextFile::ListFileLimit >> 20);
        return false;
    }
    return TextFile::writeByteLines(path, lines, error);
}

} // namespace PlaylistFiles
