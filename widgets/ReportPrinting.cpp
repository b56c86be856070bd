#include "widgets/ReportPrinting.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace
{

// The texts belong to the report list view.
QString tr(const char *text)
{
    return QCoreApplication::translate("ReportListView", text);
}

} // namespace

bool vorlanPrintReport(const ReportPrintJob *job, QPrinter *printer, QString *error)
{
    const QStringList &captions = job->captions;
    const QList<QStringList> &cells = job->cells;
    if (!printer || captions.isEmpty() || cells.isEmpty())
        return true;

    printer->setDocName(job->title);
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(printer)) {
        if (error)
            *error = tr("The printer \"%1\" could not be started.").arg(printer->printerName());
        return false;
    }
    const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());

    QFont body(job->font, painter.device());
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
    const QList<qreal> widths = fitReportColumns(natural, page.width());

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
            if (job->style)
                job->style(r, c, s);
            return s;
        });
        y += rowHeight;
    }
    if (!painter.end()) {
        if (error)
            *error = tr("The print job \"%1\" could not be finished.").arg(job->title);
        return false;
    }
    return true;
}

bool vorlanPrinterAvailable()
{
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool vorlanPrintReportOnDefaultPrinter(const ReportPrintJob *job, QString *error)
{
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty()) {
        if (error)
            *error = tr("No printer is set up on this computer, so \"%1\" cannot be printed.\n"
                        "Add a printer in the system settings and try again.")
                         .arg(job->title);
        return false;
    }
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        info = printers.first();
    QPrinter printer(info, QPrinter::HighResolution);
    return vorlanPrintReport(job, &printer, error);
}
