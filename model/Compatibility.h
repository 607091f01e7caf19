#pragma once
// How many bones of File 1 and File 2 are the same bone (equal rest lines).
#include <cstdint>
#include <string>

#include "model/Workspace.h"

namespace vandrel {

// Counts the pairs (bone of File 1, bone of File 2) whose rest lines are equal.
int32_t CountCompatibleBones(const Workspace& ws);

// Whether a paste into file n can place keys: some bone of the file has the
// rest line of a bone of the Clipboard. True for a Clipboard without bones.
bool ClipboardFitsFile(const Workspace& ws, int n);

// "Joints: " and the joint count text of the slot's "Bones:" line.
std::string JointText(const ModelSlot& slot);

}  // namespace vandrel
