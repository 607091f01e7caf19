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

// Key times become whole frames: "12.500000 0.1 ..." is written "12.000000 0.1 ...".
// Lines that do not start with their number followed by a blank stay as they are.
void AppendWithWholeFrameTime(std::string& out, std::string_view s) {
    const int64_t frame = IntegerValue(s);
    const size_t blank = s.find(' ');
    if (frame > 0 && ContainsPoint(s) && blank != std::string_view::npos && blank != 0) {
        std::string_view rest = s.substr(blank);
        while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
        out += DecimalText(frame);
        out += ".000000";
        out += rest;
        return;
    }
    out += StripBlanks(s);
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
        if (inBones) AppendWithWholeFrameTime(out, s);
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

SaveResult SaveModel(ModelSlot& slot, const LocalTime& now, int uiLanguage) {
    // The file's own frame lines above the bones take the frame count and the
    // current frame; a file without them keeps its lines.
    const int64_t above = slot.BonesLine > 0 ? int64_t{slot.BonesLine} - 1 : int64_t{slot.LineCount};
    const int32_t frames = FrameCount(slot);
    bool framesDone = frames <= 0, frameDone = false;
    for (int64_t i = 1; i <= above && !(framesDone && frameDone); ++i) {
        std::string_view line = LineAt(slot, i);
        if (!framesDone && BeginsWith(line, "Frames:")) {
            SetLine(slot, i, "Frames: " + DecimalText(frames));
            framesDone = true;
        } else if (!frameDone && BeginsWith(line, "Frame:")) {
            SetLine(slot, i, "Frame: 1");
            frameDone = true;
        }
    }

    if (!WriteFileSafely(slot.Path, ModelFileText(slot))) return SaveResult::ModelNotWritten;
    if (!WriteKeyframeSidecar(slot, now, uiLanguage)) return SaveResult::SidecarNotWritten;
    return SaveResult::Saved;
}

}  // namespace vandrel
