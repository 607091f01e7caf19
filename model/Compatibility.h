#pragma once
// How many bones of File 1 and File 2 are the same bone (equal rest lines).
#include <cstdint>
#include <string>

#include "model/Workspace.h"

namespace vandrel {

// Counts the pairs (bone of File 1, bone of File 2) whose rest lines are equal.
int32_t CountCompatibleBones(const Workspace& ws);

// "Joints: " and the joint count text of the slot's "Bones:" line.
std::string JointText(const ModelSlot& slot);

}  // namespace vandrel
