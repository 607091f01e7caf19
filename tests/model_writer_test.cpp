// Saving a model: which lines are rewritten, which are written as held, and that
// open, save and reopen give back the same model, table and comments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/ModelReader.h"
#include "model/RestLines.h"
#include "model/Text.h"
#include "output/KeyframeSidecar.h"
#include "output/ModelWriter.h"

namespace vandrel {
namespace {

using test::JoinLines;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const LocalTime kNoon{2012, 4, 30, 14, 5};

std::string SaveData(const std::string& name) { return ReadFile(std::string(VANDREL_TEST_DATA) + "/save/" + name); }

// The expected files are kept with LF line ends; the writer ends every line with CR LF.
std::string WithCrLf(const std::string& lfText) {
    std::string out;
    for (char c : lfText) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// Opens a file into slot n the way the Open command does: the open, then the rest-line step.
ModelSlot& Open(Workspace& ws, int n, const std::string& path) {
    EXPECT_EQ(OpenModel(ws, n, path, [] {}), OpenResult::Opened) << path;
    MakeRestLinesUnique(ws.File(n));
    return ws.File(n);
}

std::vector<std::string> RowTexts(const ModelSlot& slot) {
    std::vector<std::string> texts;
    for (const KeyframeRow& row : slot.Rows) texts.push_back(row.RowText);
    return texts;
}

std::vector<std::string> ValidLines(const ModelSlot& slot) {
    std::vector<std::string> lines;
    for (int64_t i = 1; i <= slot.LineCount; ++i) lines.emplace_back(LineAt(slot, i));
    return lines;
}

// A slot built by hand: lines 1.. as given, the rows as given, saved into `path`.
ModelSlot HandBuiltSlot(const std::string& path, const std::vector<std::string>& lines, int32_t bonesLine,
                        const std::vector<std::string>& rows) {
    ModelSlot slot;
    slot.Path = path;
    slot.SidecarPath = SidecarPathFor(path);
    std::vector<std::string> all{""};
    all.insert(all.end(), lines.begin(), lines.end());
    slot.ModelLines = Lines(all);
    slot.LineCount = static_cast<int32_t>(lines.size());
    slot.BonesLine = bonesLine;
    for (const std::string& row : rows) slot.Rows.push_back({row, false});
    return slot;
}

TEST(ModelWriter, WritesEachHeldLineByTheWriterRules) {
    // Key times become whole frames after the "Bones:" line (64-bit values, a
    // leading tab, "+" and "$" numbers included); a line that starts with blanks or
    // has no blank is only trimmed; lines up to "Bones:" are only trimmed; tabs stay.
    TempDir dir;
    const std::string path = dir / "written_lines.txt";
    WriteFile(path, SaveData("written_lines.txt"));
    Workspace ws;
    ModelSlot& slot = Open(ws, 1, path);

    EXPECT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
    EXPECT_EQ(ReadFile(path), WithCrLf(SaveData("written_lines.saved")));
    EXPECT_EQ(ModelFileText(slot), ReadFile(path));
}

TEST(ModelWriter, ChangesOnlyLinesThreeAndFourInMemory) {
    TempDir dir;
    const std::string path = dir / "written_lines.txt";
    WriteFile(path, SaveData("written_lines.txt"));
    Workspace ws;
    ModelSlot& slot = Open(ws, 1, path);
    std::vector<std::string> expected = ValidLines(slot);
    expected[2] = "Frames: 40";
    expected[3] = "Frame: 1";

    ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
    EXPECT_EQ(ValidLines(slot), expected);
    EXPECT_EQ(slot.ModelLines[15], "12.500000 0.100000 0.000000 1.000000");
    EXPECT_EQ(slot.ModelLines[23], "   ");
}

TEST(ModelWriter, FrameCountIsTheLargestKeyframe) {
    TempDir dir;
    const std::vector<std::string> header = {"// MilkShape 3D ASCII", "", "Frames: 100", "Frame: 9", "Bones: 0"};
    struct Case {
        std::vector<std::string> rows;
        std::string line3;
    };
    const Case cases[] = {
        {{"1", "40"}, "Frames: 40"},                 // fewer frames than the file said
        {{"20", "10"}, "Frames: 20"},                // the largest row, wherever it stands
        {{"5", "-3       jump"}, "Frames: 5"},      // a negative keyframe, its comment ignored
        {{}, "Frames: 100"},                         // an empty table keeps the line
        {{"-7", "0"}, "Frames: 100"},                // so does a table without a frame above 0
    };
    for (const Case& c : cases) {
        const std::string path = dir / "frames.txt";
        ModelSlot slot = HandBuiltSlot(path, header, 5, c.rows);
        ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
        EXPECT_EQ(ReadFile(path), JoinLines({header[0], "", c.line3, "Frame: 1", "Bones: 0"}))
            << "last row " << (c.rows.empty() ? "none" : c.rows.back());
    }

    // A model of two lines has no line 3 to set: nothing is added.
    const std::string shortPath = dir / "short.txt";
    ModelSlot shortSlot = HandBuiltSlot(shortPath, {"// MilkShape 3D ASCII", "Bones: 0"}, 2, {"12"});
    ASSERT_EQ(SaveModel(shortSlot, kNoon, 0), SaveResult::Saved);
    EXPECT_EQ(ReadFile(shortPath), JoinLines({"// MilkShape 3D ASCII", "Bones: 0"}));
}

TEST(ModelWriter, CurrentFrameLineIsSetToOneOnlyWhenItBeginsWithFrameColon) {
    TempDir dir;
    const std::pair<std::string, std::string> cases[] = {
        {"Frame: 17", "Frame: 1"},
        {"Frame:17", "Frame: 1"},
        {"Frame:", "Frame: 1"},
        {"Frames: 5", "Frames: 5"},
        {"frame: 5", "frame: 5"},
        {" Frame: 5 ", "Frame: 5"},  // does not begin with "Frame:", so only trimmed
    };
    for (const auto& [held, written] : cases) {
        const std::string path = dir / "frame.txt";
        ModelSlot slot = HandBuiltSlot(path, {"// MilkShape 3D ASCII", "", "Frames: 3", held, "Bones: 0"}, 5, {});
        ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
        EXPECT_EQ(ReadFile(path), JoinLines({"// MilkShape 3D ASCII", "", "Frames: 3", written, "Bones: 0"}))
            << "line 4 held as \"" << held << "\"";
    }
}

TEST(ModelWriter, WritesTheLoadedRestLinesOfBonesMadeUnique) {
    // Three bones whose rest lines are the same once the flags are cleared and the
    // outer blanks stripped: in memory they are nudged apart, on disk they are not.
    TempDir dir;
    const std::string path = dir / "twins.txt";
    WriteFile(path, SaveData("twins.txt"));
    Workspace ws;
    ModelSlot& slot = Open(ws, 1, path);
    ASSERT_TRUE(slot.RestLinesAdjusted);
    ASSERT_EQ(slot.BoneList.size(), 3u);
    const std::string rest = "0 0.100000 0.200000 0.300000 0.000000 0.000000 0.000000";
    EXPECT_EQ(slot.ModelLines[size_t(slot.BoneList[1].RestLine)], rest.substr(0, rest.size() - 1) + "1");
    EXPECT_EQ(slot.ModelLines[size_t(slot.BoneList[2].RestLine)], rest.substr(0, rest.size() - 1) + "2");

    ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
    EXPECT_EQ(ReadFile(path), WithCrLf(SaveData("twins.saved")));
    EXPECT_EQ(slot.ModelLines[size_t(slot.BoneList[2].RestLine)], rest.substr(0, rest.size() - 1) + "2");

    // Reopened, the saved file is nudged the same way and saves to the same bytes.
    const std::string saved = ReadFile(path);
    Workspace again;
    ModelSlot& reopened = Open(again, 2, path);
    ASSERT_EQ(reopened.BoneList, slot.BoneList);
    for (const BoneRecord& bone : slot.BoneList)
        EXPECT_EQ(reopened.ModelLines[size_t(bone.RestLine)], slot.ModelLines[size_t(bone.RestLine)]);
    ASSERT_EQ(SaveModel(reopened, kNoon, 0), SaveResult::Saved);
    EXPECT_EQ(ReadFile(path), saved);
}

TEST(ModelWriter, RestLinesBeyondTheLoadedOnesAreWrittenAsHeld) {
    // More bones than loaded rest lines (bones pasted after the open): once the
    // list runs out, the rest lines in memory are written.
    const std::vector<std::string> lines = {"// MilkShape 3D ASCII", "Bones: 3",
                                            "\"a\"", "\"\"", "0 1 1 1 0 0 1", "0", "0",
                                            "\"b\"", "\"a\"", "0 2 2 2 0 0 1", "0", "0",
                                            "\"c\"", "\"b\"", "0 3 3 3 0 0 1", "0", "0"};
    ModelSlot slot = HandBuiltSlot("unused.txt", lines, 2, {});
    slot.LoadedRestLines = {"0 1 1 1 0 0 0", "0 2 2 2 0 0 0"};
    slot.RestLinesAdjusted = true;
    std::vector<std::string> expected = lines;
    expected[4] = "0 1 1 1 0 0 0";
    expected[9] = "0 2 2 2 0 0 0";
    EXPECT_EQ(ModelFileText(slot), JoinLines(expected));

    // Without the flag the lines in memory are the loaded ones and are written.
    slot.RestLinesAdjusted = false;
    EXPECT_EQ(ModelFileText(slot), JoinLines(lines));
}

TEST(ModelWriter, OpenSaveReopenKeepsLinesTableAndComments) {
    // walk.txt has LF line ends, a flags field 8 and key times with decimals;
    // walk.csv was written by the German interface.
    TempDir dir;
    const std::string path = dir / "walk.txt";
    WriteFile(path, SaveData("walk.txt"));
    WriteFile(dir / "walk.csv", SaveData("walk.csv"));
    Workspace ws;
    ModelSlot& slot = Open(ws, 1, path);
    const std::vector<std::string> rows = RowTexts(slot);
    // The side file names every keyframe: those with an empty comment get the padding too.
    EXPECT_EQ(rows, (std::vector<std::string>{"1         ", "2         ", "5         walk", "6         walk",
                                              "9         ", "10       run"}));

    ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
    const std::string savedModel = ReadFile(path);
    const std::string savedSidecar = ReadFile(dir / "walk.csv");
    EXPECT_EQ(savedModel, WithCrLf(SaveData("walk.saved")));
    EXPECT_EQ(savedSidecar, WithCrLf(SaveData("walk.saved.csv")));

    // Reopened: the saved lines, the same table, the same comments.
    Workspace again;
    ModelSlot& reopened = Open(again, 1, path);
    const std::vector<std::string_view> split = SplitLines(savedModel);
    const std::vector<std::string> savedLines(split.begin() + 1, split.end());
    EXPECT_EQ(ValidLines(reopened), savedLines);
    EXPECT_EQ(RowTexts(reopened), rows);

    // Saved again: the same bytes, twice.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(SaveModel(reopened, kNoon, 0), SaveResult::Saved);
        EXPECT_EQ(ReadFile(path), savedModel);
        EXPECT_EQ(ReadFile(dir / "walk.csv"), savedSidecar);
    }
}

TEST(ModelWriter, AnyLineEndsAreWrittenAsCrLf) {
    // The same model with CR, CR LF or NUL line ends, with or without a final
    // terminator, saves to the same bytes.
    const std::string lf = SaveData("walk.txt");
    auto replaced = [&](const std::string& end) {
        std::string out;
        for (char c : lf) out += c == '\n' ? end : std::string(1, c);
        return out;
    };
    const std::string variants[] = {replaced("\r"), replaced("\r\n"), replaced(std::string(1, '\0')),
                                     lf.substr(0, lf.size() - 1)};
    const std::string expected = WithCrLf(SaveData("walk.saved"));
    for (const std::string& bytes : variants) {
        TempDir dir;
        const std::string path = dir / "walk.txt";
        WriteFile(path, bytes);
        Workspace ws;
        ModelSlot& slot = Open(ws, 1, path);
        ASSERT_EQ(SaveModel(slot, kNoon, 0), SaveResult::Saved);
        EXPECT_EQ(ReadFile(path), expected);
    }
}

TEST(ModelWriter, AModelThatCannotBeWrittenLeavesBothFilesAlone) {
    // The model's name belongs to a folder: it opens as an empty model, and
    // cannot be saved; its side file keeps its old content.
    TempDir dir;
    std::filesystem::create_directory(dir / "odd.txt");
    WriteFile(dir / "odd.csv", "old side file\r\n");
    Workspace ws;
    ModelSlot& slot = Open(ws, 1, dir / "odd.txt");
    EXPECT_EQ(SaveModel(slot, kNoon, 0), SaveResult::ModelNotWritten);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "odd.txt"));
    EXPECT_EQ(ReadFile(dir / "odd.csv"), "old side file\r\n");

    // A folder that does not exist: nothing is created, yet lines 3 and 4 keep
    // the values the save gave them.
    const std::vector<std::string> lines = {"// MilkShape 3D ASCII", "", "Frames: 100", "Frame: 7", "Bones: 0"};
    ModelSlot lost = HandBuiltSlot(dir / "missing/walk.txt", lines, 5, {"1", "24"});
    EXPECT_EQ(SaveModel(lost, kNoon, 0), SaveResult::ModelNotWritten);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    EXPECT_EQ(lost.ModelLines[3], "Frames: 24");
    EXPECT_EQ(lost.ModelLines[4], "Frame: 1");
}

}  // namespace
}  // namespace vandrel
