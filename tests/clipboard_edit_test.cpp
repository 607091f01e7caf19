// Editing the Clipboard: moving, renumbering, reversing and commenting its rows
// and the times of its key lines.
#include <gtest/gtest.h>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"

namespace vandrel {
namespace {

using test::RowTexts;
using test::SelectRows;
using test::ValidLines;
using Lines = std::vector<std::string>;

const std::string kRestHip = "0 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000";
const std::string kRestKnee = "0 0.000000 -1.000000 0.000000 0.000000 0.000000 0.000000";
const Lines kHeader = test::GenModel().Header;  // "Bones:" is line 10

Lines Concat(std::vector<Lines> parts) {
    Lines all;
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string Pad(size_t blanks) { return std::string(blanks, ' '); }

// The bones section of a model keyed at 10, 20 and 35, whose knee also has a
// rotation key at 10.500000; each argument is the time field of those keys.
Lines Section(const std::string& t10, const std::string& t10half, const std::string& t20, const std::string& t35) {
    return {"Bones: 2",
            "\"hip\"",
            "\"\"",
            kRestHip,
            "3",
            t10 + " 1.0 0.0 0.0",
            t20 + " 2.0 0.0 0.0",
            t35 + " 3.5 0.0 0.0",
            "3",
            t10 + " 0.0 1.0 0.0",
            t20 + " 0.0 2.0 0.0",
            t35 + " 0.0 3.5 0.0",
            "\"knee\"",
            "\"hip\"",
            kRestKnee,
            "3",
            t10 + " 0.0 0.0 1.0",
            t20 + " 0.0 0.0 2.0",
            t35 + " 0.0 0.0 3.5",
            "4",
            t10 + " -1.0 0.0 0.0",
            t10half + " -1.5 0.0 0.0",
            t20 + " -2.0 0.0 0.0",
            t35 + " -3.5 0.0 0.0"};
}

// Lines 1 to LineCount of a Clipboard whose "Bones:" line is line 10.
Lines ClipboardLines(const Lines& section) {
    Lines lines(9);
    lines.insert(lines.end(), section.begin(), section.end());
    lines.emplace_back();
    return lines;
}

class ClipboardEdit : public ::testing::Test {
protected:
    // Copies the rows at `positions` of a model with `section` into the Clipboard.
    void CopyFrom(const Lines& section, const std::set<size_t>& positions, const Lines& rowTexts = {}) {
        test::OpenModelLines(ws, 1, dir / "model.txt", Concat({kHeader, section}));
        for (size_t r = 0; r < rowTexts.size(); ++r) ws.File(1).Rows[r].RowText = rowTexts[r];
        SelectRows(ws.File(1).Rows, positions);
        CopyToClipboard(ws, 1);
    }
    void CopyAll(const Lines& rowTexts = {}) {
        CopyFrom(Section("10.000000", "10.500000", "20.000000", "35.000000"), {0, 1, 2}, rowTexts);
    }
    Lines Rows() const { return RowTexts(ws.Clip.Rows); }

    test::TempDir dir;
    Workspace ws;
};

TEST_F(ClipboardEdit, MoveKeepsTheDistances) {
    CopyAll();
    const std::vector<BoneRecord> bones = ws.Clip.BoneList;
    EditClipboard(ws, "40", "", "");
    EXPECT_EQ(Rows(), (Lines{"40", "50", "65"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("40", "40", "50", "65")));
    EXPECT_EQ(ws.Clip.BoneList, bones);

    EditClipboard(ws, "5", "0", "");
    EXPECT_EQ(Rows(), (Lines{"5", "15", "30"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("5", "5", "15", "30")));
}

TEST_F(ClipboardEdit, RenumberUsesTheStepWidth) {
    CopyAll();
    EditClipboard(ws, "40", "5", "");
    EXPECT_EQ(Rows(), (Lines{"40", "45", "50"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("40", "40", "45", "50")));
}

TEST_F(ClipboardEdit, NegativeStepWidthReversesRowsAndKeys) {
    CopyAll({"10" + Pad(7) + "start", "20" + Pad(7) + "middle", "35" + Pad(7) + "end"});
    EditClipboard(ws, "40", "-5", "");
    // The old last row comes first and gets the start position; comments travel with their keys.
    EXPECT_EQ(Rows(), (Lines{"40" + Pad(7) + "end", "45" + Pad(7) + "middle", "50" + Pad(7) + "start"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("50", "50", "45", "40")));
}

TEST_F(ClipboardEdit, SingleRowReversedLandsAtTheStart) {
    CopyFrom(Section("10.000000", "10.500000", "20.000000", "35.000000"), {1});
    EditClipboard(ws, "7", "-3", "");
    EXPECT_EQ(Rows(), (Lines{"7"}));
}

TEST_F(ClipboardEdit, CommentAloneRewritesTimesAsPlainIntegers) {
    CopyAll({"10" + Pad(7) + "old"});
    EditClipboard(ws, "10", "", "idle");
    EXPECT_EQ(Rows(), (Lines{"10" + Pad(7) + "idle", "20" + Pad(7) + "idle", "35" + Pad(7) + "idle"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("10", "10", "20", "35")));
}

TEST_F(ClipboardEdit, RowKeepsItsOwnCommentWhenNoneIsTyped) {
    CopyFrom({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "2", "7.000000 1.0 0.0 0.0", "9.000000 2.0 0.0 0.0", "0"}, {0, 1},
             {"7" + Pad(9) + "jump", "9   land  soft  "});
    EditClipboard(ws, "100", "", "");
    EXPECT_EQ(Rows(), (Lines{"100" + Pad(5) + "jump", "102" + Pad(5) + "land  soft"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "2", "100 1.0 0.0 0.0",
                                                   "102 2.0 0.0 0.0", "0"}));
}

TEST_F(ClipboardEdit, TypedCommentReplacesEveryCommentWithPaddingByLength) {
    CopyAll({"10" + Pad(7) + "old"});
    EditClipboard(ws, "9", "99990", "take 2");
    EXPECT_EQ(Rows(), (Lines{"9" + Pad(9) + "take 2", "99999 take 2", "199989 take 2"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("9", "9", "99999", "199989")));
}

TEST_F(ClipboardEdit, TypedCommentIsNotTrimmedButTheRowIs) {
    CopyAll();
    EditClipboard(ws, "10", "", "  walk  ");
    EXPECT_EQ(Rows(), (Lines{"10" + Pad(9) + "walk", "20" + Pad(9) + "walk", "35" + Pad(9) + "walk"}));

    EditClipboard(ws, "10", "", "   ");  // blanks only: the rows are bare numbers
    EXPECT_EQ(Rows(), (Lines{"10", "20", "35"}));
}

TEST_F(ClipboardEdit, OverlappingRenumberingDoesNotChain) {
    CopyFrom(Section("10.000000", "10.500000", "20.000000", "35.000000"), {0, 1});
    EditClipboard(ws, "20", "10", "");
    EXPECT_EQ(Rows(), (Lines{"20", "30"}));
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines({"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", "20 1.0 0.0 0.0", "30 2.0 0.0 0.0", "2",
                              "20 0.0 1.0 0.0", "30 0.0 2.0 0.0", "\"knee\"", "\"hip\"", kRestKnee, "2",
                              "20 0.0 0.0 1.0", "30 0.0 0.0 2.0", "3", "20 -1.0 0.0 0.0", "20 -1.5 0.0 0.0",
                              "30 -2.0 0.0 0.0"}));
}

TEST_F(ClipboardEdit, RowsOutOfOrderMoveByTheFirstRowWithoutChaining) {
    CopyFrom(Section("10.000000", "10.500000", "20.000000", "35.000000"), {0, 1}, {"20", "10"});
    EditClipboard(ws, "30", "", "");
    EXPECT_EQ(Rows(), (Lines{"30", "20"}));
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines({"Bones: 2", "\"hip\"", "\"\"", kRestHip, "2", "20 1.0 0.0 0.0", "30 2.0 0.0 0.0", "2",
                              "20 0.0 1.0 0.0", "30 0.0 2.0 0.0", "\"knee\"", "\"hip\"", kRestKnee, "2",
                              "20 0.0 0.0 1.0", "30 0.0 0.0 2.0", "3", "20 -1.0 0.0 0.0", "20 -1.5 0.0 0.0",
                              "30 -2.0 0.0 0.0"}));
}

TEST_F(ClipboardEdit, RowsOfOneFrameGiveItsKeysTheFirstRowsNumber) {
    // Position keys 10.000000 and 10.500000 of the first bone give the rows 10 and 10.
    CopyFrom({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "3", "10.000000 1.0 0.0 0.0", "10.500000 1.5 0.0 0.0",
              "20.000000 2.0 0.0 0.0", "1", "10.000000 0.0 1.0 0.0"},
             {0, 1});
    ASSERT_EQ(Rows(), (Lines{"10", "10"}));
    EditClipboard(ws, "40", "10", "");
    EXPECT_EQ(Rows(), (Lines{"40", "50"}));
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "4", "40 1.0 0.0 0.0", "40 1.0 0.0 0.0",
                              "40 1.5 0.0 0.0", "40 1.5 0.0 0.0", "2", "40 0.0 1.0 0.0", "40 0.0 1.0 0.0"}));
}

TEST_F(ClipboardEdit, StartBelowOneOrNotANumberChangesNothing) {
    CopyAll({"10" + Pad(7) + "a"});
    const Lines rows = Rows(), lines = ValidLines(ws.Clip);
    for (const char* at : {"0", "", "abc", "-5", " x40", "$0"}) {
        EditClipboard(ws, at, "10", "comment");
        EXPECT_EQ(Rows(), rows) << "At '" << at << "'";
        EXPECT_EQ(ValidLines(ws.Clip), lines) << "At '" << at << "'";
    }
}

TEST_F(ClipboardEdit, EmptyClipboardStaysEmpty) {
    CopyFrom(Section("10.000000", "10.500000", "20.000000", "35.000000"), {});
    const Lines lines = ValidLines(ws.Clip);
    EditClipboard(ws, "40", "5", "x");
    EXPECT_TRUE(ws.Clip.Rows.empty());
    EXPECT_EQ(ValidLines(ws.Clip), lines);
}

TEST_F(ClipboardEdit, NumbersAreReadWithSignsAndPrefixes) {
    CopyAll();
    EditClipboard(ws, " +$28", "%101", "");  // 40 and 5
    EXPECT_EQ(Rows(), (Lines{"40", "45", "50"}));
    EXPECT_EQ(ValidLines(ws.Clip), ClipboardLines(Section("40", "40", "45", "50")));
}

TEST_F(ClipboardEdit, KeysWrittenWithoutAPointAreRenumberedToo) {
    CopyFrom({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "2", "12 1 0 0", "13.000000 1.0 0.0 0.0", "1", "12 0 1 0"},
             {0});
    EditClipboard(ws, "3", "", "");
    EXPECT_EQ(ValidLines(ws.Clip),
              ClipboardLines({"Bones: 1", "\"hip\"", "\"\"", kRestHip, "1", "3 1 0 0", "1", "3 0 1 0"}));
}

}  // namespace
}  // namespace vandrel
