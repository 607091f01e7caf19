#pragma once
// The preview's picture drawn with OpenGL into memory: Mesa's off-screen
// library (OSMesa, llvmpipe) renders the same picture for the window and for
// vandrel-cli's `render`, with no display and no GPU. Everything it draws comes
// from the plain data of PreviewView.h.
#include <cstdint>
#include <memory>
#include <vector>

#include "preview/PreviewView.h"

namespace vandrel {

// Pixels as red, green, blue and alpha bytes, the top row first.
struct RgbaPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
};

// A material's texture, decoded.
using PreviewTexture = RgbaPicture;
using PreviewTextures = std::vector<std::shared_ptr<const PreviewTexture>>;  // per material; null: none

// The colours of the picture, red, green and blue from 0 to 1.
namespace preview_colours {
inline constexpr glm::vec3 Background{0.93f, 0.93f, 0.95f};
inline constexpr glm::vec3 NoMaterial{0.72f, 0.74f, 0.78f};
inline constexpr glm::vec3 Wire{0.25f, 0.27f, 0.32f};
inline constexpr glm::vec3 Grid{0.62f, 0.63f, 0.66f};
inline constexpr glm::vec3 Bone{0.12f, 0.31f, 0.78f};
inline constexpr glm::vec3 Joint{0.86f, 0.12f, 0.12f};
}  // namespace preview_colours

// Draws pictures in one GL context of its own, which it keeps, with the
// textures last given. One renderer per thread.
class GlPreviewRenderer {
public:
    GlPreviewRenderer();
    ~GlPreviewRenderer();
    GlPreviewRenderer(const GlPreviewRenderer&) = delete;
    GlPreviewRenderer& operator=(const GlPreviewRenderer&) = delete;

    // False when no GL context could be made: then pictures are plain background.
    bool Ready() const;

    // The textures of the materials of the models drawn from now on.
    void SetTextures(const PreviewTextures& textures);

    // The posed model from the view, width x height pixels: the lit triangles in
    // their materials' colours (textured where the look says and a texture is
    // there), front faces only (counter-clockwise), then the overlays. The
    // picture lives until the next call.
    const RgbaPicture& Draw(const PreviewModel& model, const PreviewPose& pose, const PreviewMatrices& view,
                            const PreviewLook& look, const PreviewBounds& bounds, int width, int height);

private:
    struct Context;
    std::unique_ptr<Context> context_;
    RgbaPicture picture_;
};

}  // namespace vandrel
