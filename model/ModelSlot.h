#pragma once
// A model's data: its text lines with a small index of line positions, and the
// slot that holds one open model. No structured model is ever built.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Lines.h"

namespace vandrel {

// Four line indexes of one bone.
struct BoneRecord {
    int32_t NameLine = 0;
    int32_t RestLine = 0;
    int32_t PositionKeyCountLine = 0;
    int32_t RotationKeyCountLine = 0;
    bool operator==(const BoneRecord&) const = default;
};

// The index of a line set: how many lines are valid, and where the bones are.
struct LineIndex {
    int32_t LineCount = 0;
    int32_t BonesLine = 0;
    std::vector<BoneRecord> BoneList;
    bool operator==(const LineIndex&) const = default;
};

// A 1-based array of raw lines (element 0 is always empty) with its index.
struct LineSet : LineIndex {
    Lines ModelLines;
};

// Line i of a set; any index outside 1..LineCount reads as an empty line.
inline std::string_view LineAt(const LineSet& set, int64_t i) {
    if (i < 1 || i > set.LineCount || i >= static_cast<int64_t>(set.ModelLines.size())) return {};
    return set.ModelLines[static_cast<size_t>(i)];
}

// Whether two sets hold the same valid lines: as many, with the same texts.
inline bool SameValidLines(const LineSet& a, const LineSet& b) {
    if (a.LineCount != b.LineCount) return false;
    if (a.ModelLines.SharesViewsWith(b.ModelLines)) return true;
    for (int64_t i = 1; i <= a.LineCount; ++i)
        if (!SameLineText(LineAt(a, i), LineAt(b, i))) return false;
    return true;
}

// One row of a keyframe list: the keyframe number, optionally padding and a comment.
struct KeyframeRow {
    std::string RowText;
    bool Selected = false;
    bool operator==(const KeyframeRow&) const = default;
};
using KeyframeTable = std::vector<KeyframeRow>;

// Section positions found while reading a model; 0 where a section is missing.
struct SectionLines {
    int64_t Meshes = 0;
    int64_t Materials = 0;
    int64_t Bones = 0;
};

// The statistics lines of a model as it was opened. They are worked out from the
// file's text when first asked for, so that a script that never shows them does
// not pay for counting the vertex positions of a large model; copies share them.
class OpenedStatistics {
public:
    OpenedStatistics() = default;  // an empty slot: no lines
    explicit OpenedStatistics(std::vector<std::string> lines);
    // The text as read (null: a file that could not be read), where its sections
    // are, and the statistics lines of its bones.
    OpenedStatistics(SharedText text, SectionLines sections, std::vector<std::string> boneLines);

    const std::vector<std::string>& All() const;
    bool operator==(const OpenedStatistics& other) const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Everything a slot holds besides its lines and their index. Undo steps keep and
// compare it as a whole, so that a new field cannot be left out.
struct SlotFields {
    std::string Path;
    std::string DialogDefault;
    std::string SidecarPath;
    KeyframeTable Rows;
    std::vector<std::string> LoadedRestLines;
    bool RestLinesAdjusted = false;
    OpenedStatistics ModelStatistics;  // last: comparing may have to work them out
    bool operator==(const SlotFields&) const = default;
};

// One loaded model, File 1 or File 2.
struct ModelSlot : LineSet, SlotFields {};

}  // namespace vandrel
