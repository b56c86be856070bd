#pragma once
// Text of the fixed-width ID3v1 fields. Older tags are Latin-1 (or the writer's code page); newer writers put
// UTF-8 there, so both are read, and UTF-8 is written only when Latin-1 cannot hold the text.
#include <QByteArray>
#include <QString>

namespace Id3v1Text
{

// Exactly width bytes: Latin-1 when every character fits, else UTF-8 cut on a character boundary; padded
// with spaces. NUL characters become spaces (a NUL would end the field for readers).
QByteArray encode(const QString &text, int width);
// UTF-8 when the bytes are valid UTF-8, else Latin-1.
QString decode(const char *bytes, int size);
// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
bool isValidUtf8(const char *bytes, int size);

} // namespace Id3v1Text
