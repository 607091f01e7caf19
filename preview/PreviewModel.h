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

struct PreviewModel {
    std::vector<PreviewBone> Bones;  // in file order
    std::vector<glm::dvec3> Vertices;  // every mesh's vertices, rest positions
    std::vector<int32_t> VertexBones;  // an index into Bones, or -1: the vertex stays put
    std::vector<std::pair<uint32_t, uint32_t>> Edges;  // triangle edges, each once
    glm::dvec3 RestMin{0.0}, RestMax{0.0};  // bounds of the rest joints and vertices
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

// The model of a set's bones and meshes.
PreviewModel ReadPreviewModel(const LineSet& set);

// The smallest and the largest key time of any bone; none without keys.
std::optional<std::pair<double, double>> KeyTimeRange(const PreviewModel& model);

}  // namespace vandrel
