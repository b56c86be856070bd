#include "tags/PosixFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tagio
{

PosixFile::PosixFile(const QByteArray &nativePath, int flags)
{
    int fd;
    do {
        fd = ::open(nativePath.constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    if (::fstat(fd, &m_stat) != 0) {
        m_error = errno;
        ::close(fd);
        return;
    }
    if (!S_ISREG(m_stat.st_mode)) {
        m_error = S_ISDIR(m_stat.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        return;
    }
    m_fd = fd;
}

PosixFile::~PosixFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString PosixFile::errorString() const
{
    if (m_error == ENODEV)
        return QStringLiteral("Not a regular file");
    return qt_error_string(m_error);
}

bool PosixFile::readAt(int64_t pos, void *buffer, int64_t n)
{
    auto *p = static_cast<char *>(buffer);
    while (n > 0) {
        const ssize_t got = ::pread(m_fd, p, size_t(n), off_t(pos));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        pos += got;
        n -= got;
    }
    return true;
}

bool PosixFile::writeAt(int64_t pos, const void *buffer, int64_t n)
{
    const auto *p = static_cast<const char *>(buffer);
    while (n > 0) {
        const ssize_t put = ::pwrite(m_fd, p, size_t(n), off_t(pos));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        pos += put;
        n -= put;
    }
    return true;
}

bool PosixFile::truncate(int64_t size)
{
    int rc;
    do {
        rc = ::ftruncate(m_fd, off_t(size));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

bool PosixFile::sync()
{
    int rc;
    do {
        rc = ::fsync(m_fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 || errno == EINVAL || errno == EROFS;
}

bool PosixFile::mayWrite(const struct stat &st, const QByteArray &nativePath)
{
    // Asked once: programs of this project never change their user, and every read asks.
    static const uid_t me = ::geteuid();
    if (me == 0 || me == st.st_uid)
        return (st.st_mode & S_IWUSR) != 0;
    return ::access(nativePath.constData(), W_OK) == 0;
}

BlockReader::BlockReader(int fd, int64_t size)
    : m_fd(fd), m_size(size), m_capacity(std::min<int64_t>(std::max<int64_t>(size, 0), kBlockSize)),
      m_buf(new uint8_t[size_t(std::max<int64_t>(m_capacity, 1))])
{
}

bool BlockReader::load(int64_t pos)
{
    m_start = pos;
    m_len = 0;
    m_short = false;
    const int64_t want = std::min<int64_t>(m_capacity, m_size - pos);
    while (m_len < want) {
        const ssize_t got = ::pread(m_fd, m_buf.get() + m_len, size_t(want - m_len), off_t(pos + m_len));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            m_error = errno;
            m_len = 0;
            return false;
        }
        if (got == 0) {
            m_short = true;
            break;
        }
        m_len += got;
    }
    return true;
}

bool BlockReader::ensure(int64_t pos, int64_t want)
{
    if (m_error || pos < 0 || pos >= m_size)
        return false;
    want = std::min(want, m_size - pos);
    if (pos < m_start || pos + want > end()) {
        if (!load(pos))
            return false;
    }
    return pos < end();
}

const uint8_t *BlockReader::get(int64_t pos, int n)
{
    if (m_error || pos < 0 || pos + n > m_size)
        return nullptr;
    if (pos < m_start || pos + n > end()) {
        if (!load(pos) || pos + n > end())
            return nullptr;
    }
    return m_buf.get() + (pos - m_start);
}

} // namespace tagio
