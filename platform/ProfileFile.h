#pragma once
// INI files with Windows profile rules: sections and keys matched without case, values read up to 1023
// characters, and a write that keeps the order of the file, its comments, and keys and sections we do not
// know.
#include <QString>
#include <QStringList>
#include <vector>

class ProfileFile
{
public:
    static constexpr int MaxValueLength = 1023;

    ProfileFile() = default;
    // Loads the file when it exists; a missing file is an empty profile.
    explicit ProfileFile(const QString &path);

    QString path() const { return m_path; }
    bool existed() const { return m_existed; }
    // There is a file, but it could not be read (too large, not a regular file, no permission); save()
    // then leaves it alone.
    bool unreadable() const { return m_unreadable; }
    // Reads the text of an INI file (used for tests and for data that is not on disk).
    void parse(const QStringList &lines);

    bool hasSection(const QString &section) const;
    bool hasKey(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &def = QString()) const;
    // Decimal, or hexadecimal after "$" or "0x"; a value that does not convert gives def.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Any non-zero integer is true.
    bool readBool(const QString &section, const QString &key, bool def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    void deleteKey(const QString &section, const QString &key);
    void eraseSection(const QString &section);

    QStringList toLines() const;
    // Writes to path() (or the given path) through a temporary file; false when it could not be written, and
    // for the file it was read from when that existed but could not be read.
    bool save() const;
    bool saveAs(const QString &path) const;

    // The integer rule of readInteger, for values read elsewhere.
    static bool parseInteger(const QString &text, int *value);

private:
    struct Line {
        QString key;  // empty for comments and blank lines
        QString text; // the whole line as read or written
    };
    struct Section {
        QString name; // empty for lines before the first section header
        std::vector<Line> lines;
    };

    const Section *findSection(const QString &name) const;
    Section *findSection(const QString &name);
    const Line *findKey(const QString &section, const QString &key) const;

    QString m_path;
    bool m_existed = false;
    bool m_unreadable = false;
    // The lines before the first section header are a section without a name, there from the start.
    std::vector<Section> m_sections = std::vector<Section>(1);
};
