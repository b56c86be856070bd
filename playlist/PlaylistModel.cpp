#include "playlist/PlaylistModel.h"
#include "platform/FileName.h"
#include "playlist/TextPool.h"

#include "tags/ExtendedTags.h"
#include "tags/FileTags.h"
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

// What sort orders by: the entry's fields after its number, as its list line holds them, TAB between.
QString sortText(const PlaylistEntry &e)
{
    switch (e.form) {
    case PlaylistEntry::Form::Full:
        return e.name + Tab + e.time + Tab + e.path;
    case PlaylistEntry::Form::TimeIsPath:
        return e.name + Tab + e.path;
    case PlaylistEntry::Form::NameIsPath:
    case PlaylistEntry::Form::Bare:
        break;
    }
    return e.path;
}

// Only regular files go to the MPEG reader: a FIFO or a device named in a list would block it or never end.
bool existingFile(const QString &path)
{
    return FileStamp::of(path).exists;
}

// The display name and duration text of path, from a reader that has just read it.
void displayFields(const TMPEGAudio &mpeg, const QString &path, QString *name, QString *time)
{
    const TMPEGData &d = mpeg.data();
    if (d.Header != QLatin1String("TAG")) {
        // Without an ID3v1 tag an ID3v2 or APE tag names the song; else the name loses its last four
        // characters, the extension with its dot.
        QString base = PlaylistModel::IsStreamUrl(path) ? QString() : ExtendedTags::read(path).artistTitle();
        // The other formats the player plays have extensions of other lengths, and TagLib knows their length.
        const QString ext = QFileInfo(path).suffix();
        const bool other = !PlaylistModel::IsStreamUrl(path) && PlaylistModel::hasAudioExtension(path) &&
                           ext.compare(QLatin1String("MPG"), Qt::CaseInsensitive) != 0 &&
                           ext.compare(QLatin1String("MP2"), Qt::CaseInsensitive) != 0 &&
                           ext.compare(QLatin1String("MP3"), Qt::CaseInsensitive) != 0;
        if (base.isEmpty()) {
            base = path;
            base.chop(other ? ext.size() + 1 : 4);
            base = base.mid(base.lastIndexOf(QLatin1Char('/')) + 1);
        }
        *name = PlaylistModel::cleanField(base);
        if (time) {
            const FileTags::Info stream = other ? FileTags::read(path, true) : FileTags::Info();
            static const InfoTemplate duration(QStringLiteral("%DF,R%"));
            *time = TextPool::shared(PlaylistModel::cleanField(stream.kind != FileTags::Kind::None
                                                                   ? duration.formatEscaped(mpeg, &stream)
                                                                   : duration.format(mpeg)));
        }
        return;
    }
    const QString unknown = QStringLiteral("Unknown");
    *name = PlaylistModel::cleanField((d.Artist.isEmpty() ? unknown : d.Artist) + QLatin1String(" - ") +
                                      (d.Title.isEmpty() ? unknown : d.Title));
    if (time)
        *time =
            TextPool::shared(PlaylistModel::cleanField(formatInfoTemplate(QStringLiteral("%DF,T%"), mpeg)));
}

} // namespace

PlaylistModel::PlaylistModel(QObject *parent)
    : QAbstractTableModel(parent), m_selection(new QItemSelectionModel(this, this))
{
}

PlaylistModel::~PlaylistModel() = default;

// --- Entries, without a model
// ---------------------------------------------------------------------------------------

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
    return hasAudioExtension(path);
}

const QStringList &PlaylistModel::AudioExtensions()
{
    static const QStringList extensions = {
        QStringLiteral("MPG"),  QStringLiteral("MP2"), QStringLiteral("MP3"),  QStringLiteral("FLAC"),
        QStringLiteral("OGG"),  QStringLiteral("OGA"), QStringLiteral("OPUS"), QStringLiteral("M4A"),
        QStringLiteral("MP4"),  QStringLiteral("AAC"), QStringLiteral("WAV"),  QStringLiteral("AIF"),
        QStringLiteral("AIFF"), QStringLiteral("WV")};
    return extensions;
}

