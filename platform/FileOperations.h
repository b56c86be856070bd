#pragma once
// Copying and moving many files into a folder, and deleting them to the desktop's trash, the way a file
// manager does it for the player: a prompt for every target that already exists (answered by the window),
// progress for the caller to show, and a report of what was done. Copies are written beside the target and
// renamed over it, so an interrupted copy never leaves half a song under the target's name, and a file is
// never copied or moved onto itself.
#include <QString>
#include <QStringList>
#include <functional>

class FileOperations
{
public:
    enum class Answer { Yes, YesToAll, No, Cancel };
    // Asked before a file replaces an existing target.
    using OverwritePrompt = std::function<Answer(const QString &source, const QString &target)>;
    // Called before each file (done files so far, total, the file about to be handled) and once more at the
    // end with done == total; returning false stops before the next file.
    using Progress = std::function<bool(int done, int total, const QString &current)>;

    struct Result {
        QStringList done;    // sources copied, moved or trashed
        QStringList skipped; // not touched: the answer was No, or source and target are the same file
        QStringList failed;  // could not be handled (missing, unreadable, no room ...)
        QStringList errors;  // one text per failed source
        bool cancelled = false;
    };

    FileOperations() = default;

    // Without a prompt, existing targets are skipped.
    void setOverwritePrompt(OverwritePrompt prompt) { m_prompt = std::move(prompt); }
    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Each source file into folder under its own name.
    Result copyFiles(const QStringList &sources, const QString &folder);
    // Renamed when source and folder share a file system, else copied and the source removed after the copy
    // is complete.
    Result moveFiles(const QStringList &sources, const QString &folder);
    // Into the freedesktop trash of the user (or of the files' volume).
    Result trashFiles(const QStringList &sources);

    // Copies one file to target through a temporary file beside it, keeping the permissions and modification
    // time. False with *error set on failure; the target is then as it was.
    static bool copyFile(const QString &source, const QString &target, QString *error = nullptr);

private:
    enum class Kind { Copy, Move };
    Result transfer(Kind kind, const QStringList &sources, const QString &folder);
    bool reportProgress(int done, int total, const QString &current);

    OverwritePrompt m_prompt;
    Progress m_progress;
};
