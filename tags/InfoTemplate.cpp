#include "tags/InfoTemplate.h"

#include "tags/FileTags.h"
#include "tags/TMPEGAudio.h"

#include <QHash>
#include <QLocale>
#include <algorithm>
#include <optional>

namespace
{

enum class Key {
    NewLine,
    SoftNewLine,
    Tab,
    FileName,
    FilePath,
    VolumeLabel,
    Title,
    Artist,
    Album,
    Year,
    Comment,
    Genre,
    GenreNr,
    Track,
    Duration,
    DurationComma,
    DurationForm,
    Length,
    FileDate,
    FileTime,
    LengthComma,
    LengthKb,
    LengthKbComma,
    LengthMb,
    Version,
    Layer,
    LayerNr,
    SampleRate,
    SampleRateKb,
    ErrorProt,
    ErrorProtStar,
    Copyright,
    CopyrightStar,
    Original,
    OriginalStar,
    Mode,
    Stereo,
    BitRate,
    FrameLength,
    SelectedNr,
    Selected,
    SelectedStar,
    Valid,
    ValidStar,
    Character,
};

struct KeyInfo {
    Key key;
    int width;
    char align;
};

// Widths past this are cut down: a template is outside data, and one item must not ask for gigabytes.
constexpr int kMaxWidth = 1024;

const QHash<QString, KeyInfo> &keywords()
{
    static const QHash<QString, KeyInfo> table = [] {
        QHash<QString, KeyInfo> t;
        auto add = [&t](const char *name, const char *shortName, Key key, int width, char align) {
            t.insert(QString::fromLatin1(name), {key, width, align});
            t.insert(QString::fromLatin1(shortName), {key, width, align});
        };
        add("NEWLINE", "NL", Key::NewLine, 2, 'L');
        add("SOFTNEWLINE", "#", Key::SoftNewLine, 0, 'L');
        add("TAB", "TB", Key::Tab, 1, 'L');
        add("FILENAME", "FN", Key::FileName, 40, 'L');
        add("FILEPATH", "FP", Key::FilePath, 40, 'L');
        add("VOLUMELABEL", "VL", Key::VolumeLabel, 11, 'L');
        add("TITLE", "T", Key::Title, 30, 'L');
        add("ARTIST", "A", Key::Artist, 30, 'L');
        add("ALBUM", "ALB", Key::Album, 35, 'L');
        add("YEAR", "Y", Key::Year, 4, 'L');
        add("COMMENT", "CMNT", Key::Comment, 30, 'L');
        add("GENRE", "G", Key::Genre, 25, 'L');
        add("GENRENR", "GNR", Key::GenreNr, 3, 'R');
        add("TRACK", "TR", Key::Track, 3, 'R');
        add("DURATION", "D", Key::Duration, 4, 'R');
        add("DURATIONCOMMA", "DC", Key::DurationComma, 5, 'R');
        add("DURATIONFORM", "DF", Key::DurationForm, 5, 'R');
        add("LENGTH", "L", Key::Length, 9, 'R');
        add("FILEDATE", "FD", Key::FileDate, 10, 'L');
        add("FILETIME", "FT", Key::FileTime, 8, 'L');
        add("LENGTHCOMMA", "LC", Key::LengthComma, 12, 'R');
        add("LENGTHKB", "LK", Key::LengthKb, 6, 'R');
        add("LENGTHKBCOMMA", "LKC", Key::LengthKbComma, 8, 'R');
        add("LENGTHMB", "LM", Key::LengthMb, 5, 'R');
        add("VERSION", "V", Key::Version, 3, 'L');
        add("LAYER", "LY", Key::Layer, 3, 'L');
        add("LAYERNR", "LYN", Key::LayerNr, 1, 'L');
        add("SAMPLERATE", "SR", Key::SampleRate, 5, 'R');
        add("SAMPLERATEKB", "SRK", Key::SampleRateKb, 4, 'R');
        add("ERRORPROT", "EP", Key::ErrorProt, 3, 'L');
        add("ERRORPROT*", "EP*", Key::ErrorProtStar, 1, 'L');
        add("COPYRIGHT", "C", Key::Copyright, 3, 'L');
        add("COPYRIGHT*", "C*", Key::CopyrightStar, 1, 'L');
        add("ORIGINAL", "O", Key::Original, 3, 'L');
        add("ORIGINAL*", "O*", Key::OriginalStar, 1, 'L');
        add("MODE", "M", Key::Mode, 12, 'L');
        add("STEREO", "S", Key::Stereo, 6, 'L');
        add("BITRATE", "BR", Key::BitRate, 3, 'R');
        add("FRAMELENGTH", "FL", Key::FrameLength, 4, 'R');
        add("SELECTEDNR", "SLN", Key::SelectedNr, 3, 'R');
        add("SELECTED", "SL", Key::Selected, 3, 'L');
        add("SELECTED*", "SL*", Key::SelectedStar, 3, 'L');
        add("VALID", "VD", Key::Valid, 3, 'L');
        add("VALID*", "VD*", Key::ValidStar, 3, 'L');
        return t;
    }();
    return table;
}

// Cut at a NUL, then blanks and control characters dropped at both ends.
QString trimmed(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b).unicode() <= ' ')
        ++b;
    while (e > b && text.at(e - 1).unicode() <= ' ')
        --e;
    return text.mid(b, e - b).toString();
}

