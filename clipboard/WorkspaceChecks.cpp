#include "clipboard/WorkspaceChecks.h"

#include "model/LineSetChecks.h"

namespace vandrel {

std::string ClipboardFault(const Clipboard& clip) {
    if (std::string fault = LineSetFault(clip); !fault.empty()) return fault;
    for (int64_t i = 1; i < clip.BonesLine; ++i)
        if (!clip.ModelLines[size_t(i)].empty()) return "clip.ModelLines[i].empty() for i < BonesLine";
    if (!clip.ModelLines[size_t(clip.LineCount)].empty()) return "clip.ModelLines[LineCount].empty()";
    return {};
}

std::string WorkspaceFault(const Workspace& ws) {
    for (int n : {1, 2})
        if (std::string fault = LineSetFault(ws.File(n)); !fault.empty()) return "File " + std::to_string(n) + ": " + fault;
    if (std::string fault = ClipboardFault(ws.Clip); !fault.empty()) return "Clipboard: " + fault;
    return {};
}

}  // namespace vandrel
