#include "model/KeyframeTable.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "model/KeyLines.h"
#include "model/Sections.h"
#include "model/Text.h"

namespace vandrel {

int RowPadding(size_t length) { return length < 5 ? static_cast<int>(5 - length) * 2 + 1 : 1; }

std::string PaddedRowText(std::string_view number, std::string_view comment) {
    std::string text(number);
    text.append(static_cast<size_t>(RowPadding(number.size())), ' ');
    text += comment;
    return text;
}

std::string RowTextFor(std::string_view number, std::string_view comment) {
    return comment.empty() ? std::string(number) : PaddedRowText(number, comment);
}

std::string_view RowComment(std::string_view rowText) {
    const size_t blank = rowText.find(' ');
    return blank == std::string_view::npos ? std::string_view() : StripBlanks(rowText.substr(blank + 1));
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

void ApplyKeyframeSidecar(KeyframeTable& rows, std::string_view bytes) {
    std::unordered_map<int32_t, std::string> comments;
    ForEachLine(bytes, [&](std::string_view line) {
        size_t first = line.find(';');
        if (first == std::string_view::npos) return;
        size_t second = line.find(';', first + 1);
        if (second == std::string_view::npos) return;
        size_t third = line.find(';', second + 1);
        if (third == std::string_view::npos) return;
        const int32_t keyframe = FrameNumberOfText(line.substr(first + 1, second - first - 1));
        comments[keyframe] = std::string(StripBlanks(line.substr(second + 1, third - second - 1)));
    });
    for (KeyframeRow& row : rows) {
        const int32_t keyframe = FrameNumberOfRow(row);
        auto found = comments.find(keyframe);
        // The number is written anew and always followed by its padding.
        if (found != comments.end()) row.RowText = PaddedRowText(DecimalText(keyframe), found->second);
    }
}

void MergeRowsOneByOne(KeyframeTable& rows, const KeyframeTable& newRows) {
    for (const KeyframeRow& newRow : newRows) {
        const int32_t f = FrameNumberOfRow(newRow);
        size_t k = rows.size();
        while (k > 0 && FrameNumberOfRow(rows[k - 1]) > f) --k;
        if (k > 0 && FrameNumberOfRow(rows[k - 1]) == f) {
            rows[k - 1].RowText = newRow.RowText;
        } else {
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(k), KeyframeRow{newRow.RowText, false});
        }
    }
}

void MergeRows(KeyframeTable& rows, const KeyframeTable& newRows) {
    std::vector<int32_t> frames;
    frames.reserve(rows.size());
    for (const KeyframeRow& row : rows) frames.push_back(FrameNumberOfRow(row));
    if (!std::is_sorted(frames.begin(), frames.end())) {
        MergeRowsOneByOne(rows, newRows);
        return;
    }
    // In an ascending table every new row of a frame lands on the same row, which
    // stays ascending: the last new row of each frame replaces the text of the
    // table's last row of that frame, or is inserted unselected where its frame
    // belongs. So the whole merge is one pass.
    std::map<int32_t, const std::string*> lastText;
    for (const KeyframeRow& newRow : newRows) lastText[FrameNumberOfRow(newRow)] = &newRow.RowText;
    KeyframeTable merged;
    merged.reserve(rows.size() + lastText.size());
    size_t i = 0;
    for (const auto& [frame, text] : lastText) {
        while (i < rows.size() && frames[i] < frame) merged.push_back(std::move(rows[i++]));
        if (i < rows.size() && frames[i] == frame) {
            while (i + 1 < rows.size() && frames[i + 1] == frame) merged.push_back(std::move(rows[i++]));
            merged.push_back(std::move(rows[i++]));
            merged.back().RowText = *text;
        } else {
            merged.push_back(KeyframeRow{*text, false});
        }
    }
    while (i < rows.size()) merged.push_back(std::move(rows[i++]));
    rows = std::move(merged);
}

}  // namespace vandrel
