#include "widgets/ReportListView.h"

#include "widgets/PrintModule.h"
#include "widgets/ReportPrinting.h"

#include <QHeaderView>

ReportListView::ReportListView(QWidget *parent)
    : QTreeWidget(parent), m_printFont(QStringLiteral("MS Sans Serif"))
{
    m_printFont.setPointSize(8);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAllColumnsShowFocus(true);
}

void ReportListView::setColumns(const QStringList &captions)
{
    clear();
    setColumnCount(int(captions.size()));
    setHeaderLabels(captions);
}

QStringList ReportListView::columns() const
{
    QStringList captions;
    const QTreeWidgetItem *header = headerItem();
    for (int c = 0; c < columnCount(); ++c)
        captions << (header ? header->text(c) : QString());
    return captions;
}

void ReportListView::setRows(const QList<QStringList> &rows)
{
    clear();
    const int columns = columnCount();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        auto *item = new QTreeWidgetItem;
        const QStringList &cells = rows.at(r);
        for (int c = 0; c < columns && c < cells.size(); ++c)
            item->setText(c, cells.at(c));
        // Styled before they join the view: one insertion instead of a change signal per cell.
        styleItem(item, r);
        items << item;
    }
    addTopLevelItems(items);
}

void ReportListView::addRow(const QStringList &cells)
{
    auto *item = new QTreeWidgetItem;
    for (int c = 0; c < columnCount() && c < cells.size(); ++c)
        item->setText(c, cells.at(c));
    styleItem(item, topLevelItemCount());
    addTopLevelItem(item);
}

void ReportListView::clearRows()
{
    clear();
}

QStringList ReportListView::rowTexts(int row) const
{
    const QTreeWidgetItem *item = topLevelItem(row);
    if (!item)
        return {};
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c)
        cells << item->text(c);
    return cells;
}

QList<QStringList> ReportListView::rows() const
{
    QList<QStringList> all;
    all.reserve(topLevelItemCount());
    for (int r = 0; r < topLevelItemCount(); ++r)
        all << rowTexts(r);
    return all;
}

void ReportListView::setCellStyle(HtmlTableWriter::CellStyle style)
{
    m_style = std::move(style);
    applyCellStyles();
}

void ReportListView::applyCellStyles()
{
    for (int r = 0; r < topLevelItemCount(); ++r)
        styleItem(topLevelItem(r), r);
}

void ReportListView::styleItem(QTreeWidgetItem *item, int row) const
{
    if (!m_style)
        return;
    for (int c = 0; c < columnCount(); ++c) {
        HtmlCellStyle style;
        m_style(row, c, style);
        QFont f = font();
        f.setBold(style.bold);
        f.setItalic(style.italic);
        item->setFont(c, f);
        item->setForeground(c, style.font.isValid() ? QBrush(style.font) : QBrush());
        item->setBackground(c, style.brush.isValid() ? QBrush(style.brush) : QBrush());
    }
}

HtmlTableWriter ReportListView::htmlTable() const
{
    HtmlTableWriter table(columns());
    table.setRows(rows());
    table.setCellStyle(m_style);
    return table;
}

bool ReportListView::saveToHtml(const QString &path, QString *error) const
{
    return htmlTable().write(path, error);
}

QList<qreal> ReportListView::printColumnWidths(const QList<qreal> &natural, qreal pageWidth)
{
    return fitReportColumns(natural, pageWidth);
}

ReportPrintJob ReportListView::printJob() const
{
    return {m_title, m_printFont, columns(), rows(), m_style};
}

bool ReportListView::print(QPrinter *printer, QString *error) const
{
    const ReportPrintJob job = printJob();
    if (!printer || job.captions.isEmpty() || job.cells.isEmpty())
        return true;
    return PrintModule::print(job, printer, error);
}

bool ReportListView::printerAvailable()
{
    return PrintModule::printerAvailable();
}

bool ReportListView::printToDefaultPrinter(QString *error) const
{
    return PrintModule::printOnDefaultPrinter(printJob(), error);
}
