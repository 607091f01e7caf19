#include "model/Compatibility.h"

#include <unordered_map>
#include <unordered_set>

#include "model/Text.h"

namespace vandrel {

int32_t CountCompatibleBones(const LineSet& first, const LineSet& second) {
    std::unordered_map<std::string_view, int64_t> restLinesOf2;
    for (const BoneRecord& b : second.BoneList) ++restLinesOf2[LineAt(second, b.RestLine)];
    int64_t count = 0;
    for (const BoneRecord& a : first.BoneList) {
        auto found = restLinesOf2.find(LineAt(first, a.RestLine));
        if (found != restLinesOf2.end()) count += found->second;
    }
    return static_cast<int32_t>(count);
}

bool HasBoneOf(const LineSet& set, const LineSet& of) {
    if (of.BoneList.empty()) return true;
    std::unordered_set<std::string_view> restLines;
    for (const BoneRecord& c : of.BoneList) restLines.insert(LineAt(of, c.RestLine));
    for (const BoneRecord& b : set.BoneList)
        if (restLines.count(LineAt(set, b.RestLine))) return true;
    return false;
}

std::string JointText(const ModelSlot& slot) {
    return "Joints: " + std::string(AfterFirstBlank(LineAt(slot, slot.BonesLine)));
}

}  // namespace vandrel
