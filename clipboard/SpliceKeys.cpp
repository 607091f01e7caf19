#include "clipboard/SpliceKeys.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cstddef>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "model/KeyLines.h"
#include "model/KeyframeTable.h"
#include "model/Sections.h"

namespace vandrel {

namespace {

enum Kind { kRotation = 0, kPosition = 1 };

int32_t CountLineOf(const BoneRecord& bone, Kind kind) {
    return kind == kRotation ? bone.RotationKeyCountLine : bone.PositionKeyCountLine;
}

// The key lines of one frame, in the Clipboard's order.
struct FrameGroup {
    int32_t frame = 0;
    std::vector<std::string_view> lines;
};

// The key lines that follow a Clipboard count line, as far as the lines go.
struct ClipboardList {
    int64_t first = 0, last = -1;  // line indexes, empty when last < first
};

ClipboardList ListOf(const Clipboard& clip, int64_t countLine) {
    const int64_t count = IntegerValue(LineAt(clip, countLine));
    if (count <= 0) return {};
    return {countLine + 1, std::min<int64_t>(count, int64_t{clip.LineCount} - countLine) + countLine};
}

// The frames of the Clipboard's rows: ascending and once each, and in the order
// the paste places them (rows from the last to the first, each frame where it
// first comes).
struct RowFrames {
    std::vector<int32_t> ascending;
    std::vector<int32_t> placing;
};

RowFrames RowFramesOf(const Clipboard& clip) {
    RowFrames frames;
    for (size_t r = clip.Rows.size(); r-- > 0;) frames.placing.push_back(FrameNumberOfRow(clip.Rows[r]));
    frames.ascending = frames.placing;
    std::sort(frames.ascending.begin(), frames.ascending.end());
    frames.ascending.erase(std::unique(frames.ascending.begin(), frames.ascending.end()), frames.ascending.end());
    std::unordered_set<int32_t> seen;
    std::erase_if(frames.placing, [&](int32_t frame) { return !seen.insert(frame).second; });
    return frames;
}

// What one Clipboard bone gives for one kind of key: the key lines of each frame
// that a row has (frame 0 never), grouped by frame in the Clipboard's order.
class ClipboardKeys {
public:
    ClipboardKeys(const Clipboard& clip, int64_t countLine, const RowFrames& rowFrames) : rowFrames_(rowFrames) {
        std::vector<std::pair<int32_t, std::string_view>> keys;
        const ClipboardList list = ListOf(clip, countLine);
        for (int64_t j = list.first; j <= list.last; ++j) {
            std::string_view line = LineAt(clip, j);
            const int32_t frame = FrameNumberOfLine(line);
            if (frame == 0 || !IsKeyLine(line)) continue;
            if (std::binary_search(rowFrames.ascending.begin(), rowFrames.ascending.end(), frame))
                keys.emplace_back(frame, line);
        }
        std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [frame, line] : keys) {
            if (groups_.empty() || groups_.back().frame != frame) groups_.push_back({frame, {}});
            groups_.back().lines.push_back(line);
        }
    }

    bool empty() const { return groups_.empty(); }

    // Ascending by frame.
    const std::vector<FrameGroup>& Groups() const { return groups_; }

