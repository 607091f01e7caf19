#include "model/Workspace.h"

namespace vandrel {

namespace {

void ResizeLines(LineSet& set, int64_t capacity) {
    // Never drop lines that are in use: a line array always holds at least its
    // valid lines, even if a caller's estimate was too low.
    size_t size = static_cast<size_t>(capacity) + 1;
    if (set.LineCount >= 0 && size < static_cast<size_t>(set.LineCount) + 1)
        size = static_cast<size_t>(set.LineCount) + 1;
    set.ModelLines.resize(size);
}

}  // namespace

void ResizeLineArrays(Workspace& ws) {
    ResizeLines(ws.Files[0], ws.LineCapacity);
    ResizeLines(ws.Files[1], ws.LineCapacity);
    ResizeLines(ws.Clip, ws.LineCapacity);
}

}  // namespace vandrel
