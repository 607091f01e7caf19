#pragma once
// How the preview looks at a posed model, as plain data: the camera, the bounds
// of the whole animation it frames, the matrices of the picture, and the lines
// drawn over the model (ground grid, skeleton). The GL module draws from these;
// tests check them without drawing.
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "preview/PreviewModel.h"
#include "preview/PreviewPose.h"

namespace vandrel {

// Orthographic views: front has x to the right and y up, side z to the right
// and y up, top x to the right and -z up; the free view is turned by the user.
enum class PreviewView { Front, Side, Top, Free };

struct PreviewCamera {
    PreviewView View = PreviewView::Front;
    double Yaw = 0;    // the free view: radians about y, then
    double Pitch = 0;  // radians about x
    double Zoom = 1;   // 1 frames the whole animation
    glm::dvec2 Pan{0.0};  // the framed middle moved across the picture, in framed half heights
};

// The turn of a camera's view as (yaw, pitch): fixed for front, side and top.
glm::dvec2 ViewAngles(const PreviewCamera& camera);

// An axis-aligned box; empty when nothing was put in.
struct PreviewBounds {
    glm::dvec3 Min{0.0}, Max{0.0};
    bool Empty = true;
    void Add(const glm::dvec3& p);
};

// Every joint and vertex of the model at every key time of any bone (at time 0
// for a model without keys). A vertex moves rigidly with its bone, so the box of
// a bone's vertices, carried by the bone, holds them all.
PreviewBounds AnimationBounds(const PreviewModel& model);

// What the picture shows: the view turns and moves the model, the projection
// maps the framed box to the picture (orthographic; depth from near to far).
struct PreviewMatrices {
    glm::dmat4 View{1.0};
    glm::dmat4 Projection{1.0};
};

// The matrices that show `bounds` from the camera's angles in a picture of
// width x height: at zoom 1 without pan the bounds fill it with a margin; the
// depth range holds the bounds and the ground grid under them.
PreviewMatrices FrameView(const PreviewBounds& bounds, const PreviewCamera& camera, int width, int height);

// Where a point lands in the picture: x and y in pixels from the top left
// corner, z the depth from 0 (near) to 1 (far).
glm::dvec3 ProjectToPicture(const PreviewMatrices& matrices, const glm::dvec3& p, int width, int height);

// What is drawn: the triangles (filled, with the materials' textures where
// there are any) or none, and the overlays.
struct PreviewLook {
    bool Solid = true;
    bool Textured = true;
    bool Wire = false;
    bool Grid = false;
    bool Skeleton = false;
};

// The ground grid under the bounds, at their lowest point: line ends in pairs.
std::vector<glm::dvec3> GroundGrid(const PreviewBounds& bounds);

// One picture of a model: posed at a time, seen by a camera that frames the
// whole animation, in a look, at a size, with a label (the frame number).
struct PreviewShot {
    PreviewPose Pose;
    PreviewBounds Bounds;
    PreviewMatrices Matrices;
    PreviewLook Look;
    int Width = 640;
    int Height = 480;
    std::string Label;
};

PreviewShot ShotOf(const PreviewModel& model, double time, const PreviewCamera& camera, const PreviewLook& look,
                   int width, int height, std::string label);

}  // namespace vandrel