// The index-th piece of the item split on "," (and ":" when colonToo); false when there is none.
bool piece(QStringView item, int index, bool colonToo, QStringView *out)
{
    qsizetype start = 0;
    for (int i = 0;; ++i) {
        qsizetype end = start;
        while (end < item.size() && item.at(end) != QLatin1Char(',') &&
               !(colonToo && item.at(end) == QLatin1Char(':')))
            ++end;
        if (i == index) {
            *out = item.mid(start, end - start);
            return true;
        }
        if (end >= item.size())
            return false;
        start = end + 1;
    }
}

QString yesNo(bool yes)
{
    return yes ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString star(bool yes)
{
    return yes ? QStringLiteral("*") : QStringLiteral(" ");
}

// Whole number with the locale's thousands separator every three digits, as the "n" format writes it.
QString grouped(qint64 value)
{
    const QString digits = QString::number(value < 0 ? -value : value);
    const QString sep = QLocale().groupSeparator();
    QString out;
    if (value < 0)
        out += QLatin1Char('-');
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += sep;
        out += digits.at(i);
    }
    return out;
}

// A value given in tenths with one decimal and the locale's decimal separator, as "%.1f" writes it.
QString oneDecimal(qint64 tenths)
{
    return QString::number(tenths / 10) + QLocale().decimalPoint() + QString::number(tenths % 10);
}

