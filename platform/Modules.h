#pragma once
// Parts of the programs that bring large libraries few sessions need (the hand-over socket, the tag reader)
// are modules loaded on first use: a player that never needs them never maps those libraries.
#include <QFunctionPointer>

namespace Modules
{

// The function `symbol` of module `name` (file "lib<name>.so"), found beside the program, in the
// installed programs' library folder, or in the build tree. nullptr when it cannot be loaded; the reason
// is then logged once (category "vorlan.platform"). Safe from any thread; a module stays loaded.
QFunctionPointer resolve(const char *name, const char *symbol);

// resolve() as a pointer to Function, the type of the entry point as the module's header declares it (e.g.
// decltype(vorlanHandoverSend)). Each module is reached through one wrapper class that does this.
template <typename Function> Function *entry(const char *name, const char *symbol)
{
    return reinterpret_cast<Function *>(resolve(name, symbol));
}

} // namespace Modules
