#include "widgets/ReportListView.h"
#include "platform/SystemColors.h"
#include "tests/TestMain.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

namespace
{

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The text of some pages of a PDF file, as pdftotext reads it.
QString pdfText(const QString &pdf, int firstPage = 0, int lastPage = 0)
{
    QStringList args;
    if (firstPage > 0)
        args << "-f" << QString::number(firstPage) << "-l" << QString::number(lastPage);
    args << "-layout" << pdf << "-";
    QProcess p;
    p.start("pdftotext", args);
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfInfo(const QString &pdf)
{
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

void statisticsLike(ReportListView &view)
{
    view.setTitle("Vorlan Statistics");
    view.setColumns({"Song Name", "Number", "Path"});
    view.setCellStyle([](int row, int column, HtmlCellStyle &style) {
        style.bold = column == 0;
        if (row == 1 && column == 2) {
            style.italic = true;
            style.font = QColor(0, 0, 255);
        }
    });
}

} // namespace

class ReportListViewTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsHoldOneTextPerColumn()
    {
        ReportListView view;
        view.setColumns({"Track", "Song", "Length"});
        QCOMPARE(view.columns(), QStringList({"Track", "Song", "Length"}));
        view.setRows({{"1", "A - B", "03:00"}, {"2", "http://radio"}, {"3", "C", "01:00", "extra"}});
        view.addRow({"4", "D", "00:10"});
        QCOMPARE(view.rowCount(), 4);
        QCOMPARE(view.rowTexts(1), QStringList({"2", "http://radio", ""}));
        QCOMPARE(view.rowTexts(2), QStringList({"3", "C", "01:00"}));
        QCOMPARE(view.rows().last(), QStringList({"4", "D", "00:10"}));
        QCOMPARE(view.rowTexts(7), QStringList());
        view.clearRows();
        QCOMPARE(view.rowCount(), 0);
        QCOMPARE(view.columns().size(), 3);
    }

    void styleShowsInTheListAndThePage()
    {
        ReportListView view;
        statisticsLike(view);
        view.setRows({{"Artist - Song", "3", "/music/a.mp3"}, {"Live", "1", "http://radio/live"}});
        QVERIFY(view.topLevelItem(0)->font(0).bold());
        QVERIFY(!view.topLevelItem(0)->font(1).bold());
        QVERIFY(view.topLevelItem(1)->font(2).italic());
        QCOMPARE(view.topLevelItem(1)->foreground(2).color(), QColor(0, 0, 255));

        const QString header = " BGCOLOR=\"#" +
                               SystemColors::htmlHex(SystemColors::systemColor(SystemColors::ActiveBorder)) +
                               "\"";
        const QStringList expected{"<meta charset=\"utf-8\">",
                                   "<table border=1>",
                                   "<tr>",
                                   "<td nowrap" + header + "><B>Song Name</B></td>",
                                   "<td nowrap" + header + "><B>Number</B></td>",
                                   "<td nowrap" + header + "><B>Path</B></td>",
                                   "</tr>",
                                   "<tr>",
                                   "<td nowrap><B>Artist - Song</B></td>",
                                   "<td nowrap>3</td>",
                                   "<td nowrap>/music/a.mp3</td>",
                                   "</tr>",
                                   "<tr>",
                                   "<td nowrap><B>Live</B></td>",
                                   "<td nowrap>1</td>",
                                   "<td nowrap><font color=\"#0000FF\"><I>http://radio/live</I></font></td>",
                                   "</tr>",
                                   "</table><p>"};
        const QString page = vorlantest::tempDir() + "/statistics.html";
        QString error;
        QVERIFY(view.saveToHtml(page, &error));
        QCOMPARE(readFile(page), (expected.join("\r\n") + "\r\n").toUtf8());
    }

    void htmlNothingForAnEmptyTableAndErrorsReported()
    {
        const QString dir = vorlantest::tempDir();
        ReportListView view;
        view.setColumns({"Track", "Song", "Length"});
        QString error;
        QVERIFY(view.saveToHtml(dir + "/empty.html", &error));
        QVERIFY(!QFile::exists(dir + "/empty.html"));

        view.addRow({"1", "Song", "00:01"});
        QVERIFY(!view.saveToHtml(dir + "/no/such/folder/list.html", &error));
        QVERIFY(!error.isEmpty());
    }

    void printsEveryRowToPaper()
    {
        ReportListView view;
        statisticsLike(view);
        view.setRows(
            {{"Artist - First Song", "3", "/music/a.mp3"}, {"Other - Second & <Song>", "12", "/b.mp3"}});
        const QString pdf = vorlantest::tempDir() + "/statistics.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QString error;
        QVERIFY2(view.print(&printer, &error), qPrintable(error));
        const QString text = pdfText(pdf);
        for (const char *expected : {"Song Name", "Number", "Path", "Artist - First Song", "/music/a.mp3",
                                     "Other - Second & <Song>", "12"})
            QVERIFY2(text.contains(expected), expected);
        // The title names the job and is not printed.
        QVERIFY(!text.contains("Vorlan Statistics"));
        QVERIFY(pdfInfo(pdf).contains("Vorlan Statistics"));
        QVERIFY(pdfInfo(pdf).contains(QRegularExpression("Page size:\\s+595")) ||
                pdfInfo(pdf).contains(QRegularExpression("Page size:\\s+612"))); // A4 or Letter, portrait
    }

    void longListsGoOnNewPagesWithoutTheHeader()
    {
        ReportListView view;
        view.setTitle("Vorlan PlayList");
        view.setColumns({"Track", "Song", "Length"});
        QList<QStringList> rows;
        for (int i = 1; i <= 300; ++i)
            rows << QStringList{QString::number(i), QString("Song number %1").arg(i), "03:00"};
        view.setRows(rows);
        const QString pdf = vorlantest::tempDir() + "/long.pdf";
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(view.print(&printer));
        const QRegularExpression pages("Pages:\\s+(\\d+)");
        const int pageCount = pages.match(pdfInfo(pdf)).captured(1).toInt();
        QVERIFY2(pageCount >= 2, qPrintable(pdfInfo(pdf)));
        QVERIFY(pdfText(pdf, 1, 1).contains("Length"));
        const QString second = pdfText(pdf, 2, 2);
        QVERIFY(!second.contains("Length"));
        QVERIFY(pdfText(pdf).contains("Song number 300"));
    }

    void columnsAreCutNotScaled()
    {
        // Narrow columns keep their width; only the widest are cut so that all fit.
        QCOMPARE(ReportListView::printColumnWidths({10, 50, 20}, 100), QList<qreal>({10, 50, 20}));
        QCOMPARE(ReportListView::printColumnWidths({10, 500, 20}, 100), QList<qreal>({10, 70, 20}));
        QCOMPARE(ReportListView::printColumnWidths({10, 500, 400}, 100), QList<qreal>({10, 45, 45}));
        QCOMPARE(ReportListView::printColumnWidths({}, 100), QList<qreal>());
        const QList<qreal> none = ReportListView::printColumnWidths({10, 20}, 0);
        QCOMPARE(none, QList<qreal>({0, 0}));
    }

    void emptyTablePrintsNothing()
    {
        ReportListView view;
        view.setColumns({"Track"});
        const QString pdf = vorlantest::tempDir() + "/none.pdf";
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QVERIFY(view.print(&printer));
        QVERIFY(!QFile::exists(pdf));
    }

    void noPrinterIsExplained()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("this machine has a printer");
        ReportListView view;
        view.setTitle("Vorlan Statistics");
        view.setColumns({"Song Name"});
        view.addRow({"Song"});
        QVERIFY(!ReportListView::printerAvailable());
        QString error;
        QVERIFY(!view.printToDefaultPrinter(&error));
        QVERIFY(error.contains("printer"));
        QVERIFY(error.contains("Vorlan Statistics"));
    }
};

VORLAN_TEST_CLASS(ReportListViewTest)
#include "ReportListViewTest.moc"
