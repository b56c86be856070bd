#pragma once
// The "KEY=value" comments of Vorbis, Opus and FLAC streams, kept by their keys in lower case (keys match
// without case), for the decoder modules that read them. A key given more than once has its values joined
// with
// ";", as FFmpeg gives them. Only what the player may ask for is kept: short entries, a megabyte in all.
#include <cstddef>
#include <string>
#include <unordered_map>

class CommentTags
{
public:
    static constexpr size_t MaxBytes = 1 << 20;
    static constexpr size_t MaxEntry = 64 << 10;

    // One comment of this many bytes; one without "=" or a key, or past the limits, is passed over.
    void add(const char *entry, size_t length);
    void clear();
    bool empty() const { return m_tags.empty(); }
    // The value's length, copied into value (cut and terminated at size), or -1 when there is none.
    int find(const char *key, char *value, int size) const;

private:
    std::unordered_map<std::string, std::string> m_tags;
    size_t m_bytes = 0;
};
