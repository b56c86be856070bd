#include "widgets/ReportListView.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <numeric>

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
    QList<qreal> widths = natural;
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    if (widths.isEmpty() || total <= pageWidth)
        return widths;
    // Narrow columns (numbers, lengths) keep their width; the widest are cut to one common cap so that the
    // sum fits.
    QList<qreal> sorted = widths;
    std::sort(sorted.begin(), sorted.end());
    qreal rest = std::max<qreal>(pageWidth, 0);
    qreal cap = 0;
    for (int i = 0; i < sorted.size(); ++i) {
        const qreal share = rest / qreal(sorted.size() - i);
        if (sorted.at(i) > share) {
            cap = share;
            break;
        }
        rest -= sorted.at(i);
    }
    for (qreal &w : widths)
        w = std::min(w, cap);
    return widths;
}

bool ReportListView::print(QPrinter *printer, QString *error) const
{
    const QStringList captions = columns();
    const QList<QStringList> cells = rows();
    if (!printer || captions.isEmpty() || cells.isEmpty())
        return true;

    printer->setDocName(m_title);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(printer)) {
        if (error)
            *error = tr("The printer \"%1\" could not be started.").arg(printer->printerName());
        return false;
    }
    const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());

    QFont body(m_printFont, painter.device());
    QFont bold = body;
    bold.setBold(true);
    const QFontMetricsF fm(body, painter.device());
    const QFontMetricsF fmBold(bold, painter.device());
    const qreal gap = fm.averageCharWidth();
    const qreal rowHeight = std::max(fm.height(), fmBold.height());

    QList<qreal> natural;
    for (int c = 0; c < captions.size(); ++c) {
        qreal w = fmBold.horizontalAdvance(captions.at(c));
        for (const QStringList &row : cells) {
            if (c < row.size())
                w = std::max(w, fmBold.horizontalAdvance(row.at(c)));
        }
        natural << w + gap;
    }
    const QList<qreal> widths = printColumnWidths(natural, page.width());

    auto drawRow = [&](qreal y, const QStringList &texts, auto styleOf) {
        qreal x = 0;
        for (int c = 0; c < captions.size(); ++c) {
            const HtmlCellStyle style = styleOf(c);
            const QRectF cell(x, y, widths.at(c), rowHeight);
            if (style.brush.isValid())
                painter.fillRect(cell, style.brush);
            QFont f = body;
            f.setBold(style.bold);
            f.setItalic(style.italic);
            painter.setFont(f);
            painter.setPen(style.font.isValid() ? style.font : QColor(Qt::black));
            const QFontMetricsF m(f, painter.device());
            const QRectF textBox = cell.adjusted(0, 0, -gap, 0);
            const QString text = c < texts.size() ? texts.at(c) : QString();
            painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                             m.elidedText(text, Qt::ElideRight, std::max<qreal>(textBox.width(), 0)));
            x += widths.at(c);
        }
    };

    qreal y = 0;
    // The header goes on the first page only.
    drawRow(y, captions, [](int) {
        HtmlCellStyle s;
        s.bold = true;
        return s;
    });
    y += rowHeight;
    for (int r = 0; r < cells.size(); ++r) {
        if (y + rowHeight > page.height() && y > 0) {
            if (!printer->newPage()) {
                painter.end();
                if (error)
                    *error = tr("A new page could not be started on the printer \"%1\".")
                                 .arg(printer->printerName());
                return false;
            }
            y = 0;
        }
        drawRow(y, cells.at(r), [&](int c) {
            HtmlCellStyle s;
            if (m_style)
                m_style(r, c, s);
            return s;
        });
        y += rowHeight;
    }
    if (!painter.end()) {
        if (error)
            *error = tr("The print job \"%1\" could not be finished.").arg(m_title);
        return false;
    }
    return true;
}

bool ReportListView::printerAvailable()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool ReportListView::printToDefaultPrinter(QString *error) const
{
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        if (error)
            *error = tr("No printer is set up on this computer, so \"%1\" cannot be printed.\n"
                        "Add a printer in the system settings and try again.")
                         .arg(m_title);
        return false;
    }
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        info = printers.first();
    QPrinter printer(info, QPrinter::HighResolution);
    return print(&printer, error);
}
