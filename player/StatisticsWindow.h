#pragma once
// The statistics window: how often each song was played to its end, in three columns ("Song Name" bold,
// "Number" centred, "Path"). Songs can be moved to the playlist, deleted from the list, exported as HTML and
// printed; the column headers sort. Borderless, dragged by its background, closed with "X". The list itself
// is the Statistics model, which the application owns, loads at start and saves at exit.
#include <QWidget>
#include <functional>

class FlatButton;
class PlaylistModel;
class QAction;
class QLabel;
class QMenu;
class QTreeView;
class ReportListView;
class Statistics;
class TFountainFill;

class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    // OK/Yes answers true.
    using Prompt = std::function<bool(QWidget *parent, const QString &title, const QString &text)>;
    using Notice = std::function<void(QWidget *parent, const QString &title, const QString &text)>;
    // The save dialog: the chosen file, empty when cancelled.
    using FileChooser = std::function<QString(QWidget *parent, const QString &suggested)>;
    using LinkOpener = std::function<void(const QString &text)>;
    // Prints the filled table; false with *error set when nothing could be printed.
    using Printer = std::function<bool(const ReportListView &table, QString *error)>;

    static const QString Caption;      // "Statistics"
    static const QString ClearTitle;   // "Vorlan - Statistics"
    static const QString ClearText;    // "All data on the statistics, will be reset.."
    static const QString PrintTitle;   // "Vorlan Statistics", the print job's name
    static const QString HtmlFileName; // "Statistics.html"
    static const QString HtmlFilter;   // the save dialog's "Web file" filter for ".htm" and ".html"

    explicit StatisticsWindow(Statistics *statistics, PlaylistModel *playlist = nullptr,
                              QWidget *parent = nullptr);

    void setPlaylist(PlaylistModel *playlist) { m_playlist = playlist; }
    // "Statistics.lst" in the player's folder unless set; "Clear Statistics" deletes it.
    QString statisticsFile() const { return m_file; }
    void setStatisticsFile(const QString &path) { m_file = path; }

    // Selected rows in list order.
    QList<int> selectedRows() const;
    // The hidden table that the HTML export and the print are made from, filled from the list as shown.
    const ReportListView &fillReport();

    void setColors(const QColor &from, const QColor &to);
    void setClearPrompt(Prompt prompt) { m_prompt = std::move(prompt); }
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }
    void setLinkOpener(LinkOpener opener) { m_openLink = std::move(opener); }
    void setPrinter(Printer printer) { m_print = std::move(printer); }

    // The controls, by their names, for the application and tests.
    QTreeView *StatBox = nullptr;
    FlatButton *TransparentButton1 = nullptr; // "Delete Selected Songs"
    FlatButton *TransparentButton2 = nullptr; // "Move Selected To The Play List"
    FlatButton *ExitBtn = nullptr;
    QLabel *Heading = nullptr;
    QMenu *PopupMenu = nullptr;
    QAction *SaveasHTML1 = nullptr;
    QAction *Print1 = nullptr;
    QAction *SelectAll1 = nullptr;
    QAction *InvertSelection1 = nullptr;
    QAction *UnSelectAll1 = nullptr;
    QAction *Clear1 = nullptr;

public slots:
    // "Move Selected To The Play List" and a double click: the selected songs' paths, from the last selected
    // row to the first, appended to the playlist.
    void TransparentButton2Click();
    // "Delete Selected Songs": the selected entries leave the list (the file changes at exit).
    void TransparentButton1Click();
    // "Save as HTML...": the save dialog, then the list as an HTML table.
    void SaveasHTML1Click();
    // "Print": the list on the default printer, as job "Vorlan Statistics".
    void PrintClick();
    void selectAllSongs();
    void invertSelection();
    void unselectAllSongs();
    // "Clear Statistics": after the warning, the list is emptied and "Statistics.lst" deleted.
    void ClearClick();

private:
    void headerClicked(int column);
    void cellClicked(const QModelIndex &index);
    void showSortIndicator();

    Statistics *m_stats;
    PlaylistModel *m_playlist;
    ReportListView *m_report;
    TFountainFill *m_background;
    QString m_file;
    Prompt m_prompt;
    Notice m_notice;
    FileChooser m_chooser;
    LinkOpener m_openLink;
    Printer m_print;
};
