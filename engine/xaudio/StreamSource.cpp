#include "engine/xaudio/StreamSource.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cstring>
#include <curl/curl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

constexpr size_t MaxBuffered = 1 << 20;
// A stream that sends nothing for this long has dropped.
constexpr int StallSeconds = 5;

void curlGlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

void IcyStripper::feed(const uint8_t *data, size_t size, std::vector<uint8_t> &out)
{
    if (m_metaint == 0) {
        out.insert(out.end(), data, data + size);
        return;
    }
    size_t i = 0;
    while (i < size) {
        if (m_metaLeft > 0) {
            const size_t n = std::min(m_metaLeft, size - i);
            m_meta.append(reinterpret_cast<const char *>(data + i), n);
            m_metaLeft -= n;
            i += n;
            if (m_metaLeft == 0) {
                parseMeta();
                m_untilMeta = m_metaint;
            }
        } else if (m_wantLength) {
            m_wantLength = false;
            m_metaLeft = size_t(data[i++]) * 16;
            m_meta.clear();
            if (m_metaLeft == 0)
                m_untilMeta = m_metaint;
        } else {
            const size_t n = std::min(m_untilMeta, size - i);
            out.insert(out.end(), data + i, data + i + n);
            m_untilMeta -= n;
            i += n;
            if (m_untilMeta == 0)
                m_wantLength = true;
        }
    }
}

void IcyStripper::parseMeta()
{
    const std::string key = "StreamTitle='";
    const size_t start = m_meta.find(key);
    if (start == std::string::npos)
        return;
    const size_t from = start + key.size();
    size_t end = m_meta.find("';", from);
    if (end == std::string::npos)
        end = m_meta.find('\'', from);
    if (end == std::string::npos)
        end = m_meta.size();
    m_title = m_meta.substr(from, end - from);
    m_title.erase(std::find(m_title.begin(), m_title.end(), '\0'), m_title.end());
}

StreamSource::~StreamSource()
{
    stopThread();
}

void StreamSource::stopThread()
{
    m_abort = true;
    {
        std::lock_guard lock(m_mutex);
        m_cv.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

bool StreamSource::push(const uint8_t *data, size_t size)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [&] { return m_abort || m_buffer.size() < MaxBuffered; });
    if (m_abort)
        return false;
    m_buffer.insert(m_buffer.end(), data, data + size);
    m_cv.notify_all();
    return true;
}

void StreamSource::finish(bool ok, const std::string &error)
{
    std::lock_guard lock(m_mutex);
    m_ended = true;
    m_failed = !ok;
    m_error = error;
    m_cv.notify_all();
}

void StreamSource::setTitle(const std::string &title)
{
    std::lock_guard lock(m_mutex);
    m_title = title;
}

void StreamSource::setContentType(const std::string &type)
{
    std::string t = type.substr(0, type.find(';'));
    const auto notSpace = [](unsigned char c) { return !std::isspace(c); };
    t.erase(t.begin(), std::find_if(t.begin(), t.end(), notSpace));
    t.erase(std::find_if(t.rbegin(), t.rend(), notSpace).base(), t.end());
    std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::lock_guard lock(m_mutex);
    m_contentType = t;
}

std::string StreamSource::contentType() const
{
    std::lock_guard lock(m_mutex);
    return m_contentType;
}

size_t StreamSource::peek(uint8_t *buffer, size_t size, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                  [&] { return m_buffer.size() >= size || m_ended || m_abort; });
    const size_t n = std::min(size, m_buffer.size());
    std::copy_n(m_buffer.begin(), n, buffer);
    return n;
}

long StreamSource::read(uint8_t *buffer, size_t max, int timeoutMs)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_buffer.empty() || m_ended; });
    if (m_buffer.empty())
        return m_ended ? -1 : 0;
    const size_t n = std::min(max, m_buffer.size());
    std::copy_n(m_buffer.begin(), n, buffer);
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + long(n));
    m_cv.notify_all();
    return long(n);
}

bool StreamSource::failed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

bool StreamSource::finished() const
{
    std::lock_guard lock(m_mutex);
    return m_ended;
}

std::string StreamSource::errorText() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

std::string StreamSource::streamTitle() const
{
    std::lock_guard lock(m_mutex);
    return m_title;
}

namespace
{

class HttpSource : public StreamSource
{
public:
    explicit HttpSource(const std::string &url) : m_url(url)
    {
        curlGlobalInit();
        m_thread = std::thread([this] { run(); });
    }
    ~HttpSource() override { stopThread(); }

private:
    static size_t onData(char *ptr, size_t size, size_t n, void *user)
    {
        auto *self = static_cast<HttpSource *>(user);
        const size_t bytes = size * n;
        self->m_audio.clear();
        self->m_icy.feed(reinterpret_cast<const uint8_t *>(ptr), bytes, self->m_audio);
        if (!self->m_icy.streamTitle().empty() && self->m_icy.streamTitle() != self->m_lastTitle) {
            self->m_lastTitle = self->m_icy.streamTitle();
            self->setTitle(self->m_lastTitle);
        }
        if (!self->m_audio.empty() && !self->push(self->m_audio.data(), self->m_audio.size()))
            return 0;
        return bytes;
    }

