#include "model/KeyframeTable.h"

#include <algorithm>

#include "model/KeyLines.h"
#include "model/Sections.h"

namespace vandrel {

int RowPadding(size_t length) { return length < 5 ? static_cast<int>(5 - length) * 2 + 1 : 1; }

std::string RowTextFor(std::string_view number, std::string_view comment) {
    std::string text(number);
    if (!comment.empty()) {
        text.append(static_cast<size_t>(RowPadding(number.size())), ' ');
        text += comment;
    }
    return text;
}

// Bones are keyed at different frames, position and rotation keys apart, so
// the rows come from every key line of the section. Real animations span a few
// thousand frames: those are marked in an array; anything wider is sorted.
std::vector<int32_t> KeyedFrames(const LineSet& set) {
    const LineRange section = BonesSection(set);
    std::vector<int32_t> frames;
    for (int64_t i = section.first; i <= section.last; ++i)
        if (const std::string_view line = LineAt(set, i); IsKeyLine(line)) frames.push_back(FrameNumberOfLine(line));
    if (frames.empty()) return frames;
    const auto [low, high] = std::minmax_element(frames.begin(), frames.end());
    const int64_t lowest = *low, span = int64_t{*high} - lowest + 1;
    if (span <= int64_t(frames.size()) * 8 + 4096) {
        std::vector<bool> keyed(size_t(span), false);
        for (int32_t frame : frames) keyed[size_t(frame - lowest)] = true;
        frames.clear();
        for (int64_t k = 0; k < span; ++k)
            if (keyed[size_t(k)]) frames.push_back(Int32(lowest + k));
        return frames;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

void BuildKeyframeTable(ModelSlot& slot) {
    slot.Rows.clear();
    for (int32_t frame : KeyedFrames(slot)) slot.Rows.push_back({DecimalText(frame), false});
}

}  // namespace vandrel
