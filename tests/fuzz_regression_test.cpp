// Faults the fuzz targets found (fuzz/), one case each, named after what broke.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Commands.h"
#include "app/Program.h"
#include "clipboard/Clipboard.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "model/Text.h"
#include "output/ModelWriter.h"
#include "output/PrintSurface.h"

namespace vandrel {
namespace {

using test::JoinLines;

// Loads model text into slot n as the Open command does, without a file.
ModelSlot& Load(Workspace& ws, int n, const std::vector<std::string>& lines) {
    const std::string bytes = JoinLines(lines);
    LoadModelText(ws, n, TextOf(bytes));
    BuildKeyframeTable(ws.File(n));
    MakeRestLinesUnique(ws.File(n));
    return ws.File(n);
}

// The bone list a fresh scan of the current lines gives.
std::vector<BoneRecord> Rescanned(const LineSet& set) {
    LineSet copy = set;
    RebuildBoneList(copy);
    return copy.BoneList;
}

void ExpectNothingPastTheLines(const LineSet& set) {
    for (size_t i = size_t(set.LineCount) + 1; i < set.ModelLines.size(); ++i)
        EXPECT_EQ(set.ModelLines[i], "") << "element " << i << " past line " << set.LineCount;
}

void ExpectBonesOnQuotedLines(const LineSet& set) {
    EXPECT_EQ(set.BoneList, Rescanned(set));
    for (const BoneRecord& bone : set.BoneList) {
        EXPECT_TRUE(IsQuotedLine(LineAt(set, bone.NameLine))) << "bone at line " << bone.NameLine;
        EXPECT_LE(bone.NameLine, set.LineCount - 1);
    }
}

TEST(FuzzRegression, NameOnTheLastLineButOneIsNoBoneAndNothingIsWrittenPastTheLines) {
    // The second name is the last line but one: its rest line would be line 13,
    // past the file, so it is no bone, and its empty rest text adjusts nothing.
    Workspace ws;
    ModelSlot& slot = Load(ws, 1, {"// MilkShape 3D ASCII", "", "Frames: 1", "Frame: 1", "Bones: 2",
                                   "\"a\"", "\"\"", "", "0", "0", "\"b\"", "\"a\""});
    ASSERT_EQ(slot.LineCount, 12);
    EXPECT_EQ(slot.BoneList.size(), 1u);
    EXPECT_FALSE(slot.RestLinesAdjusted);
    ExpectNothingPastTheLines(slot);
    EXPECT_EQ(LineAt(slot, 8), "");
}

TEST(FuzzRegression, AdjustedRestLineThatWasAQuotedBoneNameLeavesNoBoneOnAnUnquotedLine) {
    // Lines 8 and 10 are rest lines of the bones named on 6 and 8, and at the
    // same time bone names themselves. Both read "x, so the second becomes
    // 000001 and is no bone any more; the scan then finds the quoted line 11.
    Workspace ws;
    ModelSlot& slot = Load(ws, 1, {"// MilkShape 3D ASCII", "", "Frames: 1", "Frame: 1", "Bones: 3",
                                   "\"a\"", "\"p\"", "\"x", "\"p\"", "\"x", "\"p\"",
                                   "0 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000", "0", "0"});
    EXPECT_TRUE(slot.RestLinesAdjusted);
    EXPECT_EQ(LineAt(slot, 10), "000001");
    ExpectBonesOnQuotedLines(slot);
}

TEST(FuzzRegression, SaveOfAModelWithoutBonesOrFrameLinesOverwritesNoLine) {
    // No "Bones:" line: no bone, no row, and line 3 (a quoted line) is no
    // "Frames:" line, so the save writes every line as it was read.
    test::TempDir dir;
    Workspace ws;
    const std::vector<std::string> lines = {"// MilkShape 3D ASCII", "x", "\"b\"", "2", "7 1 2 3 4 5 6", "1",
                                            "1.000000 0 0 0", "0"};
    ModelSlot& slot = Load(ws, 1, lines);
    EXPECT_TRUE(slot.BoneList.empty());
    EXPECT_TRUE(slot.Rows.empty());
    slot.Path = dir / "model.txt";
    slot.SidecarPath = dir / "model.csv";
    ASSERT_EQ(SaveModel(slot, LocalTime{2012, 4, 30, 14, 5}, 0), SaveResult::Saved);
    EXPECT_EQ(test::ReadFile(slot.Path), test::JoinLines(lines));
}

// A model whose first bone has a key at frame 5 and then `ones` keys at frame 1:
// its table lists 5 and then `ones` rows of frame 1.
std::vector<std::string> ManyRowsOfOneFrame(int ones) {
    std::vector<std::string> lines{"// MilkShape 3D ASCII", "", "Frames: 5", "Frame: 1", "Bones: 1",
                                   "\"a\"", "\"\"", "0 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000",
                                   std::to_string(ones + 1), "5.000000 0 0 0"};
    for (int i = 0; i < ones; ++i) lines.push_back("1.000000 0 0 0");
    lines.push_back("0");
    return lines;
}

TEST(FuzzRegression, PasteOfManyRowsOfOneFrameIntoAnUnsortedBonePlacesEachFrameOnce) {
    // 1000 rows of frame 1: the Clipboard holds each of the 1000 keys of frame 1
    // once per row, a million lines. The bone's keys are not in frame order, so
    // the keys are placed one by one; placing every line for every row of its
    // frame would be a thousand million placements.
    const int ones = 1000;
    Workspace ws;
    ModelSlot& slot = Load(ws, 1, ManyRowsOfOneFrame(ones));
    for (KeyframeRow& row : slot.Rows) row.Selected = true;
    CopyToClipboard(ws, 1);
    ASSERT_EQ(LineAt(ws.Clip, ws.Clip.BoneList[0].PositionKeyCountLine), std::to_string(1 + ones * ones));

    PasteFromClipboard(ws, 1);
    // Frame 1 replaces the last key of frame 1; frame 5 follows the last key
    // below it, which is that one.
    const BoneRecord& bone = slot.BoneList[0];
    ASSERT_EQ(LineAt(slot, bone.PositionKeyCountLine), std::to_string(ones + 2));
    EXPECT_EQ(LineAt(slot, bone.PositionKeyCountLine + 1), "5.000000 0 0 0");
    for (int i = 2; i <= ones + 1; ++i) ASSERT_EQ(LineAt(slot, bone.PositionKeyCountLine + i), "1.000000 0 0 0");
    EXPECT_EQ(LineAt(slot, bone.PositionKeyCountLine + ones + 2), "5.000000 0 0 0");
    EXPECT_EQ(LineAt(slot, bone.RotationKeyCountLine), "0");
    EXPECT_EQ(slot.Rows.size(), size_t(ones + 2));
}

TEST(FuzzRegression, CopyOfManyRowsOfOneFrameTakesEachKeyOnceWhenTheRepeatsWouldNotFit) {
    // 3 rows of frame 1: each key of frame 1 is taken three times, as the rule says.
    Workspace few;
    for (KeyframeRow& row : Load(few, 1, ManyRowsOfOneFrame(3)).Rows) row.Selected = true;
    CopyToClipboard(few, 1);
    EXPECT_EQ(LineAt(few.Clip, few.Clip.BoneList[0].PositionKeyCountLine), "10");

    // 2000 rows of frame 1 would give four million copies of the 2000 keys: the
    // Clipboard takes each key once instead, and its counts say so.
    const int ones = 2000;
    Workspace many;
    for (KeyframeRow& row : Load(many, 1, ManyRowsOfOneFrame(ones)).Rows) row.Selected = true;
    CopyToClipboard(many, 1);
    const Clipboard& clip = many.Clip;
    ASSERT_EQ(clip.BoneList.size(), 1u);
    EXPECT_EQ(LineAt(clip, clip.BoneList[0].PositionKeyCountLine), std::to_string(ones + 1));
    EXPECT_EQ(clip.LineCount, many.File(1).LineCount + 1);  // the source's lines and the empty one after them
    EXPECT_EQ(clip.Rows.size(), size_t(ones + 1));
}

}  // namespace
}  // namespace vandrel
