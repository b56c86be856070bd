#pragma once
// Line-based text files the way the player's files are kept: read CR LF, LF or CR line ends, each line UTF-8
// when valid else Latin-1 (files from older Windows setups load); written as UTF-8 with CR LF, replacing the
// old file atomically so a crash or a full disk never leaves half a file.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace TextFile
{

// The lines of a file; an empty list when it is missing or unreadable (*ok tells which).
QStringList readLines(const QString &path, bool *ok = nullptr);
// Splits raw bytes into decoded lines (no line end kept; a final line end does not add an empty line).
QStringList splitLines(const QByteArray &bytes);
// UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString decodeLine(const QByteArray &bytes);
// Every line ended by CR LF, the last one too. False when the file could not be written; the old file stays.
bool writeLines(const QString &path, const QStringList &lines);
// Writes bytes to a temporary file beside path and renames it over path.
bool writeAtomically(const QString &path, const QByteArray &bytes);

} // namespace TextFile
