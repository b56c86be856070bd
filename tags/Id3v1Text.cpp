#include "tags/Id3v1Text.h"

namespace Id3v1Text
{

bool isValidUtf8(const char *bytes, int size)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes);
    int i = 0;
    while (i < size) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        uint32_t cp;
        uint32_t min;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= size)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char cc = s[i + k];
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

QString decode(const char *bytes, int size)
{
    if (isValidUtf8(bytes, size))
        return QString::fromUtf8(bytes, size);
    return QString::fromLatin1(bytes, size);
}

QByteArray encode(const QString &text, int width)
{
    QString clean = text;
    clean.replace(QChar(0), QLatin1Char(' '));
    bool latin1 = true;
    for (QChar ch : clean) {
        if (ch.unicode() > 0xFF) {
            latin1 = false;
            break;
        }
    }
    QByteArray out;
    if (latin1) {
        out = clean.toLatin1().left(width);
    } else {
        const QByteArray utf8 = clean.toUtf8();
        int cut = qMin(width, int(utf8.size()));
        // Back up over continuation bytes so no character is split.
        if (cut < utf8.size()) {
            while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
                --cut;
        }
        out = utf8.left(cut);
    }
    out.append(QByteArray(width - out.size(), ' '));
    return out;
}

} // namespace Id3v1Text
