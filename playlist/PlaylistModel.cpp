#include "playlist/PlaylistModel.h"
#include "platform/FileName.h"

#include "tags/ExtendedTags.h"
#include "tags/InfoTemplate.h"
#include "tags/TMPEGAudio.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace
{

const QChar Tab = QLatin1Char('\t');

// The text after the first TAB, or the whole line when it has none.
QString afterNumber(const QString &line)
{
    const qsizetype tab = line.indexOf(Tab);
    return tab < 0 ? line : line.mid(tab + 1);
}

// Only regular files go to the MPEG reader: a FIFO or a device named in a list would block it or never end.
bool isRegularFile(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat st;
    return ::stat(FileName::encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool existingFile(const QString &path)
{
    // Links count as what they point at, as QFileInfo::isFile() does.
    return isRegularFile(path);
}

} // namespace

PlaylistModel::PlaylistModel(QObject *parent)
    : QAbstractTableModel(parent), m_selection(new QItemSelectionModel(this, this))
{
}

PlaylistModel::~PlaylistModel() = default;

// --- Entry lines -------------------------------------------------------------------------------------------

QString PlaylistModel::cleanField(QString text)
{
    // Display fields end at a TAB and the list files end a line at CR or LF; any other control character
    // would make the saved line look like junk to the next start.
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return text;
}

QString PlaylistModel::EntryPath(const QString &line)
{
    qsizetype start = 0;
    for (int field = 0; field < 3; ++field) {
        const qsizetype tab = line.indexOf(Tab, start);
        if (tab >= 0)
            start = tab + 1;
    }
    return line.mid(start);
}

QString PlaylistModel::entryField(const QString &line, int field)
{
    if (field < 0 || field > 2)
        return {};
    qsizetype start = 0;
    for (int i = 0; i < field; ++i) {
        const qsizetype tab = line.indexOf(Tab, start);
        if (tab < 0)
            return {};
        start = tab + 1;
    }
    const qsizetype end = line.indexOf(Tab, start);
    if (end < 0)
        return field == 0 ? QString() : line.mid(start);
    return line.mid(start, end - start);
}

QString PlaylistModel::renumberedLine(const QString &line, int number)
{
    return QString::number(number) + Tab + afterNumber(line);
}

bool PlaylistModel::IsStreamUrl(const QString &text)
{
    QString scheme = text.toUpper();
    const qsizetype slashes = scheme.indexOf(QLatin1String("//"));
    if (slashes >= 0)
        scheme.truncate(slashes);
    return scheme == QLatin1String("HTTP:") || scheme == QLatin1String("HTTPS:") ||
           scheme == QLatin1String("FTP:") || scheme == QLatin1String("UDP:");
}

bool PlaylistModel::IsAudioFile(const QString &path)
{
    if (!existingFile(path))
        return false;
    const QString ext = QFileInfo(path).suffix().toUpper();
    return ext == QLatin1String("MPG") || ext == QLatin1String("MP2") || ext == QLatin1String("MP3");
}

QString PlaylistModel::EntryDisplayText(const QString &path, bool shortForm)
{
    TMPEGAudio mpeg;
    if (isRegularFile(path))
        mpeg.setFileName(path);
    return EntryDisplayText(mpeg, path, shortForm);
}

QString PlaylistModel::EntryDisplayText(const TMPEGAudio &mpeg, const QString &path, bool shortForm)
{
    const TMPEGData &d = mpeg.data();
    if (d.Header != QLatin1String("TAG")) {
        // Without an ID3v1 tag an ID3v2 or APE tag names the song; else the name loses its last four
        // characters, the extension with its dot.
        QString base = IsStreamUrl(path) ? QString() : ExtendedTags::read(path).artistTitle();
        if (base.isEmpty()) {
            base = path;
            base.chop(4);
            base = base.mid(base.lastIndexOf(QLatin1Char('/')) + 1);
        }
        base = cleanField(base);
        if (shortForm)
            return base;
        return base + Tab + cleanField(formatInfoTemplate(QStringLiteral("%DF,R%"), mpeg));
    }
    const QString unknown = QStringLiteral("Unknown");
    const QString name = cleanField((d.Artist.isEmpty() ? unknown : d.Artist) + QLatin1String(" - ") +
                                    (d.Title.isEmpty() ? unknown : d.Title));
    if (shortForm)
        return name;
    return name + Tab + cleanField(formatInfoTemplate(QStringLiteral("%DF,T%"), mpeg));
}

QString PlaylistModel::selectedTimeText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    return QString::asprintf("[%.2lld:%.2lld:%.2lld]", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds % 3600 / 60),
                             static_cast<long long>(seconds % 60));
}

