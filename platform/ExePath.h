#pragma once
// The folder where the programs keep every file ("Vorlan.cfg", "Vorlan.vln", "Masks/", ...).
#include <QString>

// With a trailing "/". Resolved once: $VORLAN_HOME when set; else the program's own folder when a
// "Vorlan.cfg" lies beside the program (a portable install); else $XDG_DATA_HOME/Vorlan
// (~/.local/share/Vorlan). Created on first use.
QString ExePath();

// The rule itself, for callers that resolve for other inputs (tests, the masker).
QString resolveExePath(const QString &vorlanHome, const QString &programDir, const QString &xdgDataHome,
                       const QString &home);
