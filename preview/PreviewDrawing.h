#pragma once
// The preview's picture as plain data: lines, dots and a label in pixel
// coordinates for a view and a size. The window paints it on the screen and
// vandrel-cli into a PNG file, so both show the same picture.
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
    double Zoom = 1;   // 1 frames the rest pose
};

// The turn of a camera's view as (yaw, pitch): fixed for front, side and top.
glm::dvec2 ViewAngles(const PreviewCamera& camera);

struct PreviewPoint {
    float X = 0;
    float Y = 0;
};

struct PreviewSegment {
    PreviewPoint A, B;
};

// Pixels from the top left corner; everything lies within the picture.
struct PreviewDrawing {
    int Width = 0;
    int Height = 0;
    std::vector<PreviewSegment> MeshLines;  // the edges of the triangles
    std::vector<PreviewSegment> BoneLines;  // from each joint to its parent's
    std::vector<PreviewPoint> Joints;
    std::string Label;        // the frame number
    PreviewPoint LabelAt;     // the top left corner of the label's text
};

// Draws the posed model, framed so that the rest pose's bounds with a margin
// fill the picture (at zoom 1). Parts that are not finite or lie outside the
// picture are left out, so a wild model never gives wild coordinates.
PreviewDrawing DrawPreview(const PreviewModel& model, const PreviewPose& pose, const PreviewCamera& camera,
                           int width, int height, std::string label);

}  // namespace vandrel
