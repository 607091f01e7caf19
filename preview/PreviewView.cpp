#include "preview/PreviewView.h"

#include <algorithm>
#include <cmath>
#include <set>

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace vandrel {

namespace {

// The share of the picture left free on each side of the framed bounds.
constexpr double kMargin = 0.1;

bool Finite(const glm::dvec3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Corner 0 to 7 of a box: bit 0 picks the larger x, bit 1 the larger y, bit 2 the larger z.
glm::dvec3 Corner(const PreviewBounds& box, int corner) {
    return {(corner & 1 ? box.Max : box.Min).x, (corner & 2 ? box.Max : box.Min).y, (corner & 4 ? box.Max : box.Min).z};
}

// The turn of the view: about y by the yaw, then about x by the pitch.
glm::dmat4 Turn(const PreviewCamera& camera) {
    const glm::dvec2 angles = ViewAngles(camera);
    return glm::rotate(glm::dmat4(1.0), angles.y, glm::dvec3(1, 0, 0)) *
           glm::rotate(glm::dmat4(1.0), angles.x, glm::dvec3(0, 1, 0));
}

// The bounds to frame: a unit box round the origin when there is nothing, or
// nothing that numbers can say; at least a little thickness in every direction.
PreviewBounds Usable(PreviewBounds b) {
    if (b.Empty || !Finite(b.Min) || !Finite(b.Max) || glm::length(b.Max - b.Min) > 1e12) {
        b.Min = glm::dvec3(-1.0);
        b.Max = glm::dvec3(1.0);
    }
    const double least = std::max(1e-6, glm::length(b.Max - b.Min) * 1e-3);
    for (int a = 0; a < 3; ++a) {
        if (b.Max[a] - b.Min[a] < least) {
            const double middle = (b.Max[a] + b.Min[a]) / 2;
            b.Min[a] = middle - least / 2;
            b.Max[a] = middle + least / 2;
        }
    }
    return b;
}

// A round step for grid lines: 1, 2 or 5 times a power of ten, about a tenth of `span`.
double GridStep(double span) {
    const double rough = span / 10;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power) return factor * power;
    return 10 * power;
}

}  // namespace

glm::dvec2 ViewAngles(const PreviewCamera& camera) {
    const double quarter = glm::half_pi<double>();
    switch (camera.View) {
        case PreviewView::Front: return {0, 0};
        case PreviewView::Side: return {quarter, 0};
        case PreviewView::Top: return {0, quarter};
        case PreviewView::Free: break;
    }
    return {camera.Yaw, camera.Pitch};
}

void PreviewBounds::Add(const glm::dvec3& p) {
    if (!Finite(p)) return;
    Min = Empty ? p : glm::min(Min, p);
    Max = Empty ? p : glm::max(Max, p);
    Empty = false;
}

PreviewBounds AnimationBounds(const PreviewModel& model) {
    const size_t bones = model.Bones.size();
    // Each bone's vertices in the bone's own frame, as a box; vertices on no bone stay where they are.
    std::vector<PreviewBounds> carried(bones);
    PreviewBounds bounds;
    for (size_t v = 0; v < model.Vertices.size(); ++v) {
        const int32_t bone = model.VertexBones[v];
        if (bone < 0) bounds.Add(model.Vertices[v]);
        else carried[size_t(bone)].Add(glm::dvec3(model.Bones[size_t(bone)].InverseRestMatrix * glm::dvec4(model.Vertices[v], 1.0)));
    }
    std::set<double> times;
    for (const PreviewBone& bone : model.Bones)
        for (const auto* keys : {&bone.PositionKeys, &bone.RotationKeys})
            for (const PreviewKey& key : *keys) times.insert(key.Time);
    if (times.empty()) times.insert(0);
    std::vector<glm::dmat4> matrices;
    for (double time : times) {
        PoseBones(model, time, matrices);
        for (size_t b = 0; b < bones; ++b) {
            bounds.Add(glm::dvec3(matrices[b][3]));
            if (carried[b].Empty) continue;
            for (int corner = 0; corner < 8; ++corner)
                bounds.Add(glm::dvec3(matrices[b] * glm::dvec4(Corner(carried[b], corner), 1.0)));
        }
    }
    return bounds;
}

PreviewMatrices FrameView(const PreviewBounds& given, const PreviewCamera& camera, int width, int height) {
    const PreviewBounds bounds = Usable(given);
    const glm::dvec3 middle = (bounds.Min + bounds.Max) * 0.5;
    PreviewMatrices m;
    m.View = Turn(camera) * glm::translate(glm::dmat4(1.0), -middle);
    // The bounds seen from the view: a box symmetric about the origin.
    glm::dvec3 half(0.0);
    for (int corner = 0; corner < 8; ++corner)
        half = glm::max(half, glm::abs(glm::dvec3(m.View * glm::dvec4(Corner(bounds, corner), 1.0))));
    const double w = std::max(width, 1), h = std::max(height, 1);
    // Units per pixel that fit both directions with the margin.
    const double unit = std::max(2 * half.x / (w * (1 - 2 * kMargin)), 2 * half.y / (h * (1 - 2 * kMargin)));
    const double zoom = std::isfinite(camera.Zoom) && camera.Zoom > 0 ? camera.Zoom : 1;
    const double halfWidth = w * unit / 2 / zoom, halfHeight = h * unit / 2 / zoom;
    const glm::dvec2 pan = camera.Pan * halfHeight;
    // The grid reaches past the bounds: the depth range holds it too.
    const double depth = glm::length(bounds.Max - bounds.Min) * 2 + 1e-6;
    m.Projection = glm::ortho(-halfWidth - pan.x, halfWidth - pan.x, -halfHeight - pan.y, halfHeight - pan.y, -depth, depth);
    return m;
}

glm::dvec3 ProjectToPicture(const PreviewMatrices& matrices, const glm::dvec3& p, int width, int height) {
    const glm::dvec4 clip = matrices.Projection * matrices.View * glm::dvec4(p, 1.0);
    const glm::dvec3 ndc = glm::dvec3(clip) / clip.w;
    return {(ndc.x + 1) / 2 * width, (1 - ndc.y) / 2 * height, (ndc.z + 1) / 2};
}

std::vector<glm::dvec3> GroundGrid(const PreviewBounds& given) {
    const PreviewBounds bounds = Usable(given);
    const glm::dvec3 middle = (bounds.Min + bounds.Max) * 0.5;
    const double reach = std::max(bounds.Max.x - bounds.Min.x, bounds.Max.z - bounds.Min.z) * 0.75;
    const double step = GridStep(2 * reach);
    const int lines = int(std::ceil(reach / step));
    const double y = bounds.Min.y;
    std::vector<glm::dvec3> ends;
    for (int k = -lines; k <= lines; ++k) {
        const double at = k * step;
        ends.push_back({middle.x + at, y, middle.z - lines * step});
        ends.push_back({middle.x + at, y, middle.z + lines * step});
        ends.push_back({middle.x - lines * step, y, middle.z + at});
        ends.push_back({middle.x + lines * step, y, middle.z + at});
    }
    return ends;
}

PreviewShot ShotOf(const PreviewModel& model, double time, const PreviewCamera& camera, const PreviewLook& look,
                   int width, int height, std::string label) {
    PreviewShot shot;
    PoseModel(model, time, shot.Pose);
    shot.Bounds = AnimationBounds(model);
    shot.Matrices = FrameView(shot.Bounds, camera, width, height);
    shot.Look = look;
    shot.Width = width;
    shot.Height = height;
    shot.Label = std::move(label);
    return shot;
}

}  // namespace vandrel
