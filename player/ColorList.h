#pragma once
// The user's favourite gradient colour pairs, kept in "VoColors.mnu": three lines per entry (name, first
// colour, second colour, colours as signed decimal 0x00BBGGRR values), no header. The file goes away with its
// last entry.
#include <QString>
#include <QStringList>
#include <cstdint>

class ColorList
{
public:
    static const QString FileName; // "VoColors.mnu"
    static constexpr int MaxNameLength = 30;
    static constexpr int32_t FirstFallback = 0xFFFFFF; // a first colour that is not a number
    static constexpr int32_t SecondFallback = 0;       // a second colour that is not a number

    explicit ColorList(const QString &path);

    QString path() const { return m_path; }
    // Reads the names again from the file (every first line of three); a missing file gives none.
    void reload();
    const QStringList &names() const { return m_names; }
    int count() const { return int(m_names.size()); }

    // Adds an entry and returns the name stored: the given one cut to 30 characters, or "Vorlan Color " and
    // the number of entries plus one when it is empty. Empty when the file could not be written.
    QString add(const QString &name, int32_t color1, int32_t color2);
    // The colour pair of entry index; false when there is no such entry.
    bool pick(int index, int32_t *color1, int32_t *color2) const;
    // Removes entry index; the file is deleted when nothing is left. False when there is no such entry or the
    // file could not be changed.
    bool remove(int index);

private:
    QStringList readLines(bool *writable = nullptr) const;

    QString m_path;
    QStringList m_names;
};