QString afterSlash(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString upToSlash(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString characterItem(const QString &keyword)
{
    bool ok = false;
    uint code = keyword.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 1;
    const char32_t c = code;
    return QString::fromUcs4(&c, 1);
}

// The items a file of another format than MPEG fills from its own tags and stream; none for the rest,
// which come from the file itself or stay as for a file without frames.
std::optional<QString> otherValue(Key key, const FileTags::Info &o)
{
    // Whole seconds, cut as the MPEG estimate is.
    const qint64 seconds = o.lengthMs / 1000;
    switch (key) {
    case Key::Title:
        return o.fields.title;
    case Key::Artist:
        return o.fields.artist;
    case Key::Album:
        return o.fields.album;
    case Key::Year:
        return o.fields.year;
    case Key::Comment:
        return o.fields.comment;
    case Key::Genre:
        return o.fields.genre;
    case Key::GenreNr: {
        const qsizetype index = genreNames().indexOf(o.fields.genre);
        return QString::number(index >= 0 ? index : 255);
    }
    case Key::Duration:
        return QString::number(seconds);
    case Key::DurationComma:
        return grouped(seconds);
    case Key::DurationForm:
        return QStringLiteral("%1:%2")
            .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    case Key::Version:
        return o.codec;
    case Key::Layer:
        return QString();
    case Key::LayerNr:
        return QStringLiteral("0");
    case Key::SampleRate:
        return QString::number(o.sampleRate);
    case Key::SampleRateKb:
        return oneDecimal((qint64(o.sampleRate) + 50) / 100);
    case Key::Mode:
        return FileTags::channelsText(o.channels);
    case Key::Stereo:
        return o.channels == 1 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
    case Key::BitRate:
        return QString::number(o.bitRate);
    case Key::Valid:
        return yesNo(true);
    case Key::ValidStar:
        return star(true);
    default:
        return std::nullopt;
    }
}

QString value(Key key, const TMPEGAudio &mpeg, const FileTags::Info *other)
{
    if (other)
        if (std::optional<QString> v = otherValue(key, *other))
            return *v;
    const TMPEGData &d = mpeg.data();
    switch (key) {
    case Key::FileName:
        return afterSlash(d.FileName);
    case Key::FilePath:
        return upToSlash(d.FileName);
    case Key::VolumeLabel:
        return d.VolumeLabel;
    case Key::Title:
        return trimmed(d.Title);
    case Key::Artist:
        return trimmed(d.Artist);
    case Key::Album:
        return trimmed(d.Album);
    case Key::Year:
        return trimmed(d.Year);
    case Key::Comment:
        return trimmed(d.Comment);
    case Key::Genre:
        return mpeg.genreStr();
    case Key::GenreNr:
        return QString::number(d.Genre);
    case Key::Track:
        return QString::number(d.Track);
    case Key::Duration:
        return QString::number(d.Duration);
    case Key::DurationComma:
        return grouped(d.Duration);
    case Key::DurationForm: {
        // Minutes and seconds of the time of day: whole hours drop out.
        const int seconds = d.Duration % 3600;
        return QStringLiteral("%1:%2")
            .arg(seconds / 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    case Key::Length:
        return QString::number(d.FileLength);
    case Key::FileDate: {
        const QDateTime t = mpeg.fileDateTime();
        return t.isValid() ? t.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    case Key::FileTime: {
        const QDateTime t = mpeg.fileDateTime();
        return t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : QString();
    }
    case Key::LengthComma:
        return grouped(d.FileLength);
    case Key::LengthKb:
        return QString::number(d.FileLength / 1024);
    case Key::LengthKbComma:
        return grouped((qint64(d.FileLength) + 512) / 1024);
    case Key::LengthMb:
        return oneDecimal((qint64(d.FileLength) * 10 + 524288) / 1048576);
    case Key::Version:
        return mpeg.versionStr();
    case Key::Layer:
        return mpeg.layerStr();
    case Key::LayerNr:
        return QString::number(d.Layer);
    case Key::SampleRate:
        return QString::number(d.SampleRate);
    case Key::SampleRateKb:
        return oneDecimal((qint64(d.SampleRate) + 50) / 100);
    case Key::ErrorProt:
        return yesNo(d.ErrorProt == 1);
    case Key::ErrorProtStar:
        return star(d.ErrorProt == 1);
    case Key::Copyright:
        return yesNo(d.Copyright == 1);
    case Key::CopyrightStar:
        return star(d.Copyright == 1);
    case Key::Original:
        return yesNo(d.Original == 1);
    case Key::OriginalStar:
        return star(d.Original == 1);
    case Key::Mode:
        return mpeg.modeStr();
    case Key::Stereo:
        return d.Mode == 3 ? QStringLiteral("Mono") : QStringLiteral("Stereo");
    case Key::BitRate:
        return QString::number(d.BitRate);
    case Key::FrameLength:
        return QString::number(d.FrameLength);
    case Key::SelectedNr:
        return QString::number(d.Selected);
    case Key::Selected:
        return yesNo(d.Selected > 0);
    case Key::SelectedStar:
        return star(d.Selected > 0);
    case Key::Valid:
        return yesNo(mpeg.isValid());
    case Key::ValidStar:
        return star(mpeg.isValid());
    case Key::NewLine:
    case Key::SoftNewLine:
    case Key::Tab:
    case Key::Character:
        break; // fixed texts, resolved when the template is split
    }
    return QString();
}

bool isCharacterKeyword(const QString &keyword)
{
    for (QChar ch : keyword) {
        if (!(ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) && ch != QLatin1Char('.'))
            return false;
    }
    return !keyword.isEmpty();
}

void appendAligned(QString &out, const QString &text, char align, int width, QChar fill)
{
    const int len = int(text.size());
    if (len >= width) {
        out += QStringView(text).left(width);
        return;
    }
    const int left = align == 'R' ? width - len : align == 'C' ? (width - len) / 2 : 0;
    const int right = width - len - left;
    for (int i = 0; i < left; ++i)
        out += fill;
    out += text;
    for (int i = 0; i < right; ++i)
        out += fill;
}

// The part an item stands for. Items whose value does not depend on the file become texts at once.
InfoTemplate::Part compileItem(QStringView item)
{
    InfoTemplate::Part part;
    QStringView field;
    piece(item, 0, false, &field);
    const QString keyword = trimmed(field).toUpper();
    if (keyword.isEmpty()) {
        part.text = QStringLiteral("%");
        return part;
    }

    KeyInfo info{Key::Character, 1, 'L'};
    if (!isCharacterKeyword(keyword)) {
        const auto it = keywords().constFind(keyword);
        if (it == keywords().constEnd()) {
            part.text = QLatin1Char('%') + item.toString() + QLatin1Char('%');
            return part;
        }
        info = it.value();
    }

    char align = info.align;
    bool hasWidth = true;
    int width = info.width;
    if (piece(item, 1, true, &field)) {
        const QString letter = trimmed(field).toUpper();
        const QChar a = letter.isEmpty() ? QChar() : letter.at(0);
        if (a == QLatin1Char('C') || a == QLatin1Char('L') || a == QLatin1Char('R') ||
            a == QLatin1Char('T')) {
            align = char(a.unicode());
            hasWidth = false;
            if (piece(item, 2, true, &field)) {
                bool ok = false;
                const int w = trimmed(field).toInt(&ok, 10);
                // A negative width cannot be filled: the value stays as it is.
                if (ok && w >= 0) {
                    hasWidth = true;
                    width = w;
                }
            }
        }
    }
    part.padded = hasWidth && align != 'T';
    if (part.padded) {
        part.align = align;
        part.width = qMin(width == 0 ? info.width : width, kMaxWidth);
        if (piece(item, 3, false, &field)) {
            const QString f = trimmed(field);
            if (!f.isEmpty())
                part.fill = f.at(0).unicode();
        }
    }

    QString fixed;
    switch (info.key) {
    case Key::NewLine:
        fixed = QStringLiteral("\r\n");
        break;
    case Key::SoftNewLine:
        break;
    case Key::Tab:
        fixed = QStringLiteral("\t");
        break;
    case Key::Character:
        fixed = characterItem(keyword);
        break;
    default:
        part.key = int16_t(info.key);
        return part;
    }
    if (part.padded)
        appendAligned(part.text, fixed, part.align, part.width, QChar(part.fill));
    else
        part.text = fixed;
    return part;
}

} // namespace

InfoTemplate::InfoTemplate(const QString &templ)
{
    auto addText = [this](QStringView text) {
        if (text.isEmpty())
            return;
        if (!m_parts.empty() && m_parts.back().key < 0)
            m_parts.back().text += text;
        else
            m_parts.push_back(Part{text.toString()});
    };
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = templ.indexOf(QLatin1Char('%'), pos);
        if (open < 0) {
            addText(QStringView(templ).mid(pos));
            break;
        }
        addText(QStringView(templ).mid(pos, open - pos));
        const qsizetype close = templ.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            addText(u"<<<ERROR!!! No end of item definition!>>>");
            break;
        }
        Part part = compileItem(QStringView(templ).mid(open + 1, close - open - 1));
        if (part.key < 0)
            addText(part.text);
        else
            m_parts.push_back(std::move(part));
        pos = close + 1;
    }
}

QString escapeControls(const QString &text)
{
    const auto isControl = [](QChar c) {
        const char16_t u = c.unicode();
        // Line and paragraph separators end a line too; bidi controls turn what follows them around.
        return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 || u == 0x061C ||
               u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    };
    if (std::none_of(text.begin(), text.end(), isControl))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!isControl(c)) {
            out += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case 0x1B:
            out += QLatin1String("\\e");
            break;
        default:
            out += c.unicode() < 0x100
                       ? QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'))
                       : QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

QString InfoTemplate::format(const TMPEGAudio &mpeg) const
{
    return format(mpeg, nullptr, false);
}

QString InfoTemplate::formatEscaped(const TMPEGAudio &mpeg, const FileTags::Info *other) const
{
    return format(mpeg, other, true);
}

QString InfoTemplate::format(const TMPEGAudio &mpeg, const FileTags::Info *other, bool escaped) const
{
    QString out;
    for (const Part &part : m_parts) {
        if (part.key < 0) {
            out += part.text;
            continue;
        }
        const QString v = value(Key(part.key), mpeg, other);
        const QString shown = escaped ? escapeControls(v) : v;
        if (part.padded)
            appendAligned(out, shown, part.align, part.width, QChar(part.fill));
        else
            out += shown;
    }
    return out;
}

QString formatInfoTemplate(const QString &templ, const TMPEGAudio &mpeg)
{
    return InfoTemplate(templ).format(mpeg);
}