// --- Qt item model -----------------------------------------------------------------------------------------

int PlaylistModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int PlaylistModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlaylistModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const QString &text = m_lines.at(index.row());
    switch (role) {
    case LineRole:
        return text;
    case PathRole:
        return EntryPath(text);
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        // A line without TABs (a bare path from an own list file) shows whole in the name column.
        if (!text.contains(Tab)) {
            if (index.column() == NameColumn || index.column() == PathColumn)
                return text;
            return QString();
        }
        switch (index.column()) {
        case NumberColumn:
            if (const int place = queuePosition(EntryPath(text)); place > 0)
                return entryField(text, 0) + QStringLiteral(" [%1]").arg(place);
            return entryField(text, 0);
        case NameColumn:
            if (!m_livePath.isEmpty() && EntryPath(text) == m_livePath)
                return m_liveName;
            return entryField(text, 1);
        case DurationColumn:
            return entryField(text, 2);
        case PathColumn:
            return EntryPath(text);
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        if (index.column() == NumberColumn || index.column() == DurationColumn)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

void PlaylistModel::setLiveName(const QString &path, const QString &name)
{
    if (path == m_livePath && name == m_liveName)
        return;
    liveNameRowsChanged();
    m_livePath = name.isEmpty() ? QString() : path;
    m_liveName = name;
    liveNameRowsChanged();
}

void PlaylistModel::liveNameRowsChanged()
{
    if (m_livePath.isEmpty())
        return;
    for (int i = 0; i < count(); ++i)
        if (EntryPath(m_lines.at(i)) == m_livePath)
            emit dataChanged(index(i, NameColumn), index(i, NameColumn));
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NumberColumn:
        return QStringLiteral("Track");
    case NameColumn:
        return QStringLiteral("Song");
    case DurationColumn:
        return QStringLiteral("Length");
    case PathColumn:
        return QStringLiteral("Path");
    default:
        return {};
    }
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool PlaylistModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                             const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1)
        return false;
    // destinationChild names the row the entry goes before, counted before the move.
    const int to = destinationChild > sourceRow ? destinationChild - 1 : destinationChild;
    return moveEntry(sourceRow, to);
}

// --- Entries -----------------------------------------------------------------------------------------------

QString PlaylistModel::line(int i) const
{
    return i >= 0 && i < count() ? m_lines.at(i) : QString();
}

QString PlaylistModel::entryPath(int i) const
{
    return i >= 0 && i < count() ? EntryPath(m_lines.at(i)) : QString();
}

