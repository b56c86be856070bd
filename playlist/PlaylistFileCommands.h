#pragma once
// The playlist window's commands that work on more than the list: the HTML report and the print of the whole
// list, and copying, moving or deleting the selected songs' files. The window forwards its commands here;
// they show their work in it (the busy title, its prompts and warnings).
#include "platform/FileOperations.h"
#include "playlist/PlaylistWindow.h"

#include <QString>
#include <functional>

class QPrinter;

class PlaylistFileCommands
{
public:
    explicit PlaylistFileCommands(PlaylistWindow &window);

    bool exportHtml(const QString &path);
    // On the given printer, or with nullptr on the default printer (a message when there is none).
    bool printPlaylist(QPrinter *printer);
    // Copy and move ask for the folder first (starting at the add-files window's); delete asks its question.
    void chooseFolderAndRun(PlaylistWindow::FileCommand command);
    FileOperations::Result runFileCommand(PlaylistWindow::FileCommand command, const QString &folder);

private:
    // Shows the busy title and disables the window while the report list is filled and written or printed.
    bool runReport(const QString &busyTitle, const std::function<bool(QString *error)> &work,
                   const QString &failure);
    void fillReport();

    PlaylistWindow &m_window;
    bool m_inReport = false;
};
