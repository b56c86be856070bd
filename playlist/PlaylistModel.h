#pragma once
// The playlist: one PlaylistEntry per entry (number, display name, duration, path; a stream shows its URL as
// its name and no duration), shown by the playlist window's list view. The entries are the store; the
// selection and the focused entry live in the model's own QItemSelectionModel, which the view shares
// (setSelectionModel), so every rule runs without a window. How entries are written in list files is the
// list files' business (PlaylistFiles).
#include "playlist/FileStamp.h"
#include "playlist/PlaylistEntry.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QItemSelectionModel>
#include <QList>
#include <QStringList>
#include <vector>

class TMPEGAudio;

class PlaylistModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NumberColumn = 0, NameColumn, DurationColumn, PathColumn, ColumnCount };
    enum Role {
        PathRole = Qt::UserRole + 2, // the entry's path
    };

    explicit PlaylistModel(QObject *parent = nullptr);
    ~PlaylistModel() override;

    // --- Entries, without a model -------------------------------------------------------------------------
    // text with every control character (TAB, line ends, ESC, DEL, ...) made a blank: what a name or time
    // of an entry may hold, so the entry stays one line of four fields in a list file.
    static QString cleanField(QString text);
    // Upper-cased text before the first "//" is "HTTP:", "HTTPS:", "FTP:" or "UDP:".
    static bool IsStreamUrl(const QString &text);
    // An existing file with an extension of AudioExtensions.
    static bool IsAudioFile(const QString &path);
    // The extensions, upper-cased, of the files the player plays: "MPG", "MP2", "MP3", and the formats the
    // FFmpeg module decodes ("FLAC", "OGG", "OPUS", "M4A", "WAV", ...).
    static const QStringList &AudioExtensions();
    // The name ends in "." and one of AudioExtensions, in any case; the file is not looked at.
    static bool hasAudioExtension(const QString &path);
    // Long form: display name TAB duration text; short form: the one-line name.
    // Reads the file through a reader of its own.
    static QString EntryDisplayText(const QString &path, bool shortForm);
    // The same from a reader that has just read path.
    static QString EntryDisplayText(const TMPEGAudio &mpeg, const QString &path, bool shortForm);
    // "[hh:mm:ss]" (hours not limited to two digits).
    static QString selectedTimeText(qint64 seconds);

    // --- Qt item model ----------------------------------------------------------------------------------
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // One row at a time, as the list's rearrange mode moves entries; same rules as moveEntry.
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                  const QModelIndex &destinationParent, int destinationChild) override;

    // --- Entries ---------------------------------------------------------------------------------------
    int count() const { return int(m_entries.size()); }
    // Entry i; an empty one for an i outside the list.
    const PlaylistEntry &entry(int i) const;
    QString entryPath(int i) const;
    const QList<PlaylistEntry> &entries() const { return m_entries; }

    // Appends one entry: a stream URL named by itself without a duration, anything else with its display
    // name and duration read from the file. No existence check: callers filter.
    void PlaylistAddFile(const QString &pathOrUrl);
    // PlaylistAddFile for each, in order, as one insertion.
    void addFiles(const QStringList &pathsOrUrls);
    // One entry as PlaylistAddFile appends it, without its number; reads the file's header and tag and may
    // run on any thread (the folder walk prepares its entries off the UI thread).
    struct PreparedEntry {
        PlaylistEntry entry; // without its number
        FileStamp stamp;     // of the file read (exists): its duration is kept for the selected total
    };
    static PreparedEntry prepareEntry(const QString &pathOrUrl);
    // Appends prepared entries numbered on from the last one, as one insertion: the list ends as addFiles of
    // the same paths would leave it.
    void appendPrepared(const QList<PreparedEntry> &entries);
    // Appends entries exactly as given (own list files): no renumbering, no tag reading.
    void appendEntries(const QList<PlaylistEntry> &entries);
    // Removes every entry; the selected total shows "[00:00:00]". CurrentIndex is left as it is.
    void clear();
    // Orders the entries by their fields after the number as one text, as their own-list lines would sort
    // without the number (case-insensitive, locale order); renumbers them, selects the entry at CurrentIndex
    // (rules below) and updates the selected total.
    void sort();
    // The views' column sort stays the model base's (none): the list has one order, the user's.
    using QAbstractItemModel::sort;
    // A uniformly random order, then the same selection rule as sort.
    void shuffle();
    // Deletes the selected entries, renumbers, selects as below and updates the selected total.
    void removeSelected();
    // The same for those of the given entries whose path is neither an existing file nor a stream URL (after
    // their files were moved or deleted on disk); rows outside the list are skipped, and selected entries
    // that stay remain selected.
    void removeMissingEntries(const QList<int> &rows);
    // Deletes entries first..last (clamped to the list), as removeSelected does.
    void removeEntries(int first, int last);

    // The play queue: entries, by their paths, that play next in this order before what Loop or Random would
    // choose. Each shows its place in the queue beside its number.
    // Queues the given entries in order; an entry already queued is taken out instead.
    void toggleQueued(const QList<int> &rows);
    QStringList queue() const { return m_queue; }
    void setQueue(const QStringList &paths);
    // The row of the first queued entry still in the list, -1 when none; its path leaves the queue with
    // unqueue().
    int queuedRow() const;
    void unqueue(const QString &path);
    // 1 for the first in the queue, 0 for an entry not queued.
    int queuePosition(const QString &path) const;
    // Deletes every entry whose file is gone (streams stay), and every later entry of a path already in the
    // list; each gives how many went.
    int removeDeadEntries();
    int removeDuplicates();
    // Whether path names a file whose folder is missing too: a drive not plugged in, a share not mounted.
    // Such an entry is not gone for good and stays in the list.
    static bool FolderIsMissing(const QString &path);
    // Whether the entry cannot be played and can go: not an audio file, not a stream, and its folder there.
    static bool IsUnplayable(const QString &path);
    // Moves entry from to position to; entries min..max are renumbered and the entry at to is selected.
    bool moveEntry(int from, int to);
    // Rebuilds the focused entry's display text from its file (after a tag edit), then selects it alone and
    // updates the selected total.
    void refreshFocusedEntry();

    // After sort, shuffle and remove: nothing when the list is empty; every entry when CurrentIndex is -1;
    // the entry at CurrentIndex when it names one; otherwise (an index left over from a longer list) the
    // first.
    void selectAfterRebuild();

    // --- Selection and focus ---------------------------------------------------------------------------
    QItemSelectionModel *selectionModel() const { return m_selection; }
    // Adds entry i to the selection and focuses it; -1 selects every entry. Other values do nothing.
    void selectEntry(int i);
    void deselectEntry(int i);
    void selectAll();
    void unselectAll();
    void invertSelection();
    bool isSelected(int i) const;
    // Selected entries in list order.
    QList<int> selectedEntries() const;
    int selectedCount() const;
    // The focused entry (the selection model's current row), -1 when none.
    int focusedEntry() const;
    void setFocusedEntry(int i);

    // --- Selected total --------------------------------------------------------------------------------
    // Adds up the durations of the selected entries and emits selectedTimeChanged with "[hh:mm:ss]".
    // Durations are kept per file and read again only when the file's size or modification time changes.
    QString UpdateSelectedTime();
    qint64 SelectedSeconds() const { return m_selectedSeconds; }
    // Duration in seconds as the MPEG reader estimates it (0 for a stream or a missing file), from the cache.
    int durationOf(const QString &path);
    // Forget every kept duration.
    void clearDurationCache() { m_durations.clear(); }

    // The name a playing stream gives itself (its current title), shown in the name column of its entries in
    // place of the stored name; the entries, and so the saved list, keep theirs. An empty path ends it.
    void setLiveName(const QString &path, const QString &name);

    // --- Player state ----------------------------------------------------------------------------------
    int CurrentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index);
    int PlayedCount() const { return m_playedCount; }
    void setPlayedCount(int count);
    void incrementPlayedCount() { setPlayedCount(m_playedCount + 1); }
    // State after a list file was read: CurrentIndex -1, PlayedCount 0, then listLoaded().
    void markListLoaded();

