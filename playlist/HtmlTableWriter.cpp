#include "playlist/HtmlTableWriter.h"

#include "playlist/PlaylistModel.h"

HtmlTableWriter playlistHtmlTable(const PlaylistModel &model)
{
    HtmlTableWriter table({QStringLiteral("Track"), QStringLiteral("Song"), QStringLiteral("Length")});
    QList<QStringList> rows;
    rows.reserve(model.count());
    for (int i = 0; i < model.count(); ++i) {
        const PlaylistEntry &e = model.entry(i);
        // A bare path stands for its own name, as the list shows it.
        const bool bare = e.form == PlaylistEntry::Form::Bare;
        rows << QStringList{QString::number(i + 1), bare ? e.path : e.name, e.time};
    }
    table.setRows(rows);
    table.setCellStyle([](int, int column, HtmlCellStyle &style) { style.bold = column == 1; });
    return table;
}

bool exportPlaylistHtml(const PlaylistModel &model, const QString &path, QString *error)
{
    return playlistHtmlTable(model).write(path, error);
}
