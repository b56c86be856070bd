#include "playlist/TFileIterator.h"
#include "platform/FileName.h"

#include "playlist/PlaylistLog.h"
#include "tags/PosixFile.h"

#include <QFile>
#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <exception>
#include <sys/stat.h>
#include <unordered_set>
#include <vector>

const QString EFileIteratorError::OnFlyMessage = QStringLiteral("Cannot change options on fly. Try later");
const QString EFileIteratorError::BusyMessage =
    QStringLiteral("Iterator is not available at the moment. Please call later, but do call");

EFileIteratorError::EFileIteratorError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

namespace
{

int32_t dosDateTime(time_t t)
{
    struct tm tm;
    if (!localtime_r(&t, &tm))
        return 0;
    const int year = std::clamp(tm.tm_year + 1900, 1980, 2107);
    return int32_t((uint32_t(year - 1980) << 25) | (uint32_t(tm.tm_mon + 1) << 21) |
                   (uint32_t(tm.tm_mday) << 16) | (uint32_t(tm.tm_hour) << 11) | (uint32_t(tm.tm_min) << 5) |
                   (uint32_t(std::min(tm.tm_sec, 59)) / 2));
}

TFileDetails detailsOf(const struct stat &st, const QByteArray &native, bool hidden)
{
    TFileDetails d;
    d.Size = st.st_size;
    d.Time = dosDateTime(st.st_mtime);
    const bool readOnly = !tagio::PosixFile::mayWrite(st, native);
    d.Attributes = (readOnly ? 0x01u : 0u) | (hidden ? 0x02u : 0u) | (readOnly || hidden ? 0u : 0x20u);
    return d;
}

struct DirEntry {
    QByteArray native;
    QString name;
    unsigned char type;
};

// Folders are listed in name order, ignoring case, the order users know from their file managers; the
// system's own order on most Linux file systems is a hash order that means nothing to anyone.
bool byName(const DirEntry &a, const DirEntry &b)
{
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.native < b.native;
}

// Resets the run state however the walk ends.
struct IdleOnExit {
    std::atomic<TFileIterator::RunState> &state;
    ~IdleOnExit() { state = TFileIterator::RunState::Idle; }
};

} // namespace

struct TFileIterator::Walk {
    struct FolderId {
        dev_t device;
        ino_t inode;
        bool operator==(const FolderId &) const = default;
    };
    struct FolderIdHash {
        size_t operator()(const FolderId &id) const
        {
            return std::hash<uint64_t>()(uint64_t(id.inode) * 1000003u ^ uint64_t(id.device));
        }
    };
    unsigned options = 0;
    // Folders entered in this walk: a folder reached again through a link (a link up the tree would make a
    // loop) is walked once.
    std::unordered_set<FolderId, FolderIdHash> visited;
};

QString TFileIterator::RootFolder() const
{
    std::lock_guard<std::mutex> lock(m_rootMutex);
    return m_root;
}

void TFileIterator::setRootFolder(const QString &folder)
{
    if (!isIdle() && !m_loading)
        throw EFileIteratorError(EFileIteratorError::OnFlyMessage);
    std::lock_guard<std::mutex> lock(m_rootMutex);
    m_root = folder;
}

void TFileIterator::Stop()
{
    RunState running = RunState::Running;
    m_state.compare_exchange_strong(running, RunState::StopRequested);
}

void TFileIterator::Execute()
{
    RunState idle = RunState::Idle;
    if (!m_state.compare_exchange_strong(idle, RunState::Running))
        throw EFileIteratorError(EFileIteratorError::BusyMessage);
    IdleOnExit guard{m_state};
    if (!OnAddFile && !OnAddFileQuery)
        return;

    // A handler that throws ends the walk, but OnTerminate still comes: owners finish up there (the playlist
    // window enables ADD again). The handler's exception then goes on to the caller.
    std::exception_ptr failure;
    try {
        if (OnActivate)
            OnActivate(*this);
        QString root = RootFolder();
        if (root.endsWith(QLatin1Char('/')))
            root.chop(1);
        Walk w;
        w.options = Options();
        walk(w, root);
    } catch (...) {
        failure = std::current_exception();
    }
    if (OnTerminate)
        OnTerminate(*this);
    if (failure)
        std::rethrow_exception(failure);
}

