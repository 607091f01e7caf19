#include "model/Workspace.h"

namespace vandrel {

namespace {

// The array's storage follows the shared capacity, but only its valid lines are
// built: elements past LineCount read as empty lines anyway, and building a large
// model's worth of empty strings three times over would cost more than its open.
void ResizeLines(LineSet& set, int64_t capacity) {
    set.ModelLines.reserve(static_cast<size_t>(capacity) + 1);
    if (set.LineCount >= 0 && set.ModelLines.size() < static_cast<size_t>(set.LineCount) + 1)
        set.ModelLines.resize(static_cast<size_t>(set.LineCount) + 1);
}

}  // namespace

void ResizeLineArrays(Workspace& ws) {
    ResizeLines(ws.Files[0], ws.LineCapacity);
    ResizeLines(ws.Files[1], ws.LineCapacity);
    ResizeLines(ws.Clip, ws.LineCapacity);
}

}  // namespace vandrel
