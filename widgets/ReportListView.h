#pragma once
// A list of rows in report form (a caption column and sub-item columns) that can also be written as an HTML
// table and printed as a plain table. The statistics window shows one; the playlist keeps a hidden one that
// it fills just before an export or a print. The cell style callback is asked for every cell, so the list,
// the HTML page and the paper show the same bold, italic and colours.
#include "widgets/HtmlTableWriter.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

class QPrinter;
struct ReportPrintJob;

class ReportListView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ReportListView(QWidget *parent = nullptr);

    // Column captions; the first column holds the item caption. Removes the rows.
    void setColumns(const QStringList &captions);
    QStringList columns() const;

    // Rows of cell texts (first the caption, then the sub-items); missing cells are empty, extra cells are
    // dropped. setRows replaces the rows, addRow appends one.
    void setRows(const QList<QStringList> &rows);
    void addRow(const QStringList &cells);
    void clearRows();
    int rowCount() const { return topLevelItemCount(); }
    // Cell texts of a row in the order shown (after any sorting of the view).
    QStringList rowTexts(int row) const;
    QList<QStringList> rows() const;

    // row: 0-based in the order shown; column: 0 for the caption column. Applied to the rows at once and to
    // every row added later; call applyCellStyles() after the view was sorted.
    void setCellStyle(HtmlTableWriter::CellStyle style);
    HtmlTableWriter::CellStyle cellStyle() const { return m_style; }
    void applyCellStyles();

    // The title names the print job ("Vorlan PlayList", "Vorlan Statistics"); it is not printed.
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }

    // The font of the printed table; "MS Sans Serif" at 8 points unless set.
    QFont printFont() const { return m_printFont; }
    void setPrintFont(const QFont &font) { m_printFont = font; }

    // The rows as the HTML table writer sees them.
    HtmlTableWriter htmlTable() const;
    // Writes the table; no file is created when there are no columns or no rows. False with *error set when
    // the file cannot be written.
    bool saveToHtml(const QString &path, QString *error = nullptr) const;

    // One print job named after the title, portrait, no title, date or page lines, no borders, the header
    // once on the first page, columns cut (never scaled) to fit the page width. Nothing is printed without
    // rows. False with *error set when the printer cannot be started or a page cannot be added, or when the
    // printing module (loaded at the first print) cannot be loaded.
    bool print(QPrinter *printer, QString *error = nullptr) const;
    // Whether the system knows any printer at all.
    static bool printerAvailable();
    // print() on the default printer (the first printer when none is the default). Without any printer it
    // prints nothing and explains that in *error.
    bool printToDefaultPrinter(QString *error = nullptr) const;

    // Width of each printed column in device pixels: the widest text of the column plus a small gap, with
    // the widest columns cut down so that all fit into pageWidth.
    static QList<qreal> printColumnWidths(const QList<qreal> &natural, qreal pageWidth);

private:
    ReportPrintJob printJob() const;
    void styleItem(QTreeWidgetItem *item, int row) const;

    QString m_title;
    QFont m_printFont;
    HtmlTableWriter::CellStyle m_style;
};
