#pragma once
// A table written as an HTML page fragment, the way the report list views of the playlist and the statistics
// export it: the UTF-8 charset declared first, then a header row in the colour of the active window border,
// one line per cell, CR LF after every line. Cell and caption texts are escaped ("&", "<", ">"), so a tag
// from a downloaded file cannot put markup into an exported page.
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// How one cell is drawn; an invalid colour means none.
struct HtmlCellStyle {
    QColor brush; // cell background
    QColor font;  // text colour
    bool bold = false;
    bool italic = false;
};

class HtmlTableWriter
{
public:
    // row: 0-based; column: 0 for the first column (the item caption), 1.. for the following ones.
    using CellStyle = std::function<void(int row, int column, HtmlCellStyle &style)>;

    HtmlTableWriter() = default;
    explicit HtmlTableWriter(QStringList captions) : m_captions(std::move(captions)) {}

    void setCaptions(const QStringList &captions) { m_captions = captions; }
    const QStringList &captions() const { return m_captions; }
    // One text per column; missing cells are empty, extra cells are ignored.
    void addRow(const QStringList &cells) { m_rows << cells; }
    void setRows(const QList<QStringList> &rows) { m_rows = rows; }
    const QList<QStringList> &rows() const { return m_rows; }
    void setCellStyle(CellStyle style) { m_style = std::move(style); }
    // The header cells' colour; by default the desktop's active window border colour, asked for when written.
    void setHeaderColor(const QColor &color) { m_headerColor = color; }

    // The lines of the page; none when the table has no columns or no rows.
    QStringList htmlLines() const;
    // Writes the lines, each ended by CR LF, replacing the file atomically. With no columns or no rows
    // nothing is written (no file is created) and the result is true. False with *error set when the file
    // cannot be written; an old file of that name then stays as it was.
    bool write(const QString &path, QString *error = nullptr) const;

    // "&", "<" and ">" as entities.
    static QString escaped(const QString &text);

private:
    QStringList m_captions;
    QList<QStringList> m_rows;
    CellStyle m_style;
    QColor m_headerColor;
};
