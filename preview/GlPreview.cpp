#include "preview/GlPreview.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/osmesa.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include <glm/gtc/type_ptr.hpp>

namespace vandrel {

namespace {

constexpr float kLightAmbient = 0.3f;  // a face towards the camera shows its colour exactly
constexpr float kLightDiffuse = 0.7f;
constexpr float kBoneWidth = 2.0f;
constexpr float kJointSize = 7.0f;

void LoadMatrix(GLenum mode, const glm::dmat4& m) {
    const glm::mat4 f(m);
    glMatrixMode(mode);
    glLoadMatrixf(glm::value_ptr(f));
}

void Colour(const glm::vec3& c) { glColor3f(c.r, c.g, c.b); }

// Lines between pairs of points, in one colour.
void DrawLines(const std::vector<glm::vec3>& ends, const glm::vec3& colour) {
    if (ends.empty()) return;
    Colour(colour);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, ends.data());
    glDrawArrays(GL_LINES, 0, GLsizei(ends.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
}

}  // namespace

struct GlPreviewRenderer::Context {
    OSMesaContext gl = nullptr;
    PreviewTextures textures;
    std::vector<GLuint> textureIds;  // per material; 0: none
    bool texturesStale = false;
    std::vector<glm::vec3> positions, normals, vertices;  // per corner, per corner, per vertex
    std::vector<glm::vec2> texCoords;                      // per corner

    ~Context() {
        if (gl) OSMesaDestroyContext(gl);
    }

    // Uploads the textures given since the last picture; the context is current.
    void UploadTextures() {
        if (!texturesStale) return;
        texturesStale = false;
        for (GLuint id : textureIds)
            if (id) glDeleteTextures(1, &id);
        textureIds.assign(textures.size(), 0);
        for (size_t m = 0; m < textures.size(); ++m) {
            const PreviewTexture* t = textures[m].get();
            if (!t || t->Width <= 0 || t->Height <= 0 || t->Pixels.size() < size_t(t->Width) * size_t(t->Height) * 4)
                continue;
            glGenTextures(1, &textureIds[m]);
            glBindTexture(GL_TEXTURE_2D, textureIds[m]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            // The top row first: a texture coordinate v of 0 is the picture's top, as the files have it.
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, t->Width, t->Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, t->Pixels.data());
            glGenerateMipmap(GL_TEXTURE_2D);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
};

GlPreviewRenderer::GlPreviewRenderer() : context_(std::make_unique<Context>()) {
    context_->gl = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
}

GlPreviewRenderer::~GlPreviewRenderer() = default;

bool GlPreviewRenderer::Ready() const { return context_->gl != nullptr; }

void GlPreviewRenderer::SetTextures(const PreviewTextures& textures) {
    context_->textures = textures;
    context_->texturesStale = true;
}

const RgbaPicture& GlPreviewRenderer::Draw(const PreviewModel& model, const PreviewPose& pose,
                                           const PreviewMatrices& view, const PreviewLook& look,
                                           const PreviewBounds& bounds, int width, int height) {
    picture_.Width = std::max(width, 1);
    picture_.Height = std::max(height, 1);
    const glm::u8vec4 background(glm::vec4(preview_colours::Background, 1.0f) * 255.0f + 0.5f);
    picture_.Pixels.resize(size_t(picture_.Width) * size_t(picture_.Height) * 4);
    Context& c = *context_;
    if (!c.gl || !OSMesaMakeCurrent(c.gl, picture_.Pixels.data(), GL_UNSIGNED_BYTE, picture_.Width, picture_.Height)) {
        for (size_t p = 0; p < picture_.Pixels.size(); p += 4)
            std::copy_n(&background[0], 4, &picture_.Pixels[p]);
        return picture_;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);  // the top row first
    c.UploadTextures();

    glViewport(0, 0, picture_.Width, picture_.Height);
    glClearColor(preview_colours::Background.r, preview_colours::Background.g, preview_colours::Background.b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // A light from the camera: set while the model-view matrix is the identity.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat towardsViewer[] = {0, 0, 1, 0}, ambient[] = {kLightAmbient, kLightAmbient, kLightAmbient, 1},
                  diffuse[] = {kLightDiffuse, kLightDiffuse, kLightDiffuse, 1}, none[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    LoadMatrix(GL_PROJECTION, view.Projection);
    LoadMatrix(GL_MODELVIEW, view.View);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);

    // The posed vertices, and the corners of the triangles.
    c.vertices.resize(pose.Vertices.size());
    std::transform(pose.Vertices.begin(), pose.Vertices.end(), c.vertices.begin(), [](const glm::dvec3& v) { return glm::vec3(v); });
    const size_t corners = std::min(model.Corners.size(), pose.Normals.size());
    c.positions.resize(corners);
    c.normals.resize(corners);
    c.texCoords.resize(corners);
    for (size_t k = 0; k < corners; ++k) {
        const PreviewCorner& corner = model.Corners[k];
        c.positions[k] = corner.Vertex < c.vertices.size() ? c.vertices[corner.Vertex] : glm::vec3(0.0f);
        c.normals[k] = glm::vec3(pose.Normals[k]);
        c.texCoords[k] = glm::vec2(corner.TexCoord);
    }

    if (look.Solid && corners > 0) {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_NORMALIZE);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        if (look.Wire) {
            glEnable(GL_POLYGON_OFFSET_FILL);  // the wire lies on top of the faces
            glPolygonOffset(1, 1);
        }
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, c.positions.data());
        glNormalPointer(GL_FLOAT, 0, c.normals.data());
        glTexCoordPointer(2, GL_FLOAT, 0, c.texCoords.data());
        for (const PreviewMesh& mesh : model.Meshes) {
            const bool hasMaterial = mesh.Material >= 0 && size_t(mesh.Material) < model.Materials.size();
            const GLuint texture = look.Textured && hasMaterial && size_t(mesh.Material) < c.textureIds.size()
                                       ? c.textureIds[size_t(mesh.Material)]
                                       : 0;
            if (texture) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, texture);
                Colour(glm::vec3(1.0f));
            } else {
                glDisable(GL_TEXTURE_2D);
                Colour(hasMaterial ? glm::vec3(model.Materials[size_t(mesh.Material)].Diffuse) : preview_colours::NoMaterial);
            }
            // Only corners that exist are drawn.
            const std::vector<uint32_t>& t = mesh.Triangles;
            if (std::all_of(t.begin(), t.end(), [&](uint32_t k) { return k < corners; }))
                glDrawElements(GL_TRIANGLES, GLsizei(t.size()), GL_UNSIGNED_INT, t.data());
        }
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
    }

