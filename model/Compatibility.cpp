#include "model/Compatibility.h"

#include <unordered_map>
#include <unordered_set>

#include "model/Text.h"

namespace vandrel {

int32_t CountCompatibleBones(const Workspace& ws) {
    std::unordered_map<std::string_view, int64_t> restLinesOf2;
    for (const BoneRecord& b : ws.File(2).BoneList) ++restLinesOf2[LineAt(ws.File(2), b.RestLine)];
    int64_t count = 0;
    for (const BoneRecord& a : ws.File(1).BoneList) {
        auto found = restLinesOf2.find(LineAt(ws.File(1), a.RestLine));
        if (found != restLinesOf2.end()) count += found->second;
    }
    return static_cast<int32_t>(count);
}

bool ClipboardFitsFile(const Workspace& ws, int n) {
    const Clipboard& clip = ws.Clip;
    if (clip.BoneList.empty()) return true;
    std::unordered_set<std::string_view> restLines;
    for (const BoneRecord& c : clip.BoneList) restLines.insert(LineAt(clip, c.RestLine));
    const ModelSlot& file = ws.File(n);
    for (const BoneRecord& b : file.BoneList)
        if (restLines.count(LineAt(file, b.RestLine))) return true;
    return false;
}

std::string JointText(const ModelSlot& slot) {
    return "Joints: " + std::string(AfterFirstBlank(LineAt(slot, slot.BonesLine)));
}

}  // namespace vandrel
