#pragma once
// The main window's state: captions, tooltips, enabled state, counters, the
// Clipboard fields and the status bar, kept without any toolkit.
#include <string>

#include "app/Program.h"

namespace vandrel {

// Captions and tooltips of every control and a fresh menu, all in the current language.
void BuildMainWindow(Program& p);

// The start-up state: the commands that need a loaded file or the Clipboard are off.
void DisableStartUpCommands(Program& p);

// Counters, Clipboard fields and the enabled state after every bracketed command.
void RefreshMainWindow(Program& p);

// Re-labels the window after a language change; rebuilds the menu with every item on.
void RebuildTexts(Program& p);

// Status field 4: the busy text (busy) or the ready text.
void BusyIndicator(Program& p, Shell& shell, bool busy);

// Counts the compatible bones and writes status fields 0 to 3.
void ShowCompatibility(Program& p);

// After a successful open of file n: its save and statistics-print commands go on.
void EnableFileCommands(Program& p, int n);

// Whether file n has a path and unsaved changes.
bool FileChanged(const Program& p, int n);

// What a control shows: its state text, or for a statistics view the slot's
// statistics lines joined by CR LF, for a list nothing (its rows are separate).
std::string ControlText(const Program& p, int id);

}  // namespace vandrel
