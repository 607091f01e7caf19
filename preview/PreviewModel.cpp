#include "preview/PreviewModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_map>

#include <glm/gtc/matrix_transform.hpp>

#include "model/IntegerValue.h"
#include "model/Sections.h"
#include "model/Text.h"

namespace vandrel {

namespace {

bool IsFieldBreak(char c) { return c == ' ' || c == '\t'; }

// The blank- or tab-separated fields of a line.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsFieldBreak(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !IsFieldBreak(line[i])) ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A decimal number with or without fraction or exponent; whatever does not read
// as a finite number counts as 0.
double Number(std::string_view field) {
    if (!field.empty() && field[0] == '+') field.remove_prefix(1);
    double value = 0;
    std::from_chars(field.data(), field.data() + field.size(), value);
    return std::isfinite(value) ? value : 0.0;
}

double FieldNumber(const std::vector<std::string_view>& fields, size_t i) {
    return i < fields.size() ? Number(fields[i]) : 0.0;
}

// The bytes between the opening quote and the next one (or the end of the line).
std::string QuotedName(std::string_view line) {
    if (!IsQuotedLine(line)) return {};
    line.remove_prefix(1);
    return std::string(line.substr(0, line.find('"')));
}

// Walks the lines of one section in order. Counted blocks end early at the end
// of the section or at a quoted line (the next mesh or bone), so that a count
// that lies never makes the reader take a name for a number or go past the
// lines there are.
class SectionCursor {
public:
    SectionCursor(const LineSet& set, LineRange range) : set_(set), range_(range), next_(range.first + 1) {}

