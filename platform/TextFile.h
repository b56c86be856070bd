#pragma once
// Line-based text files the way the player's files are kept: read CR LF, LF or CR line ends, each line UTF-8
// when valid else Latin-1 (files from older Windows setups load); written as UTF-8 with CR LF, replacing the
// old file atomically so a crash or a full disk never leaves half a file.
//
// Files from outside are only read when they are regular files (a FIFO would block, a device never ends) and
// only up to a size fitting their kind. Writes follow a symbolic link only to a regular file: a device or a
// FIFO in a file's place is never replaced.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace TextFile
{

// Settings, masks, colour lists, equalizer files: even 1 MiB is absurd for them.
constexpr qint64 SmallFileLimit = 1024 * 1024;
// Lists and statistics grow with the user's collection.
constexpr qint64 ListFileLimit = 64 * 1024 * 1024;

enum class ReadStatus {
    Ok,
    Missing,    // nothing under that name
    NotRegular, // a folder, FIFO, socket or device (or a link to one)
    TooLarge,   // larger than the limit of its kind
    Failed,     // no permission, an I/O error
};

// The whole file when it is a regular file of at most maxBytes. Qt resource paths (":/...") are read too.
ReadStatus readBytes(const QString &path, qint64 maxBytes, QByteArray *bytes);
// True for a status that means "there is a file, but what it holds is not known": a writer must not
// replace it with what it has.
inline bool isUnreadable(ReadStatus status)
{
    return status != ReadStatus::Ok && status != ReadStatus::Missing;
}

// The lines of a file; an empty list when it is missing or unreadable (*ok tells which; *status, when
// given, says why).
QStringList readLines(const QString &path, bool *ok = nullptr, qint64 maxBytes = SmallFileLimit,
                      ReadStatus *status = nullptr);
// Calls handle(line) with the raw bytes of each line (no line end; a byte-order mark before the first is
// skipped), in order. The lines share the bytes' memory: nothing is copied for them.
template <typename Handle> void forEachRawLine(const QByteArray &bytes, Handle handle)
{
    const char *data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < n) {
        qsizetype end = start;
        while (end < n && data[end] != '\r' && data[end] != '\n')
            ++end;
        handle(QByteArray::fromRawData(data + start, end - start));
        if (end + 1 < n && data[end] == '\r' && data[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}
// Splits raw bytes into decoded lines (no line end kept; a final line end does not add an empty line).
QStringList splitLines(const QByteArray &bytes);
// UTF-8 when the bytes are valid UTF-8; otherwise each well-formed UTF-8 sequence as UTF-8 and every other
// byte as Latin-1.
QString decodeLine(const QByteArray &bytes);
// Every line ended by CR LF, the last one too. False when the file could not be written; the old file stays
// and *error, when given, says why.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);
// The same for lines already in bytes.
bool writeByteLines(const QString &path, const QList<QByteArray> &lines, QString *error = nullptr);
// A line as UTF-8, but the file name in it (its last occurrence) as the bytes that name the file on disk,
// so a name from an old disk that is not UTF-8 is written back exactly as it is.
QByteArray lineWithFileName(const QString &line, const QString &fileName);
// Writes bytes to a temporary file beside path (beside the link's target when path is a link to a regular
// file) and renames it over path once every write, the sync and the close of the temporary file succeeded.
// Refused, with a message on stderr, when path is anything but a regular file, a link to one, or nothing
// yet. On any failure the old file stays as it was, the temporary file goes, and *error says why.
bool writeAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same with the content written by write(fd, &errno) into the temporary file: for content too large to
// hold in memory at once (a copied song). write returns false, with the reason's errno, when it failed.
bool writeAtomically(const QString &path, const std::function<bool(int fd, int *error)> &write,
                     QString *error = nullptr);
// Writes every byte to fd; false with the reason's errno in *error when they could not all be written.
bool writeAll(int fd, const char *data, qint64 size, int *error);
// The file writeAtomically would replace for path; empty (and a message on stderr) when it refuses.
QString writeTarget(const QString &path);
// Removes the temporary files ("<name>.XXXXXX") that saves of the given files in folder left when the
// process was killed before it could rename them; the number removed. Only for a folder no other process
// is saving into at the same time.
int removeUnfinishedSaves(const QString &folder, const QStringList &names);

} // namespace TextFile