PlaylistModel::FileStamp PlaylistModel::stampOf(const QString &path)
{
    FileStamp stamp;
    if (path.isEmpty() || path.contains(QChar(0)))
        return stamp;
    struct stat st;
    if (::stat(FileName::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.size = st.st_size;
    stamp.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = st.st_ino;
    return stamp;
}

PlaylistModel::PreparedEntry PlaylistModel::prepareEntry(const QString &pathOrUrl)
{
    PreparedEntry e;
    e.path = pathOrUrl;
    if (IsStreamUrl(pathOrUrl)) {
        e.text = cleanField(pathOrUrl) + Tab + Tab + pathOrUrl;
        return e;
    }
    TMPEGAudio mpeg;
    const FileStamp stamp = stampOf(pathOrUrl);
    if (stamp.exists) {
        mpeg.setFileName(pathOrUrl);
        // The reader has just given the duration: keep it for the selected total.
        e.stamped = true;
        e.size = stamp.size;
        e.mtimeNs = stamp.mtimeNs;
        e.inode = stamp.inode;
        e.seconds = int(mpeg.data().Duration);
    }
    e.text = EntryDisplayText(mpeg, pathOrUrl, false) + Tab + pathOrUrl;
    return e;
}

void PlaylistModel::keepDuration(const PreparedEntry &e)
{
    if (e.stamped)
        m_durations.insert(e.path, {e.size, e.mtimeNs, e.inode, e.seconds});
}

QString PlaylistModel::buildLine(int number, const QString &pathOrUrl)
{
    const PreparedEntry e = prepareEntry(pathOrUrl);
    keepDuration(e);
    return QString::number(number) + Tab + e.text;
}

void PlaylistModel::appendPrepared(const QList<PreparedEntry> &entries)
{
    if (entries.isEmpty())
        return;
    QStringList added;
    added.reserve(entries.size());
    int number = count();
    for (const PreparedEntry &e : entries) {
        keepDuration(e);
        added << QString::number(++number) + Tab + e.text;
    }
    appendLines(added);
}

void PlaylistModel::PlaylistAddFile(const QString &pathOrUrl)
{
    addFiles(QStringList{pathOrUrl});
}

void PlaylistModel::addFiles(const QStringList &pathsOrUrls)
{
    if (pathsOrUrls.isEmpty())
        return;
    QStringList added;
    added.reserve(pathsOrUrls.size());
    int number = count();
    for (const QString &p : pathsOrUrls)
        added << buildLine(++number, p);
    appendLines(added);
}

void PlaylistModel::appendLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(lines.size()) - 1);
    m_lines += lines;
    endInsertRows();
    emit countChanged(count());
}

void PlaylistModel::clear()
{
    m_queue.clear();
    m_selection->clear();
    beginResetModel();
    m_lines.clear();
    endResetModel();
    m_durations.clear();
    m_selectedSeconds = 0;
    emit countChanged(0);
    emit selectedTimeChanged(selectedTimeText(0));
}

void PlaylistModel::rebuild(QStringList lines)
{
    m_selection->clear();
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void PlaylistModel::renumber(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, count() - 1);
    if (first > last)
        return;
    for (int i = first; i <= last; ++i)
        m_lines[i] = renumberedLine(m_lines.at(i), i + 1);
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void PlaylistModel::sort()
{
    const int n = count();
    if (n == 0)
        return;
    QStringList rest;
    rest.reserve(n);
    for (const QString &l : std::as_const(m_lines))
        rest << afterNumber(l);

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    // Folded first: the C locale's collator compares code points and ignores the case setting.
    for (const QString &r : std::as_const(rest))
        keys.push_back(collator.sortKey(r.toCaseFolded()));
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });

    QStringList sorted;
    sorted.reserve(n);
    for (int k = 0; k < n; ++k)
        sorted << QString::number(k + 1) + Tab + rest.at(order[k]);
    rebuild(std::move(sorted));
    selectAfterRebuild();
    UpdateSelectedTime();
}

void PlaylistModel::shuffle()
{
    QStringList pool;
    pool.reserve(count());
    for (const QString &l : std::as_const(m_lines))
        pool << afterNumber(l);
    QStringList shuffled;
    shuffled.reserve(pool.size());
    // n draws without replacement, each uniform over what is left: a uniform permutation.
    QRandomGenerator *rng = QRandomGenerator::global();
    while (!pool.isEmpty()) {
        const qsizetype r = qsizetype(rng->bounded(quint32(pool.size())));
        shuffled << QString::number(shuffled.size() + 1) + Tab + pool.at(r);
        pool.swapItemsAt(r, pool.size() - 1);
        pool.removeLast();
    }
    rebuild(std::move(shuffled));
    selectAfterRebuild();
    UpdateSelectedTime();
}

