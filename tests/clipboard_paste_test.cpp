// Pasting the Clipboard: rows merged into the table, keys placed by frame into
// every bone whose rest line equals that of a Clipboard bone.
#include <gtest/gtest.h>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"

namespace vandrel {
namespace {

using test::GenBone;
using test::GenModel;
using test::RowTexts;
using test::SelectedRows;
using test::SelectRows;
using test::ValidLines;
using Lines = std::vector<std::string>;

const std::vector<GenBone> kSkeleton = test::Skeleton(2);  // "joint0", its child "joint1"

// A key of bone b at `frame` as file `variant` holds it: the same frame in two
// files gives two different lines.
std::string K(int frame, int bone, char kind, int variant, int fraction = 0) {
    return test::KeyLine(frame, bone, kind, fraction, variant);
}

// The tail of a key line: what an edit keeps after the new time.
std::string Tail(const std::string& keyLine) { return keyLine.substr(keyLine.find(' ') + 1); }

GenBone WithKeys(int b, Lines position, Lines rotation) {
    GenBone bone = kSkeleton[size_t(b)];
    bone.PositionKeys = std::move(position);
    bone.RotationKeys = std::move(rotation);
    return bone;
}

// Bone b keyed at `frames` with both kinds, as file `variant` holds them.
GenBone Keyed(int b, const std::vector<int>& frames, int variant) {
    Lines position, rotation;
    for (int f : frames) {
        position.push_back(K(f, b, 'p', variant));
        rotation.push_back(K(f, b, 'r', variant));
    }
    return WithKeys(b, position, rotation);
}

Lines Model(std::vector<GenBone> bones) { return test::FileLines(test::ModelWith(std::move(bones))); }

class ClipboardPaste : public ::testing::Test {
protected:
    void Open(int n, const Lines& lines) {
        test::OpenModelLines(ws, n, dir / ("model" + std::to_string(n) + ".txt"), lines);
    }
    void Copy(int n, const std::set<size_t>& rows) {
        SelectRows(ws.File(n).Rows, rows);
        CopyToClipboard(ws, n);
    }
    Lines LinesOf(int n) const { return ValidLines(ws.File(n)); }
    Lines RowsOf(int n) const { return RowTexts(ws.File(n).Rows); }

