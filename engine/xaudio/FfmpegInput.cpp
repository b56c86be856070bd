#include "engine/xaudio/FfmpegInput.h"

#include "engine/xaudio/FfmpegModule.h"
#include "engine/xaudio/xaudio.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

FfmpegInput::~FfmpegInput()
{
    if (m_input)
        FfmpegModule::entries()->close(m_input);
}

bool FfmpegInput::hasOwnExtension(const std::string &name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.find('/', dot) != std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const char *own : {"flac", "ogg", "oga", "opus", "m4a", "mp4", "aac", "wav", "aif", "aiff", "wv"})
        if (ext == own)
            return true;
    return false;
}

bool FfmpegInput::startsAsOwnFormat(const std::string &name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    unsigned char b[12] = {};
    off_t at = 0;
    ssize_t n = ::pread(fd, b, sizeof b, at);
    // A FLAC file may carry an ID3v2 tag in front.
    if (n == ssize_t(sizeof b) && !std::memcmp(b, "ID3", 3) && b[3] < 0xff &&
        !((b[6] | b[7] | b[8] | b[9]) & 0x80)) {
        at = 10 + (off_t(b[6]) << 21 | off_t(b[7]) << 14 | off_t(b[8]) << 7 | off_t(b[9])) +
             (b[5] & 0x10 ? 10 : 0);
        n = ::pread(fd, b, sizeof b, at);
    }
    ::close(fd);
    if (n != ssize_t(sizeof b))
        return false;
    auto is = [&b](size_t at, const char *magic) { return !std::memcmp(b + at, magic, std::strlen(magic)); };
    return is(0, "fLaC") || is(0, "OggS") || is(0, "wvpk") || is(4, "ftyp") ||
           ((is(0, "RIFF") || is(0, "RF64")) && is(8, "WAVE")) ||
           (is(0, "FORM") && (is(8, "AIFF") || is(8, "AIFC")));
}

int FfmpegInput::readFile(void *user, uint8_t *buffer, int size)
{
    return int(static_cast<FfmpegInput *>(user)->m_file.read(buffer, size_t(std::max(size, 0))));
}

int64_t FfmpegInput::seekFile(void *user, int64_t offset, int whence)
{
    BufferedFile &file = static_cast<FfmpegInput *>(user)->m_file;
    if (whence == VORLAN_AV_SIZE)
        return file.size();
    return file.seek(off_t(offset), whence);
}

bool FfmpegInput::open(const std::string &name, bool sureOnly, int *err, std::string *text)
{
    const FfmpegModule::Entries *av = FfmpegModule::entries();
    if (!av) {
        *err = XA_ERROR_NOT_SUPPORTED;
        *text = "cannot open " + name + ": the FFmpeg module (libvorlan-ffmpeg.so) cannot be loaded";
        return false;
    }
    if (!m_file.open(name)) {
        *err = XA_ERROR_INPUT_OPEN_FAILED;
        *text = "cannot open " + name + ": " + std::strerror(errno);
        return false;
    }
    char why[256] = {};
    m_input =
        av->open(readFile, seekFile, this, sureOnly ? VORLAN_AV_SURE_ONLY : 0, &m_info, why, int(sizeof why));
    if (!m_input) {
        *err = XA_ERROR_INPUT_DAMAGED;
        *text = "cannot open " + name + ": " + why;
        return false;
    }
    return true;
}

long FfmpegInput::decode(const int16_t **pcm, std::string *text)
{
    char why[256] = {};
    const long frames = FfmpegModule::entries()->decode(m_input, pcm, why, int(sizeof why));
    if (frames < 0)
        *text = why;
    return frames;
}

bool FfmpegInput::seek(int64_t sample)
{
    return FfmpegModule::entries()->seek(m_input, sample) == 0;
}

int64_t FfmpegInput::tell() const
{
    return FfmpegModule::entries()->tell(m_input);
}
