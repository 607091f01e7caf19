// The keyframe side file: what is written for a table, how scenes are numbered,
// and how a side file puts its comments back on the rows of a freshly opened model.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "output/KeyframeSidecar.h"

namespace vandrel {
namespace {

using test::JoinLines;
using test::ReadFile;
using test::RunCli;
using test::TempDir;
using test::WriteFile;

const LocalTime kAfternoon{2012, 4, 30, 14, 5};

KeyframeTable Table(const std::vector<std::string>& rowTexts) {
    KeyframeTable rows;
    for (const std::string& text : rowTexts) rows.push_back({text, false});
    return rows;
}

std::vector<std::string> Texts(const KeyframeTable& rows) {
    std::vector<std::string> texts;
    for (const KeyframeRow& row : rows) texts.push_back(row.RowText);
    return texts;
}

// The rows of a table after the side-file bytes were applied to it.
std::vector<std::string> Applied(const std::vector<std::string>& rowTexts, std::string_view sidecar) {
    KeyframeTable rows = Table(rowTexts);
    ApplyKeyframeSidecar(rows, sidecar);
    return Texts(rows);
}

ModelSlot SlotAt(const std::string& modelPath, const std::vector<std::string>& rowTexts) {
    ModelSlot slot;
    slot.Path = modelPath;
    slot.SidecarPath = SidecarPathFor(modelPath);
    slot.Rows = Table(rowTexts);
    return slot;
}

const std::vector<std::string> kExampleRows = {"1", "2", "5         walk", "6         walk", "9", "10       run"};

TEST(SidecarWriter, WritesTheWalkTableLineForLine) {
    const ModelSlot slot = SlotAt("/anim/walk.txt", kExampleRows);
    EXPECT_EQ(KeyframeSidecarText(slot, kAfternoon, 0),
              JoinLines({"walk - Keyframes     04/30/2012 02:05 PM", "", "Index;Keyframe;Comment;Scene;Number",
                         "1;1;;0;1", "2;2;;0;2", "3;5;walk;1;1", "4;6;walk;1;2", "5;9;;2;1", "6;10;run;3;1"}));
    EXPECT_EQ(KeyframeSidecarText(slot, kAfternoon, 1),
              JoinLines({"walk - Keyframes     30.04.2012 14:05 Uhr", "", "Index;Keyframe;Kommentar;Szene;Nummer",
                         "1;1;;0;1", "2;2;;0;2", "3;5;walk;1;1", "4;6;walk;1;2", "5;9;;2;1", "6;10;run;3;1"}));
}

TEST(SidecarWriter, AnEmptyTableWritesTitleBlankLineAndColumnNames) {
    EXPECT_EQ(KeyframeSidecarText(SlotAt("W0.txt", {}), kAfternoon, 0),
              "W0 - Keyframes     04/30/2012 02:05 PM\r\n\r\nIndex;Keyframe;Comment;Scene;Number\r\n");
}

TEST(SidecarWriter, TitleAndPathComeFromTheModelName) {
    EXPECT_EQ(SidecarPathFor("C:\\anim\\walk.txt"), "C:\\anim\\walk.csv");
    EXPECT_EQ(SidecarPathFor("/models/WALK.TXT"), "/models/WALK.csv");
    EXPECT_EQ(SidecarPathFor("/a.b/run.Txt"), "/a.b/run.csv");
    const std::string text = KeyframeSidecarText(SlotAt("/models/WALK.TXT", {}), kAfternoon, 0);
    EXPECT_EQ(text.substr(0, text.find('\r')), "WALK - Keyframes     04/30/2012 02:05 PM");
}

TEST(SidecarWriter, CommentsAreWrittenAsHeld) {
    // A ";" inside a comment is not escaped, 8-bit bytes are not converted,
    // blanks inside a comment stay, the padding before it goes.
    const ModelSlot slot = SlotAt("m.txt", {"3         a;b", "12345 two  words", "-12     \xFC" "ber  ", "7 "});
    const std::string text = KeyframeSidecarText(slot, kAfternoon, 0);
    EXPECT_EQ(text.substr(text.find("Number\r\n") + 8),
              JoinLines({"1;3;a;b;1;1", "2;12345;two  words;2;1", "3;-12;\xFC" "ber;3;1", "4;7;;4;1"}));

    // Read back, the comment ends at its first ";".
    EXPECT_EQ(Applied({"3"}, text), std::vector<std::string>{"3         a"});
}

TEST(SceneNumbering, EveryChangeOfCommentStartsAScene) {
    // Rows before the first comment are scene 0; going back to no comment, or to a
    // comment seen before, is a new scene; comments compare case-sensitively.
    const KeyframeTable rows = Table({"1", "2 ", "3         a", "4   a  ", "5", "6         a", "7         A",
                                      "8         A", "9"});
    const std::vector<SceneNumber> numbers = SceneNumbering(rows);
    const std::vector<std::array<int64_t, 3>> expected = {{1, 0, 1}, {2, 0, 2}, {3, 1, 1}, {4, 1, 2}, {5, 2, 1},
                                                          {6, 3, 1}, {7, 4, 1}, {8, 4, 2}, {9, 5, 1}};
    ASSERT_EQ(numbers.size(), expected.size());
    for (size_t i = 0; i < numbers.size(); ++i) {
        EXPECT_EQ(numbers[i].Index, expected[i][0]) << "row " << i;
        EXPECT_EQ(numbers[i].Scene, expected[i][1]) << "row " << i;
        EXPECT_EQ(numbers[i].Number, expected[i][2]) << "row " << i;
    }
    EXPECT_TRUE(SceneNumbering({}).empty());
}

TEST(SidecarReader, SkipsLinesWithFewerThanThreeSemicolons) {
    const std::string sidecar = JoinLines({"1;7;two fields only", "7;7", "", "title without fields", "1;5;five;"});
    EXPECT_EQ(Applied({"7", "5"}, sidecar), (std::vector<std::string>{"7", "5         five"}));
}

TEST(SidecarReader, StripsBlanksAroundCommentsAndKeepsThemInside) {
    EXPECT_EQ(Applied({"7", "123"}, JoinLines({"1;7;  two  words  ;0;1", "2;123;\tand a tab ;0;1"})),
              (std::vector<std::string>{"7         two  words", "123     \tand a tab"}));
}

TEST(SidecarReader, TheLastEntryForAKeyframeWins) {
    const std::string sidecar = JoinLines({"1;7;first;0;1", "2;8;eight;0;1", "3;7;second;0;1", "4;7;third;0;1"});
    EXPECT_EQ(Applied({"7", "8", "7"}, sidecar),
              (std::vector<std::string>{"7         third", "8         eight", "7         third"}));
    // A later empty comment wins too, and still sets the padding.
    EXPECT_EQ(Applied({"7"}, JoinLines({"1;7;walk;0;1", "2;7;;0;1"})), std::vector<std::string>{"7         "});
}

TEST(SidecarReader, RowTextIsTheNumberItsPaddingAndTheComment) {
    // The number is written anew; what the row held after it is replaced.
    const std::string sidecar = JoinLines({"1;7;seven;0;1", "2;-12;minus;0;1", "3;1234;four;0;1",
                                           "4;12345;five;0;1", "5;123456;six;0;1", "6;3;;0;1"});
    EXPECT_EQ(Applied({"7 old comment", "-12", "1234", "12345", "123456", "3 x"}, sidecar),
              (std::vector<std::string>{"7         seven", "-12     minus", "1234   four", "12345 five",
                                        "123456 six", "3         "}));
}

TEST(SidecarReader, EntriesWithoutRowsAndRowsWithoutEntriesChangeNothing) {
    EXPECT_EQ(Applied({"1", "2         kept"}, JoinLines({"1;12;nowhere;0;1", "2;3;nowhere;0;1"})),
              (std::vector<std::string>{"1", "2         kept"}));
}

TEST(SidecarReader, ReadsTheKeyframeFieldAsANumberAndIgnoresTheOthers) {
    // Index, Scene and Number are never read; the keyframe field is read like
    // every number of the program and kept in 32 bits.
    const std::string sidecar = JoinLines({"x;abc;zero;;", "99; 7;seven;scene;number;more;fields",
                                           "0;$A;ten;0;1", "0;4294967307;eleven;0;1", "0;-5.9;minus five;0;1"});
    EXPECT_EQ(Applied({"0", "7", "10", "11", "-5"}, sidecar),
              (std::vector<std::string>{"0         zero", "7         seven", "10       ten", "11       eleven",
                                        "-5       minus five"}));
}

TEST(SidecarReader, ColumnNamesInEitherLanguageAreReadAsKeyframeZero) {
    const std::string english = JoinLines({"m - Keyframes     04/30/2012 02:05 PM", "",
                                           "Index;Keyframe;Comment;Scene;Number", "1;1;one;1;1"});
    const std::string german = JoinLines({"m - Keyframes     30.04.2012 14:05 Uhr", "",
                                          "Index;Keyframe;Kommentar;Szene;Nummer", "1;1;one;1;1"});
    EXPECT_EQ(Applied({"1", "2"}, english), Applied({"1", "2"}, german));
    EXPECT_EQ(Applied({"1", "2"}, german), (std::vector<std::string>{"1         one", "2"}));
    // Only a table with a keyframe 0 sees the column name as a comment.
    EXPECT_EQ(Applied({"0"}, german), std::vector<std::string>{"0         Kommentar"});
    EXPECT_EQ(Applied({"0"}, english + "2;0;zero;2;1\r\n"), std::vector<std::string>{"0         zero"});
}

TEST(SidecarReader, SplitsLinesLikeAModel) {
    // CR, LF, CR LF and NUL each end a line; the end of the bytes ends the last one.
    std::string sidecar = "1;1;one;0;1\r2;2;two;0;1\n3;3;three;0;1\r\n4;4;four;0;1";
    sidecar += '\0';
    sidecar += "5;5;five;0;1";
    EXPECT_EQ(Applied({"1", "2", "3", "4", "5"}, sidecar),
              (std::vector<std::string>{"1         one", "2         two", "3         three", "4         four",
                                        "5         five"}));
    // A terminator inside an entry cuts it into pieces with too few fields.
    std::string cut = "1;6;si";
    cut += '\0';
    cut += "x;0;1\r\n2;7;sev\ren;0;1";
    EXPECT_EQ(Applied({"6", "7"}, cut), (std::vector<std::string>{"6", "7"}));
}

TEST(SidecarReader, AMissingOrUnreadableSideFileChangesNothing) {
    TempDir dir;
    ModelSlot slot = SlotAt(dir / "walk.txt", {"1", "2         kept"});
    slot.SidecarPath.clear();
    ReadKeyframeSidecar(slot);
    EXPECT_EQ(slot.SidecarPath, dir / "walk.csv");
    EXPECT_EQ(Texts(slot.Rows), (std::vector<std::string>{"1", "2         kept"}));

    std::filesystem::create_directory(dir / "walk.csv");
    ReadKeyframeSidecar(slot);
    EXPECT_EQ(Texts(slot.Rows), (std::vector<std::string>{"1", "2         kept"}));
}

// The whole road through vandrel-cli: the comments of a side file reach the
// rows, are saved back, and come back on the next open.
std::string Data(const std::string& name) { return ReadFile(std::string(VANDREL_TEST_DATA) + "/save/" + name); }

TEST(SidecarRoundTrip, CommentsComeBackAfterSaveAndReopen) {
    TempDir dir;
    WriteFile(dir / "walk.txt", Data("walk.txt"));
    WriteFile(dir / "walk.csv", Data("walk.csv"));
    // Every keyframe has a line in the side file; an empty comment still brings the padding.
    const std::string rows = "1         \n2         \n5         walk\n6         walk\n9         \n10       run\n";

    auto first = RunCli(dir.path().string(), "clock 2012-04-30 14:05\nopen 1 walk.txt\ntable 1\nsave 1\n");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out, rows);
    const std::string saved = ReadFile(dir / "walk.csv");
    EXPECT_EQ(saved, JoinLines({"walk - Keyframes     04/30/2012 02:05 PM", "", "Index;Keyframe;Comment;Scene;Number",
                                "1;1;;0;1", "2;2;;0;2", "3;5;walk;1;1", "4;6;walk;1;2", "5;9;;2;1", "6;10;run;3;1"}));

    // Opened again in German: same rows; saved: German names and date, same table lines.
    auto second = RunCli(dir.path().string(), "clock 2011-03-01 09:15\nlanguage 1\nopen 2 walk.txt\ntable 2\nsave 2\n");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, rows);
    EXPECT_EQ(ReadFile(dir / "walk.csv"), Data("walk.csv"));
}

TEST(SidecarRoundTrip, AModelWithoutSideFileOpensQuietlyAndItsSaveCreatesOne) {
    TempDir dir;
    WriteFile(dir / "walk.txt", Data("walk.txt"));
    auto r = RunCli(dir.path().string(), "clock 2012-04-30 14:05\nopen 1 walk.txt\ntable 1\nsave 1\n");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "1\n2\n5\n6\n9\n10\n");
    EXPECT_EQ(ReadFile(dir / "walk.csv"),
              JoinLines({"walk - Keyframes     04/30/2012 02:05 PM", "", "Index;Keyframe;Comment;Scene;Number",
                         "1;1;;0;1", "2;2;;0;2", "3;5;;0;3", "4;6;;0;4", "5;9;;0;5", "6;10;;0;6"}));
}

}  // namespace
}  // namespace vandrel
