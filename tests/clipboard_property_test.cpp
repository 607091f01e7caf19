// Properties of Cut, Copy and Paste on many generated models, and the fast
// one-pass operations checked against the slow line-moving steps they replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ModelGenerator.h"
#include "TestSupport.h"
#include "clipboard/Clipboard.h"
#include "model/KeyLines.h"
#include "clipboard/SpliceKeys.h"
#include "model/KeyframeTable.h"
#include "model/Sections.h"

namespace vandrel {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

constexpr unsigned kSeeds = 150;

int Pick(std::mt19937& rng, int low, int high) { return low + int(rng() % unsigned(high - low + 1)); }
bool Chance(std::mt19937& rng, int percent) { return Pick(rng, 0, 99) < percent; }

// ---------------------------------------------------------------------------
// The operations as the program describes them, one line at a time: blanked
// lines are closed up by moving every later line, counts are written from the
// bottom up, rows are merged one at a time.

int32_t Frame(std::string_view line) { return FrameNumberOfLine(line); }

// Line i of the set becomes a copy of `text`; the array grows to hold it.
void SetLine(LineSet& set, int64_t i, std::string_view text) {
    std::vector<std::string_view>& views = set.ModelLines.Views();
    if (views.size() <= size_t(i)) views.resize(size_t(i) + 1);
    set.ModelLines.Set(size_t(i), text);
}

void RecountSlowly(LineSet& set, int64_t top) {
    int64_t counter = 0;
    for (int64_t i = top; i >= set.BonesLine && i >= 0; --i) {
        if (IsKeyLine(LineAt(set, i))) {
            ++counter;
        } else if (LineAt(set, i) == "?") {
            SetLine(set, i, std::to_string(counter));
            counter = 0;
        }
    }
}

void RemoveKeyframeLinesSlowly(ModelSlot& file, const KeyframeTable& taken) {
    LineRange section = BonesSection(file);
    if (section.Empty()) return;
    for (const BoneRecord& bone : file.BoneList)
        for (int64_t count : {int64_t{bone.PositionKeyCountLine}, int64_t{bone.RotationKeyCountLine}})
            if (section.Contains(count)) SetLine(file, count, "?");
    for (const KeyframeRow& row : taken) {
        const int32_t k = FrameNumberOfRow(row);
        if (k == 0) continue;  // a row of frame 0 matches no line
        for (int64_t i = section.first; i <= section.last; ++i)
            if (IsKeyLine(LineAt(file, i)) && Frame(LineAt(file, i)) == k) SetLine(file, i, "");
    }
    int64_t i = section.first;
    while (i <= section.last) {
        if (LineAt(file, i).empty()) {
            std::vector<std::string_view>& views = file.ModelLines.Views();
            for (int64_t j = i; j < file.LineCount; ++j) views[size_t(j)] = views[size_t(j + 1)];
            SetLine(file, file.LineCount, "");
            --file.LineCount;
            --section.last;
        } else {
            ++i;
        }
    }
    RecountSlowly(file, section.last);
}

// The Clipboard's lines from the source's lines as they were before the take.
void ReduceSlowly(Clipboard& clip, const LineSet& source) {
    std::vector<int32_t> frames;
    for (const KeyframeRow& row : clip.Rows) frames.push_back(FrameNumberOfRow(row));
    LineSet reduced;
    reduced.BonesLine = source.BonesLine;
    int64_t w = source.BonesLine;
    const LineRange section = BonesSection(source);
    for (int64_t i = section.first; i <= section.last; ++i) {
        const std::string line(LineAt(source, i));
        const int32_t v = Frame(line);
        if (IsKeyLine(line)) {
            for (int32_t k : frames)
                if (v != 0 && v == k) SetLine(reduced, w++, line);
        } else if (v != 0) {
            SetLine(reduced, w++, "?");
        } else {
            SetLine(reduced, w++, line);
        }
    }
    reduced.LineCount = Int32(w);
    SetLine(reduced, w, "");
    RecountSlowly(reduced, w - 1);
    clip.ModelLines = reduced.ModelLines;
    clip.LineCount = reduced.LineCount;
    clip.BonesLine = source.BonesLine;
}

// ---------------------------------------------------------------------------
// Models with everything a bones section can hold: keys out of order, several
// keys of one frame, fractions, negative times, times below 1, count lines that
// lie, lines that are no keys at all, text after the last bone.

std::string WildKeyLine(std::mt19937& rng, int bone, char kind) {
    const int r = Pick(rng, 0, 99);
    if (r < 70) return KeyLine(Pick(rng, 1, 12), bone, kind, Chance(rng, 20) ? 500000 : 0, Pick(rng, 0, 9));
    if (r < 75) return KeyLine(Pick(rng, -2, -1), bone, kind);
    if (r < 80) return "0.500000 1.000000 2.000000 3.000000";
    if (r < 84) return "";
    if (r < 88) return "7";
    if (r < 92) return "12.250000";
    if (r < 96) return "  4.000000 0.5 0.5 0.5";
    return "(x) y";  // no key, and no section header either
}

Lines WildKeyList(std::mt19937& rng, int bone, char kind) {
    Lines keys;
    const int n = Pick(rng, 0, 6);
    for (int i = 0; i < n; ++i) keys.push_back(WildKeyLine(rng, bone, kind));
    if (Chance(rng, 40)) {
        std::stable_sort(keys.begin(), keys.end(),
                         [](const std::string& a, const std::string& b) { return Frame(a) < Frame(b); });
        if (Chance(rng, 30)) std::reverse(keys.begin(), keys.end());
    }
    return keys;
}

const Lines kRestPool = {"0 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000",
                         "0 0.000000 2.000000 0.000000 0.000000 0.000000 0.000000",
                         "0 1.000000 0.000000 0.000000 0.000000 0.500000 0.000000",
                         "0 0.000000 1.000000 0.000000 0.000000 0.000000 0.000000 "};

// A bones section from "Bones:" on. With `honest` every count tells the number
// of lines that follow it.
Lines WildBonesSection(std::mt19937& rng, bool honest, int maxBones = 4) {
    const int bones = Pick(rng, 0, maxBones);
    Lines lines = {"Bones: " + std::to_string(bones)};
    if (Chance(rng, 20)) lines.emplace_back();
    auto count = [&](size_t real) {
        if (honest || Chance(rng, 70)) return std::to_string(real);
        const int r = Pick(rng, 0, 3);
        if (r == 0) return std::to_string(real + 1);
        if (r == 1) return real > 0 ? std::to_string(real - 1) : std::string("-1");
        if (r == 2) return std::string("x");
        return "0" + std::to_string(real);
    };
    for (int b = 0; b < bones; ++b) {
        lines.push_back("\"bone" + std::to_string(b) + "\"");
        lines.push_back(b == 0 ? "\"\"" : "\"bone" + std::to_string(b - 1) + "\"");
        lines.push_back(kRestPool[rng() % kRestPool.size()]);
        for (char kind : {'p', 'r'}) {
            const Lines keys = WildKeyList(rng, b, kind);
            lines.push_back(count(keys.size()));
            lines.insert(lines.end(), keys.begin(), keys.end());
        }
    }
    if (Chance(rng, 30)) lines.insert(lines.end(), {"GroupComments: 0", "", "3 notes", "2.5 more"});
    return lines;
}

Lines WildModel(std::mt19937& rng, bool honest) {
    Lines lines = GenModel().Header;
    if (Chance(rng, 10)) return lines;  // no "Bones:" line at all
    const Lines section = WildBonesSection(rng, honest);
    lines.insert(lines.end(), section.begin(), section.end());
    return lines;
}

// Random rows for a table: taken rows may repeat a frame, be 0 or negative.
KeyframeTable WildRows(std::mt19937& rng) {
    KeyframeTable rows;
    const int n = Pick(rng, 0, 5);
    for (int i = 0; i < n; ++i) {
        const int frame = Chance(rng, 10) ? Pick(rng, -2, 0) : Pick(rng, 1, 12);
        rows.push_back({Chance(rng, 30) ? RowTextFor(std::to_string(frame), "note " + std::to_string(i))
                                        : std::to_string(frame),
                        Chance(rng, 60)});
    }
    return rows;
}

// A line set holding `section` from line `bonesLine` on, with its bone list.
void FillLineSet(LineSet& set, int bonesLine, const Lines& section, bool emptyLineAfter) {
    Lines lines(size_t(bonesLine), "");
    lines.insert(lines.end(), section.begin(), section.end());
    if (emptyLineAfter) lines.emplace_back();
    set.ModelLines = vandrel::Lines(lines);
    set.LineCount = Int32(lines.size()) - 1;
    set.BonesLine = bonesLine;
    RebuildBoneList(set);
}

// ---------------------------------------------------------------------------

class ClipboardProperty : public ::testing::Test {
protected:
    void Open(int n, const Lines& lines) { test::OpenBytes(ws, n, test::FileText(lines)); }

