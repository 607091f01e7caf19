// Models as real exporters write them, through any sequence of commands: every
// file the program writes still loads in a strict reader.
#include <gtest/gtest.h>

#include <random>

#include "ModelGenerator.h"
#include "StrictReader.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"
#include "model/Compatibility.h"
#include "output/ModelWriter.h"

namespace vandrel {
namespace {

using Lines = std::vector<std::string>;

int Pick(std::mt19937& rng, int low, int high) { return low + int(rng() % unsigned(high - low + 1)); }
bool Chance(std::mt19937& rng, int percent) { return Pick(rng, 0, 99) < percent; }

// A key as exporters write it: a whole time, a fraction, or no point at all.
std::string Key(std::mt19937& rng, int frame, int bone) {
    const std::string values = " 0." + std::to_string(bone) + "00000 " + std::to_string(frame) + " 0";
    switch (Pick(rng, 0, 3)) {
        case 0: return std::to_string(frame) + values;
        case 1: return std::to_string(frame) + ".500000" + values;
        default: return std::to_string(frame) + ".000000" + values;
    }
}

// Keys at ascending frames up to `last`, sometimes led by one below frame 1.
Lines Keys(std::mt19937& rng, int bone, int last) {
    Lines keys;
    if (Chance(rng, 30)) keys.push_back("0.735294 0.0 0.0 0.0");
    for (int f = 1; f <= last; ++f)
        if (Chance(rng, 25)) keys.push_back(Key(rng, f, bone));
    return keys;
}

const Lines kMesh = {"Meshes: 1", "\"body\" 0 0", "2", "0 0.000000 1.000000 0.000000 0.000000 0.000000 0",
                     "0 0.000000 2.000000 0.000000 0.000000 1.000000 1", "1", "0.000000 0.000000 1.000000", "1",
                     "0 0 1 1 0 0 0 1", ""};
const Lines kMaterials = {"Materials: 1", "\"skin\"", "1.000000 1.000000 1.000000 1.000000",
                          "0.800000 0.800000 0.800000 1.000000", "0.000000 0.000000 0.000000 1.000000",
                          "0.000000 0.000000 0.000000 1.000000", "10.000000", "1.000000", "\"skin.png\"", "\"\"", ""};
const Lines kComments = {"GroupComments: 1", "0", "\"group note\"", "MaterialComments: 0", "BoneComments: 1", "1",
                         "\"10 frames of leg\"", "ModelComment: 1", "\"model note\""};

// Comment lines above "Frames:", materials before or after the bones, comment
// sections with quoted text, keys below frame 1 and without a point, and bones
// keyed past the first bone's last keyframe.
Lines ExporterModel(std::mt19937& rng, int bones) {
    Lines bonesSection = {"Bones: " + std::to_string(bones)};
    int lastKey = 0;
    for (int b = 0; b < bones; ++b) {
        bonesSection.push_back("\"joint" + std::to_string(b) + "\"");
        bonesSection.push_back(b == 0 ? "\"\"" : "\"joint" + std::to_string(b - 1) + "\"");
        bonesSection.push_back((Chance(rng, 50) ? "8 " : "0 ") + std::to_string(b) + ".000000 1.000000 0.000000 " +
                               "0.000000 0.000000 0.000000");
        for (int kind = 0; kind < 2; ++kind) {
            const Lines keys = Keys(rng, b, b == 0 && kind == 0 ? 20 : 40);
            bonesSection.push_back(std::to_string(keys.size()));
            bonesSection.insert(bonesSection.end(), keys.begin(), keys.end());
            for (const std::string& key : keys) lastKey = std::max(lastKey, std::atoi(key.c_str()));
        }
    }
    Lines lines = {"// MilkShape 3D ASCII"};
    for (int c = Pick(rng, 0, 2); c > 0; --c) lines.push_back("// exported by a converter");
    lines.insert(lines.end(), {"", "Frames: " + std::to_string(lastKey + Pick(rng, 0, 5)), "Frame: 7", ""});
    const bool materialsFirst = Chance(rng, 50);
    lines.insert(lines.end(), kMesh.begin(), kMesh.end());
    if (materialsFirst) lines.insert(lines.end(), kMaterials.begin(), kMaterials.end());
    lines.insert(lines.end(), bonesSection.begin(), bonesSection.end());
    if (!materialsFirst) lines.insert(lines.end(), kMaterials.begin(), kMaterials.end());
    if (Chance(rng, 70)) lines.insert(lines.end(), kComments.begin(), kComments.end());
    return lines;
}

class ExporterHabits : public ::testing::Test {
protected:
    void Open(int n, const Lines& lines) {
        test::OpenBytes(ws, n, test::FileText(lines));
        ws.File(n).Path = Path(n);
        ws.File(n).SidecarPath = dir / ("model" + std::to_string(n) + ".csv");
        baseline[n - 1] = FramesBaselineOf(ws.File(n));
    }
    std::string Path(int n) { return dir / ("model" + std::to_string(n) + ".txt"); }

    // Saves file n; the written file must load.
    void SaveAndRead(int n) {
        ASSERT_EQ(SaveModel(ws.File(n), baseline[n - 1], LocalTime{2012, 4, 30, 14, 5}, Language::English), SaveResult::Saved);
        baseline[n - 1] = FramesBaselineOf(ws.File(n));
        const std::string written = test::ReadFile(Path(n));
        EXPECT_EQ(test::StrictRead(written).problem, "") << written;
    }

    test::TempDir dir;
    Workspace ws;
    FramesBaseline baseline[2];
};

TEST_F(ExporterHabits, EveryWrittenFileLoadsAfterAnySequenceOfCommands) {
    for (unsigned seed = 0; seed < 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        const int bones = Pick(rng, 1, 4);
        Open(1, ExporterModel(rng, bones));
        Open(2, ExporterModel(rng, Chance(rng, 80) ? bones : Pick(rng, 1, 4)));
        for (int step = Pick(rng, 1, 10); step > 0; --step) {
            const int n = Pick(rng, 1, 2);
            switch (Pick(rng, 0, 4)) {
                case 0:
                case 1:
                    for (KeyframeRow& row : ws.File(n).Rows) row.Selected = Chance(rng, 30);
                    if (Chance(rng, 50)) CutToClipboard(ws, n);
                    else CopyToClipboard(ws, n);
                    break;
                case 2:
                    EditClipboard(ws, std::to_string(Pick(rng, 1, 60)), std::to_string(Pick(rng, -3, 3)),
                                  Chance(rng, 30) ? "walk" : "");
                    RebuildBoneList(ws.Clip);
                    break;
                case 3:
                    if (!ws.Clip.Rows.empty() && HasBoneOf(ws.File(n), ws.Clip)) PasteFromClipboard(ws, n);
                    break;
                default: SaveAndRead(n); break;
            }
        }
        SaveAndRead(1);
        SaveAndRead(2);
    }
}

}  // namespace
}  // namespace vandrel