void PlaylistModel::removeSelected()
{
    removeMarked(selectedRowMask());
}

void PlaylistModel::removeMissingEntries(const QList<int> &rows)
{
    std::vector<char> mask(count(), 0);
    for (const int i : rows) {
        if (i < 0 || i >= count() || mask[i])
            continue;
        const QString path = EntryPath(m_lines.at(i));
        mask[i] = !existingFile(path) && !IsStreamUrl(path);
    }
    removeMarked(mask);
}

void PlaylistModel::removeEntries(int first, int last)
{
    std::vector<char> mask(count(), 0);
    for (int i = std::max(first, 0); i <= last && i < count(); ++i)
        mask[i] = 1;
    removeMarked(std::move(mask));
}

void PlaylistModel::toggleQueued(const QList<int> &rows)
{
    for (const int row : rows) {
        if (row < 0 || row >= count())
            continue;
        const QString path = EntryPath(m_lines.at(row));
        if (!m_queue.removeOne(path))
            m_queue << path;
    }
    announceQueue();
}

void PlaylistModel::setQueue(const QStringList &paths)
{
    m_queue = paths;
    announceQueue();
}

int PlaylistModel::queuedRow() const
{
    for (const QString &path : m_queue)
        for (int i = 0; i < count(); ++i)
            if (EntryPath(m_lines.at(i)) == path)
                return i;
    return -1;
}

void PlaylistModel::unqueue(const QString &path)
{
    if (!m_queue.contains(path))
        return;
    // The entries queued before it that left the list go with it.
    while (!m_queue.isEmpty()) {
        const QString first = m_queue.takeFirst();
        if (first == path)
            break;
    }
    announceQueue();
}

int PlaylistModel::queuePosition(const QString &path) const
{
    return m_queue.isEmpty() ? 0 : int(m_queue.indexOf(path)) + 1;
}

void PlaylistModel::announceQueue()
{
    if (count() > 0)
        emit dataChanged(index(0, NumberColumn), index(count() - 1, NumberColumn));
    emit queueChanged();
}

int PlaylistModel::removeDeadEntries()
{
    std::vector<char> mask(count(), 0);
    int dead = 0;
    for (int i = 0; i < count(); ++i) {
        const QString path = EntryPath(m_lines.at(i));
        dead += mask[size_t(i)] = !IsStreamUrl(path) && !existingFile(path);
    }
    if (dead > 0)
        removeMarked(std::move(mask));
    return dead;
}

int PlaylistModel::removeDuplicates()
{
    std::vector<char> mask(count(), 0);
    QSet<QString> seen;
    seen.reserve(count());
    int twice = 0;
    for (int i = 0; i < count(); ++i) {
        const QString path = EntryPath(m_lines.at(i));
        const qsizetype before = seen.size();
        seen.insert(path);
        twice += mask[size_t(i)] = seen.size() == before;
    }
    if (twice > 0)
        removeMarked(std::move(mask));
    return twice;
}

bool PlaylistModel::FolderIsMissing(const QString &path)
{
    // Only a whole path names a folder on a drive; junk of a damaged list holding a "/" does not.
    if (!path.startsWith(QLatin1Char('/')) || IsStreamUrl(path))
        return false;
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0)
        return false;
    struct stat st;
    return ::stat(FileName::encode(path.left(slash)).constData(), &st) != 0 &&
           (errno == ENOENT || errno == ENOTDIR);
}

bool PlaylistModel::IsUnplayable(const QString &path)
{
    return !IsAudioFile(path) && !IsStreamUrl(path) && !FolderIsMissing(path);
}

