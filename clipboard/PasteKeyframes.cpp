// Pasting the Clipboard into a model: rows merged into the table, keys spliced
// into every bone whose rest line equals that of a Clipboard bone.
#include <algorithm>
#include <cstddef>
#include <map>
#include <unordered_map>

#include "clipboard/Clipboard.h"
#include "clipboard/KeyLines.h"
#include "clipboard/SpliceKeys.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"

namespace vandrel {

void GrowCapacityForPaste(Workspace& ws) {
    const int64_t lc1 = ws.File(1).LineCount, bl1 = ws.File(1).BonesLine;
    const int64_t lc2 = ws.File(2).LineCount, bl2 = ws.File(2).BonesLine;
    const int64_t need = std::max(lc1, lc2) + std::max(lc1 - bl1, lc2 - bl2);
    if (need > ws.LineCapacity - 10) {
        ws.LineCapacity = need + 10;
        ResizeLineArrays(ws);
    }
}

void MergeClipboardRows(Workspace& ws, int n) {
    KeyframeTable& rows = ws.File(n).Rows;
    for (const KeyframeRow& clipRow : ws.Clip.Rows) {
        const int32_t f = FrameNumberOfRow(clipRow);
        // The last row whose frame is not above f takes or precedes the new row.
        size_t k = rows.size();
        while (k > 0 && FrameNumberOfRow(rows[k - 1]) > f) --k;
        if (k > 0 && FrameNumberOfRow(rows[k - 1]) == f) {
            rows[k - 1].RowText = clipRow.RowText;
        } else {
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(k), KeyframeRow{clipRow.RowText, false});
        }
    }
}

void SpliceClipboardKeys(Workspace& ws, int n) {
    ModelSlot& file = ws.File(n);
    if (!SpliceKeysByBone(ws.Clip, file)) SpliceKeysLineByLine(ws.Clip, file);
    if (file.ModelLines.size() < static_cast<size_t>(ws.LineCapacity) + 1)
        file.ModelLines.resize(static_cast<size_t>(ws.LineCapacity) + 1);
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
