#pragma once
// Printing of a report list, in a module of its own: the print support library (and the print system's
// plugins it loads) comes in only when a user prints.
#include "widgets/HtmlTableWriter.h"

#include <QFont>
#include <algorithm>
#include <numeric>

class QPrinter;

// What the module needs of a report: the shown texts and how they are drawn.
struct ReportPrintJob {
    QString title;
    QFont font;
    QStringList captions;
    QList<QStringList> cells;
    HtmlTableWriter::CellStyle style;
};

// Narrow columns (numbers, lengths) keep their width; the widest are cut to one common cap so that the sum
// fits into pageWidth.
inline QList<qreal> fitReportColumns(const QList<qreal> &natural, qreal pageWidth)
{
    QList<qreal> widths = natural;
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    if (widths.isEmpty() || total <= pageWidth)
        return widths;
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

// The module's entry points, looked up by name.
extern "C" {
Q_DECL_EXPORT bool vorlanPrintReport(const ReportPrintJob *job, QPrinter *printer, QString *error);
Q_DECL_EXPORT bool vorlanPrintReportOnDefaultPrinter(const ReportPrintJob *job, QString *error);
Q_DECL_EXPORT bool vorlanPrinterAvailable();
}
