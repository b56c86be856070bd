#pragma once
// A lock that only a living process holds: the file is locked with flock(), which the system lets go when its
// holder ends however it ends (a crash, kill -9, a power cut). So a lock left behind is no lock: whatever the
// file holds (nothing, junk, another machine's process) the next start takes it over. Its text says who holds
// it, in the "pid, program, host" lines other lock files of Qt programs use, for a message to the user.
//
// Only a small regular file is ever opened: a folder, FIFO, socket, device or link in the lock's place is set
// aside (renamed "<name>.stale.<pid>") and a lock file made anew, so nothing in its place can block or flood
// a start.
#include <QByteArray>
#include <QString>

class LockFile
{
public:
    // A lock's text is a few short lines; a larger file is not read at all.
    static constexpr qint64 MaxTextBytes = 4096;

    explicit LockFile(QString path);
    // Lets go (and removes the file) when held.
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    enum class Result {
        Locked,      // this process holds it now
        Held,        // a living process holds it
        Unavailable, // no lock can be made there (a read-only folder, no locks on that file system)
    };
    Result tryLock();
    void unlock();
    bool isLocked() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    struct Holder {
        qint64 pid = 0; // 0 when the text names no process
        QString program;
        QString host;
    };
    // Who the lock's text names; after Held, the holder's own words (when its text could be read).
    Holder holder() const { return m_holder; }
    // Reads a lock's text (at most MaxTextBytes are looked at).
    static Holder parse(const QByteArray &text);
    // The text this process writes.
    static QByteArray textFor(qint64 pid, const QString &program, const QString &host);

private:
    bool setAside(const QByteArray &native);
    void readHolder(int fd);

    QString m_path;
    int m_fd = -1;
    Holder m_holder;
};
