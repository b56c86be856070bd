#pragma once
// A local file handed to libmpg123 through a buffer: its own reader asks the system for every frame header
// and every frame body, two calls per 26 ms of sound.
#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

struct mpg123_handle_struct;

class BufferedFile
{
public:
    BufferedFile() = default;
    ~BufferedFile();
    BufferedFile(const BufferedFile &) = delete;
    BufferedFile &operator=(const BufferedFile &) = delete;

    // False with errno set when the file cannot be opened.
    bool open(const std::string &name);
    // Opens the decoder on this file, read through the buffer; the file must outlive the decoder's use of it.
    int attach(mpg123_handle_struct *mh);

    // The reader's calls, as libmpg123 makes them: bytes read (0 at the end, -1 on an error), and the new
    // position (-1 when it would fall outside the file's start).
    ssize_t read(void *to, size_t bytes);
    off_t seek(off_t offset, int whence);
    off_t size() const { return m_size; }

private:
    // A second of sound at 128 kbit/s per read; the queued song holds a buffer of its own too.
    static constexpr size_t Capacity = 16 * 1024;

    int m_fd = -1;
    off_t m_size = 0;
    off_t m_pos = 0;
    off_t m_bufferStart = 0;
    std::vector<char> m_buffer; // what the file holds from m_bufferStart on
};
