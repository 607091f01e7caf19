#include "clipboard/SpliceKeys.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstddef>
#include <memory>
#include <unordered_map>

#include "model/KeyLines.h"
#include "model/KeyframeTable.h"
#include "model/Sections.h"

namespace vandrel {

namespace {

enum Kind { kRotation = 0, kPosition = 1 };

int32_t CountLineOf(const BoneRecord& bone, Kind kind) {
    return kind == kRotation ? bone.RotationKeyCountLine : bone.PositionKeyCountLine;
}

struct Placement {
    int32_t frame;
    std::string_view line;
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

// The placements of one Clipboard list. The rule places, for every row from the
// last to the first, its frame's key lines from the last to the first. Once a
// frame k has been placed, the key that took it is followed only by keys of
// higher frames, so every later placement of k replaces that same key, whatever
// was placed in between: placing each frame once, where it first comes, with the
// line placed last (its first line in the Clipboard) gives the same key list.
// Rows repeating a frame, whose lines the Clipboard holds once per row, would
// otherwise cost rows × lines placements.
std::vector<Placement> PlacementsOf(const Clipboard& clip, int64_t countLine) {
    std::vector<Placement> placements;
    const ClipboardList list = ListOf(clip, countLine);
    if (list.last < list.first) return placements;
    std::unordered_map<int32_t, std::pair<std::string_view, bool>> firstLineOfFrame;  // line, not placed yet
    for (int64_t j = list.last; j >= list.first; --j) {
        std::string_view line = LineAt(clip, j);
        if (IsKeyLine(line) && FrameNumberOfLine(line) != 0) firstLineOfFrame[FrameNumberOfLine(line)] = {line, true};
    }
    for (size_t r = clip.Rows.size(); r-- > 0;) {
        auto found = firstLineOfFrame.find(FrameNumberOfRow(clip.Rows[r]));
        if (found == firstLineOfFrame.end() || !found->second.second) continue;
        placements.push_back({found->first, found->second.first});
        found->second.second = false;  // placed
    }
    return placements;
}

// Placing one key into a key list: returns whether a line was inserted.
bool PlaceKey(std::vector<std::string_view>& list, std::vector<int32_t>& frames, const Placement& p) {
    size_t i = list.size();
    while (i > 0 && frames[i - 1] > p.frame) --i;
    if (i > 0 && frames[i - 1] == p.frame) {
        list[i - 1] = p.line;
        return false;
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(i), p.line);
    frames.insert(frames.begin() + static_cast<std::ptrdiff_t>(i), p.frame);
    return true;
}

// What one Clipboard bone gives for one kind of key.
class ClipboardKeys {
public:
    ClipboardKeys(const Clipboard& clip, int64_t countLine, const std::vector<int32_t>& rowFrames)
        : clip_(clip), countLine_(countLine) {
        // Per frame of a row, the first of its key lines: placed last, it is the one that stays.
        const ClipboardList list = ListOf(clip, countLine);
        for (int64_t j = list.first; j <= list.last; ++j) {
            std::string_view line = LineAt(clip, j);
            const int32_t frame = FrameNumberOfLine(line);
            if (frame == 0 || !IsKeyLine(line)) continue;  // not a key of a row's frame
            if (std::binary_search(rowFrames.begin(), rowFrames.end(), frame))
                finalLines_.push_back({frame, line});
        }
        std::stable_sort(finalLines_.begin(), finalLines_.end(),
                         [](const Placement& a, const Placement& b) { return a.frame < b.frame; });
        finalLines_.erase(std::unique(finalLines_.begin(), finalLines_.end(),
                                      [](const Placement& a, const Placement& b) { return a.frame == b.frame; }),
                          finalLines_.end());
    }

    bool empty() const { return finalLines_.empty(); }

    // One line per frame, ascending.
    const std::vector<Placement>& FinalLines() const { return finalLines_; }

    const std::vector<Placement>& Placements() {
        if (!placementsDone_) {
            placements_ = PlacementsOf(clip_, countLine_);
            placementsDone_ = true;
        }
        return placements_;
    }

private:
    const Clipboard& clip_;
    int64_t countLine_;
    std::vector<Placement> finalLines_;
    std::vector<Placement> placements_;
    bool placementsDone_ = false;
};

// One key list of a file bone, built apart from the lines when it takes keys
// from several Clipboard bones or is not in ascending order.
struct KeyList {
    std::vector<std::string_view> keys;
    std::vector<int32_t> frames;  // the frame number of each key
};

// In an ascending list every placement of a frame lands on the same key, so
// only the last one counts and the whole transfer is one merge.
void MergeKeys(KeyList& list, const std::vector<Placement>& finalLines) {
    std::vector<std::string_view> merged;
    std::vector<int32_t> frames;
    merged.reserve(list.keys.size() + finalLines.size());
    frames.reserve(list.keys.size() + finalLines.size());
    auto take = [&](size_t i) {
        merged.push_back(list.keys[i]);
        frames.push_back(list.frames[i]);
    };
    size_t i = 0;
    const size_t n = list.keys.size();
    for (const Placement& p : finalLines) {
        while (i < n && list.frames[i] < p.frame) take(i++);
        size_t sameEnd = i;
        while (sameEnd < n && list.frames[sameEnd] == p.frame) ++sameEnd;
        if (sameEnd > i) {
            while (i + 1 < sameEnd) take(i++);
            ++i;  // only the last key of the frame is replaced
        }
        merged.push_back(p.line);
        frames.push_back(p.frame);
    }
    while (i < n) take(i++);
    list.keys = std::move(merged);
    list.frames = std::move(frames);
}

void TransferKeys(KeyList& list, ClipboardKeys& keys) {
    if (std::is_sorted(list.frames.begin(), list.frames.end())) {
        MergeKeys(list, keys.FinalLines());
        return;
    }
    for (const Placement& p : keys.Placements()) PlaceKey(list.keys, list.frames, p);
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
    std::vector<ClipboardKeys*> transfers;  // in placing order
    KeyList list;           // the new list, when it takes keys
};

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

