#include "player/StatisticsWindow.h"

#include "platform/ExePath.h"
#include "player/Statistics.h"
#include "playlist/PlaylistModel.h"
#include "widgets/FlatButton.h"
#include "widgets/ReportListView.h"
#include "widgets/TFountainFill.h"
#include "widgets/WindowBackground.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

const QString StatisticsWindow::Caption = QStringLiteral("Statistics");
const QString StatisticsWindow::ClearTitle = QStringLiteral("Vorlan - Statistics");
const QString StatisticsWindow::ClearText = QStringLiteral("All data on the statistics, will be reset..");
const QString StatisticsWindow::PrintTitle = QStringLiteral("Vorlan Statistics");
const QString StatisticsWindow::HtmlFileName = QStringLiteral("Statistics.html");
const QString StatisticsWindow::HtmlFilter = QStringLiteral("Web file (*.htm *.html)");

namespace
{

// Cells that hold a web address or a mail address look like links.
class LinkDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!Statistics::isLink(option->text))
            return;
        option->font.setUnderline(true);
        const QColor link = option->palette.color(QPalette::Link);
        option->palette.setColor(QPalette::Text, link);
    }
};

bool askOkCancel(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::warning(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}

void warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text);
}

QString chooseHtmlFile(QWidget *parent, const QString &suggested)
{
    QFileDialog dialog(parent, QStringLiteral("Save as HTML..."), suggested, StatisticsWindow::HtmlFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void openLink(const QString &text)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(text.trimmed()));
}

bool printOnDefaultPrinter(const ReportListView &table, QString *error)
{
    return table.printToDefaultPrinter(error);
}

} // namespace

StatisticsWindow::StatisticsWindow(Statistics *statistics, PlaylistModel *playlist, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_stats(statistics), m_playlist(playlist),
      m_report(new ReportListView(this)), m_background(WindowBackground::install(this)),
      m_file(ExePath() + Statistics::FileName), m_prompt(askOkCancel), m_notice(warn),
      m_chooser(chooseHtmlFile), m_openLink(openLink), m_print(printOnDefaultPrinter)
{
    setObjectName(QStringLiteral("Statistics"));
    setWindowTitle(Caption);

    // The export and print table: never shown, filled just before use.
    m_report->hide();
    m_report->setTitle(PrintTitle);
    m_report->setColumns({QStringLiteral("Song Name"), QStringLiteral("Number"), QStringLiteral("Path")});
    m_report->setCellStyle([](int, int column, HtmlCellStyle &style) { style.bold = column == 0; });

    QFont bold = font();
    bold.setBold(true);
    auto *layout = new QVBoxLayout(m_background);
    layout->setContentsMargins(8, 4, 8, 8);
    layout->setSpacing(4);

    Heading = new QLabel(Caption, m_background);
    Heading->setObjectName(QStringLiteral("Heading"));
    Heading->setFont(bold);
    Heading->setAttribute(Qt::WA_TransparentForMouseEvents);
    ExitBtn = new FlatButton(QStringLiteral("X"), m_background);
    ExitBtn->setObjectName(QStringLiteral("ExitBtn"));
    ExitBtn->setToolTip(QStringLiteral("Close."));
    ExitBtn->setFont(bold);
    ExitBtn->setFixedSize(18, 16);
    connect(ExitBtn, &FlatButton::clicked, this, &QWidget::close);
    auto *top = new QHBoxLayout;
    top->addWidget(Heading, 1);
    top->addWidget(ExitBtn);
    layout->addLayout(top);

    StatBox = new QTreeView(m_background);
    StatBox->setObjectName(QStringLiteral("StatBox"));
    StatBox->setModel(m_stats);
    StatBox->setRootIsDecorated(false);
    StatBox->setUniformRowHeights(true);
    StatBox->setAllColumnsShowFocus(true);
    StatBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    StatBox->setSelectionBehavior(QAbstractItemView::SelectRows);
    StatBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StatBox->setItemDelegate(new LinkDelegate(StatBox));
    StatBox->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *header = StatBox->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(true);
    header->resizeSection(0, 200);
    // At least wide enough for its heading in the fonts of this desktop.
    header->resizeSection(
        1, std::max(57, header->fontMetrics().horizontalAdvance(QStringLiteral("Number")) + 16));
    header->resizeSection(2, 115);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    showSortIndicator();
    connect(header, &QHeaderView::sectionClicked, this, &StatisticsWindow::headerClicked);
    connect(StatBox, &QTreeView::clicked, this, &StatisticsWindow::cellClicked);
    connect(StatBox, &QTreeView::doubleClicked, this, &StatisticsWindow::TransparentButton2Click);
    layout->addWidget(StatBox, 1);

    PopupMenu = new QMenu(this);
    SaveasHTML1 =
        PopupMenu->addAction(QStringLiteral("Save as HTML..."), this, &StatisticsWindow::SaveasHTML1Click);
    Print1 = PopupMenu->addAction(QStringLiteral("Print"), this, &StatisticsWindow::PrintClick);
    PopupMenu->addSeparator();
    SelectAll1 = PopupMenu->addAction(QStringLiteral("Select All"), this, &StatisticsWindow::selectAllSongs);
    InvertSelection1 =
        PopupMenu->addAction(QStringLiteral("Invert Selection"), this, &StatisticsWindow::invertSelection);
    UnSelectAll1 =
        PopupMenu->addAction(QStringLiteral("UnSelect All"), this, &StatisticsWindow::unselectAllSongs);
    PopupMenu->addSeparator();
    Clear1 = PopupMenu->addAction(QStringLiteral("Clear Statistics"), this, &StatisticsWindow::ClearClick);
    connect(StatBox, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu->popup(StatBox->viewport()->mapToGlobal(pos)); });

    TransparentButton2 = new FlatButton(QStringLiteral("Move Selected To The Play List"), m_background);
    TransparentButton2->setObjectName(QStringLiteral("TransparentButton2"));
    TransparentButton1 = new FlatButton(QStringLiteral("Delete Selected Songs"), m_background);
    TransparentButton1->setObjectName(QStringLiteral("TransparentButton1"));
    connect(TransparentButton2, &FlatButton::clicked, this, &StatisticsWindow::TransparentButton2Click);
    connect(TransparentButton1, &FlatButton::clicked, this, &StatisticsWindow::TransparentButton1Click);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(TransparentButton2);
    buttons->addStretch(1);
    buttons->addWidget(TransparentButton1);
    layout->addLayout(buttons);

    setColors(WindowBackground::DefaultColor, WindowBackground::DarkEnd);
    resize(420, 320);
}

