#pragma once
// What the preview shows of a model, read from its lines: the skeleton with its
// rest pose and keys, the meshes' vertices with their bones and the edges of
// their triangles. The preview has a reader of its own: it never changes the
// lines, reads whatever a malformed model still holds, and stays within the
// lines that exist whatever the counts in them say.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "clipboard/Workspace.h"

namespace vandrel {

// A position or rotation key: its time (the frame number, fractions kept) and
// three numbers (x y z, or rotation angles about x, y, z in radians).
struct PreviewKey {
    double Time = 0;
    int32_t Frame = 0;  // the frame number of its line, as the Clipboard places keys
    glm::dvec3 Value{0.0};
};

struct PreviewBone {
    std::string Name;        // the bytes between the quotes of the name line
    std::string ParentName;  // likewise; empty for a root
    std::string RestLine;    // the rest line as held: the same text is the same bone in another file
    int32_t Parent = -1;     // the first earlier bone of that name; -1 for a root
    glm::dvec3 RestPosition{0.0};
    glm::dvec3 RestRotation{0.0};  // radians about x, y, z
    std::vector<PreviewKey> PositionKeys;  // in file order
    std::vector<PreviewKey> RotationKeys;
    glm::dmat4 LocalRest{1.0};          // translation x rotation z x rotation y x rotation x
    glm::dmat4 RestMatrix{1.0};         // the parent's rest matrix x LocalRest
    glm::dmat4 InverseRestMatrix{1.0};
};

// A material as the preview paints it: its diffuse colour, and its colour map
// (the texture), a file name as the model writes it, found from Folder.
struct PreviewMaterial {
    glm::dvec4 Diffuse{0.8, 0.8, 0.8, 1.0};
    std::string TextureFile;  // empty: none
};

// A corner of the triangles: a vertex with one of its mesh's normals and the
// vertex's texture coordinates (v from the top of the picture down).
struct PreviewCorner {
    uint32_t Vertex = 0;
    uint32_t Normal = 0;  // an index into Normals
    glm::dvec2 TexCoord{0.0};
};

struct PreviewMesh {
    int32_t Material = -1;            // an index into Materials, or -1: none
    std::vector<uint32_t> Triangles;  // three corner indexes each, counter-clockwise seen from the front
};

struct PreviewModel {
    std::vector<PreviewBone> Bones;  // in file order
    std::vector<glm::dvec3> Vertices;  // every mesh's vertices, rest positions
    std::vector<int32_t> VertexBones;  // an index into Bones, or -1: the vertex stays put
    std::vector<glm::dvec3> Normals;   // rest normals, unit length
    std::vector<PreviewCorner> Corners;
    std::vector<PreviewMesh> Meshes;
    std::vector<PreviewMaterial> Materials;
    std::vector<std::pair<uint32_t, uint32_t>> Edges;  // triangle edges (vertex indexes), each once
    glm::dvec3 RestMin{0.0}, RestMax{0.0};  // bounds of the rest joints and vertices
    std::string Folder;  // the folder of the file the meshes come from; empty: the working folder
};

// The three models the preview can show.
enum class PreviewSource { File1, File2, Clipboard };

// The bones of the set's bones section, in file order, parents found and rest
// matrices computed.
std::vector<PreviewBone> ReadPreviewBones(const LineSet& set);

// The model of File 1, File 2 or the Clipboard. A file without meshes (an
// animation of bones only) is drawn on the meshes of the other file, each vertex
// following the bone of this file whose rest line equals that of its own bone.
// The Clipboard holds no meshes: it is drawn as the file it came from is drawn,
// as long as that file's bones still have the Clipboard's names and parents in
// the same order; each bone's keys in frame order, as a paste places them.
PreviewModel ReadPreviewModel(const Workspace& ws, PreviewSource source);

// The model of a set's bones and meshes (textures found from `folder`).
PreviewModel ReadPreviewModel(const LineSet& set, const std::string& folder = {});

// The smallest and the largest key time of any bone; none without keys.
std::optional<std::pair<double, double>> KeyTimeRange(const PreviewModel& model);

}  // namespace vandrel
