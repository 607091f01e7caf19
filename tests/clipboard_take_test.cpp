// Cut and Copy: what the file keeps and what the Clipboard receives, line by line.
#include <gtest/gtest.h>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"

namespace vandrel {
namespace {

using test::GenBone;
using test::GenModel;
using test::KeyLine;
using test::RowTexts;
using test::SelectedRows;
using test::SelectRows;
using test::ValidLines;

const std::string kRestHip = "0 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000";
const std::string kRestKnee = "0 0.000000 -1.000000 0.000000 0.000000 0.000000 0.000000";
const std::vector<std::string> kHeader = GenModel().Header;  // nine lines; "Bones:" is line 10

std::string P(int frame, int bone, int fraction = 0) { return KeyLine(frame, bone, 'p', fraction); }
std::string R(int frame, int bone, int fraction = 0) { return KeyLine(frame, bone, 'r', fraction); }

std::vector<std::string> Concat(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The Clipboard's lines 1 to LineCount: empty up to the "Bones:" line at
// `bonesLine`, the section, and the empty line after it.
std::vector<std::string> ClipboardLines(int bonesLine, const std::vector<std::string>& section) {
    std::vector<std::string> lines(size_t(bonesLine - 1));
    lines.insert(lines.end(), section.begin(), section.end());
    lines.emplace_back();
    return lines;
}

// Two bones, each keyed at 1, 10 and 20 with both kinds; the file ends with the
// last rotation key.
std::vector<std::string> TwoBoneModel() {
    return Concat({kHeader,
                   {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "3", P(1, 0), P(10, 0), P(20, 0), "3", R(1, 0), R(10, 0),
                    R(20, 0), "\"knee\"", "\"hip\"", kRestKnee, "3", P(1, 1), P(10, 1), P(20, 1), "3", R(1, 1),
                    R(10, 1), R(20, 1)}});
}

class ClipboardTake : public ::testing::Test {
protected:
    void Open(int n, const std::vector<std::string>& lines) {
        test::OpenModelLines(ws, n, dir / ("model" + std::to_string(n) + ".txt"), lines);
    }
    ModelSlot& File1() { return ws.File(1); }

    test::TempDir dir;
    Workspace ws;
};

TEST_F(ClipboardTake, CutRowRemovesItsKeysFromEveryBoneAndFillsTheClipboard) {
    Open(1, TwoBoneModel());
    SelectRows(File1().Rows, {1});
    CutToClipboard(ws, 1);

    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1", "20"}));
    EXPECT_TRUE(SelectedRows(File1().Rows).empty());
    EXPECT_EQ(ValidLines(File1()),
              Concat({kHeader,
                      {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(20, 0), "2", R(1, 0), R(20, 0),
                       "\"knee\"", "\"hip\"", kRestKnee, "2", P(1, 1), P(20, 1), "2", R(1, 1), R(20, 1)}}));
    EXPECT_EQ(File1().LineCount, 28);
    EXPECT_EQ(File1().BoneList, (std::vector<BoneRecord>{{11, 13, 14, 17}, {20, 22, 23, 26}}));
    EXPECT_EQ(LineAt(File1(), 29), "");

    const Clipboard& clip = ws.Clip;
    EXPECT_EQ(clip.ClipboardSource, 1);
    EXPECT_EQ(RowTexts(clip.Rows), (std::vector<std::string>{"10"}));
    EXPECT_EQ(clip.BonesLine, 10);
    EXPECT_EQ(ValidLines(clip), ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "1",
                                                    R(10, 0), "\"knee\"", "\"hip\"", kRestKnee, "1", P(10, 1), "1",
                                                    R(10, 1)}));
    EXPECT_EQ(clip.LineCount, 25);  // the empty line after the last rotation key
    EXPECT_EQ(clip.BoneList, (std::vector<BoneRecord>{{11, 13, 14, 16}, {18, 20, 21, 23}}));
}

TEST_F(ClipboardTake, CopyOfSeparateRowsLeavesTheFileAsItWas) {
    Open(1, TwoBoneModel());
    const ModelSlot before = File1();
    SelectRows(File1().Rows, {0, 2});
    CopyToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()), ValidLines(before));
    EXPECT_EQ(File1().BoneList, before.BoneList);
    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1", "10", "20"}));
    EXPECT_EQ(SelectedRows(File1().Rows), (std::vector<size_t>{0, 2}));  // a copy keeps the selection

    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"1", "20"}));
    EXPECT_TRUE(SelectedRows(ws.Clip.Rows).empty());
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(20, 0), "2", R(1, 0),
                                  R(20, 0), "\"knee\"", "\"hip\"", kRestKnee, "2", P(1, 1), P(20, 1), "2", R(1, 1),
                                  R(20, 1)}));
    EXPECT_EQ(ws.Clip.BoneList, (std::vector<BoneRecord>{{11, 13, 14, 17}, {20, 22, 23, 26}}));
}

