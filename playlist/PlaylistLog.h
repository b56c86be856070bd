#pragma once
// The log category of the playlist and its folder walk, "vorlan.playlist": its messages carry the name, and
// QT_LOGGING_RULES="vorlan.playlist=false" silences them.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlaylist)