bool PlaylistModel::hasAudioExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return false;
    const QStringView ext = QStringView(path).mid(dot + 1);
    for (const QString &known : AudioExtensions())
        if (ext.compare(known, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString PlaylistModel::EntryDisplayText(const QString &path, bool shortForm)
{
    TMPEGAudio mpeg;
    if (existingFile(path))
        mpeg.setFileName(path);
    return EntryDisplayText(mpeg, path, shortForm);
}

QString PlaylistModel::EntryDisplayText(const TMPEGAudio &mpeg, const QString &path, bool shortForm)
{
    QString name, time;
    displayFields(mpeg, path, &name, shortForm ? nullptr : &time);
    return shortForm ? name : name + Tab + time;
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
    const PlaylistEntry &e = m_entries.at(index.row());
    switch (role) {
    case PathRole:
        return e.path;
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        // A bare path (from an own list file) shows whole in the name column.
        if (e.form == PlaylistEntry::Form::Bare) {
            if (index.column() == NameColumn || index.column() == PathColumn)
                return e.path;
            return QString();
        }
        switch (index.column()) {
        case NumberColumn:
            if (const int place = queuePosition(e.path); place > 0)
                return e.numberText() + QStringLiteral(" [%1]").arg(place);
            return e.numberText();
        case NameColumn:
            if (!m_livePath.isEmpty() && e.path == m_livePath)
                return m_liveName;
            return e.name;
        case DurationColumn:
            return e.time;
        case PathColumn:
            return e.path;
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
        if (m_entries.at(i).path == m_livePath)
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

const PlaylistEntry &PlaylistModel::entry(int i) const
{
    // Outside the list: every field empty, the number too.
    static const PlaylistEntry none = [] {
        PlaylistEntry e;
        e.form = PlaylistEntry::Form::Bare;
        return e;
    }();
    return i >= 0 && i < count() ? m_entries.at(i) : none;
}

QString PlaylistModel::entryPath(int i) const
{
    return i >= 0 && i < count() ? m_entries.at(i).path : QString();
}

PlaylistModel::PreparedEntry PlaylistModel::prepareEntry(const QString &pathOrUrl)
{
    PreparedEntry prepared;
    PlaylistEntry &e = prepared.entry;
    e.path = pathOrUrl;
    if (IsStreamUrl(pathOrUrl)) {
        e.name = cleanField(pathOrUrl);
        return prepared;
    }
    TMPEGAudio mpeg;
    prepared.stamp = FileStamp::of(pathOrUrl);
    if (prepared.stamp.exists) {
        mpeg.setFileName(pathOrUrl);
        // The reader has just given the duration: keep it for the selected total.
        prepared.stamp.seconds = int(mpeg.data().Duration);
    }
    displayFields(mpeg, pathOrUrl, &e.name, &e.time);
    return prepared;
}

void PlaylistModel::keepDuration(const PreparedEntry &prepared)
{
    if (prepared.stamp.exists)
        m_durations.insert(prepared.entry.path, prepared.stamp);
}

PlaylistEntry PlaylistModel::buildEntry(int number, const QString &pathOrUrl)
{
    PreparedEntry prepared = prepareEntry(pathOrUrl);
    keepDuration(prepared);
    prepared.entry.number = number;
    return std::move(prepared.entry);
}

void PlaylistModel::appendPrepared(const QList<PreparedEntry> &entries)
{
    if (entries.isEmpty())
        return;
    QList<PlaylistEntry> added;
    added.reserve(entries.size());
    int number = count();
    for (const PreparedEntry &prepared : entries) {
        keepDuration(prepared);
        added << prepared.entry;
        added.back().number = ++number;
    }
    appendEntries(added);
}

void PlaylistModel::PlaylistAddFile(const QString &pathOrUrl)
{
    addFiles(QStringList{pathOrUrl});
}

void PlaylistModel::addFiles(const QStringList &pathsOrUrls)
{
    if (pathsOrUrls.isEmpty())
        return;
    QList<PlaylistEntry> added;
    added.reserve(pathsOrUrls.size());
    int number = count();
    for (const QString &p : pathsOrUrls)
        added << buildEntry(++number, p);
    appendEntries(added);
}

void PlaylistModel::appendEntries(const QList<PlaylistEntry> &entries)
{
    if (entries.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(entries.size()) - 1);
    m_entries += entries;
    endInsertRows();
    emit countChanged(count());
}

void PlaylistModel::clear()
{
    m_queue.clear();
    m_selection->clear();
    beginResetModel();
    m_entries.clear();
    endResetModel();
    m_durations.clear();
    m_selectedSeconds = 0;
    emit countChanged(0);
    emit selectedTimeChanged(selectedTimeText(0));
}

void PlaylistModel::rebuild(QList<PlaylistEntry> entries)
{
    m_selection->clear();
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void PlaylistModel::renumber(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, count() - 1);
    if (first > last)
        return;
    for (int i = first; i <= last; ++i)
        m_entries[i].renumber(i + 1);
    emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void PlaylistModel::sort()
{
    const int n = count();
    if (n == 0)
        return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    // Folded first: the C locale's collator compares code points and ignores the case setting.
    for (const PlaylistEntry &e : std::as_const(m_entries))
        keys.push_back(collator.sortKey(sortText(e).toCaseFolded()));
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].compare(keys[b]) < 0; });

    QList<PlaylistEntry> sorted;
    sorted.reserve(n);
    for (int k = 0; k < n; ++k) {
        sorted << m_entries.at(order[k]);
        sorted.back().renumber(k + 1);
    }
    rebuild(std::move(sorted));
    selectAfterRebuild();
    UpdateSelectedTime();
}

void PlaylistModel::shuffle()
{
    QList<PlaylistEntry> pool = m_entries;
    QList<PlaylistEntry> shuffled;
    shuffled.reserve(pool.size());
    // n draws without replacement, each uniform over what is left: a uniform permutation.
    QRandomGenerator *rng = QRandomGenerator::global();
    while (!pool.isEmpty()) {
        const qsizetype r = qsizetype(rng->bounded(quint32(pool.size())));
        shuffled << pool.at(r);
        shuffled.back().renumber(int(shuffled.size()));
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
        const QString path = m_entries.at(i).path;
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
        const QString path = m_entries.at(row).path;
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
            if (m_entries.at(i).path == path)
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
        const QString path = m_entries.at(i).path;
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
        const QString path = m_entries.at(i).path;
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
        QList<PlaylistEntry> kept;
        std::vector<char> keptSelected;
        kept.reserve(n);
        keptSelected.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (mask[i])
                continue;
            if (i == focus)
                keptFocus = int(kept.size());
            kept << m_entries.at(i);
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
            m_entries.remove(first, i - first + 1);
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
        m_entries.move(from, to);
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
    m_entries[f] = buildEntry(f + 1, path);
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
    FileStamp stamp = FileStamp::of(path);
    if (!stamp.exists) {
        // A stream or a missing file: the reader reports no duration.
        m_durations.remove(path);
        return 0;
    }
    const auto it = m_durations.constFind(path);
    if (it != m_durations.constEnd() && it->sameFile(stamp))
        return it->seconds;
    TMPEGAudio mpeg;
    mpeg.setFileName(path);
    stamp.seconds = int(mpeg.data().Duration);
    m_durations.insert(path, stamp);
    return stamp.seconds;
}

QString PlaylistModel::UpdateSelectedTime()
{
    m_selectedSeconds = 0;
    const std::vector<char> mask = selectedRowMask();
    for (int i = 0; i < int(mask.size()); ++i) {
        if (mask[i])
            m_selectedSeconds += durationOf(m_entries.at(i).path);
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
