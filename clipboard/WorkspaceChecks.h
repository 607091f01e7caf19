#pragma once
// What must hold of the workspace between commands (see LineSetChecks.h).
#include <string>

#include "clipboard/Workspace.h"

namespace vandrel {

// The first rule the Clipboard breaks, empty when none: those of every line set,
// and nothing before its "Bones:" line, and its last line (the one at
// LineCount) is empty.
std::string ClipboardFault(const Clipboard& clip);

// The first rule broken by File 1, File 2 or the Clipboard, named; empty when none.
std::string WorkspaceFault(const Workspace& ws);

}  // namespace vandrel
