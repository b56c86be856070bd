#pragma once
// The log category of the platform layer (modules, single instance), "vorlan.platform": its messages carry
// the name, and QT_LOGGING_RULES="vorlan.platform=false" silences them.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
