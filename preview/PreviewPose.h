#pragma once
// A model posed at a time: every bone's matrix, its joint and the skinned vertices.
#include <vector>

#include <glm/glm.hpp>

#include "preview/PreviewModel.h"

namespace vandrel {

struct PreviewPose {
    std::vector<glm::dmat4> BoneMatrices;  // one per bone, in file order
    std::vector<glm::dvec3> Joints;        // each bone matrix applied to the origin
    std::vector<glm::dvec3> Vertices;      // one per model vertex
    std::vector<glm::dvec3> Normals;       // one per corner of the triangles, turned with its vertex
};

// Poses the model at `time` (a frame number). A bone's matrix is its parent's
// matrix x its local rest matrix x the translation and rotation its keys give
// at that time; a bone without any key keeps its rest matrix whatever its
// ancestors do. A vertex moves with its bone's matrix relative to the bone's
// rest matrix. `pose` keeps its storage from call to call.
void PoseModel(const PreviewModel& model, double time, PreviewPose& pose);

// The bones' matrices alone, one per bone in file order (`matrices` keeps its storage).
void PoseBones(const PreviewModel& model, double time, std::vector<glm::dmat4>& matrices);
PreviewPose PoseModel(const PreviewModel& model, double time);

}  // namespace vandrel
