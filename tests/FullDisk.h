#pragma once
// A folder whose file system is full, for the tests of saves on a full disk: a 64 KiB tmpfs mounted on it
// and filled to the last byte. Where no file system can be mounted (not root), writes are made to fail
// instead by a file size limit of one byte, for this process (FileSizeLimit) or for a child (childLimit),
// which the kernel enforces on every write as it does a full disk.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vorlantest
{

class FullDisk
{
public:
    explicit FullDisk(QString dir) : m_dir(std::move(dir))
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=64k,mode=0700"), QStringLiteral("tmpfs"), m_dir});
        m_mounted = ::geteuid() == 0 && mount.waitForFinished(10000) &&
                    mount.exitStatus() == QProcess::NormalExit && mount.exitCode() == 0;
    }
    ~FullDisk()
    {
        if (!m_mounted)
            return;
        QProcess umount;
        umount.start(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir});
        umount.waitForFinished(10000);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool mounted() const { return m_mounted; }

    // Takes every byte left but about leaveFree (on the tmpfs; nothing to do under a file size limit).
    void fill(qint64 leaveFree = 0) const
    {
        if (!m_mounted)
            return;
        const int fd = ::open(QFile::encodeName(m_dir + QStringLiteral("/filler")).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        char block[512] = {};
        while (::write(fd, block, sizeof block) > 0) {
        }
        // The last bytes of a page.
        while (::write(fd, block, 1) > 0) {
        }
        const off_t size = ::lseek(fd, 0, SEEK_END);
        if (leaveFree > 0 && size > leaveFree) [[maybe_unused]]
            const int cut = ::ftruncate(fd, size - leaveFree);
        ::close(fd);
    }

    // For a child started on this folder: without a tmpfs, every write past its first byte fails.
    void limitChild(QProcess &process) const
    {
        if (m_mounted)
            return;
        process.setChildProcessModifier([] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit one{1, 1};
            ::setrlimit(RLIMIT_FSIZE, &one);
        });
    }

private:
    QString m_dir;
    bool m_mounted = false;
};

// In this process, while it lives: every write past a file's first byte fails (with SIGXFSZ ignored).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(bool active) : m_active(active)
    {
        if (!m_active)
            return;
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        const rlimit one{1, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &one);
    }
    ~FileSizeLimit()
    {
        if (!m_active)
            return;
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    bool m_active;
    rlimit m_old{};
    sighandler_t m_oldHandler = SIG_DFL;
};

} // namespace vorlantest
