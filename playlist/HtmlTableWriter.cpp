#include "playlist/HtmlTableWriter.h"

#include "playlist/PlaylistModel.h"

HtmlTableWriter playlistHtmlTable(const PlaylistModel &model)
{
    HtmlTableWriter table({QStringLiteral("Track"), QStringLiteral("Song"), QStringLiteral("Length")});
    QList<QStringList> rows;
    rows.reserve(model.count());
    for (int i = 0; i < model.count(); ++i) {
        const QString line = model.line(i);
        // A bare path (a line without TABs) stands for its own name, as the list shows it.
        const bool bare = !line.contains(QLatin1Char('\t'));
        rows << QStringList{QString::number(i + 1), bare ? line : PlaylistModel::entryField(line, 1),
                            bare ? QString() : PlaylistModel::entryField(line, 2)};
    }
    table.setRows(rows);
    table.setCellStyle([](int, int column, HtmlCellStyle &style) { style.bold = column == 1; });
    return table;
}

bool exportPlaylistHtml(const PlaylistModel &model, const QString &path, QString *error)
{
    return playlistHtmlTable(model).write(path, error);
}
