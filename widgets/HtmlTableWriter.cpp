#include "widgets/HtmlTableWriter.h"

#include "platform/SystemColors.h"
#include "platform/TextFile.h"

namespace
{

QString colorAttribute(const QColor &color)
{
    return QLatin1String(" BGCOLOR=\"#") + SystemColors::htmlHex(color) + QLatin1Char('"');
}

QString cellText(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("<br>") : HtmlTableWriter::escaped(text);
}

} // namespace

QString HtmlTableWriter::escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

QStringList HtmlTableWriter::htmlLines() const
{
    if (m_captions.isEmpty() || m_rows.isEmpty())
        return {};
    const QColor header =
        m_headerColor.isValid() ? m_headerColor : SystemColors::systemColor(SystemColors::ActiveBorder);
    const QString headerAttr = colorAttribute(header);

    QStringList lines;
    // The page is UTF-8; a browser left to guess would garble accented names.
    lines << QStringLiteral("<meta charset=\"utf-8\">");
    lines << QStringLiteral("<table border=1>") << QStringLiteral("<tr>");
    for (const QString &caption : m_captions)
        lines << QLatin1String("<td nowrap") + headerAttr + QLatin1String("><B>") + cellText(caption) +
                     QLatin1String("</B></td>");
    lines << QStringLiteral("</tr>");

    for (int row = 0; row < m_rows.size(); ++row) {
        const QStringList &cells = m_rows.at(row);
        lines << QStringLiteral("<tr>");
        for (int column = 0; column < m_captions.size(); ++column) {
            HtmlCellStyle style;
            if (m_style)
                m_style(row, column, style);
            QString cell = QStringLiteral("<td nowrap");
            if (style.brush.isValid())
                cell += colorAttribute(style.brush);
            cell += QLatin1Char('>');
            if (style.font.isValid())
                cell += QLatin1String("<font color=\"#") + SystemColors::htmlHex(style.font) +
                        QLatin1String("\">");
            if (style.bold)
                cell += QLatin1String("<B>");
            if (style.italic)
                cell += QLatin1String("<I>");
            cell += cellText(column < cells.size() ? cells.at(column) : QString());
            if (style.italic)
                cell += QLatin1String("</I>");
            if (style.bold)
                cell += QLatin1String("</B>");
            if (style.font.isValid())
                cell += QLatin1String("</font>");
            cell += QLatin1String("</td>");
            lines << cell;
        }
        lines << QStringLiteral("</tr>");
    }
    lines << QStringLiteral("</table><p>");
    return lines;
}

bool HtmlTableWriter::write(const QString &path, QString *error) const
{
    const QStringList lines = htmlLines();
    if (lines.isEmpty())
        return true;
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return TextFile::writeAtomically(path, bytes, error);
}
