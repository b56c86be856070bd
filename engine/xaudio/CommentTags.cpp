#include "engine/xaudio/CommentTags.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{

std::string lowerKey(const char *begin, const char *end)
{
    std::string key(begin, end);
    for (char &c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return key;
}

} // namespace

void CommentTags::add(const char *entry, size_t length)
{
    if (!entry || length > MaxEntry || m_bytes + length > MaxBytes)
        return;
    const char *equals = static_cast<const char *>(std::memchr(entry, '=', length));
    if (!equals || equals == entry)
        return;
    // Values are C strings to the caller, as FFmpeg's are.
    std::string v(equals + 1, entry + length);
    v.resize(std::strlen(v.c_str()));
    const auto [at, added] = m_tags.try_emplace(lowerKey(entry, equals), v);
    if (!added)
        at->second += ";" + v;
    m_bytes += length;
}

void CommentTags::clear()
{
    m_tags.clear();
    m_bytes = 0;
}

int CommentTags::find(const char *key, char *value, int size) const
{
    if (!key || !*key)
        return -1;
    const auto found = m_tags.find(lowerKey(key, key + std::strlen(key)));
    if (found == m_tags.end())
        return -1;
    const std::string &v = found->second;
    if (value && size > 0)
        std::snprintf(value, size_t(size), "%s", v.c_str());
    return int(std::min<size_t>(v.size(), 1 << 30));
}
