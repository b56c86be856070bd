#pragma once
// Info templates: text with items between percent signs ("%DF,R%", "%T,L,10,.%") filled from the MPEG reader.
#include <QString>
#include <cstdint>
#include <vector>

class TMPEGAudio;
namespace FileTags
{
struct Info;
}

QString formatInfoTemplate(const QString &templ, const TMPEGAudio &mpeg);
// Control characters (C0, DEL, C1, the line and paragraph separators and the bidi controls) written as
// escapes ("\n", "\t", "\r", "\e", "\x7f", "\u202e"), so a value shown on a terminal cannot forge an output
// line, turn text around or drive the terminal.
QString escapeControls(const QString &text);

// A template split once into texts and items, for formatting many files with it: formatting gives the same
// text as formatInfoTemplate.
class InfoTemplate
{
public:
    InfoTemplate() = default;
    explicit InfoTemplate(const QString &templ);

    QString format(const TMPEGAudio &mpeg) const;
    // The same with escapeControls applied to every value; the template's own text stays as it is. With
    // other, a file of another format than MPEG: the tag items, the codec (as the version), the stream's
    // rate, bitrate, channels and length come from it, the file items from mpeg.
    QString formatEscaped(const TMPEGAudio &mpeg, const FileTags::Info *other = nullptr) const;
    bool isEmpty() const { return m_parts.empty(); }

    // One piece of the template: a text to copy, or an item whose value comes from the reader.
    struct Part {
        QString text;        // the text to copy (items only: empty)
        int16_t key = -1;    // -1: a text
        bool padded = false; // aligned to width
        char align = 'L';    // L, R, C
        int width = 0;
        char16_t fill = u' ';
    };

private:
    QString format(const TMPEGAudio &mpeg, const FileTags::Info *other, bool escaped) const;

    std::vector<Part> m_parts;
};
