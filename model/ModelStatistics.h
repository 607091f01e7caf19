#pragma once
// The statistics text of a model: totals, meshes, materials and joints.
#include <string>
#include <vector>

#include "model/ModelSlot.h"

namespace vandrel {

// Section positions found while reading a model; 0 where a section is missing.
struct SectionLines {
    int64_t Meshes = 0;
    int64_t Materials = 0;
    int64_t Bones = 0;
};

// The statistics lines up to "Joints:", over freshly read lines.
std::vector<std::string> ComputeModelStatistics(const LineSet& lines, const SectionLines& sections);

// The statistics line of one bone: its parent line, " --> ", its name line.
std::string BoneStatisticsLine(const LineSet& lines, int64_t nameLine);

}  // namespace vandrel
