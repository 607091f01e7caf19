// Opening MilkShape 3D ASCII files: the number rule, line splitting, the
// extension and header tests, the shared line capacity, the bone index and the
// inputs that must neither crash nor hang the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/Compatibility.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "model/Text.h"

namespace vandrel {
namespace {

using test::JoinLines;
using test::TempDir;
using test::WriteFile;

// Line splitting written out byte by byte: LF, CR, CR LF and NUL end a line;
// the end of the bytes ends a last line that has any bytes.
std::vector<std::string> ReferenceLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r' || c == '\0') {
            lines.push_back(line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(line);
    return lines;
}

std::vector<std::string> ValidLines(const LineSet& set) {
    std::vector<std::string> lines;
    for (int64_t i = 1; i <= set.LineCount; ++i) lines.emplace_back(LineAt(set, i));
    return lines;
}

std::vector<std::string> RowTexts(const ModelSlot& slot) {
    std::vector<std::string> rows;
    for (const KeyframeRow& row : slot.Rows) rows.push_back(row.RowText);
    return rows;
}

// A small animated model: one mesh, one material, two bones with keys at 1 and 10.
std::vector<std::string> SmallModel() {
    return {"// MilkShape 3D ASCII",
            "",
            "Frames: 10",
            "Frame: 1",
            "",
            "Meshes: 1",
            "\"box\" 0 0",
            "2",
            "0 1.000000 2.000000 3.000000 0.000000 0.000000 0",
            "0 4.000000 5.000000 6.000000 1.000000 1.000000 1",
            "1",
            "0.000000 1.000000 0.000000",
            "1",
            "0 0 1 0 0 0 0 1",
            "",
            "Materials: 1",
            "\"skin\"",
            "0.200000 0.200000 0.200000 1.000000",
            "0.800000 0.800000 0.800000 1.000000",
            "0.000000 0.000000 0.000000 1.000000",
            "0.000000 0.000000 0.000000 1.000000",
            "0.000000",
            "1.000000",
            "\"tex\\skin.png\"",
            "\"\"",
            "",
            "Bones: 2",
            "\"root\"",   // 28
            "\"\"",
            "8 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000",
            "2",
            "1.000000 0.000000 0.000000 0.000000",
            "10.000000 0.000000 1.000000 0.000000",
            "2",
            "1.000000 0.000000 0.000000 0.000000",
            "10.000000 0.000000 0.500000 0.000000",
            "\"arm\"",    // 37
            "\"root\"",
            "8 1.000000 0.000000 0.000000 0.000000 0.000000 0.000000",
            "2",
            "1.000000 0.000000 0.000000 0.000000",
            "10.000000 0.000000 0.000000 0.000000",
            "2",
            "1.000000 0.000000 0.000000 0.000000",
            "10.000000 0.250000 0.000000 0.000000"};
}

// What holds for every loaded slot, whatever the file held.
void ExpectSoundSlot(const Workspace& ws, int n) {
    const ModelSlot& slot = ws.File(n);
    EXPECT_GE(slot.LineCount, 0);
    EXPECT_LE(slot.LineCount, ws.LineCapacity);
    EXPECT_TRUE(slot.ModelLines[0].empty());
    for (size_t i = static_cast<size_t>(slot.LineCount) + 1; i < slot.ModelLines.size(); ++i)
        EXPECT_TRUE(slot.ModelLines[i].empty()) << "element " << i << " past the last line";
    EXPECT_GE(slot.BonesLine, 0);
    EXPECT_LE(slot.BonesLine, slot.LineCount);
    int32_t previous = -1;
    for (const BoneRecord& b : slot.BoneList) {
        EXPECT_GE(b.NameLine, slot.BonesLine);
        EXPECT_LE(b.NameLine, slot.LineCount - 1);
        EXPECT_TRUE(IsQuotedLine(LineAt(slot, b.NameLine)));
        EXPECT_GT(b.NameLine, previous + 1);
        EXPECT_EQ(b.RestLine, b.NameLine + 2);
        EXPECT_EQ(b.PositionKeyCountLine, b.NameLine + 3);
        previous = b.NameLine;
    }
    EXPECT_LE(slot.Rows.size(), static_cast<size_t>(slot.LineCount));
    // The statistics end with "Joints:" and one line per bone.
    ASSERT_GE(slot.ModelStatistics.size(), 8 + slot.BoneList.size());
    const std::string& joints = slot.ModelStatistics[slot.ModelStatistics.size() - slot.BoneList.size() - 1];
    EXPECT_EQ(joints.rfind("Joints:", 0), 0u) << joints;
}

// Opens a file the way the open command does: OpenModel, the rest-line step and
// the compatibility count.
OpenResult OpenAsTheCommandDoes(Workspace& ws, int n, const std::string& path) {
    const OpenResult result = OpenModel(ws, n, path, nullptr);
    if (result == OpenResult::Opened) MakeRestLinesUnique(ws.File(n));
    ws.CompatibleCount = CountCompatibleBones(ws);
    return result;
}

TEST(IntegerValue, ReadsSignBaseAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(IntegerValue("30.000000"), 30);
    EXPECT_EQ(IntegerValue(" -3.5"), -3);
    EXPECT_EQ(IntegerValue(" \t +7x"), 7);
    EXPECT_EQ(IntegerValue("$ff"), 255);
    EXPECT_EQ(IntegerValue("$FFg"), 255);
    EXPECT_EQ(IntegerValue("-$10"), -16);
    EXPECT_EQ(IntegerValue("%1012"), 5);
    EXPECT_EQ(IntegerValue("007"), 7);
    EXPECT_EQ(IntegerValue("12 34"), 12);
    for (const char* none : {"", " ", "abc", "$", "%", "-", "- 5", "+-5", "$g", "%2", "x10", ".5", "\"7\""})
        EXPECT_EQ(IntegerValue(none), 0) << "[" << none << "]";
    EXPECT_EQ(IntegerValue("1e5"), 1);
}

TEST(IntegerValue, WrapsModulo2To64AndInto32BitFieldsAsTwosComplement) {
    EXPECT_EQ(IntegerValue("18446744073709551616"), 0);
    EXPECT_EQ(IntegerValue("18446744073709551617"), 1);
    EXPECT_EQ(IntegerValue("9223372036854775808"), INT64_MIN);
    EXPECT_EQ(IntegerValue("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(IntegerValue("99999999999999999999"), 7766279631452241919);
    EXPECT_EQ(IntegerValue("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(IntegerValue("$1FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(IntegerValue("99999999999"), 99999999999);
    EXPECT_EQ(Int32(IntegerValue("2147483647")), INT32_MAX);
    EXPECT_EQ(Int32(IntegerValue("2147483648")), INT32_MIN);
    EXPECT_EQ(Int32(IntegerValue("4294967297")), 1);
    EXPECT_EQ(Int32(IntegerValue("99999999999")), 1215752191);
    EXPECT_EQ(DecimalText(-5), "-5");
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(INT64_MIN), "-9223372036854775808");
}

TEST(LineSplitting, EndsLinesAtLfCrCrLfAndNul) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (V{"", "a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\nb\n"), (V{"", "a", "b"}));
    EXPECT_EQ(SplitLines("a\r"), (V{"", "a"}));
    EXPECT_EQ(SplitLines("a\n\n"), (V{"", "a", ""}));
    EXPECT_EQ(SplitLines("\r\n"), (V{"", ""}));
    EXPECT_EQ(SplitLines(""), (V{""}));
    EXPECT_EQ(SplitLines(std::string("a\0b", 3)), (V{"", "a", "b"}));
    EXPECT_EQ(SplitLines(std::string("a\r\0b", 4)), (V{"", "a", "", "b"}));
    EXPECT_EQ(SplitLines("a\n\rb"), (V{"", "a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\r\nb"), (V{"", "a", "", "b"}));
    // Bytes are kept as they are: blanks, tabs and 8-bit characters.
    EXPECT_EQ(SplitLines(" \tx\xE4\xFF\x80 \n"), (V{"", " \tx\xE4\xFF\x80 "}));
}

TEST(LineSplitting, RandomBytesSplitAsTheReferenceDoes) {
    std::mt19937 random(11);
    const std::string alphabet("ab \r\n\0\xE9", 7);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        for (size_t k = 0, length = random() % 40; k < length; ++k) bytes += alphabet[random() % alphabet.size()];
        const std::vector<std::string_view> split = SplitLines(bytes);
        ASSERT_EQ(std::vector<std::string>(split.begin() + 1, split.end()), ReferenceLines(bytes));
    }
}

TEST(ModelReader, FileLinesAreTheSameWhateverTheTerminatorsAndWhereverTheyFall) {
    TempDir dir;
    // CR only, LF only and CR LF give the same lines; so does a last line without terminator.
    const std::vector<std::string> model = SmallModel();
    Workspace ws;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string bytes = JoinLines(model, end);
        WriteFile(dir / "ends.txt", bytes);
        ASSERT_EQ(OpenModel(ws, 1, dir / "ends.txt", nullptr), OpenResult::Opened);
        EXPECT_EQ(ws.File(1).LineCount, static_cast<int32_t>(model.size()));
        EXPECT_EQ(LineAt(ws.File(1), 45), model[44]);
        bytes.resize(bytes.size() - std::string(end).size());
        WriteFile(dir / "ends.txt", bytes);
        ASSERT_EQ(OpenModel(ws, 1, dir / "ends.txt", nullptr), OpenResult::Opened);
        EXPECT_EQ(ws.File(1).LineCount, static_cast<int32_t>(model.size())) << "without the last terminator";
        EXPECT_EQ(LineAt(ws.File(1), 45), model[44]);
    }

    // A large file is read in pieces: a CR LF, a NUL or a line may straddle any
    // power-of-two offset; a line of several megabytes spans many pieces.
    for (int bit = 10; bit <= 21; ++bit) {
        const size_t boundary = size_t{1} << bit;
        std::string bytes = "// MilkShape 3D ASCII\r\n";
        while (bytes.size() + 80 < boundary) bytes += "0 1.000000 2.000000 3.000000 0.5 0.5 " + std::to_string(bytes.size()) + "\n";
        bytes += std::string(boundary - 1 - bytes.size(), 'x');
        bytes += "\r\n\rmiddle";
        bytes += std::string(1, '\0');
        bytes += "\n";
        bytes += std::string(size_t{3} << 20, 'y');
        bytes += "\r\n\"last\"";
        WriteFile(dir / "large.txt", bytes);
        ASSERT_EQ(OpenModel(ws, 2, dir / "large.txt", nullptr), OpenResult::Opened);
        ASSERT_EQ(ValidLines(ws.File(2)), ReferenceLines(bytes)) << "boundary 2^" << bit;
        ExpectSoundSlot(ws, 2);
    }
}

TEST(ModelReader, OnlyTxtFilesWithTheMilkShapeHeaderOpen) {
    TempDir dir;
    const std::string model = JoinLines(SmallModel());
    struct Case {
        std::string name;
        std::string bytes;
        bool opens;
    };
    const std::vector<Case> cases{
        {"plain.txt", model, true},
        {"CAPITALS.TXT", model, true},
        {"Mixed.TxT", model, true},
        {"blanks.txt", "  // MilkShape 3D ASCII  \r\nFrames: 1\r\n", true},
        {"cr_only.txt", "// MilkShape 3D ASCII\rFrames: 1\r", true},
        {"no_terminator.txt", "// MilkShape 3D ASCII", true},
        {"letter_case.txt", "// Milkshape 3D ASCII\r\n", false},
        {"tab.txt", "\t// MilkShape 3D ASCII\r\n", false},
        {"bom.txt", "\xEF\xBB\xBF// MilkShape 3D ASCII\r\n", false},
        {"second_line.txt", "\r\n// MilkShape 3D ASCII\r\n", false},
        {"extra.txt", "// MilkShape 3D ASCII v2\r\n", false},
        {"empty.txt", "", false},
        {"model.txt.bak", model, false},
        {"model", model, false},
        {"model.", model, false},
        {"model.tx", model, false},
    };
    for (const Case& c : cases) {
        WriteFile(dir / c.name, c.bytes);
        Workspace ws;
        EXPECT_EQ(OpenModel(ws, 1, dir / c.name, nullptr), c.opens ? OpenResult::Opened : OpenResult::Rejected)
            << c.name;
    }
    // The extension is that of the file name, not of a folder on the path.
    std::filesystem::create_directories(dir.path() / "models.txt");
    WriteFile(dir / "models.txt/walk", model);
    Workspace ws;
    EXPECT_EQ(OpenModel(ws, 1, dir / "models.txt/walk", nullptr), OpenResult::Rejected);
    EXPECT_EQ(OpenModel(ws, 1, "", nullptr), OpenResult::Rejected) << "a cancelled dialog";
}

TEST(ModelReader, RejectedOpenChangesNothing) {
    TempDir dir;
    WriteFile(dir / "good.txt", JoinLines(SmallModel()));
    WriteFile(dir / "bad.txt", "// MilkShape 3D ASCI\r\n" + std::string(5000, '\n'));
    Workspace ws;
    ASSERT_EQ(OpenAsTheCommandDoes(ws, 1, dir / "good.txt"), OpenResult::Opened);
    ws.File(1).Rows[1].Selected = true;
    const ModelSlot before = ws.File(1);
    const int64_t capacity = ws.LineCapacity;
    bool accepted = false;
    for (const std::string& path : {dir / "bad.txt", std::string(), dir / "good.csv"}) {
        EXPECT_EQ(OpenModel(ws, 1, path, [&] { accepted = true; }), OpenResult::Rejected);
        EXPECT_FALSE(accepted);
        EXPECT_EQ(ws.LineCapacity, capacity);
        EXPECT_EQ(ws.File(1).Path, before.Path);
        EXPECT_EQ(ws.File(1).DialogDefault, before.DialogDefault);
        EXPECT_EQ(ws.File(1).ModelLines, before.ModelLines);
        EXPECT_EQ(ws.File(1).BoneList, before.BoneList);
        EXPECT_EQ(ws.File(1).ModelStatistics, before.ModelStatistics);
        EXPECT_EQ(ws.File(1).LoadedRestLines, before.LoadedRestLines);
        EXPECT_TRUE(ws.File(1).Rows[1].Selected);
    }
}

TEST(ModelReader, FolderOrMissingFileOpensAsAnEmptyModel) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "folder.txt");
    WriteFile(dir / "good.txt", JoinLines(SmallModel()));
    for (const std::string& path : {dir / "folder.txt", dir / "missing.txt"}) {
        Workspace ws;
        ASSERT_EQ(OpenModel(ws, 2, dir / "good.txt", nullptr), OpenResult::Opened);
        ASSERT_EQ(OpenModel(ws, 1, dir / "good.txt", nullptr), OpenResult::Opened);
        const int64_t capacity = ws.LineCapacity;
        int accepted = 0;
        EXPECT_EQ(OpenModel(ws, 1, path, [&] { ++accepted; }), OpenResult::Opened) << path;
        EXPECT_EQ(accepted, 1);
        const ModelSlot& slot = ws.File(1);
        EXPECT_EQ(slot.Path, path);
        EXPECT_EQ(slot.DialogDefault, path);
        EXPECT_EQ(slot.LineCount, 0);
        EXPECT_EQ(slot.BonesLine, 0);
        EXPECT_TRUE(slot.BoneList.empty());
        EXPECT_TRUE(slot.Rows.empty());
        EXPECT_EQ(slot.ModelStatistics, (std::vector<std::string>{"Vertices:   0 (0)", "Triangles: 0", "", "Groups:", "",
                                                                  "", "", "Joints:"}));
        EXPECT_EQ(ws.LineCapacity, capacity);
        ExpectSoundSlot(ws, 1);
    }
}

TEST(ModelReader, LineCapacityGrowsToTheLineCountPlusTenAndNeverShrinks) {
    TempDir dir;
    auto modelOfLines = [](size_t n) {
        std::vector<std::string> lines{"// MilkShape 3D ASCII"};
        while (lines.size() < n) lines.push_back("// filler " + std::to_string(lines.size()));
        return JoinLines(lines);
    };
    WriteFile(dir / "a.txt", modelOfLines(1000));
    WriteFile(dir / "b.txt", modelOfLines(1010));
    WriteFile(dir / "c.txt", modelOfLines(1011));
    WriteFile(dir / "small.txt", modelOfLines(3));
    Workspace ws;
    EXPECT_EQ(ws.LineCapacity, 0);
    ASSERT_EQ(OpenModel(ws, 1, dir / "a.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.LineCapacity, 1010);
    ASSERT_EQ(OpenModel(ws, 2, dir / "b.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.LineCapacity, 1010) << "a count equal to the capacity does not grow it";
    EXPECT_EQ(ws.File(2).LineCount, 1010);
    ASSERT_EQ(OpenModel(ws, 2, dir / "c.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.LineCapacity, 1021);
    ASSERT_EQ(OpenModel(ws, 1, dir / "small.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.LineCapacity, 1021);
    EXPECT_EQ(ws.File(1).LineCount, 3);
    ExpectSoundSlot(ws, 1);
    ExpectSoundSlot(ws, 2);
}

TEST(ModelReader, BoneRecordsFollowTheKeyCounts) {
    TempDir dir;
    std::vector<std::string> lines = SmallModel();
    WriteFile(dir / "m.txt", JoinLines(lines));
    Workspace ws;
    ASSERT_EQ(OpenModel(ws, 1, dir / "m.txt", nullptr), OpenResult::Opened);
    const ModelSlot& slot = ws.File(1);
    EXPECT_EQ(slot.BonesLine, 27);
    EXPECT_EQ(slot.BoneList, (std::vector<BoneRecord>{{28, 30, 31, 34}, {37, 39, 40, 43}}));
    EXPECT_EQ(slot.LineCount, 45);

    // A bone with 2 position keys whose name is line 20 gets (20, 22, 23, 26).
    std::vector<std::string> twenty{"// MilkShape 3D ASCII"};
    while (twenty.size() < 18) twenty.push_back("");
    twenty.push_back("Bones: 1");  // 19
    for (const char* l : {"\"b\"", "\"\"", "0 0 0 0 0 0 0", "2", "1.0 0 0 0", "2.0 0 0 0", "0", ""}) twenty.push_back(l);
    WriteFile(dir / "twenty.txt", JoinLines(twenty));
    ASSERT_EQ(OpenModel(ws, 1, dir / "twenty.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.File(1).BoneList, (std::vector<BoneRecord>{{20, 22, 23, 26}}));

    // Counts wrap into the 32-bit field; negative and garbage counts are plain values.
    struct Count {
        std::string text;
        int32_t rotationLine;
    };
    for (const Count& c : std::vector<Count>{{"2147483647", -2147483625},
                                             {"99999999999", 1215752215},
                                             {"4294967298", 26},
                                             {"-5", 19},
                                             {"(none)", 24},
                                             {"$10", 40}}) {
        twenty[22] = c.text;
        WriteFile(dir / "count.txt", JoinLines(twenty));
        ASSERT_EQ(OpenModel(ws, 1, dir / "count.txt", nullptr), OpenResult::Opened);
        ASSERT_EQ(ws.File(1).BoneList.size(), 1u) << c.text;
        EXPECT_EQ(ws.File(1).BoneList[0], (BoneRecord{20, 22, 23, c.rotationLine})) << c.text;
        ExpectSoundSlot(ws, 1);
    }
}

TEST(ModelReader, BoneScanTakesQuotedLinesFromTheLastBonesLineAndSkipsParents) {
    TempDir dir;
    Workspace ws;
    // Several "Bones:" lines: the last counts. A quoted parent is skipped, so a
    // bone named like its parent is still one bone; a quoted line that is the last
    // line of the file is never a bone.
    WriteFile(dir / "scan.txt", JoinLines({"// MilkShape 3D ASCII", "\"mesh\" 0 0", "Bones: 9", "\"early\"", "Bones: 2",
                                           "\"a\"", "\"a\"", "0 1 2", "0", "0", "// note", "\"b\"", "\"a\"", "0 3 4", "0",
                                           "0", "\"tail\""}));
    ASSERT_EQ(OpenModel(ws, 1, dir / "scan.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.File(1).BonesLine, 5);
    EXPECT_EQ(ws.File(1).BoneList, (std::vector<BoneRecord>{{6, 8, 9, 10}, {12, 14, 15, 16}}));

    // Without a "Bones:" line there are no bones: mesh and material names never are.
    WriteFile(dir / "nobones.txt", JoinLines({"// MilkShape 3D ASCII", "Meshes: 1", "\"mesh\" 0 0", "0", "0", "0",
                                              "Materials: 0", "\"x\"", "\"y\"", "z"}));
    ASSERT_EQ(OpenModel(ws, 1, dir / "nobones.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.File(1).BonesLine, 0);
    EXPECT_TRUE(ws.File(1).BoneList.empty());
    EXPECT_EQ(JointText(ws.File(1)), "Joints: ");

    // The last line of the file is the "Bones:" line: no bones, no rows.
    WriteFile(dir / "lastline.txt", JoinLines({"// MilkShape 3D ASCII", "", "Frames: 1", "Frame: 1", "Bones: 0"}));
    ASSERT_EQ(OpenModel(ws, 1, dir / "lastline.txt", nullptr), OpenResult::Opened);
    EXPECT_EQ(ws.File(1).BonesLine, 5);
    EXPECT_TRUE(ws.File(1).BoneList.empty());
    EXPECT_TRUE(ws.File(1).Rows.empty());
}

TEST(ModelReader, BoneFlagsAreClearedUpToTheFirstBlankOfEachRestLine) {
    TempDir dir;
    Workspace ws;
    std::vector<std::string> lines{"// MilkShape 3D ASCII", "Bones: 5"};
    const std::vector<std::pair<std::string, std::string>> rests{
        {"8 1.5 -0.000000 2.250000 3 4.0 5.000000", "0 1.5 -0.000000 2.250000 3 4.0 5.000000"},
        {"  8 1 2", "0  8 1 2"},
        {"12\t1\t2", "12\t1\t2"},
        {"(abc) def  ", "0 def  "},
        {"8", "8"}};
    for (const auto& rest : rests) {
        for (const std::string& l : {std::string("\"bone 8\""), std::string("\"8 parent\""), rest.first,
                                     std::string("0"), std::string("0")})
            lines.push_back(l);
    }
    lines.push_back("");
    WriteFile(dir / "flags.txt", JoinLines(lines));
    ASSERT_EQ(OpenModel(ws, 1, dir / "flags.txt", nullptr), OpenResult::Opened);
    const ModelSlot& slot = ws.File(1);
    ASSERT_EQ(slot.BoneList.size(), rests.size());
    for (size_t b = 0; b < rests.size(); ++b) {
        EXPECT_EQ(LineAt(slot, slot.BoneList[b].RestLine), rests[b].second);
        EXPECT_EQ(LineAt(slot, slot.BoneList[b].NameLine), "\"bone 8\"");
        EXPECT_EQ(LineAt(slot, slot.BoneList[b].NameLine + 1), "\"8 parent\"");
    }

    // RebuildBoneList scans the same way but leaves the rest lines alone.
    LineSet set;
    set.ModelLines = Lines({"", "Bones: 1", "\"b\"", "\"\"", "8 1 2", "1", "1.0 0 0 0", "0", ""});
    set.LineCount = 8;
    set.BonesLine = 1;
    RebuildBoneList(set);
    EXPECT_EQ(set.BoneList, (std::vector<BoneRecord>{{2, 4, 5, 7}}));
    EXPECT_EQ(set.ModelLines[4], "8 1 2");
}

TEST(ModelReader, GarbageNeitherCrashesNorHangs) {
    TempDir dir;
    const std::vector<std::string> base = SmallModel();
    std::vector<std::pair<std::string, std::string>> cases;
    // Every count line of the model with every kind of garbage.
    for (size_t line : {8, 11, 13, 27, 31, 34, 40, 43}) {
        for (const char* value : {"abc", "-5", "-2147483648", "2147483647", "99999999999", "9223372036854775807",
                                  "-9223372036854775808", "$FFFFFFFF", ""}) {
            std::vector<std::string> lines = base;
            lines[line - 1] = line == 27 ? std::string("Bones: ") + value : value;
            cases.emplace_back("count line " + std::to_string(line) + " = " + value, JoinLines(lines));
        }
    }
    auto without = [&](const std::string& prefix) {
        std::vector<std::string> lines;
        for (const std::string& l : base)
            if (l.rfind(prefix, 0) != 0) lines.push_back(l);
        return JoinLines(lines);
    };
    cases.emplace_back("no Meshes line", without("Meshes:"));
    cases.emplace_back("no Materials line", without("Materials:"));
    cases.emplace_back("no Bones line", without("Bones:"));
    cases.emplace_back("sections in reverse", JoinLines({"// MilkShape 3D ASCII", "Bones: 1", "\"b\"", "\"\"", "0 0 0",
                                                         "1", "1.0 0 0 0", "1", "1.0 0 0 0", "Materials: 1", "\"m\"",
                                                         "Meshes: 1", "\"x\" 0 0", "3"}));
    std::string nul = JoinLines(base);
    nul[nul.find("Bones: 2") + 8] = '\0';
    nul[nul.find("\"arm\"") + 2] = '\0';
    cases.emplace_back("NUL bytes", nul);
    std::string high = JoinLines(base);
    for (size_t i = 0; i < high.size(); i += 7)
        if (high[i] != '\r' && high[i] != '\n' && i > 25) high[i] = static_cast<char>(0x80 + i % 128);
    cases.emplace_back("bytes 0x80 to 0xFF", high);
    std::vector<std::string> longLines = base;
    longLines[6] = "\"" + std::string(4 << 20, 'm') + "\" 0 0";
    longLines[8] = "0 " + std::string(3 << 20, '1') + ".5 2 3 0 0 0";
    longLines[27] = "\"" + std::string(2 << 20, 'b') + "\"";
    longLines[29] = "8 " + std::string(2 << 20, ' ') + "1";
    cases.emplace_back("lines of megabytes", JoinLines(longLines));
    cases.emplace_back("header only", "// MilkShape 3D ASCII\r\n");
    cases.emplace_back("header without terminator", "// MilkShape 3D ASCII");
    cases.emplace_back("only quotes", "// MilkShape 3D ASCII\n" + std::string(999, '"') + "\n\"\n\"\n\"\n\"");
    cases.emplace_back("only terminators", "// MilkShape 3D ASCII" + std::string(10000, '\r'));

    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        WriteFile(dir / "garbage.txt", bytes);
        Workspace ws;
        ASSERT_EQ(OpenAsTheCommandDoes(ws, 1, dir / "garbage.txt"), OpenResult::Opened);
        ASSERT_EQ(OpenAsTheCommandDoes(ws, 2, dir / "garbage.txt"), OpenResult::Opened);
        EXPECT_EQ(ValidLines(ws.File(2)).size(), ReferenceLines(bytes).size());
        EXPECT_GE(ws.CompatibleCount, 0);
        ExpectSoundSlot(ws, 1);
        ExpectSoundSlot(ws, 2);
    }

    Workspace ws;
    WriteFile(dir / "empty.txt", "");
    EXPECT_EQ(OpenAsTheCommandDoes(ws, 1, dir / "empty.txt"), OpenResult::Rejected);
    EXPECT_EQ(ws.File(1).Path, "");
    EXPECT_EQ(ws.LineCapacity, 0);
}

TEST(ModelReader, SharedSampleModelsOpen) {
    const std::filesystem::path folder = "/work/shared/models";
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no sample models at " << folder;
    struct Expected {
        const char* name;
        size_t bones;
        std::vector<std::string> firstRows;
    };
    const std::vector<Expected> expected{
        {"alex.txt", 16, {}},
        {"soldier_standing.txt", 19, {"2", "7", "12", "16", "21", "48"}},
        {"m109.txt", 2, {"1", "2", "3", "4", "5"}},
        {"pair_walk.txt", 8, {"1", "4", "7"}},
        {"pair_other.txt", 8, {"8", "23", "25"}},
    };
    for (const Expected& e : expected) {
        const std::string path = (folder / e.name).string();
        if (!std::filesystem::exists(path)) continue;
        SCOPED_TRACE(e.name);
        Workspace ws;
        ASSERT_EQ(OpenAsTheCommandDoes(ws, 1, path), OpenResult::Opened);
        const ModelSlot& slot = ws.File(1);
        ExpectSoundSlot(ws, 1);
        EXPECT_EQ(slot.BoneList.size(), e.bones);
        std::vector<std::string> rows = RowTexts(slot);
        rows.resize(std::min(rows.size(), e.firstRows.size()));
        EXPECT_EQ(rows, e.firstRows);
        // Every line is held as read, but for the rest lines, whose flags are gone.
        const std::vector<std::string> read = ReferenceLines(test::ReadFile(path));
        ASSERT_EQ(static_cast<size_t>(slot.LineCount), read.size());
        std::vector<std::string> expectedLines = read;
        for (size_t b = 0; b < slot.BoneList.size(); ++b) {
            std::string& rest = expectedLines[static_cast<size_t>(slot.BoneList[b].RestLine) - 1];
            const size_t blank = rest.find(' ');
            if (blank != std::string::npos) rest.replace(0, blank + 1, "0 ");
            if (slot.RestLinesAdjusted) rest = LineAt(slot, slot.BoneList[b].RestLine);
        }
        EXPECT_EQ(ValidLines(slot), expectedLines);
    }
    const std::string walk = (folder / "pair_walk.txt").string(), other = (folder / "pair_other.txt").string();
    if (std::filesystem::exists(walk) && std::filesystem::exists(other)) {
        Workspace ws;
        ASSERT_EQ(OpenAsTheCommandDoes(ws, 1, walk), OpenResult::Opened);
        ASSERT_EQ(OpenAsTheCommandDoes(ws, 2, other), OpenResult::Opened);
        EXPECT_EQ(ws.CompatibleCount, 8);
    }
}

}  // namespace
}  // namespace vandrel
