#include "output/ModelWriter.h"

#include "model/IntegerValue.h"
#include "model/KeyframeTable.h"
#include "model/ModelReader.h"
#include "model/Text.h"
#include "output/KeyframeSidecar.h"
#include "output/SafeWrite.h"

namespace vandrel {

namespace {

void SetLine(ModelSlot& slot, int64_t i, std::string text) {
    if (i >= 1 && i <= slot.LineCount) slot.ModelLines[static_cast<size_t>(i)] = std::move(text);
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
    size_t restLine = 0;
    int quotes = 0;
    for (int64_t i = 1; i <= slot.LineCount; ++i) {
        std::string_view s = LineAt(slot, i);
        if (i > slot.BonesLine && slot.RestLinesAdjusted) {
            if (IsQuotedLine(s)) {
                ++quotes;
            } else if (quotes == 2) {
                quotes = 0;
                if (restLine < slot.LoadedRestLines.size()) s = slot.LoadedRestLines[restLine++];
            }
        }
        if (i > slot.BonesLine) AppendWithWholeFrameTime(out, s);
        else out += StripBlanks(s);
        out += "\r\n";
    }
    return out;
}

SaveResult SaveModel(ModelSlot& slot, const LocalTime& now, int uiLanguage) {
    const int32_t lastFrame = slot.Rows.empty() ? 0 : FrameNumberOfRow(slot.Rows.back());
    if (lastFrame != 0) {
        // Line 3 is replaced whatever it held. In a file whose bones begin above it
        // it may be a bone's quoted name, and the bone index must follow the lines.
        const bool boneName = IsQuotedLine(LineAt(slot, 3));
        SetLine(slot, 3, "Frames: " + DecimalText(lastFrame));
        if (boneName) RebuildBoneList(slot);
    }
    if (BeginsWith(LineAt(slot, 4), "Frame:")) SetLine(slot, 4, "Frame: 1");

    if (!WriteFileSafely(slot.Path, ModelFileText(slot))) return SaveResult::ModelNotWritten;
    if (!WriteKeyframeSidecar(slot, now, uiLanguage)) return SaveResult::SidecarNotWritten;
    return SaveResult::Saved;
}

}  // namespace vandrel