    Workspace ws;
};

TEST_F(ClipboardProperty, CutAndCopyGiveTheLinesOfTheLineMovingSteps) {
    for (unsigned seed = 0; seed < kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        Open(1, WildModel(rng, Chance(rng, 50)));
        KeyframeTable& rows = ws.File(1).Rows;
        const KeyframeTable extra = WildRows(rng);
        rows.insert(rows.begin() + std::ptrdiff_t(rng() % (rows.size() + 1)), extra.begin(), extra.end());
        for (KeyframeRow& row : rows) row.Selected = Chance(rng, 50);
        const bool cut = Chance(rng, 60);

        const ModelSlot source = ws.File(1);
        KeyframeTable taken;
        for (const KeyframeRow& row : source.Rows)
            if (row.Selected) taken.push_back({row.RowText, false});
        ModelSlot file = source;
        if (cut) {
            RemoveKeyframeLinesSlowly(file, taken);
            RebuildBoneList(file);
            std::erase_if(file.Rows, [](const KeyframeRow& row) { return row.Selected; });
        }
        Clipboard clip;
        clip.Rows = taken;
        ReduceSlowly(clip, source);
        RebuildBoneList(clip);

        if (cut) CutToClipboard(ws, 1);
        else CopyToClipboard(ws, 1);

        EXPECT_EQ(ValidLines(ws.File(1)), ValidLines(file));
        EXPECT_EQ(ws.File(1).BoneList, file.BoneList);
        EXPECT_EQ(RowTexts(ws.File(1).Rows), RowTexts(file.Rows));
        EXPECT_EQ(SelectedRows(ws.File(1).Rows), SelectedRows(file.Rows));
        EXPECT_EQ(ValidLines(ws.Clip), ValidLines(clip));
        EXPECT_EQ(ws.Clip.LineCount, clip.LineCount);
        EXPECT_EQ(ws.Clip.BonesLine, source.BonesLine);
        EXPECT_EQ(ws.Clip.BoneList, clip.BoneList);
        EXPECT_EQ(RowTexts(ws.Clip.Rows), RowTexts(taken));
        EXPECT_EQ(ws.Clip.ClipboardSource, 1);
        for (size_t i = size_t(ws.File(1).LineCount) + 1; i < ws.File(1).ModelLines.size(); ++i)
            ASSERT_EQ(ws.File(1).ModelLines[i], "") << "element " << i << " above the last line";
    }
}

TEST_F(ClipboardProperty, CutThenPasteBackRestoresKeysAndTable) {
    for (unsigned seed = 0; seed < kSeeds; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed + 3000);
        GenModel model = test::RandomAnimatedModel(rng, test::Skeleton(Pick(rng, 1, 6)));
        Open(1, test::FileLines(model));
        // The table as the first bone's keys give it (the empty lines after
        // "Bones:" would hide it from the open), some rows with comments.
        KeyframeTable& rows = ws.File(1).Rows;
        rows.clear();
        for (const std::string& key : model.Bones[0].PositionKeys) {
            const std::string number = std::to_string(IntegerValue(key));
            rows.push_back({Chance(rng, 20) ? RowTextFor(number, "take " + number) : number, Chance(rng, 40)});
        }
        const Lines table = RowTexts(rows);

        CutToClipboard(ws, 1);
        EXPECT_TRUE(SelectedRows(rows).empty());
        PasteFromClipboard(ws, 1);

        model.EmptyLinesAfterBonesLine = 0;
        EXPECT_EQ(ValidLines(ws.File(1)), test::FileLines(model));
        EXPECT_EQ(RowTexts(ws.File(1).Rows), table);
        EXPECT_TRUE(SelectedRows(ws.File(1).Rows).empty());
    }
}

