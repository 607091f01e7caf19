// Arbitrary bytes as a model file: loaded into both slots as an open loads them,
// with the keyframe table, the statistics, the rest-line step and the
// compatibility count, then written back and read again; and read, posed and
// drawn by the preview.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInvariants.h"
#include "model/Compatibility.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/ModelStatistics.h"
#include "model/RestLines.h"
#include "model/KeyframeTable.h"
#include "output/ModelWriter.h"
#include "preview/PreviewView.h"

using namespace vandrel;
using namespace vandrel::fuzz;

namespace {

void Open(Workspace& ws, int n, const std::string& bytes) {
    LoadModel(ws, n, bytes);
    ModelSlot& slot = ws.File(n);

    CheckLineSet(slot);
    FUZZ_CHECK(slot.LineCount <= ws.LineCapacity);
    FUZZ_CHECK(slot.Rows.size() <= static_cast<size_t>(slot.LineCount));
    if (!slot.RestLinesAdjusted) FUZZ_CHECK(slot.LoadedRestLines.size() == slot.BoneList.size());
    // Two totals, an empty line, groups, an empty line, materials, an empty
    // line, joints: at least eight lines, and one more per bone.
    FUZZ_CHECK(slot.ModelStatistics.All().size() >= 8 + slot.BoneList.size());
}

// The preview reads what it can: every index of its triangles names a corner,
// vertex and normal that exist; it poses every bone, vertex and normal at any
// time; the view it frames is made of finite numbers.
void Preview(const Workspace& ws) {
    const PreviewModel model = ReadPreviewModel(ws, PreviewSource::File1);
    for (const auto& [a, b] : model.Edges) FUZZ_CHECK(a < b && b < model.Vertices.size());
    for (const PreviewCorner& c : model.Corners) FUZZ_CHECK(c.Vertex < model.Vertices.size() && c.Normal < model.Normals.size());
    for (const PreviewMesh& mesh : model.Meshes) {
        FUZZ_CHECK(mesh.Triangles.size() % 3 == 0);
        for (uint32_t k : mesh.Triangles) FUZZ_CHECK(k < model.Corners.size());
    }
    const auto range = KeyTimeRange(model);
    PreviewCamera camera{PreviewView::Free, 0.5, -0.3, 1, {0.2, -0.1}};
    const PreviewBounds bounds = AnimationBounds(model);
    for (double time : {range ? range->first : 0.0, range ? (range->first + range->second) / 2 : 1.5, 1e9}) {
        const PreviewPose pose = PoseModel(model, time);
        FUZZ_CHECK(pose.Joints.size() == model.Bones.size() && pose.Vertices.size() == model.Vertices.size() &&
                   pose.Normals.size() == model.Corners.size());
        const PreviewMatrices view = FrameView(bounds, camera, 64, 48);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) FUZZ_CHECK(std::isfinite(view.View[c][r]) && std::isfinite(view.Projection[c][r]));
        camera.View = PreviewView::Side;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Workspace ws;
    Open(ws, 1, bytes);
    Open(ws, 2, bytes);
    const ModelSlot& slot = ws.File(1);
    Preview(ws);

    // The same model twice: when every bone's rest line is its own, every bone
    // is compatible with exactly one bone of the other slot.
    const int32_t compatible = CountCompatibleBones(ws.File(1), ws.File(2));
    if (RestLinesDistinct(slot)) FUZZ_CHECK(compatible == static_cast<int32_t>(slot.BoneList.size()));
    (void)JointText(slot);

    // The same bytes as a side file: comments go onto rows, numbers stay.
    KeyframeTable rows = slot.Rows;
    ApplyKeyframeSidecar(rows, bytes);
    FUZZ_CHECK(KeyframeNumbersOfRows(rows) == KeyframeNumbersOfRows(slot.Rows));

    // Written and read again: the same number of lines and, for a well-formed
    // bones section, the same keyframes.
    const std::string written = ModelFileText(slot);
    Workspace again;
    Open(again, 1, written);
    FUZZ_CHECK(again.File(1).LineCount == slot.LineCount);
    if (WellFormedBones(slot)) {
        FUZZ_CHECK(again.File(1).BonesLine == slot.BonesLine);
        FUZZ_CHECK(KeyframeNumbersOfRows(again.File(1).Rows) == KeyframeNumbersOfRows(slot.Rows));
    }
    return 0;
}
