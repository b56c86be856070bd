#pragma once
// Starts another of our programs without waiting for it, the way the player starts the mask editor.
#include <QString>
#include <QStringList>

namespace Launcher
{

// The mask editor's program name.
inline constexpr const char *MaskerProgram = "vorlanmasker";

// The program to start: an executable file of that name in ownDir (the player's own folder), else in the
// folder "masker" beside ownDir (the build tree), else the one found on PATH; empty when there is none. A
// name with a "/" is taken as a path as it is.
QString findProgram(const QString &name, const QString &ownDir);

// Starts the program (found as above) detached; false when nothing could be started. *pid gets its
// process id.
bool startDetached(const QString &name, const QStringList &arguments, const QString &ownDir,
                   qint64 *pid = nullptr);

// "vorlanmasker" from the player's folder or PATH.
bool startMasker(qint64 *pid = nullptr);

} // namespace Launcher
