#include "player/ColorList.h"

#include "platform/ProfileFile.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

const QString ColorList::FileName = QStringLiteral("VoColors.mnu");

ColorList::ColorList(const QString &path) : m_path(path)
{
    reload();
}

QStringList ColorList::readLines(bool *writable) const
{
    // A list without a file yet (the preferences before the player's folder is known) holds nothing.
    if (m_path.isEmpty()) {
        if (writable)
            *writable = true;
        return {};
    }
    TextFile::ReadStatus status = TextFile::ReadStatus::Missing;
    const QStringList lines = TextFile::readLines(m_path, nullptr, TextFile::SmallFileLimit, &status);
    // A file that could not be read is not replaced by the little that is known of it.
    if (writable)
        *writable = !TextFile::isUnreadable(status);
    return lines;
}

void ColorList::reload()
{
    m_names.clear();
    const QStringList lines = readLines();
    for (qsizetype i = 0; i < lines.size(); i += 3)
        m_names << lines[i];
}

QString ColorList::add(const QString &name, int32_t color1, int32_t color2)
{
    bool writable = false;
    QStringList lines = readLines(&writable);
    if (!writable)
        return QString();
    // A cut-off last entry is filled up, so the new one starts on its own first line.
    while (lines.size() % 3 != 0)
        lines << QString();

    QString stored = name;
    stored.replace(u'\r', u' ').replace(u'\n', u' ');
    stored.truncate(MaxNameLength);
    if (stored.isEmpty())
        stored = QStringLiteral("Vorlan Color %1").arg(lines.size() / 3 + 1);
    lines << stored << QString::number(color1) << QString::number(color2);
    if (!TextFile::writeLines(m_path, lines))
        return QString();
    reload();
    return stored;
}

bool ColorList::pick(int index, int32_t *color1, int32_t *color2) const
{
    if (index < 0)
        return false;
    const QStringList lines = readLines();
    const qsizetype first = qsizetype(index) * 3;
    if (first >= lines.size())
        return false;
    int value = 0;
    *color1 = ProfileFile::parseInteger(lines.value(first + 1), &value) ? value : FirstFallback;
    *color2 = ProfileFile::parseInteger(lines.value(first + 2), &value) ? value : SecondFallback;
    return true;
}

bool ColorList::remove(int index)
{
    if (index < 0)
        return false;
    bool writable = false;
    QStringList lines = readLines(&writable);
    const qsizetype first = qsizetype(index) * 3;
    if (!writable || first >= lines.size())
        return false;
    lines.remove(first, qMin<qsizetype>(3, lines.size() - first));
    const bool ok = lines.isEmpty() ? QFile::remove(m_path) : TextFile::writeLines(m_path, lines);
    reload();
    return ok;
}