void PlaylistModel::removeMarked(std::vector<char> mask)
{
    const int n = count();
    mask.resize(n, 0);
    int runs = 0;
    int firstRemoved = n;
    for (int i = 0; i < n; ++i) {
        runs += mask[i] && (i == 0 || !mask[i - 1]);
        if (mask[i] && firstRemoved == n)
            firstRemoved = i;
    }
    if (runs > 64) {
        // Many scattered rows: one rebuild beats thousands of single removals. The rebuild drops the
        // selection, which row removal keeps: the selected entries that stay are selected again.
        const std::vector<char> selected = selectedRowMask();
        const int focus = focusedEntry();
        int keptFocus = -1;
        QStringList kept;
        std::vector<char> keptSelected;
        kept.reserve(n);
        keptSelected.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (mask[i])
                continue;
            if (i == focus)
                keptFocus = int(kept.size());
            kept << m_lines.at(i);
            keptSelected.push_back(selected[i]);
        }
        rebuild(std::move(kept));
        selectRows(keptSelected);
        setFocusedEntry(keptFocus);
    } else {
        for (int i = n - 1; i >= 0;) {
            if (!mask[i]) {
                --i;
                continue;
            }
            int first = i;
            while (first > 0 && mask[first - 1])
                --first;
            beginRemoveRows(QModelIndex(), first, i);
            m_lines.remove(first, i - first + 1);
            endRemoveRows();
            i = first - 1;
        }
    }
    // The entries before the first one removed keep their numbers.
    renumber(firstRemoved, count() - 1);
    emit countChanged(count());
    // With no entry chosen (a list just loaded) the rule would select every entry, and the next Delete would
    // empty the list: the entry that took the removed place is selected instead.
    if (m_currentIndex == -1) {
        if (count() > 0 && !m_selection->hasSelection())
            selectEntry(std::min(firstRemoved, count() - 1));
    } else {
        selectAfterRebuild();
    }
    UpdateSelectedTime();
}

bool PlaylistModel::moveEntry(int from, int to)
{
    const int n = count();
    if (from < 0 || from >= n || to < 0 || to >= n)
        return false;
    if (from != to) {
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
        m_lines.move(from, to);
        endMoveRows();
        renumber(std::min(from, to), std::max(from, to));
    }
    m_selection->clearSelection();
    selectEntry(to);
    UpdateSelectedTime();
    return true;
}

void PlaylistModel::refreshFocusedEntry()
{
    const int f = focusedEntry();
    if (f < 0 || f >= count())
        return;
    const QString path = entryPath(f);
    // The tag was just written: read the file again whatever its stamp says.
    m_durations.remove(path);
    m_lines[f] = buildLine(f + 1, path);
    emit dataChanged(index(f, 0), index(f, ColumnCount - 1));
    m_selection->clearSelection();
    selectEntry(f);
    UpdateSelectedTime();
}

void PlaylistModel::selectAfterRebuild()
{
    const int n = count();
    if (n == 0)
        return;
    if (m_currentIndex == -1)
        selectEntry(-1);
    else if (m_currentIndex >= 0 && m_currentIndex < n)
        selectEntry(m_currentIndex);
    else
        selectEntry(0);
}

// --- Selection and focus -----------------------------------------------------------------------------------

