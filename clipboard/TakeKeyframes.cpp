// Taking keyframes into the Clipboard: Cut and Copy.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "clipboard/Clipboard.h"
#include "clipboard/KeyLines.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"

namespace vandrel {

namespace {

// Sizes a freshly built line array as the shared capacity asks, never below its lines.
void FitToCapacity(std::vector<std::string>& lines, const Workspace& ws) {
    if (lines.size() < static_cast<size_t>(ws.LineCapacity) + 1) lines.resize(static_cast<size_t>(ws.LineCapacity) + 1);
}

// A key line of a frame taken n times is written n times: rows × lines in all.
// A first bone with many keys of one frame gives many rows of it and could make
// that grow without bound, so the repeats are kept only while the Clipboard stays
// within this many lines: 16 times the bones section it comes from, and never
// less than a million lines. Past it every key line of a taken frame is written
// once. Nothing else changes: an edit renumbers all lines of a frame alike, and a
// paste places one line per frame and bone, the first of its frame.
int64_t RepeatBudget(int64_t first, int64_t last) {
    return std::max<int64_t>(int64_t{1} << 20, 16 * (last - first + 1));
}

// The number of lines the Clipboard gets when repeated frames are honoured.
int64_t RepeatedLineCount(const Clipboard& clip, const std::unordered_map<int32_t, int>& rowsOfFrame,
                          int64_t first, int64_t last) {
    int64_t count = first + 1;
    for (int64_t i = first; i <= last; ++i) {
        const std::string& line = clip.ModelLines[size_t(i)];
        const int32_t v = FrameNumberOfLine(line);
        if (v == 0 || !ContainsPoint(line)) ++count;
        else if (auto found = rowsOfFrame.find(v); found != rowsOfFrame.end()) count += found->second;
    }
    return count;
}

}  // namespace

void TakeRows(Workspace& ws, int n, bool removing) {
    KeyframeTable& rows = ws.File(n).Rows;
    ws.Clip.Rows.clear();
    for (const KeyframeRow& row : rows)
        if (row.Selected) ws.Clip.Rows.push_back({row.RowText, false});
    if (removing) std::erase_if(rows, [](const KeyframeRow& row) { return row.Selected; });
}

void CopyModelToClipboard(Workspace& ws, int n) {
    const ModelSlot& file = ws.File(n);
    ws.Clip.ClipboardSource = n;
    ws.Clip.LineCount = file.LineCount;
    ws.Clip.BonesLine = file.BonesLine;
    ws.Clip.BoneList = file.BoneList;
    ws.Clip.ModelLines = file.ModelLines;
}

void RemoveKeyframeLines(Workspace& ws, int n) {
    ModelSlot& file = ws.File(n);
    const int64_t first = std::max<int32_t>(file.BonesLine, 1);
    const int64_t last = file.LineCount;
    auto inSection = [&](int64_t i) { return i >= first && i <= last; };

    for (const BoneRecord& bone : file.BoneList) {
        if (inSection(bone.PositionKeyCountLine)) file.ModelLines[size_t(bone.PositionKeyCountLine)] = kCountMark;
        if (inSection(bone.RotationKeyCountLine)) file.ModelLines[size_t(bone.RotationKeyCountLine)] = kCountMark;
    }

    // A row of frame 0 matches no line: only key lines have a frame number.
    std::unordered_set<int32_t> frames;
    for (const KeyframeRow& row : ws.Clip.Rows)
        if (int32_t k = FrameNumberOfRow(row); k != 0) frames.insert(k);

    // Blank the keys of the taken frames and close every gap in one pass.
    int64_t write = first;
    for (int64_t i = first; i <= last; ++i) {
        std::string& line = file.ModelLines[size_t(i)];
        if (frames.count(FrameNumberOfLine(line))) continue;
        if (line.empty()) continue;
        if (write != i) file.ModelLines[size_t(write)] = std::move(line);
        ++write;
    }
    for (int64_t i = write; i <= last; ++i) file.ModelLines[size_t(i)].clear();
    file.LineCount = Int32(write - 1);
    RecountKeys(file, file.LineCount);
}

void ReduceClipboardModel(Workspace& ws) {
    Clipboard& clip = ws.Clip;
    std::unordered_map<int32_t, int> rowsOfFrame;
    bool frameTakenTwice = false;
    for (const KeyframeRow& row : clip.Rows) frameTakenTwice |= ++rowsOfFrame[FrameNumberOfRow(row)] > 1;

    // Lines before BonesLine stay empty; line i of the bones section is written
    // at the next position from BonesLine on.
    const int64_t first = std::max<int32_t>(clip.BonesLine, 0);
    const int64_t last = std::min<int64_t>(clip.LineCount, int64_t(clip.ModelLines.size()) - 1);
    if (frameTakenTwice && RepeatedLineCount(clip, rowsOfFrame, first, last) > RepeatBudget(first, last))
        frameTakenTwice = false;
    int64_t end;  // the empty line after the content
    if (!frameTakenTwice) {
        // Every line gives at most one line, so the section closes up in place.
        for (int64_t i = 1; i < first && i <= last; ++i) clip.ModelLines[size_t(i)].clear();
        int64_t w = first;
        for (int64_t i = first; i <= last; ++i) {
            std::string& line = clip.ModelLines[size_t(i)];
            const int32_t v = FrameNumberOfLine(line);
            if (v != 0 && ContainsPoint(line) && !rowsOfFrame.count(v)) continue;
            if (v != 0 && !ContainsPoint(line)) line = kCountMark;
            if (w != i) clip.ModelLines[size_t(w)] = std::move(line);
            ++w;
        }
        end = w;
        for (size_t i = size_t(end); i < clip.ModelLines.size(); ++i) clip.ModelLines[i].clear();
        if (clip.ModelLines.size() <= size_t(end)) clip.ModelLines.resize(size_t(end) + 1);
    } else {
        // A key line of a frame taken n times is written n times.
        std::vector<std::string> lines(static_cast<size_t>(first));
        lines.reserve(clip.ModelLines.size());
        for (int64_t i = first; i <= last; ++i) {
            std::string& line = clip.ModelLines[size_t(i)];
            const int32_t v = FrameNumberOfLine(line);
            if (v == 0) {
                lines.push_back(std::move(line));
            } else if (!ContainsPoint(line)) {
                lines.emplace_back(kCountMark);
            } else if (auto found = rowsOfFrame.find(v); found != rowsOfFrame.end()) {
                for (int copies = 0; copies < found->second; ++copies) lines.push_back(line);
            }
        }
        end = static_cast<int64_t>(lines.size());
        lines.emplace_back();
        clip.ModelLines = std::move(lines);
    }
    clip.LineCount = Int32(end);
    RecountKeys(clip, end - 1);
    FitToCapacity(clip.ModelLines, ws);
}

void CutToClipboard(Workspace& ws, int n) {
    TakeRows(ws, n, true);
    CopyModelToClipboard(ws, n);
    RemoveKeyframeLines(ws, n);
    RebuildBoneList(ws.File(n));
    ReduceClipboardModel(ws);
    RebuildBoneList(ws.Clip);
}

void CopyToClipboard(Workspace& ws, int n) {
    TakeRows(ws, n, false);
    CopyModelToClipboard(ws, n);
    ReduceClipboardModel(ws);
    RebuildBoneList(ws.Clip);
}

}  // namespace vandrel
