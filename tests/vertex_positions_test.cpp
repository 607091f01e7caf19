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

// The position text by the rule, byte by byte: from the third byte up to the
// third blank at or after it, blanks stripped at both ends.
std::string PositionText(const std::string& line) {
    size_t end = 2;
    for (int blanks = 0; end < line.size(); ++end)
        if (line[end] == ' ' && ++blanks == 3) break;
    if (end >= line.size()) return "";
    std::string text = line.substr(2, end - 2);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

TEST(VertexPositions, DifferentTextsAreCountedOnceEachHoweverTheyAreWritten) {
    std::mt19937 rng(3);
    const std::vector<std::string> values = {"1.0", "1.000000", "-0.5", "1e3", "1E3", "2E3", "+2", "0,5",
                                             "12345678.123456", "x", "0.000001", "1.00000", ""};
    // Short and long tails: the same text on lines of every length.
    const std::vector<std::string> tails = {" 0.5 0.5 0", " 0.500000 0.500000 12", " 0.250000 0.750000 3 and then some"};
    for (int round = 0; round < 60; ++round) {
        std::string model = "// MilkShape 3D ASCII\r\nMeshes: 1\r\n\"m\" 0 0\r\n";
        std::set<std::string> positions;
        const int vertices = int(rng() % 400);
        model += std::to_string(vertices) + "\r\n";
        for (int v = 0; v < vertices; ++v) {
            std::string line = "0 ";
            if (round >= 40 && rng() % 8 == 0) line += ' ';
            for (int axis = 0; axis < 3; ++axis) {
                if (axis) line += round >= 40 && rng() % 6 == 0 ? "  " : " ";
                line += values[rng() % (round < 20 ? 4 : values.size())];
            }
            // Every vertex line has a point somewhere, in its u or v if not in x y z.
            line += tails[rng() % tails.size()];
            model += line + "\r\n";
            if (const std::string text = PositionText(line); !text.empty()) positions.insert(text);
        }
        model += "0\r\n0\r\nMaterials: 0\r\nBones: 0\r\n";
        Workspace ws;
        LoadModel(ws, 1, model);
        const std::string expected =
            "Vertices:   " + std::to_string(vertices) + " (" + std::to_string(positions.size()) + ")";
        ASSERT_EQ(ws.File(1).ModelStatistics.All().at(0), expected) << "round " << round;
    }
}

}  // namespace
}  // namespace vandrel
