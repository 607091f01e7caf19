// The keyframe list of a model: the frame numbers of the first bone's position
// keys, taken by position after the "Bones:" line, and the padding before a
// comment.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"

namespace vandrel {
namespace {

using test::JoinLines;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> RowTexts(const KeyframeTable& rows) {
    std::vector<std::string> texts;
    for (const KeyframeRow& row : rows) texts.push_back(row.RowText);
    return texts;
}

const std::vector<std::string> kHeader{"// MilkShape 3D ASCII", "", "Frames: 30", "Frame: 1", "", "Meshes: 0", "",
                                       "Materials: 0", ""};

std::vector<std::string> WithHeader(const std::vector<std::string>& bones) {
    std::vector<std::string> lines = kHeader;
    lines.insert(lines.end(), bones.begin(), bones.end());
    return lines;
}

// Loads the lines into File 1 of a fresh workspace and builds its table.
std::vector<std::string> TableOf(const std::vector<std::string>& lines) {
    Workspace ws;
    const std::string bytes = JoinLines(lines);
    LoadModelText(ws, 1, TextOf(bytes));
    BuildKeyframeTable(ws.File(1));
    return RowTexts(ws.File(1).Rows);
}

using Rows = std::vector<std::string>;

TEST(KeyframeTable, RowsAreTheFirstBonesPositionKeysInFileOrder) {
    EXPECT_EQ(TableOf(WithHeader({"Bones: 2", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "3", "1.000000 0 0 0",
                                  "10.000000 0 0 0", "20.000000 0 0 0", "1", "5.000000 0 0 0", "\"b\"", "\"a\"",
                                  "0 1 0 0 0 0 0", "2", "2.000000 0 0 0", "30.000000 0 0 0", "0"})),
              (Rows{"1", "10", "20"}));
    // No sorting and no merging: the integer part of each time, as it stands.
    EXPECT_EQ(TableOf(WithHeader({"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "4", "20.000000 0 0 0",
                                  "10.000000 0 0 0", "3.000000 0 0 0", "3.500000 0 0 0", "0"})),
              (Rows{"20", "10", "3", "3"}));
}

TEST(KeyframeTable, CountIsReadFourLinesAfterTheBonesLineWhateverStandsThere) {
    // An empty line after "Bones:" moves the first bone down: line B + 4 is then
    // its rest line, whose value is 0.
    EXPECT_EQ(TableOf(WithHeader({"Bones: 1", "", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "2", "1.000000 0 0 0",
                                  "2.000000 0 0 0", "0"})),
              Rows{});
    // Without a "Bones:" line there are no keyframes, whatever the lines hold.
    EXPECT_EQ(TableOf({"// MilkShape 3D ASCII", "", "Frames: 2", "2", "7.500000 x", "8", "9"}), Rows{});
    // The keys end with the bones section: a count running into "Materials:" stops there.
    EXPECT_EQ(TableOf(WithHeader({"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "4", "1.000000 0 0 0",
                                  "Materials: 1", "2.000000 0 0 0"})),
              Rows{"1"});
    // "Bones:" as the last line: nothing after it.
    EXPECT_EQ(TableOf(WithHeader({"Bones: 0"})), Rows{});
}

TEST(KeyframeTable, GarbageCountsReadNoLinePastTheEnd) {
    const std::vector<std::string> keys{"1.000000 0 0 0", "2.000000 0 0 0", "3.000000 0 0 0"};
    for (const char* count : {"2147483647", "99999999999", "4294967297", "9223372036854775807", "$7FFFFFFF"}) {
        std::vector<std::string> bones{"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", count};
        bones.insert(bones.end(), keys.begin(), keys.end());
        EXPECT_EQ(TableOf(WithHeader(bones)), (Rows{"1", "2", "3"})) << count;
    }
    for (const char* count : {"-5", "abc", "0", "", "-9223372036854775808"}) {
        std::vector<std::string> bones{"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", count};
        bones.insert(bones.end(), keys.begin(), keys.end());
        EXPECT_EQ(TableOf(WithHeader(bones)), Rows{}) << count;
    }
    // A count of 2 with only one line left gives one row.
    EXPECT_EQ(TableOf(WithHeader({"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "2", "5.000000 0 0 0"})), Rows{"5"});
}

TEST(KeyframeTable, RowTextIsTheDecimalOfTheSixtyFourBitValue) {
    const Rows rows = TableOf(WithHeader({"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "7", "4294967306.000000 0 0 0",
                                          "-12.500000 0 0 0", "$10 0 0 0", "007.000000 0 0 0", " 5.0", "(x)", "",
                                          "0"}));
    EXPECT_EQ(rows, (Rows{"4294967306", "-12", "16", "7", "5", "0", "0"}));
    // The keyframe number of a row is kept in 32 bits.
    EXPECT_EQ(FrameNumberOfRow({"4294967306", false}), 10);
    EXPECT_EQ(FrameNumberOfRow({"-12     run", false}), -12);
    EXPECT_EQ(FrameNumberOfRow({"7         walk", false}), 7);
}

TEST(KeyframeTable, CommentPaddingDependsOnTheLengthOfTheNumber) {
    EXPECT_EQ(RowPadding(1), 9);
    EXPECT_EQ(RowPadding(2), 7);
    EXPECT_EQ(RowPadding(3), 5);
    EXPECT_EQ(RowPadding(4), 3);
    EXPECT_EQ(RowPadding(5), 1);
    EXPECT_EQ(RowPadding(6), 1);
    EXPECT_EQ(RowPadding(11), 1);
    EXPECT_EQ(RowTextFor("7", "walk"), "7         walk");
    EXPECT_EQ(RowTextFor("12", "walk"), "12       walk");
    EXPECT_EQ(RowTextFor("-12", "walk"), "-12     walk");
    EXPECT_EQ(RowTextFor("1234", "walk"), "1234   walk");
    EXPECT_EQ(RowTextFor("12345", "walk"), "12345 walk");
    EXPECT_EQ(RowTextFor("-2147483648", "a b"), "-2147483648 a b");
    EXPECT_EQ(RowTextFor("7", ""), "7");
}

TEST(KeyframeTable, OpeningRebuildsTheTableClearsTheSelectionAndAddsSideFileComments) {
    TempDir dir;
    const std::vector<std::string> model = WithHeader({"Bones: 1", "\"a\"", "\"\"", "0 0 0 0 0 0 0", "3",
                                                        "1.000000 0 0 0", "10.000000 0 0 0", "12345.000000 0 0 0", "0"});
    WriteFile(dir / "m.txt", JoinLines(model));
    WriteFile(dir / "m.csv", JoinLines({"m - Keyframes     05/04/2026 10:30 AM", "", "Index;Keyframe;Comment;Scene;Number",
                                        "1;1; walk ;1;1", "2;12345;turn;2;1"}));
    Workspace ws;
    ASSERT_EQ(OpenModel(ws, 1, dir / "m.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(RowTexts(ws.File(1).Rows), (Rows{"1         walk", "10", "12345 turn"}));
    for (KeyframeRow& row : ws.File(1).Rows) row.Selected = true;
    ws.File(1).Rows.push_back({"99", true});

    ASSERT_EQ(OpenModel(ws, 1, dir / "m.txt", nullptr), OpenResult::Opened);
    ASSERT_EQ(ws.File(1).Rows.size(), 3u);
    for (const KeyframeRow& row : ws.File(1).Rows) EXPECT_FALSE(row.Selected) << row.RowText;
}

}  // namespace
}  // namespace vandrel
