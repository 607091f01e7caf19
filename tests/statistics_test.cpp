// The statistics text of a model, line by line, and the count of compatible
// bones between File 1 and File 2 with its status-bar texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "model/Compatibility.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"

namespace vandrel {
namespace {

using test::JoinLines;
using Lines = std::vector<std::string>;

void Load(Workspace& ws, int n, const Lines& lines) {
    const std::string bytes = JoinLines(lines);
    LoadModelText(ws, n, TextOf(bytes));
    MakeRestLinesUnique(ws.File(n));
}

Lines StatisticsOf(const Lines& lines) {
    Workspace ws;
    Load(ws, 1, lines);
    return ws.File(1).ModelStatistics;
}

// A cube: 8 corners, 12 triangles, one material with a texture in a folder.
Lines Cube() {
    Lines lines{"// MilkShape 3D ASCII", "", "Frames: 1", "Frame: 1", "", "Meshes: 1", "\"cube\" 0 0", "8"};
    for (int v = 0; v < 8; ++v)
        lines.push_back("0 " + std::string(v & 1 ? "1.000000" : "-1.000000") + " " + (v & 2 ? "1.000000" : "-1.000000") +
                        " " + (v & 4 ? "1.000000" : "-1.000000") + " 0.000000 0.000000 -1");
    lines.push_back("6");
    for (int n = 0; n < 6; ++n) lines.push_back("0.000000 1.000000 0.000000");
    lines.push_back("12");
    for (int t = 0; t < 12; ++t) lines.push_back("0 0 1 2 0 0 0 1");
    for (const char* l : {"", "Materials: 1", "\"stone\"", "0.2 0.2 0.2 1.0", "0.8 0.8 0.8 1.0", "0.0 0.0 0.0 1.0",
                          "0.0 0.0 0.0 1.0", "0.000000", "1.000000", "\"C:\\models\\tex/stone.png\"", "\"\"", "",
                          "Bones: 2", "\"root\"", "\"\"", "8 0 0 0 0 0 0", "0", "0", "\"lid\"", "\"root\"",
                          "8 0 1 0 0 0 0", "0", "0"})
        lines.push_back(l);
    return lines;
}

TEST(Statistics, CubeTextLineByLine) {
    EXPECT_EQ(StatisticsOf(Cube()), (Lines{"Vertices:   8 (8)", "Triangles: 12", "", "Groups: 1", "\"cube\" --> 12", "",
                                           "Materials: 1", "stone --> stone.png --> \"\"", "", "Joints: 2",
                                           "\"\" --> \"root\"", "\"root\" --> \"lid\""}));
}

TEST(Statistics, DistinctPositionsCompareTheTextOfFlagZeroVertexLines) {
    const Lines model{"// MilkShape 3D ASCII", "Meshes: 2", "\"a\" 1 0", "5",
                      "0 1.000000 2.000000 3.000000 0.1 0.2 0",
                      "0 1.000000 2.000000 3.000000 0.9 0.9 1",  // same position, other uv: once
                      "0 1.0 2.0 3.0 0.0 0.0 0",                 // same numbers, other digits: twice
                      "1 7.000000 7.000000 7.000000 0.0 0.0 0",  // flags 1: in V, not in U
                      "0  4.0 5.0 6.0 0 0 0",                    // two blanks: the text is "4.0 5.0"
                      "0", "2", "0 0 1 2 0 0 0 1", "0 1 2 3 0 0 0 1",
                      "\"b\" 0 0", "3",
                      "0 1.000000 2.000000 3.000000 0.5 0.5 0",  // same as in mesh a
                      "0 1.0 2.0",                               // too few fields: no third blank
                      "0\t8.0 8.0 8.0 0 0 0",                    // a tab is no blank
                      "1", "0.0 0.0 1.0", "1", "0 0 1 2 0 0 0 1",
                      "Materials: 0", "Bones: 0"};
    const Lines stats = StatisticsOf(model);
    ASSERT_GE(stats.size(), 6u);
    EXPECT_EQ(stats[0], "Vertices:   8 (3)");
    EXPECT_EQ(stats[1], "Triangles: 3");
    EXPECT_EQ(stats[3], "Groups: 2");
    EXPECT_EQ(stats[4], "\"a\" --> 2");
    EXPECT_EQ(stats[5], "\"b\" --> 1");
}

TEST(Statistics, MeshHeadersMaterialsAndJointsAsTheLinesHoldThem) {
    const Lines model{"// MilkShape 3D ASCII", "Meshes: 3 meshes", "\"body part\" 3 1", "0", "0", "4",
                      "\"no closing quote", "0", "0", "5 triangles", "\"\"", "0", "0", "0",
                      "Materials: 3 here",
                      "\"skin\"", "1 1 1 1", "\"/abs/path/skin.png\"", "\"alpha\\skin_a.tga\"",
                      "\"cloth\"", "\"cloth.png\"", "\"\"",
                      "\"left\"", "\"over\"",  // fewer than three: not shown
                      "Bones: 1 joint", "\"a b\"", "\"\"", "0 0 0 0 0 0 0", "0", "0", ""};
    EXPECT_EQ(StatisticsOf(model),
              (Lines{"Vertices:   0 (0)", "Triangles: 9", "", "Groups: 3 meshes", "\"body part\" --> 4", " --> 5 triangles",
                     "\"\" --> 0", "", "Materials: 3 here", "skin --> skin.png --> \"alpha\\skin_a.tga\"",
                     "cloth --> cloth.png --> \"\"", "", "Joints: 1 joint", "\"\" --> \"a b\""}));
}

TEST(Statistics, CountsAndSumsStaySixtyFourBit) {
    // A vertex count of 2^32 is not 0, and the line it points at lies past the end.
    const Lines model{"// MilkShape 3D ASCII", "Meshes: 2", "\"big\" 0 0", "4294967296", "\"max\" 0 0", "0", "0",
                "9223372036854775807", "\"one\" 0 0", "0", "0", "1", "Materials: 0", "Bones: 0"};
    // Mesh "big" has no triangle line; "max" and "one" add up past 2^63 and wrap.
    const Lines stats = StatisticsOf(model);
    EXPECT_EQ(stats[0], "Vertices:   4294967296 (0)");
    EXPECT_EQ(stats[1], "Triangles: -9223372036854775808");
    EXPECT_EQ(stats[4], "\"big\" --> ");
    EXPECT_EQ(stats[5], "\"max\" --> 9223372036854775807");
    EXPECT_EQ(stats[6], "\"one\" --> 1");
    // Negative and garbage counts are plain values.
    const Lines odd = StatisticsOf({"// MilkShape 3D ASCII", "Meshes: 1", "(x)", "\"m\" 0 0", "-3", "7", "?",
                                    "Materials: 0", "Bones: 0"});
    EXPECT_EQ(odd[0], "Vertices:   -3 (0)");
    // The normal count is read from line 3 ("(x)"), the triangle count from line 4 itself.
    EXPECT_EQ(odd[1], "Triangles: 0");
    EXPECT_EQ(odd[4], "\"m\" --> \"m\" 0 0");
}

TEST(Statistics, SectionsAreReadInAnyOrderAndMissingOnesAreEmpty) {
    EXPECT_EQ(StatisticsOf({"// MilkShape 3D ASCII", "\"x\"", "\"y\"", "0 0 0", "0", "0", "end"}),
              (Lines{"Vertices:   0 (0)", "Triangles: 0", "", "Groups:", "", "", "", "Joints:"}));
    // "Materials:" before "Meshes:", and the bones between them.
    EXPECT_EQ(StatisticsOf({"// MilkShape 3D ASCII", "Materials: 1", "\"skin\"", "0.8 0.8 0.8 1.0", "\"a/b.png\"",
                            "\"\"", "Bones: 0", "Meshes: 1", "\"m\" 0 0", "1", "0 1.0 1.0 1.0 0 0 0", "0", "0"}),
              (Lines{"Vertices:   1 (1)", "Triangles: 0", "", "Groups: 1", "\"m\" --> 0", "", "Materials: 1",
                     "skin --> b.png --> \"\"", "", "Joints: 0"}));
}

TEST(Compatibility, CountsBonePairsWithEqualRestLines) {
    Workspace ws;
    EXPECT_EQ(CountCompatibleBones(ws), 0);
    Load(ws, 1, Cube());
    Load(ws, 2, Cube());
    EXPECT_EQ(CountCompatibleBones(ws), 2) << "the same model in both files";

    // Duplicates inside a model are made unique in the same way on both sides,
    // so every bone is counted once.
    const Lines twins{"// MilkShape 3D ASCII", "Bones: 3", "\"a\"", "\"\"", "8 0 0 0 0 0 0.000000", "0", "0",
                      "\"b\"", "\"a\"", "8 0 0 0 0 0 0.000000", "0", "0", "\"c\"", "\"a\"", "8 0 0 0 0 0 0.000000",
                      "0", "0"};
    Load(ws, 1, twins);
    Load(ws, 2, twins);
    EXPECT_EQ(CountCompatibleBones(ws), 3);
    // Without the step, three equal bones on each side are nine pairs.
    const std::string bytes = JoinLines(twins);
    LoadModelText(ws, 1, TextOf(bytes));
    LoadModelText(ws, 2, TextOf(bytes));
    EXPECT_EQ(CountCompatibleBones(ws), 9);

    // A model without bones against any other.
    Load(ws, 2, {"// MilkShape 3D ASCII", "Bones: 0"});
    EXPECT_EQ(CountCompatibleBones(ws), 0);
    // The comparison is exact: a blank more at the end is another bone.
    Load(ws, 1, {"// MilkShape 3D ASCII", "Bones: 1", "\"a\"", "\"\"", "0 1 2 3 4 5 6", "0", "0"});
    Load(ws, 2, {"// MilkShape 3D ASCII", "Bones: 1", "\"z\"", "\"\"", "0 1 2 3 4 5 6 ", "0", "0"});
    EXPECT_EQ(CountCompatibleBones(ws), 0);
}

TEST(Compatibility, StatusBarShowsJointsOfBothFilesAndTheCount) {
    Program p;
    Load(p.ws, 1, Cube());
    ShowCompatibility(p);
    EXPECT_EQ(p.window.status[1], " Joints: 2");
    EXPECT_EQ(p.window.status[2], " Compatible: 0");
    EXPECT_EQ(p.window.status[3], " Joints: ");
    Load(p.ws, 2, Cube());
    p.UiLanguage = 1;
    ShowCompatibility(p);
    EXPECT_EQ(p.window.status[2], " Kompatibel: 2");
    EXPECT_EQ(p.window.status[3], " Joints: 2");
    EXPECT_FALSE(p.window.status[0].empty());
    // The joint text is what follows the first blank of the "Bones:" line.
    Load(p.ws, 2, {"// MilkShape 3D ASCII", "Bones:7 (seven)"});
    ShowCompatibility(p);
    EXPECT_EQ(p.window.status[3], " Joints: (seven)");
    Load(p.ws, 2, {"// MilkShape 3D ASCII", "Bones:7"});
    ShowCompatibility(p);
    EXPECT_EQ(p.window.status[3], " Joints: Bones:7");
}

}  // namespace
}  // namespace vandrel