    test::TempDir dir;
    Workspace ws;
};

TEST_F(ClipboardPaste, KeysGoInFrameOrderAndRowsAreMerged) {
    Open(1, Model({Keyed(0, {10, 20}, 1), Keyed(1, {10, 20}, 1)}));
    Open(2, Model({Keyed(0, {1, 15, 30}, 2), Keyed(1, {1, 15, 30}, 2)}));
    const int32_t linesBefore = ws.File(2).LineCount;
    Copy(1, {0, 1});
    PasteFromClipboard(ws, 2);

    Lines expected = Model({WithKeys(0, {K(1, 0, 'p', 2), K(10, 0, 'p', 1), K(15, 0, 'p', 2), K(20, 0, 'p', 1), K(30, 0, 'p', 2)},
                                     {K(1, 0, 'r', 2), K(10, 0, 'r', 1), K(15, 0, 'r', 2), K(20, 0, 'r', 1), K(30, 0, 'r', 2)}),
                            WithKeys(1, {K(1, 1, 'p', 2), K(10, 1, 'p', 1), K(15, 1, 'p', 2), K(20, 1, 'p', 1), K(30, 1, 'p', 2)},
                                     {K(1, 1, 'r', 2), K(10, 1, 'r', 1), K(15, 1, 'r', 2), K(20, 1, 'r', 1), K(30, 1, 'r', 2)})});
    EXPECT_EQ(LinesOf(2), expected);
    EXPECT_EQ(ws.File(2).LineCount, linesBefore + 8);
    EXPECT_EQ(LineAt(ws.File(2), 14), "5");
    EXPECT_EQ(LineAt(ws.File(2), 20), "5");
    EXPECT_EQ(ws.File(2).BoneList, (std::vector<BoneRecord>{{11, 13, 14, 20}, {26, 28, 29, 35}}));
    EXPECT_EQ(RowsOf(2), (Lines{"1", "10", "15", "20", "30"}));
    // Files of 28 and 32 lines, "Bones:" at line 10 in both: 32 + 22 + 10.
    EXPECT_EQ(ws.LineCapacity, 64);

    // The Clipboard is not changed, and the same paste again changes nothing
    // but the shared size, which follows the grown file: 40 + 30 + 10.
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(LinesOf(2), expected);
    EXPECT_EQ(RowsOf(2), (Lines{"1", "10", "15", "20", "30"}));
    EXPECT_EQ(ws.LineCapacity, 80);
}

TEST_F(ClipboardPaste, RowTextOfTheClipboardWinsWithOrWithoutComment) {
    Open(1, Model({Keyed(0, {15}, 1)}));
    Open(2, Model({Keyed(0, {5, 15, 25}, 2)}));
    ws.File(1).Rows[0].RowText = "15       jump";
    Copy(1, {0});

    PasteFromClipboard(ws, 2);
    EXPECT_EQ(RowsOf(2), (Lines{"5", "15       jump", "25"}));

    ws.File(2).Rows[1].RowText = "15       run";
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(RowsOf(2), (Lines{"5", "15       jump", "25"}));

    ws.File(1).Rows[0].RowText = "15";
    Copy(1, {0});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(RowsOf(2), (Lines{"5", "15", "25"}));
}

TEST_F(ClipboardPaste, BoneWithoutRotationKeysGetsOneKeyPerPastedFrame) {
    // The Clipboard holds rotation keys 10.000000 and 10.500000: the first one
    // in the Clipboard is the one that stays, once.
    Open(1, Model({WithKeys(0, {K(10, 0, 'p', 1), K(20, 0, 'p', 1)},
                            {K(10, 0, 'r', 1), K(10, 0, 'r', 1, 500000), K(20, 0, 'r', 1)})}));
    Open(2, Model({WithKeys(0, {K(10, 0, 'p', 2)}, {})}));
    Copy(1, {0, 1});
    PasteFromClipboard(ws, 2);

    EXPECT_EQ(LinesOf(2), Model({WithKeys(0, {K(10, 0, 'p', 1), K(20, 0, 'p', 1)},
                                          {K(10, 0, 'r', 1), K(20, 0, 'r', 1)})}));
}

TEST_F(ClipboardPaste, FramesOutsideTheKeysBecomeFirstAndLast) {
    Open(1, Model({Keyed(0, {5, 25}, 1)}));
    Open(2, Model({Keyed(0, {10, 20}, 2)}));
    Copy(1, {0, 1});
    PasteFromClipboard(ws, 2);

    EXPECT_EQ(LinesOf(2), Model({WithKeys(0, {K(5, 0, 'p', 1), K(10, 0, 'p', 2), K(20, 0, 'p', 2), K(25, 0, 'p', 1)},
                                          {K(5, 0, 'r', 1), K(10, 0, 'r', 2), K(20, 0, 'r', 2), K(25, 0, 'r', 1)})}));
    EXPECT_EQ(RowsOf(2), (Lines{"5", "10", "20", "25"}));
}

TEST_F(ClipboardPaste, OnlyTheLastKeyOfAnEqualFrameIsReplacedAndCountsNeverDrop) {
    Open(1, Model({Keyed(0, {10, 40}, 1)}));
    // Position count written "03": replacing keeps its text; rotation count
    // "+2": an insertion writes the new count in plain decimal.
    Lines file2 = Model({WithKeys(0, {K(10, 0, 'p', 2), K(10, 0, 'p', 2, 500000), K(20, 0, 'p', 2)},
                                  {K(10, 0, 'r', 2), K(10, 0, 'r', 2, 500000)})});
    file2[13] = "03";
    file2[17] = "+2";
    Open(2, file2);
    ASSERT_EQ(RowsOf(2), (Lines{"10", "10", "20"}));
    ws.File(2).Rows[0].RowText = "10       a";
    ws.File(2).Rows[1].RowText = "10       b";
    Copy(1, {0});
    PasteFromClipboard(ws, 2);

    Lines expected = Model({WithKeys(0, {K(10, 0, 'p', 2), K(10, 0, 'p', 1), K(20, 0, 'p', 2)},
                                     {K(10, 0, 'r', 2), K(10, 0, 'r', 1)})});
    expected[13] = "03";
    expected[17] = "+2";
    EXPECT_EQ(LinesOf(2), expected);
    EXPECT_EQ(RowsOf(2), (Lines{"10       a", "10", "20"}));  // only the last row 10 takes the text

    Copy(1, {1});  // frame 40 is new to both lists
    PasteFromClipboard(ws, 2);
    expected = Model({WithKeys(0, {K(10, 0, 'p', 2), K(10, 0, 'p', 1), K(20, 0, 'p', 2), K(40, 0, 'p', 1)},
                                {K(10, 0, 'r', 2), K(10, 0, 'r', 1), K(40, 0, 'r', 1)})});
    EXPECT_EQ(LinesOf(2), expected);  // counts "4" and "3"
}

TEST_F(ClipboardPaste, BonesOfAnotherSkeletonReceiveNothing) {
    Open(1, Model({Keyed(0, {10}, 1), Keyed(1, {10}, 1)}));
    // Same names, but the rest lines differ: one by a value, one by a trailing blank.
    std::vector<GenBone> other = {Keyed(0, {1, 20}, 2), Keyed(1, {1, 20}, 2)};
    other[0].Rest = "0 9.000000 9.000000 9.000000 0.000000 0.000000 0.000000";
    other[1].Rest += " ";
    const Lines file2 = Model(other);
    Open(2, file2);
    Copy(1, {0});
    PasteFromClipboard(ws, 2);

    EXPECT_EQ(LinesOf(2), file2);
    EXPECT_EQ(RowsOf(2), (Lines{"1", "10", "20"}));
}

TEST_F(ClipboardPaste, BonesAreFoundByRestLineInAnyOrder) {
    Open(1, Model({Keyed(0, {10, 20}, 1), Keyed(1, {10, 20}, 1)}));
    // File 2 holds the child first and calls both bones differently.
    GenBone child = Keyed(1, {1, 30}, 2), root = Keyed(0, {1, 30}, 2);
    child.Name = "shin";
    child.Parent = "pelvis";
    root.Name = "pelvis";
    Open(2, Model({child, root}));
    Copy(1, {0, 1});
    PasteFromClipboard(ws, 2);

    GenBone childAfter = WithKeys(1, {K(1, 1, 'p', 2), K(10, 1, 'p', 1), K(20, 1, 'p', 1), K(30, 1, 'p', 2)},
                                  {K(1, 1, 'r', 2), K(10, 1, 'r', 1), K(20, 1, 'r', 1), K(30, 1, 'r', 2)});
    GenBone rootAfter = WithKeys(0, {K(1, 0, 'p', 2), K(10, 0, 'p', 1), K(20, 0, 'p', 1), K(30, 0, 'p', 2)},
                                 {K(1, 0, 'r', 2), K(10, 0, 'r', 1), K(20, 0, 'r', 1), K(30, 0, 'r', 2)});
    childAfter.Name = "shin";
    childAfter.Parent = "pelvis";
    rootAfter.Name = "pelvis";
    EXPECT_EQ(LinesOf(2), Model({childAfter, rootAfter}));
}

TEST_F(ClipboardPaste, FileWithPartOfTheSkeletonReceivesOnlyThatBone) {
    Open(1, Model({Keyed(0, {10}, 1), Keyed(1, {10}, 1)}));
    Open(2, Model({Keyed(1, {5}, 2)}));
    Copy(1, {0});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(LinesOf(2), Model({WithKeys(1, {K(5, 1, 'p', 2), K(10, 1, 'p', 1)}, {K(5, 1, 'r', 2), K(10, 1, 'r', 1)})}));
}

TEST_F(ClipboardPaste, CutRenumberAndPasteMovesKeysWithinTheFile) {
    Open(1, Model({Keyed(0, {1, 10, 20, 30}, 1), Keyed(1, {1, 10, 20, 30}, 1)}));
    SelectRows(ws.File(1).Rows, {1, 2});
    CutToClipboard(ws, 1);
    EditClipboard(ws, "40", "10", "");
    PasteFromClipboard(ws, 1);

    std::vector<GenBone> after = {Keyed(0, {1, 30}, 1), Keyed(1, {1, 30}, 1)};
    for (int b : {0, 1}) {
        after[size_t(b)].PositionKeys.push_back("40 " + Tail(K(10, b, 'p', 1)));
        after[size_t(b)].PositionKeys.push_back("50 " + Tail(K(20, b, 'p', 1)));
        after[size_t(b)].RotationKeys.push_back("40 " + Tail(K(10, b, 'r', 1)));
        after[size_t(b)].RotationKeys.push_back("50 " + Tail(K(20, b, 'r', 1)));
    }
    EXPECT_EQ(LinesOf(1), Model(after));
    EXPECT_EQ(RowsOf(1), (Lines{"1", "30", "40", "50"}));
}

TEST_F(ClipboardPaste, ReversedClipboardLandsInAscendingOrder) {
    Open(1, Model({Keyed(0, {10, 20, 30}, 1)}));
    Open(2, Model({Keyed(0, {1, 45, 100}, 2)}));
    Copy(1, {0, 1, 2});
    EditClipboard(ws, "40", "-10", "");
    ASSERT_EQ(RowTexts(ws.Clip.Rows), (Lines{"40", "50", "60"}));
    PasteFromClipboard(ws, 2);

    EXPECT_EQ(LinesOf(2),
              Model({WithKeys(0,
                              {K(1, 0, 'p', 2), "40 " + Tail(K(30, 0, 'p', 1)), K(45, 0, 'p', 2),
                               "50 " + Tail(K(20, 0, 'p', 1)), "60 " + Tail(K(10, 0, 'p', 1)), K(100, 0, 'p', 2)},
                              {K(1, 0, 'r', 2), "40 " + Tail(K(30, 0, 'r', 1)), K(45, 0, 'r', 2),
                               "50 " + Tail(K(20, 0, 'r', 1)), "60 " + Tail(K(10, 0, 'r', 1)), K(100, 0, 'r', 2)})}));
    EXPECT_EQ(RowsOf(2), (Lines{"1", "40", "45", "50", "60", "100"}));
}

TEST_F(ClipboardPaste, ReplacedRowsKeepTheirSelectionAndInsertedRowsAreNotSelected) {
    Open(1, Model({Keyed(0, {10, 15}, 1)}));
    Open(2, Model({Keyed(0, {1, 15, 30}, 2)}));
    Copy(1, {0, 1});
    SelectRows(ws.File(2).Rows, {1, 2});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(RowsOf(2), (Lines{"1", "10", "15", "30"}));
    EXPECT_EQ(SelectedRows(ws.File(2).Rows), (std::vector<size_t>{2, 3}));
}

TEST_F(ClipboardPaste, LastClipboardRowOfAFrameGivesTheRowText) {
    // Position keys 10.000000 and 10.500000 of the first bone give the rows 10 and 10.
    Open(1, Model({WithKeys(0, {K(10, 0, 'p', 1), K(10, 0, 'p', 1, 500000)}, {})}));
    ws.File(1).Rows[0].RowText = "10       first";
    ws.File(1).Rows[1].RowText = "10       second";
    Open(2, Model({Keyed(0, {5, 20}, 2)}));
    Copy(1, {0, 1});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(RowsOf(2), (Lines{"5", "10       second", "20"}));
    EXPECT_EQ(LinesOf(2), Model({WithKeys(0, {K(5, 0, 'p', 2), K(10, 0, 'p', 1), K(20, 0, 'p', 2)},
                                          {K(5, 0, 'r', 2), K(20, 0, 'r', 2)})}));
}

TEST_F(ClipboardPaste, RowsGoIntoATableOutOfOrderFromItsEnd) {
    Open(1, Model({Keyed(0, {5, 15, 25}, 1)}));
    Open(2, Model({Keyed(0, {20, 10, 30}, 2)}));
    ASSERT_EQ(RowsOf(2), (Lines{"20", "10", "30"}));
    SelectRows(ws.File(2).Rows, {0});
    Copy(1, {0, 1, 2});
    PasteFromClipboard(ws, 2);
    // 5 goes before the first row, as no row is below it; 15 and 25 go after
    // the last row below them, looking from the end.
    EXPECT_EQ(RowsOf(2), (Lines{"5", "20", "10", "15", "25", "30"}));
    EXPECT_EQ(SelectedRows(ws.File(2).Rows), (std::vector<size_t>{1}));
    EXPECT_EQ(LinesOf(2),
              Model({WithKeys(0, {K(5, 0, 'p', 1), K(20, 0, 'p', 2), K(10, 0, 'p', 2), K(15, 0, 'p', 1), K(25, 0, 'p', 1), K(30, 0, 'p', 2)},
                              {K(5, 0, 'r', 1), K(20, 0, 'r', 2), K(10, 0, 'r', 2), K(15, 0, 'r', 1), K(25, 0, 'r', 1), K(30, 0, 'r', 2)})}));
}

TEST_F(ClipboardPaste, SharedSizeGrowsWhenThePasteComesWithinTenLinesOfIt) {
    // One bone with one key of each kind: 17 lines, "Bones:" at line 10.
    Open(1, Model({Keyed(0, {10}, 1)}));
    Open(2, Model({Keyed(0, {20}, 2)}));
    ASSERT_EQ(ws.LineCapacity, 27);
    Copy(1, {0});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(ws.LineCapacity, 34);  // 17 + 7 + 10
}

TEST_F(ClipboardPaste, OnlyKeyLinesArePastedEvenForARowOfFrameZero) {
    Open(2, Model({Keyed(0, {5}, 2)}));
    // A Clipboard whose position list holds a key at 0.500000: its frame number
    // is 0, like the row's, but a line of frame number 0 is never a key.
    Clipboard& clip = ws.Clip;
    clip.ClipboardSource = 1;
    clip.Rows = {{"0", false}, {"10", false}};
    clip.BonesLine = 1;
    clip.ModelLines = vandrel::Lines({"", "Bones: 1", "\"joint0\"", "\"\"", kSkeleton[0].Rest, "2",
                                      "0.500000 7.0 7.0 7.0", "10.000000 8.0 8.0 8.0", "0", ""});
    clip.LineCount = 9;
    PasteFromClipboard(ws, 2);

    EXPECT_EQ(LinesOf(2), Model({WithKeys(0, {K(5, 0, 'p', 2), "10.000000 8.0 8.0 8.0"}, {K(5, 0, 'r', 2)})}));
    EXPECT_EQ(RowsOf(2), (Lines{"0", "5", "10"}));
}

TEST_F(ClipboardPaste, EmptyClipboardChangesNothing) {
    Open(1, Model({Keyed(0, {10}, 1)}));
    const Lines file2 = Model({Keyed(0, {1, 20}, 2)});
    Open(2, file2);
    Copy(1, {});
    PasteFromClipboard(ws, 2);
    EXPECT_EQ(LinesOf(2), file2);
    EXPECT_EQ(RowsOf(2), (Lines{"1", "20"}));
}

TEST_F(ClipboardPaste, PasteBeyondTheEstimatedCapacityKeepsEveryLine) {
    std::vector<int> frames;
    for (int f = 1; f <= 200; ++f) frames.push_back(f);
    auto selectAll = [&] {
        for (KeyframeRow& row : ws.File(1).Rows) row.Selected = true;
    };
    Open(1, Model({Keyed(0, frames, 1)}));
    selectAll();
    CopyToClipboard(ws, 1);
    ASSERT_EQ(ws.Clip.Rows.size(), 200u);

    // A smaller model with many lines before its bones and no key: the paste
    // estimate is taken from the files, not from the Clipboard.
    GenModel small = test::ModelWith({WithKeys(0, {}, {})});
    small.Header.insert(small.Header.begin() + 1, 300, "// note");
    Open(1, test::FileLines(small));
    const int64_t capacity = ws.LineCapacity;
    PasteFromClipboard(ws, 1);

    GenModel full = test::ModelWith({Keyed(0, frames, 1)});
    full.Header = small.Header;
    EXPECT_EQ(LinesOf(1), test::FileLines(full));
    EXPECT_GT(ws.File(1).LineCount, capacity);
    EXPECT_EQ(RowsOf(1).size(), 200u);

    // Later commands work on the grown lines.
    selectAll();
    CutToClipboard(ws, 1);
    EXPECT_EQ(LinesOf(1), test::FileLines(small));
    PasteFromClipboard(ws, 1);
    EXPECT_EQ(LinesOf(1), test::FileLines(full));
}

}  // namespace
}  // namespace vandrel