signals:
    // The play queue changed (an entry queued or taken out, or played).
    void queueChanged();
    // Number of entries, for "Num of files:".
    void countChanged(int count);
    // Bracketed total of the selected entries, for "Selected".
    void selectedTimeChanged(const QString &text);
    void playedCountChanged(int count);
    void currentIndexChanged(int index);
    // A list file was read and took entries; the controller decides whether to start playing.
    void listLoaded();

private:
    PlaylistEntry buildEntry(int number, const QString &pathOrUrl);
    void keepDuration(const PreparedEntry &entry);
    void rebuild(QList<PlaylistEntry> entries);
    void renumber(int first, int last);
    // Deletes the rows marked in mask, then renumbers, selects and updates the total as removeSelected does.
    // Selected entries that stay remain selected, however the rows leave.
    void removeMarked(std::vector<char> mask);
    void selectRows(const std::vector<char> &rows);
    std::vector<char> selectedRowMask() const;

    void liveNameRowsChanged();

    QList<PlaylistEntry> m_entries;
    QString m_livePath, m_liveName;
    QStringList m_queue;
    void announceQueue();
    QItemSelectionModel *m_selection;
    QHash<QString, FileStamp> m_durations;
    qint64 m_selectedSeconds = 0;
    int m_currentIndex = -1;
    int m_playedCount = 0;
};
