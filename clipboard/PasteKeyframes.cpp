// Pasting the Clipboard into a model: rows merged into the table, keys spliced
// into every bone whose rest line equals that of a Clipboard bone.
#include <algorithm>
#include <cstddef>
#include <map>
#include <unordered_map>

#include "clipboard/Clipboard.h"
#include "model/KeyLines.h"
#include "clipboard/SpliceKeys.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"

namespace vandrel {

void GrowCapacityForPaste(Workspace& ws) {
    const int64_t lc1 = ws.File(1).LineCount, bl1 = ws.File(1).BonesLine;
    const int64_t lc2 = ws.File(2).LineCount, bl2 = ws.File(2).BonesLine;
    const int64_t need = std::max(lc1, lc2) + std::max(lc1 - bl1, lc2 - bl2);
    // Only the shared size is raised: the arrays grow as lines are inserted.
    // Padding all three arrays to the estimate would cost more than the paste.
    if (need > ws.LineCapacity - 10) ws.LineCapacity = need + 10;
}

namespace {

bool IsAscending(const std::vector<int32_t>& frames) { return std::is_sorted(frames.begin(), frames.end()); }

// Row by row as the paste describes it: from the last row towards the first,
// the first row whose frame is not above the new one takes its text or gets it
// inserted after it.
void MergeRowsOneByOne(KeyframeTable& rows, const KeyframeTable& clipRows) {
    for (const KeyframeRow& clipRow : clipRows) {
        const int32_t f = FrameNumberOfRow(clipRow);
        size_t k = rows.size();
        while (k > 0 && FrameNumberOfRow(rows[k - 1]) > f) --k;
        if (k > 0 && FrameNumberOfRow(rows[k - 1]) == f) {
            rows[k - 1].RowText = clipRow.RowText;
        } else {
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(k), KeyframeRow{clipRow.RowText, false});
        }
    }
}

}  // namespace

void MergeClipboardRows(Workspace& ws, int n) {
    KeyframeTable& rows = ws.File(n).Rows;
    std::vector<int32_t> frames;
    frames.reserve(rows.size());
    for (const KeyframeRow& row : rows) frames.push_back(FrameNumberOfRow(row));
    if (!IsAscending(frames)) {
        MergeRowsOneByOne(rows, ws.Clip.Rows);
        return;
    }
    // In an ascending table every Clipboard row of a frame lands on the same row,
    // which stays ascending: the last Clipboard row of each frame replaces the
    // text of the table's last row of that frame, or is inserted unselected
    // where its frame belongs. So the whole merge is one pass.
    std::map<int32_t, const std::string*> lastText;
    for (const KeyframeRow& clipRow : ws.Clip.Rows) lastText[FrameNumberOfRow(clipRow)] = &clipRow.RowText;
    KeyframeTable merged;
    merged.reserve(rows.size() + lastText.size());
    size_t i = 0;
    for (const auto& [frame, text] : lastText) {
        while (i < rows.size() && frames[i] < frame) merged.push_back(std::move(rows[i++]));
        if (i < rows.size() && frames[i] == frame) {
            while (i + 1 < rows.size() && frames[i + 1] == frame) merged.push_back(std::move(rows[i++]));
            merged.push_back(std::move(rows[i++]));
            merged.back().RowText = *text;
        } else {
            merged.push_back(KeyframeRow{*text, false});
        }
    }
    while (i < rows.size()) merged.push_back(std::move(rows[i++]));
    rows = std::move(merged);
}

void SpliceClipboardKeys(Workspace& ws, int n) {
    ModelSlot& file = ws.File(n);
    if (!SpliceKeysByBone(ws.Clip, file)) SpliceKeysLineByLine(ws.Clip, file);
}

void PasteFromClipboard(Workspace& ws, int n) {
    GrowCapacityForPaste(ws);
    MergeClipboardRows(ws, n);
    RebuildBoneList(ws.File(n));
    RebuildBoneList(ws.Clip);
    SpliceClipboardKeys(ws, n);
    RebuildBoneList(ws.File(n));
}

}  // namespace vandrel