    // Moves to the next quoted line; false at the end of the section.
    bool FindQuoted() {
        while (next_ <= range_.last && !IsQuotedLine(LineAt(set_, next_))) ++next_;
        return next_ <= range_.last;
    }
    bool AtEnd() const { return next_ > range_.last; }
    bool AtQuoted() const { return !AtEnd() && IsQuotedLine(LineAt(set_, next_)); }
    // The current line, and on to the next one.
    std::string_view Take() { return next_ <= range_.last ? LineAt(set_, next_++) : std::string_view(); }
    // A count line, then the lines it counts: visit(line) for each that is there.
    template <class Visit>
    void TakeCounted(Visit&& visit) {
        if (AtEnd() || IsQuotedLine(LineAt(set_, next_))) return;
        int64_t count = IntegerValue(Take());
        while (count-- > 0 && !AtEnd() && !IsQuotedLine(LineAt(set_, next_))) visit(Take());
    }

private:
    const LineSet& set_;
    LineRange range_;
    int64_t next_;
};

// A key line's time and x, y, z; fields that are missing count as 0. Routines
// hold hundreds of thousands of keys, read after every command: no allocation.
PreviewKey KeyOf(std::string_view line) {
    double f[4] = {0, 0, 0, 0};
    size_t i = 0;
    for (int k = 0; k < 4 && i < line.size(); ++k) {
        while (i < line.size() && IsFieldBreak(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !IsFieldBreak(line[i])) ++i;
        f[k] = Number(line.substr(start, i - start));
    }
    return {f[0], Int32(IntegerValue(line)), {f[1], f[2], f[3]}};
}

glm::dmat4 LocalRestMatrix(const PreviewBone& bone) {
    glm::dmat4 m = glm::translate(glm::dmat4(1.0), bone.RestPosition);
    m = glm::rotate(m, bone.RestRotation.z, glm::dvec3(0, 0, 1));
    m = glm::rotate(m, bone.RestRotation.y, glm::dvec3(0, 1, 0));
    return glm::rotate(m, bone.RestRotation.x, glm::dvec3(1, 0, 0));
}


// The fields of a quoted line after its quoted text.
std::vector<std::string_view> FieldsAfterQuote(std::string_view line) {
    const size_t close = line.size() > 1 ? line.find('"', 1) : std::string_view::npos;
    return close == std::string_view::npos ? std::vector<std::string_view>{} : Fields(line.substr(close + 1));
}

glm::dvec3 UnitOr(const glm::dvec3& v, const glm::dvec3& otherwise) {
    const double length = glm::length(v);
    return std::isfinite(length) && length > 1e-12 ? v / length : otherwise;
}

// The triangles of one mesh: a corner for each distinct pair of vertex and
// normal its triangles name. A normal index outside the mesh's normals gives
// the triangle's own face normal; a triangle with a vertex outside its mesh is
// left out.
void ReadTriangles(std::string_view line, size_t firstVertex, size_t vertexCount, size_t firstNormal,
                   size_t normalCount, std::map<std::pair<uint32_t, uint32_t>, uint32_t>& corners,
                   PreviewModel& model, PreviewMesh& mesh) {
    const std::vector<std::string_view> f = Fields(line);
    uint32_t vertex[3];
    int64_t normal[3];
    for (size_t c = 0; c < 3; ++c) {
        const int64_t v = c + 1 < f.size() ? IntegerValue(f[c + 1]) : -1;
        if (v < 0 || uint64_t(v) >= vertexCount) return;
        vertex[c] = uint32_t(firstVertex + uint64_t(v));
        normal[c] = c + 4 < f.size() ? IntegerValue(f[c + 4]) : -1;
    }
    const glm::dvec3 face = UnitOr(glm::cross(model.Vertices[vertex[1]] - model.Vertices[vertex[0]],
                                              model.Vertices[vertex[2]] - model.Vertices[vertex[0]]),
                                   glm::dvec3(0, 0, 1));
    for (size_t c = 0; c < 3; ++c) {
        uint32_t n;
        if (normal[c] >= 0 && uint64_t(normal[c]) < normalCount) {
            n = uint32_t(firstNormal + uint64_t(normal[c]));
        } else {
            n = uint32_t(model.Normals.size());
            model.Normals.push_back(face);
        }
        auto [at, fresh] = corners.try_emplace({vertex[c], n}, uint32_t(model.Corners.size()));
        if (fresh) model.Corners.push_back({vertex[c], n, glm::dvec2(0.0)});
        mesh.Triangles.push_back(at->second);
        const uint32_t a = vertex[c], b = vertex[(c + 1) % 3];
        if (a != b) model.Edges.emplace_back(std::min(a, b), std::max(a, b));
    }
}

// Adds the meshes of the meshes section whose header is line `header`: vertices, normals, corners and
// triangles. A vertex follows bone boneOf[i] of the model for bone index i of
// its line; a vertex whose bone index names none, or a bone without a match
// (-1), stays put.
void ReadMeshes(const LineSet& set, int64_t header, const std::vector<int32_t>& boneOf, PreviewModel& model) {
    SectionCursor cursor(set, SectionFrom(set, header));
    std::vector<glm::dvec2> texCoords;  // of every vertex
    while (cursor.FindQuoted()) {
        PreviewMesh mesh;
        const std::vector<std::string_view> header = FieldsAfterQuote(cursor.Take());  // "name" flags material
        const int64_t material = header.size() > 1 ? IntegerValue(header[1]) : -1;
        mesh.Material = material >= 0 && material < INT32_MAX ? int32_t(material) : -1;
        const size_t firstVertex = model.Vertices.size();
        cursor.TakeCounted([&](std::string_view line) {
            const std::vector<std::string_view> f = Fields(line);
            model.Vertices.emplace_back(FieldNumber(f, 1), FieldNumber(f, 2), FieldNumber(f, 3));
            texCoords.emplace_back(FieldNumber(f, 4), FieldNumber(f, 5));
            const int64_t bone = f.size() > 6 ? IntegerValue(f[6]) : -1;
            model.VertexBones.push_back(bone >= 0 && uint64_t(bone) < boneOf.size() ? boneOf[size_t(bone)] : -1);
        });
        const size_t firstNormal = model.Normals.size();
        cursor.TakeCounted([&](std::string_view line) {
            const std::vector<std::string_view> f = Fields(line);
            model.Normals.push_back(UnitOr({FieldNumber(f, 0), FieldNumber(f, 1), FieldNumber(f, 2)}, {0, 0, 1}));
        });
        const size_t vertexCount = model.Vertices.size() - firstVertex;
        const size_t normalCount = model.Normals.size() - firstNormal;
        std::map<std::pair<uint32_t, uint32_t>, uint32_t> corners;
        cursor.TakeCounted([&](std::string_view line) {
            ReadTriangles(line, firstVertex, vertexCount, firstNormal, normalCount, corners, model, mesh);
        });
        if (!mesh.Triangles.empty()) model.Meshes.push_back(std::move(mesh));
    }
    for (PreviewCorner& corner : model.Corners) corner.TexCoord = texCoords[corner.Vertex];
    std::sort(model.Edges.begin(), model.Edges.end());
    model.Edges.erase(std::unique(model.Edges.begin(), model.Edges.end()), model.Edges.end());
}

// The materials of the set: name, ambient, diffuse, specular and emissive
// colours, shininess, transparency, colour map and alpha map. Each takes the
// lines that are there up to the next quoted name.
void ReadMaterials(const LineSet& set, int64_t header, PreviewModel& model) {
    SectionCursor cursor(set, SectionFrom(set, header));
    while (cursor.FindQuoted()) {
        cursor.Take();  // the name
        PreviewMaterial material;
        std::vector<std::string_view> numbers;
        while (!cursor.AtEnd() && !cursor.AtQuoted() && numbers.size() < 6) numbers.push_back(cursor.Take());
        if (numbers.size() > 1) {
            const std::vector<std::string_view> f = Fields(numbers[1]);
            material.Diffuse = {FieldNumber(f, 0), FieldNumber(f, 1), FieldNumber(f, 2), f.size() > 3 ? FieldNumber(f, 3) : 1.0};
        }
        if (numbers.size() == 6 && cursor.AtQuoted()) {
            material.TextureFile = QuotedName(cursor.Take());
            if (cursor.AtQuoted()) cursor.Take();  // the alpha map
        }
        model.Materials.push_back(std::move(material));
    }
}

void ExtendBounds(PreviewModel& model, const glm::dvec3& p, bool first) {
    model.RestMin = first ? p : glm::min(model.RestMin, p);
    model.RestMax = first ? p : glm::max(model.RestMax, p);
}

bool SameBones(const std::vector<PreviewBone>& a, const std::vector<PreviewBone>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const PreviewBone& x, const PreviewBone& y) {
        return x.Name == y.Name && x.ParentName == y.ParentName;
    });
}

}  // namespace

