#pragma once
// The playlist's export table for the widget set's HTML table writer.
#include "widgets/HtmlTableWriter.h"

class PlaylistModel;

// The playlist as the export shows it: "Track" (entry number), "Song" (display name, bold), "Length".
HtmlTableWriter playlistHtmlTable(const PlaylistModel &model);
// playlistHtmlTable(model).write(path, error).
bool exportPlaylistHtml(const PlaylistModel &model, const QString &path, QString *error = nullptr);
