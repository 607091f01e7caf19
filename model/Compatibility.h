#pragma once
// How many bones of File 1 and File 2 are the same bone (equal rest lines).
#include <cstdint>
#include <string>

#include "model/ModelSlot.h"

namespace vandrel {

// Counts the pairs (bone of the first, bone of the second) whose rest lines are equal.
int32_t CountCompatibleBones(const LineSet& first, const LineSet& second);

// Whether some bone of `set` has the rest line of a bone of `of`; true when
// `of` has no bones.
bool HasBoneOf(const LineSet& set, const LineSet& of);

// "Joints: " and the joint count text of the slot's "Bones:" line.
std::string JointText(const ModelSlot& slot);

}  // namespace vandrel
