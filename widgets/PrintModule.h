#pragma once
// The printing module (libvorlan-print.so, widgets/ReportPrinting.h), loaded at the first print. Without it
// nothing prints, and error (when given) says why.
class QPrinter;
class QString;
struct ReportPrintJob;

class PrintModule
{
public:
    static bool print(const ReportPrintJob &job, QPrinter *printer, QString *error);
    static bool printOnDefaultPrinter(const ReportPrintJob &job, QString *error);
    static bool printerAvailable();
};
