// Editing the Clipboard: move, renumber, reverse and comment its keyframes.
#include <unordered_map>

#include "clipboard/Clipboard.h"
#include "model/KeyLines.h"
#include "model/KeyframeTable.h"

namespace vandrel {

namespace {

// 32-bit arithmetic as the model keeps frame numbers: results wrap.
int32_t Wrap32(int64_t value) { return Int32(value); }

// The row text of a moved row: its new number with the typed comment, or with
// the comment it had when none is typed.
std::string EditedRowText(std::string_view oldText, int32_t frame, std::string_view comment) {
    return std::string(StripBlanks(RowTextFor(DecimalText(frame), comment.empty() ? RowComment(oldText) : comment)));
}

// The new number written over the whole part of the old time, up to its point:
// "10.500000 ..." moved to 40 is "40.500000 ...", "7 ..." is "40 ...".
std::string MovedKeyLine(std::string_view line, int32_t frame) {
    const std::string_view time = line.substr(0, line.find(' '));
    const size_t point = time.find('.');
    std::string moved = DecimalText(frame);
    if (point != std::string_view::npos) moved += time.substr(point);
    moved += line.substr(time.size());
    return moved;
}

}  // namespace

void EditClipboard(Workspace& ws, std::string_view atText, std::string_view stepText, std::string_view comment) {
    Clipboard& clip = ws.Clip;
    const size_t n = clip.Rows.size();
    const int32_t at = FrameNumberOfText(atText);
    const int32_t step = FrameNumberOfText(stepText);
    if (n == 0 || at <= 0) return;
    const int32_t from = FrameNumberOfRow(clip.Rows[0]);

    std::vector<int32_t> oldFrames(n), newFrames(n);
    std::vector<std::string> texts(n);
    for (size_t j = 0; j < n; ++j) {
        std::string_view t = StripBlanks(clip.Rows[j].RowText);
        oldFrames[j] = FrameNumberOfText(t);
        const int64_t jj = static_cast<int64_t>(j), last = static_cast<int64_t>(n) - 1;
        if (step < 0) newFrames[j] = Wrap32(int64_t{at} + (last - jj) * -int64_t{step});
        else if (step == 0) newFrames[j] = Wrap32(int64_t{oldFrames[j]} + (int64_t{at} - from));
        else newFrames[j] = Wrap32(int64_t{at} + jj * step);
        texts[j] = EditedRowText(t, newFrames[j], comment);
    }

    if (step < 0) {
        clip.Rows.clear();
        for (size_t j = n; j-- > 0;) clip.Rows.push_back({std::move(texts[j]), false});
    } else {
        for (size_t j = 0; j < n; ++j) clip.Rows[j].RowText = std::move(texts[j]);
    }

    // Each key line takes the new number of the first row of its old frame, once.
    // Keys of frame 0 belong to no row and stay as they are.
    std::unordered_map<int32_t, int32_t> renumbered;
    for (size_t j = 0; j < n; ++j) renumbered.try_emplace(oldFrames[j], newFrames[j]);
    for (int64_t i = std::max<int32_t>(clip.BonesLine, 1); i <= int64_t{clip.LineCount} - 1; ++i) {
        const std::string_view line = clip.ModelLines[size_t(i)];
        if (!IsKeyLine(line)) continue;
        const int32_t frame = FrameNumberOfLine(line);
        if (frame == 0) continue;
        auto found = renumbered.find(frame);
        if (found == renumbered.end()) continue;
        clip.ModelLines.Set(size_t(i), MovedKeyLine(line, found->second));
    }
}

}  // namespace vandrel
