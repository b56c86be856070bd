#pragma once
// Bytes of a network stream, fetched on a thread of their own so the decoder never blocks on the network:
// "http://", "https://" and "ftp://" through libcurl (ICY metadata blocks stripped, the stream title kept),
// and "udp://host:port" as raw MPEG frames in datagrams.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Removes the metadata blocks a server interleaves every metaint bytes when asked with "Icy-MetaData: 1".
class IcyStripper
{
public:
    void setMetaInterval(size_t metaint)
    {
        m_metaint = metaint;
        m_untilMeta = metaint;
        m_metaLeft = 0;
        m_wantLength = false;
    }
    // Appends the audio bytes of data to out.
    void feed(const uint8_t *data, size_t size, std::vector<uint8_t> &out);
    std::string streamTitle() const { return m_title; }

private:
    void parseMeta();

    size_t m_metaint = 0;
    size_t m_untilMeta = 0;
    size_t m_metaLeft = 0;
    bool m_wantLength = false;
    std::string m_meta;
    std::string m_title;
};

class StreamSource
{
public:
    // Null with *error set when the URL cannot be used at all.
    static std::unique_ptr<StreamSource> open(const std::string &url, std::string *error);
    virtual ~StreamSource();

    // Waits up to timeoutMs for data: > 0 bytes copied, 0 nothing yet, -1 the stream has ended (see
    // failed()).
    long read(uint8_t *buffer, size_t max, int timeoutMs);
    // Waits up to timeoutMs for size bytes and copies them without taking them: the bytes copied, fewer
    // when the time ran out or the stream ended first.
    size_t peek(uint8_t *buffer, size_t size, int timeoutMs);
    // The server's Content-Type, lower case, without parameters; empty when it sent none.
    std::string contentType() const;
    bool failed() const;
    // The stream has ended (or failed); what it sent may still wait to be read.
    bool finished() const;
    std::string errorText() const;
    std::string streamTitle() const;

protected:
    StreamSource() = default;
    // Blocks while the buffer is full; false when the source is being closed.
    bool push(const uint8_t *data, size_t size);
    void finish(bool ok, const std::string &error);
    void setTitle(const std::string &title);
    void setContentType(const std::string &type);
    void stopThread();

    std::atomic<bool> m_abort{false};
    std::thread m_thread;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<uint8_t> m_buffer;
    bool m_ended = false;
    bool m_failed = false;
    std::string m_error;
    std::string m_title;
    std::string m_contentType;
};
