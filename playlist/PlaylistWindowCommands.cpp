// The playlist window's commands that work on more than the list: the HTML report, printing, and copying,
// moving or deleting the selected songs' files.
#include "playlist/AddFilesWindow.h"
#include "playlist/HtmlTableWriter.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistWindow.h"
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

void PlaylistWindow::fillReport()
{
    // The export and print table, never shown: made at its first use (an item view costs memory).
    if (!AdvListView) {
        AdvListView = new ReportListView(this);
        AdvListView->setFixedSize(0, 0);
        AdvListView->hide();
        AdvListView->setFont(QFont(QStringLiteral("Arial")));
        AdvListView->setTitle(QStringLiteral("Vorlan PlayList"));
        AdvListView->setColumns({QStringLiteral("Track"), QStringLiteral("Song"), QStringLiteral("Length")});
        AdvListView->setCellStyle([](int, int column, HtmlCellStyle &style) { style.bold = column == 1; });
    }
    AdvListView->setRows(playlistHtmlTable(*m_model).rows());
}

bool PlaylistWindow::runReport(const QString &busyTitle, const std::function<bool(QString *)> &work,
                               const QString &failure)
{
    if (m_inReport)
        return false;
    m_inReport = true;
    setEnabled(false);
    setTitleText(busyTitle);
    fillReport();
    QString error;
    const bool ok = work(&error);
    AdvListView->clearRows();
    setEnabled(true);
    setTitleText(TitleText);
    m_inReport = false;
    if (!ok)
        warn(failure + QLatin1Char('\n') + error);
    return ok;
}

bool PlaylistWindow::exportHtml(const QString &path)
{
    return runReport(
        HtmlTitleText, [&](QString *error) { return AdvListView->saveToHtml(path, error); },
        tr("The HTML file \"%1\" could not be created:").arg(QDir::toNativeSeparators(path)));
}

void PlaylistWindow::PrintClick()
{
    printPlaylist(nullptr);
}

bool PlaylistWindow::printPlaylist(QPrinter *printer)
{
    if (!printer && !ReportListView::printerAvailable()) {
        warn(tr("No printer is set up on this computer, so the playlist cannot be printed.\n"
                "Add a printer in the system settings and try again."));
        return false;
    }
    return runReport(
        PrintTitleText,
        [&](QString *error) {
            return printer ? AdvListView->print(printer, error) : AdvListView->printToDefaultPrinter(error);
        },
        tr("The playlist could not be printed:"));
}

// --- Files of the selected entries
// ----------------------------------------------------------------------------

void PlaylistWindow::CopyselectionClick(FileCommand command)
{
    if (m_model->count() == 0)
        return;
    QString folder;
    if (command != DeleteSelection) {
        folder = m_prompts.chooseFolder(FolderDialogTitle, m_addFilesDir ? m_addFilesDir() : QString());
        if (folder.isEmpty())
            return;
    }
    runFileCommand(command, folder);
}

FileOperations::Result PlaylistWindow::runFileCommand(FileCommand command, const QString &folder)
{
    // The dialogs below run the event loop: the player may move on or the user click meanwhile, so the
    // entries whose files go are the ones selected now, not the ones selected afterwards.
    const HeldEntries held(m_model, m_model->selectedEntries());
    QStringList sources;
    for (const QString &path : held.paths()) {
        // Streams have no file, and an entry listed twice is handled once.
        if (!PlaylistModel::IsStreamUrl(path) && !sources.contains(path))
            sources << path;
    }
    // Files leave for the trash only after the same question the add-files window asks.
    if (command == DeleteSelection && !sources.isEmpty() &&
        !m_prompts.confirm(AddFilesWindow::DeleteTitle, AddFilesWindow::trashQuestion(sources)))
        return {};

    FileOperations ops;
    ops.setOverwritePrompt(m_prompts.overwrite);
    std::unique_ptr<QProgressDialog> progress;
    if (sources.size() > 1) {
        progress = std::make_unique<QProgressDialog>(this);
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
        case CopySelection:
            if (!folder.isEmpty())
                result = ops.copyFiles(sources, folder);
            break;
        case MoveSelection:
            if (!folder.isEmpty())
                result = ops.moveFiles(sources, folder);
            break;
        case DeleteSelection:
            result = ops.trashFiles(sources);
            break;
        }
    }
    progress.reset();

    m_model->removeMissingEntries(held.rows());

    if (!result.failed.isEmpty()) {
        QStringList lines = result.errors.mid(0, 10);
        if (result.errors.size() > 10)
            lines << tr("... and %1 more.").arg(result.errors.size() - 10);
        static const char *what[] = {"copied", "moved", "moved to the trash"};
        warn(tr("%1 of the files could not be %2:\n")
                 .arg(result.failed.size())
                 .arg(QLatin1String(what[command])) +
             lines.join(QLatin1Char('\n')));
    }
    return result;
}
