#pragma once
// The program's data: two model slots and the Clipboard, each a set of text lines
// with a small index of line positions. No structured model is ever built.
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

// A 1-based array of raw lines (element 0 is always empty) with its index.
struct LineSet {
    Lines ModelLines;
    int32_t LineCount = 0;
    int32_t BonesLine = 0;
    std::vector<BoneRecord> BoneList;
};

// Line i of a set; any index outside 1..LineCount reads as an empty line.
inline std::string_view LineAt(const LineSet& set, int64_t i) {
    if (i < 1 || i > set.LineCount || i >= static_cast<int64_t>(set.ModelLines.size())) return {};
    return set.ModelLines[static_cast<size_t>(i)];
}

// One row of a keyframe list: the keyframe number, optionally padding and a comment.
struct KeyframeRow {
    std::string RowText;
    bool Selected = false;
};
using KeyframeTable = std::vector<KeyframeRow>;

// One loaded model, File 1 or File 2.
struct ModelSlot : LineSet {
    std::string Path;
    std::string DialogDefault;
    std::string SidecarPath;
    KeyframeTable Rows;
    std::vector<std::string> ModelStatistics;
    std::vector<std::string> LoadedRestLines;
    bool RestLinesAdjusted = false;
};

// The program's own keyframe store between the two files.
struct Clipboard : LineSet {
    int32_t ClipboardSource = 0;
    KeyframeTable Rows;
};

// Everything an operation on models works on; the shell owns one.
struct Workspace {
    ModelSlot Files[2];
    Clipboard Clip;
    // The line count the arrays are sized for: it only grows. Line arrays hold
    // their valid lines only; lines past LineCount read as empty lines anyway.
    int64_t LineCapacity = 0;
    int32_t CompatibleCount = 0;

    ModelSlot& File(int n) { return Files[n - 1]; }
    const ModelSlot& File(int n) const { return Files[n - 1]; }
};

}  // namespace vandrel
