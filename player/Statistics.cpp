#include "player/Statistics.h"

#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>

#include <algorithm>
#include <climits>
#include <numeric>

const QString Statistics::FileName = QStringLiteral("Statistics.lst");
const QString Statistics::CannotOpenMessage = QStringLiteral("File cannot be opened");

namespace
{

constexpr QChar Separator = u',';
constexpr QChar Quote = u'"';

// Whole decimal numbers only; anything else (text, a sign, an empty field) counts from 0. Counts past the
// integer range stay at its top.
int readCount(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    for (QChar c : t)
        if (c < u'0' || c > u'9')
            return 0;
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok);
    if (!ok || v > qulonglong(INT_MAX))
        return INT_MAX;
    return int(v);
}

QString oneLine(QString text)
{
    text.replace(u'\r', u' ').replace(u'\n', u' ');
    return text;
}

} // namespace

Statistics::Statistics(QObject *parent) : QAbstractTableModel(parent) {}

void Statistics::setEntries(const QList<StatisticsEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int Statistics::countSong(const QString &path, const QString &shortName)
{
    for (int row = 0; row < m_entries.size(); ++row) {
        StatisticsEntry &e = m_entries[row];
        if (e.path == path) {
            if (e.count < INT_MAX)
                ++e.count;
            emit dataChanged(index(row, NumberColumn), index(row, NumberColumn));
            return row;
        }
    }
    StatisticsEntry e;
    e.songName = shortName;
    e.songName.replace(Separator, u';');
    e.count = 1;
    e.path = path;
    const int row = int(m_entries.size());
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(e);
    endInsertRows();
    return row;
}

QStringList Statistics::splitLine(const QString &line)
{
    QStringList fields;
    const qsizetype n = line.size();
    qsizetype i = 0;
    bool lastQuoted = false;
    while (true) {
        QString value;
        const bool quoted = i < n && line[i] == Quote;
        if (quoted) {
            // Runs to the next quote; a doubled quote inside stands for one.
            ++i;
            while (true) {
                const qsizetype q = line.indexOf(Quote, i);
                if (q < 0) {
                    value += QStringView(line).mid(i);
                    i = n;
                    break;
                }
                value += QStringView(line).mid(i, q - i);
                i = q + 1;
                if (i < n && line[i] == Quote) {
                    value += Quote;
                    ++i;
                    continue;
                }
                break;
            }
        }
        const qsizetype sep = line.indexOf(Separator, i);
        if (sep < 0) {
            value += QStringView(line).mid(i);
            fields << value;
            lastQuoted = quoted;
            break;
        }
        value += QStringView(line).mid(i, sep - i);
        fields << value;
        i = sep + 1;
    }
    // A last field written in quotes by hand may keep its closing one.
    QString &last = fields.last();
    if (!lastQuoted && last.endsWith(Quote))
        last.chop(1);
    return fields;
}

QString Statistics::joinLine(const QStringList &fields)
{
    QStringList out;
    for (const QString &field : fields) {
        QString f = oneLine(field);
        if (f.contains(Separator) || f.contains(Quote)) {
            f.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            f = Quote + f + Quote;
        }
        out << f;
    }
    return out.join(Separator);
}

StatisticsEntry Statistics::entryFromLine(const QString &line)
{
    const QStringList fields = splitLine(line);
    StatisticsEntry e;
    e.songName = fields.value(0);
    e.count = readCount(fields.value(1));
    e.path = fields.value(2);
    if (fields.size() > 3)
        e.extraFields = fields.mid(3);
    return e;
}

QString Statistics::lineFromEntry(const StatisticsEntry &entry)
{
    return joinLine(QStringList{entry.songName, QString::number(entry.count), entry.path} +
                    entry.extraFields);
}

bool Statistics::load(const QString &path, QString *errorMessage)
{
    QList<StatisticsEntry> entries;
    m_fileLoaded = false;
    QByteArray bytes;
    const TextFile::ReadStatus status = TextFile::readBytes(path, TextFile::ListFileLimit, &bytes);
    bool ok = status == TextFile::ReadStatus::Ok || status == TextFile::ReadStatus::Missing;
    if (status == TextFile::ReadStatus::Ok) {
        // Blank lines cost nothing; a file where no line is a count (another text file in its place) was
        // not read at all, and must not be written over with this session's counts alone.
        bool anyText = false;
        bool anyCount = false;
        TextFile::forEachRawLine(bytes, [&](const QByteArray &raw) {
            if (raw.trimmed().isEmpty())
                return;
            anyText = true;
            StatisticsEntry e = entryFromLine(TextFile::decodeLine(raw));
            anyCount = anyCount || (e.count > 0 && !e.path.isEmpty());
            entries << std::move(e);
        });
        ok = anyCount || !anyText;
        if (!ok)
            entries.clear();
        m_fileLoaded = ok;
    }
    if (!ok && errorMessage)
        *errorMessage = CannotOpenMessage;
    setEntries(entries);
    return ok;
}

bool Statistics::save(const QString &path) const
{
    // An emptied list leaves the file alone: only "Clear Statistics" removes the counts for good.
    if (m_entries.isEmpty())
        return true;
    QList<QByteArray> lines;
    lines.reserve(m_entries.size());
    for (const StatisticsEntry &e : m_entries)
        lines << TextFile::lineWithFileName(lineFromEntry(e), e.path);
    return TextFile::writeByteLines(path, lines);
}

bool Statistics::clearStatistics(const QString &path)
{
    setEntries({});
    return !QFileInfo::exists(path) || QFile::remove(path);
}

void Statistics::removeEntries(const QList<int> &rows)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (int row : sorted) {
        if (row < 0 || row >= m_entries.size())
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_entries.removeAt(row);
        endRemoveRows();
    }
}

