#pragma once
// The preview's picture on Qt: the GL module draws it with the model's
// textures, decoded here, and the frame number is written over it. The same
// picture goes into the preview window and into the PNG files of `render`.
#include <QImage>
#include <string>

#include "preview/GlPreview.h"

namespace vandrel {

// The file a material's colour map names: the path as the model writes it
// (backslashes as folder separators) from the model's folder, the file name
// matched without regard to case; empty when there is no such file.
std::string FindTextureFile(const std::string& folder, const std::string& textureFile);

// The textures of the model's materials, decoded (PNG, BMP, JPEG, TGA); none
// for a material whose texture is missing or cannot be decoded.
PreviewTextures LoadPreviewTextures(const PreviewModel& model);

// The picture of the shot, drawn by `renderer` (whose textures are the model's),
// with the label in its top left corner.
QImage PreviewImage(GlPreviewRenderer& renderer, const PreviewModel& model, const PreviewShot& shot);

// The picture of the shot as a PNG file, written safely; false when it cannot be written.
bool WritePreviewPng(const PreviewModel& model, const PreviewShot& shot, const std::string& path);

}  // namespace vandrel