TEST_F(ClipboardTake, RowsKeepTheirWholeTextWithComment) {
    Open(1, TwoBoneModel());
    File1().Rows[1].RowText = "10       walk  start";
    File1().Rows[2].RowText = "20       walk end";
    SelectRows(File1().Rows, {1, 2});
    CopyToClipboard(ws, 1);
    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"10       walk  start", "20       walk end"}));

    CutToClipboard(ws, 1);
    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"10       walk  start", "20       walk end"}));
    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1"}));
}

TEST_F(ClipboardTake, CutTakesEveryKeyOfTheFrameWhateverItsFraction) {
    // The rotation keys of the hip hold 10.000000 and 10.500000.
    Open(1, Concat({kHeader,
                    {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "3", P(1, 0), P(10, 0), P(20, 0), "4", R(1, 0),
                     R(10, 0), R(10, 0, 500000), R(20, 0)}}));
    SelectRows(File1().Rows, {1});
    CutToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()), Concat({kHeader,
                                           {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(20, 0), "2",
                                            R(1, 0), R(20, 0)}}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "2",
                                                       R(10, 0), R(10, 0, 500000)}));
}

TEST_F(ClipboardTake, RowTakenTwiceDoublesItsKeyLines) {
    // Position keys 3.000000 and 3.500000 give the rows 3 and 3.
    Open(1, Concat({kHeader,
                    {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "3", P(1, 0), P(3, 0), P(3, 0, 500000), "2", R(3, 0),
                     R(5, 0), "\"knee\"", "\"hip\"", kRestKnee, "1", P(3, 1), "0"}}));
    ASSERT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1", "3", "3"}));
    SelectRows(File1().Rows, {1, 2});
    CopyToClipboard(ws, 1);

    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"3", "3"}));
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "4", P(3, 0), P(3, 0), P(3, 0, 500000),
                                  P(3, 0, 500000), "2", R(3, 0), R(3, 0), "\"knee\"", "\"hip\"", kRestKnee, "2",
                                  P(3, 1), P(3, 1), "0"}));
    EXPECT_EQ(ws.Clip.BoneList, (std::vector<BoneRecord>{{11, 13, 14, 19}, {22, 24, 25, 28}}));

    CutToClipboard(ws, 1);
    EXPECT_EQ(ValidLines(File1()), Concat({kHeader,
                                           {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(1, 0), "1", R(5, 0),
                                            "\"knee\"", "\"hip\"", kRestKnee, "0", "0"}}));
    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1"}));
}

TEST_F(ClipboardTake, BoneWithoutRotationKeysKeepsCountZero) {
    Open(1, Concat({kHeader,
                    {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(10, 0), "0", "\"knee\"", "\"hip\"",
                     kRestKnee, "2", P(1, 1), P(10, 1), "2", R(1, 1), R(10, 1)}}));
    SelectRows(File1().Rows, {1});
    CutToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()), Concat({kHeader,
                                           {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(1, 0), "0", "\"knee\"",
                                            "\"hip\"", kRestKnee, "1", P(1, 1), "1", R(1, 1)}}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "0",
                                                       "\"knee\"", "\"hip\"", kRestKnee, "1", P(10, 1), "1",
                                                       R(10, 1)}));
}

TEST_F(ClipboardTake, EmptyLinesAfterBonesLineGoWithAnyCutButStayWithACopy) {
    const std::vector<std::string> model =
        Concat({kHeader, {"Bones: 1", "", "", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(10, 0), "1", R(10, 0)}});
    const std::vector<std::string> withoutEmpty =
        Concat({kHeader, {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(10, 0), "1", R(10, 0)}});

    // The table is read at fixed places after "Bones:", which the empty lines
    // shift; the rows are set as a side file or an earlier paste could leave them.
    const KeyframeTable rows = {{"1", false}, {"10", false}};
    Open(1, model);
    File1().Rows = rows;
    SelectRows(File1().Rows, {0});
    CopyToClipboard(ws, 1);
    EXPECT_EQ(ValidLines(File1()), model);
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines(10, {"Bones: 1", "", "", "\"hip\"", "\"\"", kRestHip, "1", P(1, 0), "0"}));

    // Nothing selected: the file loses only its empty lines, the counts are
    // written again with the same values, and the Clipboard holds no key.
    SelectRows(File1().Rows, {});
    CutToClipboard(ws, 1);
    EXPECT_EQ(ValidLines(File1()), withoutEmpty);
    EXPECT_EQ(File1().BoneList, (std::vector<BoneRecord>{{11, 13, 14, 17}}));
    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1", "10"}));
    EXPECT_TRUE(ws.Clip.Rows.empty());
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 1", "", "", "\"hip\"", "\"\"", kRestHip, "0", "0"}));
    EXPECT_EQ(ws.Clip.BoneList, (std::vector<BoneRecord>{{13, 15, 16, 17}}));

    Open(1, model);
    File1().Rows = rows;
    SelectRows(File1().Rows, {1});
    CutToClipboard(ws, 1);
    EXPECT_EQ(ValidLines(File1()),
              Concat({kHeader, {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "1", P(1, 0), "0"}}));
    // The Clipboard was taken before the cut and keeps the line positions of its source.
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines(10, {"Bones: 1", "", "", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "1", R(10, 0)}));
}