    // The group of each frame in the order the paste places them.
    std::vector<const FrameGroup*> InPlacingOrder() const {
        std::vector<const FrameGroup*> order;
        for (int32_t frame : rowFrames_.placing) {
            auto found = std::lower_bound(groups_.begin(), groups_.end(), frame,
                                          [](const FrameGroup& g, int32_t f) { return g.frame < f; });
            if (found != groups_.end() && found->frame == frame) order.push_back(&*found);
        }
        return order;
    }

private:
    const RowFrames& rowFrames_;
    std::vector<FrameGroup> groups_;
};

// One key list of a file bone, built apart from the lines.
struct KeyList {
    std::vector<std::string_view> keys;
    std::vector<int32_t> frames;  // the frame number of each key
};

// The group's lines take the place of every key of its frame: after the last
// key, from the end, of a lower frame, or first when there is none.
void PlaceGroup(KeyList& list, const FrameGroup& group) {
    size_t kept = 0;
    for (size_t i = 0; i < list.keys.size(); ++i) {
        if (list.frames[i] == group.frame) continue;
        list.keys[kept] = list.keys[i];
        list.frames[kept++] = list.frames[i];
    }
    list.keys.resize(kept);
    list.frames.resize(kept);
    size_t at = kept;
    while (at > 0 && list.frames[at - 1] > group.frame) --at;
    list.keys.insert(list.keys.begin() + std::ptrdiff_t(at), group.lines.begin(), group.lines.end());
    list.frames.insert(list.frames.begin() + std::ptrdiff_t(at), group.lines.size(), group.frame);
}

// In an ascending list every frame's keys stand together and each group goes
// where its frame belongs, so the whole transfer is one merge.
void MergeGroups(KeyList& list, const std::vector<FrameGroup>& groups) {
    KeyList merged;
    size_t i = 0;
    const size_t n = list.keys.size();
    auto take = [&](size_t k) {
        merged.keys.push_back(list.keys[k]);
        merged.frames.push_back(list.frames[k]);
    };
    for (const FrameGroup& group : groups) {
        while (i < n && list.frames[i] < group.frame) take(i++);
        while (i < n && list.frames[i] == group.frame) ++i;
        merged.keys.insert(merged.keys.end(), group.lines.begin(), group.lines.end());
        merged.frames.insert(merged.frames.end(), group.lines.size(), group.frame);
    }
    while (i < n) take(i++);
    list = std::move(merged);
}

void TransferKeys(KeyList& list, const ClipboardKeys& keys) {
    if (std::is_sorted(list.frames.begin(), list.frames.end())) {
        MergeGroups(list, keys.Groups());
        return;
    }
    for (const FrameGroup* group : keys.InPlacingOrder()) PlaceGroup(list, *group);
}

// The matches of a paste: for each Clipboard bone from the last, the file bones
// (indexes into the file's bone list, from the last) with the same rest line.
std::vector<std::pair<size_t, std::vector<size_t>>> MatchBones(const Clipboard& clip, const ModelSlot& file) {
    std::unordered_map<std::string_view, std::vector<size_t>> fileBones;
    for (size_t b = file.BoneList.size(); b-- > 0;)
        fileBones[LineAt(file, file.BoneList[b].RestLine)].push_back(b);
    std::vector<std::pair<size_t, std::vector<size_t>>> matches;
    for (size_t c = clip.BoneList.size(); c-- > 0;) {
        auto found = fileBones.find(LineAt(clip, clip.BoneList[c].RestLine));
        if (found != fileBones.end()) matches.emplace_back(c, found->second);
    }
    return matches;
}

// Whether file bone b's two key lists lie between its rest line and the next
// bone, inside the bones section that ends at line `last`.
bool ListsInPlace(const ModelSlot& file, size_t b, int64_t last) {
    const BoneRecord& bone = file.BoneList[b];
    const int64_t fp = bone.PositionKeyCountLine, fr = bone.RotationKeyCountLine;
    const int64_t pp = IntegerValue(LineAt(file, fp)), pr = IntegerValue(LineAt(file, fr));
    const int64_t next = b + 1 < file.BoneList.size() ? int64_t{file.BoneList[b + 1].NameLine} : last + 1;
    return pp >= 0 && pr >= 0 && pp <= last && pr <= last && bone.RestLine < fp && fr == fp + 1 + pp &&
           fr + pr < next && fr + pr <= last;
}

// What becomes of one key list of a matched file bone.
struct ListPlan {
    int64_t countLine = 0;  // where the count line stands before the paste
    int64_t size = 0;       // the keys that follow it
    std::vector<const ClipboardKeys*> transfers;  // in placing order
    KeyList list;           // the new list, when it takes keys
};

// The count line of a list that had `before` keys and has `after`: the same text
// when the number stays, the new number otherwise.
std::string_view CountText(Lines& lines, std::string_view old, int64_t before, int64_t after) {
    return after == before ? old : lines.Store(DecimalText(after));
}

}  // namespace

