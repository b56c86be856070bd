#pragma once
// Plain POSIX access to the files the reader and the tag writer work on: few system calls per file (the
// playlist reads thousands of them), regular files only (a FIFO or device named in a playlist must not block
// or stream forever), and no state shared between instances, so readers may run on worker threads.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <sys/stat.h>

namespace tagio
{

class PosixFile
{
public:
    // Opens with the given access flags (O_RDONLY, O_RDWR); only a regular file counts as open.
    PosixFile(const QByteArray &nativePath, int flags);
    ~PosixFile();
    PosixFile(const PosixFile &) = delete;
    PosixFile &operator=(const PosixFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    // errno of a failed open (EISDIR for a folder, ENODEV for another kind of non-regular file).
    int error() const { return m_error; }
    QString errorString() const;
    const struct stat &stat() const { return m_stat; }

    // Exactly n bytes, or false.
    bool readAt(int64_t pos, void *buffer, int64_t n);
    bool writeAt(int64_t pos, const void *buffer, int64_t n);
    // Whether what was written reached the disk (a full disk may say so only here).
    bool sync();
    bool truncate(int64_t size);

    // Whether the file counts as writable: for its owner (and root) the owner's write bit decides, as the
    // read-only attribute of other systems would; for anybody else whatever the system allows.
    static bool mayWrite(const struct stat &st, const QByteArray &nativePath);
    static uint32_t bigEndian32(const uint8_t *p)
    {
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
    }

private:
    int m_fd = -1;
    int m_error = 0;
    struct stat m_stat = {};
};

// One block of a file in memory at a time, so a search through megabytes takes a few large reads.
class BlockReader
{
public:
    static constexpr int kBlockSize = 64 * 1024;
    // The longest frame by the 144000 rule (256 kbit/s at 8 kHz: 4608 bytes, plus padding) and the header
    // after it fit in this many bytes: a block kept this far ahead of a candidate holds its confirming
    // header.
    static constexpr int kLookahead = 8192;

    BlockReader(int fd, int64_t size);

    // Makes [pos, pos + want) available as far as the file reaches. False when the file does not reach pos
    // or a read failed.
    bool ensure(int64_t pos, int64_t want);
    // n bytes at pos, or nullptr when the file does not hold them or a read failed (see failed()).
    const uint8_t *get(int64_t pos, int n);

    const uint8_t *data() const { return m_buf.get(); }
    int64_t start() const { return m_start; }
    int64_t end() const { return m_start + m_len; }
    // The block holds the file's last byte (or the file turned out shorter than its size said).
    bool reachesEnd() const { return m_short || end() >= m_size; }
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

private:
    bool load(int64_t pos);

    int m_fd;
    int64_t m_size;
    int64_t m_capacity;
    std::unique_ptr<uint8_t[]> m_buf;
    int64_t m_start = 0;
    int64_t m_len = 0;
    bool m_short = false;
    int m_error = 0;
};

} // namespace tagio
