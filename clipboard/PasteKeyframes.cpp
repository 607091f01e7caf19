// Pasting the Clipboard into a model: rows merged into the table, keys spliced
// into every bone whose rest line equals that of a Clipboard bone.
#include <algorithm>

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

void MergeClipboardRows(Workspace& ws, int n) { MergeRows(ws.File(n).Rows, ws.Clip.Rows); }

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
