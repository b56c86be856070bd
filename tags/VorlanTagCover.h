#pragma once
// The tag reader module's cover entry: the front cover embedded in a song (ID3v2 APIC in MPEG, WAV and AIFF
// files; FLAC pictures; Vorbis comment pictures in Ogg; MP4 covr atoms; APE cover items). A plain C
// interface: the picture's bytes are lent to a sink, so no memory crosses the module's edge.
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// Gets the picture's bytes (valid only during the call) and its MIME type as the tag names it (may be "").
typedef void (*VorlanTagCoverSink)(void *user, const unsigned char *bytes, size_t size, const char *mime);

// Reads the regular file at path (bytes, as the system names it) and gives its front cover (else its first
// picture) of at most maxBytes to sink. 1 when a picture was given, 0 when there is none or it is larger.
__attribute__((visibility("default"))) int vorlanTagCover(const char *path, size_t maxBytes,
                                                          VorlanTagCoverSink sink, void *user);

#ifdef __cplusplus
}
#endif
