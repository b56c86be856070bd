#pragma once
// The key files of the desktop ("*.desktop", "mimeapps.list"): "[Group]" headers and "Key=Value" lines, keys
// matched exactly. Setting a value keeps every other line of the file as it was (comments, other groups,
// translations, lines we cannot read), so editing a user's file never loses what other programs put there.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class XdgKeyFile
{
public:
    XdgKeyFile() = default;

    // Replaces the content with the file's; false (and an empty file) when it is missing or unreadable.
    bool load(const QString &path);
    void parse(const QByteArray &bytes);
    QByteArray toBytes() const;
    // Written to a temporary file beside path and renamed over it.
    bool save(const QString &path) const;

    bool hasGroup(const QString &group) const;
    bool contains(const QString &group, const QString &key) const;
    // The raw value, escapes left in place.
    QString rawValue(const QString &group, const QString &key) const;
    QString value(const QString &group, const QString &key) const { return unescape(rawValue(group, key)); }
    QStringList list(const QString &group, const QString &key) const;

    // The first line of the key is replaced; a new key goes after the group's last key, a new group at the
    // end.
    void setRawValue(const QString &group, const QString &key, const QString &raw);
    void setValue(const QString &group, const QString &key, const QString &value)
    {
        setRawValue(group, key, escape(value));
    }
    void setList(const QString &group, const QString &key, const QStringList &items);

    // The string escapes of the format: "\\", "\n", "\t", "\r" and "\s" for a leading blank.
    static QString escape(const QString &value);
    static QString unescape(const QString &raw);
    // Items split at ";" that is not escaped; the escape of ";" stays for unescape to remove.
    static QStringList splitList(const QString &raw);

private:
    struct Line {
        QString group; // the group the line belongs to ("" before the first header)
        QString key;   // empty for headers, comments and lines without "="
        QString text;
        QByteArray raw; // the line as read, written back unchanged while nobody sets it
    };
    int findKey(const QString &group, const QString &key) const;

    std::vector<Line> m_lines;
};
