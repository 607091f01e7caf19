#pragma once
// The statistics text of a model: totals, meshes, materials and joints.
#include <string>
#include <vector>

#include "model/ModelSlot.h"

namespace vandrel {

// The statistics lines up to "Joints:", over freshly read lines.
std::vector<std::string> ComputeModelStatistics(const LineSet& lines, const SectionLines& sections);

// The statistics line of one bone: its parent line, " --> ", its name line.
std::string BoneStatisticsLine(const LineSet& lines, int64_t nameLine);

}  // namespace vandrel
