#include "engine/xaudio/BufferedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

ssize_t readFile(void *handle, void *to, size_t bytes)
{
    return static_cast<BufferedFile *>(handle)->read(to, bytes);
}

off_t seekFile(void *handle, off_t offset, int whence)
{
    return static_cast<BufferedFile *>(handle)->seek(offset, whence);
}

// pread() until the bytes are there, the file ends or it fails.
ssize_t readAt(int fd, char *to, size_t bytes, off_t at)
{
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::pread(fd, to + done, bytes - done, at + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

} // namespace

BufferedFile::~BufferedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool BufferedFile::open(const std::string &name)
{
    m_fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat st {
    };
    if (::fstat(m_fd, &st) != 0)
        return false;
    m_size = st.st_size;
    m_buffer.reserve(Capacity);
    return true;
}

int BufferedFile::attach(mpg123_handle_struct *mh)
{
    const int r = mpg123_replace_reader_handle(mh, readFile, seekFile, nullptr);
    return r == MPG123_OK ? mpg123_open_handle(mh, this) : r;
}

ssize_t BufferedFile::read(void *to, size_t bytes)
{
    char *out = static_cast<char *>(to);
    size_t done = 0;
    while (done < bytes) {
        const off_t end = m_bufferStart + off_t(m_buffer.size());
        if (m_pos >= m_bufferStart && m_pos < end) {
            const size_t n = std::min(bytes - done, size_t(end - m_pos));
            std::memcpy(out + done, m_buffer.data() + (m_pos - m_bufferStart), n);
            m_pos += off_t(n);
            done += n;
            continue;
        }
        // Large reads go straight to the caller; small ones fill the buffer first.
        if (bytes - done >= Capacity) {
            const ssize_t n = readAt(m_fd, out + done, bytes - done, m_pos);
            if (n < 0)
                return done > 0 ? ssize_t(done) : -1;
            m_pos += off_t(n);
            done += size_t(n);
            break;
        }
        m_buffer.resize(Capacity);
        const ssize_t n = readAt(m_fd, m_buffer.data(), Capacity, m_pos);
        m_buffer.resize(size_t(std::max<ssize_t>(n, 0)));
        m_bufferStart = m_pos;
        if (n < 0)
            return done > 0 ? ssize_t(done) : -1;
        if (n == 0)
            break;
    }
    return ssize_t(done);
}

off_t BufferedFile::seek(off_t offset, int whence)
{
    off_t to;
    switch (whence) {
    case SEEK_SET:
        to = offset;
        break;
    case SEEK_CUR:
        to = m_pos + offset;
        break;
    case SEEK_END: {
        // The file may have grown since it was opened (a download still being written).
        struct stat st {
        };
        if (::fstat(m_fd, &st) == 0)
            m_size = st.st_size;
        to = m_size + offset;
        break;
    }
    default:
        errno = EINVAL;
        return -1;
    }
    if (to < 0) {
        errno = EINVAL;
        return -1;
    }
    m_pos = to;
    return m_pos;
}