void PlaylistModel::selectEntry(int i)
{
    if (i == -1) {
        selectAll();
        return;
    }
    if (i < 0 || i >= count())
        return;
    const QModelIndex idx = index(i, 0);
    m_selection->select(idx, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_selection->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
}

void PlaylistModel::deselectEntry(int i)
{
    if (i == -1) {
        unselectAll();
        return;
    }
    if (i < 0 || i >= count())
        return;
    m_selection->select(index(i, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

void PlaylistModel::selectAll()
{
    const int n = count();
    if (n == 0)
        return;
    // One range for the whole list: selecting 10,000 entries row by row would take seconds.
    m_selection->select(QItemSelection(index(0, 0), index(n - 1, ColumnCount - 1)),
                        QItemSelectionModel::ClearAndSelect);
}

void PlaylistModel::unselectAll()
{
    m_selection->clearSelection();
}

void PlaylistModel::invertSelection()
{
    std::vector<char> mask = selectedRowMask();
    for (char &m : mask)
        m = !m;
    selectRows(mask);
}

void PlaylistModel::selectRows(const std::vector<char> &rows)
{
    QItemSelection sel;
    const int n = std::min(count(), int(rows.size()));
    for (int i = 0; i < n;) {
        if (!rows[i]) {
            ++i;
            continue;
        }
        int last = i;
        while (last + 1 < n && rows[last + 1])
            ++last;
        sel.append(QItemSelectionRange(index(i, 0), index(last, ColumnCount - 1)));
        i = last + 1;
    }
    if (sel.isEmpty())
        m_selection->clearSelection();
    else
        m_selection->select(sel, QItemSelectionModel::ClearAndSelect);
}

std::vector<char> PlaylistModel::selectedRowMask() const
{
    const int n = count();
    std::vector<char> mask(n, 0);
    // A row counts as selected when any of its cells is (a view may select single cells).
    const QItemSelection sel = m_selection->selection();
    for (const QItemSelectionRange &range : sel) {
        if (!range.isValid() || range.parent().isValid())
            continue;
        const int top = std::max(range.top(), 0);
        const int bottom = std::min(range.bottom(), n - 1);
        for (int r = top; r <= bottom; ++r)
            mask[r] = 1;
    }
    return mask;
}

bool PlaylistModel::isSelected(int i) const
{
    if (i < 0 || i >= count())
        return false;
    for (int c = 0; c < ColumnCount; ++c) {
        if (m_selection->isSelected(index(i, c)))
            return true;
    }
    return false;
}

QList<int> PlaylistModel::selectedEntries() const
{
    const std::vector<char> mask = selectedRowMask();
    QList<int> rows;
    for (int i = 0; i < int(mask.size()); ++i) {
        if (mask[i])
            rows << i;
    }
    return rows;
}

int PlaylistModel::selectedCount() const
{
    const std::vector<char> mask = selectedRowMask();
    return int(std::count(mask.begin(), mask.end(), 1));
}

int PlaylistModel::focusedEntry() const
{
    const QModelIndex current = m_selection->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PlaylistModel::setFocusedEntry(int i)
{
    if (i >= 0 && i < count())
        m_selection->setCurrentIndex(index(i, 0), QItemSelectionModel::NoUpdate);
    else
        m_selection->clearCurrentIndex();
}

// --- Selected total ----------------------------------------------------------------------------------------

int PlaylistModel::durationOf(const QString &path)
{
    const FileStamp stamp = stampOf(path);
    if (!stamp.exists) {
        // A stream or a missing file: the reader reports no duration.
        m_durations.remove(path);
        return 0;
    }
    const auto it = m_durations.constFind(path);
    if (it != m_durations.constEnd() && it->size == stamp.size && it->mtimeNs == stamp.mtimeNs &&
        it->inode == stamp.inode)
        return it->seconds;
    TMPEGAudio mpeg;
    mpeg.setFileName(path);
    const int seconds = mpeg.data().Duration;
    m_durations.insert(path, {stamp.size, stamp.mtimeNs, stamp.inode, seconds});
    return seconds;
}

QString PlaylistModel::UpdateSelectedTime()
{
    m_selectedSeconds = 0;
    const std::vector<char> mask = selectedRowMask();
    for (int i = 0; i < int(mask.size()); ++i) {
        if (mask[i])
            m_selectedSeconds += durationOf(EntryPath(m_lines.at(i)));
    }
    const QString text = selectedTimeText(m_selectedSeconds);
    emit selectedTimeChanged(text);
    return text;
}

// --- Player state ------------------------------------------------------------------------------------------

void PlaylistModel::setCurrentIndex(int index)
{
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    emit currentIndexChanged(index);
}

void PlaylistModel::setPlayedCount(int count)
{
    if (count == m_playedCount)
        return;
    m_playedCount = count;
    emit playedCountChanged(count);
}

void PlaylistModel::markListLoaded()
{
    setCurrentIndex(-1);
    setPlayedCount(0);
    emit listLoaded();
}