std::vector<PreviewBone> ReadPreviewBones(const LineSet& set) {
    std::vector<PreviewBone> bones;
    std::unordered_map<std::string, int32_t> firstOfName;
    SectionCursor cursor(set, BonesSection(set));
    while (cursor.FindQuoted()) {
        PreviewBone bone;
        bone.Name = QuotedName(cursor.Take());
        bone.ParentName = QuotedName(cursor.Take());
        bone.RestLine = cursor.Take();
        const std::vector<std::string_view> rest = Fields(bone.RestLine);
        bone.RestPosition = {FieldNumber(rest, 1), FieldNumber(rest, 2), FieldNumber(rest, 3)};
        bone.RestRotation = {FieldNumber(rest, 4), FieldNumber(rest, 5), FieldNumber(rest, 6)};
        cursor.TakeCounted([&](std::string_view line) { bone.PositionKeys.push_back(KeyOf(line)); });
        cursor.TakeCounted([&](std::string_view line) { bone.RotationKeys.push_back(KeyOf(line)); });

        if (auto parent = firstOfName.find(bone.ParentName); parent != firstOfName.end()) bone.Parent = parent->second;
        firstOfName.try_emplace(bone.Name, int32_t(bones.size()));
        bone.LocalRest = LocalRestMatrix(bone);
        bone.RestMatrix = bone.Parent >= 0 ? bones[size_t(bone.Parent)].RestMatrix * bone.LocalRest : bone.LocalRest;
        bone.InverseRestMatrix = glm::inverse(bone.RestMatrix);
        bones.push_back(std::move(bone));
    }
    return bones;
}