void StatisticsWindow::setColors(const QColor &from, const QColor &to)
{
    // The gradient starts at the first colour and keeps its own dark end, so the white buttons stay readable
    // whatever the second colour is; the heading takes the second colour.
    WindowBackground::setColor(m_background, from);
    QPalette pal = Heading->palette();
    pal.setColor(QPalette::WindowText, to);
    Heading->setPalette(pal);
    for (FlatButton *button : {ExitBtn, TransparentButton1, TransparentButton2})
        button->setTextColor(Qt::white);
}

QList<int> StatisticsWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : StatBox->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

const ReportListView &StatisticsWindow::fillReport()
{
    QList<QStringList> rows;
    rows.reserve(m_stats->rowCount());
    for (int r = 0; r < m_stats->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < Statistics::ColumnCount; ++c)
            cells << m_stats->data(m_stats->index(r, c)).toString();
        rows << cells;
    }
    m_report->setRows(rows);
    return *m_report;
}

void StatisticsWindow::TransparentButton2Click()
{
    if (!m_playlist)
        return;
    m_playlist->addFiles(m_stats->pathsForPlaylist(selectedRows()));
}

void StatisticsWindow::TransparentButton1Click()
{
    m_stats->removeEntries(selectedRows());
}

void StatisticsWindow::SaveasHTML1Click()
{
    const QString suggested = QFileInfo(m_file).absolutePath() + QLatin1Char('/') + HtmlFileName;
    QString path = m_chooser ? m_chooser(this, suggested) : QString();
    if (path.isEmpty())
        return;
    QString error;
    if (!fillReport().saveToHtml(path, &error) && m_notice)
        m_notice(this, ClearTitle, error);
}

void StatisticsWindow::PrintClick()
{
    QString error;
    if (m_print && !m_print(fillReport(), &error) && m_notice && !error.isEmpty())
        m_notice(this, ClearTitle, error);
}

void StatisticsWindow::selectAllSongs()
{
    StatBox->selectAll();
}

void StatisticsWindow::invertSelection()
{
    const int rows = m_stats->rowCount();
    if (rows == 0)
        return;
    const QItemSelection all(m_stats->index(0, 0), m_stats->index(rows - 1, Statistics::ColumnCount - 1));
    StatBox->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void StatisticsWindow::unselectAllSongs()
{
    StatBox->clearSelection();
}

void StatisticsWindow::ClearClick()
{
    if (!m_prompt || !m_prompt(this, ClearTitle, ClearText))
        return;
    m_stats->clearStatistics(m_file);
}

void StatisticsWindow::headerClicked(int column)
{
    m_stats->headerClicked(column);
    showSortIndicator();
}

void StatisticsWindow::showSortIndicator()
{
    // The header shows the list's own order, not the header's guess of it.
    StatBox->header()->setSortIndicator(m_stats->sortColumn(), m_stats->sortOrder());
}

void StatisticsWindow::cellClicked(const QModelIndex &index)
{
    // A plain click: Ctrl and Shift clicks only change the selection.
    if (QGuiApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return;
    const QString text = index.data().toString();
    if (Statistics::isLink(text) && m_openLink)
        m_openLink(text);
}
