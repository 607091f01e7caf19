#include "model/LineSetChecks.h"

#include "model/ModelReader.h"

namespace vandrel {

#define REQUIRE(condition) \
    if (!(condition)) return #condition

std::string LineSetFault(const LineSet& set) {
    REQUIRE(set.LineCount >= 0);
    REQUIRE(set.BonesLine >= 0);
    REQUIRE(set.BonesLine <= set.LineCount);
    REQUIRE(set.ModelLines.size() >= static_cast<size_t>(set.LineCount) + 1);
    REQUIRE(set.ModelLines[0].empty());
    for (size_t i = static_cast<size_t>(set.LineCount) + 1; i < set.ModelLines.size(); ++i)
        REQUIRE(set.ModelLines[i].empty());

    std::vector<BoneRecord> scanned;
    ScanBones(set, [&](int64_t i) { scanned.push_back(BoneRecordAt(set, i)); });
    REQUIRE(set.BoneList == scanned);
    int64_t previous = 0;
    for (const BoneRecord& bone : set.BoneList) {
        REQUIRE(bone.NameLine > previous);
        REQUIRE(bone.NameLine >= set.BonesLine && bone.NameLine >= 1 && bone.NameLine <= set.LineCount - 1);
        REQUIRE(IsQuotedLine(LineAt(set, bone.NameLine)));
        REQUIRE(bone.RestLine == bone.NameLine + 2);
        REQUIRE(bone.PositionKeyCountLine == bone.NameLine + 3);
        previous = bone.NameLine + 1;  // the parent line is never a bone of its own
    }
    return {};
}

#undef REQUIRE

}  // namespace vandrel
