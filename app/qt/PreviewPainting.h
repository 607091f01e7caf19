#pragma once
// The preview's picture painted with Qt: in the preview window and into the
// PNG files of vandrel-cli's `render`.
#include <QColor>
#include <string>

#include "preview/PreviewDrawing.h"

class QPainter;

namespace vandrel {

namespace preview_colours {
inline const QColor Background(255, 255, 255);
inline const QColor Mesh(150, 158, 170);
inline const QColor Bone(30, 80, 200);
inline const QColor Joint(220, 30, 30);
inline const QColor Label(0, 0, 0);
}  // namespace preview_colours

// Paints the drawing over its whole size from the painter's origin: the
// background, the meshes, the bones, the joints as dots and the frame label.
void PaintPreview(QPainter& painter, const PreviewDrawing& drawing);

// Paints the drawing into a PNG file of its size, written safely; false when
// the file cannot be written.
bool WritePreviewPng(const PreviewDrawing& drawing, const std::string& path);

}  // namespace vandrel