    if (look.Wire && !model.Edges.empty()) {
        std::vector<glm::vec3> ends;
        ends.reserve(model.Edges.size() * 2);
        for (const auto& [a, b] : model.Edges)
            if (a < c.vertices.size() && b < c.vertices.size()) ends.insert(ends.end(), {c.vertices[a], c.vertices[b]});
        DrawLines(ends, preview_colours::Wire);
    }
    if (look.Grid) {
        std::vector<glm::vec3> ends;
        for (const glm::dvec3& p : GroundGrid(bounds)) ends.emplace_back(p);
        DrawLines(ends, preview_colours::Grid);
    }
    if (look.Skeleton) {
        // Over everything: bones from the parent's joint, joints as dots.
        glDisable(GL_DEPTH_TEST);
        std::vector<glm::vec3> bones, joints;
        for (size_t b = 0; b < model.Bones.size() && b < pose.Joints.size(); ++b) {
            joints.emplace_back(pose.Joints[b]);
            const int32_t parent = model.Bones[b].Parent;
            if (parent >= 0) bones.insert(bones.end(), {glm::vec3(pose.Joints[size_t(parent)]), glm::vec3(pose.Joints[b])});
        }
        glLineWidth(kBoneWidth);
        DrawLines(bones, preview_colours::Bone);
        glLineWidth(1);
        glEnable(GL_POINT_SMOOTH);
        glPointSize(kJointSize);
        Colour(preview_colours::Joint);
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, joints.data());
        glDrawArrays(GL_POINTS, 0, GLsizei(joints.size()));
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_POINT_SMOOTH);
    }
    glFinish();
    return picture_;
}

}  // namespace vandrel
