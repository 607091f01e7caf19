#include "preview/PreviewPose.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

namespace vandrel {

namespace {

// Rotation about z x rotation about y x rotation about x, the order of the file's angles.
glm::dquat RotationOf(const glm::dvec3& angles) {
    return glm::angleAxis(angles.z, glm::dvec3(0, 0, 1)) * glm::angleAxis(angles.y, glm::dvec3(0, 1, 0)) *
           glm::angleAxis(angles.x, glm::dvec3(1, 0, 0));
}

// The keys around `time`, read as the engines that play these models read them:
// `next` is the first key, in file order, whose time is not before `time`. With
// no such key the last key holds; when it is the first key, it holds; otherwise
// the value goes from the key before it to it, and `fraction` says how far.
struct KeySpan {
    const PreviewKey* from;
    const PreviewKey* to;
    double fraction;
};

KeySpan SpanAt(const std::vector<PreviewKey>& keys, double time) {
    size_t next = 0;
    while (next < keys.size() && keys[next].Time < time) ++next;
    if (next == keys.size()) return {&keys.back(), &keys.back(), 0};
    if (next == 0) return {&keys[0], &keys[0], 0};
    const PreviewKey& from = keys[next - 1];
    const PreviewKey& to = keys[next];
    const double fraction = (time - from.Time) / (to.Time - from.Time);
    // Times far apart can overflow the division; the value then stays at a key.
    return {&from, &to, fraction >= 0 && fraction <= 1 ? fraction : 0};
}

glm::dvec3 PositionAt(const std::vector<PreviewKey>& keys, double time) {
    if (keys.empty()) return glm::dvec3(0.0);
    const KeySpan s = SpanAt(keys, time);
    return glm::mix(s.from->Value, s.to->Value, s.fraction);
}

glm::dquat RotationAt(const std::vector<PreviewKey>& keys, double time) {
    if (keys.empty()) return glm::dquat(1, 0, 0, 0);
    const KeySpan s = SpanAt(keys, time);
    if (s.from == s.to) return RotationOf(s.from->Value);
    return glm::slerp(RotationOf(s.from->Value), RotationOf(s.to->Value), s.fraction);
}

}  // namespace

void PoseBones(const PreviewModel& model, double time, std::vector<glm::dmat4>& matrices) {
    const size_t bones = model.Bones.size();
    matrices.resize(bones);
    for (size_t b = 0; b < bones; ++b) {
        const PreviewBone& bone = model.Bones[b];
        glm::dmat4& m = matrices[b];
        if (bone.PositionKeys.empty() && bone.RotationKeys.empty()) {
            m = bone.RestMatrix;
        } else {
            const glm::dmat4 keyed = glm::translate(glm::dmat4(1.0), PositionAt(bone.PositionKeys, time)) *
                                     glm::mat4_cast(RotationAt(bone.RotationKeys, time));
            m = bone.Parent >= 0 ? matrices[size_t(bone.Parent)] * bone.LocalRest * keyed : bone.LocalRest * keyed;
        }
    }
}

void PoseModel(const PreviewModel& model, double time, PreviewPose& pose) {
    const size_t bones = model.Bones.size();
    PoseBones(model, time, pose.BoneMatrices);
    pose.Joints.resize(bones);
    // What each bone does to the vertices it carries: its rest pose undone, its pose applied.
    std::vector<glm::dmat4> skin(bones);
    for (size_t b = 0; b < bones; ++b) {
        pose.Joints[b] = glm::dvec3(pose.BoneMatrices[b][3]);
        skin[b] = pose.BoneMatrices[b] * model.Bones[b].InverseRestMatrix;
    }
    const size_t vertices = model.Vertices.size();
    pose.Vertices.resize(vertices);
    for (size_t v = 0; v < vertices; ++v) {
        const int32_t bone = model.VertexBones[v];
        pose.Vertices[v] = bone < 0 ? model.Vertices[v] : glm::dvec3(skin[size_t(bone)] * glm::dvec4(model.Vertices[v], 1.0));
    }
    // Skinning moves a vertex rigidly: its normals turn by the bone's rotation.
    pose.Normals.resize(model.Corners.size());
    for (size_t c = 0; c < model.Corners.size(); ++c) {
        const PreviewCorner& corner = model.Corners[c];
        const int32_t bone = model.VertexBones[corner.Vertex];
        const glm::dvec3& rest = model.Normals[corner.Normal];
        pose.Normals[c] = bone < 0 ? rest : glm::dmat3(skin[size_t(bone)]) * rest;
    }
}

PreviewPose PoseModel(const PreviewModel& model, double time) {
    PreviewPose pose;
    PoseModel(model, time, pose);
    return pose;
}

}  // namespace vandrel
