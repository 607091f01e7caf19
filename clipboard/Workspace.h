#pragma once
// The program's data: the two model slots and the Clipboard between them.
#include <cassert>
#include <cstdint>
#include <functional>
#include <string>

#include "model/ModelReader.h"
#include "model/ModelSlot.h"

namespace vandrel {

// The program's own keyframe store between the two files: the rows taken and the
// bones section of the model they came from, reduced to their keys.
struct ClipboardFields {
    int32_t ClipboardSource = 0;
    KeyframeTable Rows;
    bool operator==(const ClipboardFields&) const = default;
};
struct Clipboard : LineSet, ClipboardFields {};

// Everything an operation on models works on; the shell owns one.
struct Workspace {
    ModelSlot Files[2];
    Clipboard Clip;
    // The line count the arrays are sized for: it only grows. Line arrays hold
    // their valid lines only; lines past LineCount read as empty lines anyway.
    int64_t LineCapacity = 0;
    int32_t CompatibleCount = 0;

    // File 1 or File 2; any other number is a fault of the caller.
    ModelSlot& File(int n) {
        assert((n == 1 || n == 2) && "a file number is 1 or 2");
        return Files[n - 1];
    }
    const ModelSlot& File(int n) const {
        assert((n == 1 || n == 2) && "a file number is 1 or 2");
        return Files[n - 1];
    }
};

// Opening a file, or bytes, into slot n of the workspace (ModelReader.h).
inline OpenResult OpenModel(Workspace& ws, int n, const std::string& path,
                            const std::function<void()>& pathAccepted) {
    return OpenModel(ws.File(n), ws.LineCapacity, path, pathAccepted);
}
inline void LoadModel(Workspace& ws, int n, std::string_view bytes,
                      std::optional<std::string_view> sidecarBytes = std::nullopt) {
    LoadModel(ws.File(n), ws.LineCapacity, TextOf(bytes), sidecarBytes);
}

}  // namespace vandrel
