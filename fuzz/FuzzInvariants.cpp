#include "FuzzInvariants.h"

#include <cstdio>
#include <unordered_set>

#include "clipboard/WorkspaceChecks.h"
#include "model/KeyLines.h"
#include "model/LineSetChecks.h"
#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/Text.h"

namespace vandrel::fuzz {

void Violated(const char* what, const char* file, int line) {
    std::fprintf(stderr, "\n*** invariant violated: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    __builtin_trap();
}

void CheckLineSet(const LineSet& set) {
    if (const std::string fault = LineSetFault(set); !fault.empty()) Violated(fault.c_str(), __FILE__, __LINE__);
}

void CheckClipboard(const Clipboard& clip) {
    if (const std::string fault = ClipboardFault(clip); !fault.empty()) Violated(fault.c_str(), __FILE__, __LINE__);
}

bool WellFormedBones(const LineSet& set) {
    const int64_t last = BonesSection(set).last, bones = set.BonesLine;
    // A header of four fields ("Bones:000 0 0 0") is a key line of its section too.
    if (bones <= 4 || bones > last || !BeginsWith(LineAt(set, bones), "Bones:") || IsKeyLine(LineAt(set, bones)))
        return false;
    // Saving trims blanks, so a " Bones:" anywhere below would become the header.
    for (int64_t i = bones + 1; i <= set.LineCount; ++i) {
        std::string_view line = LineAt(set, i);
        if (BeginsWith(StripBlanks(line), "Bones:") || (i <= last && line == kCountMark)) return false;
    }
    // A count line and exactly as many key lines after it.
    auto keysAfter = [&](int64_t at, int64_t& keys) {
        std::string_view count = LineAt(set, at);
        if (at > last || IsQuotedLine(count) || ContainsPoint(count) || IsKeyLine(StripBlanks(count))) return false;
        keys = IntegerValue(count);
        if (keys < 0 || keys > last - at) return false;
        for (int64_t k = 1; k <= keys; ++k)
            if (!IsKeyLine(LineAt(set, at + k))) return false;
        return true;
    };
    int64_t i = bones + 1;
    while (i <= last && IsQuotedLine(LineAt(set, i))) {
        if (i + 4 > last || !IsQuotedLine(LineAt(set, i + 1))) return false;
        std::string_view rest = LineAt(set, i + 2);
        if (IsQuotedLine(rest) || IsKeyLine(StripBlanks(rest)) || !BeginsWith(StripBlanks(rest), "0 ") ||
            StripBlanks(rest).size() < 8)
            return false;
        int64_t positions = 0, rotations = 0;
        if (!keysAfter(i + 3, positions) || !keysAfter(i + 4 + positions, rotations)) return false;
        i += 5 + positions + rotations;
    }
    // Saving trims blanks: no line may become a key line that way.
    for (; i <= last; ++i) {
        std::string_view line = LineAt(set, i);
        if (IsQuotedLine(line) || IsKeyLine(StripBlanks(line)) || FrameNumberOfLine(line) != 0) return false;
    }
    return true;
}

std::vector<int32_t> KeyframeNumbersOfRows(const KeyframeTable& rows) {
    std::vector<int32_t> numbers;
    numbers.reserve(rows.size());
    for (const KeyframeRow& row : rows) numbers.push_back(FrameNumberOfRow(row));
    return numbers;
}

std::vector<int32_t> KeyframeNumbersOfLines(const LineSet& set) {
    ModelSlot slot;
    static_cast<LineSet&>(slot) = set;
    BuildKeyframeTable(slot);
    return KeyframeNumbersOfRows(slot.Rows);
}

bool RestLinesDistinct(const LineSet& set) {
    std::unordered_set<std::string_view> seen;
    for (const BoneRecord& bone : set.BoneList) {
        if (bone.RestLine < 1 || bone.RestLine > set.LineCount) return false;
        if (!seen.insert(LineAt(set, bone.RestLine)).second) return false;
    }
    return true;
}

std::vector<int32_t> KeyframeNumbersOfFile(const std::string& bytes) {
    Workspace ws;
    LoadModel(ws, 1, bytes);
    return KeyframeNumbersOfRows(ws.File(1).Rows);
}

}  // namespace vandrel::fuzz
