#pragma once
// The log category of the engine, "vorlan.engine": its messages carry the name, and
// QT_LOGGING_RULES="vorlan.engine=false" silences them.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcEngine)