namespace {

// The model of the bones and of the meshes of `meshes` (or none), whose vertex
// bone indexes name bones of the model through `boneOf`, with its bounds.
PreviewModel ModelOf(std::vector<PreviewBone> bones, const LineSet* meshes, const std::vector<int32_t>& boneOf,
                     std::string folder) {
    PreviewModel model;
    model.Bones = std::move(bones);
    if (meshes) {
        const SectionLines sections = FindSections(*meshes);
        ReadMeshes(*meshes, sections.Meshes, boneOf, model);
        ReadMaterials(*meshes, sections.Materials, model);
        model.Folder = std::move(folder);
    }
    bool first = true;
    for (const PreviewBone& bone : model.Bones) {
        ExtendBounds(model, glm::dvec3(bone.RestMatrix[3]), first);
        first = false;
    }
    for (const glm::dvec3& v : model.Vertices) {
        ExtendBounds(model, v, first);
        first = false;
    }
    return model;
}

// The folder part of a path, its last slash or backslash included; empty without one.
std::string FolderOf(const std::string& path) {
    return path.substr(0, path.size() - FileNameOf(path).size());
}

// Vertex bone index i names bone i.
std::vector<int32_t> SameIndexes(size_t bones) {
    std::vector<int32_t> boneOf(bones);
    for (size_t b = 0; b < bones; ++b) boneOf[b] = int32_t(b);
    return boneOf;
}

// For each bone of `meshes`, the first bone of `bones` with the same rest line,
// or -1; empty when no bone matches.
std::vector<int32_t> MatchedIndexes(const std::vector<PreviewBone>& bones, const LineSet& meshes) {
    std::unordered_map<std::string_view, int32_t> byRestLine;
    for (size_t b = bones.size(); b-- > 0;) byRestLine[bones[b].RestLine] = int32_t(b);
    std::vector<int32_t> boneOf;
    bool any = false;
    for (const PreviewBone& other : ReadPreviewBones(meshes)) {
        auto found = byRestLine.find(other.RestLine);
        boneOf.push_back(found == byRestLine.end() ? -1 : found->second);
        any = any || found != byRestLine.end();
    }
    if (!any) boneOf.clear();
    return boneOf;
}

// The bones of file n drawn on its own meshes or, when it has none, on those of
// the other file where their skeletons share bones.
PreviewModel FileModel(const Workspace& ws, int n, std::vector<PreviewBone> bones) {
    const ModelSlot& own = ws.File(n);
    PreviewModel model = ModelOf(bones, &own, SameIndexes(bones.size()), FolderOf(own.Path));
    if (!model.Vertices.empty()) return model;
    const ModelSlot& other = ws.File(3 - n);
    const std::vector<int32_t> boneOf = MatchedIndexes(bones, other);
    if (boneOf.empty()) return model;
    PreviewModel onOther = ModelOf(std::move(bones), &other, boneOf, FolderOf(other.Path));
    return onOther.Vertices.empty() ? model : onOther;
}

// A paste places each frame's keys where the frame belongs: the Clipboard's keys,
// which a reverse leaves in descending order, are played in frame order.
void PutKeysInFrameOrder(std::vector<PreviewBone>& bones) {
    auto byFrame = [](const PreviewKey& a, const PreviewKey& b) { return a.Frame < b.Frame; };
    for (PreviewBone& bone : bones) {
        std::stable_sort(bone.PositionKeys.begin(), bone.PositionKeys.end(), byFrame);
        std::stable_sort(bone.RotationKeys.begin(), bone.RotationKeys.end(), byFrame);
    }
}

}  // namespace

PreviewModel ReadPreviewModel(const LineSet& set, const std::string& folder) {
    std::vector<PreviewBone> bones = ReadPreviewBones(set);
    const std::vector<int32_t> boneOf = SameIndexes(bones.size());
    return ModelOf(std::move(bones), &set, boneOf, folder);
}

PreviewModel ReadPreviewModel(const Workspace& ws, PreviewSource source) {
    if (source == PreviewSource::File1) return FileModel(ws, 1, ReadPreviewBones(ws.File(1)));
    if (source == PreviewSource::File2) return FileModel(ws, 2, ReadPreviewBones(ws.File(2)));
    std::vector<PreviewBone> bones = ReadPreviewBones(ws.Clip);
    PutKeysInFrameOrder(bones);
    const int from = ws.Clip.ClipboardSource;
    if ((from == 1 || from == 2) && SameBones(bones, ReadPreviewBones(ws.File(from))))
        return FileModel(ws, from, std::move(bones));
    return ModelOf(std::move(bones), nullptr, {}, {});
}

std::optional<std::pair<double, double>> KeyTimeRange(const PreviewModel& model) {
    std::optional<std::pair<double, double>> range;
    for (const PreviewBone& bone : model.Bones) {
        for (const auto* keys : {&bone.PositionKeys, &bone.RotationKeys}) {
            for (const PreviewKey& key : *keys) {
                if (!range) range.emplace(key.Time, key.Time);
                range->first = std::min(range->first, key.Time);
                range->second = std::max(range->second, key.Time);
            }
        }
    }
    return range;
}

}  // namespace vandrel
