#include "platform/ProfileFile.h"

#include "platform/TextFile.h"

#include <QFileInfo>

#include <cctype>
#include <cstdint>

namespace
{

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Values in quotes lose them, as the profile functions do.
QString unquote(const QString &value)
{
    if (value.size() >= 2 &&
        ((value.startsWith('"') && value.endsWith('"')) || (value.startsWith('\'') && value.endsWith('\''))))
        return value.mid(1, value.size() - 2);
    return value;
}

} // namespace

ProfileFile::ProfileFile(const QString &path) : m_path(path)
{
    TextFile::ReadStatus status = TextFile::ReadStatus::Missing;
    const QStringList lines = TextFile::readLines(path, nullptr, TextFile::SmallFileLimit, &status);
    m_existed = status == TextFile::ReadStatus::Ok;
    m_unreadable = TextFile::isUnreadable(status);
    parse(lines);
}

void ProfileFile::parse(const QStringList &lines)
{
    m_sections.clear();
    m_sections.push_back(Section{});
    for (const QString &raw : lines) {
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            const QString name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            m_sections.push_back(Section{name, {}});
            continue;
        }
        Line line{QString(), raw};
        const qsizetype eq = raw.indexOf('=');
        if (eq > 0 && !trimmed.startsWith(';'))
            line.key = raw.left(eq).trimmed();
        m_sections.back().lines.push_back(line);
    }
}

const ProfileFile::Section *ProfileFile::findSection(const QString &name) const
{
    // The lines before the first header belong to no section and cannot be asked for.
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, name))
            return &m_sections[i];
    return nullptr;
}

ProfileFile::Section *ProfileFile::findSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

const ProfileFile::Line *ProfileFile::findKey(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    if (!s)
        return nullptr;
    for (const Line &line : s->lines)
        if (!line.key.isEmpty() && sameName(line.key, key))
            return &line;
    return nullptr;
}

bool ProfileFile::hasSection(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool ProfileFile::hasKey(const QString &section, const QString &key) const
{
    return findKey(section, key) != nullptr;
}

QStringList ProfileFile::sections() const
{
    QStringList names;
    for (size_t i = 1; i < m_sections.size(); ++i)
        names << m_sections[i].name;
    return names;
}

QStringList ProfileFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *s = findSection(section))
        for (const Line &line : s->lines)
            if (!line.key.isEmpty())
                names << line.key;
    return names;
}

QString ProfileFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const Line *line = findKey(section, key);
    if (!line)
        return def;
    const QString value = unquote(line->text.mid(line->text.indexOf('=') + 1).trimmed());
    return value.left(MaxValueLength);
}

bool ProfileFile::parseInteger(const QString &text, int *value)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith('-') || t.startsWith('+')) {
        negative = t.startsWith('-');
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith('$')) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        const ushort u = c.unicode();
        const bool digit = u < 128 && (base == 10 ? isdigit(u) : isxdigit(u));
        if (!digit)
            return false;
    }
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    if (base == 16) {
        // Hex spells the 32 bits, so $80000010 is the negative system colour value.
        if (magnitude > 0xFFFFFFFFull)
            return false;
        const auto bits = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        *value = negative ? -bits : bits;
        return true;
    }
    const long long v = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (magnitude > 0x80000000ull || v > INT32_MAX || v < INT32_MIN)
        return false;
    *value = static_cast<int>(v);
    return true;
}

int ProfileFile::readInteger(const QString &section, const QString &key, int def) const
{
    const Line *line = findKey(section, key);
    if (!line)
        return def;
    int value = 0;
    return parseInteger(readString(section, key), &value) ? value : def;
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // Line breaks would make a second line the next read does not know.
    QString clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    Section *s = findSection(section);
    if (!s) {
        // A new section follows a blank line, as the profile functions write it.
        Section &last = m_sections.back();
        if (m_sections.size() > 1 || !last.lines.empty()) {
            if (last.lines.empty() || !last.lines.back().text.trimmed().isEmpty())
                last.lines.push_back(Line{QString(), QString()});
        }
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    for (Line &line : s->lines) {
        if (!line.key.isEmpty() && sameName(line.key, key)) {
            line.text = line.key + '=' + clean;
            return;
        }
    }
    // New keys go after the section's last key, before its trailing blank lines.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && (pos - 1)->text.trimmed().isEmpty())
        --pos;
    s->lines.insert(pos, Line{key, key + '=' + clean});
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::deleteKey(const QString &section, const QString &key)
{
    if (Section *s = findSection(section))
        std::erase_if(s->lines, [&](const Line &l) { return !l.key.isEmpty() && sameName(l.key, key); });
}

void ProfileFile::eraseSection(const QString &section)
{
    for (size_t i = 1; i < m_sections.size(); ++i) {
        if (sameName(m_sections[i].name, section)) {
            m_sections.erase(m_sections.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

QStringList ProfileFile::toLines() const
{
    QStringList out;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        if (i > 0)
            out << '[' + m_sections[i].name + ']';
        for (const Line &line : m_sections[i].lines)
            out << line.text;
    }
    return out;
}

bool ProfileFile::save() const
{
    return saveAs(m_path);
}

bool ProfileFile::saveAs(const QString &path) const
{
    // What could not be read is not known, so it cannot be kept: the file stays as it is.
    if (m_unreadable && path == m_path)
        return false;
    return TextFile::writeLines(path, toLines());
}