TEST_F(ClipboardTake, LastBoneIsRecountedUpToTheLastLine) {
    // The knee is keyed at frames that are not rows; the file ends with its last key.
    Open(1, Concat({kHeader,
                    {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "3", P(1, 0), P(10, 0), P(20, 0), "0", "\"knee\"",
                     "\"hip\"", kRestKnee, "1", P(20, 1), "5", R(1, 1), R(5, 1), R(10, 1), R(15, 1), R(20, 1)}}));
    SelectRows(File1().Rows, {0, 2});
    CutToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()), Concat({kHeader,
                                           {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "0", "\"knee\"",
                                            "\"hip\"", kRestKnee, "0", "3", R(5, 1), R(10, 1), R(15, 1)}}));
    EXPECT_EQ(File1().BoneList, (std::vector<BoneRecord>{{11, 13, 14, 16}, {17, 19, 20, 21}}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0),
                                                       P(20, 0), "0", "\"knee\"", "\"hip\"", kRestKnee, "1",
                                                       P(20, 1), "2", R(1, 1), R(20, 1)}));
}

TEST_F(ClipboardTake, SectionsAfterTheBonesStayInTheFileAndOutOfTheClipboard) {
    // Materials after the bones and a comment section with quoted text: no bones,
    // no keys, never blanked by a cut of frame 1, never counted.
    const std::vector<std::string> trailer = {"Materials: 1", "\"skin\"", "1.000000 1.000000 1.000000 1.000000",
                                              "0.800000 0.800000 0.800000 1.000000", "", "\"skin.png\"", "\"\"",
                                              "BoneComments: 1", "1", "\"1.5 frames\""};
    Open(1, Concat({TwoBoneModel(), trailer}));
    ASSERT_EQ(File1().BoneList.size(), 2u);
    SelectRows(File1().Rows, {0});
    CutToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()),
              Concat({kHeader,
                      {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(10, 0), P(20, 0), "2", R(10, 0), R(20, 0),
                       "\"knee\"", "\"hip\"", kRestKnee, "2", P(10, 1), P(20, 1), "2", R(10, 1), R(20, 1)},
                      trailer}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(1, 0), "1",
                                                       R(1, 0), "\"knee\"", "\"hip\"", kRestKnee, "1", P(1, 1), "1",
                                                       R(1, 1)}));
}

TEST_F(ClipboardTake, RowOfFrameZeroMatchesNoLine) {
    Open(1, TwoBoneModel());
    File1().Rows.insert(File1().Rows.begin(), KeyframeRow{"0", false});
    SelectRows(File1().Rows, {0, 2});  // rows 0 and 10
    CutToClipboard(ws, 1);

    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"0", "10"}));
    EXPECT_EQ(RowTexts(File1().Rows), (std::vector<std::string>{"1", "20"}));
    EXPECT_EQ(ValidLines(File1()),
              Concat({kHeader,
                      {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", P(1, 0), P(20, 0), "2", R(1, 0), R(20, 0),
                       "\"knee\"", "\"hip\"", kRestKnee, "2", P(1, 1), P(20, 1), "2", R(1, 1), R(20, 1)}}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(10, {"Bones: 2", "\"hip\"", "\"\"", kRestHip, "1", P(10, 0), "1",
                                                       R(10, 0), "\"knee\"", "\"hip\"", kRestKnee, "1", P(10, 1),
                                                       "1", R(10, 1)}));
}

TEST_F(ClipboardTake, CutWithoutBonesLineChangesNoLine) {
    const std::vector<std::string> lines = {"// MilkShape 3D ASCII", "", "Frames: 30", "Frame: 1", "", "Meshes: 0",
                                            "", "Materials: 0", "", "GroupComments: 0"};
    Open(1, lines);
    ASSERT_EQ(File1().BonesLine, 0);
    CutToClipboard(ws, 1);

    EXPECT_EQ(ValidLines(File1()), lines);
    EXPECT_EQ(ws.Clip.LineCount, 0);
    EXPECT_TRUE(File1().BoneList.empty());
    EXPECT_EQ(ws.Clip.BonesLine, 0);
    EXPECT_EQ(ws.Clip.ModelLines[0], "");
}

TEST_F(ClipboardTake, NewTakeReplacesTheWholeClipboard) {
    Open(1, TwoBoneModel());
    Open(2, Concat({kHeader, {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "1", P(7, 0), "1", R(7, 0)}}));
    SelectRows(File1().Rows, {0, 1, 2});
    CopyToClipboard(ws, 1);
    SelectRows(ws.File(2).Rows, {0});
    CopyToClipboard(ws, 2);

    EXPECT_EQ(ws.Clip.ClipboardSource, 2);
    EXPECT_EQ(RowTexts(ws.Clip.Rows), (std::vector<std::string>{"7"}));
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines(10, {"Bones: 1", "\"hip\"", "\"\"", kRestHip, "1", P(7, 0), "1", R(7, 0)}));
    EXPECT_EQ(ws.Clip.BoneList, (std::vector<BoneRecord>{{11, 13, 14, 16}}));
}

}  // namespace
}  // namespace vandrel
