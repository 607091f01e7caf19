// Taking keyframes into the Clipboard: Cut and Copy.
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "clipboard/Clipboard.h"
#include "model/KeyLines.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/Sections.h"

namespace vandrel {

namespace {

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
int64_t RepeatedLineCount(const Lines& source, const FrameCounts& rowsOfFrame, int64_t first, int64_t last) {
    int64_t count = first + 1;
    for (int64_t i = first; i <= last; ++i) {
        const std::string_view line = source[size_t(i)];
        count += IsKeyLine(line) ? rowsOfFrame.Of(FrameNumberOfLine(line)) : 1;
    }
    return count;
}

// The frame numbers of the rows, once for each row; rows of frame 0 take nothing.
std::vector<int32_t> TakenFrames(const KeyframeTable& rows) {
    std::vector<int32_t> frames;
    for (const KeyframeRow& row : rows)
        if (const int32_t frame = FrameNumberOfRow(row); frame != 0) frames.push_back(frame);
    return frames;
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
    const LineRange section = BonesSection(file);
    if (section.Empty()) return;
    std::vector<std::string_view>& lines = file.ModelLines.Views();

    for (const BoneRecord& bone : file.BoneList)
        for (int64_t countLine : {bone.PositionKeyCountLine, bone.RotationKeyCountLine})
            if (section.Contains(countLine)) lines[size_t(countLine)] = kCountMark;

    // A row of frame 0 takes nothing, and no key of frame 0 is ever taken.
    const FrameCounts frames(TakenFrames(ws.Clip.Rows));

    // Blank the keys of the taken frames and close every gap of the section in
    // one pass. The keys are counted in the same pass: each count mark gets the
    // number of key lines between it and the next mark (or the section's end),
    // which is what counting upwards from the section's last line gives.
    int64_t write = section.first;
    int64_t mark = -1, counter = 0;
    auto putCount = [&] {
        if (mark >= 0) file.ModelLines.Set(size_t(mark), DecimalText(counter));
    };
    for (int64_t i = section.first; i <= section.last; ++i) {
        const std::string_view line = lines[size_t(i)];
        const bool key = IsKeyLine(line);
        if (key && frames.Of(FrameNumberOfLine(line)) > 0) continue;
        if (line.empty()) continue;
        lines[size_t(write)] = line;
        if (key) {
            ++counter;
        } else if (line == kCountMark) {
            putCount();
            mark = write;
            counter = 0;
        }
        ++write;
    }
    putCount();
    // The sections after the bones move up, unchanged.
    for (int64_t i = section.last + 1; i <= file.LineCount; ++i) lines[size_t(write++)] = lines[size_t(i)];
    lines.resize(size_t(write));
    file.LineCount = Int32(write - 1);
}

// The Clipboard's copy of the lines becomes its bones section reduced to the taken
// rows: lines before "Bones:" are empty; every key line of a taken frame is
// written once for each row of its frame and the other key lines are dropped (a
// key of frame 0 is never taken), every other line with a frame number (a count
// line) becomes a count mark, and the rest is kept. The element after the last
// line is the empty line that ends them; then the marks are counted.
void ReduceClipboardModel(Workspace& ws) {
    Clipboard& clip = ws.Clip;
    const LineRange section = BonesSection(clip);
    const int64_t first = section.first, last = section.last;

    std::vector<int32_t> taken = TakenFrames(clip.Rows);
    std::vector<int32_t> once = taken;
    std::sort(once.begin(), once.end());
    once.erase(std::unique(once.begin(), once.end()), once.end());
    int64_t most = first + std::max<int64_t>(last - first + 1, 0) + 1;  // no repeats: no line gives two
    if (once.size() < taken.size()) {
        const int64_t repeated = RepeatedLineCount(clip.ModelLines, FrameCounts(taken), first, last);
        if (repeated <= RepeatBudget(first, last)) most = repeated;
        else taken = once;
    }
    const FrameCounts rowsOfFrame(taken);

    Lines reduced;
    reduced.Keep(clip.ModelLines);
    std::vector<std::string_view>& lines = reduced.Views();
    lines.clear();
    lines.reserve(size_t(most));
    lines.resize(size_t(first));
    for (int64_t i = first; i <= last; ++i) {
        const std::string_view line = clip.ModelLines[size_t(i)];
        if (IsKeyLine(line)) {
            lines.insert(lines.end(), size_t(rowsOfFrame.Of(FrameNumberOfLine(line))), line);
        } else if (FrameNumberOfLine(line) != 0) {
            lines.push_back(kCountMark);
        } else {
            lines.push_back(line);
        }
    }
    lines.emplace_back();
    clip.LineCount = Int32(int64_t(lines.size()) - 1);
    clip.ModelLines = std::move(reduced);
    RecountKeys(clip, int64_t{clip.LineCount} - 1);
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
