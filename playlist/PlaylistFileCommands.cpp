#include "playlist/PlaylistFileCommands.h"

#include "playlist/AddFilesWindow.h"
#include "playlist/HtmlTableWriter.h"
#include "playlist/PlaylistModel.h"
#include "widgets/ReportListView.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QPersistentModelIndex>
#include <QProgressDialog>
#include <vector>

namespace
{

// Entries held across an event loop: each follows its row while the list changes. After a rebuild of the
// whole list (sort, shuffle) an entry is found again by its path.
class HeldEntries
{
public:
    HeldEntries(PlaylistModel *model, const QList<int> &rows) : m_model(model)
    {
        for (const int i : rows) {
            m_indexes << QPersistentModelIndex(model->index(i, 0));
            m_paths << model->entryPath(i);
        }
    }

    const QStringList &paths() const { return m_paths; }

    QList<int> rows() const
    {
        QList<int> rows;
        std::vector<char> taken(m_model->count(), 0);
        QHash<QString, int> lost;
        for (int k = 0; k < m_indexes.size(); ++k) {
            if (m_indexes.at(k).isValid()) {
                rows << m_indexes.at(k).row();
                taken[m_indexes.at(k).row()] = 1;
            } else {
                ++lost[m_paths.at(k)];
            }
        }
        for (int i = 0; i < m_model->count() && !lost.isEmpty(); ++i) {
            const auto it = lost.find(m_model->entryPath(i));
            if (it == lost.end() || taken[i])
                continue;
            rows << i;
            if (--*it == 0)
                lost.erase(it);
        }
        return rows;
    }

private:
    PlaylistModel *m_model;
    QList<QPersistentModelIndex> m_indexes;
    QStringList m_paths;
};

} // namespace

PlaylistFileCommands::PlaylistFileCommands(PlaylistWindow &window) : m_window(window) {}

void PlaylistFileCommands::fillReport()
{
    // The export and print table, never shown: made at its first use (an item view costs memory).
    ReportListView *&AdvListView = m_window.AdvListView;
    if (!AdvListView) {
        AdvListView = new ReportListView(&m_window);
        AdvListView->setFixedSize(0, 0);
        AdvListView->hide();
        AdvListView->setFont(QFont(QStringLiteral("Arial")));
        AdvListView->setTitle(QStringLiteral("Vorlan PlayList"));
        AdvListView->setColumns({QStringLiteral("Track"), QStringLiteral("Song"), QStringLiteral("Length")});
        AdvListView->setCellStyle([](int, int column, HtmlCellStyle &style) { style.bold = column == 1; });
    }
    AdvListView->setRows(playlistHtmlTable(*m_window.m_model).rows());
}

bool PlaylistFileCommands::runReport(const QString &busyTitle, const std::function<bool(QString *)> &work,
                                     const QString &failure)
{
    if (m_inReport)
        return false;
    m_inReport = true;
    m_window.setEnabled(false);
    m_window.setTitleText(busyTitle);
    fillReport();
    QString error;
    const bool ok = work(&error);
    m_window.AdvListView->clearRows();
    m_window.setEnabled(true);
    m_window.setTitleText(PlaylistWindow::TitleText);
    m_inReport = false;
    if (!ok)
        m_window.warn(failure + QLatin1Char('\n') + error);
    return ok;
}

bool PlaylistFileCommands::exportHtml(const QString &path)
{
    return runReport(
        PlaylistWindow::HtmlTitleText,
        [&](QString *error) { return m_window.AdvListView->saveToHtml(path, error); },
        PlaylistWindow::tr("The HTML file \"%1\" could not be created:").arg(QDir::toNativeSeparators(path)));
}

