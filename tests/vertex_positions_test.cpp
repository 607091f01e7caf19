// The number of different vertex positions in the statistics: texts compared
// exactly, whatever their length and characters, across many meshes' lines.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "clipboard/Workspace.h"
#include "model/ModelReader.h"
#include "model/ModelStatistics.h"
#include "model/Text.h"

namespace vandrel {
namespace {

TEST(VertexPositions, DifferentTextsAreCountedOnceEachHoweverTheyAreWritten) {
    std::mt19937 rng(3);
    const std::vector<std::string> values = {"1.0", "1.000000", "-0.5", "1e3", "1E3", "2E3", "+2", "0,5", "12345678.123456",
                                             "x", "0.000001", "1.00000"};
    for (int round = 0; round < 40; ++round) {
        std::string model = "// MilkShape 3D ASCII\r\nMeshes: 1\r\n\"m\" 0 0\r\n";
        std::set<std::string> positions;
        const int vertices = int(rng() % 400);
        model += std::to_string(vertices) + "\r\n";
        for (int v = 0; v < vertices; ++v) {
            std::string position;
            for (int axis = 0; axis < 3; ++axis)
                position += (axis ? " " : "") + values[rng() % (round < 20 ? 4 : values.size())];
            // Every vertex line has a point somewhere, in its u or v if not in x y z.
            model += "0 " + position + " 0.5 0.5 0\r\n";
            positions.insert(position);
        }
        model += "0\r\n0\r\nMaterials: 0\r\nBones: 0\r\n";
        Workspace ws;
        LoadModelText(ws, 1, TextOf(model));
        const std::string expected =
            "Vertices:   " + std::to_string(vertices) + " (" + std::to_string(positions.size()) + ")";
        ASSERT_EQ(ws.File(1).ModelStatistics.at(0), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace vandrel