QStringList Statistics::pathsForPlaylist(const QList<int> &rows) const
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end(), std::greater<int>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QStringList paths;
    for (int row : sorted)
        if (row >= 0 && row < m_entries.size())
            paths << m_entries[row].path;
    return paths;
}

void Statistics::headerClicked(int column)
{
    if (column < 0 || column >= ColumnCount)
        return;
    Qt::SortOrder order = m_sortOrder;
    if (column == m_sortColumn)
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    sort(column, order);
}

bool Statistics::isLink(const QString &text)
{
    return text.contains(QStringLiteral("://")) || text.contains(QStringLiteral("mailto:"));
}

int Statistics::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int Statistics::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant Statistics::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return QVariant();
    const StatisticsEntry &e = m_entries[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case SongNameColumn:
            return e.songName;
        case NumberColumn:
            return QString::number(e.count);
        case PathColumn:
            return e.path;
        }
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == NumberColumn)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        if (index.column() == SongNameColumn) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        break;
    }
    return QVariant();
}

QVariant Statistics::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case SongNameColumn:
        return QStringLiteral("Song Name");
    case NumberColumn:
        return QStringLiteral("Number");
    case PathColumn:
        return QStringLiteral("Path");
    }
    return QVariant();
}

void Statistics::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    m_sortColumn = column;
    m_sortOrder = order;

    auto text = [column](const StatisticsEntry &e) -> const QString & {
        return column == SongNameColumn ? e.songName : e.path;
    };
    auto less = [&](int a, int b) {
        const StatisticsEntry &x = m_entries[a];
        const StatisticsEntry &y = m_entries[b];
        if (column == NumberColumn)
            return x.count < y.count;
        const int c = text(x).compare(text(y), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text(x) < text(y);
    };
    QList<int> orderOfRows(m_entries.size());
    std::iota(orderOfRows.begin(), orderOfRows.end(), 0);
    std::stable_sort(orderOfRows.begin(), orderOfRows.end(),
                     [&](int a, int b) { return order == Qt::AscendingOrder ? less(a, b) : less(b, a); });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<StatisticsEntry> sorted;
    sorted.reserve(m_entries.size());
    QList<int> newRowOf(m_entries.size());
    for (int newRow = 0; newRow < orderOfRows.size(); ++newRow) {
        sorted << m_entries[orderOfRows[newRow]];
        newRowOf[orderOfRows[newRow]] = newRow;
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex &i : from)
        to << index(newRowOf[i.row()], i.column());
    changePersistentIndexList(from, to);
    m_entries = sorted;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
