#include "playlist/PlaylistLog.h"

Q_LOGGING_CATEGORY(lcPlaylist, "vorlan.playlist")