    std::vector<int32_t> rowFrames;
    for (const KeyframeRow& row : clip.Rows) rowFrames.push_back(FrameNumberOfRow(row));
    std::sort(rowFrames.begin(), rowFrames.end());
    rowFrames.erase(std::unique(rowFrames.begin(), rowFrames.end()), rowFrames.end());

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
    int64_t total = file.LineCount;
    for (ListPlan& plan : plans) {
        if (plan.transfers.empty()) continue;
        for (int64_t i = plan.countLine + 1; i <= plan.countLine + plan.size; ++i) {
            plan.list.frames.push_back(FrameNumberOfLine(file.ModelLines[size_t(i)]));
            plan.list.keys.push_back(file.ModelLines[size_t(i)]);
        }
        for (ClipboardKeys* keys : plan.transfers) TransferKeys(plan.list, *keys);
        total += int64_t(plan.list.keys.size()) - plan.size;
    }

    // Fill the lines from the last one up: every line moves down by the keys
    // inserted before it, so nothing is overwritten before it has been read.
    file.ModelLines.Keep(clip.ModelLines);
    std::vector<std::string_view>& lines = file.ModelLines.Views();
    if (lines.size() < size_t(total) + 1) lines.resize(size_t(total) + 1);
    int64_t r = file.LineCount, w = total;
    for (size_t p = plans.size(); p-- > 0;) {
        ListPlan& plan = plans[p];
        if (plan.transfers.empty()) continue;
        for (const int64_t listEnd = plan.countLine + plan.size; r > listEnd; --r) lines[size_t(w--)] = lines[size_t(r)];
        for (size_t k = plan.list.keys.size(); k-- > 0;) lines[size_t(w--)] = plan.list.keys[k];
        // Inserted keys raise the count; replaced keys leave it as it is.
        const int64_t newSize = int64_t(plan.list.keys.size());
        lines[size_t(w--)] = newSize > plan.size ? file.ModelLines.Store(DecimalText(newSize)) : lines[size_t(plan.countLine)];
        r = plan.countLine - 1;
    }
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

    auto insertLine = [&](int64_t p, std::string_view text, int64_t countLine, int64_t oldCount) {
        lines.insert(lines.begin() + p, text);
        ++file.LineCount;
        ++last;
        file.ModelLines.Set(size_t(countLine), DecimalText(oldCount + 1));
        for (BoneRecord& r : records)
            for (int32_t* field : {&r.NameLine, &r.RestLine, &r.PositionKeyCountLine, &r.RotationKeyCountLine})
                if (*field >= p) ++*field;
    };

    for (size_t c = clip.BoneList.size(); c-- > 0;) {
        const BoneRecord& clipBone = clip.BoneList[c];
        const std::string_view clipRest = LineAt(clip, clipBone.RestLine);
        for (size_t b = records.size(); b-- > 0;) {
            if (LineAt(file, records[b].RestLine) != clipRest) continue;
            for (Kind kind : {kRotation, kPosition}) {
                for (const Placement& p : PlacementsOf(clip, CountLineOf(clipBone, kind))) {
                    const int64_t f = CountLineOf(records[b], kind);
                    if (f < 1 || f > last) break;
                    const int64_t count = IntegerValue(lines[size_t(f)]);
                    if (count == 0) {
                        insertLine(f + 1, p.line, f, count);
                        continue;
                    }
                    for (int64_t i = std::min<int64_t>(WrapAdd(f, count), last); i > f; --i) {
                        const int32_t h = FrameNumberOfLine(lines[size_t(i)]);
                        if (h == p.frame) {
                            lines[size_t(i)] = p.line;
                            break;
                        }
                        if (p.frame > h) {
                            insertLine(i + 1, p.line, f, count);
                            break;
                        }
                        if (i == f + 1) {
                            insertLine(i, p.line, f, count);
                            break;
                        }
                    }
                }
            }
        }
    }
}

}  // namespace vandrel
