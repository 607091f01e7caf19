#include "preview/PreviewDrawing.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace vandrel {

namespace {

// The share of the picture left free on each side of the rest pose.
constexpr double kMargin = 0.12;
// How far from its edges a label begins.
constexpr float kLabelInset = 8;
// How far past the edges a joint may lie and still show part of its dot.
constexpr double kDotReach = 6;

// Orthographic projection onto the picture: view turn, then scale about the
// centre of the framed bounds, y pointing down.
class Projection {
public:
    Projection(const PreviewModel& model, const PreviewCamera& camera, int width, int height) {
        const glm::dvec2 angles = ViewAngles(camera);
        turn_ = glm::dmat3(glm::rotate(glm::dmat4(1.0), angles.y, glm::dvec3(1, 0, 0)) *
                           glm::rotate(glm::dmat4(1.0), angles.x, glm::dvec3(0, 1, 0)));
        glm::dvec2 low(0.0), high(0.0);
        for (int corner = 0; corner < 8; ++corner) {
            const glm::dvec3 p((corner & 1 ? model.RestMax : model.RestMin).x,
                               (corner & 2 ? model.RestMax : model.RestMin).y,
                               (corner & 4 ? model.RestMax : model.RestMin).z);
            const glm::dvec2 q(turn_ * p);
            low = corner == 0 ? q : glm::min(low, q);
            high = corner == 0 ? q : glm::max(high, q);
        }
        centre_ = (low + high) * 0.5;
        glm::dvec2 span = high - low;
        if (!(std::max(span.x, span.y) > 1e-9)) span = glm::dvec2(1.0);
        const double fitX = span.x > 1e-9 ? width * (1 - 2 * kMargin) / span.x : HUGE_VAL;
        const double fitY = span.y > 1e-9 ? height * (1 - 2 * kMargin) / span.y : HUGE_VAL;
        scale_ = std::min(fitX, fitY) * camera.Zoom;
        middle_ = glm::dvec2(width * 0.5, height * 0.5);
    }

    glm::dvec2 operator()(const glm::dvec3& p) const {
        const glm::dvec2 q = (glm::dvec2(turn_ * p) - centre_) * scale_;
        return {middle_.x + q.x, middle_.y - q.y};
    }

private:
    glm::dmat3 turn_{1.0};
    glm::dvec2 centre_{0.0}, middle_{0.0};
    double scale_ = 1;
};

// Cuts the segment to the box (Liang-Barsky); false when nothing of it is inside.
bool ClipToBox(glm::dvec2& a, glm::dvec2& b, const glm::dvec2& low, const glm::dvec2& high) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return false;
    const glm::dvec2 d = b - a;
    double t0 = 0, t1 = 1;
    const double p[4] = {-d.x, d.x, -d.y, d.y};
    const double q[4] = {a.x - low.x, high.x - a.x, a.y - low.y, high.y - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const glm::dvec2 start = a;
    a = start + d * t0;
    b = start + d * t1;
    return true;
}

PreviewPoint PointOf(const glm::dvec2& p) { return {float(p.x), float(p.y)}; }

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

PreviewDrawing DrawPreview(const PreviewModel& model, const PreviewPose& pose, const PreviewCamera& camera,
                           int width, int height, std::string label) {
    PreviewDrawing d;
    d.Width = std::max(width, 0);
    d.Height = std::max(height, 0);
    d.Label = std::move(label);
    d.LabelAt = {kLabelInset, kLabelInset};
    const Projection project(model, camera, d.Width, d.Height);
    const glm::dvec2 low(0.0), high(d.Width, d.Height);
    auto addLine = [&](std::vector<PreviewSegment>& lines, glm::dvec2 a, glm::dvec2 b) {
        if (ClipToBox(a, b, low, high)) lines.push_back({PointOf(a), PointOf(b)});
    };

    std::vector<glm::dvec2> vertices(pose.Vertices.size());
    std::transform(pose.Vertices.begin(), pose.Vertices.end(), vertices.begin(),
                   [&](const glm::dvec3& v) { return project(v); });
    for (const auto& [a, b] : model.Edges)
        if (a < vertices.size() && b < vertices.size()) addLine(d.MeshLines, vertices[a], vertices[b]);

    const size_t bones = std::min(model.Bones.size(), pose.Joints.size());
    std::vector<glm::dvec2> joints(bones);
    for (size_t b = 0; b < bones; ++b) {
        joints[b] = project(pose.Joints[b]);
        const int32_t parent = model.Bones[b].Parent;
        if (parent >= 0) addLine(d.BoneLines, joints[size_t(parent)], joints[b]);
        const glm::dvec2& j = joints[b];
        if (j.x >= -kDotReach && j.x <= d.Width + kDotReach && j.y >= -kDotReach && j.y <= d.Height + kDotReach)
            d.Joints.push_back(PointOf(j));
    }
    return d;
}

}  // namespace vandrel
