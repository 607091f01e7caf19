#include "clipboard/SpliceKeys.h"

#include <algorithm>
#include <cstddef>
#include <array>
#include <map>
#include <unordered_map>

#include "clipboard/KeyLines.h"
#include "model/KeyframeTable.h"

namespace vandrel {

namespace {

enum Kind { kRotation = 0, kPosition = 1 };

int32_t CountLineOf(const BoneRecord& bone, Kind kind) {
    return kind == kRotation ? bone.RotationKeyCountLine : bone.PositionKeyCountLine;
}

struct Placement {
    int32_t frame;
    const std::string* line;
};

// What one Clipboard bone gives for one kind of key.
struct ClipboardKeys {
    std::vector<Placement> inOrder;                     // every placement, in placing order
    std::map<int32_t, const std::string*> finalLine;    // per frame, the line that ends up in the file
};

ClipboardKeys KeysOf(const Clipboard& clip, int64_t countLine) {
    ClipboardKeys keys;
    const int64_t count = IntegerValue(LineAt(clip, countLine));
    if (count <= 0) return keys;
    const int64_t last = std::min<int64_t>(count, int64_t{clip.LineCount} - countLine) + countLine;
    // Key lines by frame, from the last line up to the first.
    std::unordered_map<int32_t, std::vector<const std::string*>> linesOfFrame;
    for (int64_t j = last; j > countLine; --j) {
        std::string_view line = LineAt(clip, j);
        if (!IsKeyLine(line)) continue;
        linesOfFrame[FrameNumberOfLine(line)].push_back(&clip.ModelLines[size_t(j)]);
    }
    for (size_t r = clip.Rows.size(); r-- > 0;) {
        const int32_t k = FrameNumberOfRow(clip.Rows[r]);
        auto found = linesOfFrame.find(k);
        if (found == linesOfFrame.end()) continue;
        for (const std::string* line : found->second) keys.inOrder.push_back({k, line});
        keys.finalLine[k] = found->second.back();  // the first in the Clipboard's lines
    }
    return keys;
}

// Placing one key into a key list: returns whether a line was inserted.
bool PlaceKey(std::vector<std::string>& list, const Placement& p) {
    size_t i = list.size();
    while (i > 0 && FrameNumberOfLine(list[i - 1]) > p.frame) --i;
    if (i > 0 && FrameNumberOfLine(list[i - 1]) == p.frame) {
        list[i - 1] = *p.line;
        return false;
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(i), *p.line);
    return true;
}

bool IsAscending(const std::vector<std::string>& list) {
    for (size_t i = 1; i < list.size(); ++i)
        if (FrameNumberOfLine(list[i - 1]) > FrameNumberOfLine(list[i])) return false;
    return true;
}

// In an ascending list every placement of a frame lands on the same key, so
// only the last one counts and the whole transfer is one merge.
bool MergeKeys(std::vector<std::string>& list, const ClipboardKeys& keys) {
    std::vector<std::string> merged;
    merged.reserve(list.size() + keys.finalLine.size());
    bool inserted = false;
    size_t i = 0;
    for (const auto& [frame, line] : keys.finalLine) {
        while (i < list.size() && FrameNumberOfLine(list[i]) < frame) merged.push_back(std::move(list[i++]));
        size_t sameEnd = i;
        while (sameEnd < list.size() && FrameNumberOfLine(list[sameEnd]) == frame) ++sameEnd;
        if (sameEnd > i) {
            while (i + 1 < sameEnd) merged.push_back(std::move(list[i++]));
            merged.push_back(*line);  // only the last key of the frame is replaced
            ++i;
        } else {
            merged.push_back(*line);
            inserted = true;
        }
    }
    while (i < list.size()) merged.push_back(std::move(list[i++]));
    list = std::move(merged);
    return inserted;
}

bool TransferKeys(std::vector<std::string>& list, const ClipboardKeys& keys) {
    if (IsAscending(list)) return MergeKeys(list, keys);
    bool inserted = false;
    for (const Placement& p : keys.inOrder) inserted |= PlaceKey(list, p);
    return inserted;
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

// One key list of a file bone: its count line and the keys that follow it.
struct KeyList {
    int64_t countLine = 0;
    int64_t size = 0;
    std::vector<std::string> keys;
    bool grew = false;
};

}  // namespace

bool SpliceKeysByBone(const Clipboard& clip, ModelSlot& file) {
    const auto matches = MatchBones(clip, file);
    if (matches.empty()) return true;

    // Each matched bone's lists must lie between its rest line and the next bone.
    std::map<size_t, std::array<KeyList, 2>> lists;  // by file bone index, ascending
    for (const auto& match : matches) {
        for (size_t b : match.second) {
            if (lists.count(b)) continue;
            const BoneRecord& bone = file.BoneList[b];
            const int64_t fp = bone.PositionKeyCountLine, fr = bone.RotationKeyCountLine;
            const int64_t pp = IntegerValue(LineAt(file, fp)), pr = IntegerValue(LineAt(file, fr));
            const int64_t next = b + 1 < file.BoneList.size() ? int64_t{file.BoneList[b + 1].NameLine}
                                                             : int64_t{file.LineCount} + 1;
            const bool inPlace = pp >= 0 && pr >= 0 && pp <= file.LineCount && pr <= file.LineCount &&
                                 bone.RestLine < fp && fr == fp + 1 + pp && fr + pr < next &&
                                 fr + pr <= file.LineCount;
            if (!inPlace) return false;
            std::array<KeyList, 2>& pair = lists[b];
            pair[kPosition] = {fp, pp, {}, false};
            pair[kRotation] = {fr, pr, {}, false};
            for (KeyList* list : {&pair[kPosition], &pair[kRotation]})
                for (int64_t i = list->countLine + 1; i <= list->countLine + list->size; ++i)
                    list->keys.push_back(file.ModelLines[size_t(i)]);
        }
    }

    for (const auto& [c, fileBones] : matches) {
        const BoneRecord& clipBone = clip.BoneList[c];
        for (Kind kind : {kRotation, kPosition}) {
            const ClipboardKeys keys = KeysOf(clip, CountLineOf(clipBone, kind));
            if (keys.inOrder.empty()) continue;
            for (size_t b : fileBones) {
                KeyList& list = lists[b][kind];
                list.grew |= TransferKeys(list.keys, keys);
            }
        }
    }

    // Rebuild the lines once: every untouched line keeps its text and order.
    std::vector<std::string> lines;
    lines.reserve(file.ModelLines.size());
    int64_t next = 0;  // the next line of the old array to copy
    auto copyUpTo = [&](int64_t end) {
        for (; next < end; ++next) lines.push_back(std::move(file.ModelLines[size_t(next)]));
    };
    for (auto& [b, pair] : lists) {
        for (KeyList* list : {&pair[kPosition], &pair[kRotation]}) {
            copyUpTo(list->countLine);
            lines.push_back(list->grew ? DecimalText(int64_t(list->keys.size()))
                                       : std::move(file.ModelLines[size_t(list->countLine)]));
            for (std::string& key : list->keys) lines.push_back(std::move(key));
            next = list->countLine + 1 + list->size;
        }
    }
    copyUpTo(int64_t{file.LineCount} + 1);
    file.LineCount = Int32(int64_t(lines.size()) - 1);
    file.ModelLines = std::move(lines);
    return true;
}

void SpliceKeysLineByLine(const Clipboard& clip, ModelSlot& file) {
    std::vector<std::string>& lines = file.ModelLines;
    lines.resize(size_t(file.LineCount) + 1);
    std::vector<BoneRecord> records = file.BoneList;

    auto insertLine = [&](int64_t p, const std::string& text, int64_t countLine, int64_t oldCount) {
        lines.insert(lines.begin() + p, text);
        ++file.LineCount;
        lines[size_t(countLine)] = DecimalText(oldCount + 1);
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
                const ClipboardKeys keys = KeysOf(clip, CountLineOf(clipBone, kind));
                for (const Placement& p : keys.inOrder) {
                    const int64_t f = CountLineOf(records[b], kind);
                    if (f < 1 || f > file.LineCount) break;
                    const int64_t count = IntegerValue(lines[size_t(f)]);
                    if (count == 0) {
                        insertLine(f + 1, *p.line, f, count);
                        continue;
                    }
                    for (int64_t i = std::min<int64_t>(WrapAdd(f, count), file.LineCount); i > f; --i) {
                        const int32_t h = FrameNumberOfLine(lines[size_t(i)]);
                        if (h == p.frame) {
                            lines[size_t(i)] = *p.line;
                            break;
                        }
                        if (p.frame > h) {
                            insertLine(i + 1, *p.line, f, count);
                            break;
                        }
                        if (i == f + 1) {
                            insertLine(i, *p.line, f, count);
                            break;
                        }
                    }
                }
            }
        }
    }
}

}  // namespace vandrel