void TFileIterator::walk(Walk &w, const QString &folder)
{
    // The root folder "/" arrives without its slash.
    const QByteArray nativeFolder = FileName::encode(folder);
    DIR *dir = ::opendir(nativeFolder.isEmpty() ? "/" : nativeFolder.constData());
    if (!dir)
        return; // unreadable or gone: nothing to add from it
    struct stat dirStat;
    if (::fstat(::dirfd(dir), &dirStat) != 0 || !w.visited.insert({dirStat.st_dev, dirStat.st_ino}).second) {
        ::closedir(dir);
        return;
    }
    // Read the whole folder first, so deep trees do not keep a descriptor open per level.
    std::vector<DirEntry> entries;
    while (struct dirent *e = ::readdir(dir)) {
        if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
            continue;
        QByteArray native(e->d_name);
        entries.push_back({native, FileName::decode(native), e->d_type});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), byName);

    const bool fullPath = w.options & fiPath;
    const bool details = w.options & fiDetails;
    const bool recurse = w.options & fiRecurseFolders;
    for (const DirEntry &e : entries) {
        if (stopRequested())
            return;
        const QByteArray nativePath = nativeFolder + '/' + e.native;
        struct stat st;
        bool haveStat = false;
        bool isDir = e.type == DT_DIR;
        if (e.type == DT_UNKNOWN || e.type == DT_LNK) {
            // Links count as what they point at; a broken link is offered as a file and refused there.
            haveStat = ::stat(nativePath.constData(), &st) == 0;
            isDir = haveStat && S_ISDIR(st.st_mode);
        }
        const QString path = folder + QLatin1Char('/') + e.name;
        if (isDir) {
            if (recurse && !e.name.startsWith(QLatin1Char('.')))
                walk(w, path);
            continue;
        }
        TFileDetails d;
        if (details && (haveStat || ::stat(nativePath.constData(), &st) == 0))
            d = detailsOf(st, nativePath, e.name.startsWith(QLatin1Char('.')));
        const QString &name = fullPath ? path : e.name;
        bool accept = true;
        if (OnAddFileQuery)
            OnAddFileQuery(*this, name, d, accept);
        if (accept && OnAddFile)
            OnAddFile(*this, name, d);
    }
}

// --- TFileIteratorThread -----------------------------------------------------------------------------------

TFileIteratorThread::TFileIteratorThread(TFileIterator *iterator, QObject *parent)
    : QThread(parent), m_iterator(iterator)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

TFileIteratorThread::~TFileIteratorThread()
{
    // Deleted before the walk ended (the program is closing): end it and let the thread finish first.
    // Asked again until it ends: a walk that had not begun yet when the first Stop came ignores it.
    if (!isRunning())
        return;
    do {
        if (m_iterator)
            m_iterator->Stop();
    } while (!wait(10));
}

void TFileIteratorThread::run()
{
    if (!m_iterator)
        return;
    try {
        m_iterator->Execute();
    } catch (const EFileIteratorError &e) {
        // Queued before finished() and the deletion that follows it.
        QMetaObject::invokeMethod(
            this, [this, message = e.message()] { emit refused(message); }, Qt::QueuedConnection);
    } catch (const std::exception &e) {
        // Nothing may leave a thread's run: it would end the program. The walk has ended and said so.
        qCWarning(lcPlaylist, "The folder walk ended early: %s", e.what());
    } catch (...) {
        qCWarning(lcPlaylist, "The folder walk ended early.");
    }
}
