#pragma once
// Cut, copy, edit and paste of keyframes through the program's own Clipboard.
// Each command is a fixed sequence of the steps declared here.
#include <string_view>

#include "clipboard/Workspace.h"

namespace vandrel {

// Cut: takes the selected rows of file n and all key lines of their frames out
// of every bone of the model into the Clipboard.
void CutToClipboard(Workspace& ws, int n);

// Copy: the same without changing file n.
void CopyToClipboard(Workspace& ws, int n);

// The steps of Cut and Copy.
void TakeRows(Workspace& ws, int n, bool removing);
void CopyModelToClipboard(Workspace& ws, int n);
void RemoveKeyframeLines(Workspace& ws, int n);
void ReduceClipboardModel(Workspace& ws);

// Moves (step width 0 or empty), renumbers (step width >= 1) or reverses (step
// width < 0) the Clipboard's keyframes to start at `at`, and gives every row the
// comment when one is typed; a moved key keeps the part of its time from the
// point on. A start position below 1 changes nothing.
void EditClipboard(Workspace& ws, std::string_view at, std::string_view stepwidth, std::string_view comment);

// Paste: merges the Clipboard's rows into file n's table and its keys into every
// bone of file n whose rest line equals that of a Clipboard bone.
void PasteFromClipboard(Workspace& ws, int n);

// The steps of Paste.
void GrowCapacityForPaste(Workspace& ws);
void MergeClipboardRows(Workspace& ws, int n);
void SpliceClipboardKeys(Workspace& ws, int n);

}  // namespace vandrel
