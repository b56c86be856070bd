#pragma once
// What the mask editor does when it starts, apart from its windows.
#include <QString>

class FileTypes;

namespace MaskerStart
{

// ".msk" opens with the editor: the type "Vorlan Mask" ("Vorlan Mask File", application/x-vorlan-mask)
// with the program's open command, written again at every start.
bool registerMaskType(FileTypes &types, const QString &programPath);

// "Masks" under the folder of every Vorlan file; the shipped masks are put there when it is new, so a new
// user has examples to open. Returns the folder.
QString prepareMasksDir(const QString &exePath);

} // namespace MaskerStart
