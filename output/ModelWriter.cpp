#include "output/ModelWriter.h"

#include <algorithm>

#include "model/IntegerValue.h"
#include "model/KeyLines.h"
#include "model/KeyframeTable.h"
#include "model/Sections.h"
#include "model/Text.h"
#include "output/KeyframeSidecar.h"
#include "output/SafeWrite.h"

namespace vandrel {

namespace {

void SetLine(ModelSlot& slot, int64_t i, std::string text) {
    if (i >= 1 && i <= slot.LineCount) slot.ModelLines.Set(static_cast<size_t>(i), text);
}

// A key time written without a point ("40 0.1 0 0") gets six zero decimals
// ("40.000000 0.1 0 0"), as MilkShape writes times; every other time is kept.
void AppendKeyLine(std::string& out, std::string_view s) {
    const size_t blank = s.find(' ');
    if (FrameNumberOfLine(s) > 0 && !ContainsPoint(s.substr(0, blank))) {
        std::string_view rest = s.substr(blank);
        while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
        out += s.substr(0, blank);
        out += ".000000";
        out += rest;
        return;
    }
    out += StripBlanks(s);
}

// The first line above the bones (anywhere without them) that begins with `name`; 0 when none.
int64_t FrameLineOf(const ModelSlot& slot, std::string_view name) {
    const int64_t above = slot.BonesLine > 0 ? int64_t{slot.BonesLine} - 1 : int64_t{slot.LineCount};
    for (int64_t i = 1; i <= above; ++i)
        if (BeginsWith(LineAt(slot, i), name)) return i;
    return 0;
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
    return b > 0 && a > INT64_MAX - b ? INT64_MAX : a + b;
}

}  // namespace

std::string ModelFileText(const ModelSlot& slot) {
    std::string out;
    const LineRange bones = BonesSection(slot);
    size_t restLine = 0;
    int quotes = 0;
    for (int64_t i = 1; i <= slot.LineCount; ++i) {
        std::string_view s = LineAt(slot, i);
        const bool inBones = i > slot.BonesLine && bones.Contains(i);
        if (inBones && slot.RestLinesAdjusted) {
            if (IsQuotedLine(s)) {
                ++quotes;
            } else if (quotes == 2) {
                quotes = 0;
                if (restLine < slot.LoadedRestLines.size()) s = slot.LoadedRestLines[restLine++];
            }
        }
        if (inBones && IsKeyLine(s)) AppendKeyLine(out, s);
        else out += StripBlanks(s);
        out += "\r\n";
    }
    return out;
}

int32_t FrameCount(const ModelSlot& slot) {
    int32_t frames = 0;
    for (const KeyframeRow& row : slot.Rows) frames = std::max(frames, FrameNumberOfRow(row));
    const LineRange bones = BonesSection(slot);
    for (int64_t i = bones.first; i <= bones.last; ++i)
        if (std::string_view line = LineAt(slot, i); IsKeyLine(line)) frames = std::max(frames, FrameNumberOfLine(line));
    return frames;
}

FramesBaseline FramesBaselineOf(const ModelSlot& slot) {
    FramesBaseline baseline{FrameCount(slot), 0};
    const int64_t line = FrameLineOf(slot, "Frames:");
    if (baseline.LargestKeyframe > 0 && line > 0) {
        const int64_t frames = IntegerValue(LineAt(slot, line).substr(7));
        if (frames > baseline.LargestKeyframe) baseline.FramesAfterLastKey = frames - baseline.LargestKeyframe;
    }
    return baseline;
}

SaveResult SaveModel(ModelSlot& slot, const std::optional<FramesBaseline>& baseline, const LocalTime& now,
                     Language uiLanguage) {
    // The file's own frame lines above the bones; a file without them keeps its lines.
    const int32_t frames = FrameCount(slot);
    if (const int64_t line = FrameLineOf(slot, "Frames:"); line > 0 && frames > 0 && baseline &&
                                                          frames != baseline->LargestKeyframe)
        SetLine(slot, line, "Frames: " + DecimalText(SaturatingAdd(frames, baseline->FramesAfterLastKey)));
    if (const int64_t line = FrameLineOf(slot, "Frame:"); line > 0) SetLine(slot, line, "Frame: 1");

    if (!WriteFileSafely(slot.Path, ModelFileText(slot))) return SaveResult::ModelNotWritten;
    if (!WriteKeyframeSidecar(slot, now, uiLanguage)) return SaveResult::SidecarNotWritten;
    return SaveResult::Saved;
}

}  // namespace vandrel