    static size_t onHeader(char *ptr, size_t size, size_t n, void *user)
    {
        auto *self = static_cast<HttpSource *>(user);
        const std::string line(ptr, size * n);
        // Each response of a redirect chain brings its own headers.
        if (line.rfind("HTTP/", 0) == 0 || line.rfind("ICY ", 0) == 0)
            self->m_icy.setMetaInterval(0);
        if (strncasecmp(line.c_str(), "icy-", 4) == 0 || line.rfind("ICY ", 0) == 0)
            self->m_live = true;
        if (strncasecmp(line.c_str(), "content-type:", 13) == 0)
            self->setContentType(line.substr(13));
        if (strncasecmp(line.c_str(), "icy-metaint:", 12) == 0) {
            const long v = std::strtol(line.c_str() + 12, nullptr, 10);
            if (v > 0 && v < (1 << 24))
                self->m_icy.setMetaInterval(size_t(v));
        }
        return size * n;
    }

    static int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<HttpSource *>(user)->m_abort ? 1 : 0;
    }

    void run()
    {
        CURL *curl = curl_easy_init();
        if (!curl) {
            finish(false, "cannot start a network transfer");
            return;
        }
        char errorBuffer[CURL_ERROR_SIZE] = {};
        curl_slist *headers = curl_slist_append(nullptr, "Icy-MetaData: 1");
        // SHOUTcast servers answer "ICY 200 OK", which curl otherwise refuses as HTTP/0.9.
        curl_slist *icyOk = curl_slist_append(nullptr, "ICY 200 OK");
        curl_easy_setopt(curl, CURLOPT_URL, m_url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_HTTP200ALIASES, icyOk);
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 10L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(StallSeconds));
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "Vorlan/1.8");
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &HttpSource::onData);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &HttpSource::onHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &HttpSource::onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
        const CURLcode rc = curl_easy_perform(curl);
        curl_off_t length = -1;
        curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        curl_slist_free_all(headers);
        curl_slist_free_all(icyOk);
        curl_easy_cleanup(curl);
        // A radio stream has no length and no end: the server closing it is a dropped connection.
        if (rc == CURLE_OK && m_live && length < 0)
            finish(false, "the server closed the stream");
        else if (rc == CURLE_OK)
            finish(true, std::string());
        else
            finish(false, errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    }

    std::string m_url;
    IcyStripper m_icy;
    std::vector<uint8_t> m_audio;
    std::string m_lastTitle;
    bool m_live = false; // the server answered as a radio station
};

class UdpSource : public StreamSource
{
public:
    explicit UdpSource(int fd) : m_fd(fd)
    {
        m_thread = std::thread([this] { run(); });
    }
    ~UdpSource() override
    {
        stopThread();
        ::close(m_fd);
    }

    // "udp://host:port": listens on that address (a multicast group is joined).
    static int bind(const std::string &hostPort, std::string *error)
    {
        const size_t colon = hostPort.rfind(':');
        if (colon == std::string::npos) {
            *error = "a UDP address needs a port";
            return -1;
        }
        std::string host = hostPort.substr(0, colon);
        const std::string port = hostPort.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        hints.ai_flags = AI_PASSIVE;
        addrinfo *res = nullptr;
        if (getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &res) != 0 || !res) {
            *error = "cannot resolve " + hostPort;
            return -1;
        }
        int fd = ::socket(res->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            freeaddrinfo(res);
            *error = std::string("cannot create a socket: ") + std::strerror(errno);
            return -1;
        }
        int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, res->ai_addr, res->ai_addrlen) != 0) {
            *error = "cannot listen on " + hostPort + ": " + std::strerror(errno);
            ::close(fd);
            freeaddrinfo(res);
            return -1;
        }
        if (res->ai_family == AF_INET) {
            const auto *sin = reinterpret_cast<const sockaddr_in *>(res->ai_addr);
            if (IN_MULTICAST(ntohl(sin->sin_addr.s_addr))) {
                ip_mreq mreq{};
                mreq.imr_multiaddr = sin->sin_addr;
                mreq.imr_interface.s_addr = htonl(INADDR_ANY);
                setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &mreq, sizeof mreq);
            }
        }
        freeaddrinfo(res);
        return fd;
    }

private:
    void run()
    {
        std::vector<uint8_t> datagram(65536);
        int quietMs = 0;
        while (!m_abort) {
            pollfd p{m_fd, POLLIN, 0};
            const int r = ::poll(&p, 1, 100);
            if (r < 0 && errno != EINTR) {
                finish(false, std::string("network error: ") + std::strerror(errno));
                return;
            }
            if (r <= 0) {
                quietMs += 100;
                if (quietMs >= StallSeconds * 1000) {
                    finish(false, "no data received for " + std::to_string(StallSeconds) + " seconds");
                    return;
                }
                continue;
            }
            const ssize_t n = ::recv(m_fd, datagram.data(), datagram.size(), 0);
            if (n > 0) {
                quietMs = 0;
                if (!push(datagram.data(), size_t(n)))
                    return;
            }
        }
    }

    int m_fd;
};

} // namespace

std::unique_ptr<StreamSource> StreamSource::open(const std::string &url, std::string *error)
{
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) {
        *error = "not a stream address";
        return nullptr;
    }
    std::string proto = url.substr(0, scheme);
    std::transform(proto.begin(), proto.end(), proto.begin(), ::tolower);
    if (proto == "http" || proto == "https" || proto == "ftp")
        return std::make_unique<HttpSource>(url);
    if (proto == "udp") {
        std::string rest = url.substr(scheme + 3);
        const size_t slash = rest.find('/');
        if (slash != std::string::npos)
            rest = rest.substr(0, slash);
        const int fd = UdpSource::bind(rest, error);
        if (fd < 0)
            return nullptr;
        return std::make_unique<UdpSource>(fd);
    }
    *error = "unsupported stream protocol " + proto;
    return nullptr;
}
