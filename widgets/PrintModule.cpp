#include "widgets/PrintModule.h"

#include "platform/Modules.h"
#include "widgets/ReportPrinting.h"

#include <QCoreApplication>

namespace
{

template <typename Function> Function *entry(const char *symbol, QString *error)
{
    Function *function = Modules::entry<Function>("vorlan-print", symbol);
    if (!function && error)
        *error = QCoreApplication::translate("ReportListView",
                                             "Printing is not available: its module could not be loaded.");
    return function;
}

} // namespace

bool PrintModule::print(const ReportPrintJob &job, QPrinter *printer, QString *error)
{
    const auto print = entry<decltype(vorlanPrintReport)>("vorlanPrintReport", error);
    return print && print(&job, printer, error);
}

bool PrintModule::printOnDefaultPrinter(const ReportPrintJob &job, QString *error)
{
    const auto print =
        entry<decltype(vorlanPrintReportOnDefaultPrinter)>("vorlanPrintReportOnDefaultPrinter", error);
    return print && print(&job, error);
}

bool PrintModule::printerAvailable()
{
    const auto available = entry<decltype(vorlanPrinterAvailable)>("vorlanPrinterAvailable", nullptr);
    return available && available();
}