bool PlaylistFileCommands::printPlaylist(QPrinter *printer)
{
    if (!printer && !ReportListView::printerAvailable()) {
        m_window.warn(PlaylistWindow::tr("No printer is set up on this computer, so the playlist cannot be "
                                         "printed.\nAdd a printer in the system settings and try again."));
        return false;
    }
    return runReport(
        PlaylistWindow::PrintTitleText,
        [&](QString *error) {
            ReportListView *report = m_window.AdvListView;
            return printer ? report->print(printer, error) : report->printToDefaultPrinter(error);
        },
        PlaylistWindow::tr("The playlist could not be printed:"));
}

// --- Files of the selected entries ----------------------------------------------------------------------

void PlaylistFileCommands::chooseFolderAndRun(PlaylistWindow::FileCommand command)
{
    if (m_window.m_model->count() == 0)
        return;
    QString folder;
    if (command != PlaylistWindow::DeleteSelection) {
        const std::function<QString()> &startDir = m_window.m_addFilesDir;
        folder = m_window.m_prompts.chooseFolder(PlaylistWindow::FolderDialogTitle,
                                                 startDir ? startDir() : QString());
        if (folder.isEmpty())
            return;
    }
    runFileCommand(command, folder);
}

FileOperations::Result PlaylistFileCommands::runFileCommand(PlaylistWindow::FileCommand command,
                                                            const QString &folder)
{
    PlaylistModel *const model = m_window.m_model;
    const PlaylistWindow::Prompts &prompts = m_window.m_prompts;
    // The dialogs below run the event loop: the player may move on or the user click meanwhile, so the
    // entries whose files go are the ones selected now, not the ones selected afterwards.
    const HeldEntries held(model, model->selectedEntries());
    QStringList sources;
    for (const QString &path : held.paths()) {
        // Streams have no file, and an entry listed twice is handled once.
        if (!PlaylistModel::IsStreamUrl(path) && !sources.contains(path))
            sources << path;
    }
    // Files leave for the trash only after the same question the add-files window asks.
    if (command == PlaylistWindow::DeleteSelection && !sources.isEmpty() &&
        !prompts.confirm(AddFilesWindow::DeleteTitle, AddFilesWindow::trashQuestion(sources)))
        return {};

    FileOperations ops;
    ops.setOverwritePrompt(prompts.overwrite);
    std::unique_ptr<QProgressDialog> progress;
    if (sources.size() > 1) {
        progress = std::make_unique<QProgressDialog>(&m_window);
        progress->setWindowTitle(QStringLiteral("Vorlan"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(400);
        progress->setRange(0, int(sources.size()));
        progress->setAutoClose(true);
        progress->setAutoReset(false);
        ops.setProgress([&progress, command](int done, int total, const QString &current) {
            static const char *verbs[] = {"Copying", "Moving", "Deleting"};
            if (done < total)
                progress->setLabelText(
                    QStringLiteral("%1 %2 ...")
                        .arg(QLatin1String(verbs[command]), QFileInfo(current).fileName()));
            progress->setValue(done);
            return !progress->wasCanceled();
        });
    }

    FileOperations::Result result;
    if (!sources.isEmpty()) {
        switch (command) {
        case PlaylistWindow::CopySelection:
            if (!folder.isEmpty())
                result = ops.copyFiles(sources, folder);
            break;
        case PlaylistWindow::MoveSelection:
            if (!folder.isEmpty())
                result = ops.moveFiles(sources, folder);
            break;
        case PlaylistWindow::DeleteSelection:
            result = ops.trashFiles(sources);
            break;
        }
    }
    progress.reset();

    model->removeMissingEntries(held.rows());

    if (!result.failed.isEmpty()) {
        QStringList lines = result.errors.mid(0, 10);
        if (result.errors.size() > 10)
            lines << PlaylistWindow::tr("... and %1 more.").arg(result.errors.size() - 10);
        static const char *what[] = {"copied", "moved", "moved to the trash"};
        m_window.warn(PlaylistWindow::tr("%1 of the files could not be %2:\n")
                          .arg(result.failed.size())
                          .arg(QLatin1String(what[command])) +
                      lines.join(QLatin1Char('\n')));
    }
    return result;
}
