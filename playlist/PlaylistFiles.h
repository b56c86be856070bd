#pragma once
// List files: M3U, PLS, XSPF and the player's own ".vln" list. Read and written as UTF-8 (Latin-1 lines
// accepted), CR LF, LF or CR line ends on reading, CR LF on writing; every write replaces the file
// atomically. Lists of any length are read and written whole; M3U and PLS lists are read one line at a time,
// skipping lines longer than any path, so a list costs little more memory than its bytes.
#include "platform/TextFile.h"
#include "playlist/PlaylistEntry.h"

#include <QString>
#include <QStringList>

class PlaylistModel;

namespace PlaylistFiles
{

enum class Format { None, M3U, PLS, VLN, HTML, XSPF };

// By the extension from the last dot of the file name, upper-cased: ".M3U", ".PLS", ".VLN", ".XSPF", ".HTML"
// /
// ".HTM". Drops, the command line, the open command and "Save" choose this way.
Format formatByExtension(const QString &fileName);
// By the last three characters, upper-cased: "M3U", "PLS", "VLN", "SPF" ("Load" chooses this way); HTML
// never.
Format formatByLastThree(const QString &fileName);
// Whether a file of this name is a list the player reads (not an HTML export).
bool isListFile(const QString &fileName);

// D: the list file's folder with one trailing "/" ("/" for a list in the root).
QString listDirectory(const QString &listFile);
// The path a list line names, looked for as D + line, then the line itself, then as a stream URL; a line
// written on Windows (backslashes, a drive letter) is also tried with "/" and without the drive letter.
// Empty when it names nothing.
QString resolveListLine(const QString &dir, const QString &line);
// The paths named by the lines of an M3U / PLS file (its value after the first "=", the first line skipped).
QStringList m3uPaths(const QStringList &fileLines, const QString &dir);
QStringList plsPaths(const QStringList &fileLines, const QString &dir);

// The lines written for the given entry paths: M3U cuts D off paths that begin with it (exact comparison);
// PLS is "[playlist]", "file<n>=<path>", "NumberOfEntries=<n>". An entry whose path holds a line break cannot
// be written as one line and is left out.
QStringList m3uLines(const QStringList &paths, const QString &dir);
QStringList plsLines(const QStringList &paths);

// Readers. A missing list file leaves the playlist unchanged (false). Otherwise the playlist is emptied and
// filled; an unreadable file leaves it empty. When M3U / PLS took at least one path, and always for an own
// list, the model gets CurrentIndex -1, PlayedCount 0 and emits listLoaded(). True when the file was there.
// Blank lines are no entries. *status, when given, says whether the file's bytes could be read.
bool readM3U(PlaylistModel &model, const QString &path);
bool readPLS(PlaylistModel &model, const QString &path);
bool readVLN(PlaylistModel &model, const QString &path, TextFile::ReadStatus *status = nullptr);
bool readXSPF(PlaylistModel &model, const QString &path);
// The reader chosen by formatByExtension; false when there is none or the file is missing.
bool readByExtension(PlaylistModel &model, const QString &path);

// Files dropped on the playlist, in the order reported: the audio files among them are appended; then, when
// the last name is a list file (by extension), that list is read, which empties the playlist first. True when
// a list was read.
bool dropFiles(PlaylistModel &model, const QStringList &names);

// Writers; false when the file could not be written (the old file then stays as it was).
bool writeM3U(const PlaylistModel &model, const QString &path);
bool writePLS(const PlaylistModel &model, const QString &path);
// Location (a file: URI of the name's bytes, or the stream URL), title and creator from "Artist - Title",
// duration.
bool writeXSPF(const PlaylistModel &model, const QString &path);
// Every entry line verbatim (an empty list gives an empty file); a line that would not read back as an
// entry is written with its name and time cleaned, never left out (only junk that is neither an entry nor a
// path goes: it came from a damaged list, kept aside before). Refused, the old file staying, when the list
// would be larger than the reader takes.
bool writeVLN(const PlaylistModel &model, const QString &path, QString *error = nullptr);

// An own list's line of an entry: number TAB name TAB time TAB path (the fields it was read with, for an
// entry read from a line of fewer).
QString vlnLine(const PlaylistEntry &entry);
// The entry an own list's line holds: the path is the text after the third TAB, and a line without TABs is
// a bare path. vlnLine gives the line back.
PlaylistEntry vlnEntry(const QString &line);
// Every entry's vlnLine; and lines appended as readVLN appends them, without looking for their files.
QStringList vlnLines(const PlaylistModel &model);
void appendVlnLines(PlaylistModel &model, const QStringList &lines);

// True when every line is an entry as the player writes it (number TAB name TAB time TAB path) or a bare
// path: what else is in an own list (binary junk, another kind of file) was not read as the user meant it.
bool isWellFormedVLN(const QStringList &lines);
// Before the player's own list is replaced: a file that was not a well-formed list is copied to path + ".bak"
// (replacing an older one). Failed when it had to be kept aside and could not be: it must not be replaced
// then. A file that could not be read at all is not copied (it is not to be replaced either).
enum class SetAside { NotNeeded, Done, Failed };
SetAside setAsideDamagedVLN(const QString &path);

} // namespace PlaylistFiles
