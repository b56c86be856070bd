#pragma once
// How often each song was played to its end, kept in "Statistics.lst" and shown by the statistics window.
//
// File: one line per entry, "name,count,path" ended by CR LF. A field that begins with a double quote runs to
// the next one, so a field holding a comma or a double quote is written quoted (a double quote inside
// doubled), and a path with a comma comes back whole. Fields after the third are kept and written back, not
// shown. A count that is not a whole number reads as 0 and is counted on from there. Blank lines are skipped.
#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

struct StatisticsEntry {
    QString songName;
    int count = 0;
    QString path; // the key of the entry, compared exactly
    QStringList extraFields;
    bool operator==(const StatisticsEntry &) const = default;
};

class Statistics : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { SongNameColumn, NumberColumn, PathColumn, ColumnCount };
    static const QString FileName;          // "Statistics.lst"
    static const QString CannotOpenMessage; // "File cannot be opened"

    explicit Statistics(QObject *parent = nullptr);

    const QList<StatisticsEntry> &entries() const { return m_entries; }
    void setEntries(const QList<StatisticsEntry> &entries);

    // Counts a song played to its end: the first entry with exactly this path counts one more (its name
    // stays); otherwise a new entry (shortName with "," turned into ";", count 1) is appended. Returns its
    // row.
    int countSong(const QString &path, const QString &shortName);

    // Replaces the list with the file's entries. A missing file gives an empty list and true; a file that
    // exists but cannot be read gives an empty list, false and "File cannot be opened".
    bool load(const QString &path, QString *errorMessage = nullptr);
    // True when the last load read a file (the window stores its placement only then).
    bool fileLoaded() const { return m_fileLoaded; }
    // Writes the list; an empty list writes nothing and leaves the file as it was.
    bool save(const QString &path) const;
    // Empties the list and deletes the file ("Clear Statistics").
    bool clearStatistics(const QString &path);
    // Deletes the given rows from the list (the file changes at the next save).
    void removeEntries(const QList<int> &rows);
    // The paths of the given rows from the last row to the first, the order they go to the playlist.
    QStringList pathsForPlaylist(const QList<int> &rows) const;

    // A click on a column header: the sorted column again reverses the direction first, another column keeps
    // it. The direction starts ascending. The number column sorts as numbers, the others as text.
    void headerClicked(int column);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // A cell shown as a link that opens in the desktop's handler.
    static bool isLink(const QString &text);

    // The line format.
    static QStringList splitLine(const QString &line);
    static QString joinLine(const QStringList &fields);
    static StatisticsEntry entryFromLine(const QString &line);
    static QString lineFromEntry(const StatisticsEntry &entry);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QList<StatisticsEntry> m_entries;
    bool m_fileLoaded = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
