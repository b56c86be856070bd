#pragma once
// A folder walk for the add-files window: every file below RootFolder is offered to the events, depth first.
// The walk runs on whatever thread calls Execute, normally a TFileIteratorThread, and raises its events
// there; handlers that touch windows or the playlist hand their work to the UI thread themselves.
#include <QString>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>

class EFileIteratorError : public std::runtime_error
{
public:
    static const QString OnFlyMessage; // "Cannot change options on fly. Try later"
    static const QString
        BusyMessage; // "Iterator is not available at the moment. Please call later, but do call"

    explicit EFileIteratorError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// What the folder search tells about one file (filled when fiDetails is set).
struct TFileDetails {
    int64_t Size = 0;
    int32_t Time = 0;        // modification time as a DOS date-time stamp (local time)
    uint32_t Attributes = 0; // DOS attribute bits: 0x01 read-only, 0x02 hidden, 0x20 archive
};

class TFileIterator
{
public:
    enum Option : unsigned {
        fiPath = 0x1,          // events get folder + "/" + name; without it only the name
        fiDetails = 0x2,       // fill TFileDetails
        fiRecurseFolders = 0x4 // descend into sub-folders
    };
    enum class RunState { Idle, Running, StopRequested };

    using NotifyEvent = std::function<void(TFileIterator &sender)>;
    using AddFileQueryEvent = std::function<void(TFileIterator &sender, const QString &fileName,
                                                 const TFileDetails &details, bool &accept)>;
    using AddFileEvent =
        std::function<void(TFileIterator &sender, const QString &fileName, const TFileDetails &details)>;

    // Raised on the walk's thread. Assign them while the iterator is idle.
    NotifyEvent OnActivate;
    AddFileQueryEvent OnAddFileQuery; // accept is true on entry
    AddFileEvent OnAddFile;
    NotifyEvent OnTerminate;

    TFileIterator() = default;
    TFileIterator(const TFileIterator &) = delete;
    TFileIterator &operator=(const TFileIterator &) = delete;

    unsigned Options() const { return m_options.load(); }
    void setOptions(unsigned options) { m_options = options; }

    // Default "/". Refused with EFileIteratorError::OnFlyMessage while a walk runs, unless loading.
    QString RootFolder() const;
    void setRootFolder(const QString &folder);
    // While set, RootFolder may be changed at any time (the owner is restoring a stored state).
    void setLoading(bool loading) { m_loading = loading; }

    // Walks RootFolder: OnActivate, the files, OnTerminate. Throws EFileIteratorError::BusyMessage when a
    // walk runs already; returns at once when neither OnAddFile nor OnAddFileQuery is assigned. An exception
    // from a handler ends the walk; OnTerminate still runs, the iterator is idle again, and the exception is
    // passed on.
    void Execute();
    // Ends a running walk at its next entry.
    void Stop();
    RunState state() const { return m_state.load(); }
    bool isIdle() const { return state() == RunState::Idle; }

private:
    struct Walk;
    void walk(Walk &walk, const QString &folder);
    bool stopRequested() const { return m_state.load(std::memory_order_relaxed) == RunState::StopRequested; }

    std::atomic<unsigned> m_options{fiPath | fiDetails | fiRecurseFolders};
    std::atomic<RunState> m_state{RunState::Idle};
    std::atomic<bool> m_loading{false};
    mutable std::mutex m_rootMutex;
    QString m_root = QStringLiteral("/");
};

// A thread that runs one iterator's Execute. It starts at once and deletes itself when the walk has ended
// (a parent or owner may still delete it earlier, after Stop and wait). An exception from a handler is
// logged and ends the walk, not the program.
class TFileIteratorThread final : public QThread
{
    Q_OBJECT
public:
    explicit TFileIteratorThread(TFileIterator *iterator, QObject *parent = nullptr);
    ~TFileIteratorThread() override;

signals:
    // Execute refused to start (the iterator was busy). Sent to the thread object's own thread through its
    // event loop, so whoever created the thread has connected before it arrives.
    void refused(const QString &message);

protected:
    void run() override;

private:
    TFileIterator *m_iterator;
};
