#include "platform/XdgKeyFile.h"

#include "platform/TextFile.h"

#include <QFile>

bool XdgKeyFile::load(const QString &path)
{
    m_lines.clear();
    QByteArray bytes;
    if (TextFile::readBytes(path, TextFile::SmallFileLimit, &bytes) != TextFile::ReadStatus::Ok)
        return false;
    parse(bytes);
    return true;
}

void XdgKeyFile::parse(const QByteArray &bytes)
{
    m_lines.clear();
    QString group;
    // The format is UTF-8 with LF line ends; a stray CR stays part of its line and is written back as read.
    const QList<QByteArray> rows = bytes.split('\n');
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i == rows.size() - 1 && rows[i].isEmpty())
            break;
        Line line;
        line.raw = rows[i];
        line.text = TextFile::decodeLine(rows[i]);
        const QString trimmed = line.text.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            group = trimmed.mid(1, trimmed.size() - 2);
        } else if (!trimmed.startsWith(u'#')) {
            const qsizetype eq = line.text.indexOf(u'=');
            if (eq > 0)
                line.key = line.text.left(eq).trimmed();
        }
        line.group = group;
        m_lines.push_back(line);
    }
}

QByteArray XdgKeyFile::toBytes() const
{
    QByteArray bytes;
    for (const Line &line : m_lines) {
        bytes += line.raw;
        bytes += '\n';
    }
    return bytes;
}

bool XdgKeyFile::save(const QString &path) const
{
    return TextFile::writeAtomically(path, toBytes());
}

int XdgKeyFile::findKey(const QString &group, const QString &key) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (!m_lines[i].key.isEmpty() && m_lines[i].key == key && m_lines[i].group == group)
            return int(i);
    }
    return -1;
}

bool XdgKeyFile::hasGroup(const QString &group) const
{
    for (const Line &line : m_lines) {
        if (line.group == group)
            return true;
    }
    return false;
}

bool XdgKeyFile::contains(const QString &group, const QString &key) const
{
    return findKey(group, key) >= 0;
}

QString XdgKeyFile::rawValue(const QString &group, const QString &key) const
{
    const int i = findKey(group, key);
    if (i < 0)
        return QString();
    const QString &text = m_lines[size_t(i)].text;
    return text.mid(text.indexOf(u'=') + 1).trimmed();
}

QStringList XdgKeyFile::list(const QString &group, const QString &key) const
{
    QStringList items;
    for (const QString &item : splitList(rawValue(group, key)))
        items << unescape(item);
    return items;
}

void XdgKeyFile::setRawValue(const QString &group, const QString &key, const QString &raw)
{
    const QString text = key + u'=' + raw;
    Line line{group, key, text, text.toUtf8()};
    const int found = findKey(group, key);
    if (found >= 0) {
        m_lines[size_t(found)] = line;
        return;
    }
    // After the group's last key, so blank lines and comments that precede the next group stay with it.
    int lastKey = -1;
    int header = -1;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].group != group)
            continue;
        if (header < 0)
            header = int(i);
        if (!m_lines[i].key.isEmpty())
            lastKey = int(i);
    }
    if (header < 0) {
        if (!m_lines.empty() && !m_lines.back().text.trimmed().isEmpty())
            m_lines.push_back(Line{group, QString(), QString(), QByteArray()});
        const QString header = u'[' + group + u']';
        m_lines.push_back(Line{group, QString(), header, header.toUtf8()});
        m_lines.push_back(line);
        return;
    }
    const int at = lastKey >= 0 ? lastKey + 1 : header + 1;
    m_lines.insert(m_lines.begin() + at, line);
}

void XdgKeyFile::setList(const QString &group, const QString &key, const QStringList &items)
{
    QString raw;
    for (const QString &item : items) {
        QString escaped = escape(item);
        escaped.replace(u';', QStringLiteral("\\;"));
        raw += escaped + u';';
    }
    setRawValue(group, key, raw);
}

QString XdgKeyFile::escape(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            out += QStringLiteral("\\s");
        else
            out += c;
    }
    return out;
}

QString XdgKeyFile::unescape(const QString &raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar n = raw[++i];
        if (n == u's')
            out += u' ';
        else if (n == u'n')
            out += u'\n';
        else if (n == u't')
            out += u'\t';
        else if (n == u'r')
            out += u'\r';
        else if (n == u'\\')
            out += u'\\';
        else if (n == u';')
            out += u';';
        else {
            out += c;
            out += n;
        }
    }
    return out;
}

QStringList XdgKeyFile::splitList(const QString &raw)
{
    QStringList items;
    QString current;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            current += c;
            current += raw[++i];
        } else if (c == u';') {
            items << current;
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        items << current;
    items.removeAll(QString());
    return items;
}