bool SpliceKeysByBone(const Clipboard& clip, ModelSlot& file) {
    const auto matches = MatchBones(clip, file);
    if (matches.empty()) return true;

    std::vector<size_t> matched;
    for (const auto& match : matches) matched.insert(matched.end(), match.second.begin(), match.second.end());
    std::sort(matched.begin(), matched.end());
    matched.erase(std::unique(matched.begin(), matched.end()), matched.end());
    const int64_t last = BonesSection(file).last;
    for (size_t b : matched)
        if (!ListsInPlace(file, b, last)) return false;

    // Two plans per matched bone, in line order: position keys, then rotation keys.
    std::vector<ListPlan> plans(2 * matched.size());
    std::vector<size_t> planOfBone(file.BoneList.size());
    for (size_t m = 0; m < matched.size(); ++m) {
        const BoneRecord& bone = file.BoneList[matched[m]];
        planOfBone[matched[m]] = 2 * m;
        for (Kind kind : {kPosition, kRotation}) {
            ListPlan& plan = plans[2 * m + (kind == kPosition ? 0 : 1)];
            plan.countLine = CountLineOf(bone, kind);
            plan.size = IntegerValue(LineAt(file, plan.countLine));
        }
    }

    const RowFrames rowFrames = RowFramesOf(clip);
    std::vector<std::unique_ptr<ClipboardKeys>> clipboardKeys;
    for (const auto& [c, fileBones] : matches) {
        for (Kind kind : {kRotation, kPosition}) {
            auto keys = std::make_unique<ClipboardKeys>(clip, CountLineOf(clip.BoneList[c], kind), rowFrames);
            if (keys->empty()) continue;
            for (size_t b : fileBones) plans[planOfBone[b] + (kind == kPosition ? 0 : 1)].transfers.push_back(keys.get());
            clipboardKeys.push_back(std::move(keys));
        }
    }

    // Each list that takes keys is built apart: its keys, then the transfers.
    const std::vector<std::string_view>& old = std::as_const(file.ModelLines).Views();
    int64_t total = file.LineCount;
    for (ListPlan& plan : plans) {
        if (plan.transfers.empty()) continue;
        for (int64_t i = plan.countLine + 1; i <= plan.countLine + plan.size; ++i) {
            plan.list.frames.push_back(FrameNumberOfLine(old[size_t(i)]));
            plan.list.keys.push_back(old[size_t(i)]);
        }
        for (const ClipboardKeys* keys : plan.transfers) TransferKeys(plan.list, *keys);
        total += int64_t(plan.list.keys.size()) - plan.size;
    }

    // The new lines in one pass: the lines between the changed lists as they
    // were, each changed list with its count.
    Lines rebuilt;
    rebuilt.Keep(file.ModelLines);
    rebuilt.Keep(clip.ModelLines);
    std::vector<std::string_view>& lines = rebuilt.Views();
    lines.clear();
    lines.reserve(size_t(total) + 1);
    int64_t r = 0;
    for (ListPlan& plan : plans) {
        if (plan.transfers.empty()) continue;
        lines.insert(lines.end(), old.begin() + r, old.begin() + plan.countLine);
        const int64_t newSize = int64_t(plan.list.keys.size());
        lines.push_back(CountText(rebuilt, old[size_t(plan.countLine)], plan.size, newSize));
        lines.insert(lines.end(), plan.list.keys.begin(), plan.list.keys.end());
        r = plan.countLine + plan.size + 1;
    }
    lines.insert(lines.end(), old.begin() + r, old.begin() + int64_t{file.LineCount} + 1);
    assert(int64_t(lines.size()) == total + 1 && "the rebuilt lines are the counted ones");
    file.ModelLines = std::move(rebuilt);
    file.LineCount = Int32(total);
    return true;
}

void SpliceKeysLineByLine(const Clipboard& clip, ModelSlot& file) {
    file.ModelLines.Keep(clip.ModelLines);
    std::vector<std::string_view>& lines = file.ModelLines.Views();
    lines.resize(size_t(file.LineCount) + 1);
    std::vector<BoneRecord> records = file.BoneList;
    // Lines after the bones section read as empty lines and never take a key.
    int64_t last = BonesSection(file).last;
    const RowFrames rowFrames = RowFramesOf(clip);

    // Key list f (its count line) of `count` keys, as far as the section goes,
    // becomes `list`; the lines after it and the records pointing there move.
    auto replaceList = [&](int64_t f, int64_t count, int64_t end, const KeyList& list) {
        const int64_t delta = int64_t(list.keys.size()) - (end - f);
        lines.erase(lines.begin() + f + 1, lines.begin() + end + 1);
        lines.insert(lines.begin() + f + 1, list.keys.begin(), list.keys.end());
        if (delta == 0) return;
        file.ModelLines.Set(size_t(f), DecimalText(WrapAdd(count, delta)));
        file.LineCount = Int32(file.LineCount + delta);
        last += delta;
        for (BoneRecord& r : records)
            for (int32_t* field : {&r.NameLine, &r.RestLine, &r.PositionKeyCountLine, &r.RotationKeyCountLine})
                if (*field > end) *field = Int32(*field + delta);
    };

    for (size_t c = clip.BoneList.size(); c-- > 0;) {
        const BoneRecord& clipBone = clip.BoneList[c];
        const std::string_view clipRest = LineAt(clip, clipBone.RestLine);
        for (size_t b = records.size(); b-- > 0;) {
            if (LineAt(file, records[b].RestLine) != clipRest) continue;
            for (Kind kind : {kRotation, kPosition}) {
                const ClipboardKeys keys(clip, CountLineOf(clipBone, kind), rowFrames);
                if (keys.empty()) continue;
                const int64_t f = CountLineOf(records[b], kind);
                if (f < 1 || f > last) continue;
                const int64_t count = IntegerValue(lines[size_t(f)]);
                const int64_t end = std::min<int64_t>(WrapAdd(f, count), last);
                if (count < 0 || end < f) continue;
                KeyList list;
                for (int64_t i = f + 1; i <= end; ++i) {
                    list.keys.push_back(lines[size_t(i)]);
                    list.frames.push_back(FrameNumberOfLine(lines[size_t(i)]));
                }
                TransferKeys(list, keys);
                replaceList(f, count, end, list);
            }
        }
    }
    assert(lines.size() == size_t(file.LineCount) + 1 && "the line count follows the lines");
}

}  // namespace vandrel
