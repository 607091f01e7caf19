#include "model/Compatibility.h"

#include <unordered_map>

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

std::string JointText(const ModelSlot& slot) {
    return "Joints: " + std::string(AfterFirstBlank(LineAt(slot, slot.BonesLine)));
}

}  // namespace vandrel