TEST(ClipboardMerge, RowsMergeAsOneRowAtATimeFromTheEnd) {
    for (unsigned seed = 0; seed < 2000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed + 6000);
        Workspace ws;
        KeyframeTable& rows = ws.File(2).Rows;
        for (int i = Pick(rng, 0, 8); i > 0; --i) {
            const std::string number = std::to_string(Pick(rng, -1, 12));
            rows.push_back({Chance(rng, 30) ? RowTextFor(number, "r" + std::to_string(i)) : number, Chance(rng, 40)});
        }
        if (Chance(rng, 60))
            std::stable_sort(rows.begin(), rows.end(), [](const KeyframeRow& a, const KeyframeRow& b) {
                return FrameNumberOfRow(a) < FrameNumberOfRow(b);
            });
        ws.Clip.Rows = WildRows(rng);
        for (KeyframeRow& row : ws.Clip.Rows) row.Selected = false;
        KeyframeTable expected = rows;
        MergeRowsOneByOne(expected, ws.Clip.Rows);
        MergeClipboardRows(ws, 2);
        EXPECT_EQ(RowTexts(rows), RowTexts(expected));
        EXPECT_EQ(SelectedRows(rows), SelectedRows(expected));
    }
}

TEST(ClipboardSplice, BoneByBoneGivesTheLinesOfTheLineByLineSplice) {
    int compared = 0;
    for (unsigned seed = 0; seed < 3000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed + 5000);
        const bool honest = Chance(rng, 60);

        Clipboard clip;
        clip.Rows = WildRows(rng);
        for (int extra = Pick(rng, 0, 3); extra > 0; --extra)
            clip.Rows.push_back({std::to_string(Pick(rng, 1, 12)), false});
        if (Chance(rng, 30)) std::reverse(clip.Rows.begin(), clip.Rows.end());
        FillLineSet(clip, Pick(rng, 1, 12), WildBonesSection(rng, true, 5), true);

        ModelSlot file;
        FillLineSet(file, 3, WildBonesSection(rng, honest, 5), false);
        file.ModelLines.Set(1, "// MilkShape 3D ASCII");
        file.ModelLines.Set(2, "Frames: 30");

        ModelSlot byBone = file, lineByLine = file;
        const bool placed = SpliceKeysByBone(clip, byBone);
        SpliceKeysLineByLine(clip, lineByLine);
        if (!placed) {
            EXPECT_FALSE(honest) << "a model whose counts tell its lines was refused";
            EXPECT_EQ(ValidLines(byBone), ValidLines(file));
            EXPECT_EQ(byBone.LineCount, file.LineCount);
            continue;
        }
        ++compared;
        EXPECT_EQ(ValidLines(byBone), ValidLines(lineByLine));
        EXPECT_EQ(byBone.LineCount, lineByLine.LineCount);
    }
    std::printf("%d of 3000 splices compared\n", compared);
    EXPECT_GT(compared, 1500);
}

}  // namespace
}  // namespace vandrel
