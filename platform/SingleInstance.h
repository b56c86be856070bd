#pragma once
// One player per user: the first player listens on a local socket that only its user can reach; a second
// start hands its command line over that socket and ends.
//
// Wire format, one frame per connection: a 4-byte big-endian length, then that many bytes of UTF-8 (no NUL),
// answered by one acknowledgement byte. Anything else from a local client is dropped without an answer.
//
// The socket can be taken or blocked by others; the files of a player are guarded by a lock file beside
// them as well, so two players never run on the same files whatever happens to the socket.
//
// The player makes its listening socket itself; the local socket classes that serve it come in a module
// loaded when the first client connects, so a player that is never handed anything does not load them.
#include <QObject>
#include <QString>
#include <memory>
#include <sys/types.h>

class LockFile;
class QSocketNotifier;

class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // Larger frames are refused: a joined command line is a path, not megabytes.
    static constexpr qint32 MaxParamBytes = 256 * 1024;
    static constexpr char Acknowledgement = 0x06;

    // The per-user socket of defaultServerPath().
    explicit SingleInstance(QObject *parent = nullptr);
    // Another socket path (tests, or a second kind of program).
    explicit SingleInstance(const QString &serverPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/vorlan.socket; without XDG_RUNTIME_DIR, "player.socket" in a folder
    // "vorlan-<user id>" of the temp folder that only the user may enter.
    static QString defaultServerPath();
    QString serverPath() const { return m_path; }

    // Becomes the running player. False when a live player already listens (hand over to it), or when the
    // socket cannot be made (start-up goes on as a player of its own). A socket left by a crashed player is
    // removed first; a live one never is.
    bool listen();
    bool isListening() const;

    // From a second start: hands param (the joined command line; empty means "just come to the front") to
    // the running player. True when it acknowledged; the caller then ends.
    bool sendToRunning(const QString &param, int timeoutMs = 3000);

    // Connections that have not sent a whole frame within this time are dropped.
    void setClientTimeout(int ms) { m_clientTimeoutMs = ms; }

    enum class Claim {
        Running,    // this process is the player of these files
        HandedOver, // a running player took param; this process ends
        Refused,    // a player runs on these files but could not be reached within the wait; end
    };
    // The start of a player whose files are guarded by lockPath: takes the lock and listens, or hands param
    // to the player that holds it, trying again until waitMs passed. A socket that cannot be made (its
    // path is taken) leaves the lock as the guard: later starts then wait and are refused.
    // A lock left by a player that ended (however it ended), or anything else in the lock's place, is no
    // lock: the start goes on.
    Claim claim(const QString &lockPath, const QString &param, int waitMs = 10000);
    // After Refused: the process the lock names as its holder, 0 when it names none.
    qint64 lockHolderPid() const { return m_holderPid; }

signals:
    void handOverReceived(const QString &param);

private:
    void serveFirstClient();
    void closeSocket();
    bool folderIsPrivate() const;
    bool serverIsAlive() const;

    QString m_path;
    int m_listener = -1;                // ours until a server takes it over
    QSocketNotifier *m_knock = nullptr; // the first client
    QObject *m_server = nullptr;        // from the module
    bool m_failed = false;              // the module could not serve: clients are turned away
    dev_t m_socketDevice = 0;           // which socket file is ours to remove at the end
    ino_t m_socketInode = 0;
    int m_clientTimeoutMs = 1000;
    std::unique_ptr<LockFile> m_lock;
    qint64 m_holderPid = 0;
};
